// SINELINE: a chain of points following sums of three sine waves per axis.
// The record owns its point array (count x, y pairs). Phases are table angles
// kept in 0..1023; amplitudes follow width and height at every update.
// Limits: the wave sums wrap at 32 bits for sizes beyond about 2^16; phases a
// caller stores outside 0..1023 are read through the table mask.
#include "text/sineline.h"

#include <cstdlib>

#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "vector/seg2d.h"

RIVO_IDENTITY(sineline, "SINELINE", "20130321", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(sineline, 0, "SINELINE error\n");

// Indices of the axes inside each (x, y, z) triple.
enum { sineline_ax = 0, sineline_ay = 1 };

SINELINE *sineline_new(void) {
    SINELINE *line = (SINELINE *)calloc(1, sizeof(SINELINE));
    if (!line) {
        sineline_error();
        return nullptr;
    }
    line->width = 256;
    line->height = 256;
    line->depth = 256;
    line->color = 0xFF0000;
    sineline_set_count(line, 16);
    if (!line->points) {
        free(line);
        sineline_error();
        return nullptr;
    }
    sineline_reset(line);
    return line;
}

void sineline_del(SINELINE **line) {
    if (!line || !*line) {
        sineline_error();
        return;
    }
    free((*line)->points);
    free(*line);
    *line = nullptr;
}

int sineline_compare(const SINELINE *a, const SINELINE *b) {
    if (!a || !b) sineline_error();
    return 0;
}

void sineline_copy(const SINELINE *source, SINELINE *target) {
    if (!source || !target) sineline_error();
}

SINELINE *sineline_dup(const SINELINE *source) {
    if (!source) {
        sineline_error();
        return nullptr;
    }
    return sineline_new();
}

void sineline_set_count(SINELINE *line, int32_t n) {
    if (!line || n <= 0) {
        sineline_error();
        return;
    }
    free(line->points);
    line->count = n;
    line->points = (int32_t *)calloc((size_t)n, 2 * sizeof(int32_t));
    if (!line->points) {
        // No room: every operation refuses a line without points.
        sineline_error();
        return;
    }
    sineline_reset(line);
}

// A table angle from rand(): the modulus is the table's size.
static int32_t sineline_random_angle(void) { return random_rand() % sine_size; }

void sineline_reset(SINELINE *line) {
    if (!line || !line->points) {
        sineline_error();
        return;
    }
    int32_t(*p)[3] = line->phases;
    int32_t(*v)[3] = line->speeds;
    int32_t(*s)[3] = line->steps;
    // Wave 1: the wide, slow wave that moves forwards.
    p[0][0] = sineline_random_angle();
    p[0][1] = sineline_random_angle();
    v[0][0] = (random_rand() & 15) + 3;
    v[0][1] = (random_rand() & 15) + 3;
    s[0][0] = (random_rand() & 7) + 5;
    s[0][1] = (random_rand() & 7) + 6;
    // Wave 2 runs backwards against wave 1.
    p[1][0] = sineline_random_angle();
    p[1][1] = sineline_random_angle();
    v[1][0] = -2 - (random_rand() & 7);
    v[1][1] = -2 - (random_rand() & 7);
    s[1][0] = -((random_rand() & 15) + 6);
    s[1][1] = -((random_rand() & 15) + 7);
    // Wave 3: small and fast-changing along the chain.
    p[2][0] = sineline_random_angle();
    p[2][1] = sineline_random_angle();
    v[2][0] = (random_rand() & 3) + 1;
    v[2][1] = (random_rand() & 3) + 1;
    s[2][0] = (random_rand() & 31) + 7;
    s[2][1] = (random_rand() & 31) + 8;
    for (int32_t w = 0; w < 3; w++) {
        line->amplitudes[w][sineline_ax] = line->width / (2 << w);
        line->amplitudes[w][sineline_ay] = line->height / (2 << w);
    }
}

// An angle moved by d and brought back into 0..1023.
static int32_t sineline_turn(int32_t angle, int32_t d) {
    int32_t a = wrap_add(angle, d) % sine_size;
    return a < 0 ? a + sine_size : a;
}

// One coordinate: the centre plus the three waves. The shift is 16 while the
// table peaks at 32766, so each wave swings about half its amplitude.
static int32_t sineline_coordinate(int32_t centre, const int32_t (*amplitudes)[3],
                                   const int32_t *phase, int32_t axis) {
    int32_t sum = 0;
    for (int32_t w = 0; w < 3; w++)
        sum = wrap_add(sum, wrap_mul(sine_table[phase[w] & sine_mask], amplitudes[w][axis]));
    return wrap_add(centre, asr(sum, 16));
}

void sineline_update(SINELINE *line) {
    if (!line || !line->points) {
        sineline_error();
        return;
    }
    for (int32_t w = 0; w < 3; w++) {
        line->amplitudes[w][sineline_ax] = asr(line->width, w + 1);
        line->amplitudes[w][sineline_ay] = asr(line->height, w + 1);
    }
    int32_t cx = asr(line->width, 1);
    int32_t cy = asr(line->height, 1);
    int32_t px[3], py[3];
    for (int32_t w = 0; w < 3; w++) {
        px[w] = line->phases[w][sineline_ax];
        py[w] = line->phases[w][sineline_ay];
    }
    for (int32_t i = 0; i < line->count; i++) {
        line->points[2 * i] = sineline_coordinate(cx, line->amplitudes, px, sineline_ax);
        line->points[2 * i + 1] = sineline_coordinate(cy, line->amplitudes, py, sineline_ay);
        for (int32_t w = 0; w < 3; w++) {
            px[w] = sineline_turn(px[w], line->steps[w][sineline_ax]);
            py[w] = sineline_turn(py[w], line->steps[w][sineline_ay]);
        }
    }
    for (int32_t w = 0; w < 3; w++) {
        line->phases[w][sineline_ax] =
            sineline_turn(line->phases[w][sineline_ax], line->speeds[w][sineline_ax]);
        line->phases[w][sineline_ay] =
            sineline_turn(line->phases[w][sineline_ay], line->speeds[w][sineline_ay]);
    }
}

// Both the line and the image must be there, and the points.
static bool sineline_ready(const SINELINE *line, const IMG *img) {
    if (!line || !img || !line->points) {
        sineline_error();
        return false;
    }
    return true;
}

// The reflections a segment is drawn in: x and y exchanged first when
// swapped, then x taken from the image's right edge (W - x) and y from its
// bottom edge (H - y) as the flags say.
enum : uint8_t { sineline_swapped = 1, sineline_flip_x = 2, sineline_flip_y = 4 };
enum : uint8_t {
    sineline_plain = 0,                                                   // (x, y)
    sineline_mirror_x = sineline_flip_x,                                  // (W - x, y)
    sineline_mirror_y = sineline_flip_y,                                  // (x, H - y)
    sineline_mirror_xy = sineline_flip_x | sineline_flip_y,               // (W - x, H - y)
    sineline_swap = sineline_swapped,                                     // (y, x)
    sineline_swap_x = sineline_swapped | sineline_flip_x,                 // (W - y, x)
    sineline_swap_y = sineline_swapped | sineline_flip_y,                 // (y, H - x)
    sineline_swap_xy = sineline_swapped | sineline_flip_x | sineline_flip_y,  // (W - y, H - x)
};

static void sineline_map_point(uint8_t m, const IMG *img, int32_t x, int32_t y, int32_t *ox,
                               int32_t *oy) {
    *ox = (m & sineline_swapped) ? y : x;
    *oy = (m & sineline_swapped) ? x : y;
    if (m & sineline_flip_x) *ox = wrap_sub(img->width, *ox);
    if (m & sineline_flip_y) *oy = wrap_sub(img->height, *oy);
}

// Every segment i -> i + 1, each drawn in the n reflections of `maps` in turn.
static void sineline_draw_maps(const SINELINE *line, IMG *img, const uint8_t *maps,
                               int32_t n) {
    if (!sineline_ready(line, img)) return;
    const int32_t *p = line->points;
    for (int32_t i = 0; i + 1 < line->count; i++)
        for (int32_t k = 0; k < n; k++) {
            int32_t x0, y0, x1, y1;
            sineline_map_point(maps[k], img, p[2 * i], p[2 * i + 1], &x0, &y0);
            sineline_map_point(maps[k], img, p[2 * i + 2], p[2 * i + 3], &x1, &y1);
            img_line(img, x0, y0, x1, y1, line->color);
        }
}

void sineline_draw(const SINELINE *line, IMG *img) {
    static const uint8_t maps[] = {sineline_plain};
    sineline_draw_maps(line, img, maps, 1);
}

void sineline_draw_mirror_x(const SINELINE *line, IMG *img) {
    static const uint8_t maps[] = {sineline_plain, sineline_mirror_x};
    sineline_draw_maps(line, img, maps, 2);
}

void sineline_draw_mirror_y(const SINELINE *line, IMG *img) {
    static const uint8_t maps[] = {sineline_plain, sineline_mirror_y};
    sineline_draw_maps(line, img, maps, 2);
}

void sineline_draw_mirror4(const SINELINE *line, IMG *img) {
    static const uint8_t maps[] = {sineline_plain, sineline_mirror_x, sineline_mirror_y,
                                     sineline_mirror_xy};
    sineline_draw_maps(line, img, maps, 4);
}

void sineline_draw_mirror_diag(const SINELINE *line, IMG *img) {
    static const uint8_t maps[] = {sineline_plain, sineline_swap, sineline_mirror_xy,
                                     sineline_swap_xy};
    sineline_draw_maps(line, img, maps, 4);
}

void sineline_draw_mirror8(const SINELINE *line, IMG *img) {
    static const uint8_t maps[] = {sineline_plain,     sineline_mirror_x, sineline_mirror_y,
                                     sineline_mirror_xy, sineline_swap,     sineline_swap_x,
                                     sineline_swap_y,    sineline_swap_xy};
    sineline_draw_maps(line, img, maps, 8);
}

// The kinds of bar a graph puts under each of its points.
enum sineline_bar { sineline_no_bar, sineline_solid_bar, sineline_alpha_bar };

// Graph of the y values, point i at column i * dx, with its bars.
static void sineline_graph(const SINELINE *line, IMG *img, int32_t dx, sineline_bar bar) {
    if (!sineline_ready(line, img)) return;
    const int32_t *p = line->points;
    for (int32_t i = 0; i + 1 < line->count; i++)
        img_line(img, wrap_mul(i, dx), p[2 * i + 1], wrap_mul(i + 1, dx), p[2 * i + 3],
                 line->color);
    if (bar == sineline_no_bar) return;
    int32_t bottom = wrap_sub(line->height, 1);
    for (int32_t i = 0; i < line->count; i++) {
        if (bar == sineline_solid_bar)
            img_vline(img, wrap_mul(i, dx), p[2 * i + 1], bottom, line->color);
        else
            imgfx_vline_alpha(img, wrap_mul(i, dx), p[2 * i + 1], bottom, line->color, 128);
    }
}

void sineline_draw_graph_x(const SINELINE *line, IMG *img, int32_t dx) {
    sineline_graph(line, img, dx, sineline_no_bar);
}

void sineline_draw_graph_bars(const SINELINE *line, IMG *img, int32_t dx) {
    sineline_graph(line, img, dx, sineline_solid_bar);
}

void sineline_draw_graph_fill(const SINELINE *line, IMG *img, int32_t dx) {
    sineline_graph(line, img, dx, sineline_alpha_bar);
}

void sineline_draw_graph_y(const SINELINE *line, IMG *img, int32_t dy) {
    if (!sineline_ready(line, img)) return;
    const int32_t *p = line->points;
    for (int32_t i = 0; i + 1 < line->count; i++)
        img_line(img, p[2 * i], wrap_mul(i, dy), p[2 * i + 2], wrap_mul(i + 1, dy), line->color);
}

// |a| + |b| halved or eighthed; taken in 64 bits so no extreme point overflows.
static int32_t sineline_taxicab(int64_t a, int64_t b, int32_t shift) {
    int64_t d = (a < 0 ? -a : a) + (b < 0 ? -b : b);
    d >>= shift;
    return d > INT32_MAX ? INT32_MAX : (int32_t)d;
}

void sineline_draw_circles(const SINELINE *line, IMG *img) {
    if (!sineline_ready(line, img)) return;
    const int32_t *p = line->points;
    for (int32_t i = 0; i + 1 < line->count; i++) {
        int32_t r = sineline_taxicab((int64_t)p[2 * i + 2] - p[2 * i],
                                     (int64_t)p[2 * i + 3] - p[2 * i + 1], 1);
        img_fill_circle(img, p[2 * i], p[2 * i + 1], r, line->color);
    }
}

void sineline_draw_rings(const SINELINE *line, IMG *img) {
    if (!sineline_ready(line, img)) return;
    const int32_t *p = line->points;
    int32_t cx = line->width / 2, cy = line->height / 2;
    for (int32_t i = 0; i + 1 < line->count; i++) {
        int32_t r = sineline_taxicab((int64_t)p[2 * i] - cx, (int64_t)p[2 * i + 1] - cy, 3);
        // Each ring is a shade further on: 8 added to the whole pixel word.
        uint32_t colour = line->color + 8u * (uint32_t)i;
        img_fill_circle(img, p[2 * i], p[2 * i + 1], r, colour);
    }
}
