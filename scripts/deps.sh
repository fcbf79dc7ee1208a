#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the benchmarks
# need. Only missing packages are installed, so running it again is cheap.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-svg-dev adwaita-icon-theme
  nlohmann-json3-dev libssl-dev
  googletest libgtest-dev libgmock-dev
  dbus dbus-daemon tzdata
  rsync hyperfine time
  e2fsprogs mount
  clang-format
  # Desktop integration checks and the outside-in window test
  desktop-file-utils appstream
  xvfb at-spi2-core gir1.2-atspi-2.0 python3-gi x11-utils imagemagick xdotool wmctrl
  openbox trayer
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
