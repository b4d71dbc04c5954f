#!/usr/bin/env bash
# Cost per line of `getkelo-cli poll` beside the same loop written with libmodbus
# (bench/libmodbus_poll.cpp), both on one pseudo-terminal of getkelo-sim: the controller at
# address 1, no pause between reads, output to /dev/null. The cost per line is the time of a
# long run less that of a short one, so opening and identifying drop out; the median of
# several alternating runs is reported.
#   bench/cli_poll_vs_libmodbus.sh [BUILD_DIR] [RUNS]
# On a busy machine, pin it to one core: taskset -c 1 bench/cli_poll_vs_libmodbus.sh
set -euo pipefail
build=${1:-build}
runs=${2:-5}
short=1000 long=5000
link=$(mktemp -u /tmp/getkelo-bench-pty.XXXXXX)
coproc SIM { exec "$build/bin/getkelo-sim" --pty "$link"; }
trap 'echo quit >&"${SIM[1]}"; wait' EXIT
read -r _ <&"${SIM[0]}" # "pty ... -> LINK"

cli() { "$build/bin/getkelo-cli" --port "$link" --address 1 --delay-ms 0 poll --interval 0 --count "$1"; }
lm() { "$build/bench/libmodbus_poll" "$link" "$1"; }
elapsed_us() { local s e; s=$(date +%s%N); "$@" >/dev/null; e=$(date +%s%N); echo $(((e - s) / 1000)); }
per_line() { echo $((($(elapsed_us "$1" $long) - $(elapsed_us "$1" $short)) / (long - short))); }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

programs=(cli)
[ -x "$build/bench/libmodbus_poll" ] && programs+=(lm)
declare -A results
for ((i = 0; i < runs; i++)); do
    for p in "${programs[@]}"; do results[$p]+="$(per_line "$p") "; done
done
c=$(echo "${results[cli]}" | tr ' ' '\n' | grep . | median)
echo "getkelo-cli poll: $c us per line"
if [ -n "${results[lm]:-}" ]; then
    l=$(echo "${results[lm]}" | tr ' ' '\n' | grep . | median)
    echo "libmodbus poll:   $l us per line"
    awk -v a="$c" -v b="$l" 'BEGIN { printf "ratio:            %.2f\n", a / b }'
fi
