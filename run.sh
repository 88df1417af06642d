#!/usr/bin/env bash
# Installs what is missing, builds and starts kraQ71N on the simulated device.
#   ./run.sh [--root DIR]     (the data root; else $KRA_ROOT, else run-data/ in the checkout)
source "$(dirname "$0")/scripts/common.sh"
while [ $# -gt 0 ]; do
  case "$1" in
    --root) KRA_ROOT="${2:?--root needs a folder}"; shift 2 ;;
    *) echo "usage: ./run.sh [--root DIR]" >&2; exit 2 ;;
  esac
done
kra_install
kra_build "$KRA_TOP/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
export KRA_ROOT="${KRA_ROOT:-$KRA_TOP/run-data}"
if [ ! -e "$KRA_ROOT" ]; then
  # A fresh data root starts with two inputs plugged, so that the first screen shows live
  # inputs and the file shows its format by example.
  mkdir -p "$KRA_ROOT/sim"
  cat > "$KRA_ROOT/sim/inputs.txt" <<'INPUTS'
               # EXT
1280x1024@60   # DVI
1920x1080@60   # HDMI1
               # HDMI2
               # HDMI3
               # HDMI4
#
# Simulated inputs. Lines 1 to 6 are EXT, DVI, HDMI1, HDMI2, HDMI3 and HDMI4, one line
# each: keep the six lines in place. A line holds width, height and frame rate, written
# "1920x1080@60", "1920 1080 60" or "1920,1080,60"; a line without them means no signal.
# "#" starts a comment. Edit a line to plug or unplug an input; the file is re-read about
# every 60 ms.
INPUTS
fi
mkdir -p "$KRA_ROOT"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$KRA_TOP/build/kraQ71N" --root "$KRA_ROOT"
fi
port="${KRA_VNC_PORT:-5900}"
# Qt's VNC platform listens on every address and only warns when the port is taken there,
# then runs on where nobody can reach it: look for a listener on the port, on any address.
# Each table only where it exists: a kernel without IPv6 has no tcp6.
port_hex=$(printf ':%04X' "$port" 2>/dev/null || echo ":$port")
tables=()
for t in /proc/net/tcp /proc/net/tcp6; do
  if [ -r "$t" ]; then tables+=("$t"); fi
done
if { [ ${#tables[@]} -gt 0 ] &&
     awk -v p="$port_hex" '$4 == "0A" && substr($2, length($2) - 4) == p { found = 1 } END { exit !found }' "${tables[@]}"; } ||
   timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$port" 2>/dev/null; then
  echo "Port $port is already in use: set KRA_VNC_PORT to a free port (KRA_VNC_PORT=$((port + 1)) ./run.sh)" >&2
  exit 1
fi
echo "No display: connect a VNC viewer to localhost:$port"
exec "$KRA_TOP/build/kraQ71N" --root "$KRA_ROOT" -platform "vnc:size=800x480:port=$port"
