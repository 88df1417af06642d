#!/usr/bin/env bash
# Builds for the board (32-bit ARM, Debian armhf): installs the cross toolchain, Qt for armhf
# and qemu-user through Debian's multiarch, cross-builds the host kind into build-armhf/ and
# runs its whole suite under qemu, then cross-builds the device kind into build-armhf-device/.
source "$(dirname "$0")/common.sh"
if ! dpkg --print-foreign-architectures | grep -qx armhf; then
  echo "Adding the armhf architecture"
  if [ "$(id -u)" = 0 ]; then dpkg --add-architecture armhf; else sudo dpkg --add-architecture armhf; fi
fi
kra_install $KRA_PACKAGES crossbuild-essential-armhf qtbase5-dev:armhf qemu-user-static
toolchain=-DCMAKE_TOOLCHAIN_FILE="$KRA_TOP/cmake/armhf.cmake"
kra_build "$KRA_TOP/build-armhf" "$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKRA_DEVICE=OFF
# Under the emulator a program can misread its own children's process ids; in a process
# namespace of its own a stray signal cannot reach anything outside the suite.
if unshare -pf --mount-proc true 2>/dev/null; then
  (cd "$KRA_TOP/build-armhf" && unshare -pf --mount-proc ctest --output-on-failure -j"$(nproc)")
else
  (cd "$KRA_TOP/build-armhf" && ctest --output-on-failure -j"$(nproc)")
fi
kra_build "$KRA_TOP/build-armhf-device" "$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKRA_DEVICE=ON
