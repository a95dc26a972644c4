// The browser's sound device behind platform/player.h. The page asks for
// sound ahead of what Web Audio has played (player_web_render, from its own
// timer while the demo sleeps) and queues it to an AudioWorklet, or to a
// ScriptProcessorNode where worklets are missing. The frames are made as the
// desktop player makes them: the loop's one channel in both, muted as
// digital silence while the loop goes on in time. One thread: the lock has
// nothing to serialise. Timed as --headless, nothing plays. No synthesiser
// in a browser, so nothing is mixed after the loop.
#include "platform/player.h"

#include <emscripten.h>

#include <cstring>

#include "host/int.h"
#include "platform/backend.h"

// Most frames one render makes.
enum { PLAYER_WEB_MOST = 8192 };

struct PLAYER_WEB {
    const uint8_t *image;     // the image being looped; null when nothing plays
    const uint8_t *data;      // its data area
    int32_t data_bytes;       // whole frames only
    int32_t channels;         // of the image: 1 or 2
    int32_t cursor;           // byte offset of the next frame in the data area
    int64_t clock;            // frames made since the process started
    int muted;
    int16_t out[2 * PLAYER_WEB_MOST];
};

static PLAYER_WEB player;

// Finds the data area of a 16-bit PCM RIFF WAVE image at 44100 frames a
// second, skipping every other chunk; sizes read never reach past the image.
static bool player_web_parse(const uint8_t *image, int64_t size) {
    if (!image || size < 12 || memcmp(image, "RIFF", 4) != 0 || memcmp(image + 8, "WAVE", 4) != 0) return false;
    int64_t end = 8 + (int64_t)le_get32(image + 4);
    if (end > size) end = size;
    bool format = false;
    for (int64_t at = 12; at + 8 <= end;) {
        const uint8_t *body = image + at + 8;
        int64_t chunk = le_get32(image + at + 4), room = end - (at + 8);
        if (memcmp(image + at, "fmt ", 4) == 0) {
            if (chunk < 16 || chunk > room) return false;
            player.channels = (int32_t)le_get16(body + 2);
            format = le_get16(body) == 1 && le_get16(body + 14) == 16 && le_get32(body + 4) == (uint32_t)player_rate &&
                     player.channels >= 1 && player.channels <= 2;
        } else if (memcmp(image + at, "data", 4) == 0) {
            if (!format) return false;
            int32_t frame = 2 * player.channels;
            player.data = body;
            player.data_bytes = (int32_t)((chunk < room ? chunk : room) / frame * frame);
            return player.data_bytes > 0;
        }
        at += 8 + chunk + (chunk & 1);  // chunks are padded to an even size
    }
    return false;
}

void player_start(const uint8_t *image, int64_t size) {
    if (backend_is_headless() || !player_web_parse(image, size)) return;
    player.image = image;
    player.cursor = 0;
}

void player_stop(void) { player.image = nullptr; }

const uint8_t *player_image(void) { return player.image; }

void player_lock(void) {}
void player_unlock(void) {}

// Sound is made when the page asks for it, so nothing is ever overdue.
void player_catch_up(void) {}

int64_t player_now(void) { return player.image ? player.clock : -1; }

void player_mix_synth(SYNTH *) {}

void player_mute(int muted) { player.muted = muted != 0; }

static int16_t player_web_frame_value(const uint8_t *p) { return (int16_t)le_get16(p); }

// The next n frames (at most PLAYER_WEB_MOST) as interleaved 16-bit stereo;
// silence when nothing plays. The page reads them before asking again.
extern "C" EMSCRIPTEN_KEEPALIVE const int16_t *player_web_render(int32_t n) {
    if (n < 0) n = 0;
    if (n > PLAYER_WEB_MOST) n = PLAYER_WEB_MOST;
    for (int32_t i = 0; i < n; i++) {
        int16_t left = 0, right = 0;
        if (player.image) {
            const uint8_t *p = player.data + player.cursor;
            left = player_web_frame_value(p);
            right = player.channels == 2 ? player_web_frame_value(p + 2) : left;
            player.cursor += 2 * player.channels;
            if (player.cursor >= player.data_bytes) player.cursor = 0;
        }
        player.out[2 * i] = player.muted ? 0 : left;
        player.out[2 * i + 1] = player.muted ? 0 : right;
    }
    if (player.image) player.clock += n;
    return player.out;
}
