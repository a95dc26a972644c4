// OUTPUTS: frame numbers and hash lines, the kept frame and F12, captures,
// recordings and the progress bar. Its state is one record of named parts,
// so that starting again is one reset and every field says whose it is.
// Pictures and sound of the files follow the backend's clock: a picture
// stays in the files for as many video frames as it stayed on screen.
#include "platform/outputs.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/capture.h"
#include "platform/options.h"
#include "platform/record.h"

struct OUTPUTS {
    struct {
        uint32_t numbered;   // frames numbered so far
        uint32_t on_screen;  // number of the frame kept in `shown`
    } frames;
    struct {
        uint32_t *words;     // a copy of the last frame shown; null if none
        size_t room;         // words allocated
        int32_t w, h;
    } shown;
    struct {
        int on;              // --hash
        int due;             // the current frame's line is still to print
    } hash;
    struct {
        CAPTURE *capture;
        RECORD *record;
        uint64_t video_frames;  // written to each
        int failed;          // a write failed; the files are closed
    } files;
    struct {
        void (*pull)(void);  // the headless player's catch-up
        uint64_t frames;     // sound frames written
        int32_t channels;    // of the written sound; 0 until known
        int16_t *mix;        // sound converted to `channels`
        size_t mix_room;
    } sound;
    struct {
        int on;              // recording onto a terminal
        struct timespec began;
        double drawn;        // seconds since `began` of the last bar
        int32_t done, total; // frame-timer frames
    } progress;
    struct {
        char *dir;           // where F12 saves; null: the working directory
    } shots;
};

static OUTPUTS outputs;

static int outputs_writing(void) { return outputs.files.capture || outputs.files.record; }

// ---- Write failures ----------------------------------------------------------------

// Closes the capture and the recording; 0 when either failed at any time.
static int outputs_close_files(void) {
    int ok = 1;
    if (outputs.files.capture) ok = capture_finish(outputs.files.capture) && ok;
    if (outputs.files.record) ok = record_finish(outputs.files.record) && ok;
    capture_del(&outputs.files.capture);
    record_del(&outputs.files.record);
    outputs.sound.pull = nullptr;
    return ok;
}

// A write failed and said why: what was written is closed as valid files
// (quietly: one message is enough); the run ends at its next key round.
static void outputs_write_failed(void) {
    if (outputs.files.capture) outputs.files.capture->quiet = 1;
    if (outputs.files.record) outputs.files.record->quiet = 1;
    outputs_close_files();
    if (outputs.progress.on) fputs("\n", stderr);
    outputs.progress.on = 0;
    outputs.files.failed = 1;
}

int outputs_failed(void) { return outputs.files.failed; }

// ---- Sound -----------------------------------------------------------------------

// The recording is made once the frame size and the sound channels are known.
static int outputs_record_ready(void) {
    RECORD *r = outputs.files.record;
    if (!r || r->began) return 1;
    if (!outputs.sound.channels) outputs.sound.channels = 1;
    int32_t w = outputs.shown.w > 0 ? outputs.shown.w : 256, h = outputs.shown.h > 0 ? outputs.shown.h : 256;
    if (record_begin(r, w, h, outputs.sound.channels)) return 1;
    outputs_write_failed();
    return 0;
}

// Writes sound frames of outputs.sound.channels channels to every file.
static void outputs_write_sound(const int16_t *s, int32_t frames) {
    if (!outputs_record_ready()) return;
    CAPTURE *c = outputs.files.capture;
    if (c && !capture_sound(c, s, frames, outputs.sound.channels)) return outputs_write_failed();
    if (outputs.files.record && !record_sound(outputs.files.record, s, frames)) return outputs_write_failed();
    outputs.sound.frames += (uint64_t)frames;
}

// Mono becomes both channels; stereo becomes the mean of the two.
static const int16_t *outputs_convert(const int16_t *in, int32_t frames, int32_t channels) {
    size_t need = (size_t)frames * (size_t)outputs.sound.channels;
    if (need > outputs.sound.mix_room) {
        int16_t *grown = (int16_t *)realloc(outputs.sound.mix, need * sizeof(int16_t));
        if (!grown) return nullptr;
        outputs.sound.mix = grown;
        outputs.sound.mix_room = need;
    }
    int16_t *mix = outputs.sound.mix;
    for (int32_t i = 0; i < frames; i++) {
        if (channels == 1)
            mix[2 * i] = mix[2 * i + 1] = in[i];
        else
            mix[i] = (int16_t)(((int32_t)in[2 * i] + in[2 * i + 1]) / 2);
    }
    return mix;
}

void outputs_sound_played(const int16_t *interleaved, int32_t frames, int32_t channels) {
    if (!outputs_writing() || !interleaved || frames <= 0 || channels < 1 || channels > 2) return;
    if (!outputs.sound.channels) outputs.sound.channels = channels;
    const int16_t *s = channels == outputs.sound.channels ? interleaved : outputs_convert(interleaved, frames, channels);
    if (!s) {
        fprintf(stderr, "rivo7315: out of memory for the recorded sound\n");
        return outputs_write_failed();
    }
    outputs_write_sound(s, frames);
}

void outputs_sound_source(void (*catch_up)(void)) { outputs.sound.pull = catch_up; }

// Silence up to `frames` sound frames in all: where no player played.
static void outputs_pad_sound(uint64_t frames) {
    static const int16_t silence[2 * 1024] = {};
    if (outputs.sound.frames < frames && !outputs.sound.channels) outputs.sound.channels = 1;
    while (outputs.sound.frames < frames && outputs_writing()) {
        uint64_t n = frames - outputs.sound.frames;
        outputs_write_sound(silence, (int32_t)(n < 1024 ? n : 1024));
    }
}

// ---- Video ------------------------------------------------------------------------

// Writes every video frame that starts before the clock: the picture on
// screen until now, repeated for as many frames as it stayed.
static void outputs_write_video(uint32_t clock) {
    const uint32_t *words = outputs.shown.words;
    const int32_t w = outputs.shown.w, h = outputs.shown.h;
    if (!words) return;
    uint64_t due = ((uint64_t)clock * outputs_video_rate + 999) / 1000;
    for (int repeat = 0; outputs.files.video_frames < due && outputs_writing(); repeat = 1) {
        if (!outputs_record_ready()) return;
        CAPTURE *c = outputs.files.capture;
        if (c && !capture_frame(c, (uint32_t)outputs.files.video_frames, words, w, h, repeat))
            return outputs_write_failed();
        if (outputs.files.record && !record_video(outputs.files.record, words, w, h)) return outputs_write_failed();
        outputs.files.video_frames++;
    }
}

void outputs_catch_up(uint32_t clock) {
    if (!outputs_writing()) return;
    if (outputs.sound.pull) outputs.sound.pull();
    outputs_pad_sound((uint64_t)clock * record_sound_rate / 1000);
    outputs_write_video(clock);
}

// ---- Frames and hashes ---------------------------------------------------------------

// n pixels (a multiple of 4) as 3 * n bytes blue, green, red: the low three
// bytes of each little-endian word, so four words pack into three.
static void outputs_pack_row(const uint32_t *p, uint8_t *out, int32_t n) {
    for (int32_t x = 0; x < n; x += 4, p += 4, out += 12) {
        const uint32_t w0 = (p[0] & 0xFFFFFFu) | (p[1] << 24);
        const uint32_t w1 = ((p[1] >> 8) & 0xFFFFu) | (p[2] << 16);
        const uint32_t w2 = ((p[2] >> 16) & 0xFFu) | (p[3] << 8);
        memcpy(out, &w0, 4);
        memcpy(out + 4, &w1, 4);
        memcpy(out + 8, &w2, 4);
    }
}

uint32_t outputs_frame_crc32(const uint32_t *frame, int32_t w, int32_t h) {
    if (!frame || w < 1 || h < 1) return 0;
    // Bottom row first, converted into a buffer of PIECE pixels that is
    // checksummed whenever the next row would not fit (a row wider than the
    // buffer goes in pieces); the last few pixels of a piece one by one.
    enum { PIECE = 4096 };
    uint8_t bytes[3 * PIECE];
    uLong crc = crc32_z(0, nullptr, 0);
    size_t filled = 0;
    for (int32_t y = h - 1; y >= 0; y--) {
        const uint32_t *row = frame + (size_t)y * (size_t)w;
        for (int32_t x0 = 0; x0 < w; x0 += PIECE) {
            const int32_t n = w - x0 < PIECE ? w - x0 : PIECE, whole = n & ~3;
            if (filled + 3 * (size_t)n > sizeof bytes) {
                crc = crc32_z(crc, bytes, filled);
                filled = 0;
            }
            uint8_t *out = bytes + filled;
            outputs_pack_row(row + x0, out, whole);
            for (int32_t i = whole; i < n; i++) {
                const uint32_t p = row[x0 + i];
                out[3 * i] = (uint8_t)p;
                out[3 * i + 1] = (uint8_t)(p >> 8);
                out[3 * i + 2] = (uint8_t)(p >> 16);
            }
            filled += 3 * (size_t)n;
        }
    }
    return (uint32_t)crc32_z(crc, bytes, filled);
}

uint32_t outputs_crc32(const uint8_t *data, size_t n) {
    // zlib's CRC-32 is the same checksum (reflected polynomial 0xEDB88320,
    // all ones in and out), several bytes a step instead of one.
    if (!data) return 0;
    return (uint32_t)crc32_z(0, data, n);
}

void outputs_settle(void) {
    if (!outputs.hash.due) return;
    outputs.hash.due = 0;
    printf("%06u %08x\n", outputs.frames.numbered - 1,
           outputs_frame_crc32(outputs.shown.words, outputs.shown.w, outputs.shown.h));
    fflush(stdout);  // a line per frame as it happens, also into a pipe or file
}

void outputs_new_frame(void) {
    outputs_settle();
    outputs.frames.numbered++;
}

void outputs_keep(const uint32_t *frame, int32_t w, int32_t h) {
    size_t n = (size_t)w * (size_t)h;
    if (n > outputs.shown.room) {
        free(outputs.shown.words);
        outputs.shown.words = (uint32_t *)calloc(n, sizeof(uint32_t));
        outputs.shown.room = outputs.shown.words ? n : 0;
    }
    outputs.frames.on_screen = outputs.frames.numbered - 1;
    if (!outputs.shown.words) {
        outputs.shown.w = outputs.shown.h = 0;
        return;
    }
    if (n) memcpy(outputs.shown.words, frame, n * sizeof(uint32_t));
    outputs.shown.w = w;
    outputs.shown.h = h;
    outputs.hash.due = outputs.hash.on;
}

uint32_t outputs_frame(void) { return outputs.frames.numbered; }

const uint32_t *outputs_last_frame(int32_t *w, int32_t *h) {
    if (w) *w = outputs.shown.w;
    if (h) *h = outputs.shown.h;
    return outputs.shown.words;
}

// ---- Progress --------------------------------------------------------------------------

static double outputs_seconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const struct timespec &began = outputs.progress.began;
    return (double)(now.tv_sec - began.tv_sec) + (double)(now.tv_nsec - began.tv_nsec) / 1e9;
}

static void outputs_progress(int last) {
    const int32_t done = outputs.progress.done, total = outputs.progress.total;
    if (!outputs.progress.on || total < 1) return;
    double now = outputs_seconds();
    if (!last && now - outputs.progress.drawn < 0.2) return;
    outputs.progress.drawn = now;
    char bar[31];
    int32_t filled = (int32_t)((int64_t)done * 30 / total);
    for (int32_t i = 0; i < 30; i++) bar[i] = i < filled ? '#' : '.';
    bar[30] = 0;
    int32_t left = done > 0 ? (int32_t)(now * (total - done) / done) : 0;
    fprintf(stderr, "\r[%s] %d/%d frames %3d%%  %d:%02d left ", bar, done, total,
            (int)((int64_t)done * 100 / total), left / 60, left % 60);
    fflush(stderr);
}

void outputs_frame_ended(int32_t done, int32_t total) {
    outputs.progress.done = done;
    outputs.progress.total = total;
    outputs_progress(0);
}

// The closing line of a recording: its file, duration and size.
static void outputs_recorded(const char *path) {
    struct stat st;
    double size = stat(path, &st) == 0 ? (double)st.st_size / 1e6 : 0.0;
    double seconds = (double)outputs.files.video_frames / outputs_video_rate;
    if (outputs.progress.on) fputs("\r\033[K", stderr);
    fprintf(stderr, "rivo7315: recorded %s: %d:%05.2f (%llu frames), %.1f MB\n", path, (int)(seconds / 60),
            seconds - 60 * (int)(seconds / 60), (unsigned long long)outputs.files.video_frames, size);
}

// ---- Screenshots ------------------------------------------------------------------------

int outputs_save_shown(const char *path) {
    if (!path || !outputs.shown.words || outputs.shown.w < 1 || outputs.shown.h < 1) {
        errno = EINVAL;
        return 0;
    }
    int error = capture_save_png(path, outputs.shown.words, outputs.shown.w, outputs.shown.h);
    errno = error;
    return error == 0;
}

void outputs_screenshot(void) {
    char name[32];
    snprintf(name, sizeof name, "rivo7315_%06u.png", outputs.frames.on_screen);
    const char *dir = outputs.shots.dir;
    char *path = dir ? capture_join(dir, name) : strdup(name);
    int error = dir ? capture_make_dirs(dir) : 0;  // made again if it went away
    if (error) {
        fprintf(stderr, "rivo7315: cannot save the screenshot in '%s': %s\n", dir, strerror(error));
    } else if (path && outputs_save_shown(path)) {
        printf("%s\n", path);
        fflush(stdout);
    } else {
        fprintf(stderr, "rivo7315: cannot save the screenshot '%s': %s\n", path ? path : name,
                outputs.shown.words ? strerror(errno) : "no frame shown yet");
    }
    free(path);
}

// ---- Start and finish --------------------------------------------------------------------

// Everything back to its state before the first start; memory released.
static void outputs_forget(void) {
    free(outputs.shown.words);
    free(outputs.sound.mix);
    free(outputs.shots.dir);
    // The player's catch-up stays: it is handed over when the sound starts.
    void (*pull)(void) = outputs.sound.pull;
    outputs = OUTPUTS{};
    outputs.sound.pull = pull;
}

int outputs_start(const RUN_OPTIONS *options) {
    outputs_finish(0);
    clock_gettime(CLOCK_MONOTONIC, &outputs.progress.began);
    if (!options) return RUN_OK;
    outputs.hash.on = options->hash;
    outputs.shots.dir = options->screenshot_dir ? strdup(options->screenshot_dir) : nullptr;
    if (options->capture && !(outputs.files.capture = capture_new(options->capture))) return RUN_WRITE_FAILED;
    if (options->record && !(outputs.files.record = record_new(options->record, outputs_video_rate)))
        return RUN_WRITE_FAILED;
    outputs.progress.on = outputs.files.record && isatty(2);
    return RUN_OK;
}

int outputs_finish(uint32_t clock) {
    int ok = !outputs.files.failed;
    if (outputs_writing()) {
        outputs_catch_up(clock);
        outputs_progress(1);
        char *recorded = outputs.files.record ? strdup(outputs.files.record->path) : nullptr;
        ok = outputs_close_files() && !outputs.files.failed;
        if (ok && recorded) outputs_recorded(recorded);
        free(recorded);
        if (!ok && outputs.progress.on) fputs("\n", stderr);
    }
    outputs_settle();
    fflush(stdout);
    outputs_forget();
    return ok;
}
