# KOVELINT_VERSION, the game's version, read from the project line of the top CMakeLists.txt:
# the one place it is written, for the builds configured apart from that file (web/).
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../CMakeLists.txt kovelint_project_line
    REGEX "^project\\(kovelint " ENCODING UTF-8)
if(NOT kovelint_project_line MATCHES "VERSION ([0-9]+\\.[0-9]+\\.[0-9]+)")
    message(FATAL_ERROR "No version on the project line of ${CMAKE_CURRENT_LIST_DIR}/../CMakeLists.txt")
endif()
set(KOVELINT_VERSION ${CMAKE_MATCH_1})
