#!/usr/bin/env bash
# The same results at both word sizes: runs every example document through
# every command, and the command lines of examples/README.md, with the
# program and module of two builds (by default the 64-bit build/default and
# the 32-bit build/linux-x86), and requires byte-identical documents, reports
# (the program's output and exit status), saved points (kivera.idx) and
# pictures. Usage: scripts/compare-word-sizes.sh [BUILD_A BUILD_B]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_a=$(cd "${1:-$source_dir/build/default}" && pwd)
build_b=$(cd "${2:-$source_dir/build/linux-x86}" && pwd)
examples=$source_dir/examples
work=$(mktemp -d "${TMPDIR:-/tmp}/kivera-word-sizes.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The dialog answers of examples/README.md: 101 arranges on a line, 102
# restores every axis.
dialog_of() {
  case "$1" in
    8) echo "1004 1" ;;
    11) echo "1008 1009 1010 1" ;;
  esac
}

# Cases, one a line: a name, then the document and the command line.
cases() {
  for document in "$examples"/*.json; do
    name=$(basename "$document" .json)
    for row in $(seq 0 18); do
      dialog=$(dialog_of "$row")
      echo "$name-$row $document -c $row${dialog:+ --dialog \"$dialog\"}"
    done
  done
  # The sequences of examples/README.md, whose later commands need the
  # earlier ones' results (a restore needs saved points).
  echo "readme-saved-points $examples/saved-points.json -c save-points -c rotate-by-view" \
       "-c restore-points --dialog \"1008 1009 1010 1\""
  echo "readme-deselect $examples/mixed-selection.json -c 1 -c 2"
  echo "readme-two-rings $examples/grid-center-vertex.json -c 3 -c 3"
}

run_all() {
  local build=$1 out=$2 count=0 launcher
  # qemu-i386 where the 32-bit build runs only under it (scripts/test-x86.sh).
  launcher=$(sed -n 's/^CMAKE_CROSSCOMPILING_EMULATOR:[A-Z]*=//p' "$build/CMakeCache.txt")
  while read -r name document arguments; do
    local folder=$out/$name
    mkdir -p "$folder/settings"
    cp "$build/app/kivera.ini" "$folder/settings/"
    (
      cd "$folder"
      set +e
      eval "$launcher \"$build/app/kivera-host\" run \"$document\" $arguments --out result.json" \
           "--svg result.svg --system-dir settings" </dev/null >report.txt 2>&1
      echo "exit status $?" >>report.txt
    )
    count=$((count + 1))
  done < <(cases)
  echo "$count"
}

# Both builds run in the same folder, since reports name the files they wrote.
count=$(run_all "$build_a" "$work/run")
mv "$work/run" "$work/a"
run_all "$build_b" "$work/run" >/dev/null
mv "$work/run" "$work/b"
if ! diff -r "$work/a" "$work/b" >"$work/differences"; then
  echo "word sizes: $build_a and $build_b differ:" >&2
  head -n 60 "$work/differences" >&2
  exit 1
fi
files=$(find "$work/a" -type f | wc -l)
echo "word sizes: $count runs, $files files byte-identical between $build_a and $build_b"
