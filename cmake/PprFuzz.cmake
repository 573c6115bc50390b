# The fuzz build (PPR_FUZZ): clang's libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer.
# Every library is instrumented for coverage (fuzzer-no-link); only the targets under fuzz/ link the
# fuzzer's own main. Build it on its own, with tests and benchmarks off:
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DPPR_FUZZ=ON -DPPR_BUILD_TESTS=OFF -DPPR_BUILD_BENCH=OFF
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "PPR_FUZZ needs clang (CC=clang CXX=clang++); the compiler is ${CMAKE_CXX_COMPILER_ID}")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)
