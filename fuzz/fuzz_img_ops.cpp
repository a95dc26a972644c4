// Runs of IMG and IMGFX copies, blits, rectangles, wrap copies, pixel access
// and resampling on two images of fuzzed sizes (empty ones and sizes no memory
// holds included) with fuzzed positions and sizes: nothing may be read or
// written outside the pixels and no argument may overflow.
#include "fuzz/fuzz_ops.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"

// Sizes with pixels are kept to 48 x 48; sizes without pixels (a zero side)
// and sizes no memory holds (negative, or more than 2^31 - 1 pixels) pass as
// they come.
static void resize(IMG *image, int32_t w, int32_t h) {
    int64_t n = (int64_t)w * h;
    if (w > 0 && h > 0 && n <= INT32_MAX) {
        if (w > 48) w = w % 48 + 1;
        if (h > 48) h = h % 48 + 1;
    }
    img_resize(image, w, h);
}

// The run lengths walk their larger magnitude: kept to 1 << 16.
static int32_t run_arg(int32_t v) {
    return v == INT32_MIN ? v : (v < 0 ? -((-v) % 65536) : v % 65536);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_stream in{data, size};
    IMG *images[2] = {img_new(), img_new()};
    if (!images[0] || !images[1]) abort();
    for (int op = 0; op < fuzz_max_ops && in.n; op++) {
        uint8_t code = fuzz_byte(&in);
        IMG *a = images[code & 1], *b = images[(code >> 1) & 1];
        int32_t v[8];
        for (int32_t &x : v) x = fuzz_int(&in);
        switch ((code >> 2) % 24) {
        case 0: resize(a, v[0], v[1]); break;
        case 1: img_blit(a, b, v[0], v[1], v[2], v[3], v[4], v[5]); break;
        case 2: img_blit_opaque(a, b, v[0], v[1], v[2], v[3], v[4], v[5]); break;
        case 3: img_blit_add(a, b, v[0], v[1], v[2], v[3], v[4], v[5]); break;
        case 4: img_blit_add_sat(a, b, v[0], v[1], v[2], v[3], v[4], v[5]); break;
        case 5: imgfx_blit_blend(a, b, v[0], v[1], v[2], v[3], v[4], v[5]); break;
        case 6: img_blit_spaced(a, b, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]); break;
        case 7:
            a->x = v[0], a->y = v[1];
            img_draw(a, b);
            imgfx_draw_blend(a, b);
            break;
        case 8:
            img_blit_row_wrap(a, b, v[0], v[1], v[2]);
            img_or_row_wrap(a, b, v[3], v[4], v[5]);
            break;
        case 9:
            img_blit_column_wrap(a, b, v[0], v[1], v[2]);
            img_copy_row(a, b, v[3], v[4]);
            break;
        case 10: img_fill_rect(a, v[0], v[1], v[2], v[3], (uint32_t)v[4]); break;
        case 11: img_rect(a, v[0], v[1], v[2], v[3], (uint32_t)v[4]); break;
        case 12: img_invert_rect(a, v[0], v[1], v[2], v[3]); break;
        case 13: imgfx_xor_rect(a, v[0], v[1], v[2], v[3], (uint32_t)v[4]); break;
        case 14:
            img_set_pixel(a, v[0], v[1], (uint32_t)v[2]);
            img_get_pixel(a, v[3], v[4]);
            break;
        case 15: img_scale(a, b); break;
        case 16: {
            IMG *turned = img_rotate(a, v[0]);
            if (turned) img_del(&turned);
            break;
        }
        case 17: free(img_run_lengths(run_arg(v[0]), run_arg(v[1]))); break;
        case 18: free(img_run_lengths_mirrored(run_arg(v[0]), run_arg(v[1]))); break;
        case 19:
            img_copy(a, b);
            fuzz_check(!a->pixels || !b->pixels || a == b || a->width != b->width ||
                       a->height != b->height || img_compare(a, b));
            break;
        case 20: {
            IMG *copy = img_dup(a);
            fuzz_check(!copy || img_compare(a, copy));
            if (copy) img_del(&copy);
            break;
        }
        case 21:
            img_scale_colour(a, v[0] < 0 ? 0 : v[0], v[1] < 1 ? 1 : v[1]);
            img_add_colour(a, (uint32_t)v[2]);
            break;
        case 22:
            imgfx_blit_add(a, b, v[0], v[1], v[2], v[3], v[4], v[5]);
            imgfx_fill_rect(a, v[6], v[7], v[0], v[1], 0);
            break;
        default: {
            char *text = (int64_t)a->width * a->height <= 4096 ? img_to_text(a) : nullptr;
            IMG *back = text ? img_from_text(text) : nullptr;
            // The text holds the colour channels only, not the top byte.
            fuzz_check(!back || (back->width == a->width && back->height == a->height));
            if (back) img_del(&back);
            free(text);
            break;
        }
        }
    }
    img_del(&images[0]);
    img_del(&images[1]);
    return 0;
}
