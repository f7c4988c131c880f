#!/usr/bin/env bash
# Builds kivera (Linux module, stand-in host, tests) and runs every test,
# including the wine suite (label wine): the 64-bit kivera.dll and its Windows
# test programs under wine64, built in build/default/windows-x64.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${LINUX_PACKAGES[@]}" "${WINE_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
ctest --preset default -j "$(nproc)"
