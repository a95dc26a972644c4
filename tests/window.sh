#!/bin/sh
# A real window under Xvfb: title, 256 x 256 client area centred on the
# screen, keys typed through the X server (F12 snapshot, pause, escape), the
# frame on screen equal to the snapshot, hashes equal to a headless run, the
# zoomed window equal to the snapshot doubled pixel for pixel, and closing the way a window manager does (WM_DELETE_WINDOW)
# ending the program with status 0.
# Arguments: the program, the tests build directory.
PROG=$1
BUILD=$2
WMCLOSE="$BUILD/../tools/wm-close"

if ! command -v Xvfb >/dev/null 2>&1; then
    echo "SKIP: Xvfb is not installed; the real-window test cannot run"
    exit 0
fi
for tool in xdotool xwininfo import convert identify; do
    command -v $tool >/dev/null 2>&1 || { echo "FAIL: $tool is not installed"; exit 1; }
done
[ -x "$PROG" ] || { echo "FAIL: no program at '$PROG'"; exit 1; }
[ -x "$WMCLOSE" ] || { echo "FAIL: no wm-close tool at '$WMCLOSE' (build target wm-close)"; exit 1; }

WORK=$(mktemp -d /tmp/rivo_window.XXXXXX)
XPID=
APID=
cleanup() {
    [ -n "$APID" ] && kill "$APID" 2>/dev/null
    [ -n "$XPID" ] && kill "$XPID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

# Xvfb picks a free display itself and writes its number to the pipe.
SW=1024
SH=768
Xvfb -displayfd 3 -screen 0 ${SW}x${SH}x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
XPID=$!
i=0
while [ ! -s "$WORK/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
[ -s "$WORK/display" ] || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
DISPLAY=:$(head -n 1 "$WORK/display")
export DISPLAY
# No sound device in a test: SDL's silent driver stands in.
SDL_AUDIODRIVER=dummy
export SDL_AUDIODRIVER
# A sanitized build: the libraries behind SDL's video (D-Bus and friends) keep
# a few allocations past SDL_Quit even in a program that does nothing else,
# so leak checking is left to the headless runs.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
export ASAN_OPTIONS

# Is the program still running (a finished child not yet waited for is not)?
alive() {
    st=$(ps -o stat= -p "$APID" 2>/dev/null)
    [ -n "$st" ] && [ "${st#Z}" = "$st" ]
}

# Waits for the program's window; prints its id. Fails if the program ends first.
find_window() {
    i=0
    while [ $i -lt 300 ]; do
        w=$(xdotool search --name '^RIVO7315$' 2>/dev/null | head -n 1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        alive || return 1
        sleep 0.1
        i=$((i + 1))
    done
    return 1
}

# Waits (at most 30 s, then ends it) for the program; its status in STATUS.
wait_exit() {
    (
        i=0
        while [ $i -lt 300 ]; do
            sleep 0.1
            alive || exit 0
            i=$((i + 1))
        done
        kill "$APID"
    ) >/dev/null 2>&1 &
    wait "$APID"
    STATUS=$?
    APID=
}

# Pixels of a window as raw RGB bytes.
grab() {
    import -window "$1" "$WORK/grab.ppm" 2>/dev/null && convert "$WORK/grab.ppm" -depth 8 "rgb:$2"
}

# Waits until the window's picture stays the same for half a second.
wait_still() {
    i=0
    grab "$1" "$WORK/a.rgb"
    while [ $i -lt 60 ]; do
        sleep 0.5
        grab "$1" "$WORK/b.rgb"
        cmp -s "$WORK/a.rgb" "$WORK/b.rgb" && return 0
        mv "$WORK/b.rgb" "$WORK/a.rgb"
        i=$((i + 1))
    done
    return 1
}

# Reads the window's title, client size and place into INFO_* (0 when unreadable).
read_geometry() {
    info=$(xwininfo -id "$1" 2>/dev/null)
    INFO_TITLE=$(echo "$info" | grep -c '"RIVO7315"')
    INFO_W=$(echo "$info" | sed -n 's/^ *Width: *//p')
    INFO_H=$(echo "$info" | sed -n 's/^ *Height: *//p')
    INFO_X=$(echo "$info" | sed -n 's/^ *Absolute upper-left X: *//p')
    INFO_Y=$(echo "$info" | sed -n 's/^ *Absolute upper-left Y: *//p')
}

# The window must settle (within 5 s) titled RIVO7315, with a client area of
# $2 x $3 centred on the screen; no window manager, so no border to count.
check_geometry() {
    want_x=$(((SW - $2) / 2))
    want_y=$(((SH - $3) / 2))
    i=0
    while [ $i -lt 50 ]; do
        read_geometry "$1"
        [ "$INFO_TITLE" = 1 ] && [ "$INFO_W" = "$2" ] && [ "$INFO_H" = "$3" ] &&
            [ "$INFO_X" = "$want_x" ] && [ "$INFO_Y" = "$want_y" ] && break
        sleep 0.1
        i=$((i + 1))
    done
    [ "$INFO_TITLE" = 1 ] || fail "window title is not RIVO7315"
    [ "$INFO_W" = "$2" ] && [ "$INFO_H" = "$3" ] || fail "client area is ${INFO_W}x${INFO_H}, not ${2}x${3}"
    [ "$INFO_X" = "$want_x" ] && [ "$INFO_Y" = "$want_y" ] ||
        fail "window at ($INFO_X, $INFO_Y), not centred on ${SW}x${SH}"
    echo "ok: window \"RIVO7315\" ${INFO_W}x${INFO_H} at ($INFO_X, $INFO_Y)"
}

cd "$WORK" || fail "no work directory"

# ---- 1: geometry, real keys, snapshot, close ---------------------------------
# Space at frame 40 moves on to the wave mesh; P at frame 80 freezes frame 81
# there, so the screen can be compared with the snapshot.
"$PROG" --keys 40:SPACE,80:P --hash >"$WORK/run1.hash" 2>"$WORK/run1.log" &
APID=$!
WID=$(find_window) || { wait_exit; fail "no window appeared (program status $STATUS)"; }
check_geometry "$WID" 256 256
i=0
while ! grep -q '^000081 ' "$WORK/run1.hash" && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
grep -q '^000081 ' "$WORK/run1.hash" || fail "frame 81 was never presented"
wait_still "$WID" || fail "the picture never stood still after the scripted pause"
xdotool windowfocus --sync "$WID" 2>/dev/null || xdotool windowfocus "$WID"
xdotool key F12
i=0
while [ -z "$(ls rivo7315_*.png 2>/dev/null)" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
SNAP=$(ls rivo7315_*.png 2>/dev/null | head -n 1)
[ -n "$SNAP" ] || fail "F12 typed in the window saved no picture"
echo "ok: F12 saved $SNAP"
grab "$WID" "$WORK/screen.rgb"
convert "$SNAP" -depth 8 "rgb:$WORK/snap.rgb"
cmp -s "$WORK/screen.rgb" "$WORK/snap.rgb" || fail "the window does not show the saved frame"
echo "ok: the window shows exactly the frame saved by F12"
colours=$(convert "$WORK/grab.ppm" -format %k info:)
[ "$colours" -gt 4 ] || fail "the window is blank ($colours colours)"
import -window root "$WORK/root.png" 2>/dev/null
rootcolours=$(convert "$WORK/root.png" -format %k info:)
[ "$rootcolours" -gt 4 ] || fail "the screen is blank ($rootcolours colours)"
echo "ok: screenshot shows $colours colours in the window"
# P again resumes: the picture moves on.
xdotool key p
sleep 1
grab "$WID" "$WORK/moved.rgb"
cmp -s "$WORK/screen.rgb" "$WORK/moved.rgb" && fail "P typed in the window did not resume the demo"
echo "ok: P typed in the window resumed the demo"
"$WMCLOSE" "$WID" || fail "wm-close could not send WM_DELETE_WINDOW"
wait_exit
[ "$STATUS" = 0 ] || fail "closing the window ended the program with status $STATUS, not 0"
echo "ok: WM_DELETE_WINDOW ended the program with status 0"

# ---- 2: the window shows what the headless backend computes ------------------
"$PROG" --frames 120 --hash >"$WORK/window.hash" 2>"$WORK/run2.log" &
APID=$!
wait_exit
[ "$STATUS" = 0 ] || fail "--frames 120 in a window ended with status $STATUS"
"$PROG" --headless --frames 120 --hash >"$WORK/headless.hash" 2>/dev/null ||
    fail "--headless --frames 120 failed"
[ -s "$WORK/window.hash" ] || fail "no hash lines in a window"
cmp -s "$WORK/window.hash" "$WORK/headless.hash" || fail "window and headless hashes differ"
echo "ok: $(wc -l <"$WORK/window.hash") frame hashes equal in a window and headless"

# ---- 3: zoom, and escape typed in the window --------------------------------
rm -f rivo7315_*.png
"$PROG" --zoom 2 --keys 40:SPACE,80:P --hash >"$WORK/run3.hash" 2>"$WORK/run3.log" &
APID=$!
WID=$(find_window) || { wait_exit; fail "no zoomed window appeared (program status $STATUS)"; }
check_geometry "$WID" 512 512
i=0
while ! grep -q '^000081 ' "$WORK/run3.hash" && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
wait_still "$WID" || fail "the zoomed picture never stood still after the scripted pause"
xdotool windowfocus --sync "$WID" 2>/dev/null || xdotool windowfocus "$WID"
xdotool key F12
i=0
while [ -z "$(ls rivo7315_*.png 2>/dev/null)" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
SNAP=$(ls rivo7315_*.png 2>/dev/null | head -n 1)
[ -n "$SNAP" ] || fail "F12 typed in the zoomed window saved no picture"
identify -format '%w %h\n' "$SNAP" | grep -q '^256 256$' || fail "the snapshot of a zoomed window is not 256 x 256"
grab "$WID" "$WORK/zoomed.rgb"
# Whole-pixel scaling by 2 repeats every pixel in a 2 x 2 block.
convert "$SNAP" -scale 200% -depth 8 "rgb:$WORK/snap2.rgb"
cmp -s "$WORK/zoomed.rgb" "$WORK/snap2.rgb" || fail "the zoomed window is not the frame scaled by 2, nearest"
echo "ok: the zoomed window shows the 256 x 256 frame doubled pixel for pixel"
xdotool key Escape
wait_exit
[ "$STATUS" = 0 ] || fail "escape ended the program with status $STATUS, not 0"
echo "ok: escape typed in the paused window ended the program with status 0"
echo "PASS"
