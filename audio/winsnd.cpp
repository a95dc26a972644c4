// Sound playback: WINSND builds a three-second 16-bit mono WAV image in memory
// and has the process-wide player (platform/player.h) loop it; winsnd_feed
// copies the next stretch of its queue of SAMPLEs into the data area while it
// plays. Only one image plays at a time, as with the platform player this
// stands in for: a new WINSND does not interrupt a playing one;
// winsnd_feed_restart does.
#include "audio/winsnd.h"

#include <cstdlib>
#include <cstring>

#include "audio/sam.h"
#include "host/int.h"
#include "host/module.h"
#include "platform/player.h"

RIVO_IDENTITY(winsnd, "WINSND  ", "20140823", "Ostrevik", "WINDOWS ", "CODE    ");
RIVO_REPORTER(winsnd, 0, "WINSND error\n");

static const char winsnd_empty_text[1] = "";

// The image's header: mono 16-bit PCM at 44100 per second with the private
// "RIVI" chunk holding 11025 before "data": 56 bytes.
static void winsnd_write_header(uint8_t *image, int32_t length) {
    uint8_t rivi[12] = {'R', 'I', 'V', 'I'};
    le_put32(rivi + 4, 4);
    le_put32(rivi + 8, 11025);
    sam_wav_header(image, 1, 44100, 16, 2u * (uint32_t)length, rivi, sizeof rivi);
}

// ---------------------------------------------------------------------------
// The record.

// Bytes of the WAV image: the header, then two bytes per value of the loop.
static int64_t winsnd_image_size(const WINSND *w) { return 2 * (int64_t)w->length + winsnd_header_size; }

WINSND *winsnd_new(void) {
    WINSND *w = (WINSND *)std::calloc(1, sizeof(WINSND));
    if (!w) {
        winsnd_error();
        return nullptr;
    }
    w->rate = 44100;
    w->resolution = 16;
    w->sign = 's';
    w->order = 'l';
    w->queue = list_new();
    w->current = nullptr;
    w->position = 0;
    w->length = winsnd_length;
    w->total = 0;
    w->image = (uint8_t *)std::calloc((size_t)winsnd_image_size(w), 1);
    if (w->image) {
        winsnd_write_header(w->image, w->length);
        // Like the platform player asked not to interrupt: only when silent.
        if (!player_image()) player_start(w->image, winsnd_image_size(w));
    }
    return w;
}

void winsnd_del(WINSND **w) {
    if (!w || !*w) {
        winsnd_error();
        return;
    }
    WINSND *r = *w;
    // The player reads the image until it is stopped.
    if (r->image && player_image() == r->image) player_stop();
    std::free(r->image);
    if (r->queue) list_del(&r->queue);
    std::free(r);
    *w = nullptr;
}

// Stores n values of s from index `from` into data slots 0..n-1, each as the
// low 16 bits of the 32-bit value: nothing is clipped, large values wrap.
static void winsnd_store(WINSND *w, const SAMPLE *s, int32_t from, int32_t n) {
    if (!w->image || !s->data || from < 0) return;
    if (n > s->count - from) n = s->count - from;
    if (n > w->length) n = w->length;
    if (n <= 0) return;
    uint8_t *out = w->image + winsnd_header_size;
    const int32_t *in = s->data + from;
    player_lock();
    for (int32_t i = 0; i < n; i++) le_put16(out + 2 * i, (uint32_t)in[i]);
    player_unlock();
}

// The copy both feeds share: 0 when there was nothing to copy, else 1.
static int winsnd_copy_next(WINSND *w) {
    // Values played until now came from the data as it was.
    player_catch_up();
    if (!w->queue) {
        w->queue = list_new();
        return 0;
    }
    if (w->queue->count < 1) return 0;
    w->current = (SAMPLE *)list_get(w->queue, 0);
    if (!w->current) return 0;
    int32_t n;
    if ((int64_t)w->position + w->length <= w->current->count) {
        winsnd_store(w, w->current, w->position, w->length);
        w->position += w->length;
        n = w->length;
    } else {
        list_remove(w->queue, 0);
        // A position past the end (the sample shrank meanwhile) copies nothing.
        n = w->current->count - w->position;
        if (n < 0) n = 0;
        winsnd_store(w, w->current, w->position, n);
        w->position = 0;
    }
    // The running count wraps, as the process runs for hours.
    w->total = wrap_add(w->total, n);
    return 1;
}

bool winsnd_feed(WINSND *w) {
    if (!w) {
        winsnd_error();
        return false;
    }
    if (!winsnd_copy_next(w)) return false;
    return w->queue->count > 0;
}

bool winsnd_feed_restart(WINSND *w) {
    if (!w) {
        winsnd_error();
        return false;
    }
    if (!winsnd_copy_next(w)) return false;
    if (w->image) {
        player_stop();
        player_start(w->image, winsnd_image_size(w));
    }
    return w->position != 0;
}

void winsnd_mute(int muted) { player_mute(muted); }

const char *winsnd_to_text(const WINSND *w) {
    if (!w) {
        winsnd_error();
        return nullptr;
    }
    return winsnd_empty_text;
}

WINSND *winsnd_from_text(const char *) { return nullptr; }

bool winsnd_compare(const WINSND *a, const WINSND *b) {
    if (!a || !b) {
        winsnd_error();
        return false;
    }
    return true;
}

WINSND *winsnd_dup(const WINSND *w) {
    if (!w) winsnd_error();
    return nullptr;
}
