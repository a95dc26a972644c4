// The page around the demo: the canvas scaled by whole factors, the click
// that starts it (browsers start sound only after a gesture), the keys of
// the desktop program as Windows virtual-key codes, F11 for fullscreen, the
// sound queued to Web Audio, Web MIDI outputs, and the query's runs:
// ?frames=N&hash=1 prints the hash lines of N frame-timer frames timed as the
// desktop's --headless; ?bench=1 times every scene. Loaded before rivo7315.js.
'use strict';

(function () {
  const query = new URLSearchParams(location.search);
  const hash = query.get('hash') === '1';
  const bench = query.get('bench') === '1';
  const timed = hash || bench || query.get('headless') === '1';
  const args = [];
  if (hash) args.push('--hash');
  if (bench) args.push('--bench');
  if (timed) args.push('--headless');
  if (query.get('frames')) args.push('--frames', String(parseInt(query.get('frames'), 10) || 0));

  const stage = document.getElementById('stage');
  const canvas = document.getElementById('screen');
  const overlay = document.getElementById('overlay');
  const log = document.getElementById('log');
  const context = canvas.getContext('2d');
  let image = null;   // ImageData of the canvas size
  let dirty = false;  // a frame shown since the last paint
  const lines = [];   // what a timed run printed
  window.rivoLines = lines;

  // ---- Display ------------------------------------------------------------------
  // The largest whole scale at which the picture and the help line fit.
  function fit() {
    const help = document.fullscreenElement ? 0 : 48;
    const across = Math.floor(window.innerWidth / canvas.width);
    const down = Math.floor((window.innerHeight - help) / canvas.height);
    const scale = Math.max(1, Math.min(across, down));
    canvas.style.width = canvas.width * scale + 'px';
    canvas.style.height = canvas.height * scale + 'px';
  }
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);

  // The latest frame shown, converted by the program only when it is painted.
  function paint() {
    if (dirty && image && running) {
      const at = Module._rivo_web_rgba();
      image.data.set(Module.HEAPU8.subarray(at, at + image.width * image.height * 4));
      context.putImageData(image, 0, 0);
      dirty = false;
    }
    requestAnimationFrame(paint);
  }
  requestAnimationFrame(paint);

  // ---- Keys -----------------------------------------------------------------------
  const keys = [];
  let keyWaiter = null;
  function virtualKey(e) {
    if (e.code === 'Escape') return 0x1B;
    if (e.code === 'Space') return 0x20;
    let m = /^Digit([0-9])$/.exec(e.code) || /^Numpad([0-9])$/.exec(e.code);
    if (m) return 0x30 + Number(m[1]);
    m = /^Key([A-Z])$/.exec(e.code);
    if (m) return m[1].charCodeAt(0);
    return 0;
  }
  function type(vk) {
    keys.push(vk);
    if (keyWaiter) { const wake = keyWaiter; keyWaiter = null; wake(); }
  }
  window.addEventListener('keydown', function (e) {
    if (e.code === 'F11') {
      e.preventDefault();
      if (document.fullscreenElement) document.exitFullscreen();
      else stage.requestFullscreen().catch(function () {});
      return;
    }
    if (e.ctrlKey || e.altKey || e.metaKey) return;
    const vk = virtualKey(e);
    if (!vk || !started || timed) return;
    e.preventDefault();
    type(vk);
  });
  // A tap on the picture is the space key: phones have no keyboard.
  canvas.addEventListener('click', function () { if (started && !timed) type(0x20); });

  // ---- Sound ------------------------------------------------------------------------
  const rate = 44100;
  const lead = Math.round(rate * 0.15);  // frames queued ahead of what plays
  let audio = null, sink = null, made = 0, played = 0;
  const pending = [];  // blocks for the ScriptProcessorNode
  let pendingAt = 0;

  function scriptSink() {
    const node = audio.createScriptProcessor(2048, 0, 2);
    node.onaudioprocess = function (e) {
      const left = e.outputBuffer.getChannelData(0), right = e.outputBuffer.getChannelData(1);
      let i = 0;
      while (i < left.length && pending.length) {
        const block = pending[0];
        const n = Math.min(left.length - i, block.left.length - pendingAt);
        left.set(block.left.subarray(pendingAt, pendingAt + n), i);
        right.set(block.right.subarray(pendingAt, pendingAt + n), i);
        i += n; pendingAt += n; played += n;
        if (pendingAt >= block.left.length) { pending.shift(); pendingAt = 0; }
      }
      left.fill(0, i); right.fill(0, i);
    };
    node.connect(audio.destination);
    return { push: function (block) { pending.push(block); }, extra: 2048 };
  }

  async function startSound() {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    try {
      audio = new Context({ sampleRate: rate });
      const resumed = audio.resume();  // inside the click: the gesture starts the sound
      if (audio.audioWorklet) {
        await audio.audioWorklet.addModule('sound-worklet.js');
        const node = new AudioWorkletNode(audio, 'rivo-sound', { numberOfInputs: 0, outputChannelCount: [2] });
        node.port.onmessage = function (e) { played = e.data; };
        node.connect(audio.destination);
        sink = { push: function (block) { node.port.postMessage(block, [block.left.buffer, block.right.buffer]); }, extra: 0 };
        document.body.dataset.sound = 'worklet';
      } else {
        sink = scriptSink();
        document.body.dataset.sound = 'script processor';
      }
      await resumed;
      setInterval(pump, 20);
    } catch (e) {
      console.warn('RIVO7315: no sound: ' + e);
      sink = null;
    }
  }

  // Keeps `lead` frames queued, made by the program's player as it plays.
  function pump() {
    if (!sink || !running) return;
    let want = lead + sink.extra - (made - played);
    while (want > 0) {
      const n = Math.min(want, 4096);
      const at = Module._player_web_render(n) >> 1;
      const left = new Float32Array(n), right = new Float32Array(n);
      for (let i = 0; i < n; i++) {
        left[i] = Module.HEAP16[at + 2 * i] / 32768;
        right[i] = Module.HEAP16[at + 2 * i + 1] / 32768;
      }
      sink.push({ left: left, right: right });
      made += n;
      want -= n;
    }
  }

  // ---- MIDI -------------------------------------------------------------------------
  let midiOutputs = [];
  function startMidi() {
    if (!navigator.requestMIDIAccess) return;
    navigator.requestMIDIAccess().then(function (access) {
      const list = function () { midiOutputs = Array.from(access.outputs.values()); };
      list();
      access.onstatechange = list;
    }, function () { midiOutputs = []; });
  }

  // ---- Benchmark ----------------------------------------------------------------------
  const scenes = [];
  let benchFrame = 0;
  function benchReport() {
    const rows = scenes.map(function (s) {
      const sorted = s.times.slice().sort(function (a, b) { return a - b; });
      const total = sorted.reduce(function (sum, t) { return sum + t; }, 0);
      const average = sorted.length ? total / sorted.length : 0;
      const p99 = sorted.length ? sorted[Math.min(sorted.length - 1, Math.floor(sorted.length * 0.99))] : 0;
      const worst = sorted.length ? sorted[sorted.length - 1] : 0;
      return 'bench ' + s.name + ': ' + sorted.length + ' frames, average ' + average.toFixed(3) +
        ' ms, 99th percentile ' + p99.toFixed(3) + ' ms, worst ' + worst.toFixed(3) + ' ms';
    });
    rows.forEach(function (row) { lines.push(row); console.log(row); });
  }

  // ---- The program ----------------------------------------------------------------------
  let started = false, running = false, ready = false, wanted = false;

  function print(text) {
    console.log(text);
    if (timed) lines.push(text);
  }

  function ended(code) {
    running = false;
    if (bench) benchReport();
    // Runs that print (hash lines, benchmarks) show what they printed under the picture.
    if (log && timed) {
      log.textContent = lines.join('\n');
      log.style.display = 'block';
    }
    document.body.dataset.state = 'ended';
    document.body.dataset.status = String(code);
    if (!timed) {
      overlay.textContent = 'The demo has ended. Reload the page to run it again.';
      overlay.hidden = false;
    }
  }

  function run() {
    if (started || !ready || !wanted) return;
    started = running = true;
    overlay.hidden = true;
    document.body.dataset.state = 'running';
    Module.callMain(args);
  }

  window.Module = {
    arguments: args,
    print: print,
    printErr: function (text) { console.warn(text); },
    onRuntimeInitialized: function () { ready = true; run(); },
    onExit: ended,
    rivoScene: function (name, frames) { scenes.push({ name: name, frames: frames, times: [] }); },
    rivoPage: {
      open: function (w, h) {
        canvas.width = w; canvas.height = h;
        image = context.createImageData(w, h);
        fit();
        return true;
      },
      show: function (w, h) { dirty = !!image && image.width === w && image.height === h; },
      key: function () { return keys.length ? keys.shift() : -1; },
      // A turn for the browser: a message task, without the clamp of nested timeouts.
      soon: (function () {
        const channel = new MessageChannel();
        const waiting = [];
        channel.port1.onmessage = function () { const wake = waiting.shift(); if (wake) wake(); };
        return function (wake) { waiting.push(wake); channel.port2.postMessage(0); };
      })(),
      // After the next paint of the canvas, or 100 ms when the page paints nothing.
      painted: function (wake) {
        let done = false;
        const once = function () { if (!done) { done = true; wake(); } };
        requestAnimationFrame(function () { setTimeout(once, 0); });
        setTimeout(once, 100);
      },
      waitKey: function (wake, ms) {
        const timer = setTimeout(function () { keyWaiter = null; wake(); }, ms);
        keyWaiter = function () { clearTimeout(timer); wake(); };
      },
      frameTime: function (ms) {
        let first = 0;
        for (const s of scenes) {
          if (benchFrame < first + s.frames) {
            s.times.push(ms);
            break;
          }
          first += s.frames;
        }
        benchFrame++;
      },
      midiOutputs: function () { return midiOutputs; },
      midiSend: function (i, bytes) {
        try { if (midiOutputs[i]) midiOutputs[i].send(bytes); } catch (e) { /* not a message the port takes */ }
      },
    },
  };
  window.addEventListener('pagehide', function () { if (running) type(-2); });

  if (timed) {
    wanted = true;
  } else {
    overlay.hidden = false;
    overlay.addEventListener('click', function () {
      wanted = true;
      startSound();
      startMidi();
      run();
    }, { once: true });
  }
  fit();
})();
