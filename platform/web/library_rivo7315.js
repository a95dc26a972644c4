// The JavaScript side of the browser build's calls (platform/web/web_glue.h).
// The page (page.js) does the work; these hand the calls over to it. The
// three waits unwind the demo with Asyncify and resume it from the event loop.
mergeInto(LibraryManager.library, {
  rivo_web_open: function (w, h) { return Module.rivoPage.open(w, h) ? 1 : 0; },
  rivo_web_show: function (w, h) { Module.rivoPage.show(w, h); },
  rivo_web_key: function () { return Module.rivoPage.key(); },
  rivo_web_yield__deps: ['$callUserCallback'],
  rivo_web_yield: function (paint) {
    Asyncify.handleSleep(function (wakeUp) {
      Module.rivoPage[paint ? 'painted' : 'soon'](function () { callUserCallback(wakeUp); });
    });
  },
  rivo_web_wait__deps: ['$safeSetTimeout'],
  rivo_web_wait: function (ms) {
    Asyncify.handleSleep(function (wakeUp) { safeSetTimeout(wakeUp, ms); });
  },
  rivo_web_wait_key__deps: ['$callUserCallback'],
  rivo_web_wait_key: function (ms) {
    Asyncify.handleSleep(function (wakeUp) { Module.rivoPage.waitKey(function () { callUserCallback(wakeUp); }, ms); });
  },
  rivo_web_frame_time: function (ms) { Module.rivoPage.frameTime(ms); },
  rivo_web_midi_outputs: function () { return Module.rivoPage.midiOutputs().length; },
  rivo_web_midi_name: function (i, name, size) {
    var output = Module.rivoPage.midiOutputs()[i];
    stringToUTF8(output && output.name ? output.name : 'Web MIDI output', name, size);
  },
  rivo_web_midi_send: function (i, b0, b1, b2, n) { Module.rivoPage.midiSend(i, [b0, b1, b2].slice(0, n)); },
});
