// MIDI output in a browser, behind platform/midi.h. Device 0 is the first Web
// MIDI output when the browser offers one and the viewer allowed MIDI access,
// and the others follow as 1, 2, ...; otherwise device 0 is a software
// synthesiser that takes every message and plays nothing (there is no
// SoundFont in a browser). It reports itself as the desktop's built-in
// synthesiser does, so scene 3 draws the same report. Timed as --headless,
// only the synthesiser is there. Short messages only; no volume control on
// Web MIDI outputs (the volume word is kept and reported).
#include "platform/midi.h"

#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "platform/midi_message.h"
#include "platform/synth.h"
#include "web_glue.h"

const char synth_name[] = "RIVO7315 GM Synthesizer";

struct MIDI_OUT {
    int32_t output;    // Web MIDI output index, or -1 for the synthesiser
    uint32_t volume;
    uint8_t running;   // running status: last channel status byte, 0 if none
};

// Web MIDI outputs usable now (none when timed as --headless).
static int32_t midi_web_outputs(void) { return backend_is_headless() ? 0 : rivo_web_midi_outputs(); }

int midi_out_choose(const char *where) { return where == nullptr || !strcmp(where, "synth"); }

uint32_t midi_out_get_num_devs(void) {
    int32_t ports = midi_web_outputs();
    return ports > 0 ? (uint32_t)ports : 1;
}

int32_t midi_out_get_dev_caps(uint32_t device, MIDI_CAPS *caps, uint32_t size) {
    if (!caps || size == 0) return MIDI_INVALPARAM;
    if (device >= midi_out_get_num_devs()) return MIDI_BADDEVICEID;
    MIDI_CAPS full;
    memset(&full, 0, sizeof full);
    full.driver_version = 0x0100;
    full.channel_mask = 0xFFFF;
    if (midi_web_outputs() > 0) {
        full.pid = (uint16_t)device;
        full.technology = MIDI_TECH_PORT;
        rivo_web_midi_name((int32_t)device, full.name, (int32_t)sizeof full.name);
    } else {
        strncpy(full.name, synth_name, sizeof full.name - 1);
        full.technology = MIDI_TECH_SWSYNTH;
        full.voices = (uint16_t)synth_polyphony;
        full.notes = (uint16_t)synth_polyphony;
        full.support = MIDI_CAPS_VOLUME | MIDI_CAPS_LRVOLUME;
    }
    memcpy(caps, &full, size < sizeof full ? size : sizeof full);
    return MIDI_NOERROR;
}

int32_t midi_out_open(MIDI_OUT **handle, uint32_t device) {
    if (!handle) return MIDI_INVALPARAM;
    *handle = nullptr;
    if (device >= midi_out_get_num_devs()) return MIDI_BADDEVICEID;
    MIDI_OUT *m = (MIDI_OUT *)calloc(1, sizeof(MIDI_OUT));
    if (!m) return MIDI_NOMEM;
    m->output = midi_web_outputs() > 0 ? (int32_t)device : -1;
    m->volume = 0xFFFFFFFFu;
    *handle = m;
    return MIDI_NOERROR;
}

int32_t midi_out_set_volume(MIDI_OUT *handle, uint32_t volume) {
    if (!handle) return MIDI_INVALHANDLE;
    handle->volume = volume;
    return MIDI_NOERROR;
}

int32_t midi_out_get_volume(MIDI_OUT *handle, uint32_t *volume) {
    if (!handle) return MIDI_INVALHANDLE;
    if (!volume) return MIDI_INVALPARAM;
    *volume = handle->volume;
    return MIDI_NOERROR;
}

// Bytes a message with this status byte takes, the status included; 0 for
// the bytes that cannot start a short message (sysex start and end).
int32_t midi_out_short_msg(MIDI_OUT *handle, uint32_t message) {
    if (!handle) return MIDI_INVALHANDLE;
    uint8_t bytes[3];
    int n = midi_message_unpack(message, &handle->running, bytes);
    if (n == 0) return MIDI_INVALPARAM;
    // Data bytes keep to seven bits on the wire.
    if (handle->output >= 0) rivo_web_midi_send(handle->output, bytes[0], bytes[1] & 0x7F, bytes[2] & 0x7F, n);
    return MIDI_NOERROR;
}

int32_t midi_out_reset(MIDI_OUT *handle) {
    if (!handle) return MIDI_INVALHANDLE;
    for (uint32_t ch = 0; ch < 16; ch++) {
        midi_out_short_msg(handle, 0xB0u | ch | (64u << 8));   // sustain pedal off
        midi_out_short_msg(handle, 0xB0u | ch | (123u << 8));  // all notes off
    }
    return MIDI_NOERROR;
}

int32_t midi_out_close(MIDI_OUT *handle) {
    if (!handle) return MIDI_INVALHANDLE;
    free(handle);
    return MIDI_NOERROR;
}

// Nothing is loaded for the software synthesiser, and Web MIDI outputs are
// the browser's: nothing to let go at the run's end.
void midi_let_go(void) {}

const char *midi_out_result_text(int32_t result) {
    switch (result) {
    case MIDI_NOERROR: return "no error";
    case MIDI_BADDEVICEID: return "no MIDI output with that number";
    case MIDI_INVALHANDLE: return "the MIDI device is not open";
    case MIDI_NOMEM: return "out of memory";
    case MIDI_INVALPARAM: return "invalid parameter";
    default: return "unknown MIDI error";
    }
}
