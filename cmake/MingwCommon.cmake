# What both mingw-w64 toolchain files share; KOVELINT_MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER ${KOVELINT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOVELINT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KOVELINT_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KOVELINT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The same bytes from the same source: no link time in the PE header (it would change with every
# link), and no folder of the clone in the objects.
get_filename_component(kovelint_repository ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(CMAKE_C_FLAGS_INIT "-ffile-prefix-map=${kovelint_repository}/=")
set(CMAKE_CXX_FLAGS_INIT "-ffile-prefix-map=${kovelint_repository}/=")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
