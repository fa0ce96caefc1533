# Fails when a source file of the core includes a Qt header.
file(GLOB_RECURSE sources ${ROOT}/board/* ${ROOT}/generator/* ${ROOT}/play/*)
foreach(f ${sources})
    file(STRINGS ${f} hits REGEX "#[ \t]*include[ \t]*[<\"]Q")
    if(hits)
        message(FATAL_ERROR "${f} includes Qt: ${hits}")
    endif()
endforeach()
message(STATUS "core is free of Qt (${ROOT})")
