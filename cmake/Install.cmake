# Install rules. Paths follow GNUInstallDirs, so `--prefix /usr` gives the layout a distribution ships.
#  - The command line, in every build: the executable, its man page (compressed, as Debian ships them), bash
#    completion (loaded on demand by the bash-completion package) and the systemd user unit that runs
#    `foldwise watch`.
#  - With the window: what a freedesktop desktop needs to show it in its menus, task bars and software
#    centres. A launcher, icon and metainfo without the window they describe would be a broken entry in every
#    menu, so the build without the window leaves them out.
include(GNUInstallDirs)

set(_foldwise_resources "${CMAKE_CURRENT_LIST_DIR}/../resources")

if(TARGET foldwise)
    install(TARGETS foldwise RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

    set(_foldwise_man_page "${PROJECT_BINARY_DIR}/foldwise.1.gz")
    add_custom_command(OUTPUT "${_foldwise_man_page}"
        COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh "${_foldwise_resources}/foldwise.1" "${_foldwise_man_page}"
        DEPENDS "${_foldwise_resources}/foldwise.1"
        VERBATIM)
    add_custom_target(foldwise_man_page ALL DEPENDS "${_foldwise_man_page}")
    install(FILES "${_foldwise_man_page}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES "${_foldwise_resources}/completions/foldwise"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
    include(${CMAKE_CURRENT_LIST_DIR}/WatchService.cmake)
endif()

# The executable carries a table generated from Linguist's data, whose MIT licence asks for its notice.
install(FILES "${CMAKE_CURRENT_LIST_DIR}/../engine/LinguistExtensions.LICENSE"
    DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME LICENSE.linguist)

if(NOT FOLDWISE_BUILD_GUI)
    return()
endif()

set(FOLDWISE_APP_ID org.foldwise.Foldwise)
set(FOLDWISE_ICON_SIZES 16 22 24 32 48 64 128 256)

install(FILES "${_foldwise_resources}/${FOLDWISE_APP_ID}.desktop"
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${_foldwise_resources}/${FOLDWISE_APP_ID}.metainfo.xml"
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES "${_foldwise_resources}/icons/foldwise.svg"
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS FOLDWISE_ICON_SIZES)
    install(FILES "${_foldwise_resources}/icons/png/foldwise-${size}.png"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME foldwise.png)
endforeach()
