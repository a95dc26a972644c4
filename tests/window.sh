#!/bin/sh
# A real window under Xvfb: title, 256 x 256 client area centred on the
# screen; keys typed through the X server (F12 snapshot named by its frame
# number, pause, resume, escape); the frame on screen equal to the snapshot;
# an idle pause (CPU over four seconds); resizing (the picture scaled by the
# largest whole factor and centred on black); hashes equal to a headless run;
# --zoom 2 doubling every pixel; --zoom 4 reduced to what fits the screen;
# F11 and Alt+Enter toggling fullscreen under a window manager; closing the way
# a window manager does (WM_DELETE_WINDOW) ending with status 0; SIGINT,
# SIGTERM and SIGHUP ending with 130, 143 and 129 with the capture finished;
# and without a display one message and status 5. No fixed sleeps: every step
# waits for its condition, with a time-out.
# Arguments: the program, the tests build directory.
PROG=$(realpath "$1")
BUILD=$(realpath "$2")
WMCLOSE="$BUILD/../tools/wm-close"

if ! command -v Xvfb >/dev/null 2>&1; then
    echo "SKIP: Xvfb is not installed; the real-window test cannot run"
    exit 0
fi
for tool in xdotool xwininfo xdpyinfo import convert jwm; do
    command -v $tool >/dev/null 2>&1 || { echo "FAIL: $tool is not installed"; exit 1; }
done
[ -x "$PROG" ] || { echo "FAIL: no program at '$PROG'"; exit 1; }
[ -x "$WMCLOSE" ] || { echo "FAIL: no wm-close tool at '$WMCLOSE' (build target wm-close)"; exit 1; }

WORK=$(mktemp -d /tmp/rivo_window.XXXXXX)
XPID=
APID=
WMPID=
cleanup() {
    [ -n "$APID" ] && kill "$APID" 2>/dev/null
    [ -n "$WMPID" ] && kill "$WMPID" 2>/dev/null
    [ -n "$XPID" ] && kill "$XPID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
cd "$WORK" || fail "no work directory"

# Runs "$@" every 0.1 s until it succeeds; 1 after $1 seconds.
wait_for() {
    limit=$(($1 * 10))
    shift
    n=0
    until "$@"; do
        n=$((n + 1))
        [ $n -ge $limit ] && return 1
        sleep 0.1
    done
}

# ---- 0: no display, and signals in a headless run ----------------------------
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$PROG" >"$WORK/nodisplay.out" 2>"$WORK/nodisplay.err"
STATUS=$?
[ "$STATUS" = 5 ] || fail "without a display the program ended with status $STATUS, not 5"
[ "$(cat "$WORK/nodisplay.err")" = "rivo7315: no display: set DISPLAY or WAYLAND_DISPLAY, or use --headless" ] ||
    fail "without a display the message was: $(cat "$WORK/nodisplay.err")"
echo "ok: without a display one message and status 5"

# A headless run without a frame limit runs until a signal ends it.
"$PROG" --headless --hash >"$WORK/hup.hash" 2>/dev/null &
APID=$!
has_frames() { [ -s "$WORK/hup.hash" ]; }
wait_for 30 has_frames || fail "the headless run presented nothing"
kill -HUP "$APID"
wait "$APID"
STATUS=$?
APID=
[ "$STATUS" = 129 ] || fail "SIGHUP ended the program with status $STATUS, not 129"
echo "ok: SIGHUP ended a headless run with status 129"

# SIGINT ends a capture (which runs headless) with 130, its files finished.
"$PROG" --capture "$WORK/cap" >/dev/null 2>"$WORK/cap.log" &
APID=$!
has_captured() { [ -s "$WORK/cap/frame_000010.png" ]; }
wait_for 30 has_captured || fail "the capture wrote no frames: $(cat "$WORK/cap.log")"
kill -INT "$APID"
wait "$APID"
STATUS=$?
APID=
[ "$STATUS" = 130 ] || fail "SIGINT ended the capture with status $STATUS, not 130"
# The sound capture is finished: RIFF and data sizes match the file.
size=$(wc -c <"$WORK/cap/sound.wav")
riff=$(od -An -tu4 -j4 -N4 "$WORK/cap/sound.wav" | tr -d ' ')
data=$(od -An -tu4 -j40 -N4 "$WORK/cap/sound.wav" | tr -d ' ')
[ "$size" -gt 44 ] && [ "$riff" = $((size - 8)) ] && [ "$data" = $((size - 44)) ] ||
    fail "after SIGINT sound.wav is unfinished: $size bytes, RIFF size $riff, data size $data"
last=$(ls "$WORK/cap" | grep '^frame_.*png$' | sort | tail -n 1)
[ "$(convert "$WORK/cap/$last" -depth 8 rgb:- 2>/dev/null | wc -c)" = 196608 ] ||
    fail "the last captured frame $last is incomplete"
echo "ok: SIGINT ended a capture with status 130, sound.wav finished ($size bytes), $last whole"

# A display number of its own, away from the low numbers other X servers on
# the machine take first; the next one if it is taken or the server dies.
SW=1024
SH=768
xvfb_up() { kill -0 "$XPID" 2>/dev/null; }
answers() { xdpyinfo >/dev/null 2>&1 || ! xvfb_up; }
n=$((100 + $$ % 800))
for try in 1 2 3 4 5 6 7 8; do
    n=$((n + 1))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 ${SW}x${SH}x24 -nolisten tcp 2>"$WORK/xvfb.log" &
    XPID=$!
    DISPLAY=:$n
    export DISPLAY
    wait_for 30 answers && xvfb_up && break
    kill "$XPID" 2>/dev/null
    XPID=
done
[ -n "$XPID" ] || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
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
dead() { ! alive; }

# Waits for the program's window; prints its id. Fails if the program ends first.
find_window() {
    n=0
    while [ $n -lt 300 ]; do
        w=$(xdotool search --name '^RIVO7315$' 2>/dev/null | head -n 1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        alive || return 1
        sleep 0.1
        n=$((n + 1))
    done
    return 1
}

# The program showed no window: its status and what it said ($1).
no_window() {
    wait_exit
    fail "no window appeared (program status $STATUS): $(cat "$1")"
}

# Waits (at most 30 s, then ends it) for the program; its status in STATUS.
wait_exit() {
    wait_for 30 dead || kill "$APID" 2>/dev/null
    wait "$APID"
    STATUS=$?
    APID=
}

# Pixels of a window as raw RGB bytes.
grab() {
    import -window "$1" "$WORK/grab.ppm" 2>/dev/null && convert "$WORK/grab.ppm" -depth 8 "rgb:$2"
}

# Reads the window's title, client size and place into INFO_* (empty when unreadable).
read_geometry() {
    info=$(xwininfo -id "$1" 2>/dev/null)
    INFO_TITLE=$(echo "$info" | grep -c '"RIVO7315"')
    INFO_W=$(echo "$info" | sed -n 's/^ *Width: *//p')
    INFO_H=$(echo "$info" | sed -n 's/^ *Height: *//p')
    INFO_X=$(echo "$info" | sed -n 's/^ *Absolute upper-left X: *//p')
    INFO_Y=$(echo "$info" | sed -n 's/^ *Absolute upper-left Y: *//p')
}

# Is window $1 titled RIVO7315 with a client area of $2 x $3 (at $4, $5 if given)?
geometry_is() {
    read_geometry "$1"
    [ "$INFO_TITLE" = 1 ] && [ "$INFO_W" = "$2" ] && [ "$INFO_H" = "$3" ] &&
        { [ -z "$4" ] || { [ "$INFO_X" = "$4" ] && [ "$INFO_Y" = "$5" ]; }; }
}

# The window must settle titled RIVO7315, with a client area of $2 x $3
# centred on the screen; no window manager, so no border to count.
check_geometry() {
    want_x=$(((SW - $2) / 2))
    want_y=$(((SH - $3) / 2))
    wait_for 20 geometry_is "$1" "$2" "$3" "$want_x" "$want_y" ||
        fail "window \"RIVO7315\"? ($INFO_TITLE) ${INFO_W}x${INFO_H} at ($INFO_X, $INFO_Y), not ${2}x${3} centred on ${SW}x${SH}"
    echo "ok: window \"RIVO7315\" ${INFO_W}x${INFO_H} at ($INFO_X, $INFO_Y)"
}

# Types F12 into window $1 and waits for the snapshot; its name in SNAP.
snapshot() {
    rm -f rivo7315_*.png
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    xdotool key F12
    has_snapshot() { [ -n "$(ls rivo7315_*.png 2>/dev/null)" ]; }
    wait_for 20 has_snapshot || fail "F12 typed in the window saved no picture"
    SNAP=$(ls rivo7315_*.png | head -n 1)
    # The PNG is complete once it decodes to its 256 x 256 pixels.
    snap_complete() { [ "$(convert "$SNAP" -depth 8 rgb:- 2>/dev/null | wc -c)" = 196608 ]; }
    wait_for 20 snap_complete || fail "the snapshot $SNAP stays incomplete"
}

# The window $1, $3 x $4, should show the snapshot scaled by $2, nearest
# neighbour, at ($5, $6) on black. Waits for it (the window redraws on its own).
expect_picture() {
    convert -size "$3x$4" xc:black \( "$SNAP" -scale "$(($2 * 100))%" \) -geometry "+$5+$6" \
        -composite -depth 8 "rgb:$WORK/want.rgb"
    shows_it() { grab "$1" "$WORK/screen.rgb" && cmp -s "$WORK/screen.rgb" "$WORK/want.rgb"; }
    wait_for 20 shows_it "$1" || fail "the $3 x $4 window does not show the frame scaled by $2 at ($5, $6)"
    echo "ok: the $3 x $4 window shows the frame scaled by $2 at ($5, $6) on black"
}

# Waits until the picture of window $1 differs from $WORK/screen.rgb.
moves_on() {
    differs() { grab "$1" "$WORK/now.rgb" && ! cmp -s "$WORK/screen.rgb" "$WORK/now.rgb"; }
    wait_for 20 differs "$1"
}

# Processor time of the program so far, in milliseconds (user + system).
cpu_ms() {
    awk -v tck="$(getconf CLK_TCK)" '{ print int(($14 + $15) * 1000 / tck) }' "/proc/$APID/stat"
}

# A line "NNNNNN crc" for frame $2 in hash file $1.
has_frame() { grep -q "^$2 " "$1"; }

# ---- 1: geometry, snapshot, idle pause, resizing, SIGINT ---------------------
# Space at frame 40 moves on to the wave mesh; P at frame 80 freezes frame 81
# there, so the screen can be compared with the snapshot.
"$PROG" --keys 40:SPACE,80:P --hash >"$WORK/run1.hash" 2>"$WORK/run1.log" &
APID=$!
WID=$(find_window) || no_window "$WORK/run1.log"
check_geometry "$WID" 256 256
wait_for 30 has_frame "$WORK/run1.hash" 000081 || fail "frame 81 was never presented"
snapshot "$WID"
# Paused rounds while the picture stands do not rename it: it is frame 81.
[ "$SNAP" = rivo7315_000081.png ] || fail "the snapshot of frame 81 is called $SNAP"
echo "ok: F12 saved $SNAP"
expect_picture "$WID" 1 256 256 0 0
colours=$(convert "$WORK/grab.ppm" -format %k info:)
[ "$colours" -gt 4 ] || fail "the window is blank ($colours colours)"
import -window root "$WORK/root.png" 2>/dev/null
rootcolours=$(convert "$WORK/root.png" -format %k info:)
[ "$rootcolours" -gt 4 ] || fail "the screen is blank ($rootcolours colours)"
echo "ok: the window shows $colours colours, the screen $rootcolours"
# Four seconds: the kernel counts processor time in 10 ms ticks, so a shorter
# interval could not tell 1 % from the redraws the grabs above asked for.
before=$(cpu_ms)
sleep 4  # the measuring interval, not a wait for a condition
used=$(($(cpu_ms) - before))
[ "$used" -le 40 ] || fail "paused, the program used $used ms of processor time in 4 s (1 % is 40 ms)"
echo "ok: paused, the program used $used ms of processor time in 4 s"
# Resized, the picture takes the largest whole factor that fits, centred.
# Moved to the corner first: a grab sees only what is on the screen.
xdotool windowmove "$WID" 0 0
xdotool windowsize "$WID" 600 520
wait_for 20 geometry_is "$WID" 600 520 || fail "the window did not take the size 600 x 520"
expect_picture "$WID" 2 600 520 44 4
xdotool windowsize "$WID" 300 700
wait_for 20 geometry_is "$WID" 300 700 || fail "the window did not take the size 300 x 700"
expect_picture "$WID" 1 300 700 22 222
# P again resumes: the picture moves on.
xdotool key p
moves_on "$WID" || fail "P typed in the window did not resume the demo"
echo "ok: P typed in the window resumed the demo"
kill -INT "$APID"
wait_exit
[ "$STATUS" = 130 ] || fail "SIGINT ended the program with status $STATUS, not 130"
echo "ok: SIGINT ended the window run with status 130"

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
"$PROG" --zoom 2 --keys 40:SPACE,80:P --hash >"$WORK/run3.hash" 2>"$WORK/run3.log" &
APID=$!
WID=$(find_window) || no_window "$WORK/run3.log"
check_geometry "$WID" 512 512
wait_for 30 has_frame "$WORK/run3.hash" 000081 || fail "frame 81 of the zoomed run was never presented"
snapshot "$WID"
expect_picture "$WID" 2 512 512 0 0
xdotool key Escape
wait_exit
[ "$STATUS" = 0 ] || fail "escape ended the program with status $STATUS, not 0"
echo "ok: escape typed in the paused window ended the program with status 0"

# ---- 4: a zoom that does not fit, closed as a window manager does ------------
"$PROG" --zoom 4 >/dev/null 2>"$WORK/run4.log" &
APID=$!
WID=$(find_window) || no_window "$WORK/run4.log"
check_geometry "$WID" 768 768
grep -q -- "--zoom 4 does not fit .*; using --zoom 3" "$WORK/run4.log" ||
    fail "no message says --zoom 4 was reduced: $(cat "$WORK/run4.log")"
[ "$(grep -c -- '--zoom' "$WORK/run4.log")" = 1 ] || fail "the zoom message came more than once"
echo "ok: --zoom 4 on a 768-pixel screen became 3, with one message"
"$WMCLOSE" "$WID" || fail "wm-close could not send WM_DELETE_WINDOW"
wait_exit
[ "$STATUS" = 0 ] || fail "closing the window ended the program with status $STATUS, not 0"
echo "ok: WM_DELETE_WINDOW ended the program with status 0"

# ---- 5: F11 and Alt+Enter under a window manager, SIGTERM --------------------
jwm >/dev/null 2>&1 &
WMPID=$!
# The window manager is ready once it names itself on the root window.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for 20 wm_ready || fail "the window manager did not start"
"$PROG" --keys 40:P --hash >"$WORK/run5.hash" 2>"$WORK/run5.log" &
APID=$!
WID=$(find_window) || no_window "$WORK/run5.log"
wait_for 30 has_frame "$WORK/run5.hash" 000041 || fail "frame 41 was never presented"
snapshot "$WID"
xdotool key F11
wait_for 20 geometry_is "$WID" $SW $SH 0 0 || fail "F11 did not make the window fill the screen (${INFO_W}x${INFO_H})"
expect_picture "$WID" 3 $SW $SH 128 0
xdotool key alt+Return
wait_for 20 geometry_is "$WID" 256 256 || fail "Alt+Enter did not end fullscreen (${INFO_W}x${INFO_H})"
expect_picture "$WID" 1 256 256 0 0
# Still paused: neither key reached the demo, and none resumed it.
# (F12 prints the saved picture's path among the hash lines: only hashes count.)
[ "$(grep '^[0-9]\{6\} ' "$WORK/run5.hash" | tail -n 1 | cut -d' ' -f1)" = 000041 ] ||
    fail "the demo moved on after F11"
echo "ok: F11 and Alt+Enter toggled fullscreen, the picture scaled by whole steps"
kill -TERM "$APID"
wait_exit
[ "$STATUS" = 143 ] || fail "SIGTERM ended the program with status $STATUS, not 143"
echo "ok: SIGTERM ended the program with status 143"
echo "PASS"
