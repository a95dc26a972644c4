#!/bin/sh
# The built-in assets under demo/assets/ are exactly what their generators
# write: tools/make-pictures (the PNM pictures) and tools/lineart/
# make_linefonts.py (the line fonts and shapes).  Nobody edited an output by
# hand, nobody forgot to run a generator.  Args: program, tests build dir.
src=$(cd "$(dirname "$0")/.." && pwd)
pictures="$2/../tools/make-pictures"
[ -x "$pictures" ] || { echo "assets.sh: build tools/make-pictures first" >&2; exit 1; }
command -v python3 >/dev/null 2>&1 || { echo "assets.sh: python3 is needed" >&2; exit 1; }
out=$(mktemp -d) || exit 1
trap 'rm -rf "$out"' EXIT
"$pictures" "$out" || exit 1
python3 "$src/tools/lineart/make_linefonts.py" "$out" >/dev/null || exit 1
status=0
for f in "$out"/*; do
    name=$(basename "$f")
    if ! cmp -s "$f" "$src/demo/assets/$name"; then
        echo "demo/assets/$name differs from what its generator writes" >&2
        status=1
    fi
done
count=$(ls "$out" | wc -l)
[ "$count" -eq 9 ] || { echo "the generators wrote $count files, expected 9" >&2; status=1; }
[ $status -eq 0 ] && echo "all $count generated assets match their generators"
exit $status
