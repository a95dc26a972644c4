// Runs of BYTEMAP copies, blits, rectangles, wrap copies, value operations
// and resampling on two maps of fuzzed sizes (empty ones and sizes no memory
// holds included) with fuzzed positions and sizes: nothing may be read or
// written outside the values and no argument may overflow.
#include "audio/sample.h"
#include "fuzz/fuzz_ops.h"
#include "imaging/bytemap.h"
#include "imaging/img.h"

// As in the IMG target: sizes with values are kept to 48 x 48, the others
// pass as they come.
static void resize(BYTEMAP *map, int32_t w, int32_t h) {
    int64_t n = (int64_t)w * h;
    if (w > 0 && h > 0 && n <= INT32_MAX) {
        if (w > 48) w = w % 48 + 1;
        if (h > 48) h = h % 48 + 1;
    }
    bytemap_resize(map, w, h);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_stream in{data, size};
    BYTEMAP *maps[2] = {bytemap_new(), bytemap_new()};
    IMG *image = img_new();
    SAMPLE *palette = sample_new();
    if (!maps[0] || !maps[1] || !image || !palette) abort();
    sample_set_count(palette, 256);
    for (int op = 0; op < fuzz_max_ops && in.n; op++) {
        uint8_t code = fuzz_byte(&in);
        BYTEMAP *a = maps[code & 1], *b = maps[(code >> 1) & 1];
        int32_t v[8];
        for (int32_t &x : v) x = fuzz_int(&in);
        uint8_t value = (uint8_t)v[4];
        switch ((code >> 2) % 20) {
        case 0: resize(a, v[0], v[1]); break;
        case 1: bytemap_blit(a, b, v[0], v[1], v[2], v[3], v[4], v[5]); break;
        case 2: bytemap_blit_opaque(a, b, v[0], v[1], v[2], v[3], v[4], v[5]); break;
        case 3: bytemap_blit_spaced(a, b, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]); break;
        case 4: bytemap_draw_blend(a, b, v[0], v[1]); break;
        case 5:
            bytemap_blit_row_wrap(a, b, v[0], v[1], v[2]);
            bytemap_or_row_wrap(a, b, v[3], v[4], v[5]);
            break;
        case 6: bytemap_blit_column_wrap(a, b, v[0], v[1], v[2]); break;
        case 7: bytemap_fill_rect(a, v[0], v[1], v[2], v[3], value); break;
        case 8: bytemap_fill_rect_inside(a, v[0], v[1], v[2], v[3], value); break;
        case 9: bytemap_rect(a, v[0], v[1], v[2], v[3], value); break;
        case 10:
            bytemap_set_pixel(a, v[0], v[1], value);
            bytemap_get_pixel(a, v[2], v[3]);
            break;
        case 11: bytemap_scale(a, b); break;
        case 12: {
            BYTEMAP *turned = bytemap_rotate(a, v[0]);
            if (turned) bytemap_del(&turned);
            break;
        }
        case 13:
            bytemap_add_value(a, v[0]);
            bytemap_sub_value(a, v[1]);
            bytemap_invert(a);
            break;
        case 14:
            bytemap_noise(a, v[0], v[1]);
            bytemap_replace_value(a, value, (uint8_t)v[5]);
            break;
        case 15:
            bytemap_remap(a, b);
            bytemap_and(a, b);
            break;
        case 16: {
            img_resize(image, a->width > 0 && a->width <= 48 ? a->width : 1,
                       a->height > 0 && a->height <= 48 ? a->height : 1);
            bytemap_to_img(a, image, palette);
            break;
        }
        case 17: {
            bytemap_copy(a, b);
            BYTEMAP *copy = bytemap_dup(a);
            fuzz_check(!copy || bytemap_compare(a, copy));
            if (copy) bytemap_del(&copy);
            break;
        }
        default: {
            char *text = (int64_t)a->width * a->height <= 4096 ? bytemap_to_text(a) : nullptr;
            BYTEMAP *back = text ? bytemap_from_text(text) : nullptr;
            fuzz_check(!back || bytemap_compare(a, back));
            if (back) bytemap_del(&back);
            free(text);
            break;
        }
        }
    }
    bytemap_del(&maps[0]);
    bytemap_del(&maps[1]);
    img_del(&image);
    sample_del(&palette);
    return 0;
}
