// Command line: parses the run options into a RUN_OPTIONS record. Options are long
// ("--frames 100" or "--frames=100"); no positional arguments. Numbers are
// plain decimal digits; anything else is a usage error (exit status 2) whose
// message names the option, the value and what the option allows.
#include "app/cli.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/record.h"

#ifndef RIVO_VERSION
#define RIVO_VERSION "0"
#endif

// Windows virtual-key codes of the named keys; letters and digits are their
// own upper-case ASCII codes and are handled apart.
struct CLI_NAME {
    const char *name;
    int32_t vk;
};
static const CLI_NAME cli_names[] = {
    {"ESC", 0x1B},   {"ESCAPE", 0x1B}, {"SPACE", 0x20},  {"ENTER", 0x0D},
    {"RETURN", 0x0D}, {"TAB", 0x09},   {"BACKSPACE", 0x08}, {"LEFT", 0x25},
    {"UP", 0x26},    {"RIGHT", 0x27},  {"DOWN", 0x28},   {"COMMA", 0xBC},
    {"MINUS", 0xBD}, {"PERIOD", 0xBE},
};

static int cli_upper(int c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

// Case-insensitive comparison of name[0..len) with a NUL-terminated word.
static int cli_same(const char *name, size_t len, const char *word) {
    size_t i = 0;
    for (; i < len && word[i]; i++)
        if (cli_upper((unsigned char)name[i]) != word[i]) return 0;
    return i == len && word[i] == 0;
}

// Decimal digits only, no sign, at most `max`; 1 and the value in *out on success.
static int cli_number(const char *s, size_t len, uint32_t max, uint32_t *out) {
    if (len == 0 || len > 10) return 0;
    uint64_t v = 0;
    for (size_t i = 0; i < len; i++) {
        if (s[i] < '0' || s[i] > '9') return 0;
        v = v * 10 + (uint64_t)(s[i] - '0');
    }
    if (v > max) return 0;
    *out = (uint32_t)v;
    return 1;
}

int32_t cli_key_code(const char *name, size_t len) {
    if (!name || len == 0) return 0;
    if (len == 1) {
        int c = cli_upper((unsigned char)name[0]);
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return 0;
    }
    if (cli_upper((unsigned char)name[0]) == 'F') {
        uint32_t n;
        // F1..F24 are 0x70..0x87.
        if (cli_number(name + 1, len - 1, 24, &n) && n >= 1) return (int32_t)(0x6F + n);
    }
    for (const CLI_NAME &k : cli_names)
        if (cli_same(name, len, k.name)) return k.vk;
    return 0;
}

// Set when an option could not be stored for want of memory: that is no
// usage error, and cli_parse says so.
static int cli_no_memory;

// Appends one key. The array grows by doubling (its capacity is the count
// rounded up to a power of two), so a long list costs no copy per key.
static int cli_append_key(RUN_OPTIONS *cli, uint32_t frame, int32_t vk) {
    int32_t n = cli->key_count;
    if (n >= 1 << 20) return 0;
    if ((n & (n - 1)) == 0) {
        size_t room = n ? 2 * (size_t)n : 1;
        RUN_KEY *keys = (RUN_KEY *)realloc(cli->keys, sizeof(RUN_KEY) * room);
        cli_no_memory = !keys;
        if (!keys) return 0;
        cli->keys = keys;
    }
    cli->keys[n].frame = frame;
    cli->keys[n].vk = vk;
    cli->key_count = n + 1;
    return 1;
}

// Sorts the keys from index `from` on by frame and merges them into the
// sorted ones before it; equal frames keep the order they were given in.
static void cli_sort_keys(RUN_OPTIONS *cli, int32_t from) {
    auto earlier = [](const RUN_KEY &a, const RUN_KEY &b) { return a.frame < b.frame; };
    RUN_KEY *keys = cli->keys, *end = cli->keys + cli->key_count;
    if (!keys || from >= cli->key_count) return;
    std::stable_sort(keys + from, end, earlier);
    std::inplace_merge(keys, keys + from, end, earlier);
}

// Every key name, for the message about a bad --keys entry.
static const char cli_key_names[] =
    "SPACE ESC ENTER TAB BACKSPACE LEFT UP RIGHT DOWN COMMA MINUS PERIOD A..Z 0..9 F1..F24";

// Says what is wrong with the entry p[0..end) of a --keys list, if err is given.
static int cli_bad_entry(FILE *err, const char *p, const char *end, const char *why) {
    if (err)
        fprintf(err, "rivo7315: --keys: '%.*s' %s; key names: %s\n", (int)(end - p), p, why,
                cli_key_names);
    return 0;
}

static int cli_append_keys(RUN_OPTIONS *cli, const char *list, FILE *err) {
    if (!cli || !list) return 0;
    if (!*list) return cli_bad_entry(err, list, list, "is not FRAME:KEY");
    const char *p = list;
    for (;;) {
        const char *colon = strchr(p, ':');
        const char *end = strchr(p, ',');
        if (!end) end = p + strlen(p);
        if (!colon || colon > end) return cli_bad_entry(err, p, end, "is not FRAME:KEY");
        uint32_t frame;
        if (!cli_number(p, (size_t)(colon - p), UINT32_MAX, &frame))
            return cli_bad_entry(err, p, end, "has no frame number from 0 to 4294967295");
        int32_t vk = cli_key_code(colon + 1, (size_t)(end - colon - 1));
        if (vk == 0) return cli_bad_entry(err, p, end, "names no key");
        if (!cli_append_key(cli, frame, vk))
            return cli_no_memory ? 0 : cli_bad_entry(err, p, end, "is one key too many");
        if (*end == 0) return 1;
        p = end + 1;
    }
}

// Appends a whole list, then sorts: a bad entry leaves the keys before it.
static int cli_add_keys_to(RUN_OPTIONS *cli, const char *list, FILE *err) {
    if (!cli) return 0;
    int32_t sorted = cli->key_count;
    int good = cli_append_keys(cli, list, err);
    cli_sort_keys(cli, sorted);
    return good;
}

int cli_add_keys(RUN_OPTIONS *cli, const char *list) { return cli_add_keys_to(cli, list, nullptr); }

void cli_usage(FILE *f) {
    fprintf(f,
            "usage: rivo7315 [--headless] [--frames N] [--keys LIST] [--hash] [--capture DIR]"
            " [--record FILE] [--screenshot-dir DIR] [--zoom N] [--fullscreen] [--midi-out WHERE]"
            " [--soundfont FILE] [--volume PERCENT] [--audio-device NAME] [--list-audio]"
            " [--list-midi] [--help] [--version]\n");
}

void cli_help(FILE *f) {
    cli_usage(f);
    fprintf(f,
            "\n"
            "Without options: the demo in a 256 x 256 window until escape or close.\n"
            "\n"
            "  --headless      no window and no sound device; frames are kept in memory,\n"
            "                  the millisecond clock is virtual (see below), so runs are\n"
            "                  repeatable byte for byte\n"
            "  --frames N      end with exit status 0 after N frames of the scene loop\n"
            "                  (frame-timer frames; fades and pause rounds do not count)\n"
            "  --keys LIST     type keys at given frames, e.g. 100:SPACE,250:P,260:P,900:ESC;\n"
            "                  names: SPACE ESC ENTER TAB BACKSPACE LEFT UP RIGHT DOWN\n"
            "                  COMMA MINUS PERIOD A..Z 0..9 F1..F24 (any case)\n"
            "  --hash          print one line per presented frame: its frame number and\n"
            "                  the CRC-32 (zip/PNG) of its 24-bit bottom-up BGR bytes, hex\n"
            "  --capture DIR   run headless and write every video frame (50 per second of\n"
            "                  the virtual clock) as DIR/frame_NNNNNN.png, NNNNNN counting\n"
            "                  from 0, and the sound as DIR/sound.wav, of the same length\n"
            "  --record FILE   run headless and write one video file with sound: FILE.mkv\n"
            "                  is lossless (FFV1 + FLAC), FILE.mp4 is H.264 at 3x size +\n"
            "                  AAC; without --frames, one pass of the seven scenes\n"
            "  --screenshot-dir DIR  where F12 saves its pictures (made with its parents)\n"
            "  --zoom N        start with the 256 x 256 frame N times larger (1..16, nearest;\n"
            "                  reduced, with a message, to what fits the screen)\n"
            "  --fullscreen    fill the screen, scaled by whole steps, nearest neighbour\n"
            "  --midi-out WHERE  MIDI device 0 of scene 3: synth (the built-in General MIDI\n"
            "                  synthesiser, the default), an ALSA port as CLIENT:PORT or a\n"
            "                  part of its name, capture (records the messages) or none\n"
            "  --soundfont FILE  the synthesiser's SoundFont (default: the first of\n"
            "                  /usr/share/sounds/sf2/default-GM.sf2, TimGM6mb.sf2, ...)\n"
            "  --volume PERCENT  all sound at PERCENT of full scale (0..100, default 100;\n"
            "                  0 is digital silence); recordings and captures too\n"
            "  --audio-device NAME  the sound output device (default: the system's)\n"
            "  --list-audio    print the sound output devices and exit\n"
            "  --list-midi     print the MIDI output devices as scene 3 numbers them (0 the\n"
            "                  device --midi-out chose, then the ALSA ports) and exit\n"
            "  --help          this text\n"
            "  --version       the version\n"
            "\n"
            "Frame numbers count pictures: the title frame is frame 0 and every present is\n"
            "the next frame, but for a present that replaces another within its round\n"
            "(see below); a key-handler round without a present since the previous one\n"
            "(a paused round) also counts, so keys still arrive while the demo is paused;\n"
            "in a window a paused round waits for the next event instead of spinning.\n"
            "A key F:NAME is typed while frame F is on screen: it is queued before the\n"
            "next message pump (one queued event per pump) and acts in the frame after.\n"
            "A headless run paused with no scripted key left to resume it stops with\n"
            "status 1.\n"
            "Headless, the clock moves while the demo sleeps and at the start of a round:\n"
            "every frame-loop round, fade step and paused round lasts at least one frame\n"
            "period of virtual time. A second present within a frame-loop round, before\n"
            "its key round (scene 3 shows its MIDI report, then the finished frame),\n"
            "replaces the first: the two are one frame.\n"
            "\n"
            "Keys: escape fades out and ends the demo; space skips to the next scene;\n"
            "P pauses and resumes; 5 runs at 25 and 6 at 50 frames per second; 8 shows or\n"
            "hides the status overlay; B blur, G glow, F fade trail and W white clearing\n"
            "each switch on and off; O mutes and unmutes the sound; S shows or hides the\n"
            "benchmark titles of scenes 5 and 7.\n"
            "\n"
            "In a window: F11 or Alt+Enter toggles fullscreen; the window can be resized\n"
            "and the frame is scaled by the largest whole factor that fits, on black bars.\n"
            "F11 and Alt+Enter never reach the demo. Keypad digits act as the digit keys.\n"
            "F12 saves the frame on screen as rivo7315_NNNNNN.png (256 x 256, NNNNNN its\n"
            "frame number) in the working directory or the --screenshot-dir, and prints\n"
            "its path (the demo still sees a key without a character).\n"
            "\n"
            "Exit status: 0 after escape, a closed window or --frames; 2 for a bad option;\n"
            "3 when scene 3 finds no MIDI output (--midi-out none, no such port, or no\n"
            "SoundFont and no writable ALSA port); 4 when a capture, recording or other\n"
            "file cannot be written (full disk, no permission, name too long, directory\n"
            "moved), what was written before staying a valid file; 5 without a display\n"
            "(set DISPLAY or WAYLAND_DISPLAY, or use --headless); 6 when memory runs out\n"
            "for what the demo cannot run without (the options, the display, the frame or\n"
            "the frame timer); 129, 130, 143 after SIGHUP, SIGINT (Ctrl+C), SIGTERM, which\n"
            "end the program as closing the window does. Any other failed allocation\n"
            "leaves its object empty and the demo runs on without it.\n");
}

// The option's value: "--opt=value" or the next argument; null when missing.
static const char *cli_value(const char *arg, size_t name_len, int argc, char **argv, int *i) {
    if (arg[name_len] == '=') return arg + name_len + 1;
    if (arg[name_len] != 0 || *i + 1 >= argc) return nullptr;
    *i += 1;
    return argv[*i];
}

// Does arg name this option, alone or as "--opt=value"?
static int cli_is(const char *arg, const char *name) {
    size_t n = strlen(name);
    return strncmp(arg, name, n) == 0 && (arg[n] == 0 || arg[n] == '=');
}

// What cli_option returns: the option is good, unknown, or wrong and reported.
enum { CLI_GOOD = 1, CLI_UNKNOWN = 0, CLI_REPORTED = -1 };

// A whole number from lo to hi for `option`; says what is wrong when it is not.
static int cli_whole(FILE *err, const char *option, const char *v, uint32_t lo, uint32_t hi,
                     int32_t *out) {
    uint32_t n;
    if (!v) {
        fprintf(err, "rivo7315: %s needs a whole number from %u to %u\n", option, lo, hi);
        return CLI_REPORTED;
    }
    if (!cli_number(v, strlen(v), hi, &n) || n < lo) {
        fprintf(err, "rivo7315: %s: '%s' is not a whole number from %u to %u\n", option, v, lo, hi);
        return CLI_REPORTED;
    }
    *out = (int32_t)n;
    return CLI_GOOD;
}

// A non-empty text value for `option` (`what` says what it names), copied.
static int cli_text(FILE *err, const char *option, const char *v, const char *what, char **out) {
    if (!v || !*v) {
        fprintf(err, "rivo7315: %s needs %s\n", option, what);
        return CLI_REPORTED;
    }
    free(*out);
    *out = strdup(v);
    cli_no_memory = !*out;
    return *out ? CLI_GOOD : CLI_REPORTED;
}

// A switch takes no value: "--hash=1" is wrong.
static int cli_switch(FILE *err, const char *arg, const char *name, int32_t *flag) {
    if (arg[strlen(name)] == '=') {
        fprintf(err, "rivo7315: %s takes no value ('%s')\n", name, arg);
        return CLI_REPORTED;
    }
    *flag = 1;
    return CLI_GOOD;
}

// Parses one option at argv[*i]: CLI_GOOD, CLI_UNKNOWN, or CLI_REPORTED after
// saying on err what is wrong with it.
static int cli_option(RUN_OPTIONS *cli, int argc, char **argv, int *i, FILE *err) {
    const char *arg = argv[*i];
    if (cli_is(arg, "--headless")) {
        return cli_switch(err, arg, "--headless", &cli->headless);
    } else if (cli_is(arg, "--hash")) {
        return cli_switch(err, arg, "--hash", &cli->hash);
    } else if (cli_is(arg, "--fullscreen")) {
        return cli_switch(err, arg, "--fullscreen", &cli->fullscreen);
    } else if (cli_is(arg, "--frames")) {
        const char *v = cli_value(arg, 8, argc, argv, i);
        return cli_whole(err, "--frames", v, 1, INT32_MAX, &cli->frames);
    } else if (cli_is(arg, "--zoom")) {
        const char *v = cli_value(arg, 6, argc, argv, i);
        return cli_whole(err, "--zoom", v, 1, 16, &cli->zoom);
    } else if (cli_is(arg, "--keys")) {
        const char *v = cli_value(arg, 6, argc, argv, i);
        if (!v) {
            fprintf(err, "rivo7315: --keys needs a list FRAME:KEY,...; key names: %s\n", cli_key_names);
            return CLI_REPORTED;
        }
        return cli_add_keys_to(cli, v, err) ? CLI_GOOD : CLI_REPORTED;
    } else if (cli_is(arg, "--capture")) {
        const char *v = cli_value(arg, 9, argc, argv, i);
        return cli_text(err, "--capture", v, "a directory name", &cli->capture);
    } else if (cli_is(arg, "--record")) {
        const char *v = cli_value(arg, 8, argc, argv, i);
        if (v && *v && !record_name_ok(v)) {
            fprintf(err, "rivo7315: --record: '%s' does not end in .mkv or .mp4\n", v);
            return CLI_REPORTED;
        }
        return cli_text(err, "--record", v, "a file name ending in .mkv or .mp4", &cli->record);
    } else if (cli_is(arg, "--screenshot-dir")) {
        const char *v = cli_value(arg, 16, argc, argv, i);
        return cli_text(err, "--screenshot-dir", v, "a directory name", &cli->screenshot_dir);
    } else if (cli_is(arg, "--midi-out")) {
        const char *v = cli_value(arg, 10, argc, argv, i);
        return cli_text(err, "--midi-out", v, "a device: synth, CLIENT:PORT, a port name, capture or none",
                        &cli->midi_out);
    } else if (cli_is(arg, "--soundfont")) {
        const char *v = cli_value(arg, 11, argc, argv, i);
        return cli_text(err, "--soundfont", v, "a SoundFont file name", &cli->soundfont);
    } else if (cli_is(arg, "--volume")) {
        const char *v = cli_value(arg, 8, argc, argv, i);
        return cli_whole(err, "--volume", v, 0, 100, &cli->volume);
    } else if (cli_is(arg, "--audio-device")) {
        const char *v = cli_value(arg, 14, argc, argv, i);
        return cli_text(err, "--audio-device", v, "a sound device name (see --list-audio)", &cli->audio_device);
    } else if (cli_is(arg, "--list-audio")) {
        return cli_switch(err, arg, "--list-audio", &cli->list_audio);
    } else if (cli_is(arg, "--list-midi")) {
        return cli_switch(err, arg, "--list-midi", &cli->list_midi);
    }
    return CLI_UNKNOWN;
}

// The options of a plain run.
static void cli_defaults(RUN_OPTIONS *cli) {
    memset(cli, 0, sizeof *cli);
    cli->zoom = 1;
    cli->volume = 100;
}

int cli_parse(RUN_OPTIONS *cli, int argc, char **argv, FILE *out, FILE *err) {
    if (!cli) return 2;
    cli_defaults(cli);
    for (int i = 1; i < argc && argv; i++) {
        const char *arg = argv[i];
        if (!arg) continue;
        if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            cli_help(out);
            cli_free(cli);
            return 0;
        }
        if (strcmp(arg, "--version") == 0) {
            fprintf(out, "rivo7315 %s\n", RIVO_VERSION);
            cli_free(cli);
            return 0;
        }
        cli_no_memory = 0;
        int got = cli_option(cli, argc, argv, &i, err);
        if (got != CLI_GOOD) {
            if (cli_no_memory) {
                fprintf(err, "rivo7315: cannot keep the option '%s' (out of memory)\n", arg);
                cli_free(cli);
                return CLI_NO_MEMORY;
            }
            if (got == CLI_UNKNOWN && strncmp(arg, "--", 2) == 0)
                fprintf(err, "rivo7315: unknown option '%s'\n", arg);
            else if (got == CLI_UNKNOWN)
                fprintf(err, "rivo7315: unexpected argument '%s' (options start with --)\n", arg);
            cli_usage(err);
            cli_free(cli);
            return 2;
        }
    }
    return CLI_RUN;
}

void cli_free(RUN_OPTIONS *cli) {
    if (!cli) return;
    free(cli->capture);
    free(cli->record);
    free(cli->screenshot_dir);
    free(cli->midi_out);
    free(cli->soundfont);
    free(cli->audio_device);
    free(cli->keys);
    cli_defaults(cli);
}
