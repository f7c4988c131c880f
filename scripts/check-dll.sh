#!/usr/bin/env bash
# Builds kivera.dll for 32-bit Windows and its zip, and checks in the DLL the
# zip holds what a host relies on: a PE32 i386 DLL exporting the seven
# functions under their plain names, with resources, needing no DLL beyond
# Windows' own.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 -j "$(nproc)"
cmake --build --preset windows-x86 --target package >/dev/null
zip=$(ls build/windows-x86/kivera-*-win32.zip)
dll=build/windows-x86/zipped-kivera.dll
unzip -p "$zip" Plugins/kivera.dll >"$dll"
dump=$(i686-w64-mingw32-objdump -p "$dll")
fail=0
grep -q 'file format pei-i386' <<<"$(i686-w64-mingw32-objdump -f "$dll")" \
  || { echo "not a PE32 i386 file: $dll"; fail=1; }
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
i686-w64-mingw32-objdump -h "$dll" | grep -q '\.rsrc' || { echo "no resources in $dll"; fail=1; }
[ $fail -eq 0 ] && echo "kivera.dll in $zip: PE32 i386, 7 plain exports, resources, system DLLs only"
exit $fail
