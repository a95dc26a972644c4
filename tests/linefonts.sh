#!/bin/sh
# The built-in line-art texts in demo/linefonts.cpp are exactly what their
# generator writes from its stroke definitions (nobody edited the output by
# hand, nobody forgot to run the generator).  Args: program, build dir (unused).
src=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v python3 >/dev/null 2>&1; then
    echo "linefonts.sh: python3 is needed to run tools/lineart/make_linefonts.py" >&2
    exit 1
fi
out=$(mktemp) || exit 1
python3 "$src/tools/lineart/make_linefonts.py" "$out" >/dev/null || { rm -f "$out"; exit 1; }
if cmp -s "$out" "$src/demo/linefonts.cpp"; then
    rm -f "$out"
    echo "demo/linefonts.cpp matches its generator"
    exit 0
fi
echo "demo/linefonts.cpp differs from what tools/lineart/make_linefonts.py writes:" >&2
diff "$src/demo/linefonts.cpp" "$out" | head -20 >&2
rm -f "$out"
exit 1
