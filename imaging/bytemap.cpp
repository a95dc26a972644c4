// BYTEMAP: one byte per pixel (x, y, width, height, owned row-major values),
// the grey sibling of IMG: lifecycle, the "BYTEMAP{" text form, PNM decoders
// and the PGM writer, blits, rectangles, spans, lines, resampling and value
// operations. The decoders never read past the input they are given.
// Limits: at most 2^31 - 1 values per map; PNM maxval is taken as 255.
#include "imaging/bytemap.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/sample.h"
#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "imaging/img_geom.h"
#include "imaging/pnm.h"
#include "vector/seg2d.h"

RIVO_IDENTITY(bytemap, "BYTEMAP ", "20110512", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(bytemap, 0, "BYTEMAP error\n");

// ---- Lifecycle and access --------------------------------------------------------

// Number of values for a size, or -1 when the size is negative or the count
// would not fit a signed 32-bit index (treated as a failed allocation).
static int64_t bytemap_count(int64_t width, int64_t height) {
    if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX) return -1;
    int64_t n = width * height;
    return n > INT32_MAX ? -1 : n;
}

// Zero-filled values; an empty map still gets one byte so that its pixels
// are present (absent pixels mean a failed allocation).
static uint8_t *bytemap_alloc(int32_t width, int32_t height) {
    int64_t n = bytemap_count(width, height);
    if (n < 0) return nullptr;
    return (uint8_t *)calloc(n > 0 ? (size_t)n : 1, 1);
}

static size_t bytemap_size(const BYTEMAP *map) {
    return (size_t)map->width * (size_t)map->height;
}

// True when the map can be walked; reports otherwise.
static bool bytemap_usable(const BYTEMAP *map) {
    if (!map || !map->pixels) {
        bytemap_error();
        return false;
    }
    return true;
}

BYTEMAP *bytemap_new(void) {
    BYTEMAP *map = (BYTEMAP *)calloc(1, sizeof(BYTEMAP));
    if (!map) {
        bytemap_error();
        return nullptr;
    }
    map->width = 16;
    map->height = 16;
    map->pixels = bytemap_alloc(16, 16);
    if (!map->pixels) {
        free(map);
        bytemap_error();
        return nullptr;
    }
    return map;
}

void bytemap_del(BYTEMAP **map) {
    if (!map || !*map) {
        bytemap_error();
        return;
    }
    free((*map)->pixels);
    free(*map);
    *map = nullptr;
}

void bytemap_resize(BYTEMAP *map, int32_t width, int32_t height) {
    if (!map) {
        bytemap_error();
        return;
    }
    free(map->pixels);
    map->pixels = bytemap_alloc(width, height);
    map->width = width;
    map->height = height;
}

// A new map of the given size, or null (nothing left allocated).
static BYTEMAP *bytemap_make(int32_t width, int32_t height) {
    BYTEMAP *map = bytemap_new();
    if (!map) return nullptr;
    bytemap_resize(map, width, height);
    if (!map->pixels) bytemap_del(&map);
    return map;
}

BYTEMAP *bytemap_dup(const BYTEMAP *source) {
    if (!bytemap_usable(source)) return nullptr;
    BYTEMAP *copy = bytemap_make(source->width, source->height);
    if (!copy) {
        bytemap_error();
        return nullptr;
    }
    memcpy(copy->pixels, source->pixels, bytemap_size(source));
    return copy;
}

void bytemap_copy(const BYTEMAP *source, BYTEMAP *target) {
    if (!bytemap_usable(source) || !bytemap_usable(target)) return;
    if (source->width != target->width || source->height != target->height) {
        bytemap_error();
        return;
    }
    memmove(target->pixels, source->pixels, bytemap_size(source));
}

int bytemap_compare(const BYTEMAP *a, const BYTEMAP *b) {
    if (!bytemap_usable(a) || !bytemap_usable(b)) return 0;
    if (a->width != b->width || a->height != b->height) return 0;
    return memcmp(a->pixels, b->pixels, bytemap_size(a)) == 0;
}

void bytemap_clear(BYTEMAP *map) {
    if (!bytemap_usable(map)) return;
    memset(map->pixels, 0, bytemap_size(map));
}

static inline bool bytemap_inside(const BYTEMAP *map, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < map->width && y < map->height;
}

static inline uint8_t *bytemap_at(const BYTEMAP *map, int64_t x, int64_t y) {
    return map->pixels + (size_t)y * (size_t)map->width + (size_t)x;
}

void bytemap_set_pixel(BYTEMAP *map, int32_t x, int32_t y, uint8_t value) {
    if (!bytemap_usable(map)) return;
    if (bytemap_inside(map, x, y)) *bytemap_at(map, x, y) = value;
}

uint8_t bytemap_get_pixel(const BYTEMAP *map, int32_t x, int32_t y) {
    if (!map) {
        bytemap_error();
        return 0;
    }
    if (!map->pixels || !bytemap_inside(map, x, y)) return 0;
    return *bytemap_at(map, x, y);
}

// ---- Text form ------------------------------------------------------------------------

char *bytemap_to_text(const BYTEMAP *map) {
    if (!bytemap_usable(map)) return nullptr;
    const uint8_t *values = map->pixels;
    // Each value is written as a grey triple.
    char *text = pnm_text_write("BYTEMAP", map->width, map->height, bytemap_size(map),
                                [values](size_t i) { return values[i] * 0x10101u; });
    if (!text) bytemap_error();
    return text;
}

int32_t bytemap_find_text(const char *text, const char *pattern) {
    if (!text || !pattern) {
        bytemap_error();
        return 0;
    }
    return pnm_find(text, pattern);
}

// Mean of a grey triple, kept to one byte.
static uint8_t bytemap_mean(uint32_t r, uint32_t g, uint32_t b) {
    return (uint8_t)(((uint64_t)r + g + b) / 3);
}

static BYTEMAP *bytemap_text_body(const char *text) {
    int32_t width, height;
    const char *s;
    if (!pnm_text_header(text, "BYTEMAP", &width, &height, &s)) return nullptr;
    BYTEMAP *map = bytemap_make(width, height);
    if (!map) return nullptr;
    int64_t n = (int64_t)width * height;
    for (int64_t i = 0; i < n; i++) {
        uint32_t r, g, b;
        if (!pnm_text_sample(&s, &r) || !pnm_text_sample(&s, &g) || !pnm_text_sample(&s, &b)) {
            bytemap_del(&map);
            return nullptr;
        }
        map->pixels[i] = bytemap_mean(r, g, b);
    }
    return map;
}

BYTEMAP *bytemap_from_text(const char *text) {
    if (!text) {
        bytemap_error();
        return nullptr;
    }
    BYTEMAP *map = bytemap_text_body(text);
    if (!map) bytemap_error();
    return map;
}

// ---- PNM decoders ------------------------------------------------------------------------

static BYTEMAP *bytemap_pnm_decode(pnm_reader *r) {
    pnm_header h;
    if (!pnm_read_header(r, &h)) return nullptr;
    BYTEMAP *map = bytemap_make((int32_t)h.field[0], (int32_t)h.field[1]);
    if (!map) return nullptr;
    uint8_t *values = map->pixels;
    // Grey samples keep their low byte; a colour becomes the mean of its samples.
    auto put = [values](size_t i, int channels, uint32_t a, uint32_t b, uint32_t c) {
        if (channels == PNM_BIT)
            values[i] = a ? 255 : 0;
        else if (channels == PNM_GREY)
            values[i] = (uint8_t)a;
        else
            values[i] = bytemap_mean(a, b, c);
    };
    if (!pnm_read_raster(r, h.kind, map->width, map->height, put)) bytemap_del(&map);
    return map;
}

BYTEMAP *bytemap_from_pnm(const void *data, size_t size) {
    if (!data) {
        bytemap_error();
        return nullptr;
    }
    pnm_reader r = pnm_reader_memory(data, size);
    BYTEMAP *map = bytemap_pnm_decode(&r);
    if (!map) bytemap_error();
    return map;
}

BYTEMAP *bytemap_load_pnm(const char *file_name) {
    FILE *file = file_name ? fopen(file_name, "rb") : nullptr;
    if (!file) {
        bytemap_error();
        return nullptr;
    }
    pnm_reader r = pnm_reader_file(file);
    BYTEMAP *map = bytemap_pnm_decode(&r);
    fclose(file);
    if (!map) bytemap_error();
    return map;
}

int bytemap_save_pgm(const BYTEMAP *map, const char *file_name) {
    if (!bytemap_usable(map)) return 0;
    if (!file_name || map->width <= 0 || map->height <= 0) {
        bytemap_error();
        return 0;
    }
    FILE *file = fopen(file_name, "wb");
    if (!file) {
        bytemap_error();
        return 0;
    }
    size_t n = bytemap_size(map);
    bool ok = fprintf(file, "P5\n%d %d\n255\n", map->width, map->height) > 0;
    ok = fwrite(map->pixels, 1, n, file) == n && ok;
    ok = fclose(file) == 0 && ok;
    if (!ok) bytemap_error();
    return ok;
}

// ---- Blits -------------------------------------------------------------------------------

// Clips a source rectangle against both maps; false when nothing is transferred.
static bool bytemap_clip_blit(const BYTEMAP *source, const BYTEMAP *target, int64_t sx,
                              int64_t sy, int64_t dx, int64_t dy, int64_t w, int64_t h,
                              img_geom_span *out) {
    return img_geom_clip_blit(source->width, source->height, target->width, target->height, sx, sy,
                              dx, dy, w, h, out);
}

enum bytemap_blit_mode { BYTEMAP_KEYED, BYTEMAP_OPAQUE, BYTEMAP_BLEND };

// Walks the clipped rectangle with one source and one target pointer per row.
template <bytemap_blit_mode mode>
static void bytemap_blit_rows(const BYTEMAP *source, BYTEMAP *target, const img_geom_span &c) {
    const uint8_t *s = bytemap_at(source, c.sx, c.sy);
    uint8_t *t = bytemap_at(target, c.dx, c.dy);
    for (int32_t j = 0; j < c.h; j++) {
        for (int32_t i = 0; i < c.w; i++) {
            if constexpr (mode == BYTEMAP_KEYED) {
                if (s[i]) t[i] = s[i];
            } else if constexpr (mode == BYTEMAP_OPAQUE) {
                t[i] = s[i];
            } else {
                t[i] = (uint8_t)((s[i] + t[i]) / 2);
            }
        }
        s += source->width;
        t += target->width;
    }
}

template <bytemap_blit_mode mode>
static void bytemap_blit_run(const BYTEMAP *source, BYTEMAP *target, int32_t sx, int32_t sy,
                             int32_t dx, int32_t dy, int32_t w, int32_t h) {
    if (!bytemap_usable(source) || !bytemap_usable(target)) return;
    img_geom_span c;
    if (bytemap_clip_blit(source, target, sx, sy, dx, dy, w, h, &c))
        bytemap_blit_rows<mode>(source, target, c);
}

void bytemap_blit(const BYTEMAP *source, BYTEMAP *target, int32_t sx, int32_t sy, int32_t dx,
                  int32_t dy, int32_t w, int32_t h) {
    bytemap_blit_run<BYTEMAP_KEYED>(source, target, sx, sy, dx, dy, w, h);
}

void bytemap_blit_opaque(const BYTEMAP *source, BYTEMAP *target, int32_t sx, int32_t sy,
                         int32_t dx, int32_t dy, int32_t w, int32_t h) {
    bytemap_blit_run<BYTEMAP_OPAQUE>(source, target, sx, sy, dx, dy, w, h);
}

void bytemap_draw_blend(const BYTEMAP *source, BYTEMAP *target, int32_t x, int32_t y) {
    if (!bytemap_usable(source)) return;
    bytemap_blit_run<BYTEMAP_BLEND>(source, target, 0, 0, x, y, source->width, source->height);
}

void bytemap_blit_spaced(const BYTEMAP *source, BYTEMAP *target, int32_t sx, int32_t sy,
                         int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t step_x,
                         int32_t step_y) {
    img_geom_blit_spaced(source, target, sx, sy, dx, dy, w, h, step_x, step_y, bytemap_error);
}

// A target with no columns (rows) takes nothing: the wrap would divide by
// its width (height).
void bytemap_blit_row_wrap(const BYTEMAP *source, BYTEMAP *target, int32_t source_row,
                           int32_t target_row, int32_t offset) {
    img_geom_row_wrap<true>(source, target, source_row, target_row, offset, bytemap_error);
}

void bytemap_or_row_wrap(const BYTEMAP *source, BYTEMAP *target, int32_t source_row,
                         int32_t target_row, int32_t offset) {
    img_geom_row_wrap<false>(source, target, source_row, target_row, offset, bytemap_error);
}

void bytemap_blit_column_wrap(const BYTEMAP *source, BYTEMAP *target, int32_t source_column,
                              int32_t target_column, int32_t offset) {
    img_geom_column_wrap(source, target, source_column, target_column, offset, bytemap_error);
}

void bytemap_and(const BYTEMAP *mask, BYTEMAP *target) {
    if (!bytemap_usable(mask) || !bytemap_usable(target)) return;
    if (mask->width != target->width || mask->height != target->height) {
        bytemap_error();
        return;
    }
    size_t n = bytemap_size(mask);
    for (size_t i = 0; i < n; i++) target->pixels[i] &= mask->pixels[i];
}

// ---- Resampling -------------------------------------------------------------------------

int32_t *bytemap_run_lengths(int32_t a, int32_t b) {
    int32_t *runs = img_run_lengths(a, b);
    if (!runs) bytemap_error();
    return runs;
}

int32_t *bytemap_line_points(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    int32_t *points = img_line_points(x0, y0, x1, y1);
    if (!points) bytemap_error();
    return points;
}

void bytemap_scale(const BYTEMAP *source, BYTEMAP *target) {
    img_geom_scale(source, target, bytemap_run_lengths, bytemap_error);
}

BYTEMAP *bytemap_rotate(const BYTEMAP *source, int32_t angle) {
    if (!bytemap_usable(source)) return nullptr;
    int64_t nw = img_geom_turned_side(source->width);
    int64_t nh = img_geom_turned_side(source->height);
    BYTEMAP *map = bytemap_count(nw, nh) < 0 ? nullptr : bytemap_make((int32_t)nw, (int32_t)nh);
    if (!map) {
        bytemap_error();
        return nullptr;
    }
    img_geom_turn(source, map, angle);
    return map;
}

// ---- Drawing ------------------------------------------------------------------------------

// Fills a rectangle already clipped to the map.
static void bytemap_fill(BYTEMAP *map, int64_t x, int64_t y, int64_t w, int64_t h, uint8_t value) {
    for (int64_t j = 0; j < h; j++) memset(bytemap_at(map, x, y + j), value, (size_t)w);
}

void bytemap_fill_rect(BYTEMAP *map, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t value) {
    if (!bytemap_usable(map)) return;
    int64_t X = x, Y = y, W = w, H = h;
    if (W < 0) { X += W; W = -W; }
    if (H < 0) { Y += H; H = -H; }
    if (X + W < 1 || Y + H < 1 || X >= map->width || Y >= map->height) return;
    if (X < 0) { W += X; X = 0; }
    if (Y < 0) { H += Y; Y = 0; }
    if (W > map->width - X) W = map->width - X;
    if (H > map->height - Y) H = map->height - Y;
    bytemap_fill(map, X, Y, W, H, value);
}

// True when the rectangle lies wholly inside the map with w, h >= 1.
static bool bytemap_rect_inside(const BYTEMAP *map, int32_t x, int32_t y, int32_t w, int32_t h) {
    return x >= 0 && y >= 0 && w >= 1 && h >= 1 && (int64_t)x + w <= map->width &&
           (int64_t)y + h <= map->height;
}

void bytemap_fill_rect_inside(BYTEMAP *map, int32_t x, int32_t y, int32_t w, int32_t h,
                              uint8_t value) {
    if (!bytemap_usable(map)) return;
    if (!bytemap_rect_inside(map, x, y, w, h)) {
        bytemap_error();
        return;
    }
    bytemap_fill(map, x, y, w, h, value);
}

void bytemap_rect(BYTEMAP *map, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t value) {
    if (!bytemap_usable(map)) return;
    if (!bytemap_rect_inside(map, x, y, w, h)) {
        bytemap_error();
        return;
    }
    bytemap_fill(map, x, y, w, 1, value);
    bytemap_fill(map, x, (int64_t)y + h - 1, w, 1, value);
    bytemap_fill(map, x, y, 1, h, value);
    bytemap_fill(map, (int64_t)x + w - 1, y, 1, h, value);
}

void bytemap_circle_sine(BYTEMAP *map, int32_t cx, int32_t cy, int32_t r, uint8_t value) {
    if (!bytemap_usable(map)) return;
    if (!bytemap_inside(map, cx, cy) || r <= 0) {
        bytemap_error();
        return;
    }
    // Entry i is the sine, entry i + 256 the cosine, in units of 32768; the
    // right-hand points sit one column left of the mirrored left-hand ones.
    for (int32_t i = 0; i < 256; i++) {
        int64_t a = ((int64_t)sine_table[i] * r) >> 15;
        int64_t b = ((int64_t)sine_table[i + 256] * r) >> 15;
        const int64_t px[4] = {cx + b - 1, cx - b, cx + b - 1, cx - b};
        const int64_t py[4] = {cy + a, cy + a, cy - a, cy - a};
        for (int k = 0; k < 4; k++)
            if (bytemap_inside(map, px[k], py[k])) *bytemap_at(map, px[k], py[k]) = value;
    }
}

void bytemap_hline(BYTEMAP *map, int32_t x, int32_t y, int32_t len, uint8_t value) {
    if (!bytemap_usable(map)) return;
    int64_t x1 = (int64_t)x + len;
    if (y < 0 || y >= map->height || x1 < 0 || x >= map->width) {
        bytemap_error();
        return;
    }
    int64_t x0 = x < 0 ? 0 : x;
    if (x1 > map->width - 1) x1 = map->width - 1;
    for (int64_t i = x0; i <= x1; i++) *bytemap_at(map, i, y) = value;
}

void bytemap_vline(BYTEMAP *map, int32_t x, int32_t y, int32_t len, uint8_t value) {
    if (!bytemap_usable(map)) return;
    int64_t y1 = (int64_t)y + len;
    if (x < 0 || x >= map->width || y1 < 0 || y >= map->height) {
        bytemap_error();
        return;
    }
    int64_t y0 = y < 0 ? 0 : y;
    if (y1 > map->height - 1) y1 = map->height - 1;
    for (int64_t j = y0; j <= y1; j++) *bytemap_at(map, x, j) = value;
}

// Narrows the steps [lo, hi) to those in [first, end).
static void bytemap_clip_steps(int64_t first, int64_t end, int64_t *lo, int64_t *hi) {
    if (first > *lo) *lo = first;
    if (end < *hi) *hi = end;
    if (*hi < *lo) *hi = *lo;
}

// The first step in [lo, hi) at which `at_or_past` holds, it being false and
// then true along the steps.
template <typename Past>
static int64_t bytemap_first_step(int64_t lo, int64_t hi, Past at_or_past) {
    while (lo < hi) {
        const int64_t mid = lo + (hi - lo) / 2;
        if (at_or_past(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

// Narrows the steps [lo, hi) to those whose coordinate(i) lies in 0 .. size
// - 1; the coordinate grows along the steps, or shrinks when `falling`.
template <typename Coordinate>
static void bytemap_clip_monotone(Coordinate coordinate, bool falling, int64_t size, int64_t *lo, int64_t *hi) {
    int64_t first, end;
    if (!falling) {
        first = bytemap_first_step(*lo, *hi, [&](int64_t i) { return coordinate(i) >= 0; });
        end = bytemap_first_step(first, *hi, [&](int64_t i) { return coordinate(i) >= size; });
    } else {
        first = bytemap_first_step(*lo, *hi, [&](int64_t i) { return coordinate(i) < size; });
        end = bytemap_first_step(first, *hi, [&](int64_t i) { return coordinate(i) < 0; });
    }
    *lo = first;
    *hi = end;
}

void bytemap_line(BYTEMAP *map, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t value) {
    if (!bytemap_usable(map)) return;
    if (x0 > x1) {
        int32_t t = x0; x0 = x1; x1 = t;
        t = y0; y0 = y1; y1 = t;
    }
    if (x1 < 0 || x0 >= map->width || (y0 < 0 && y1 < 0) ||
        (y0 >= map->height && y1 >= map->height)) {
        bytemap_error();
        return;
    }
    if (map->width == 0 || map->height == 0) return;
    // 64-bit so that long lines keep their 16.16 steps exact.
    int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0, sy = dy < 0 ? -1 : 1;
    if (dy < 0) dy = -dy;
    if (dx == 0 && dy == 0) {
        bytemap_set_pixel(map, x0, y0, value);
        return;
    }
    // The walk runs over steps 0 .. n - 1 (the end point is left out); the
    // carried coordinate only grows or only shrinks, so the steps inside the
    // map form one range, found by halving before any pixel is set.
    const int64_t n = dx >= dy ? dx : dy;
    int64_t lo = 0, hi = n;
    if (dx >= dy) {
        // y is carried in 16.16 from the middle of its pixel (0x8000).
        const int64_t step = ((dy << 16) / dx) * sy, y_start = ((int64_t)y0 << 16) + 0x8000;
        auto row = [&](int64_t i) { return (y_start + step * i) >> 16; };
        bytemap_clip_steps(-(int64_t)x0, map->width - (int64_t)x0, &lo, &hi);
        bytemap_clip_monotone(row, step < 0, map->height, &lo, &hi);
        for (int64_t i = lo; i < hi; i++) *bytemap_at(map, x0 + i, row(i)) = value;
    } else {
        const int64_t step = (dx << 16) / dy, x_start = ((int64_t)x0 << 16) + 0x8000;
        auto column = [&](int64_t i) { return (x_start + step * i) >> 16; };
        if (sy > 0)
            bytemap_clip_steps(-(int64_t)y0, map->height - (int64_t)y0, &lo, &hi);
        else
            bytemap_clip_steps((int64_t)y0 - (map->height - 1), (int64_t)y0 + 1, &lo, &hi);
        bytemap_clip_monotone(column, false, map->width, &lo, &hi);
        for (int64_t i = lo; i < hi; i++) *bytemap_at(map, column(i), y0 + i * sy) = value;
    }
}

// ---- Value operations -------------------------------------------------------------------

void bytemap_add_value(BYTEMAP *map, int32_t v) {
    if (!bytemap_usable(map)) return;
    size_t n = bytemap_size(map);
    for (size_t i = 0; i < n; i++) map->pixels[i] = (uint8_t)((uint32_t)map->pixels[i] + (uint32_t)v);
}

void bytemap_sub_value(BYTEMAP *map, int32_t v) {
    if (!bytemap_usable(map)) return;
    size_t n = bytemap_size(map);
    for (size_t i = 0; i < n; i++) {
        int64_t b = (int64_t)map->pixels[i] - v;
        map->pixels[i] = (uint8_t)(b < 0 ? 0 : b > 255 ? 255 : b);
    }
}

void bytemap_replace_value(BYTEMAP *map, uint8_t from, uint8_t to) {
    if (!bytemap_usable(map)) return;
    size_t n = bytemap_size(map);
    for (size_t i = 0; i < n; i++)
        if (map->pixels[i] == from) map->pixels[i] = to;
}

void bytemap_invert(BYTEMAP *map) {
    if (!bytemap_usable(map)) return;
    size_t n = bytemap_size(map);
    for (size_t i = 0; i < n; i++) map->pixels[i] = (uint8_t)(255 - map->pixels[i]);
}

void bytemap_remap(BYTEMAP *map, const BYTEMAP *table) {
    if (!bytemap_usable(map) || !bytemap_usable(table)) return;
    if (bytemap_size(table) < 256) {
        bytemap_error();
        return;
    }
    size_t n = bytemap_size(map);
    for (size_t i = 0; i < n; i++) map->pixels[i] = table->pixels[map->pixels[i]];
}

void bytemap_noise(BYTEMAP *map, int32_t base, int32_t mask) {
    if (!bytemap_usable(map)) return;
    // The draws run from the last value to the first: that order is part of
    // what a seed produces.
    for (size_t i = bytemap_size(map); i-- > 0;)
        map->pixels[i] = (uint8_t)((uint32_t)base + (uint32_t)(random_next() & mask));
}

void bytemap_to_img(const BYTEMAP *map, IMG *image, const SAMPLE *palette) {
    if (!bytemap_usable(map) || !image || !image->pixels || !palette || !palette->data ||
        map->width != image->width || map->height != image->height || palette->count < 256) {
        bytemap_error();
        return;
    }
    size_t n = bytemap_size(map);
    for (size_t i = 0; i < n; i++) image->pixels[i] = (uint32_t)palette->data[map->pixels[i]];
}
