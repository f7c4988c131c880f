# The Debian packages each build needs (sourced by the other scripts).
# Linux module, stand-in host, tests: compiler, CMake, GoogleTest, and the
# libraries the host program uses for documents and its command line.
LINUX_PACKAGES=(g++ make cmake libgtest-dev nlohmann-json3-dev libcli11-dev libtinyobjloader-dev)
# The same at 32 bits (preset linux-x86): the multilib compiler and the i386
# libraries (nlohmann-json and CLI11 are headers only).
LINUX_X86_PACKAGES=(g++-multilib libgtest-dev:i386 libtinyobjloader-dev:i386)
# Where the kernel cannot run 32-bit programs, the 32-bit tests run under this.
QEMU_PACKAGES=(qemu-user)
# The 32-bit Windows DLL, its zip, and its tests under 32-bit wine in a
# Japanese locale.
WINDOWS_PACKAGES=(g++-mingw-w64-i686 binutils-mingw-w64-i686)
WINE32_PACKAGES=("${WINDOWS_PACKAGES[@]}" wine32:i386 locales unzip)
# The Blender add-on's test in headless Blender (numpy: the add-on moves
# meshes in bulk with it; Debian's blender does not pull it in).
BLENDER_PACKAGES=(blender python3-numpy)
# The 64-bit Windows build and its tests under wine64, in a Japanese locale.
WINE_PACKAGES=(g++-mingw-w64-x86-64 wine64 locales)
