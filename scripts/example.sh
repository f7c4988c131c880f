#!/usr/bin/env bash
# The main job, end to end: builds the plug-in and kivera-host, then runs the
# command "select connected points" (接続点を選択) on an example document, a
# grid with a ring of selected lines, and writes the result and a picture of
# it before and after into build/example/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${LINUX_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target kivera-host kivera kivera-settings
out=build/example
mkdir -p "$out"
build/default/app/kivera-host run examples/grid-ring.json --command 接続点を選択 \
  --out "$out/grid-ring-result.json" --force --svg "$out/grid-ring.svg" --labels
echo
echo "The result document: $out/grid-ring-result.json"
echo "Its picture, before and after (open it in a web browser): $out/grid-ring.svg"
echo "More examples: examples/README.md"
