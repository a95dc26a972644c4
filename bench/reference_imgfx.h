// Straightforward versions of the frame's two filters, written directly from
// their definitions through img_get_pixel / img_set_pixel. Tests prove the fast
// versions bit-identical to these; benchmarks measure both.
#pragma once

#include <cstdint>

struct IMG;

// Running-sum row blur with radii rr, rg, rb (negative: nothing happens).
void reference_imgfx_blur_h_rgb(const IMG *source, IMG *target, int32_t rr, int32_t rg, int32_t rb);
// Five-wide glow: centre + neighbours at -2, -1, +1, +2 shifted right by k
// (0 <= k < 32), per channel, at most 255; visited from the last pixel back.
void reference_imgfx_glow_h5(const IMG *source, IMG *target, int32_t k);
