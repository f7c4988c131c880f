#!/usr/bin/env bash
# Builds kivera (Linux module, stand-in host, tests) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${LINUX_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
ctest --preset default -j "$(nproc)"
