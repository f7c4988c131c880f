#!/usr/bin/env bash
# Builds kivera.dll and the Windows test programs and runs the suite under
# wine, as a Windows host runs the plug-in:
#   scripts/wine-tests.sh x86|x64 [BUILD_FOLDER]
# x86: the product, preset windows-x86 (default folder build/windows-x86),
#      under 32-bit wine;
# x64: preset windows-x64 (default folder build/windows-x64) under wine64.
# The DLL and kivera.ini are taken from the zip that `--target package`
# makes (kivera-<version>-win32.zip, -win64.zip), as a user gets them.
#
# wine gets a fresh prefix inside the build folder, its null graphics driver
# (no display needed: windows exist, nothing is drawn), no debug output, a
# Japanese locale, so that the ANSI code page is 932, and no crash dialog: an
# unhandled exception prints its address and backtrace and ends the process.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
bits=${1:-}
case "$bits" in
  x86) mingw=i686-w64-mingw32 wine=/usr/lib/wine/wine wineserver=/usr/lib/wine/wineserver32
       export WINEARCH=win32 ;;
  x64) mingw=x86_64-w64-mingw32 wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver64
       export WINEARCH=win64 ;;
  *) echo "usage: scripts/wine-tests.sh x86|x64 [BUILD_FOLDER]" >&2; exit 2 ;;
esac
build=${2:-$source_dir/build/windows-$bits}
mkdir -p "$build"
build=$(cd "$build" && pwd)   # wine takes only an absolute prefix
source "$source_dir/scripts/packages.sh"

fail() { echo "wine tests ($bits): $*" >&2; exit 1; }

missing=()
command -v "$mingw-g++-posix" >/dev/null || missing+=("the MinGW-w64 $bits compiler")
[ -x "$wine" ] && [ -x "$wineserver" ] || missing+=("wine for $bits")
command -v localedef >/dev/null || missing+=("localedef")
command -v unzip >/dev/null || missing+=("unzip")
if [ ${#missing[@]} -gt 0 ]; then
  list=$(IFS=,; echo "${missing[*]}")
  if [ "$bits" = x86 ]; then packages="${WINDOWS_PACKAGES[*]} ${WINE32_PACKAGES[*]} locales"
  else packages=${WINE_PACKAGES[*]}; fi
  fail "missing ${list//,/, }; install with: scripts/install-packages.sh $packages"
fi

# Code page 932 needs a Japanese locale for wine to take it from.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  echo "Generating the locale ja_JP.UTF-8"
  localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8 \
    || fail "cannot generate the locale ja_JP.UTF-8 (needs root and the package locales)"
fi

cmake --preset "windows-$bits" -S "$source_dir" -B "$build" >/dev/null
cmake --build "$build" -j 2
cmake --build "$build" --target package >/dev/null
if [ "$bits" = x86 ]; then suffix=win32; else suffix=win64; fi
zip=$(ls "$build"/kivera-*-$suffix.zip)

# The layout a host gives the plug-in, on a short path inside the prefix:
# C:\kivera\app\kivera.ini beside C:\kivera\app\Plugins\kivera.dll (the
# settings folder is derived in a 128-byte buffer).
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
unset DISPLAY WAYLAND_DISPLAY
export HOME=${HOME:-$build}
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
cleanup() { "$wineserver" -k >/dev/null 2>&1 || true; }
trap cleanup EXIT
# A server of our own with its output closed, so that nothing wine leaves
# behind holds the caller's output open.
"$wineserver" -p5 </dev/null >/dev/null 2>&1 || fail "cannot start wineserver"
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1 \
  || fail "cannot create the wine prefix $WINEPREFIX"
# A crash must end the suite at once: the debugger wine starts on an
# unhandled exception prints the backtrace and ends the process without its
# crash dialog, which with nobody to close it would wait until the timeout.
"$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
  </dev/null >/dev/null 2>&1 || fail "cannot turn off the crash dialog"
"$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f \
  </dev/null >/dev/null 2>&1 || fail "cannot make the debugger start unasked"
"$wineserver" -k || true
"$wineserver" -w || true

root=$WINEPREFIX/drive_c/kivera
mkdir -p "$root/app/Plugins"
cp "$build/kivera-wine-tests.exe" "$build/kivera-wine-nofreeze.exe" "$root/"
unzip -q "$zip" -d "$root/app"
echo "wine tests ($bits): kivera.dll and kivera.ini from $zip"

"$wineserver" -p5 </dev/null >/dev/null 2>&1 || fail "cannot start wineserver"
log=$build/wine-tests.log
set +e
timeout 900 "$wine" 'C:\kivera\kivera-wine-tests.exe' </dev/null 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e
# A suite that died early has no closing line: that is a failure too.
if [ "$status" -eq 0 ] && ! tail -n 1 "$log" | grep -qE '^[0-9]+ passed, 0 failed'; then
  echo "wine tests ($bits): the suite ended without its closing line" >&2
  status=1
fi
echo "wine tests ($bits): ${SECONDS} s for build, prefix and suite (exit status $status)" | tee -a "$log"
# The prefix is large; keep it only to look into a failure.
[ "$status" -ne 0 ] || { "$wineserver" -k >/dev/null 2>&1 || true; "$wineserver" -w || true; rm -rf "$WINEPREFIX"; }
exit "$status"
