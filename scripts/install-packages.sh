#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are missing;
# names ending in :i386 add that architecture to dpkg first when it lacks it.
# Used by the other scripts; needs root (or sudo) only when something is missing.
#
# A package index that fails to download (a mirror in mid-sync) is a warning:
# the lists already there usually serve. Only a package that really cannot be
# installed fails, with one line `cannot install PACKAGE: REASON` per such
# package (the rest are installed); the exit status is apt-get install's.
set -euo pipefail
missing=()
for package in "$@"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if [[ " ${missing[*]}" == *:i386* ]] && [ "$(dpkg --print-architecture)" != i386 ] \
   && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture to dpkg"
  $sudo dpkg --add-architecture i386
fi
log=$(mktemp "${TMPDIR:-/tmp}/kivera-apt.XXXXXX")
trap 'rm -f "$log"' EXIT

# apt-get update exits 100 on a failed index on some versions and 0 on
# others, printing "E:" or "W: Failed" lines either way.
status=0
$sudo apt-get update -qq >"$log" 2>&1 || status=$?
# "E: Failed to fetch URL  REASON [IP: ...]" -> "URL (REASON)"
failed=$(sed -nE 's/ +\[IP: [^]]*\]$//; s/^[EW]: Failed to fetch ([^ ]+) +(.*[^ ]) *$/\1 (\2)/p' "$log" \
         | paste -sd';' | sed 's/;/; /g')
first=$(grep -m1 -E '^(E:|W: Failed)' "$log" || true)
if [ -n "$failed" ]; then
  echo "warning: apt-get update could not fetch $failed; installing with the package lists as they are" >&2
elif [ "$status" -ne 0 ] || [ -n "$first" ]; then
  echo "warning: apt-get update failed (exit status $status): ${first:-no message};" \
       "installing with the package lists as they are" >&2
fi

# The reason apt gives for not installing: its first error line (else its
# last line: sudo missing, say), and the first dependency it cannot satisfy
# when it lists them.
reasonOf() {
  local error dependency
  error=$(grep -m1 '^E: ' "$1" | sed 's/^E: //' || true)
  dependency=$(grep -m1 -E '^ +[^ ]+ : [A-Za-z-]+: ' "$1" | sed -E 's/^ +//; s/ +/ /g' || true)
  [ -n "$error" ] || error=$(grep -v '^ *$' "$1" | tail -n 1 || true)
  error=${error:-no message}
  echo "$error${dependency:+ ($dependency)}"
}

install() {
  $sudo apt-get install -y -qq --no-install-recommends "$@" >"$log" 2>&1
}

status=0
install "${missing[@]}" || status=$?
[ "$status" -ne 0 ] || exit 0
reason=$(reasonOf "$log")

# Which of them cannot be installed: each tried on its own, simulated.
installable=()
for package in "${missing[@]}"; do
  if apt-get install -s -y --no-install-recommends "$package" >"$log" 2>&1; then
    installable+=("$package")
  else
    echo "cannot install $package: $(reasonOf "$log")" >&2
  fi
done
if [ ${#installable[@]} -eq ${#missing[@]} ]; then
  # Each would install alone: the fault is in the install itself.
  echo "apt-get install failed: $reason" >&2
elif [ ${#installable[@]} -gt 0 ]; then
  install "${installable[@]}" || echo "apt-get install failed: $(reasonOf "$log")" >&2
fi
exit "$status"
