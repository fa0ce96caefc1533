# Warnings on and fatal for the game's own targets.
function(kovelint_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
        -Wcast-align -Wunused -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough
        -Werror)
endfunction()
