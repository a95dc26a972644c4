// Command line of the program: the run options that extend the plain demo
// (no arguments: the demo exactly as built, in a 256 x 256 window).
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
#include <cstdio>

// One scripted key: typed while frame `frame` is on screen.
struct CLI_KEY {
    uint32_t frame;
    int32_t vk;  // Windows virtual-key code
};

// The parsed options; cli_parse fills it, cli_free releases what it owns.
struct CLI {
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
    int32_t key_count;
    CLI_KEY *keys;       // owned; sorted by frame, equal frames in given order
};

// cli_parse's result when the program should run.
enum { CLI_RUN = -1 };
// Exit status when an option cannot be stored for want of memory.
enum { CLI_NO_MEMORY = 6 };

// Parses the arguments after argv[0] into a cleared `cli`. Returns CLI_RUN, or
// the exit status after printing: 0 for --help and --version (to out), 2 for an
// unknown or malformed option (usage line to err).
int cli_parse(CLI *cli, int argc, char **argv, FILE *out, FILE *err);
// Frees what the record owns and clears it.
void cli_free(CLI *cli);
// Appends the keys of a "F:NAME,F:NAME" list; 0 when the list is malformed.
int cli_add_keys(CLI *cli, const char *list);
// Virtual-key code of a key name (SPACE, ESC, A..Z, 0..9, F1..F12, ENTER, ...),
// case-insensitive, of `len` characters; 0 for an unknown name.
int32_t cli_key_code(const char *name, size_t len);
// The one-line usage and the full help text.
void cli_usage(FILE *f);
void cli_help(FILE *f);
