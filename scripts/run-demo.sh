#!/usr/bin/env bash
# Installs what is missing, builds, and starts the console on its built-in simulated bus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
cmake -S . -B build -G Ninja
cmake --build build --target getkelo -j 2
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running getkelo --demo under xvfb-run (a virtual screen, nothing is shown)."
  exec xvfb-run -a -s "-screen 0 1280x800x24" build/bin/getkelo --demo "$@"
fi
exec build/bin/getkelo --demo "$@"
