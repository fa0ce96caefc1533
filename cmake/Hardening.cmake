# The hardening Debian gives its own packages (dpkg-buildflags with hardening=+all), for every
# native target of this tree: the game, its libraries, the tools, tests and benchmarks. Only the
# top-level CMakeLists.txt includes this; the web and Windows builds (CrossBuild.cmake) do not.
# Each flag is asked for only where the compiler or linker takes it.
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckLinkerFlag)

function(kovelint_harden_compile flag variable)
    check_cxx_compiler_flag(${flag} ${variable})
    if(${variable})
        add_compile_options(${flag})
    endif()
endfunction()

# A canary before the return address of every function with an array or an address-taken local,
# checked on return: a stack buffer overrun ends the program instead of redirecting it.
kovelint_harden_compile(-fstack-protector-strong KOVELINT_HAVE_STACK_PROTECTOR)
# Large or variable stack allocations touch each page in turn, so the stack cannot be grown past
# its guard page into another mapping.
kovelint_harden_compile(-fstack-clash-protection KOVELINT_HAVE_STACK_CLASH)
# Branch targets marked for the processor's control-flow enforcement (Intel CET: IBT and the
# shadow stack), where the processor and kernel enforce them.
kovelint_harden_compile(-fcf-protection KOVELINT_HAVE_CF_PROTECTION)

# The C library's checked variants of memcpy, snprintf and the like, where the compiler knows the
# size of the destination. Glibc wants optimisation for it (and warns without, fatal under
# -Werror), so the optimised builds only; and not beside AddressSanitizer, whose own checks of
# those calls the checked variants would bypass. KOVELINT_FORTIFIED is 1 in a fortified build
# and 0 in another, as a generator expression (the package's tests read it).
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=([^ ]*,)?address")
    set(KOVELINT_FORTIFIED 0)
else()
    set(KOVELINT_FORTIFIED "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
endif()
add_compile_definitions($<${KOVELINT_FORTIFIED}:_FORTIFY_SOURCE=2>)

# Relocations resolved at start-up and their table made read-only after (full RELRO): no
# writable function pointers in the global offset table for an overrun to aim at.
check_linker_flag(CXX "LINKER:-z,relro" KOVELINT_HAVE_RELRO)
check_linker_flag(CXX "LINKER:-z,now" KOVELINT_HAVE_NOW)
if(KOVELINT_HAVE_RELRO AND KOVELINT_HAVE_NOW)
    add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()

# Position-independent executables, so that the game's own code is loaded at a random address
# as its libraries are. Debian's compiler makes them by default, as Debian relies on; another
# compiler is asked to.
check_cxx_source_compiles("
#ifndef __PIE__
#error not position-independent
#endif
int main() { return 0; }" KOVELINT_DEFAULT_PIE)
if(NOT KOVELINT_DEFAULT_PIE)
    include(CheckPIESupported)
    check_pie_supported(LANGUAGES CXX)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
