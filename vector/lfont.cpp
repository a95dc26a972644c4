// Line font made of 2D line objects.
// LFONT draws the OBJ2D glyph at index `code` of its glyph list at the pen,
// scaled, rotated and offset, then moves the pen one cell to the right.
// It owns its three vectors and the glyph objects, not the list record nor
// the target image. Glyph shapes never affect spacing.
#include "vector/lfont.h"

#include <cstdlib>

#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/vec2d.h"

RIVO_IDENTITY(lfont, "LFONT   ", "20120729", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lfont, 0, "LFONT Error.\n");

static VEC2D *lfont_vector(int32_t x, int32_t y) {
    VEC2D *v = vec2d_new();
    if (v) {
        v->x = x;
        v->y = y;
    }
    return v;
}

LFONT *lfont_new(void) {
    LFONT *f = (LFONT *)calloc(1, sizeof(LFONT));
    if (!f) {
        lfont_error();
        return nullptr;
    }
    f->position = lfont_vector(0, 0);
    f->size = lfont_vector(16, 16);
    f->scale = lfont_vector(1, 1);
    if (!f->position || !f->size || !f->scale) {
        if (f->position) vec2d_del(&f->position);
        if (f->size) vec2d_del(&f->size);
        if (f->scale) vec2d_del(&f->scale);
        free(f);
        lfont_error();
        return nullptr;
    }
    return f;
}

void lfont_del(LFONT **handle) {
    if (!handle || !*handle) {
        lfont_error();
        return;
    }
    LFONT *f = *handle;
    if (f->position) vec2d_del(&f->position);
    if (f->size) vec2d_del(&f->size);
    if (f->scale) vec2d_del(&f->scale);
    if (f->glyphs) {
        // The slots are cleared as their glyphs go, so a glyph listed twice
        // is destroyed once and the list holds no dangling handles.
        LIST *g = f->glyphs;
        for (int32_t i = 0; i < g->count; i++) {
            OBJ2D *o = (OBJ2D *)g->items[i];
            if (!o) continue;
            for (int32_t j = i; j < g->count; j++)
                if (g->items[j] == o) g->items[j] = nullptr;
            obj2d_del(&o);
        }
    }
    free(f);
    *handle = nullptr;
}

static bool lfont_ready(const LFONT *f) {
    if (!f || !f->glyphs || !f->position || !f->size || !f->scale) {
        lfont_error();
        return false;
    }
    return true;
}

void lfont_draw_char(LFONT *f) {
    if (!lfont_ready(f)) return;
    if (f->code < 0 || f->code >= f->glyphs->count) {
        lfont_error();
        return;
    }
    OBJ2D *glyph = (OBJ2D *)list_get(f->glyphs, f->code);
    if (!glyph) {
        lfont_error();
        return;
    }
    vec2d_copy(f->scale, glyph->scale);
    glyph->angle = f->angle;
    vec2d_copy(f->position, glyph->position);
    obj2d_draw(glyph, f->target);
    // The advance is fixed per font: cell width times the x factor.
    f->position->x = wrap_add(f->position->x, wrap_mul(f->size->x, f->scale->x));
}

uint32_t lfont_random_color(void) {
    // rand() stays below 32768, so red is always 0x80.
    return ((uint32_t)random_rand() & 0x7F7F7Fu) + 0x808080u;
}

void lfont_draw_char_random(LFONT *f) {
    if (!lfont_ready(f)) return;
    // The colour is drawn even when the code has no glyph: one draw per
    // call keeps the random sequence independent of the font's contents.
    uint32_t color = lfont_random_color();
    OBJ2D *glyph = (OBJ2D *)list_get(f->glyphs, f->code);
    if (!glyph) return;
    obj2d_set_color(glyph, color);
    lfont_draw_char(f);
}

void lfont_draw_line(LFONT *f, const char *text) {
    if (!f || !text) {
        lfont_error();
        return;
    }
    for (const char *c = text; *c && *c != '\n'; c++) {
        f->code = (unsigned char)*c;
        lfont_draw_char(f);
    }
}

void lfont_draw_text(LFONT *f, const char *text) {
    if (!lfont_ready(f) || !text || !f->target) {
        lfont_error();
        return;
    }
    int32_t start_x = f->position->x;
    for (const char *c = text; *c; c++) {
        if (*c == '\n') {
            f->position->y = wrap_add(f->position->y, wrap_mul(f->size->y, f->scale->y));
            f->position->x = start_x;
        } else {
            f->code = (unsigned char)*c;
            lfont_draw_char(f);
        }
    }
}

static void lfont_draw_nibble(LFONT *f, uint32_t n) {
    f->code = n <= 9 ? (int32_t)('0' + n) : (int32_t)('A' + n - 10);
    lfont_draw_char(f);
}

void lfont_draw_hex8(LFONT *f, uint32_t value) {
    if (!f) {
        lfont_error();
        return;
    }
    lfont_draw_nibble(f, (value >> 4) & 0xF);
    lfont_draw_nibble(f, value & 0xF);
}

void lfont_draw_hex16(LFONT *f, uint32_t value) {
    lfont_draw_hex8(f, value >> 8);
    lfont_draw_hex8(f, value);
}

void lfont_draw_hex32(LFONT *f, uint32_t value) {
    lfont_draw_hex16(f, value >> 16);
    lfont_draw_hex16(f, value & 0xFFFF);
}

void lfont_draw_decimal(LFONT *f, uint32_t value) {
    if (!f) {
        lfont_error();
        return;
    }
    for (uint32_t d = 1000000000u; d > 0; d /= 10) {
        f->code = (int32_t)('0' + (value / d) % 10);
        lfont_draw_char(f);
    }
}

void lfont_set_color(LFONT *f, uint32_t color) {
    if (!f || !f->glyphs) {
        lfont_error();
        return;
    }
    for (int32_t i = 0; i < f->glyphs->count; i++) {
        OBJ2D *glyph = (OBJ2D *)f->glyphs->items[i];
        if (glyph) obj2d_set_color(glyph, color);
    }
}

void lfont_random_colors(LFONT *f) {
    if (!f || !f->glyphs) {
        lfont_error();
        return;
    }
    // One draw per slot, empty slots included, last to first.
    for (int32_t i = f->glyphs->count - 1; i >= 0; i--) {
        uint32_t color = lfont_random_color();
        OBJ2D *glyph = (OBJ2D *)f->glyphs->items[i];
        if (glyph) obj2d_set_color(glyph, color);
    }
}
