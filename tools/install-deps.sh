#!/bin/sh
# Installs the Debian 12 packages that are missing, as root or through sudo.
# Group "run" (the default): what building and running the program needs.
# Group "all": also what the tests, checks, benchmarks, tools and the package
# test need. Usage: install-deps.sh [run|all]
set -e
RUN="cmake ninja-build g++ pkg-config libsdl2-dev libasound2-dev
libfluidsynth-dev timgm6mb-soundfont libavformat-dev libavcodec-dev
libavutil-dev libpng-dev zlib1g-dev"
TEST="libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
xvfb xdotool x11-utils jwm sox netpbm imagemagick ffmpeg python3 dpkg-dev fakeroot lintian
doxygen"
WEB="emscripten node-acorn"

case "${1:-run}" in
run) PACKAGES=$RUN ;;
all) PACKAGES="$RUN $TEST $WEB chromium" ;;
web) PACKAGES=$WEB ;;
*) echo "usage: install-deps.sh [run|all|web]" >&2; exit 2 ;;
esac

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
