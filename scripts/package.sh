#!/usr/bin/env bash
# Builds the Debian package (build/getkelo_<version>_amd64.deb) and, with --install, installs
# it with apt, which brings in the Qt 6 libraries it depends on.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGETKELO_GUI=ON "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)" --target getkelo getkelo-cli getkelo-sim
(cd build && cpack -G DEB >/dev/null)
deb=$(ls -t build/getkelo_*.deb | head -1)
echo "package: $deb"
if [ "${1:-}" = --install ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get install -y "./$deb"
fi
