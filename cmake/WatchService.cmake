# The systemd user unit that runs `foldwise watch`, written when it is installed: the prefix is often given
# only then (`cmake --install build --prefix ~/.local`). ExecStart names the installed executable by its
# absolute path, since the user manager does not search a user's PATH, and the unit goes where the user
# manager looks for units of that prefix:
#   /usr, /usr/local   <prefix>/lib/systemd/user (for /usr, what `pkg-config systemd` calls systemduserunitdir)
#   any other prefix   <prefix>/share/systemd/user: for ~/.local that is $XDG_DATA_HOME/systemd/user, searched
#                      for every user; for another prefix, searched when <prefix>/share is in $XDG_DATA_DIRS
# FOLDWISE_SYSTEMD_USER_UNIT_DIR, when set, is the folder instead (absolute, or relative to the prefix).
set(FOLDWISE_SYSTEMD_USER_UNIT_DIR "" CACHE STRING
    "Where the systemd user unit goes (absolute or relative to the prefix); empty: chosen by the prefix")

set(_foldwise_systemd_unit_dir "")
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
    pkg_get_variable(_foldwise_systemd_unit_dir systemd systemduserunitdir)
endif()

install(CODE "
    set(FOLDWISE_UNIT_TEMPLATE [[${CMAKE_CURRENT_LIST_DIR}/../resources/systemd/foldwise-watch.service.in]])
    set(FOLDWISE_UNIT_STAGING [[${PROJECT_BINARY_DIR}/watch-service]])
    set(FOLDWISE_UNIT_BINDIR [[${CMAKE_INSTALL_BINDIR}]])
    set(FOLDWISE_UNIT_DIR [[${FOLDWISE_SYSTEMD_USER_UNIT_DIR}]])
    set(FOLDWISE_UNIT_SYSTEMD_DIR [[${_foldwise_systemd_unit_dir}]])
    include([[${CMAKE_CURRENT_LIST_DIR}/InstallWatchService.cmake]])
")
