#!/bin/sh
# A real window under Xvfb (jwm for F11, Alt+Enter), no display (status 5), SIGINT in a capture;
# no fixed sleeps: every step waits for its condition. Args: the program, the tests build directory.
. "$(dirname "$0")/sh/wait.sh"
PROG=$(realpath "$1")
WMCLOSE="$(realpath "$2")/../tools/wm-close"
command -v Xvfb >/dev/null 2>&1 || { echo "SKIP: Xvfb is not installed"; exit 0; }
for tool in xdotool xwininfo xdpyinfo import convert jwm "$WMCLOSE"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed (wm-close: build target wm-close)"; exit 1; }
done
WORK=$(mktemp -d /tmp/rivo_window.XXXXXX)
XPID= APID= WMPID=
trap 'kill $APID $WMPID $XPID 2>/dev/null; rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok: $*"; }
cd "$WORK" || fail "no work directory"

start() {
    name=$1
    shift
    "$PROG" "$@" >"$WORK/$name.out" 2>"$WORK/$name.err" &
    APID=$!
}
alive() { st=$(ps -o stat= -p "$APID" 2>/dev/null) && [ "${st#Z}" = "$st" ]; }
dead() { ! alive; }
ends_with() {
    wait_for 30 dead || kill "$APID" 2>/dev/null
    wait "$APID"
    STATUS=$? APID=
    [ "$STATUS" = "$1" ] || fail "$2 ended the program with status $STATUS, not $1"
    ok "$2 ended the program with status $1"
}

env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$PROG" >/dev/null 2>"$WORK/nodisplay.err"
[ $? = 5 ] && [ "$(cat "$WORK/nodisplay.err")" = "rivo7315: no display: set DISPLAY or WAYLAND_DISPLAY, or use --headless" ] ||
    fail "without a display: $(cat "$WORK/nodisplay.err")"
ok "without a display one message and status 5"
# A display that is set but does not answer is named as such.
env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:999 "$PROG" >/dev/null 2>"$WORK/unreached.err"
[ $? = 5 ] && grep -q "^rivo7315: cannot reach the display DISPLAY=:999 (.*): is its X server running?" \
    "$WORK/unreached.err" && [ "$(wc -l <"$WORK/unreached.err")" = 1 ] ||
    fail "with an unreachable display: $(cat "$WORK/unreached.err")"
ok "an unreachable display named in one message, status 5"
start cap --capture "$WORK/cap"
wait_for 30 test -s "$WORK/cap/frame_000010.png" || fail "the capture wrote no frames: $(cat "$WORK/cap.err")"
kill -INT "$APID"
ends_with 130 "SIGINT in a capture"
size=$(wc -c <cap/sound.wav)
[ "$(od -An -tu4 -j4 -N4 cap/sound.wav | tr -d ' ')/$(od -An -tu4 -j40 -N4 cap/sound.wav | tr -d ' ')" = \
    "$((size - 8))/$((size - 44))" ] && [ "$size" -gt 44 ] || fail "after SIGINT sound.wav is unfinished"
last=$(ls cap | grep '^frame_.*png$' | sort | tail -n 1)
[ "$(convert "cap/$last" -depth 8 rgb:- | wc -c)" = 196608 ] || fail "the last captured frame $last is incomplete"
ok "sound.wav finished ($size bytes), $last whole"

# -noreset: a server resets when its last client leaves, and a program that starts
# in that moment finds no display ("x11 not available").
SW=1024 SH=768
xvfb_up() { kill -0 "$XPID" 2>/dev/null; }
answers() { xdpyinfo >/dev/null 2>&1 || ! xvfb_up; }
n=$((100 + $$ % 800))
for try in 1 2 3 4 5 6 7 8; do
    n=$((n + 1))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 ${SW}x${SH}x24 -nolisten tcp -noreset 2>"$WORK/xvfb.log" &
    XPID=$!
    export DISPLAY=:$n
    wait_for 30 answers && xvfb_up && break
    kill "$XPID" 2>/dev/null
    XPID=
done
[ -n "$XPID" ] || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
# No sound device; no leak checks in sanitized window runs (SDL's video libraries keep a few blocks).
export SDL_AUDIODRIVER=dummy ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

find_window() {
    has_window() { WID=$(xdotool search --name '^RIVO7315$' 2>/dev/null | head -n 1); [ -n "$WID" ] || dead; }
    wait_for 30 has_window && [ -n "$WID" ] || fail "no window appeared: $(cat "$WORK/$1.err")"
}
grab() { import -window "$WID" "$WORK/grab.ppm" 2>/dev/null && convert "$WORK/grab.ppm" -depth 8 "rgb:$1"; }
# Is the window titled RIVO7315, $1 x $2 (at $3, $4 if given)?
geometry_is() {
    info=$(xwininfo -id "$WID" 2>/dev/null)
    INFO="$(echo "$info" | grep -c '"RIVO7315"') $(echo "$info" | sed -n 's/^ *\(Width\|Height\|Absolute upper-left [XY]\): *//p' | tr '\n' ' ')"
    case "$INFO" in "1 "${3:-*}" "${4:-*}" $1 $2 ") ;; *) return 1 ;; esac
}
# Waits for geometry_is (default place: centred).
settles() {
    wait_for 20 geometry_is "$1" "$2" "${3-$(((SW - $1) / 2))}" "${4-$(((SH - $2) / 2))}" ||
        fail "window (title, x, y, w, h) $INFO, not $1 x $2 at ${3-centre}"
    ok "window \"RIVO7315\" $1 x $2 at ${3-$(((SW - $1) / 2))}, ${4-$(((SH - $2) / 2))}"
}
presented() { wait_for 30 grep -q "^$1 " "$WORK/$2.out" || fail "frame $1 was never presented"; }
snapshot() {
    rm -f rivo7315_*.png
    xdotool windowfocus --sync "$WID" 2>/dev/null || xdotool windowfocus "$WID"
    xdotool key F12
    whole() { SNAP=$(ls rivo7315_*.png 2>/dev/null | head -n 1) && [ "$(convert "$SNAP" -depth 8 rgb:- 2>/dev/null | wc -c)" = 196608 ]; }
    wait_for 20 whole || fail "F12 typed in the window saved no whole picture"
}
# The $2 x $3 window shows the snapshot scaled by $1 (nearest) at ($4, $5) on black.
shows() {
    convert -size "$2x$3" xc:black \( "$SNAP" -scale "$(($1 * 100))%" \) -geometry "+$4+$5" -composite -depth 8 "rgb:want.rgb"
    same() { grab screen.rgb && cmp -s screen.rgb want.rgb; }
    wait_for 20 same || fail "the $2 x $3 window does not show the frame scaled by $1 at ($4, $5)"
    ok "the $2 x $3 window shows the frame scaled by $1 at ($4, $5) on black"
}
cpu_ms() { awk -v tck="$(getconf CLK_TCK)" '{ print int(($14 + $15) * 1000 / tck) }' "/proc/$APID/stat"; }

# Space at frame 40 moves on to the wave mesh; P at frame 80 freezes frame 81.
start run1 --keys 40:SPACE,80:P --hash
find_window run1
settles 256 256
presented 000081 run1
snapshot
[ "$SNAP" = rivo7315_000081.png ] || fail "the snapshot of frame 81 is called $SNAP"
shows 1 256 256 0 0
[ "$(convert "$WORK/grab.ppm" -format %k info:)" -gt 4 ] || fail "the window is blank"
import -window root root.png && [ "$(convert root.png -format %k info:)" -gt 4 ] || fail "the screen is blank"
# To the corner, out of the way of a 120-frame window run whose hashes must equal a headless run's.
xdotool windowmove "$WID" 0 0
settles 256 256 0 0
"$PROG" --frames 120 --hash >window.hash 2>/dev/null &
WPID=$!
"$PROG" --headless --frames 120 --hash >headless.hash 2>/dev/null &
HPID=$!
# Four seconds: processor time is counted in 10 ms ticks; 1 % is 40 ms.
before=$(cpu_ms)
sleep 4
used=$(($(cpu_ms) - before))
[ "$used" -le 40 ] || fail "paused, the program used $used ms of processor time in 4 s"
ok "paused, the program used $used ms of processor time in 4 s"
wait $WPID && wait $HPID && [ -s window.hash ] && cmp -s window.hash headless.hash ||
    fail "window and headless hashes of 120 frames differ (or a run failed)"
ok "$(wc -l <window.hash) frame hashes equal in a window and headless"
xdotool windowsize "$WID" 600 520
settles 600 520 "*" "*"
shows 2 600 520 44 4
xdotool windowsize "$WID" 300 700
settles 300 700 "*" "*"
shows 1 300 700 22 222
xdotool windowfocus --sync "$WID" 2>/dev/null
xdotool key p
differs() { grab now.rgb && ! cmp -s screen.rgb now.rgb; }
wait_for 20 differs || fail "P typed in the window did not resume the demo"
kill -INT "$APID"
ends_with 130 "P resumed the demo; SIGINT"

start run4 --zoom 4
find_window run4
settles 768 768
[ "$(grep -c -- '--zoom 4 does not fit .*; using --zoom 3' run4.err)/$(grep -c -- --zoom run4.err)" = 1/1 ] ||
    fail "not one message says --zoom 4 was reduced: $(cat run4.err)"
"$WMCLOSE" "$WID" || fail "wm-close could not send WM_DELETE_WINDOW"
ends_with 0 "WM_DELETE_WINDOW"

jwm >/dev/null 2>&1 &
WMPID=$!
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for 20 wm_ready || fail "the window manager did not start"
start run5 --keys 40:P --hash
find_window run5
presented 000041 run5
snapshot
xdotool key F11
settles $SW $SH 0 0
shows 3 $SW $SH 128 0
xdotool key alt+Return
wait_for 20 geometry_is 256 256 || fail "Alt+Enter did not end fullscreen ($INFO)"
shows 1 256 256 0 0
# Still paused: neither key reached the demo (F12 prints the picture's path among the hashes).
[ "$(grep '^[0-9]\{6\} ' run5.out | tail -n 1 | cut -d' ' -f1)" = 000041 ] || fail "the demo moved on after F11"
xdotool key Escape
ends_with 0 "F11 and Alt+Enter toggled fullscreen; escape typed in the paused window"
echo "PASS"
