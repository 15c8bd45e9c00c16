#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the whole project (unit, widget and end-to-end tests) in build/
#   2. the Qt-free cores again under AddressSanitizer and UBSan in build-asan/
#   3. the libFuzzer targets for a bounded time in build-fuzz/
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || exit 1

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
jobs=$(nproc)
status=0

step() { echo; echo "=== $*"; }

step "build (build/)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build build -j "$jobs" || exit 1

step "sanitizer build of the cores (build-asan/)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKSR_CORE_ONLY=ON -DKSR_SANITIZE=ON >/dev/null || exit 1
cmake --build build-asan -j "$jobs" || exit 1

step "fuzz targets (build-fuzz/)"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKSR_CORE_ONLY=ON -DKSR_FUZZ=ON \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
cmake --build build-fuzz -j "$jobs" || exit 1

step "cores under AddressSanitizer and UBSan"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j "$jobs" -LE fuzz) || status=1

step "fuzzing"
(cd build-fuzz && ctest --output-on-failure -L fuzz) || status=1

step "all tests"
(cd build && ctest --output-on-failure -j "$jobs") || status=1

exit $status
