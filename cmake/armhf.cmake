# Cross-compiles for the board (32-bit ARM, Debian armhf) with Debian's multiarch packages:
# crossbuild-essential-armhf, qtbase5-dev:armhf and qemu-user-static (scripts/armhf.sh).
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/armhf.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
# Multiarch, no sysroot: Qt's armhf CMake packages are found under /usr/lib/<triplet>. They
# name moc, uic and rcc by their shared path /usr/lib/qt5/bin, which holds the build
# machine's own tools (qtbase5-dev-tools is Multi-Arch: foreign), so code generation runs
# natively.
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
# GCC notes every std::vector<double> iterator passed by value that its ABI changed in GCC 7.1;
# everything on the board is built by a later GCC.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)

# Tests, and any built program a custom command runs at build time, go through the emulator.
find_program(KRA_ARMHF_EMULATOR NAMES qemu-arm-static qemu-arm)
if(KRA_ARMHF_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KRA_ARMHF_EMULATOR})
endif()
