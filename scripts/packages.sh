# The Debian packages each build needs (sourced by the other scripts).
# Linux module, stand-in host, tests: compiler, CMake, GoogleTest, and the
# libraries the host program uses for documents and its command line.
LINUX_PACKAGES=(g++ make cmake libgtest-dev nlohmann-json3-dev libcli11-dev libtinyobjloader-dev)
# The 32-bit Windows DLL.
WINDOWS_PACKAGES=(g++-mingw-w64-i686 binutils-mingw-w64-i686)
# The 64-bit Windows build and its tests under wine64, in a Japanese locale.
WINE_PACKAGES=(g++-mingw-w64-x86-64 wine64 locales)
