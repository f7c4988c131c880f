#!/usr/bin/env bash
# Builds the whole project at 32 bits (preset linux-x86: module, stand-in
# host, program, every test) and runs its tests. Where the kernel cannot run
# 32-bit programs it says so and runs them under qemu-i386 instead.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${LINUX_PACKAGES[@]}" "${LINUX_X86_PACKAGES[@]}"
emulator=()
probe=$(mktemp -d)
echo 'int main() { return 0; }' >"$probe/probe.cpp"
g++ -m32 -o "$probe/probe" "$probe/probe.cpp"
if ! "$probe/probe" 2>/dev/null; then
  echo "This machine cannot run 32-bit programs: the 32-bit tests run under qemu-i386."
  scripts/install-packages.sh "${QEMU_PACKAGES[@]}"
  emulator=(-DCMAKE_CROSSCOMPILING_EMULATOR=qemu-i386)
fi
rm -rf "$probe"
cmake --preset linux-x86 "${emulator[@]}" >/dev/null
cmake --build --preset linux-x86 -j "$(nproc)"
ctest --preset linux-x86 -j "$(nproc)"
