// The built-in General MIDI synthesiser: FluidSynth playing a GM SoundFont in
// the sound player's path. The frame loop queues short messages stamped with
// the player's sample position; the player's mix renders the synthesiser and
// applies each message at its stamp, then adds the sound at the device volume.
#pragma once

#include <cstdint>

// One loaded synthesiser (opaque).
struct SYNTH;

// Voices it plays at once: the worst case (every voice sounding) stays
// within a tenth of a core (see bench/bench_synth.cpp).
constexpr int32_t synth_polyphony = 64;
// The name it reports as a MIDI device.
extern const char synth_name[];

// The SoundFont --soundfont chose (null: search the known files again), and
// that choice (null when none).
void synth_set_soundfont(const char *path);
const char *synth_soundfont_chosen(void);
// The SoundFont to load: the chosen one, else the first known GM SoundFont
// that exists (default-GM.sf2, then Debian's GM SoundFonts); null when none.
const char *synth_soundfont(void);

// Why the file cannot serve as a SoundFont (cannot be opened, no RIFF sfbk
// form, cut short, a part missing), or null when it can. Reads no samples.
const char *synth_soundfont_problem(const char *path);

// Creates FluidSynth at 44100 frames per second and loads the SoundFont;
// null when either fails. Slow (the SoundFont is read whole).
SYNTH *synth_new(const char *soundfont);
// Frees the synthesiser and clears the handle; nothing may mix it any more.
void synth_del(SYNTH **s);

// Queues a short message (status byte in the low byte, then its data bytes)
// or a new device volume (left in the low half, right in the high, 0xFFFF
// full) to take effect at sample position `at`. Events keep their order: a
// stamp below the previous one counts as the previous one. A negative stamp
// (nothing plays) applies the event at once.
void synth_send(SYNTH *s, int64_t at, uint32_t message);
void synth_set_volume(SYNTH *s, int64_t at, uint32_t volume);
// Renders `frames` stereo frames from sample position `at` on, applying the
// queued events due in them, and adds them at the volume into `mix`
// (interleaved left, right). Events stamped before `at` apply at its start.
void synth_mix(SYNTH *s, int64_t at, int32_t *mix, int32_t frames);
// Voices sounding now: the engine's voice slots in use, never more than
// synth_polyphony (a voice being taken over for a new note is not counted).
int32_t synth_voices(SYNTH *s);
