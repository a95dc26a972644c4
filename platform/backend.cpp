// Host backend: picks SDL2 or headless, numbers frames, keeps the last frame
// shown in memory, prints hashes, feeds captures and recordings, delivers
// scripted keys and ends the run at the frame limit. Headless: no display, no
// sound device, and a virtual millisecond clock that moves in backend_sleep
// and at the start of a round (see backend.h), so two runs with the same
// options are identical byte for byte. One instance, one thread.
#include "platform/backend.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/capture.h"
#include "platform/options.h"
#include "platform/record.h"
#include "platform/sdlhost.h"
#include "imaging/img.h"

static int backend_started;
static int backend_is_headless;
static uint32_t backend_clock;         // headless milliseconds
static int32_t backend_zoom = 1;
static int32_t backend_fullscreen;
static int32_t backend_frame_limit;    // 0: none
static int32_t backend_frames_ended;   // frame-timer frames so far
static int backend_hash;
static int backend_hash_due;           // the current frame's hash line is still to print
static RUN_KEY *backend_keys;          // scripted keys, sorted by frame; owned
static int32_t backend_key_count;
static int32_t backend_key_next;       // first key not yet delivered
static uint32_t backend_numbered;      // frames numbered so far
static int backend_shown_since_poll;   // a present since the last key round
static const uint8_t *backend_bytes;   // the last frame shown: lent by the display, or backend_own
static uint8_t *backend_own;           // the copy kept once the display lets go of its bytes
static int32_t backend_w, backend_h;
static int backend_window;             // the SDL window exists
static uint32_t backend_idle_rounds;   // key rounds since the last present or frame end
static uint32_t backend_shown_number;  // frame number of the picture on screen
static volatile sig_atomic_t backend_signal;  // the ending signal caught, 0 if none
static int backend_took_key;           // the last key round took a key
static char *backend_shot_dir;         // where F12 saves; null: the working directory

// The time base.
static uint32_t backend_period = 1000 / backend_video_rate;  // ms of a round
static uint32_t backend_round_start;   // tick at which the current round began
static int backend_in_round;           // a round has begun since the start
static int backend_frame_round;        // inside a frame-loop round, before its key round
static int backend_round_shows;        // presents of that frame-loop round

// Recording and capture.
static CAPTURE *backend_capture;
static RECORD *backend_record;
static void (*backend_pull)(void);     // the headless player's catch-up
static uint64_t backend_video_frames;  // video frames written
static uint64_t backend_sound_frames;  // sound frames written
static int32_t backend_channels;       // of the written sound; 0 until known
static int16_t *backend_mix;           // sound converted to backend_channels
static size_t backend_mix_room;
static int backend_exiting;            // backend_stop runs inside exit()
static struct timespec backend_began;  // wall clock at the start, for the progress bar
static double backend_progress_shown;  // seconds since then of the last bar drawn
static int backend_progress_on;        // recording onto a terminal

// Headless, a pause with no scripted key left can never end: nothing else
// can type. After this many idle rounds (a second of frames) the run stops.
enum { BACKEND_STUCK_ROUNDS = 50 };
// A paused window round waits for its event in slices this long, so a caught
// signal ends the wait soon even if the wait itself is not interrupted.
enum { BACKEND_WAIT_SLICE_MS = 200 };

static double backend_seconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)(now.tv_sec - backend_began.tv_sec) + (double)(now.tv_nsec - backend_began.tv_nsec) / 1e9;
}

int backend_headless(void) { return backend_is_headless; }

uint32_t backend_ticks(void) { return backend_is_headless ? backend_clock : sdlhost_ticks(); }

void backend_sleep(uint32_t ms) {
    if (backend_is_headless)
        backend_clock += ms;  // unsigned: wraps at 2^32 like the real counter
    else
        sdlhost_sleep(ms);
}

// ---- Write failures ---------------------------------------------------------------

static int backend_outputs(void) { return backend_capture || backend_record; }

// Closes the capture and the recording; 0 when either failed at any time.
static int backend_close_outputs(void) {
    int ok = 1;
    if (backend_capture) ok = capture_finish(backend_capture) && ok;
    if (backend_record) ok = record_finish(backend_record) && ok;
    capture_del(&backend_capture);
    record_del(&backend_record);
    backend_pull = nullptr;
    return ok;
}

// A write failed and said why: what was written is closed as valid files
// (quietly: one message is enough) and the run ends with BACKEND_EXIT_WRITE.
static void backend_write_failed(void) {
    if (backend_capture) backend_capture->quiet = 1;
    if (backend_record) backend_record->quiet = 1;
    backend_close_outputs();
    if (backend_progress_on) fputs("\n", stderr);
    fflush(stdout);
    fflush(stderr);
    // Inside exit() already: a second exit() would be undefined.
    if (backend_exiting) _exit(BACKEND_EXIT_WRITE);
    exit(BACKEND_EXIT_WRITE);
}

// ---- Sound -----------------------------------------------------------------------

// The recording is made once the frame size and the sound channels are known.
static void backend_record_ready(void) {
    if (!backend_record || backend_record->began) return;
    if (!backend_channels) backend_channels = 1;
    if (!record_begin(backend_record, backend_w > 0 ? backend_w : 256, backend_h > 0 ? backend_h : 256,
                      backend_channels))
        backend_write_failed();
}

// Writes sound frames of backend_channels channels to every output.
static void backend_write_sound(const int16_t *s, int32_t frames) {
    backend_record_ready();
    if (backend_capture && !capture_sound(backend_capture, s, frames, backend_channels)) backend_write_failed();
    if (backend_record && !record_sound(backend_record, s, frames)) backend_write_failed();
    backend_sound_frames += (uint64_t)frames;
}

// Mono becomes both channels; stereo becomes the mean of the two.
static const int16_t *backend_convert(const int16_t *in, int32_t frames, int32_t channels) {
    size_t need = (size_t)frames * (size_t)backend_channels;
    if (need > backend_mix_room) {
        int16_t *grown = (int16_t *)realloc(backend_mix, need * sizeof(int16_t));
        if (!grown) return nullptr;
        backend_mix = grown;
        backend_mix_room = need;
    }
    for (int32_t i = 0; i < frames; i++) {
        if (channels == 1) {
            backend_mix[2 * i] = backend_mix[2 * i + 1] = in[i];
        } else {
            backend_mix[i] = (int16_t)(((int32_t)in[2 * i] + in[2 * i + 1]) / 2);
        }
    }
    return backend_mix;
}

void backend_sound_played(const int16_t *interleaved, int32_t frames, int32_t channels) {
    if (!backend_outputs() || !interleaved || frames <= 0 || channels < 1 || channels > 2) return;
    if (!backend_channels) backend_channels = channels;
    const int16_t *s = channels == backend_channels ? interleaved : backend_convert(interleaved, frames, channels);
    if (!s) {
        fprintf(stderr, "rivo7315: out of memory for the recorded sound\n");
        backend_write_failed();
    }
    backend_write_sound(s, frames);
}

void backend_sound_source(void (*catch_up)(void)) { backend_pull = catch_up; }

// Silence up to `frames` sound frames in all: where no player played.
static void backend_pad_sound(uint64_t frames) {
    static const int16_t silence[2 * 1024] = {};
    if (backend_sound_frames < frames && !backend_channels) backend_channels = 1;
    while (backend_sound_frames < frames) {
        uint64_t n = frames - backend_sound_frames;
        backend_write_sound(silence, (int32_t)(n < 1024 ? n : 1024));
    }
}

// ---- Video ------------------------------------------------------------------------

// Writes every video frame that starts before the clock: the picture on
// screen until now, repeated for as many frames as it stayed.
static void backend_write_video(void) {
    if (!backend_bytes) return;
    uint64_t due = ((uint64_t)backend_clock * backend_video_rate + 999) / 1000;
    for (int repeat = 0; backend_video_frames < due; repeat = 1) {
        backend_record_ready();
        if (backend_capture && !capture_frame(backend_capture, (uint32_t)backend_video_frames, backend_bytes,
                                              backend_w, backend_h, repeat))
            backend_write_failed();
        if (backend_record && !record_video(backend_record, backend_bytes, backend_w, backend_h)) backend_write_failed();
        backend_video_frames++;
    }
}

// Brings sound and pictures of the outputs up to the clock.
static void backend_catch_up(void) {
    if (!backend_outputs()) return;
    if (backend_pull) backend_pull();
    backend_pad_sound((uint64_t)backend_clock * record_sound_rate / 1000);
    backend_write_video();
}

// Ends the current round, giving it its full period, and begins the next.
static void backend_next_round(void) {
    if (backend_is_headless && backend_in_round && backend_clock - backend_round_start < backend_period)
        backend_clock = backend_round_start + backend_period;
    backend_catch_up();
    backend_round_start = backend_clock;
    backend_in_round = 1;
}

// ---- Frames, hashes and progress ------------------------------------------------------

static void backend_print_hash(void) {
    if (!backend_hash_due) return;
    backend_hash_due = 0;
    printf("%06u %08x\n", backend_numbered - 1,
           backend_crc32(backend_bytes, (size_t)backend_w * (size_t)backend_h * 3));
    fflush(stdout);  // a line per frame as it happens, also into a pipe or file
}

// The frame shown so far is final: its hash line goes out, the next is numbered.
static void backend_new_frame(void) {
    backend_print_hash();
    backend_numbered++;
}

static void backend_progress(int last) {
    if (!backend_progress_on || backend_frame_limit < 1) return;
    double now = backend_seconds();
    if (!last && now - backend_progress_shown < 0.2) return;
    backend_progress_shown = now;
    int32_t done = backend_frames_ended, total = backend_frame_limit;
    char bar[31];
    int32_t filled = (int32_t)((int64_t)done * 30 / total);
    for (int32_t i = 0; i < 30; i++) bar[i] = i < filled ? '#' : '.';
    bar[30] = 0;
    int32_t left = done > 0 ? (int32_t)(now * (total - done) / done) : 0;
    fprintf(stderr, "\r[%s] %d/%d frames %3d%%  %d:%02d left ", bar, done, total,
            (int)((int64_t)done * 100 / total), left / 60, left % 60);
    fflush(stderr);
}

// The closing line of a recording: its file, duration and size.
static void backend_recorded(const char *path) {
    struct stat st;
    double size = stat(path, &st) == 0 ? (double)st.st_size / 1e6 : 0.0;
    double seconds = (double)backend_video_frames / backend_video_rate;
    if (backend_progress_on) fputs("\r\033[K", stderr);
    fprintf(stderr, "rivo7315: recorded %s: %d:%05.2f (%llu frames), %.1f MB\n", path, (int)(seconds / 60),
            seconds - 60 * (int)(seconds / 60), (unsigned long long)backend_video_frames, size);
}

// ---- Start and stop -------------------------------------------------------------------

static void backend_at_exit(void) {
    backend_exiting = 1;
    backend_stop();
}

static char *backend_copy(const char *s) { return s ? strdup(s) : nullptr; }

int backend_start(const RUN_OPTIONS *options) {
    backend_stop();
    backend_exiting = 0;
    if (!backend_started) atexit(backend_at_exit);
    backend_started = 1;
    backend_clock = 0;
    backend_frames_ended = 0;
    backend_numbered = 0;
    backend_shown_since_poll = 0;
    backend_key_next = 0;
    backend_idle_rounds = 0;
    backend_period = 1000 / backend_video_rate;
    backend_in_round = backend_frame_round = backend_round_shows = 0;
    backend_video_frames = backend_sound_frames = 0;
    backend_channels = 0;
    clock_gettime(CLOCK_MONOTONIC, &backend_began);
    backend_progress_shown = 0;
    backend_shown_number = 0;
    backend_took_key = 0;
    if (!options) return 1;
    backend_is_headless = options->headless || options->capture || options->record;
    backend_zoom = options->zoom >= 1 && options->zoom <= 16 ? options->zoom : 1;
    backend_fullscreen = options->fullscreen;
    backend_frame_limit = options->frames > 0 ? options->frames : 0;
    backend_hash = options->hash;
    if (backend_is_headless) {
        // Nothing behind SDL's back may open a device: point both at nothing.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    if (options->key_count > 0 && options->keys) {
        backend_keys = (RUN_KEY *)calloc((size_t)options->key_count, sizeof(RUN_KEY));
        if (!backend_keys) {
            // Not a write failure: say what ran out and stop.
            fprintf(stderr, "rivo7315: cannot keep the scripted keys (out of memory)\n");
            exit(RUN_NO_MEMORY);
        }
        memcpy(backend_keys, options->keys, sizeof(RUN_KEY) * (size_t)options->key_count);
        backend_key_count = options->key_count;
    }
    backend_shot_dir = backend_copy(options->screenshot_dir);
    if (options->capture && !(backend_capture = capture_new(options->capture))) return 0;
    if (options->record && !(backend_record = record_new(options->record, backend_video_rate))) return 0;
    backend_progress_on = backend_record && isatty(2);
    return 1;
}

// Finishes the outputs: the last round gets its period, its sound and its
// pictures, then the files are closed; a failure ends with BACKEND_EXIT_WRITE.
static void backend_finish_outputs(void) {
    if (!backend_outputs()) return;
    backend_next_round();
    backend_progress(1);
    char *recorded = backend_record ? backend_copy(backend_record->path) : nullptr;
    int ok = backend_close_outputs();
    if (ok && recorded) backend_recorded(recorded);
    free(recorded);
    if (!ok) backend_write_failed();
}

void backend_stop(void) {
    backend_finish_outputs();
    backend_print_hash();
    fflush(stdout);
    if (backend_window) sdlhost_close();
    backend_window = 0;
    free(backend_keys);
    backend_keys = nullptr;
    backend_key_count = 0;
    free(backend_own);
    backend_own = nullptr;
    backend_bytes = nullptr;
    backend_w = backend_h = 0;
    free(backend_shot_dir);
    backend_shot_dir = nullptr;
    free(backend_mix);
    backend_mix = nullptr;
    backend_mix_room = 0;
    backend_is_headless = 0;
    backend_zoom = 1;
    backend_fullscreen = 0;
    backend_frame_limit = 0;
    backend_hash = backend_hash_due = 0;
    backend_progress_on = 0;
}

// Only notes the signal: the next key round ends the program on the normal path.
static void backend_on_signal(int sig) { backend_signal = sig; }

void backend_catch_signals(void) {
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = backend_on_signal;
    sigemptyset(&sa.sa_mask);
    static const int ending[] = {SIGINT, SIGTERM, SIGHUP};
    for (int sig : ending) sigaction(sig, &sa, nullptr);
}

int backend_exit_status(void) { return backend_signal ? 128 + backend_signal : 0; }

int backend_display(void) { return backend_is_headless || sdlhost_video_start(); }

// ---- The host modules' calls -------------------------------------------------------------

int backend_open(int32_t w, int32_t h) {
    if (w < 0 || h < 0) return 0;
    if (backend_is_headless) return 1;
    if (!sdlhost_open(w, h, backend_zoom, backend_fullscreen)) return 0;
    backend_window = 1;
    return 1;
}

// Remembers the frame shown: the F12 snapshot, the outputs and the hashes
// read it later. The display's bytes stay as they are until its next
// present, so they are borrowed rather than copied on every frame.
static void backend_keep(const uint8_t *bgr, int32_t w, int32_t h) {
    backend_bytes = bgr;
    backend_w = w;
    backend_h = h;
}

void backend_let_go(void) {
    if (!backend_bytes || backend_bytes == backend_own) return;
    size_t n = (size_t)backend_w * (size_t)backend_h * 3;
    free(backend_own);
    backend_own = (uint8_t *)calloc(n ? n : 1, 1);
    if (backend_own) memcpy(backend_own, backend_bytes, n);
    backend_bytes = backend_own;
    if (!backend_own) backend_w = backend_h = 0;
}

void backend_show(const IMG *image, const uint8_t *bgr, int32_t w, int32_t h) {
    if (!bgr || w < 0 || h < 0) return;
    // A further present of a frame-loop round before its key round replaces
    // the first; any other present is a frame (and outside the loop, a round).
    if (!(backend_frame_round && backend_round_shows > 0)) {
        if (!backend_frame_round) backend_next_round();
        backend_new_frame();
    }
    if (backend_frame_round) backend_round_shows++;
    backend_shown_number = backend_numbered - 1;
    backend_shown_since_poll = 1;
    backend_idle_rounds = 0;
    backend_keep(bgr, w, h);
    backend_hash_due = backend_hash && backend_bytes;
    // The frame's own pixels when they are the picture converted (same size).
    const uint32_t *frame = image && image->pixels && image->width == w && image->height == h ? image->pixels : nullptr;
    if (backend_window) sdlhost_show(bgr, frame, w, h);
}

// F12: the frame on screen as rivo7315_NNNNNN.png; its path on standard output.
static void backend_screenshot(void) {
    char name[32];
    snprintf(name, sizeof name, "rivo7315_%06u.png", backend_shown_number);
    char *path = backend_shot_dir ? capture_join(backend_shot_dir, name) : strdup(name);
    if (backend_shot_dir) mkdir(backend_shot_dir, 0777);  // made on first use; a failure shows below
    if (path && backend_save_shown(path)) {
        printf("%s\n", path);
        fflush(stdout);
    } else {
        fprintf(stderr, "rivo7315: cannot save the screenshot '%s': %s\n", path ? path : name,
                backend_bytes ? strerror(errno) : "no frame shown yet");
    }
    free(path);
}

// A window's event for this round. A paused round (nothing presented since
// the last one) waits for the next event instead of spinning: nothing else
// can change the picture on screen. It does not wait after a round that took
// a key: the demo acts on that key only after this round's pump. Scripted
// keys still to come keep rounds going without a wait, as headless, so they
// arrive at the same frames.
static int backend_window_event(int32_t *code, int paused) {
    int kind = sdlhost_poll(code, 0);
    int wait = paused && !backend_took_key && backend_key_next >= backend_key_count;
    while (kind == SDLHOST_EMPTY && wait && !backend_signal) kind = sdlhost_poll(code, BACKEND_WAIT_SLICE_MS);
    return kind == SDLHOST_EMPTY ? BACKEND_NONE : kind;
}

int backend_poll(int32_t *vk) {
    // A round without a present is a paused one.
    int paused = !backend_shown_since_poll;
    // The frame on screen can no longer be replaced.
    backend_print_hash();
    if (!backend_shown_since_poll) {
        // A key round without a present is a frame and a round of its own
        // (the demo is paused), unless it ends a frame-loop round that drew nothing.
        if (!backend_frame_round) backend_next_round();
        backend_new_frame();
    }
    backend_frame_round = 0;
    backend_shown_since_poll = 0;
    if (backend_is_headless && backend_key_next >= backend_key_count && !backend_signal &&
        ++backend_idle_rounds >= BACKEND_STUCK_ROUNDS) {
        fprintf(stderr, "rivo7315: paused with no scripted key left to resume it; stopping\n");
        exit(1);
    }
    int kind = BACKEND_NONE;
    int32_t code = 0;
    // Keys typed while frame F was on screen are due once F has been numbered.
    if (backend_key_next < backend_key_count && backend_keys[backend_key_next].frame < backend_numbered) {
        code = backend_keys[backend_key_next++].vk;
        kind = BACKEND_KEY;
    } else if (backend_window) {
        kind = backend_window_event(&code, paused);
    }
    // SIGINT, SIGTERM or SIGHUP: the program ends as when its window closes.
    if (backend_signal) kind = BACKEND_CLOSE;
    backend_took_key = kind == BACKEND_KEY;
    if (kind == BACKEND_KEY && code == 0x7B) backend_screenshot();
    if (vk) *vk = code;
    return kind;
}

void backend_frame_start(int32_t rate) {
    backend_period = rate >= 1 ? 1000 / (uint32_t)rate : 40;
    if (backend_period < 1) backend_period = 1;
    backend_next_round();
    backend_frame_round = 1;
    backend_round_shows = 0;
}

void backend_frame_end(void) {
    backend_frames_ended++;
    backend_idle_rounds = 0;
    backend_progress(0);
    if (backend_frame_limit > 0 && backend_frames_ended >= backend_frame_limit) exit(0);
}

uint32_t backend_frame(void) { return backend_numbered; }

const uint8_t *backend_last_frame(int32_t *w, int32_t *h) {
    if (w) *w = backend_w;
    if (h) *h = backend_h;
    return backend_bytes;
}

int backend_save_shown(const char *path) {
    if (!path || !backend_bytes || backend_w < 1 || backend_h < 1) {
        errno = EINVAL;
        return 0;
    }
    int error = capture_save_png(path, backend_bytes, backend_w, backend_h);
    errno = error;
    return error == 0;
}

uint32_t backend_crc32(const uint8_t *data, size_t n) {
    // zlib's CRC-32 is the same checksum (reflected polynomial 0xEDB88320,
    // all ones in and out), several bytes a step instead of one: a window
    // run with --hash no longer spends most of a frame's time on its hash.
    if (!data) return 0;
    return (uint32_t)crc32_z(0, data, n);
}
