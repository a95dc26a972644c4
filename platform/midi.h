// MIDI output shaped like the classic MIDI-out calls: devices numbered from 0,
// Windows result codes, short messages packed into one word (status in the low
// byte, then the two data bytes). Device 0 is what --midi-out chose: the
// built-in General MIDI synthesiser (the default), an ALSA sequencer port, the
// capture device that records every message, or nothing. In a window run the
// writable, subscribable ports of the other sequencer clients follow as 1, 2,
// ...; headless runs list no port, so they repeat on any machine. Without a
// SoundFont the synthesiser is missing and the ports start at 0 (headless:
// the capture device is device 0).
#pragma once

#include <cstdint>
#include <cstdio>

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
    char name[32];            // the device's name, NUL-terminated
    uint16_t technology;      // 1: a MIDI port; 7: a software synthesiser
    uint16_t voices;          // voices it can play at once
    uint16_t notes;           // notes it can play at once
    uint16_t channel_mask;    // one bit per MIDI channel it plays (all 16 when it does not say)
    uint32_t support;         // volume controls: MIDI_CAPS_VOLUME, MIDI_CAPS_LRVOLUME
};
static_assert(sizeof(MIDI_CAPS) == 52, "the capability report is 52 bytes");

// Technology and support values of the classic report.
enum : uint32_t {
    MIDI_TECH_PORT = 1,
    MIDI_TECH_SWSYNTH = 7,
    MIDI_CAPS_VOLUME = 0x0001,
    MIDI_CAPS_LRVOLUME = 0x0002,
};

// What --midi-out chose as device 0: "synth" (also for null), "capture",
// "none", or an ALSA port as "CLIENT:PORT" or a part of its or its client's
// name. 0 for an empty choice.
int midi_out_choose(const char *where);

// Before the run: 1 when the port --midi-out named is there (or device 0 is
// not a named port); otherwise 0 after saying on err which ports there are.
// Headless runs use no port.
int midi_out_check(int headless, FILE *err);
// Prints the output devices, numbered as scene 3 sees them, one per line.
void midi_out_list(FILE *out);

// An open output device (opaque).
struct MIDI_OUT;

// Number of output devices now present.
uint32_t midi_out_get_num_devs(void);
// Copies up to `size` bytes of device `device`'s report into `caps`.
int32_t midi_out_get_dev_caps(uint32_t device, MIDI_CAPS *caps, uint32_t size);
// Opens device `device`; *handle is the open device or null on failure.
int32_t midi_out_open(MIDI_OUT **handle, uint32_t device);
// The device keeps the volume word (left in the low half, right in the high,
// 0xFFFF full); the synthesiser plays at it, the ports have no volume control.
int32_t midi_out_set_volume(MIDI_OUT *handle, uint32_t volume);
int32_t midi_out_get_volume(MIDI_OUT *handle, uint32_t *volume);
// Sends the packed message as its raw bytes: the status byte and as many data
// bytes as that status takes; a first byte below 0x80 reuses the running status.
int32_t midi_out_short_msg(MIDI_OUT *handle, uint32_t message);
// Sustain off and all notes off on all 16 channels.
int32_t midi_out_reset(MIDI_OUT *handle);
// Frees the device; the handle is invalid afterwards. The synthesiser itself
// stays loaded for the process, so the ends of its notes still sound.
int32_t midi_out_close(MIDI_OUT *handle);

// The run's end: the synthesiser, if loaded, plays up to now and is freed.
void midi_let_go(void);

// A one-line explanation of a result code, for messages to the user.
const char *midi_out_result_text(int32_t result);

// The headless capture device: total messages sent to it since start (or the
// last clear) and the i-th of the most recent ones (i from 0, oldest first,
// up to midi_capture_kept() of them).
uint32_t midi_capture_count(void);
uint32_t midi_capture_kept(void);
uint32_t midi_capture_message(uint32_t i);
void midi_capture_clear(void);
