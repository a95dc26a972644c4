#!/bin/sh
# The Debian package: built with cpack, its dependencies resolved by apt,
# unpacked with dpkg -x (program, desktop entry, 256 x 256 PNG icon, manual
# page with exit statuses); the unpacked program runs a headless frame as the
# built one does; lintian reports no error; make install / make uninstall into
# a scratch prefix leave nothing behind. Arguments: the program, the tests build directory.
PROG=$1
BUILD=$(cd "$2/.." && pwd)
SRC=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAIL: $*"; exit 1; }
for tool in cpack dpkg-deb lintian; do
    command -v $tool >/dev/null 2>&1 || fail "$tool is not installed (make test installs it)"
done
WORK=$(mktemp -d /tmp/rivo_package.XXXXXX)
MANIFEST="$BUILD/install_manifest.txt"
# The build's own record of a real `make install` is kept aside meanwhile.
trap '[ -f "$WORK/manifest.kept" ] && mv "$WORK/manifest.kept" "$MANIFEST"; rm -rf "$WORK"' EXIT

cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -n 5 "$WORK/cpack.log")"
DEB=$(ls "$WORK"/out/rivo7315_*.deb 2>/dev/null | head -n 1)
[ -n "$DEB" ] || fail "cpack made no rivo7315_*.deb"
depends=$(dpkg-deb -f "$DEB" Depends)
for lib in libsdl2-2.0-0 libasound2 libfluidsynth3 sf2-soundfont-gm libavformat59 libavcodec59 libavutil57 libpng16-16; do
    echo "$depends" | grep -q "$lib" || fail "the package does not depend on $lib: $depends"
done
apt-get install -s "$DEB" >"$WORK/apt.log" 2>&1 && grep -q '^Inst rivo7315 ' "$WORK/apt.log" ||
    fail "apt cannot install the package: $(tail -n 3 "$WORK/apt.log")"
echo "ok: built $(basename "$DEB"); apt resolves its dependencies on SDL2, ALSA, FluidSynth, a GM SoundFont, FFmpeg and libpng"

ROOT="$WORK/root"
dpkg -x "$DEB" "$ROOT" || fail "dpkg -x failed"
for f in usr/bin/rivo7315 usr/share/applications/rivo7315.desktop usr/share/icons/hicolor/256x256/apps/rivo7315.png \
    usr/share/man/man6/rivo7315.6.gz usr/share/doc/rivo7315/copyright; do
    [ -s "$ROOT/$f" ] || fail "the package lacks /$f"
done
grep -q '^Categories=.*AudioVideo' "$ROOT/usr/share/applications/rivo7315.desktop" || fail "the desktop entry is not in AudioVideo"
# The icon: PNG signature, then the IHDR width and height 256.
od -An -tx1 -N24 "$ROOT/usr/share/icons/hicolor/256x256/apps/rivo7315.png" | tr -d ' \n' |
    grep -q '^89504e470d0a1a0a0000000d4948445200000100' || fail "the icon is not a 256 x 256 PNG"
zcat "$ROOT/usr/share/man/man6/rivo7315.6.gz" | grep -q '^\.SH EXIT STATUS' || fail "the manual page has no exit statuses"
"$ROOT/usr/bin/rivo7315" --version | grep -q '^rivo7315 ' || fail "the unpacked program gives no version"
SDL_AUDIODRIVER=dummy "$ROOT/usr/bin/rivo7315" --headless --frames 1 --hash >"$WORK/hash" 2>"$WORK/err" ||
    fail "the unpacked program did not run a headless frame: $(cat "$WORK/err")"
"$PROG" --headless --frames 1 --hash 2>/dev/null | cmp -s - "$WORK/hash" || fail "the unpacked program draws other frames"
echo "ok: program, desktop entry, icon and manual page unpacked; the program runs a headless frame as the built one"

lintian --fail-on error "$DEB" >"$WORK/lintian.log" 2>&1
grep '^E:' "$WORK/lintian.log" && fail "lintian reports errors"
echo "ok: lintian reports no error"

[ -f "$MANIFEST" ] && mv "$MANIFEST" "$WORK/manifest.kept"
cmake --install "$BUILD" --prefix "$WORK/prefix" >/dev/null && [ -x "$WORK/prefix/bin/rivo7315" ] ||
    fail "cmake --install put no program in bin"
make -s -C "$SRC" uninstall BUILD="$BUILD" >/dev/null || fail "make uninstall failed"
left=$(find "$WORK/prefix" -type f -o -type d -name rivo7315 | head -n 3)
[ -z "$left" ] || fail "make uninstall left $left"
echo "ok: make uninstall removes everything make install put in place"
echo "PASS"
