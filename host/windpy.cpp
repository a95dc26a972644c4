// WINDPY: the display. Module state: the current display record and the frame
// bytes (w * h * 3: blue, green, red per pixel, bottom row first, rows
// unpadded; a valid bottom-up bitmap only when 3 * w is a multiple of 4, which
// the demo's 256 meets). The window itself belongs to
// the host backend. Limits: one display; sizes whose byte count overflows
// behave as a failed allocation.
#include "host/windpy.h"

#include <cstdlib>
#include <cstring>

#include "host/backend.h"
#include "host/module.h"
#include "imaging/img.h"

RIVO_IDENTITY(windpy, "WINDPY  ", "20140414", "WINDOWS ", "Ostrevik", "CODE    ");
RIVO_REPORTER(windpy, 0, "WINDPY error\n");

static WINDPY *windpy_current;
static uint8_t *windpy_bytes;    // frame bytes
static size_t windpy_size;       // their count

WINDPY *windpy_new(void) {
    free(windpy_bytes);
    windpy_bytes = nullptr;
    windpy_size = 0;
    WINDPY *display = (WINDPY *)calloc(1, sizeof(WINDPY));
    if (!display) {
        windpy_error();
        return nullptr;
    }
    windpy_current = display;
    windpy_open(display, 256, 256);
    return display;
}

void windpy_open(WINDPY *display, int32_t width, int32_t height) {
    if (!display || width < 0 || height < 0) {
        windpy_error();
        return;
    }
    display->width = width;
    display->height = height;
    // The backend creates the window the first time and later moves and
    // resizes it; either way the client area becomes width x height, centred.
    if (!backend_open(width, height)) {
        windpy_error();
        return;
    }
    free(windpy_bytes);
    windpy_bytes = nullptr;
    windpy_size = 0;
    // 3 * w * h in 64 bits; beyond what a 32-bit size can address it fails.
    uint64_t n = (uint64_t)width * (uint64_t)height * 3u;
    if (n > 0x7FFFFFFFu) {
        windpy_error();
        return;
    }
    windpy_bytes = (uint8_t *)calloc(n ? (size_t)n : 1, 1);
    if (!windpy_bytes) {
        windpy_error();
        return;
    }
    windpy_size = (size_t)n;
}

// Four pixels at a time: the low three bytes of each little-endian word are
// already blue, green, red, so four words pack into three with shifts.
static inline void windpy_pack4(const uint32_t *p, uint8_t *out) {
    uint32_t w0 = (p[0] & 0xFFFFFFu) | (p[1] << 24);
    uint32_t w1 = ((p[1] >> 8) & 0xFFFFu) | (p[2] << 16);
    uint32_t w2 = ((p[2] >> 16) & 0xFFu) | (p[3] << 8);
    memcpy(out, &w0, 4);
    memcpy(out + 4, &w1, 4);
    memcpy(out + 8, &w2, 4);
}

void windpy_convert(const uint32_t *pixels, int32_t w, int32_t h, uint8_t *bytes) {
    if (!pixels || !bytes || w < 1 || h < 1) return;
    size_t row = (size_t)w * 3;
    for (int32_t y = 0; y < h; y++) {
        // Image row y lands in stored row h - 1 - y.
        const uint32_t *src = pixels + (size_t)y * (size_t)w;
        uint8_t *dst = bytes + (size_t)(h - 1 - y) * row;
        int32_t x = 0;
        for (; x + 4 <= w; x += 4) windpy_pack4(src + x, dst + (size_t)x * 3);
        for (; x < w; x++) {
            uint32_t p = src[x];
            dst[x * 3] = (uint8_t)p;
            dst[x * 3 + 1] = (uint8_t)(p >> 8);
            dst[x * 3 + 2] = (uint8_t)(p >> 16);
        }
    }
}

void windpy_present(WINDPY *display, const IMG *image) {
    if (!display || !image || !image->pixels || !windpy_bytes || image->width != display->width ||
        image->height != display->height ||
        (size_t)image->width * (size_t)image->height * 3 != windpy_size) {
        windpy_error();
        return;
    }
    windpy_convert(image->pixels, image->width, image->height, windpy_bytes);
    // Upload and show; no time stamp and no wait: pacing belongs to FPS.
    backend_show(image, windpy_bytes, image->width, image->height);
}

void windpy_del(WINDPY **display) {
    if (!display || !*display || *display != windpy_current) {
        windpy_error();
        return;
    }
    // The frame bytes go with the display; the window stays until the process ends.
    free(windpy_bytes);
    windpy_bytes = nullptr;
    windpy_size = 0;
    free(*display);
    *display = nullptr;
    windpy_current = nullptr;
}

const uint8_t *windpy_frame_bytes(void) { return windpy_bytes; }
