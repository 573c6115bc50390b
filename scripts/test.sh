#!/usr/bin/env bash
# The README's test command: installs what is needed, builds, and runs every test twice, in a normal
# build with warnings as errors and in a build under AddressSanitizer and UndefinedBehaviorSanitizer;
# then runs every fuzz target over its seed corpus and 30 seconds of new inputs (clang, ASan + UBSan).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPPR_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# The sanitizer build needs no benchmarks; leaks count as failures.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPPR_SANITIZE=ON -DPPR_BUILD_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

# The fuzz targets build only the libraries they exercise (no tests, benchmarks or window).
bash scripts/fuzz.sh 30
