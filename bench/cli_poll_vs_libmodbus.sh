#!/usr/bin/env bash
# Cost per line of `getkelo-cli poll` beside the same loop written with libmodbus, both on
# one pseudo-terminal of getkelo-sim (the controller at address 1, no pause between reads).
#   bench/cli_poll_vs_libmodbus.sh [BUILD_DIR] [LINES]
set -euo pipefail
build=${1:-build}
lines=${2:-5000}
link=$(mktemp -u /tmp/getkelo-bench-pty.XXXXXX)
coproc SIM { exec "$build/bin/getkelo-sim" --pty "$link"; }
trap 'echo quit >&"${SIM[1]}"; wait' EXIT
read -r _ <&"${SIM[0]}" # "pty ... -> LINK"

per_line() { # command...: microseconds per line
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo $(( (end - start) / 1000 / lines ))
}
cli=$(per_line "$build/bin/getkelo-cli" --port "$link" --address 1 --delay-ms 0 \
      poll --count "$lines" --interval 0)
echo "getkelo-cli poll: $cli us per line"
if [ -x "$build/bench/libmodbus_poll" ]; then
    lm=$(per_line "$build/bench/libmodbus_poll" "$link" "$lines")
    echo "libmodbus poll:   $lm us per line"
    awk -v a="$cli" -v b="$lm" 'BEGIN { printf "ratio:            %.2f\n", a / b }'
fi
