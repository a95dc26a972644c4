// Host backend dispatcher: picks the backend record, keeps the time base of
// rounds that every backend shares (see backend.h), delivers scripted keys,
// notes ending signals and the frame limit, and tells platform/outputs when a
// frame is shown, replaced or final. One instance, one thread.
#include "platform/backend.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/options.h"
#include "platform/outputs.h"

// Headless, a pause with no scripted key left can never end: nothing else
// can type. After this many idle rounds (a second of frames) the run stops.
enum { BACKEND_STUCK_ROUNDS = 50 };
// A paused window round waits for its event in slices this long, so a caught
// signal ends the wait soon even if the wait itself is not interrupted.
enum { BACKEND_WAIT_SLICE_MS = 200 };

struct BACKEND_RUN {
    const BACKEND *in_use;       // never null
    struct {
        uint32_t period;         // ms of a round
        uint32_t start;          // tick at which the current round began
        int begun;               // a round has begun since the start
        int in_frame;            // inside a frame-loop round, before its key round
        int shows;               // presents of that frame-loop round
        int shown_since_poll;    // a present since the last key round
        uint32_t idle;           // key rounds since the last present or frame end
        int took_key;            // the last key round took a key
    } rounds;
    struct {
        RUN_KEY *keys;           // sorted by frame; owned
        int32_t count;
        int32_t next;            // first key not yet delivered
    } script;
    struct {
        int32_t limit;           // frame-timer frames of the run; 0: no limit
        int32_t ended;           // frame-timer frames so far
    } frames;
    int window;                  // a window is open: its events can be waited for
    int wanted_status;           // asked for by backend_end_run; 0 if none
};

static BACKEND_RUN run = {backend_shown, {1000 / outputs_video_rate, 0, 0, 0, 0, 0, 0, 0}, {}, {}, 0, 0};
static volatile sig_atomic_t backend_signal;  // the ending signal caught, 0 if none

int backend_is_headless(void) { return run.in_use->headless; }

uint32_t backend_ticks(void) { return run.in_use->ticks(); }

void backend_sleep(uint32_t ms) { run.in_use->sleep(ms); }

void backend_sound_played(const int16_t *interleaved, int32_t frames, int32_t channels) {
    outputs_sound_played(interleaved, frames, channels);
}

void backend_sound_source(void (*catch_up)(void)) { outputs_sound_source(catch_up); }

// ---- Rounds ---------------------------------------------------------------------------

// Ends the current round, giving it its full period on a virtual clock, and
// begins the next; the outputs catch up to the new start.
static void backend_next_round(void) {
    uint32_t now = backend_ticks();
    if (run.in_use->headless && run.rounds.begun && now - run.rounds.start < run.rounds.period) {
        backend_sleep(run.rounds.start + run.rounds.period - now);
        now = backend_ticks();
    }
    outputs_catch_up(now);
    run.rounds.start = now;
    run.rounds.begun = 1;
}

// ---- Start and stop -------------------------------------------------------------------

// The scripted keys of the options, copied; 0 when memory ran out.
static int backend_take_keys(const RUN_OPTIONS *options) {
    if (options->key_count < 1 || !options->keys) return 1;
    run.script.keys = (RUN_KEY *)calloc((size_t)options->key_count, sizeof(RUN_KEY));
    if (!run.script.keys) return 0;
    memcpy(run.script.keys, options->keys, sizeof(RUN_KEY) * (size_t)options->key_count);
    run.script.count = options->key_count;
    return 1;
}

int backend_start(const RUN_OPTIONS *options) {
    backend_stop();
    const int headless = options && (options->headless || options->capture || options->record);
    run.in_use = headless ? backend_virtual : backend_shown;
    run.frames.limit = options && options->frames > 0 ? options->frames : 0;
    if (options && !backend_take_keys(options)) {
        fprintf(stderr, "rivo7315: cannot keep the scripted keys (out of memory)\n");
        return RUN_NO_MEMORY;
    }
    int status = outputs_start(options);
    if (status != RUN_OK) return status;
    // A window run says here why it has no display.
    if (options && !run.in_use->start(options)) return RUN_NO_DISPLAY;
    return RUN_OK;
}

int backend_stop(void) {
    // The last round gets its period, its sound and its pictures.
    backend_next_round();
    int ok = outputs_finish(backend_ticks());
    run.in_use->stop();
    free(run.script.keys);
    const BACKEND *was = run.in_use;
    run = BACKEND_RUN{};
    run.in_use = was;
    run.rounds.period = 1000 / outputs_video_rate;
    return ok;
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

int backend_exit_status(void) {
    if (backend_signal) return 128 + backend_signal;
    if (outputs_failed()) return RUN_WRITE_FAILED;
    return run.wanted_status;
}

void backend_end_run(int status) { run.wanted_status = status; }

// ---- The host modules' calls -------------------------------------------------------------

int backend_open(int32_t w, int32_t h) {
    if (w < 0 || h < 0 || !run.in_use->open(w, h)) return 0;
    run.window = !run.in_use->headless;
    return 1;
}

void backend_show(const uint32_t *frame, int32_t w, int32_t h) {
    if (!frame || w < 0 || h < 0) return;
    // A further present of a frame-loop round before its key round replaces
    // the first; any other present is a frame (and outside the loop, a round).
    if (!(run.rounds.in_frame && run.rounds.shows > 0)) {
        if (!run.rounds.in_frame) backend_next_round();
        outputs_new_frame();
    }
    if (run.rounds.in_frame) run.rounds.shows++;
    run.rounds.shown_since_poll = 1;
    run.rounds.idle = 0;
    outputs_keep(frame, w, h);
    run.in_use->show(frame, w, h);
}

// The backend's event for this round. A paused round (nothing presented
// since the last one) waits for the next event instead of spinning: nothing
// else can change the picture on screen. It does not wait after a round that
// took a key: the demo acts on that key only after this round's pump.
// Scripted keys still to come keep rounds going without a wait, as headless,
// so they arrive at the same frames.
static int backend_event(int32_t *code, int paused) {
    int kind = run.in_use->poll(code, 0);
    int wait = paused && !run.rounds.took_key && run.script.next >= run.script.count && run.window;
    while (kind == BACKEND_EMPTY && wait && !backend_signal)
        kind = run.in_use->poll(code, BACKEND_WAIT_SLICE_MS);
    return kind == BACKEND_EMPTY ? BACKEND_NONE : kind;
}

// Headless, idle key rounds with no scripted key left: the pause cannot end.
static int backend_stuck(void) {
    return run.in_use->headless && run.script.next >= run.script.count && !backend_signal &&
           ++run.rounds.idle >= BACKEND_STUCK_ROUNDS;
}

int backend_poll(int32_t *vk) {
    // A round without a present is a paused one.
    const int paused = !run.rounds.shown_since_poll;
    // The frame on screen can no longer be replaced.
    outputs_settle();
    if (paused) {
        // A key round without a present is a frame and a round of its own
        // (the demo is paused), unless it ends a frame-loop round that drew nothing.
        if (!run.rounds.in_frame) backend_next_round();
        outputs_new_frame();
    }
    run.rounds.in_frame = 0;
    run.rounds.shown_since_poll = 0;
    if (!run.wanted_status && backend_stuck()) {
        fprintf(stderr, "rivo7315: paused with no scripted key left to resume it; stopping\n");
        run.wanted_status = RUN_STUCK;
    }
    int kind = BACKEND_NONE;
    int32_t code = 0;
    // Keys typed while frame F was on screen are due once F has been numbered.
    if (run.script.next < run.script.count && run.script.keys[run.script.next].frame < outputs_frame()) {
        code = run.script.keys[run.script.next++].vk;
        kind = BACKEND_KEY;
    } else {
        kind = backend_event(&code, paused);
    }
    // A signal, a failed write or a stuck pause: the program ends as when its window closes.
    if (backend_signal || run.wanted_status || outputs_failed()) kind = BACKEND_CLOSE;
    run.rounds.took_key = kind == BACKEND_KEY;
    if (kind == BACKEND_KEY && code == 0x7B) outputs_screenshot();
    if (vk) *vk = code;
    return kind;
}

void backend_frame_start(int32_t rate) {
    run.rounds.period = rate >= 1 ? 1000 / (uint32_t)rate : 40;
    if (run.rounds.period < 1) run.rounds.period = 1;
    backend_next_round();
    run.rounds.in_frame = 1;
    run.rounds.shows = 0;
}

int backend_frame_end(void) {
    run.frames.ended++;
    run.rounds.idle = 0;
    outputs_frame_ended(run.frames.ended, run.frames.limit);
    return run.frames.limit > 0 && run.frames.ended >= run.frames.limit;
}

int backend_save_shown(const char *path) { return outputs_save_shown(path); }
