#!/bin/bash
# Runs the headless program under the failing allocator (tests/failalloc) with
# the N-th allocation failing, for many N, and classifies every run:
#   ran-on            status 0
#   statusS           a documented status 1-6 with one message line on stderr
#   glib-abort        GLib's allocator ended the process (g_malloc does so by
#                     design: SIGTRAP or SIGABRT inside libglib)
#   lib-exit          OpenMP's runtime (FluidSynth's threads) or libnuma (loaded
#                     with FFmpeg) said it ran out of memory and exited with status 1
#   glib-hang         GLib's own start-up (its constructor, as it loads with
#                     FFmpeg's or FluidSynth's libraries) hung: reporting the
#                     failed allocation re-enters the allocator it failed in
#   fluidsynth-crash  FluidSynth followed a null pointer while it loaded the SoundFont
# Any other outcome fails the sweep: a crash in the program or another
# library ("crash-in-FILE", named by the shim), a hang anywhere else
# ("hang-in-FILE": after SWEEP_TIMEOUT seconds SIGABRT makes the shim say
# where), or a status without its one line.
#   tools/alloc-sweep.sh PROGRAM SHIM [spread|all]
# spread: every N up to SWEEP_FIRST (default 100), then SWEEP_SPREAD more
# (default 100) spaced evenly over the rest; all: every N of each run.
# SWEEP_JOBS runs at a time (default 1); the runs are niced.
set -u
program=$1
shim=$2
mode=${3:-spread}
timeout_s=${SWEEP_TIMEOUT:-30}
first=${SWEEP_FIRST:-100}
spread=${SWEEP_SPREAD:-100}
jobs=${SWEEP_JOBS:-1}
work=$(mktemp -d /tmp/alloc-sweep.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The runs: the start-up and 30 frames of scene 1; scenes 1 and 2 skipped at
# once and frames of scene 3 with the built-in synthesiser (FluidSynth loading
# its SoundFont); the same recorded into a .mkv (FFmpeg's libraries loaded, the
# encoders, the file written and finished).
runs=("--headless --frames 30" "--headless --frames 20 --keys 0:SPACE,1:SPACE"
      "--frames 20 --keys 0:SPACE,1:SPACE --record $work/sweep.mkv")

# One run with allocation N failing; prints "N outcome".
one() {
    local n=$1 args=$2 err="$work/err.$1" status
    # Only the program gets the shim: nice and timeout allocate too. The
    # shell's own note of a death by signal goes nowhere: the outcome says it.
    { nice timeout -s ABRT -k 5 "$timeout_s" env RIVO_FAIL_ALLOC="$n" LD_PRELOAD="$shim" $program $args \
        >/dev/null 2>"$err"; } 2>/dev/null
    status=$?
    local lines where
    lines=$(grep -c . "$err")
    where=$(sed -n 's/^failalloc: signal [0-9]* in //p' "$err" | head -n 1)
    if [ "$status" -eq 124 ] && [[ "$where" == */libglib-2.0.so* ]]; then echo "$n glib-hang"
    elif [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then echo "$n hang-in-$(basename "${where:-unknown}")"
    elif [[ "$status" =~ ^13[34]$ && "$where" == */libglib-2.0.so* ]]; then echo "$n glib-abort"
    elif [ "$status" -eq 139 ] && [[ "$where" == */libfluidsynth.so* ]]; then echo "$n fluidsynth-crash"
    elif [ "$status" -gt 128 ]; then echo "$n crash-in-$(basename "${where:-unknown}")-signal$((status - 128))"
    elif [ "$status" -eq 0 ]; then echo "$n ran-on"
    elif [ "$status" -eq 1 ] && grep -q '^libgomp: Out of memory\|^Out of memory allocating bitmask' "$err"; then
        echo "$n lib-exit"
    elif [ "$status" -le 6 ] && [ "$lines" -eq 1 ] && grep -q '^rivo7315: ' "$err"; then
        echo "$n status$status"
    else echo "$n bad-status$status-lines$lines"
    fi
    rm -f "$err"
}
export -f one
export work shim program timeout_s

failed=0
for args in "${runs[@]}"; do
    env RIVO_ALLOC_COUNT="$work/count" LD_PRELOAD="$shim" $program $args >/dev/null 2>&1
    total=$(cat "$work/count")
    if [ "$mode" = all ]; then
        seq 1 "$total"
    else
        seq 1 $((first < total ? first : total))
        if [ "$total" -gt "$first" ]; then
            step=$(( (total - first + spread - 1) / spread ))
            seq $((first + step)) "$step" "$total"
        fi
    fi > "$work/ns"
    xargs -a "$work/ns" -P "$jobs" -I{} bash -c 'one {} "$0"' "$args" > "$work/out"
    tested=$(wc -l < "$work/out")
    echo "run '$args': $total allocations, $tested values of N failed in turn:"
    # Each outcome with the first values of N that gave it.
    for outcome in $(cut -d' ' -f2 "$work/out" | sort -u); do
        ns=$(awk -v o="$outcome" '$2 == o {print $1}' "$work/out" | sort -n)
        printf '   %6d %-10s N = %s\n' "$(echo "$ns" | wc -l)" "$outcome" \
            "$(echo "$ns" | head -5 | tr '\n' ' ')$([ "$(echo "$ns" | wc -l)" -gt 5 ] && echo ...)"
    done
    good=' ran-on$\| status[1-6]$\| glib-abort$\| glib-hang$\| lib-exit$\| fluidsynth-crash$'
    if grep -qv "$good" "$work/out"; then
        failed=1
        echo "   failing N:"; grep -v "$good" "$work/out" | sort -n | head -20 | sed 's/^/     /'
    fi
done
exit $failed
