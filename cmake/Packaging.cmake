# CPack builds a Debian package of what Install.cmake installs: `cpack -G DEB` in the build folder.
# The dependencies are listed by hand rather than computed, because what the app needs at run time goes
# beyond the libraries it links: the platform plugins, the SVG icon loader, the MIME database and the
# colour emoji font of the status line.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME foldwise)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Foldwise developers")
set(CPACK_PACKAGE_CONTACT "The Foldwise developers <maintainers@foldwise.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Foldwise sorts the files that lie directly in a folder into sub-folders of another folder, named after \
each file's kind (Images, Video, Audio, Documents, Archives, Code, Other) or its extension, without ever \
overwriting a file. Undo Sort moves everything back, and a statistics tab shows the folder's files as two \
pie charts.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY foldwise)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installs into the package's root with DESTDIR and the prefix /usr, so that what is written at install time
# (the watch service's ExecStart) names /usr/bin/foldwise, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX ${CPACK_PACKAGING_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://foldwise.org/)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
if(FOLDWISE_BUILD_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6charts6 (>= 6.4), \
libqt6svg6 (>= 6.4), qt6-qpa-plugins (>= 6.4), shared-mime-info, fonts-noto-color-emoji")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6core6 (>= 6.4), shared-mime-info")
endif()
# dpkg-shlibdeps adds the C and C++ runtime libraries the executable links, at the versions it was built with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
