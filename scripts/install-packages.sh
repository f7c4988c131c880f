#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are missing;
# names ending in :i386 add that architecture to dpkg first when it lacks it.
# Used by the other scripts; needs root (or sudo) only when something is missing.
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
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
