#!/usr/bin/env python3
"""Drives the browser build in headless Chromium through the DevTools protocol
(a small websocket client of its own; nothing beyond Python's standard
library). Usage: web_page.py CHROMIUM URL OUT_DIR FRAMES

1. URL?frames=FRAMES&hash=1: waits for the run to end and writes the hash
   lines it printed to OUT_DIR/web_hashes.txt.
2. URL: clicks the start overlay, lets the demo run a moment, saves a
   screenshot of the page as OUT_DIR/web_page.png and checks that the canvas
   in it is not blank (the title or scene 1).
Console errors and uncaught exceptions on either page fail the run."""
import base64, json, os, socket, struct, subprocess, sys, tempfile, time, urllib.request, zlib


class DevTools:
    """One websocket connection to a page target: commands and events."""

    def __init__(self, ws_url):
        host_port, path = ws_url[len('ws://'):].split('/', 1)
        host, port = host_port.split(':')
        self.sock = socket.create_connection((host, int(port)), timeout=60)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall((f'GET /{path} HTTP/1.1\r\nHost: {host_port}\r\nUpgrade: websocket\r\n'
                           f'Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n'
                           'Sec-WebSocket-Version: 13\r\n\r\n').encode())
        reply = b''
        while b'\r\n\r\n' not in reply:
            reply += self.sock.recv(4096)
        if b' 101 ' not in reply.split(b'\r\n')[0]:
            raise RuntimeError('websocket upgrade refused')
        self.buffer = reply.split(b'\r\n\r\n', 1)[1]
        self.next_id = 0
        self.errors = []

    def _read(self, n):
        while len(self.buffer) < n:
            chunk = self.sock.recv(1 << 16)
            if not chunk:
                raise RuntimeError('browser closed the connection')
            self.buffer += chunk
        data, self.buffer = self.buffer[:n], self.buffer[n:]
        return data

    def _send(self, text):
        payload = text.encode()
        mask = os.urandom(4)
        header = bytearray([0x81])
        n = len(payload)
        if n < 126:
            header.append(0x80 | n)
        elif n < 1 << 16:
            header += bytes([0x80 | 126]) + struct.pack('>H', n)
        else:
            header += bytes([0x80 | 127]) + struct.pack('>Q', n)
        self.sock.sendall(bytes(header) + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(payload)))

    def _message(self):
        text = b''
        while True:
            b0, b1 = self._read(2)
            n = b1 & 0x7F
            if n == 126:
                n = struct.unpack('>H', self._read(2))[0]
            elif n == 127:
                n = struct.unpack('>Q', self._read(8))[0]
            data = self._read(n)
            if b0 & 0x0F == 9:  # ping
                continue
            text += data
            if b0 & 0x80:
                return json.loads(text)

    def _note(self, event):
        method, params = event.get('method'), event.get('params', {})
        if method == 'Runtime.exceptionThrown':
            self.errors.append(params['exceptionDetails'].get('exception', {}).get('description', 'exception'))
        elif method == 'Runtime.consoleAPICalled' and params.get('type') == 'error':
            self.errors.append(' '.join(str(a.get('value', a.get('description'))) for a in params['args']))
        elif method == 'Log.entryAdded' and params['entry'].get('level') == 'error':
            self.errors.append(params['entry'].get('text', 'error'))

    def call(self, method, **params):
        self.next_id += 1
        self._send(json.dumps({'id': self.next_id, 'method': method, 'params': params}))
        while True:
            message = self._message()
            if message.get('id') == self.next_id:
                if 'error' in message:
                    raise RuntimeError(f'{method}: {message["error"]}')
                return message.get('result', {})
            self._note(message)

    def evaluate(self, expression):
        result = self.call('Runtime.evaluate', expression=expression, returnByValue=True)
        return result.get('result', {}).get('value')

    def wait_for(self, expression, seconds):
        end = time.time() + seconds
        while time.time() < end:
            value = self.evaluate(expression)
            if value:
                return value
            time.sleep(0.2)
        raise RuntimeError(f'timed out waiting for {expression}')


def png_pixels(data):
    """Width, height and rows of RGB(A) bytes of an 8-bit truecolour PNG."""
    at, chunks, width = 8, b'', 0
    while at < len(data):
        n, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + n]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            if depth != 8 or colour not in (2, 6):
                raise RuntimeError('unexpected PNG format')
            step = 3 if colour == 2 else 4
        elif kind == b'IDAT':
            chunks += body
        at += 12 + n
    raw, rows, previous = zlib.decompress(chunks), [], bytearray(width * step)
    stride = width * step
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b, c = previous[i], previous[i - step] if i >= step else 0
            if kind == 1: line[i] = (line[i] + a) & 255
            elif kind == 2: line[i] = (line[i] + b) & 255
            elif kind == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    return width, height, step, rows


def main():
    chromium, url, out, frames = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    profile = tempfile.mkdtemp(prefix='rivo-chromium-')
    browser = subprocess.Popen([chromium, '--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic',
                                '--no-first-run', '--disable-background-networking', '--disable-component-update',
                                '--disable-sync', '--autoplay-policy=no-user-gesture-required',
                                f'--user-data-dir={profile}', '--remote-debugging-port=0',
                                '--window-size=800,700', 'about:blank'],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        port_file = os.path.join(profile, 'DevToolsActivePort')
        for _ in range(300):
            if os.path.exists(port_file) and open(port_file).read().strip():
                break
            time.sleep(0.1)
        port = open(port_file).read().split()[0]
        targets = json.load(urllib.request.urlopen(f'http://127.0.0.1:{port}/json/list'))
        page = DevTools(next(t for t in targets if t['type'] == 'page')['webSocketDebuggerUrl'])
        for domain in ('Runtime', 'Log', 'Page'):
            page.call(f'{domain}.enable')

        # 1. Hash lines timed as --headless.
        page.call('Page.navigate', url=f'{url}?frames={frames}&hash=1')
        page.wait_for("document.body && document.body.dataset.state === 'ended'", 600)
        lines = page.evaluate('window.rivoLines.join("\\n")')
        with open(os.path.join(out, 'web_hashes.txt'), 'w') as f:
            f.write(lines + '\n')

        # 2. The page as a viewer sees it: click to start, then a screenshot.
        page.call('Page.navigate', url=url)
        page.wait_for("document.readyState === 'complete' && !document.getElementById('overlay').hidden", 60)
        box = page.evaluate("(r => [r.x, r.y, r.width, r.height])(document.getElementById('screen').getBoundingClientRect())")
        x, y = box[0] + box[2] / 2, box[1] + box[3] / 2
        for kind in ('mousePressed', 'mouseReleased'):
            page.call('Input.dispatchMouseEvent', type=kind, x=x, y=y, button='left', clickCount=1)
        page.wait_for("document.body.dataset.state === 'running'", 30)
        time.sleep(1.5)
        shot = base64.b64decode(page.call('Page.captureScreenshot', format='png')['data'])
        with open(os.path.join(out, 'web_page.png'), 'wb') as f:
            f.write(shot)
        width, height, step, rows = png_pixels(shot)
        scale = page.evaluate('window.devicePixelRatio') or 1
        x0, y0, w, h = (int(v * scale) for v in box)
        lit = colours = 0
        seen = set()
        for row in rows[y0:y0 + h]:
            for i in range(x0, min(x0 + w, width)):
                pixel = bytes(row[i * step:i * step + 3])
                seen.add(pixel)
                lit += pixel != b'\0\0\0'
        colours = len(seen)
        print(f'canvas {w} x {h} at ({x0}, {y0}): {lit} lit pixels, {colours} colours')
        if lit < w * h // 20 or colours < 4:
            raise RuntimeError('the canvas is blank')
        if page.errors:
            raise RuntimeError('console errors: ' + '; '.join(page.errors))
    finally:
        browser.terminate()
        browser.wait()
        subprocess.run(['rm', '-rf', profile])


if __name__ == '__main__':
    try:
        main()
    except RuntimeError as e:
        print(f'web_page.py: {e}', file=sys.stderr)
        sys.exit(1)
