#!/bin/bash
# Ten scene loops headless: prints the peak resident memory (VmHWM) reached by
# the end of each loop and fails when memory keeps growing after the first.
# Usage: longrun.sh PROGRAM [LOOPS]
set -e
PROGRAM=${1:?usage: longrun.sh PROGRAM [LOOPS]}
LOOPS=${2:-10}
LOOP_FRAMES=5401            # frame-timer frames in one pass of the seven scenes
SLACK_KB=${SLACK_KB:-2048}  # growth allowed between loop 2 and the last loop
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Presents per loop: the program's own count of presented frames grows by the
# same amount in every pass, so two short runs give the loop boundaries.
last_present() { "$PROGRAM" --headless --frames "$1" --hash | tail -n 1 | cut -d' ' -f1; }
first=$(last_present $LOOP_FRAMES)
second=$(last_present $((2 * LOOP_FRAMES)))
period=$((10#$second - 10#$first))

# a few frames past the last loop, so its boundary is seen while the program runs
"$PROGRAM" --headless --frames $((LOOPS * LOOP_FRAMES + 300)) --hash > "$work/hashes" &
pid=$!
loop=1
: > "$work/peaks"
while kill -0 $pid 2>/dev/null; do
    hwm=$(awk '/VmHWM/ {print $2}' /proc/$pid/status 2>/dev/null || true)
    now=$(tail -n 1 "$work/hashes" 2>/dev/null | cut -d' ' -f1)
    if [ -n "$now" ] && [ -n "$hwm" ]; then
        boundary=$((10#$first + (loop - 1) * period))
        if [ $((10#$now)) -ge $boundary ]; then
            echo "loop $loop: peak ${hwm} kB" | tee -a "$work/peaks"
            loop=$((loop + 1))
        fi
    fi
    sleep 0.2
done
wait $pid
status=$?
[ $status -eq 0 ] || { echo "program ended with status $status"; exit 1; }

awk -v slack="$SLACK_KB" '
    { peak[NR] = $4 }
    END {
        if (NR < 3) { print "too few loops measured"; exit 1 }
        growth = peak[NR] - peak[2]
        printf "growth from loop 2 to loop %d: %d kB\n", NR, growth
        exit (growth > slack)
    }' "$work/peaks"
