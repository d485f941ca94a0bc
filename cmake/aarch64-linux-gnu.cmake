# Cross-compiling for 64-bit ARM with Debian's cross compiler and the arm64
# libraries installed beside the native ones (multiarch). Qt's code
# generators (moc) are the host's. Test programs run under user-mode
# emulation.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(QT_HOST_PATH /usr CACHE PATH "Where the host's Qt tools live")

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L /usr/aarch64-linux-gnu)
