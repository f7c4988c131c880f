#!/usr/bin/env bash
# Builds kivera.dll for Windows and its zip, and checks in the DLL the zip
# holds what a host relies on: a PE32 i386 (x86) or PE32+ x86-64 (x64) DLL
# exporting the seven functions under their plain names, with resources,
# needing no DLL beyond Windows' own.
#   scripts/check-dll.sh [x86|x64 [BUILD_FOLDER]]   (default x86, build/windows-x86)
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
bits=${1:-x86}
case "$bits" in
  x86) mingw=i686-w64-mingw32 format=pei-i386 kind="PE32 i386" suffix=win32 ;;
  x64) mingw=x86_64-w64-mingw32 format=pei-x86-64 kind="PE32+ x86-64" suffix=win64 ;;
  *) echo "usage: scripts/check-dll.sh [x86|x64 [BUILD_FOLDER]]" >&2; exit 2 ;;
esac
build=${2:-$source_dir/build/windows-$bits}
cmake --preset "windows-$bits" -S "$source_dir" -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)"
cmake --build "$build" --target package >/dev/null
zip=$(ls "$build"/kivera-*-$suffix.zip)
dll=$build/zipped-kivera.dll
unzip -p "$zip" Plugins/kivera.dll >"$dll"
dump=$($mingw-objdump -p "$dll")
fail=0
grep -q "file format $format\$" <<<"$($mingw-objdump -f "$dll")" \
  || { echo "not a $kind file: $dll"; fail=1; }
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -P '^\t\[' | awk '{print $3}' | sort)
expected=$(printf '%s\n' MQCheckVersion MQEnumString MQGetPlugInID MQGetPlugInName \
  MQGetPlugInType MQInit MQModifySelect)
if [ "$exports" != "$expected" ]; then
  echo "export table differs:"; diff <(echo "$expected") <(echo "$exports") || true; fail=1
fi
for name in $(grep 'DLL Name:' <<<"$dump" | awk '{print $3}'); do
  case "${name,,}" in
    kernel32.dll|user32.dll|msvcrt.dll|advapi32.dll|gdi32.dll|ntdll.dll) ;;
    *) echo "needs a DLL that Windows does not bring: $name"; fail=1 ;;
  esac
done
$mingw-objdump -h "$dll" | grep -q '\.rsrc' || { echo "no resources in $dll"; fail=1; }
[ $fail -eq 0 ] && echo "kivera.dll in $zip: $kind, 7 plain exports, resources, system DLLs only"
exit $fail
