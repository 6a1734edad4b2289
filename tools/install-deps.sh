#!/bin/sh
# Installs the Debian packages the build, the tests and the game need, when any is missing.
# Runs apt-get directly as root, through sudo otherwise.
set -eu
PACKAGES="build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
libsdl2-dev libsdl2-ttf-dev libfontconfig-dev fonts-ipafont-gothic
libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev libgtk-3-dev
libgtest-dev libgmock-dev libbenchmark-dev python3 imagemagick xvfb xauth xdotool x11-utils
espeak-ng"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
