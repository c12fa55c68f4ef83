# Build options for checking the program and for shipping it hardened.
#
#   DRAGON_VALLEY_SANITIZE  AddressSanitizer and UndefinedBehaviorSanitizer in
#                           every target (the sanitize workflow preset)
#   DRAGON_VALLEY_WERROR    compiler warnings are errors (CI)
#   DRAGON_VALLEY_HARDEN    position-independent executables, full RELRO, stack
#                           protector and, in optimised builds, fortified libc
#                           calls (scripts/check-hardening.sh); on by default
#
# A compile database (compile_commands.json) is always written for the
# analysers (scripts/check-analysers.sh), and valgrind's memcheck is set up for
# `ctest --test-dir build-ci -T memcheck -L memcheck`.

option(DRAGON_VALLEY_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(DRAGON_VALLEY_WERROR "Treat compiler warnings as errors" OFF)
option(DRAGON_VALLEY_HARDEN "Harden the binaries: PIE, full RELRO, stack protector, _FORTIFY_SOURCE=2" ON)

set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

# Any memory error, or any memory leaked for good, fails the test. On the
# offscreen platform the toolkit's own one-time allocations stay reachable, so
# no suppression file is needed; should one be, put it in tests/valgrind.supp,
# with the reason for each entry, and name it in MEMORYCHECK_SUPPRESSIONS_FILE.
# Read by include(CTest) in the top-level CMakeLists.txt.
set(MEMORYCHECK_COMMAND_OPTIONS "--error-exitcode=99 --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite --num-callers=30")

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    return()
endif()

if(DRAGON_VALLEY_WERROR)
    add_compile_options(-Werror)
endif()

if(DRAGON_VALLEY_SANITIZE)
    # Stop at the first finding, with a stack that names our frames.
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# The hardening below is for ELF programs on x86 (PIE, RELRO, CET): the browser
# build (WebAssembly, Emscripten) has no such loader or instructions, and its
# compiler rejects -fcf-protection.
if(DRAGON_VALLEY_HARDEN AND NOT EMSCRIPTEN)
    include(CheckPIESupported)
    check_pie_supported(LANGUAGES CXX)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    add_compile_options(-fstack-protector-strong)
    # MinGW's stack protector lives in libssp, which only the flag at link time
    # brings in (libssp-0.dll then ships beside the program).
    if(MINGW)
        add_link_options(-fstack-protector-strong)
    endif()
    include(CheckCXXCompilerFlag)
    check_cxx_compiler_flag(-fstack-clash-protection DRAGON_VALLEY_HAVE_STACK_CLASH)
    if(DRAGON_VALLEY_HAVE_STACK_CLASH)
        add_compile_options(-fstack-clash-protection)
    endif()
    check_cxx_compiler_flag(-fcf-protection DRAGON_VALLEY_HAVE_CF_PROTECTION)
    if(DRAGON_VALLEY_HAVE_CF_PROTECTION)
        add_compile_options(-fcf-protection)   # control-flow integrity on x86
    endif()
    # _FORTIFY_SOURCE needs the optimiser; unoptimised Debug builds go without.
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    # Full RELRO is an ELF linker's option: not for Windows or macOS linkers.
    if(UNIX AND NOT APPLE)
        add_link_options(-Wl,-z,relro,-z,now)
    endif()
endif()
