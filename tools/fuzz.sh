#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for FUZZ_TIME seconds
# over a scratch copy of its seed corpus (fuzz/corpus/<target without fuzz_>).
# FUZZ_BUILD names the build directory (default build-fuzz).
set -e
cd "$(dirname "$0")/.."
FUZZ_TIME=${FUZZ_TIME:-60}
B=${FUZZ_BUILD:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$B" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRIVO_FUZZ=ON >/dev/null
cmake --build "$B" -j "$(nproc)"
rm -f "$B"/crash-* "$B"/leak-* "$B"/timeout-* "$B"/oom-*
for target in "$B"/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    seeds="fuzz/corpus/${name#fuzz_}"
    work="$B/corpus/${name#fuzz_}"
    mkdir -p "$work"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/ 2>/dev/null || true
    echo "-- $name"
    "$target" -max_total_time="$FUZZ_TIME" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 \
        -artifact_prefix="$B"/ "$work" 2>&1 | tail -n 2
done

# Any finding leaves its input behind: fail so that it is looked at.
if ls "$B"/crash-* "$B"/leak-* "$B"/timeout-* "$B"/oom-* >/dev/null 2>&1; then
    echo "fuzzing found inputs that fail:"; ls "$B"/crash-* "$B"/leak-* "$B"/timeout-* "$B"/oom-* 2>/dev/null
    exit 1
fi
