#!/usr/bin/env bash
# Runs the libFuzzer harnesses of tests/fuzz, each for SECONDS (default 60), on a copy of the
# seed corpus. Needs clang with libFuzzer; without it says so and does nothing. An input that
# breaks a harness is left in build-fuzz/findings/<harness>/ and the script fails: copy it to
# tests/fuzz/findings/<harness>/ with the fix, so the normal build replays it from then on.
#   scripts/fuzz.sh [SECONDS] [HARNESS...]     harnesses: rtu_answer ini_file sim_bus
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(rtu_answer ini_file sim_bus)
if ! command -v clang++ >/dev/null ||
   ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "fuzz: clang with libFuzzer is not installed; skipped"
  exit 0
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DGETKELO_FUZZ=ON -DGETKELO_GUI=OFF -DGETKELO_BENCH=OFF "${launcher[@]}" >/dev/null
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
cmake --build build-fuzz -j"$(nproc 2>/dev/null || echo 2)" --target "${targets[@]}"
[ "$seconds" != 0 ] || exit 0 # build only
for h in "${harnesses[@]}"; do
  corpus=build-fuzz/corpus/$h
  mkdir -p "$corpus" "build-fuzz/findings/$h"
  cp -n tests/fuzz/corpus/"$h"/* "$corpus"/ 2>/dev/null || true
  echo "fuzz: $h for ${seconds}s"
  # -timeout: one input that runs longer than 10 s is a hang (all waiting is virtual).
  # Allocation stacks and fill patterns cost more than the harnesses themselves.
  ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:max_malloc_fill_size=0:quarantine_size_mb=16} \
  build-fuzz/fuzz/fuzz_"$h" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$h/" "$corpus" \
    2>&1 | grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==|SUMMARY|fuzz property)" || true
  if ls build-fuzz/findings/"$h"/* >/dev/null 2>&1; then
    echo "fuzz: $h found a fault: build-fuzz/findings/$h/"
    exit 1
  fi
done
