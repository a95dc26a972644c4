#!/bin/sh
# `make install` and `make uninstall`. Install puts the build's files under
# DESTDIR/PREFIX with cmake --install and keeps its own manifest,
# BUILD/installed_manifest.txt: every file it wrote, then (with a trailing
# slash, deepest first) every folder it had to make. Uninstall removes
# exactly those and nothing when there is no manifest. CMake's own
# install_manifest.txt is not used: cpack and every other cmake --install of
# the build, to any place, rewrite it.
# Usage: install-tree.sh install BUILD PREFIX | uninstall BUILD
set -e
BUILD=$2
MANIFEST="$BUILD/installed_manifest.txt"

case "$1" in
install)
    PREFIX=$3
    # A rehearsal into a scratch root tells which folders the install needs;
    # those that are missing now are the ones it makes.
    STAGE=$(mktemp -d /tmp/rivo_install.XXXXXX)
    trap 'rm -rf "$STAGE"' EXIT
    DESTDIR="$STAGE" cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
    made=$(cd "$STAGE" && find . -mindepth 1 -type d | sed 's|^\.||' | sort -r |
        while read -r dir; do [ -d "$DESTDIR$dir" ] || echo "$DESTDIR$dir/"; done)
    cmake --install "$BUILD" --prefix "$PREFIX"
    # CMake lists the files without DESTDIR.
    { sed "s|^/|$DESTDIR/|" "$BUILD/install_manifest.txt"; echo; [ -z "$made" ] || echo "$made"; } |
        sed '/^$/d' >"$MANIFEST.new"
    mv "$MANIFEST.new" "$MANIFEST"
    ;;
uninstall)
    if [ ! -f "$MANIFEST" ]; then
        echo "nothing installed from $BUILD"
        exit 0
    fi
    grep -v '/$' "$MANIFEST" | while read -r file; do rm -f "$file"; done
    grep '/$' "$MANIFEST" | while read -r dir; do rmdir --ignore-fail-on-non-empty "$dir"; done
    rm -f "$MANIFEST"
    ;;
*)
    echo "usage: install-tree.sh install BUILD PREFIX | uninstall BUILD" >&2
    exit 2
    ;;
esac
