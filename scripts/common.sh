# Shared by run.sh and test.sh: installs what is missing and builds.
set -euo pipefail
KRA_TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KRA_PACKAGES="g++ cmake ninja-build qtbase5-dev libboost-dev fonts-wqy-microhei"

# kra_install [packages...]: the given packages, or KRA_PACKAGES.
kra_install() {
  local missing=""
  for p in ${*:-$KRA_PACKAGES}; do
    # Once a foreign architecture's copy is installed too, a bare name is ambiguous.
    dpkg -s "$p" >/dev/null 2>&1 || dpkg -s "$p:$(dpkg --print-architecture)" >/dev/null 2>&1 ||
      missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  local sudo=""
  if [ "$(id -u)" != 0 ]; then
    command -v sudo >/dev/null || { echo "Please install:$missing" >&2; exit 1; }
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-remove $missing >/dev/null
}

# kra_build DIR [cmake options...]
kra_build() {
  local dir="$1"; shift
  cmake -S "$KRA_TOP" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}
