# -DTOVEX_FUZZ=ON (with CC=clang-14 CXX=clang++-14) builds the libFuzzer targets in fuzz/.
# Every target of the build is instrumented for coverage and checked by AddressSanitizer and
# UndefinedBehaviorSanitizer, so that the readers in tovex_communal are fuzzed, not only the
# thin fuzz entry points.
option(TOVEX_FUZZ "Build the libFuzzer targets (clang only)" OFF)

if(TOVEX_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "TOVEX_FUZZ needs clang: CC=clang-14 CXX=clang++-14 cmake ...")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                        -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
