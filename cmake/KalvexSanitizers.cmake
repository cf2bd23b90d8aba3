# The sanitizer and fuzzer builds. Any report ends the program with a failure: nothing is
# recovered from, so a test run under them fails at the first fault.

set(KALVEX_SANITIZER_FLAGS
    -fsanitize=address,undefined,float-cast-overflow
    -fno-sanitize-recover=all
    -fno-omit-frame-pointer
    -g)

if(KALVEX_SANITIZE)
    # -O1 keeps the instrumented tests quick and the reports readable. GCC's flow analysis
    # sees uninitialised values in the instrumented library code that are not there.
    add_compile_options(${KALVEX_SANITIZER_FLAGS} -O1)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        add_compile_options(-Wno-maybe-uninitialized)
    endif()
    add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

if(KALVEX_BUILD_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "KALVEX_BUILD_FUZZ needs clang (libFuzzer): configure with "
                            "-DCMAKE_CXX_COMPILER=clang++")
    endif()
    # Every library is instrumented for coverage; the fuzz targets link libFuzzer's main.
    add_compile_options(${KALVEX_SANITIZER_FLAGS} -O1 -fsanitize=fuzzer-no-link)
    add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()
