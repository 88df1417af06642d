#!/usr/bin/env bash
# Installs what is missing, builds and starts kraQ71N on the simulated device.
source "$(dirname "$0")/scripts/common.sh"
kra_install
kra_build "$KRA_TOP/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
export KRA_ROOT="${KRA_ROOT:-$KRA_TOP/run-data}"
mkdir -p "$KRA_ROOT"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$KRA_TOP/build/kraQ71N" --root "$KRA_ROOT"
fi
port="${KRA_VNC_PORT:-5900}"
echo "No display: connect a VNC viewer to localhost:$port"
exec "$KRA_TOP/build/kraQ71N" --root "$KRA_ROOT" -platform "vnc:size=800x480:port=$port"
