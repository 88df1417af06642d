#!/usr/bin/env bash
# Installs what is missing, builds and runs every test. --sanitize: the AddressSanitizer and
# UndefinedBehaviorSanitizer build; --tsan: the ThreadSanitizer build; --device: the device
# build (KRA_DEVICE=ON).
source "$(dirname "$0")/scripts/common.sh"
# --armhf: the cross build for the board, its suite under qemu (scripts/armhf.sh).
if [ "${1:-}" = "--armhf" ]; then exec bash "$KRA_TOP/scripts/armhf.sh"; fi
kra_install
if [ "${1:-}" = "--sanitize" ]; then
  dir="$KRA_TOP/build-asan"
  kra_build "$dir" -DCMAKE_BUILD_TYPE=Debug -DKRA_SANITIZE=ON
elif [ "${1:-}" = "--device" ]; then
  # The device build's suite: its test programs record commands and use the chip models, so
  # it is harmless on a PC; it runs without a network where that can be arranged, to be sure.
  dir="$KRA_TOP/build-device"
  kra_build "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKRA_DEVICE=ON
  cd "$dir"
  if unshare -n true 2>/dev/null; then
    exec unshare -n env QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
  fi
  QT_QPA_PLATFORM=offscreen exec ctest --output-on-failure -j"$(nproc)"
elif [ "${1:-}" = "--tsan" ]; then
  dir="$KRA_TOP/build-tsan"
  kra_build "$dir" -DCMAKE_BUILD_TYPE=Debug -DKRA_TSAN=ON
else
  dir="$KRA_TOP/build"
  kra_build "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cd "$dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
