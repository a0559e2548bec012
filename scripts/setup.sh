#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Runs as root, or through sudo when started by another user.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev libqt6multimedia6 libxkbcommon-dev libgl-dev
  libgtest-dev fonts-dejavu-core desktop-file-utils appstream dpkg-dev file
)
if [ "${CARDOVIA_WITH_XVFB:-0}" = 1 ]; then
  packages+=(xvfb xdotool x11-utils imagemagick)
fi
# The screen reader's test: a private X server and accessibility bus, read
# over AT-SPI as a reader would.
if [ "${CARDOVIA_WITH_READER:-0}" = 1 ]; then
  packages+=(xvfb xdotool x11-utils dbus-daemon at-spi2-core python3-pyatspi orca)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: please run as root or install sudo" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
echo "setup: installing ${missing[*]}"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -q --no-install-recommends "${missing[@]}"
