#!/bin/sh
# The library's reference (`make docs`): Doxygen over the public headers, with
# every warning (an undocumented public function, record or field among
# them) an error; the pages of the subsystem groups and of the examples are
# there. Arguments: the program, the tests build directory.
BUILD=$(cd "$2/.." && pwd)
SRC=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAIL: $*"; exit 1; }
command -v doxygen >/dev/null 2>&1 || fail "doxygen is not installed (make test installs it)"
WORK=$(mktemp -d /tmp/rivo_docs.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
sed -e "s|^OUTPUT_DIRECTORY .*|OUTPUT_DIRECTORY = $WORK|" -e "s|^WARN_LOGFILE .*|WARN_LOGFILE = $WORK/warnings.txt|" \
    "$BUILD/Doxyfile" >"$WORK/Doxyfile"
(cd "$SRC" && doxygen "$WORK/Doxyfile") >"$WORK/doxygen.log" 2>&1 || fail "doxygen failed: $(head -n 5 "$WORK/warnings.txt" "$WORK/doxygen.log")"
[ -s "$WORK/warnings.txt" ] && fail "doxygen warns: $(head -n 5 "$WORK/warnings.txt")"
for page in group__host group__imaging group__vector group__text group__effects group__audio group__platform \
    pnm_images_8cpp-example mini_demo_8cpp-example; do
    [ -s "$WORK/html/$page.html" ] || fail "the reference has no page $page.html"
done
grep -q 'img_fill_ellipse' "$WORK/html/group__imaging.html" || fail "the imaging group does not list img_fill_ellipse"
echo "ok: the reference builds without a warning, grouped by subsystem, with the examples"
echo "PASS"
