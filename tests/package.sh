#!/bin/sh
# The Debian package: built with cpack from this build, unpacked into a scratch
# root with dpkg -x; the unpacked program prints its version and runs a
# headless frame; the desktop entry, icon and manual page are in place; lintian
# reports no error; and make install / make uninstall into a scratch prefix
# leave nothing behind.
# Arguments: the program, the tests build directory.
PROG=$1
BUILD=$(cd "$2/.." && pwd)
SRC=$(cd "$(dirname "$0")/.." && pwd)

fail() {
    echo "FAIL: $*"
    exit 1
}
for tool in cpack dpkg-deb lintian; do
    command -v $tool >/dev/null 2>&1 || fail "$tool is not installed (make test installs it)"
done
[ -f "$BUILD/CPackConfig.cmake" ] || fail "no CPack configuration in $BUILD"

WORK=$(mktemp -d /tmp/rivo_package.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -n 5 "$WORK/cpack.log")"
DEB=$(ls "$WORK"/out/rivo7315_*.deb 2>/dev/null | head -n 1)
[ -n "$DEB" ] || fail "cpack made no rivo7315_*.deb"
echo "ok: built $(basename "$DEB")"

depends=$(dpkg-deb -f "$DEB" Depends)
for lib in libsdl2-2.0-0 libasound2 libfluidsynth3 sf2-soundfont-gm libavformat59 libavcodec59 \
           libavutil57 libpng16-16; do
    echo "$depends" | grep -q "$lib" || fail "the package does not depend on $lib: $depends"
done
echo "ok: depends on SDL2, ALSA, FluidSynth, a GM SoundFont, the FFmpeg libraries and libpng"
# What apt would do with the package here: every dependency must resolve.
apt-get install -s "$DEB" >"$WORK/apt.log" 2>&1 || fail "apt cannot install the package: $(tail -n 3 "$WORK/apt.log")"
grep -q '^Inst rivo7315 ' "$WORK/apt.log" || fail "apt would not install rivo7315: $(tail -n 3 "$WORK/apt.log")"
echo "ok: apt resolves every dependency of the package (simulated install)"

ROOT="$WORK/root"
dpkg -x "$DEB" "$ROOT" || fail "dpkg -x failed"
for f in usr/bin/rivo7315 usr/share/applications/rivo7315.desktop \
         usr/share/icons/hicolor/256x256/apps/rivo7315.png usr/share/man/man6/rivo7315.6.gz \
         usr/share/doc/rivo7315/copyright; do
    [ -s "$ROOT/$f" ] || fail "the package lacks /$f"
done
grep -q '^Categories=.*AudioVideo' "$ROOT/usr/share/applications/rivo7315.desktop" ||
    fail "the desktop entry is not in category AudioVideo"
# The icon is a 256 x 256 PNG: signature, then the IHDR width and height.
od -An -tx1 -N24 "$ROOT/usr/share/icons/hicolor/256x256/apps/rivo7315.png" | tr -d ' \n' |
    grep -q '^89504e470d0a1a0a0000000d4948445200000100' || fail "the icon is not a 256 x 256 PNG"
zcat "$ROOT/usr/share/man/man6/rivo7315.6.gz" | grep -q '^\.SH EXIT STATUS' ||
    fail "the manual page has no exit statuses"
echo "ok: program, desktop entry, icon and manual page unpacked"

"$ROOT/usr/bin/rivo7315" --version | grep -q '^rivo7315 ' || fail "the unpacked program gives no version"
SDL_AUDIODRIVER=dummy "$ROOT/usr/bin/rivo7315" --headless --frames 1 --hash >"$WORK/hash" 2>"$WORK/err" ||
    fail "the unpacked program did not run a headless frame: $(cat "$WORK/err")"
"$PROG" --headless --frames 1 --hash 2>/dev/null | cmp -s - "$WORK/hash" ||
    fail "the unpacked program draws other frames than the built one"
echo "ok: the unpacked program runs a headless frame, the same as the built one"

lintian --fail-on error "$DEB" >"$WORK/lintian.log" 2>&1
grep '^E:' "$WORK/lintian.log" && fail "lintian reports errors"
echo "ok: lintian reports no error"

# The build's own record of a real `make install` is kept aside meanwhile.
MANIFEST="$BUILD/install_manifest.txt"
[ -f "$MANIFEST" ] && mv "$MANIFEST" "$WORK/manifest.kept"
trap '[ -f "$WORK/manifest.kept" ] && mv "$WORK/manifest.kept" "$MANIFEST"; rm -rf "$WORK"' EXIT
cmake --install "$BUILD" --prefix "$WORK/prefix" >/dev/null || fail "cmake --install failed"
[ -x "$WORK/prefix/bin/rivo7315" ] || fail "cmake --install put no program in bin"
make -s -C "$SRC" uninstall BUILD="$BUILD" >/dev/null || fail "make uninstall failed"
left=$(find "$WORK/prefix" -type f -o -type d -name rivo7315 | head -n 3)
[ -z "$left" ] || fail "make uninstall left $left"
echo "ok: make uninstall removes everything make install put in place"
echo "PASS"
