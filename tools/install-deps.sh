#!/bin/sh
# Installs the Debian 12 packages the build, the tests and the tools need,
# only those that are missing, as root or through sudo.
set -e
PACKAGES="cmake ninja-build g++ clang pkg-config libsdl2-dev libasound2-dev
libfluidsynth-dev timgm6mb-soundfont
libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev
xvfb xdotool x11-utils sox netpbm imagemagick ffmpeg python3"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
echo "installing:$missing"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
