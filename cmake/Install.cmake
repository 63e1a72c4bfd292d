# Install rules: the executable and what a freedesktop desktop needs to show it in its menus, task bars and
# software centres. Paths follow GNUInstallDirs, so `--prefix /usr` gives the layout a distribution ships.
include(GNUInstallDirs)

# A launcher, icon and metainfo without the window they describe would be a broken entry in every menu.
if(NOT FOLDWISE_BUILD_GUI)
    return()
endif()

set(FOLDWISE_APP_ID org.foldwise.Foldwise)
set(FOLDWISE_ICON_SIZES 16 22 24 32 48 64 128 256)
set(_foldwise_resources "${CMAKE_CURRENT_LIST_DIR}/../resources")

if(TARGET foldwise)
    install(TARGETS foldwise RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

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
