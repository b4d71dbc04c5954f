#!/usr/bin/env bash
# Sets everything up and runs all tests: the full build (with the desktop program and its
# form tests) and the non-GUI tests again under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
jobs=$(nproc 2>/dev/null || echo 2)
# A compiler cache makes a rebuild of an unchanged tree cheap; the build works without it.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGETKELO_GUI=ON "${launcher[@]}" >/dev/null
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300

if [ "${GETKELO_SKIP_SANITIZE:-0}" != 1 ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGETKELO_SANITIZE=ON \
        -DGETKELO_GUI=OFF -DGETKELO_BENCH=OFF "${launcher[@]}" >/dev/null
  cmake --build build-asan -j"$jobs"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 300
fi

# A short fuzz run of every harness when clang is there (about a minute each).
if [ "${GETKELO_SKIP_FUZZ:-0}" != 1 ]; then
  bash scripts/fuzz.sh "${GETKELO_FUZZ_SECONDS:-60}"
fi
