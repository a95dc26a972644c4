// The built-in General MIDI synthesiser over FluidSynth. One mutex guards the
// event queue and the engine: the frame loop only queues, the player's mix
// (the SDL audio thread, or the frame loop itself when headless) renders and
// applies. FluidSynth's internal steps are 64 frames, so an event lands on the
// first 64-frame step boundary at or after its stamp (at most 1.5 ms late).
// The queue is a zero-filled ring that doubles when full; a message that finds
// no room is dropped, so nothing here throws or stops the program.
#include "platform/synth.h"

#include <fluidsynth.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/dynlib.h"

const char synth_name[] = "RIVO7315 GM Synthesizer";

// The FluidSynth functions the synthesiser calls, loaded when the first
// synthesiser is made: a run that never plays through it never loads the
// library and what it brings.
#define SYNTH_FLUIDSYNTH(X) \
    X(delete_fluid_settings) \
    X(delete_fluid_synth) \
    X(fluid_set_log_function) \
    X(fluid_settings_setint) \
    X(fluid_settings_setnum) \
    X(fluid_synth_all_sounds_off) \
    X(fluid_synth_cc) \
    X(fluid_synth_channel_pressure) \
    X(fluid_synth_get_active_voice_count) \
    X(fluid_synth_get_voicelist) \
    X(fluid_synth_key_pressure) \
    X(fluid_synth_noteoff) \
    X(fluid_synth_noteon) \
    X(fluid_synth_pitch_bend) \
    X(fluid_synth_program_change) \
    X(fluid_synth_sfload) \
    X(fluid_synth_system_reset) \
    X(fluid_synth_write_float) \
    X(new_fluid_settings) \
    X(new_fluid_synth)
#define SYNTH_SLOT(name) decltype(&::name) name;
static struct {
    SYNTH_FLUIDSYNTH(SYNTH_SLOT)
} fs;
#undef SYNTH_SLOT

// 1 once the functions are there; 0 after saying why they are not.
static int synth_load_fluidsynth(void) {
    static std::once_flag once;
    static int loaded;
    std::call_once(once, [] {
#define SYNTH_SYMBOL(name) {#name, &fs.name},
        static const DYNLIB_SYMBOL symbols[] = {SYNTH_FLUIDSYNTH(SYNTH_SYMBOL)};
#undef SYNTH_SYMBOL
        const char *why = nullptr;
        loaded = dynlib_load(RIVO_FLUIDSYNTH_SO, symbols, (int)(sizeof symbols / sizeof symbols[0]), &why);
        if (!loaded) fprintf(stderr, "rivo7315: cannot load FluidSynth: %s\n", why);
    });
    return loaded;
}

// Where Debian puts the GM SoundFonts: the alternative chosen by the system
// first, then the packages' own files, smallest first.
static const char *const synth_known[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GS.sf2",
    "/usr/share/sounds/sf2/MuseScore_General.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/sounds/sf3/MuseScore_General.sf3",
};

static char *synth_chosen;  // --soundfont (owned), or null

// FluidSynth's own master gain is 0.2, which leaves a velocity-127 piano note
// of a GM SoundFont near -28 dBFS at full device volume; 2.4 puts it near
// -6 dBFS, where a General MIDI synthesiser normally plays it. The device
// volume the program sets is applied on top.
static const double synth_master_gain = 2.4;

struct SYNTH_EVENT {
    int64_t at;
    uint32_t message;
    int volume;  // 1: `message` is a device volume word
};

struct SYNTH {
    fluid_settings_t *settings;
    fluid_synth_t *engine;
    std::mutex lock;
    SYNTH_EVENT *queue;  // ring of `capacity` events (owned); stamps never decrease
    int32_t capacity;    // a power of two, or 0 before the first event
    int32_t first;       // index of the oldest event
    int32_t count;       // events queued
    int64_t last_at;     // stamp of the newest queued event
    float gain[2];       // left, right: float sample to 16-bit units
};

// FluidSynth's own messages (missing presets on random program changes and
// the like) would flood standard error; the program reports what matters.
static void synth_quiet(int, const char *, void *) {}

// A copy that cannot be had leaves no choice: the known files are searched.
void synth_set_soundfont(const char *path) {
    free(synth_chosen);
    synth_chosen = path && *path ? strdup(path) : nullptr;
}

const char *synth_soundfont_chosen(void) { return synth_chosen; }

const char *synth_soundfont(void) {
    if (synth_chosen) return access(synth_chosen, R_OK) == 0 ? synth_chosen : nullptr;
    for (const char *path : synth_known)
        if (access(path, R_OK) == 0) return path;
    return nullptr;
}

static void synth_gain(SYNTH *s, uint32_t volume) {
    // 0xFFFF is full: FluidSynth's +-1.0 becomes +-32768.
    s->gain[0] = (float)(volume & 0xFFFF) * (32768.0f / 65535.0f);
    s->gain[1] = (float)(volume >> 16) * (32768.0f / 65535.0f);
}

SYNTH *synth_new(const char *soundfont) {
    if (!soundfont || !synth_load_fluidsynth()) return nullptr;
    for (int level = 0; level < LAST_LOG_LEVEL; level++) fs.fluid_set_log_function(level, synth_quiet, nullptr);
    SYNTH *s = new (std::nothrow) SYNTH();
    if (!s) return nullptr;
    s->settings = fs.new_fluid_settings();
    if (s->settings) {
        fs.fluid_settings_setnum(s->settings, "synth.sample-rate", 44100.0);
        fs.fluid_settings_setint(s->settings, "synth.polyphony", synth_polyphony);
        fs.fluid_settings_setint(s->settings, "synth.cpu-cores", 1);
        // Effects cost a steady share of a core, also while nothing sounds.
        fs.fluid_settings_setint(s->settings, "synth.reverb.active", 0);
        fs.fluid_settings_setint(s->settings, "synth.chorus.active", 0);
        fs.fluid_settings_setint(s->settings, "synth.lock-memory", 0);
        fs.fluid_settings_setnum(s->settings, "synth.gain", synth_master_gain);
        s->engine = fs.new_fluid_synth(s->settings);
    }
    if (!s->engine || fs.fluid_synth_sfload(s->engine, soundfont, 1) == FLUID_FAILED) {
        synth_del(&s);
        return nullptr;
    }
    synth_gain(s, 0xFFFFFFFFu);
    return s;
}

void synth_del(SYNTH **s) {
    if (!s || !*s) return;
    if ((*s)->engine) fs.delete_fluid_synth((*s)->engine);
    if ((*s)->settings) fs.delete_fluid_settings((*s)->settings);
    free((*s)->queue);
    delete *s;
    *s = nullptr;
}

// Plays one short message on the engine; system messages but reset do nothing.
static void synth_apply(SYNTH *s, uint32_t m) {
    int status = (int)(m & 0xFF), ch = status & 0x0F;
    int d1 = (int)(m >> 8) & 0x7F, d2 = (int)(m >> 16) & 0x7F;
    fluid_synth_t *e = s->engine;
    switch (status & 0xF0) {
    case 0x80: fs.fluid_synth_noteoff(e, ch, d1); break;
    case 0x90: fs.fluid_synth_noteon(e, ch, d1, d2); break;  // velocity 0 ends the note
    case 0xA0: fs.fluid_synth_key_pressure(e, ch, d1, d2); break;
    case 0xB0: fs.fluid_synth_cc(e, ch, d1, d2); break;
    case 0xC0: fs.fluid_synth_program_change(e, ch, d1); break;
    case 0xD0: fs.fluid_synth_channel_pressure(e, ch, d1); break;
    case 0xE0: fs.fluid_synth_pitch_bend(e, ch, d1 | d2 << 7); break;
    default:
        // System reset. FluidSynth's own leaves sounding voices playing,
        // so every sound is ended after it.
        if (status != 0xFF) break;
        fs.fluid_synth_system_reset(e);
        for (int c = 0; c < 16; c++) fs.fluid_synth_all_sounds_off(e, c);
        break;
    }
}

static void synth_event(SYNTH *s, const SYNTH_EVENT &e) {
    if (e.volume)
        synth_gain(s, e.message);
    else
        synth_apply(s, e.message);
}

// Room for one more event: the ring doubled (its events moved to the start
// of the new one) when full; false when memory runs out.
static bool synth_room(SYNTH *s) {
    if (s->count < s->capacity) return true;
    if (s->capacity > INT32_MAX / 2) return false;
    int32_t grown = s->capacity ? 2 * s->capacity : 64;
    SYNTH_EVENT *ring = (SYNTH_EVENT *)calloc((size_t)grown, sizeof(SYNTH_EVENT));
    if (!ring) return false;
    for (int32_t i = 0; i < s->count; i++) ring[i] = s->queue[(s->first + i) & (s->capacity - 1)];
    free(s->queue);
    s->queue = ring;
    s->capacity = grown;
    s->first = 0;
    return true;
}

static const SYNTH_EVENT &synth_oldest(const SYNTH *s) { return s->queue[s->first]; }

static void synth_drop_oldest(SYNTH *s) {
    s->first = (s->first + 1) & (s->capacity - 1);
    s->count--;
}

static void synth_queue(SYNTH *s, int64_t at, uint32_t message, int volume) {
    if (!s) return;
    std::lock_guard<std::mutex> hold(s->lock);
    SYNTH_EVENT e = {at, message, volume};
    if (at < 0 && s->count == 0) {
        synth_event(s, e);
        return;
    }
    // Without room the message is lost, as a full device would lose it.
    if (!synth_room(s)) return;
    if (e.at < s->last_at) e.at = s->last_at;
    s->last_at = e.at;
    s->queue[(s->first + s->count) & (s->capacity - 1)] = e;
    s->count++;
}

void synth_send(SYNTH *s, int64_t at, uint32_t message) { synth_queue(s, at, message, 0); }

void synth_set_volume(SYNTH *s, int64_t at, uint32_t volume) { synth_queue(s, at, volume, 1); }

// Renders n frames and adds them at the current gain, rounded to nearest.
static void synth_render(SYNTH *s, int32_t *mix, int32_t n) {
    float left[256], right[256];
    // Nothing sounds and no effect runs: the engine would render zeros.
    if (fs.fluid_synth_get_active_voice_count(s->engine) == 0) return;
    while (n > 0) {
        int32_t k = n < 256 ? n : 256;
        fs.fluid_synth_write_float(s->engine, k, left, 0, 1, right, 0, 1);
        for (int32_t i = 0; i < k; i++) {
            mix[2 * i] += (int32_t)lrintf(left[i] * s->gain[0]);
            mix[2 * i + 1] += (int32_t)lrintf(right[i] * s->gain[1]);
        }
        mix += 2 * k;
        n -= k;
    }
}

// Frames from `at` to `stamp`: 0 for a stamp already passed, `frames` for one
// beyond the block. Worked out without overflow at either end of the range.
static int32_t synth_due_in(int64_t stamp, int64_t at, int32_t frames) {
    if (stamp <= at) return 0;
    uint64_t ahead = (uint64_t)stamp - (uint64_t)at;
    return ahead < (uint64_t)frames ? (int32_t)ahead : frames;
}

void synth_mix(SYNTH *s, int64_t at, int32_t *mix, int32_t frames) {
    if (!s || !mix || frames <= 0) return;
    std::lock_guard<std::mutex> hold(s->lock);
    int32_t done = 0;
    while (s->count > 0) {
        int32_t offset = synth_due_in(synth_oldest(s).at, at, frames);
        if (offset >= frames) break;
        SYNTH_EVENT e = synth_oldest(s);
        synth_drop_oldest(s);
        if (offset > done) {
            synth_render(s, mix + 2 * done, offset - done);
            done = offset;
        }
        synth_event(s, e);
    }
    synth_render(s, mix + 2 * done, frames - done);
}

// The engine's voice slots that play. FluidSynth's own count runs ahead of
// them: a voice taken from a sounding note for a new one (all slots busy) is
// still counted until the engine's next 64-frame step has ended it, so notes
// started together, as events stamped in the past are at the start of a
// block, counted up to twice the polyphony.
int32_t synth_voices(SYNTH *s) {
    if (!s) return 0;
    std::lock_guard<std::mutex> hold(s->lock);
    fluid_voice_t *playing[synth_polyphony + 1] = {};
    fs.fluid_synth_get_voicelist(s->engine, playing, synth_polyphony + 1, -1);
    int32_t n = 0;
    while (n < synth_polyphony && playing[n]) n++;
    return n;
}

// ---- Before the run ---------------------------------------------------------------

static uint32_t synth_le32(const uint8_t *p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

// Walks the RIFF "sfbk" form: it must hold the three lists of a SoundFont
// ("INFO", "sdta", "pdta"), each inside the file.
static const char *synth_check_form(FILE *f, uint64_t file_size) {
    uint8_t head[12];
    if (fread(head, 1, 12, f) != 12 || memcmp(head, "RIFF", 4) != 0 || memcmp(head + 8, "sfbk", 4) != 0)
        return "not a SoundFont (no RIFF sfbk header)";
    uint64_t end = 8 + (uint64_t)synth_le32(head + 4);
    if (end > file_size) return "cut short (the file is smaller than its header says)";
    int lists = 0;
    for (uint64_t at = 12; at + 12 <= end;) {
        uint8_t chunk[12];
        if (fseek(f, (long)at, SEEK_SET) != 0 || fread(chunk, 1, 12, f) != 12) return "unreadable";
        uint64_t size = synth_le32(chunk + 4);
        if (at + 8 + size > end) return "cut short (a chunk reaches past the end)";
        if (memcmp(chunk, "LIST", 4) == 0) {
            if (!memcmp(chunk + 8, "INFO", 4)) lists |= 1;
            if (!memcmp(chunk + 8, "sdta", 4)) lists |= 2;
            if (!memcmp(chunk + 8, "pdta", 4)) lists |= 4;
        }
        at += 8 + size + (size & 1);  // chunks are padded to an even size
    }
    return lists == 7 ? nullptr : "not a SoundFont (its INFO, sdta or pdta part is missing)";
}

const char *synth_soundfont_problem(const char *path) {
    static std::string why;
    FILE *f = path ? fopen(path, "rb") : nullptr;
    if (!f) {
        why = strerror(path ? errno : EINVAL);
        return why.c_str();
    }
    const char *problem = nullptr;
    if (fseek(f, 0, SEEK_END) != 0) problem = "unreadable";
    long size = problem ? 0 : ftell(f);
    if (!problem && (size < 0 || fseek(f, 0, SEEK_SET) != 0)) problem = "unreadable";
    if (!problem) problem = synth_check_form(f, (uint64_t)size);
    fclose(f);
    return problem;
}
