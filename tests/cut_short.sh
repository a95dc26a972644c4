#!/bin/sh
# Outputs cut short stay usable: a recording stopped by a full disk (a file
# size limit, where writes fail with EFBIG) at three points, or by SIGKILL at
# three points, is a file ffprobe gives a duration and ffmpeg decodes without
# an error, for .mkv and .mp4; two runs on one --record path leave one valid
# file; a second run on a capture directory stops at once, naming the first.
# Args: the program, the tests build directory.
. "$(dirname "$0")/sh/wait.sh"
PROG=$(realpath "$1")
for tool in ffmpeg ffprobe prlimit; do
    command -v $tool >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 0; }
done
WORK=$(mktemp -d /tmp/rivo_cut_short.XXXXXX)
APID=
trap 'kill -9 $APID 2>/dev/null; rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$WORK" || fail "no work directory"


size() { stat -c %s "$1" 2>/dev/null || echo 0; }
bigger() { [ "$(size "$1")" -ge "$2" ]; }

# A file that plays: its duration as ffprobe sees it, decoded without a message.
playable() {
    duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1")
    case "$duration" in '' | N/A | 0.000000) fail "$1 has no duration ($2)" ;; esac
    errors=$(ffmpeg -nostdin -v error -i "$1" -f null - 2>&1)
    [ -z "$errors" ] || fail "$1 does not decode ($2): $(echo "$errors" | head -n 2)"
    echo "ok: $2: $(size "$1") bytes, $duration s"
}

for ext in mkv mp4; do
    # The disk fills after 300 kB, 1.5 MB and 3 MB.
    for limit in 300000 1500000 3000000; do
        rm -f ./*.$ext
        prlimit --fsize=$limit "$PROG" --frames 2000 --record "full.$ext" 2>err
        status=$?
        [ $status -eq 4 ] || fail "full disk at $limit bytes: status $status, not 4: $(cat err)"
        grep -q "^rivo7315: cannot write 'full.$ext': File too large$" err || fail "full disk: $(cat err)"
        [ -z "$(ls ./*.partial-* 2>/dev/null)" ] || fail "a partial file stays after a full disk: $(ls)"
        playable "full.$ext" "$ext, disk full at $limit bytes"
    done
    # SIGKILL once the file holds about 400 kB, 1.5 MB and 3 MB.
    for at in 400000 1500000 3000000; do
        rm -f ./*.$ext
        "$PROG" --frames 20000 --record "killed.$ext" 2>/dev/null &
        APID=$!
        wait_for 60 bigger "killed.partial-$APID.$ext" $at || fail "killed.$ext never grew to $at bytes"
        kill -9 $APID
        wait $APID 2>/dev/null
        [ ! -e "killed.$ext" ] || fail "a killed recording carries the final name"
        playable "killed.partial-$APID.$ext" "$ext, SIGKILL past $at bytes"
        APID=
    done
    # Two runs on one path: each writes its own file, the last one renamed wins whole.
    rm -f ./*.$ext
    "$PROG" --frames 150 --record "both.$ext" 2>err1 &
    APID=$!
    "$PROG" --frames 100 --record "both.$ext" 2>err2
    wait $APID
    APID=
    [ -z "$(ls ./*.partial-* 2>/dev/null)" ] || fail "two runs leave a partial file: $(ls)"
    playable "both.$ext" "$ext, two runs on one path ($(cat err1 err2 | grep -c recorded) reported success)"
done

# The capture lock: a second run stops at once with status 4 and names the first.
"$PROG" --frames 20000 --capture cap 2>/dev/null &
APID=$!
wait_for 30 test -e cap/frame_000010.png || fail "the first capture wrote no frames"
"$PROG" --frames 10 --capture cap 2>err
status=$?
[ $status -eq 4 ] || fail "a second capture into cap: status $status, not 4"
[ "$(cat err)" = "rivo7315: cannot capture into 'cap': another run (process $APID) is writing there" ] ||
    fail "a second capture says: $(cat err)"
kill -TERM $APID
wait $APID
status=$?
APID=
[ $status -eq 143 ] || fail "the first capture ended with status $status after SIGTERM"
[ ! -e cap/.rivo7315.lock ] || fail "the lock file stays after the capture"
"$PROG" --frames 10 --capture cap 2>err || fail "a capture after the first has ended: $(cat err)"
echo "ok: a second capture into one directory is refused while the first runs"
