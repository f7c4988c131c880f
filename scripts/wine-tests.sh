#!/usr/bin/env bash
# Builds the 64-bit kivera.dll and the Windows test programs (preset
# windows-x64) and runs the suite under wine64, as a Windows host runs the
# plug-in: usage scripts/wine-tests.sh [BUILD_FOLDER] (default build/windows-x64).
#
# wine gets a fresh prefix inside the build folder, its null graphics driver
# (no display needed: windows exist, nothing is drawn), no debug output, and
# a Japanese locale, so that the ANSI code page is 932.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source_dir/build/windows-x64}
mkdir -p "$build"
build=$(cd "$build" && pwd)   # wine takes only an absolute prefix
source "$source_dir/scripts/packages.sh"

fail() { echo "wine tests: $*" >&2; exit 1; }

wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] || [ ! -x /usr/lib/wine/wineserver64 ] || wineserver=/usr/lib/wine/wineserver64
missing=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=("the MinGW-w64 x86-64 compiler")
[ -n "$wine" ] && [ -n "$wineserver" ] || missing+=("wine64")
command -v localedef >/dev/null || missing+=("localedef")
if [ ${#missing[@]} -gt 0 ]; then
  list=$(IFS=,; echo "${missing[*]}")
  fail "missing ${list//,/, }; install with: scripts/install-packages.sh ${WINE_PACKAGES[*]}"
fi

# Code page 932 needs a Japanese locale for wine to take it from.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  echo "Generating the locale ja_JP.UTF-8"
  localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8 \
    || fail "cannot generate the locale ja_JP.UTF-8 (needs root and the package locales)"
fi

cmake --preset windows-x64 -S "$source_dir" -B "$build" >/dev/null
cmake --build "$build" -j 2

# The layout a host gives the plug-in, on a short path inside the prefix:
# C:\kivera\app\kivera.ini beside C:\kivera\app\plugins\kivera.dll (the
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
"$wineserver" -k || true
"$wineserver" -w || true

root=$WINEPREFIX/drive_c/kivera
mkdir -p "$root/app/plugins"
cp "$build/kivera-wine-tests.exe" "$build/kivera-wine-nofreeze.exe" "$root/"
cp "$build/app/plugins/kivera.dll" "$root/app/plugins/"

"$wineserver" -p5 </dev/null >/dev/null 2>&1 || fail "cannot start wineserver"
log=$build/wine-tests.log
set +e
timeout 900 "$wine" 'C:\kivera\kivera-wine-tests.exe' </dev/null 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e
# A suite that died early has no closing line: that is a failure too.
if [ "$status" -eq 0 ] && ! tail -n 1 "$log" | grep -qE '^[0-9]+ passed, 0 failed'; then
  echo "wine tests: the suite ended without its closing line" >&2
  status=1
fi
echo "wine tests: ${SECONDS} s for build, prefix and suite (exit status $status)" | tee -a "$log"
# The prefix is large; keep it only to look into a failure.
[ "$status" -ne 0 ] || { "$wineserver" -k >/dev/null 2>&1 || true; "$wineserver" -w || true; rm -rf "$WINEPREFIX"; }
exit "$status"
