// The run options of the program: what extends the plain demo (none set: the
// demo exactly as built, in a 256 x 256 window). The command line (app/cli.h)
// fills them; the backend and its outputs take them over.
//
// Frame numbers (--keys, --hash) count pictures: the title frame is frame 0
// and every present is the next frame, except a second present within a
// frame-loop round before its key round, which replaces the first; a
// key-handler round with no present since the previous one (a paused round)
// also counts as a frame, so keys keep arriving while the demo is paused. A key "F:NAME" is typed while
// frame F is on screen: it is queued before the next message pump, which takes
// one queued event per call, and the demo acts on it in the frame after that.
// --frames N counts frames of the scene loop (frame-timer ends) instead.
#pragma once

#include <cstdint>

// Exit statuses of the program, documented in its manual page.
enum run_status {
    RUN_OK = 0,             // escape, a closed window, --frames reached
    RUN_STUCK = 1,          // headless, paused with no scripted key left to resume it
    RUN_BAD_OPTION = 2,     // an option that cannot be honoured
    RUN_NO_MIDI = 3,        // no MIDI output where the demo needs one
    RUN_WRITE_FAILED = 4,   // a capture, recording or other file write failed
    RUN_NO_DISPLAY = 5,     // a window run without a display
    RUN_NO_MEMORY = 6,      // out of memory for what the run needs
};

// One scripted key: typed while frame `frame` is on screen.
struct RUN_KEY {
    uint32_t frame;
    int32_t vk;  // Windows virtual-key code
};

// The parsed options; cli_parse fills it, cli_free releases what it owns.
struct RUN_OPTIONS {
    int32_t headless;    // 1: no display, no sound device, virtual clock
    int32_t frames;      // frame-timer frames before exit with code 0; 0: no limit
    int32_t hash;        // 1: print "frame crc32" for every present
    int32_t zoom;        // window scale factor, 1..16 (nearest neighbour)
    int32_t fullscreen;  // 1: desktop fullscreen, integer-scaled
    char *capture;       // directory for frame PNGs and sound.wav, or null; owned
    char *record;        // video file (.mkv or .mp4) to record, or null; owned
    char *screenshot_dir;  // where F12 saves, or null for the working directory; owned
    char *midi_out;      // --midi-out: synth, capture, none or an ALSA port; null: synth; owned
    char *soundfont;     // --soundfont: the SoundFont file of the synthesiser, or null; owned
    char *audio_device;  // --audio-device: the sound output device's name, or null for the default; owned
    int32_t volume;      // --volume: percent of full scale for all sound played, 0..100 (default 100)
    int32_t list_audio;  // 1: print the sound output devices and exit
    int32_t list_midi;   // 1: print the MIDI output devices and exit
    int32_t key_count;
    RUN_KEY *keys;       // owned; sorted by frame, equal frames in given order
};
