#!/usr/bin/env bash
# scripts/install-packages.sh against stand-in dpkg-query, dpkg, sudo and
# apt-get first on PATH (the real package state is never touched): a failed
# index is a warning and the install goes on; the exit status is the
# install's; a package that cannot be installed is named with apt's reason
# while the others are installed.
#   tests/scripts/install_packages_test.sh SOURCE_DIR
set -uo pipefail
script=${1:?usage: install_packages_test.sh SOURCE_DIR}/scripts/install-packages.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/kivera-install-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
bin=$work/bin
mkdir -p "$bin"

# Every package looks missing; i386 is a foreign architecture already.
printf '#!/bin/sh\nexit 1\n' >"$bin/dpkg-query"
printf '#!/bin/sh\ncase "$1" in --print-architecture) echo amd64;; --print-foreign-architectures) echo i386;; *) exit 1;; esac\n' >"$bin/dpkg"
printf '#!/bin/sh\nexec "$@"\n' >"$bin/sudo"
# apt-get: `update` prints what a mirror in mid-sync makes apt print and exits
# $UPDATE_STATUS; `install` fails naming the packages of $BROKEN as apt does
# and logs the packages it installs (a simulation installs nothing).
cat >"$bin/apt-get" <<'EOF'
#!/bin/bash
if [ "$1" = update ]; then
  echo "E: Failed to fetch http://mirror.test/dists/s/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress? [IP: 192.0.2.1 80]"
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
  exit "$UPDATE_STATUS"
fi
simulate=0 packages=() broken=0
for a in "${@:2}"; do
  case "$a" in -s) simulate=1 ;; -*) ;; *) packages+=("$a") ;; esac
done
for p in "${packages[@]}"; do
  case " $BROKEN " in
    *" $p "*) broken=1
       case "$p" in
         missing*) echo "E: Unable to locate package $p" ;;
         *) echo "The following packages have unmet dependencies:"
            echo " lib$p : Depends: libz:i386 (>= 1) but it is not going to be installed"
            echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages." ;;
       esac ;;
  esac
done
[ $broken -eq 0 ] || exit 100
[ $simulate -eq 1 ] || echo "${packages[*]}" >>"$INSTALLED"
EOF
chmod +x "$bin"/*

failures=0
# update status | packages broken | arguments | expected status | expected
# installs (one call a line, ';' between calls) | expected messages (grep -E, ';' between)
cases=(
  "100||g++|0|g++|^warning: apt-get update could not fetch http://mirror.test/dists/s/main/binary-i386/Packages.xz \(File has unexpected size \(1 != 2\)\. Mirror sync in progress\?\)"
  "0||g++ make|0|g++ make|^warning: apt-get update could not fetch http://mirror.test/"
  "100|wine32:i386 missing-one|g++ wine32:i386 missing-one make|100|g++ make|^cannot install wine32:i386: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages\. \(libwine32:i386 : Depends: libz:i386 \(>= 1\) but it is not going to be installed\)$;^cannot install missing-one: Unable to locate package missing-one$"
)
for row in "${cases[@]}"; do
  IFS='|' read -r update broken arguments status installs messages <<<"$row"
  export INSTALLED=$work/installed UPDATE_STATUS=$update BROKEN=$broken
  rm -f "$INSTALLED"
  # shellcheck disable=SC2086
  output=$(PATH=$bin:$PATH bash "$script" $arguments 2>&1)
  actual=$?
  label="install-packages.sh $arguments (update exits $update, broken: ${broken:-none})"
  [ "$actual" -eq "$status" ] || { echo "$label: exit status $actual, expected $status"; failures=$((failures + 1)); }
  expected=$(tr ';' '\n' <<<"$installs")
  got=$(cat "$INSTALLED" 2>/dev/null)
  [ "$got" = "$expected" ] || { echo "$label: installed [$got], expected [$expected]"; failures=$((failures + 1)); }
  IFS=';' read -ra patterns <<<"$messages"
  for pattern in "${patterns[@]}"; do
    grep -qE -- "$pattern" <<<"$output" || { echo "$label: no line matching $pattern in:"; echo "$output"; failures=$((failures + 1)); }
  done
done
[ "$failures" -eq 0 ] && echo "install-packages.sh: ${#cases[@]} cases passed"
exit $((failures > 0))
