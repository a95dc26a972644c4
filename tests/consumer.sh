#!/bin/sh
# The library from the outside: installed into a scratch prefix, every
# example is built out of the tree against the installed files twice, once
# with pkg-config and once with CMake's find_package (and once more linking
# the static libraries), and run headless; each output file must have the
# CRC of the in-tree example's. Arguments: the program, the tests build
# directory.
BUILD=$(cd "$2/.." && pwd)
fail() { echo "FAIL: $*"; exit 1; }
for tool in pkg-config c++ cmake ninja cksum readelf; do
    command -v $tool >/dev/null 2>&1 || fail "$tool is not installed"
done
WORK=$(mktemp -d /tmp/rivo_consumer.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 || fail "cmake --install: $(tail -n 3 "$WORK/install.log")"
EXAMPLES="$PREFIX/share/doc/librivo7315-dev/examples"
NAMES=$(cd "$EXAMPLES" && ls *.cpp | sed 's/\.cpp$//')
[ "$(echo "$NAMES" | wc -l)" -ge 7 ] || fail "fewer than seven examples installed: $NAMES"
LIBDIR=$(dirname "$(find "$PREFIX" -name librivo7315.so.1 | head -n 1)")
[ -d "$LIBDIR" ] || fail "no librivo7315.so.1 installed"
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy LD_LIBRARY_PATH="$LIBDIR"
# In a sanitized build the in-tree examples run under LeakSanitizer, but a
# parsed line object keeps its segments when it is destroyed (obj2d_del
# leaves them to their owner), which the line font examples do not track.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
# A sanitized build's libraries need the sanitizer runtimes in the program too.
SANITIZE=""
grep -q '^RIVO_SANITIZE:BOOL=ON' "$BUILD/CMakeCache.txt" && SANITIZE="-fsanitize=address,undefined"

# Runs every example of folder $1 in the folder $2; the CRCs of what they wrote go to $3.
run_all() {
    mkdir -p "$2"
    for name in $NAMES; do
        [ -x "$1/$name" ] || fail "$1/$name was not built"
        args=""
        [ "$name" = mini_demo ] && args=--headless
        (cd "$2" && "$1/$name" $args >/dev/null) || fail "$1/$name failed"
    done
    (cd "$2" && cksum * | sort -k3) >"$3"
}

run_all "$BUILD/examples" "$WORK/tree" "$WORK/tree.sums"
[ "$(wc -l <"$WORK/tree.sums")" -ge 7 ] || fail "the in-tree examples wrote too few files"

mkdir -p "$WORK/pc"
for name in $NAMES; do
    lib=rivo7315
    [ "$name" = mini_demo ] && lib=rivo7315-platform
    flags=$(PKG_CONFIG_PATH="$LIBDIR/pkgconfig" pkg-config --cflags --libs $lib) || fail "pkg-config knows no $lib"
    c++ -O2 $SANITIZE "$EXAMPLES/$name.cpp" -o "$WORK/pc/$name" $flags 2>"$WORK/pc.log" || fail "pkg-config build of $name: $(head -n 5 "$WORK/pc.log")"
done
run_all "$WORK/pc" "$WORK/pc-out" "$WORK/pc.sums"
cmp -s "$WORK/tree.sums" "$WORK/pc.sums" || fail "pkg-config builds wrote other files: $(diff "$WORK/tree.sums" "$WORK/pc.sums")"
echo "ok: $(echo $NAMES | wc -w) examples built with pkg-config --cflags --libs rivo7315 write what the in-tree ones write"

cmake -G Ninja -S "$EXAMPLES" -B "$WORK/cm" -DCMAKE_PREFIX_PATH="$PREFIX" -DCMAKE_CXX_FLAGS="$SANITIZE" >"$WORK/cm.log" 2>&1 &&
    cmake --build "$WORK/cm" -j 2 >>"$WORK/cm.log" 2>&1 || fail "find_package build: $(tail -n 5 "$WORK/cm.log")"
run_all "$WORK/cm" "$WORK/cm-out" "$WORK/cm.sums"
cmp -s "$WORK/tree.sums" "$WORK/cm.sums" || fail "find_package builds wrote other files: $(diff "$WORK/tree.sums" "$WORK/cm.sums")"
echo "ok: the same examples built with find_package(rivo7315 CONFIG COMPONENTS platform) write the same files"

cmake -G Ninja -S "$EXAMPLES" -B "$WORK/st" -DCMAKE_PREFIX_PATH="$PREFIX" -DRIVO7315_STATIC=ON \
    -DCMAKE_CXX_FLAGS="$SANITIZE" >"$WORK/st.log" 2>&1 &&
    cmake --build "$WORK/st" -j 2 >>"$WORK/st.log" 2>&1 || fail "static find_package build: $(tail -n 5 "$WORK/st.log")"
readelf -d "$WORK/st/mini_demo" | grep -q 'librivo7315' && fail "the static build of mini_demo still needs a shared librivo7315"
run_all "$WORK/st" "$WORK/st-out" "$WORK/st.sums"
cmp -s "$WORK/tree.sums" "$WORK/st.sums" || fail "static builds wrote other files: $(diff "$WORK/tree.sums" "$WORK/st.sums")"
echo "ok: and linked with the static libraries (rivo7315::rivo7315_static, rivo7315::platform_static)"
echo "PASS"
