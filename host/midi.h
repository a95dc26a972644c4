// MIDI output over the ALSA sequencer, shaped like the classic MIDI-out calls:
// devices numbered from 0, Windows result codes, short messages packed into
// one word (status in the low byte, then the two data bytes). Device n is the
// n-th writable, subscribable port of another sequencer client (the system
// client excluded). In the headless backend one built-in capture device stands
// in for them and records every message sent, so the MIDI scene runs anywhere.
#pragma once

#include <cstdint>

// Result codes, with the values of the Windows multimedia calls.
enum : int32_t {
    MIDI_NOERROR = 0,
    MIDI_BADDEVICEID = 2,    // no device with that number
    MIDI_INVALHANDLE = 5,    // null or closed handle
    MIDI_NODRIVER = 6,       // no sequencer to talk to
    MIDI_NOMEM = 7,          // an allocation or a sequencer resource failed
    MIDI_INVALPARAM = 11,    // a null pointer, a zero size or a message that is not a short one
};

// Capability report: 52 bytes laid out like the classic MIDI-out report.
struct MIDI_CAPS {
    uint16_t mid;             // manufacturer id: the port's sequencer client number
    uint16_t pid;             // product id: the port number within its client
    uint32_t driver_version;  // 0x0100
    char name[32];            // the port's name, NUL-terminated
    uint16_t technology;      // 1: a MIDI hardware or software port
    uint16_t voices;          // the port's synth voices
    uint16_t notes;           // the port's MIDI voices
    uint16_t channel_mask;    // one bit per MIDI channel of the port (all 16 when it does not say)
    uint32_t support;         // 0: no volume control in the device
};
static_assert(sizeof(MIDI_CAPS) == 52, "the capability report is 52 bytes");

// An open output device (opaque).
struct MIDI_OUT;

// Number of output devices now present.
uint32_t midi_out_get_num_devs(void);
// Copies up to `size` bytes of device `device`'s report into `caps`.
int32_t midi_out_get_dev_caps(uint32_t device, MIDI_CAPS *caps, uint32_t size);
// Opens device `device`; *handle is the open device or null on failure.
int32_t midi_out_open(MIDI_OUT **handle, uint32_t device);
// The device keeps the volume word (left in the low half, right in the high);
// the sequencer has no volume control, so it changes nothing audible.
int32_t midi_out_set_volume(MIDI_OUT *handle, uint32_t volume);
int32_t midi_out_get_volume(MIDI_OUT *handle, uint32_t *volume);
// Sends the packed message as its raw bytes: the status byte and as many data
// bytes as that status takes; a first byte below 0x80 reuses the running status.
int32_t midi_out_short_msg(MIDI_OUT *handle, uint32_t message);
// Sustain off and all notes off on all 16 channels.
int32_t midi_out_reset(MIDI_OUT *handle);
// Disconnects and frees the device; the handle is invalid afterwards.
int32_t midi_out_close(MIDI_OUT *handle);

// A one-line explanation of a result code, for messages to the user.
const char *midi_out_result_text(int32_t result);

// The headless capture device: total messages sent to it since start (or the
// last clear) and the i-th of the most recent ones (i from 0, oldest first,
// up to midi_capture_kept() of them).
uint32_t midi_capture_count(void);
uint32_t midi_capture_kept(void);
uint32_t midi_capture_message(uint32_t i);
void midi_capture_clear(void);
