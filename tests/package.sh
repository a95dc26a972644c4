#!/bin/sh
# The Debian packages: built with cpack after a `make install` into a scratch
# prefix: rivo7315 (the program), librivo7315-1 and librivo7315-platform1
# (the shared libraries) and librivo7315-dev; their dependencies resolved by
# apt and named once each; unpacked with dpkg -x (program, desktop entry,
# 256 x 256 PNG icon, manual page with exit statuses; the libraries, headers,
# pkg-config and CMake files); the unpacked program runs a headless frame as
# the built one does; lintian reports neither error nor warning. Then, with
# the packages installed (as root), make uninstall removes exactly what make
# install put in the scratch prefix and leaves the packages' files alone.
# Arguments: the program, the tests build directory.
PROG=$1
BUILD=$(cd "$2/.." && pwd)
SRC=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAIL: $*"; exit 1; }
for tool in cpack dpkg-deb lintian; do
    command -v $tool >/dev/null 2>&1 || fail "$tool is not installed (make test installs it)"
done
WORK=$(mktemp -d /tmp/rivo_package.XXXXXX)
MANIFEST="$BUILD/installed_manifest.txt"
PACKAGES="rivo7315 librivo7315-1 librivo7315-platform1 librivo7315-dev"
# The build's own record of a real `make install` is kept aside meanwhile.
trap '[ -f "$WORK/manifest.kept" ] && mv "$WORK/manifest.kept" "$MANIFEST"; rm -rf "$WORK"' EXIT

[ -f "$MANIFEST" ] && mv "$MANIFEST" "$WORK/manifest.kept"
sh "$SRC/tools/install-tree.sh" install "$BUILD" "$WORK/prefix" >/dev/null && [ -x "$WORK/prefix/bin/rivo7315" ] ||
    fail "make install put no program in bin"

cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -n 5 "$WORK/cpack.log")"
DEB=$(ls "$WORK"/out/rivo7315_*.deb 2>/dev/null | head -n 1)
[ -n "$DEB" ] || fail "cpack made no rivo7315_*.deb"
depends=$(dpkg-deb -f "$DEB" Depends)
for lib in libsdl2-2.0-0 libasound2 libfluidsynth3 sf2-soundfont-gm libavformat59 libavcodec59 libavutil57 libpng16-16; do
    echo "$depends" | grep -q "$lib" || fail "the package does not depend on $lib: $depends"
done
for name in $PACKAGES; do
    deb=$(ls "$WORK"/out/${name}_*.deb 2>/dev/null | head -n 1)
    [ -n "$deb" ] || fail "cpack made no ${name}_*.deb"
    twice=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/(.*//; s/ //g' | sed '/^$/d' | sort | uniq -d)
    [ -z "$twice" ] || fail "$name names $twice more than once in Depends"
done
dpkg-deb -f "$WORK"/out/librivo7315-platform1_*.deb Depends | grep -q 'librivo7315-1 (= ' ||
    fail "librivo7315-platform1 does not depend on librivo7315-1 of its own version"
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
for name in librivo7315-1 librivo7315-platform1 librivo7315-dev; do dpkg -x "$WORK"/out/${name}_*.deb "$ROOT"; done
for f in librivo7315.so.1 librivo7315-platform.so.1 librivo7315.so librivo7315.a librivo7315-platform.a \
    pkgconfig/rivo7315.pc pkgconfig/rivo7315-platform.pc cmake/rivo7315/rivo7315-config.cmake; do
    ls "$ROOT"/usr/lib/*/$f >/dev/null 2>&1 || fail "the library packages lack /usr/lib/<multiarch>/$f"
done
for f in include/rivo7315/imaging/img.h include/rivo7315/host/version.h include/rivo7315/host/export.h \
    share/doc/librivo7315-dev/examples/mini_demo.cpp; do
    [ -s "$ROOT/usr/$f" ] || fail "librivo7315-dev lacks /usr/$f"
done
[ ! -e "$ROOT/usr/include/rivo7315/host/module.h" ] || fail "librivo7315-dev carries the library's inner header host/module.h"
echo "ok: the shared libraries, static libraries, headers, pkg-config and CMake files and examples unpacked"

lintian "$WORK"/out/*.deb >"$WORK/lintian.log" 2>&1
grep '^[EW]:' "$WORK/lintian.log" && fail "lintian reports errors or warnings"
echo "ok: lintian reports neither error nor warning on $(ls "$WORK"/out/*.deb | wc -l) packages"

# With the packages installed, `make uninstall` must leave their files alone:
# only root installs them, and never over packages installed for real.
installed=""
if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W -f='${Status}' $PACKAGES 2>/dev/null | grep -q 'ok installed'; then
    apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=300 "$WORK"/out/*.deb >"$WORK/apt-install.log" 2>&1 ||
        fail "the packages do not install: $(tail -n 3 "$WORK/apt-install.log")"
    installed=yes
    trap 'apt-get purge -y -q -o DPkg::Lock::Timeout=300 $PACKAGES >/dev/null 2>&1; [ -f "$WORK/manifest.kept" ] && mv "$WORK/manifest.kept" "$MANIFEST"; rm -rf "$WORK"' EXIT
fi
make -s -C "$SRC" uninstall BUILD="$BUILD" >/dev/null || fail "make uninstall failed"
left=$(find "$WORK/prefix" 2>/dev/null | head -n 3)
[ -z "$left" ] || fail "make uninstall left $left"
make -s -C "$SRC" uninstall BUILD="$BUILD" | grep -q 'nothing installed' || fail "a second make uninstall did not find nothing to do"
if [ -n "$installed" ]; then
    # The README's first program, built against the installed packages both
    # ways (with the sanitizers when the packaged libraries carry them).
    SANITIZE=""
    grep -q '^RIVO_SANITIZE:BOOL=ON' "$BUILD/CMakeCache.txt" && SANITIZE="-fsanitize=address,undefined"
    mkdir -p "$WORK/first" && cd "$WORK/first" || fail "no folder for the first program"
    cat >ellipse.cpp <<'PROGRAM'
#include "imaging/img.h"
int main() {
    IMG *image = img_new();
    img_resize(image, 256, 256);
    img_fill_ellipse(image, 128, 128, 100, 60, 0x3070C0);
    int written = img_save_ppm(image, "ellipse.ppm");
    img_del(&image);
    return written ? 0 : 1;
}
PROGRAM
    printf 'cmake_minimum_required(VERSION 3.16)\nproject(first CXX)\nfind_package(rivo7315 CONFIG REQUIRED)\nadd_executable(ellipse ellipse.cpp)\ntarget_link_libraries(ellipse PRIVATE rivo7315::rivo7315)\n' >CMakeLists.txt
    c++ $SANITIZE ellipse.cpp $(pkg-config --cflags --libs rivo7315) -o ellipse-pc && ./ellipse-pc && [ -s ellipse.ppm ] ||
        fail "the first program does not build or run with pkg-config"
    cmake -S . -B cm -DCMAKE_CXX_FLAGS="$SANITIZE" >cmake.log 2>&1 && cmake --build cm >>cmake.log 2>&1 && rm ellipse.ppm && ./cm/ellipse &&
        [ -s ellipse.ppm ] || fail "the first program does not build or run with find_package: $(tail -n 3 cmake.log)"
    cd "$WORK" || fail "no work directory"
    echo "ok: a first program builds against the installed packages with pkg-config and with find_package, and runs"
    dpkg -V $PACKAGES >"$WORK/verify.log" 2>&1
    [ -s "$WORK/verify.log" ] && fail "make uninstall touched the installed packages: $(head -n 3 "$WORK/verify.log")"
    apt-get purge -y -q -o DPkg::Lock::Timeout=300 $PACKAGES >/dev/null 2>&1 || fail "the packages do not purge"
    echo "ok: make install, make package, make uninstall with the packages installed: the scratch prefix is empty, dpkg -V is clean"
else
    echo "ok: make install, make package, make uninstall: the scratch prefix is empty (not root: packages not installed)"
fi
echo "PASS"
