// Straightforward frame conversion: one pixel, three byte stores at a time.
#include "bench/reference_windpy.h"

#include <cstddef>

void reference_windpy_convert(const uint32_t *pixels, int32_t w, int32_t h, uint8_t *bytes) {
    if (!pixels || !bytes || w < 1 || h < 1) return;
    uint8_t *out = bytes + (size_t)(h - 1) * (size_t)w * 3;
    const uint32_t *in = pixels;
    for (int32_t y = 0; y < h; y++) {
        for (int32_t x = 0; x < w; x++) {
            uint32_t p = *in++;
            *out++ = (uint8_t)(p & 0xFF);          // blue
            *out++ = (uint8_t)((p >> 8) & 0xFF);   // green
            *out++ = (uint8_t)((p >> 16) & 0xFF);  // red
        }
        // Back over the row just written and the one below it.
        if (y + 1 < h) out -= (size_t)w * 6;
    }
}
