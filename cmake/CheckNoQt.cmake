# Fails when a source file of the core or the game controller includes a Qt header.
file(GLOB_RECURSE sources ${ROOT}/board/* ${ROOT}/generator/* ${ROOT}/play/* ${ROOT}/game/*)
foreach(f ${sources})
    file(STRINGS ${f} hits REGEX "#[ \t]*include[ \t]*[<\"]Q")
    if(hits)
        message(FATAL_ERROR "${f} includes Qt: ${hits}")
    endif()
endforeach()
message(STATUS "core and controller are free of Qt (${ROOT})")
