// Runs of effect operations (helix, rain, raster, radial ring, star, moving
// background, arch path, line frame) with fuzzed fields and image and frame
// sizes from the extremes (INT32_MIN, INT32_MAX, 0, -1, sizes no memory
// holds): no signed overflow, no draw outside an image, and a line frame
// reset onto a frame keeps both ends on it.
#include "effects/archpath.h"
#include "effects/backmove.h"
#include "effects/helix.h"
#include "effects/lradial.h"
#include "effects/lrain.h"
#include "effects/lstar.h"
#include "effects/raster.h"
#include "fuzz/fuzz_ops.h"
#include "imaging/img.h"
#include "vector/lframe.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

// An image of w x h as img_resize takes it: sizes it refuses (no pixels)
// pass through, sizes it would honour are kept to at most 64 x 64.
static void fuzz_resize(IMG *img, int32_t w, int32_t h) {
    int64_t pixels = (int64_t)w * h;
    if (w > 0 && h > 0 && pixels > 4096 && pixels <= INT32_MAX) w = w % 64 + 1, h = h % 64 + 1;
    img_resize(img, w, h);
}

static bool fuzz_on_frame(const LFRAME *f, const VEC2D *p) {
    return p->x >= 0 && p->x < f->width && p->y >= 0 && p->y < f->height;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_stream in{data, size};
    IMG *img = img_new(), *tile = img_new();
    HELIX *helix = helix_new();
    LRAIN *rain = lrain_new();
    RASTER *raster = raster_new();
    LRADIAL *ring = lradial_new();
    LSTAR *star = lstar_new();
    BACKMOVE *back = backmove_new();
    ARCHPATH *arch = archpath_new();
    LFRAME *frame = lframe_new();
    if (!img || !tile || !helix || !rain || !raster || !ring || !star || !back || !arch || !frame) abort();
    SEG2D *first_line = frame->line, *first_velocity = frame->velocity;
    img_resize(img, 32, 32);
    img_resize(tile, 8, 8);
    back->tile = tile, back->target = img;
    bool frame_fresh = true;  // ends placed by a reset on the current sizes
    for (int op = 0; op < fuzz_max_ops && in.n; op++) {
        uint8_t code = fuzz_byte(&in);
        int32_t v[4];
        for (int32_t &x : v) x = fuzz_int(&in);
        switch (code % 14) {
        case 0: fuzz_resize(img, v[0], v[1]); break;
        case 1: fuzz_resize(tile, v[0], v[1]); break;
        case 2:
            helix->phase = v[0], helix->frequency = v[1], helix->amplitude = v[2], helix->spread = fuzz_bound(v[3], 64, INT32_MAX);
            helix_step(helix);
            break;
        case 3:
            helix_draw_columns(helix, img), helix_draw_rows(helix, img), helix_draw_bands(helix, img);
            helix_draw_bands_vertical(helix, img), helix_draw_bands_vertical_back(helix, img);
            break;
        case 4:
            lrain_set_count(rain, fuzz_bound(v[0], 64, INT32_MAX));
            rain->vx = v[1], rain->vy = v[2], rain->width = v[3], rain->height = v[0];
            lrain_step(rain);
            break;
        case 5: lrain_scatter_all(rain), lrain_draw_points(rain, img), lrain_draw_streaks(rain, img); break;
        case 6:
            raster_set_size(raster, fuzz_bound(v[0], 256, INT32_MAX));
            raster->position = v[1], raster->speed = v[2];
            raster_step(raster), raster_smooth(raster, fuzz_bound(v[3], 64, INT32_MAX));
            break;
        case 7: raster_draw_rows(raster, img), raster_draw_rows_alpha(raster, img, v[0]), raster_draw_columns(raster, img); break;
        case 8:
            lradial_set_lines(ring, fuzz_bound(v[0], 64, INT32_MAX));
            ring->x = v[1], ring->y = v[2], ring->radius = v[3], ring->angle = v[0], ring->spin = v[1], ring->spacing = v[2];
            lradial_step(ring);
            lradial_draw_points(ring, img), lradial_draw_spokes(ring, img), lradial_draw_spokes_origin(ring, img);
            lradial_draw_spokes_thick(ring, img, fuzz_bound(v[3], 8, INT32_MAX)), lradial_draw_spokes_dither(ring, img);
            break;
        case 9:
            lstar_set_points(star, fuzz_bound(v[0], 64, INT32_MAX));
            star->x = v[1], star->y = v[2];
            lstar_step(star), lstar_draw(star, img);
            lstar_draw_thick(star, img, fuzz_bound(v[3], 8, INT32_MAX)), lstar_draw_dither(star, img, fuzz_bound(v[3], 8, INT32_MAX));
            break;
        case 10:
            back->offset_x = v[0], back->offset_y = v[1], back->dx = v[2], back->dy = v[3];
            back->tile_width = fuzz_bound(v[0], 64, INT32_MAX), back->tile_height = fuzz_bound(v[1], 64, INT32_MAX);
            backmove_step(back), backmove_draw(back);
            break;
        case 11:
            arch->x = v[0], arch->y = v[1], arch->angle = v[2], arch->turn = v[3], arch->radius = v[0];
            arch->arc_length = v[1], arch->arc_frame = v[2];
            archpath_step(arch), archpath_step_vary(arch), archpath_step_vary_long(arch), archpath_step_loop(arch);
            archpath_draw_point(arch, img), archpath_draw_a(arch, img), archpath_draw_b(arch, img);
            archpath_draw_a_mirrored(arch, img), archpath_draw_b_mirrored(arch, img);
            break;
        case 12: {
            // New sizes; a reset onto them succeeds only for positive ones.
            frame->width = v[0], frame->height = v[1], frame->speed = v[2];
            SEG2D *line = frame->line, *velocity = frame->velocity;
            switch (v[3] & 3) {
            case 0: lframe_reset_random(frame); break;
            case 1: lframe_reset_edge(frame); break;
            case 2: lframe_reset_corner(frame); break;
            default: break;
            }
            if (frame->line != line) {
                if (line != first_line) seg2d_del(&line);
                if (velocity != first_velocity) seg2d_del(&velocity);
            }
            frame_fresh = frame->line != line;
            if (frame_fresh) fuzz_check(fuzz_on_frame(frame, frame->line->a) && fuzz_on_frame(frame, frame->line->b));
            break;
        }
        case 13:
            frame->speed = fuzz_bound(v[0], 11, INT32_MAX);
            for (int k = 0; k < 8; k++) lframe_step(frame);
            if (frame_fresh && frame->speed >= 0)
                fuzz_check(fuzz_on_frame(frame, frame->line->a) && fuzz_on_frame(frame, frame->line->b));
            lframe_draw(frame, img), lframe_plot_middle(frame, img), lframe_plot_ends(frame, img);
            break;
        }
    }
    if (frame->line != first_line) seg2d_del(&frame->line), seg2d_del(&frame->velocity);
    seg2d_del(&first_line), seg2d_del(&first_velocity);
    lframe_del(&frame);
    archpath_del(&arch), backmove_del(&back), lstar_del(&star), lradial_del(&ring);
    raster_del(&raster), lrain_del(&rain), helix_del(&helix);
    img_del(&tile), img_del(&img);
    return 0;
}
