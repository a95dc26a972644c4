#!/bin/sh
# The browser build draws the desktop's frames: `make web` builds build-web/,
# a local server serves it, headless Chromium runs ?frames=N&hash=1 (timed as
# --headless) and the page as a viewer starts it (tests/web_page.py), and the
# hash lines must equal those of `rivo7315 --headless --hash --frames N`;
# the page's screenshot must show a picture, and neither page may log an
# error. Skipped (77) without Emscripten or Chromium. Args: program, tests
# build dir.
src=$(cd "$(dirname "$0")/.." && pwd)
frames=${WEB_FRAMES:-2500}
command -v emcc >/dev/null 2>&1 || { echo "web.sh: skipped: no Emscripten (make web installs it)"; exit 77; }
command -v chromium >/dev/null 2>&1 || { echo "web.sh: skipped: no chromium (tools/install-deps.sh all)"; exit 77; }
command -v python3 >/dev/null 2>&1 || { echo "web.sh: python3 is needed" >&2; exit 1; }
out=$(mktemp -d) || exit 1
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$out"' EXIT
if ! make -s -C "$src" web JOBS=2 > "$out/make.log" 2>&1; then
    tail -20 "$out/make.log" >&2
    echo "web.sh: make web failed" >&2
    exit 1
fi
# A free port: the one the kernel hands out for port 0.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 -d "$src/build-web" >/dev/null 2>&1 &
server=$!
for _ in 1 2 3 4 5 6 7 8 9 10; do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
    sleep 0.5
done
"$1" --headless --hash --frames "$frames" > "$out/desktop_hashes.txt" 2>/dev/null || { echo "web.sh: the desktop run failed" >&2; exit 1; }
python3 "$src/tests/web_page.py" chromium "http://127.0.0.1:$port/index.html" "$out" "$frames" || exit 1
lines=$(wc -l < "$out/desktop_hashes.txt")
[ "$lines" -ge "$frames" ] || { echo "web.sh: only $lines desktop hash lines" >&2; exit 1; }
if ! cmp -s "$out/desktop_hashes.txt" "$out/web_hashes.txt"; then
    echo "web.sh: the browser's frames differ from the desktop's:" >&2
    diff "$out/desktop_hashes.txt" "$out/web_hashes.txt" | head -5 >&2
    exit 1
fi
echo "web.sh: $lines frames identical in the browser; its page shows a picture"
