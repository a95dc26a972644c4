// Command line: parses the run options into a CLI record. Options are long
// ("--frames 100" or "--frames=100"); no positional arguments. Numbers are
// plain decimal digits; anything else is a usage error (exit status 2).
#include "host/cli.h"

#include <cstdlib>
#include <cstring>

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

// Adds one key; keeps the list sorted by frame, equal frames in given order.
static int cli_insert_key(CLI *cli, uint32_t frame, int32_t vk) {
    if (cli->key_count >= 1 << 20) return 0;
    CLI_KEY *keys = (CLI_KEY *)realloc(cli->keys, sizeof(CLI_KEY) * (size_t)(cli->key_count + 1));
    cli_no_memory = !keys;
    if (!keys) return 0;
    cli->keys = keys;
    int32_t i = cli->key_count;
    while (i > 0 && keys[i - 1].frame > frame) {
        keys[i] = keys[i - 1];
        i--;
    }
    keys[i].frame = frame;
    keys[i].vk = vk;
    cli->key_count++;
    return 1;
}

int cli_add_keys(CLI *cli, const char *list) {
    if (!cli || !list || !*list) return 0;
    const char *p = list;
    for (;;) {
        const char *colon = strchr(p, ':');
        const char *end = strchr(p, ',');
        if (!end) end = p + strlen(p);
        if (!colon || colon > end) return 0;
        uint32_t frame;
        if (!cli_number(p, (size_t)(colon - p), UINT32_MAX, &frame)) return 0;
        int32_t vk = cli_key_code(colon + 1, (size_t)(end - colon - 1));
        if (vk == 0) return 0;
        if (!cli_insert_key(cli, frame, vk)) return 0;
        if (*end == 0) return 1;
        p = end + 1;
    }
}

void cli_usage(FILE *f) {
    fprintf(f,
            "usage: rivo7315 [--headless] [--frames N] [--keys LIST] [--hash] [--capture DIR]"
            " [--zoom N] [--fullscreen] [--midi-out WHERE] [--soundfont FILE] [--help] [--version]\n");
}

void cli_help(FILE *f) {
    cli_usage(f);
    fprintf(f,
            "\n"
            "Without options: the demo in a 256 x 256 window until escape or close.\n"
            "\n"
            "  --headless      no window and no sound device; frames are kept in memory,\n"
            "                  the millisecond clock is virtual and moves only while the\n"
            "                  demo sleeps, so runs are repeatable byte for byte\n"
            "  --frames N      end with exit status 0 after N frames of the scene loop\n"
            "                  (frame-timer frames; fades and pause rounds do not count)\n"
            "  --keys LIST     type keys at given frames, e.g. 100:SPACE,250:P,260:P,900:ESC;\n"
            "                  names: SPACE ESC ENTER TAB BACKSPACE LEFT UP RIGHT DOWN\n"
            "                  COMMA MINUS PERIOD A..Z 0..9 F1..F24 (any case)\n"
            "  --hash          print one line per presented frame: its frame number and\n"
            "                  the CRC-32 (zip/PNG) of its 24-bit bottom-up BGR bytes, hex\n"
            "  --capture DIR   write every presented frame as DIR/frame_NNNNNN.ppm (binary\n"
            "                  PPM, NNNNNN the frame number) and the sound as DIR/sound.wav\n"
            "  --zoom N        show the 256 x 256 frame N times larger (1..16, nearest)\n"
            "  --fullscreen    fill the screen, scaled by whole steps, nearest neighbour\n"
            "  --midi-out WHERE  MIDI device 0 of scene 3: synth (the built-in General MIDI\n"
            "                  synthesiser, the default), an ALSA port as CLIENT:PORT or a\n"
            "                  part of its name, capture (records the messages) or none\n"
            "  --soundfont FILE  the synthesiser's SoundFont (default: the first of\n"
            "                  /usr/share/sounds/sf2/default-GM.sf2, TimGM6mb.sf2, ...)\n"
            "  --help          this text\n"
            "  --version       the version\n"
            "\n"
            "Frame numbers count pictures: the title frame is frame 0 and every present is\n"
            "the next frame; a key-handler round without a present since the previous one\n"
            "(a paused round) also counts, so keys still arrive while the demo is paused.\n"
            "A key F:NAME is typed while frame F is on screen: it is queued before the\n"
            "next message pump (one queued event per pump) and acts in the frame after.\n"
            "A headless run paused with no scripted key left to resume it stops with\n"
            "status 1.\n"
            "In a window, F12 saves the frame on screen as rivo7315_NNNNNN.ppm in the\n"
            "working directory (the demo still sees a key without a character).\n"
            "\n"
            "Exit status: 0 after escape, a closed window or --frames; 2 for a bad option;\n"
            "3 when scene 3 finds no MIDI output (--midi-out none, no such port, or no\n"
            "SoundFont and no writable ALSA port); 6 when memory runs out for what the\n"
            "demo cannot run without (the options, the display, the frame or the frame\n"
            "timer). Any other failed allocation leaves its object empty and the demo\n"
            "runs on without it.\n");
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

// Keeps a copy of a non-empty option value in *field; 0 when there is none.
static int cli_text(char **field, const char *value) {
    if (!value || !*value) return 0;
    free(*field);
    *field = strdup(value);
    return *field != nullptr;
}

// Parses one option at argv[*i]; 1 when good, 0 when malformed or unknown.
static int cli_option(CLI *cli, int argc, char **argv, int *i) {
    const char *arg = argv[*i];
    uint32_t n;
    if (strcmp(arg, "--headless") == 0) {
        cli->headless = 1;
    } else if (strcmp(arg, "--hash") == 0) {
        cli->hash = 1;
    } else if (strcmp(arg, "--fullscreen") == 0) {
        cli->fullscreen = 1;
    } else if (cli_is(arg, "--frames")) {
        const char *v = cli_value(arg, 8, argc, argv, i);
        if (!v || !cli_number(v, strlen(v), INT32_MAX, &n) || n < 1) return 0;
        cli->frames = (int32_t)n;
    } else if (cli_is(arg, "--zoom")) {
        const char *v = cli_value(arg, 6, argc, argv, i);
        if (!v || !cli_number(v, strlen(v), 16, &n) || n < 1) return 0;
        cli->zoom = (int32_t)n;
    } else if (cli_is(arg, "--keys")) {
        const char *v = cli_value(arg, 6, argc, argv, i);
        if (!v || !cli_add_keys(cli, v)) return 0;
    } else if (cli_is(arg, "--capture")) {
        const char *v = cli_value(arg, 9, argc, argv, i);
        if (!v || !*v) return 0;
        free(cli->capture);
        cli->capture = strdup(v);
        cli_no_memory = !cli->capture;
        if (!cli->capture) return 0;
    } else if (cli_is(arg, "--midi-out")) {
        if (!cli_text(&cli->midi_out, cli_value(arg, 10, argc, argv, i))) return 0;
    } else if (cli_is(arg, "--soundfont")) {
        if (!cli_text(&cli->soundfont, cli_value(arg, 11, argc, argv, i))) return 0;
    } else {
        return 0;
    }
    return 1;
}

int cli_parse(CLI *cli, int argc, char **argv, FILE *out, FILE *err) {
    if (!cli) return 2;
    memset(cli, 0, sizeof *cli);
    cli->zoom = 1;
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
        if (!cli_option(cli, argc, argv, &i)) {
            if (cli_no_memory) {
                fprintf(err, "rivo7315: cannot keep the option '%s' (out of memory)\n", arg);
                cli_free(cli);
                return CLI_NO_MEMORY;
            }
            fprintf(err, "rivo7315: bad option '%s'\n", arg);
            cli_usage(err);
            cli_free(cli);
            return 2;
        }
    }
    return CLI_RUN;
}

void cli_free(CLI *cli) {
    if (!cli) return;
    free(cli->capture);
    free(cli->midi_out);
    free(cli->soundfont);
    free(cli->keys);
    memset(cli, 0, sizeof *cli);
    cli->zoom = 1;
}
