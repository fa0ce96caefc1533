# What the game's builds for other platforms (web/, win/) share: the language they are written
# in, an optimised build unless another is asked for, the warnings, and `root`, the repository.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE Release)
endif()

get_filename_component(root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
include(${root}/cmake/Warnings.cmake)
