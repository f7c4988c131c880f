# Cross build of kivera.dll for 32-bit Windows with Debian's MinGW-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# SSE2 arithmetic instead of the x87 unit, which keeps intermediates in 80
# bits: with SSE2 and no contraction (-ffp-contract=off) every +, -, *, / and
# sqrt rounds exactly as in the Linux module. acos, sin, cos and tan come from
# the C runtime the DLL is linked with, not glibc, and may differ from it in a
# double's last bit; the commands store floats, so results agree after that
# rounding as far as it is measured, not by guarantee. Measured: the Windows
# suite under 32-bit wine checks the DLL's results case by case, and
# scripts/compare-word-sizes.sh finds the 32-bit and 64-bit Linux builds
# (whose libm differ too) byte-identical on every example and command.
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
