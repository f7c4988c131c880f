# The whole project for 32-bit x86 Linux with Debian's multilib g++ and the
# :i386 GoogleTest and tinyobjloader packages. Not a cross build: the kernel
# runs 32-bit programs (or qemu-i386 does), so the tests run as usual.
set(CMAKE_CXX_COMPILER g++)
# SSE2 arithmetic as in the Windows DLL, not the x87 unit's 80-bit
# intermediates.
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
# Find the i386 libraries and CMake packages, never the amd64 ones.
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /usr/lib/x86_64-linux-gnu/cmake)
