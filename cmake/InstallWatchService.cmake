# Run by `cmake --install`, with the prefix of this install (see WatchService.cmake): configures the unit
# for it and installs it where the user manager looks.
cmake_path(SET _prefix NORMALIZE "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "(.)/$" "\\1" _prefix "${_prefix}")

string(FIND "${FOLDWISE_UNIT_SYSTEMD_DIR}" "${_prefix}/" _systemd_dir_in_prefix)
if(FOLDWISE_UNIT_DIR)
    cmake_path(ABSOLUTE_PATH FOLDWISE_UNIT_DIR BASE_DIRECTORY "${_prefix}" NORMALIZE OUTPUT_VARIABLE _unit_dir)
elseif(_systemd_dir_in_prefix EQUAL 0)
    set(_unit_dir "${FOLDWISE_UNIT_SYSTEMD_DIR}")
elseif(_prefix STREQUAL "/usr" OR _prefix STREQUAL "/usr/local")
    set(_unit_dir "${_prefix}/lib/systemd/user")
else()
    set(_unit_dir "${_prefix}/share/systemd/user")
endif()

# The path as one word of a unit file: "%" is a specifier, and a path with spaces or quotes is quoted.
cmake_path(ABSOLUTE_PATH FOLDWISE_UNIT_BINDIR BASE_DIRECTORY "${_prefix}" NORMALIZE OUTPUT_VARIABLE _bindir)
set(FOLDWISE_EXECUTABLE "${_bindir}/foldwise")
string(REPLACE "%" "%%" FOLDWISE_EXECUTABLE "${FOLDWISE_EXECUTABLE}")
if(FOLDWISE_EXECUTABLE MATCHES "[ \t\"'\\\\]")
    string(REPLACE "\\" "\\\\" FOLDWISE_EXECUTABLE "${FOLDWISE_EXECUTABLE}")
    string(REPLACE "\"" "\\\"" FOLDWISE_EXECUTABLE "${FOLDWISE_EXECUTABLE}")
    set(FOLDWISE_EXECUTABLE "\"${FOLDWISE_EXECUTABLE}\"")
endif()

# One staging folder per destination, so that installs of one build to several places may run at once.
string(MD5 _destination "$ENV{DESTDIR}${_unit_dir}")
set(_staged "${FOLDWISE_UNIT_STAGING}/${_destination}/foldwise-watch.service")
configure_file("${FOLDWISE_UNIT_TEMPLATE}" "${_staged}" @ONLY)
file(INSTALL DESTINATION "${_unit_dir}" TYPE FILE FILES "${_staged}")
