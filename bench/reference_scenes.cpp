// The wave mesh as an OBJ2D: every frame the mesh is copied into a working
// object, each segment coloured, and the copy drawn with its mirror transform.
#include "bench/reference_scenes.h"

#include "demo/resources.h"
#include "effects/raster.h"
#include "host/int.h"
#include "host/random.h"
#include "imaging/img.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

static OBJ2D *reference_mesh = nullptr;
static OBJ2D *reference_mesh_work = nullptr;
static int32_t row_phase, row_speed, row_amplitude, row_step;
static int32_t column_phase, column_speed, column_amplitude, column_step;

void reference_mesh_setup(void) {
    if (!reference_mesh) {
        reference_mesh = obj2d_new();
        for (int32_t s = 0; s < 2 * 64 * 64; s++) obj2d_add_segment(reference_mesh, seg2d_new());
        reference_mesh_work = obj2d_dup(reference_mesh);
    }
    row_phase = random_next() & 1023;
    row_speed = (random_next() & 15) + 3;
    row_amplitude = (random_next() & 15) + 12;
    row_step = (random_next() & 31) + 24;
    column_phase = random_next() & 1023;
    column_speed = (random_next() & 31) + 3;
    column_amplitude = (random_next() & 15) + 12;
    column_step = (random_next() & 31) + 24;
    for (int32_t n = 0; n < 4; n++) random_next();
}

static void reference_point(VEC2D *v, int32_t i, int32_t j) {
    int32_t row = wrap_mul(sine_table[(row_phase + row_step * i) & 1023], row_amplitude);
    int32_t col = wrap_mul(sine_table[(column_phase + column_step * j) & 1023], column_amplitude);
    v->x = 6 * j + 6 * i;
    v->y = 6 * i + asr(wrap_add(row, col), 15);
}

void reference_mesh_frame(IMG *image, int32_t frames) {
    obj2d_copy(reference_mesh, reference_mesh_work);
    for (int32_t s = 0; s < 2 * 64 * 64; s++) {
        SEG2D *seg = (SEG2D *)list_get(reference_mesh_work->segments, s);
        uint32_t colour = demo_colour(wrap_add(16 * (s % 64) + 16 * (s / 128), wrap_mul(10, frames)));
        seg->a->color = colour;
        seg->b->color = colour;
    }
    reference_mesh_work->angle = 0;
    reference_mesh_work->scale->x = -1;
    reference_mesh_work->position->x = 128 + (64 * 6 + 64 * 6) / 2;
    reference_mesh_work->position->y = 128 - (64 * 6) / 2;
    obj2d_draw(reference_mesh_work, image);
    for (int32_t i = 0; i < 64; i++) {
        for (int32_t j = 0; j < 64; j++) {
            SEG2D *h = (SEG2D *)list_get(reference_mesh->segments, 64 * i + j);
            reference_point(h->a, i, j);
            reference_point(h->b, i, j < 63 ? j + 1 : j);
            SEG2D *v = (SEG2D *)list_get(reference_mesh->segments, 4096 + 64 * i + j);
            reference_point(v->a, i, j);
            reference_point(v->b, i < 63 ? i + 1 : i, j);
        }
    }
    row_phase = (row_phase + row_speed) & 1023;
    column_phase = (column_phase + column_speed) & 1023;
}

void reference_draw_blend(const IMG *source, IMG *target) {
    for (int32_t y = 0; y < source->height; y++) {
        for (int32_t x = 0; x < source->width; x++) {
            int32_t tx = source->x + x, ty = source->y + y;
            uint32_t s = img_get_pixel(source, x, y);
            if (s == 0 || tx < 0 || ty < 0 || tx >= target->width || ty >= target->height) continue;
            uint32_t t = img_get_pixel(target, tx, ty);
            img_set_pixel(target, tx, ty, ((t >> 1) & 0x7F7F7Fu) + ((s >> 1) & 0x7F7F7Fu));
        }
    }
}

void reference_letters_draw(const IMG *picture, const RASTER *plasma, IMG *target, int32_t x, int32_t y, int blend) {
    IMG *work = img_new();
    img_resize(work, picture->width, picture->height);
    raster_draw_rows(plasma, work);
    img_and(picture, work);
    work->x = x, work->y = y;
    if (blend) reference_draw_blend(work, target);
    else img_draw(work, target);
    img_del(&work);
}

void reference_pixelate_average_centred(IMG *image, int32_t bw, int32_t bh) {
    // An even number of blocks, at least one more than fits, centred.
    int32_t x0 = (image->width - ((image->width / bw + 2) & ~1) * bw) / 2;
    int32_t y0 = (image->height - ((image->height / bh + 2) & ~1) * bh) / 2;
    for (int32_t by = y0; by < image->height; by += bh) {
        for (int32_t bx = x0; bx < image->width; bx += bw) {
            uint64_t r = 0, g = 0, b = 0, n = 0;
            for (int32_t y = by; y < by + bh; y++) {
                for (int32_t x = bx; x < bx + bw; x++) {
                    if (x < 0 || y < 0 || x >= image->width || y >= image->height) continue;
                    uint32_t p = img_get_pixel(image, x, y);
                    r += (p >> 16) & 0xFF, g += (p >> 8) & 0xFF, b += p & 0xFF, n++;
                }
            }
            if (n == 0) continue;
            uint32_t c = (uint32_t)(r / n) << 16 | (uint32_t)(g / n) << 8 | (uint32_t)(b / n);
            for (int32_t y = by; y < by + bh; y++)
                for (int32_t x = bx; x < bx + bw; x++)
                    if (x >= 0 && y >= 0 && x < image->width && y < image->height) img_set_pixel(image, x, y, c);
        }
    }
}
