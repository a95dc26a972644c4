// Scenes 1 and 2: the logo columns over a shape sprinkle, and the wave mesh.
// Scene state lives in file statics so a scene that runs again continues
// where it stopped, unless its set-up resets it. The mesh is kept for the
// process: a later run of scene 2 starts from the grid the last one left.
#include "demo/demo.h"
#include "demo/resources.h"
#include "demo/scenes.h"

#include "host/int.h"
#include "host/random.h"
#include "imaging/img.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

// ---- Scene 1: logo columns -----------------------------------------------------

static int32_t columns_a, columns_a_speed, columns_a_step;
static int32_t columns_b, columns_b_speed, columns_b_step;
static int32_t columns_c, columns_c_speed, columns_c_step;
static int32_t columns_colour, columns_colour_step;
static int32_t columns_scroll, columns_scroll_speed;

static const uint32_t columns_tint = 0x50;

static void columns_setup(void) {
    columns_a = random_next() & 1023;
    columns_a_speed = (random_next() & 31) + 16;
    columns_a_step = (random_next() & 255) + 1;
    columns_b = random_next() & 1023;
    columns_b_speed = (random_next() & 15) + 16;
    columns_b_step = (random_next() & 255) + 1;
    columns_c = random_next() & 1023;
    columns_c_speed = (random_next() & 63) + 48;
    columns_c_step = (random_next() & 255) + 256;
    columns_colour = random_next() % 1536;
    random_next();  // drawn, not used
    columns_colour_step = (random_next() & 31) + 241;
    columns_scroll = 0;
    columns_scroll_speed = -1 - (random_next() & 7);
    demo_fade_colour = (uint32_t)(random_next() & 15) * 0x0F0F0Fu + 0x101010u;
    demo_blur_on = 1;
    demo_glow_on = 0;
    if (random_next() & 7) {
        demo_white = 1;
        demo_fade = 0;
    } else {
        demo_white = 0;
        demo_fade = 1;
    }
    demo_font_tint(columns_tint);
}

static void columns_sprinkle(void) {
    LFONT *f = demo_lfont_shapes;
    int32_t shapes = demo_shapes ? demo_shapes->count : 0;
    int32_t m = (random_next() & 3) + 1;
    for (int32_t n = 0; n <= m; n++) {
        int32_t shape = shapes > 0 ? random_next() % shapes : random_next();
        int32_t x = random_next() % 256;
        int32_t y = random_next() % 256;
        int32_t scale = (random_next() & 1) + 1;
        if (!f || !f->position || !f->scale) continue;
        f->code = shape;
        f->position->x = x;
        f->position->y = y;
        f->scale->x = scale;
        f->scale->y = scale;
        lfont_draw_char_random(f);
    }
}

// Gives the glyphs the row's colour. Every glyph takes the colour of the
// last row, so the rows before it need to colour only the letters they draw:
// what is drawn and what the font holds afterwards are the same.
static void columns_colour_glyphs(LFONT *f, uint32_t colour, bool last_row) {
    if (last_row || !f->glyphs) {
        lfont_set_color(f, colour);
        return;
    }
    for (int32_t k = 0; k < 4; k++) {
        int32_t code = (unsigned char)demo_logo_word[k];
        if (code < f->glyphs->count && f->glyphs->items[code])
            obj2d_set_color((OBJ2D *)f->glyphs->items[code], colour);
    }
}

static void columns_draw_rows(void) {
    LFONT *f = demo_lfont8;
    if (!f || !f->position || !f->scale) return;
    int32_t a = columns_a, b = columns_b, c = columns_c;
    int32_t colour = columns_colour;
    int32_t y = columns_scroll;
    for (int32_t j = 0; j < 10; j++) {
        columns_colour_glyphs(f, demo_colour(colour), j == 9);
        f->angle = 0;
        int32_t sx = asr(sine_table[a] + sine_table[b] + 10, 12);
        int32_t sy = asr(sine_table[c], 14) + 10;
        f->scale->x = sx;
        f->scale->y = sy;
        y += 64;
        f->position->x = (256 - 32 * sx) / 2 + (8 * sx) / 2;
        f->position->y = y;
        for (int32_t k = 0; k < 4; k++) {
            f->code = (unsigned char)demo_logo_word[k];
            lfont_draw_char(f);
        }
        a = (a + columns_a_step) & 1023;
        b = (b + columns_b_step) & 1023;
        c = (c + columns_c_step) & 1023;
        colour = (colour + columns_colour_step) % 1536;
    }
    // Past one row's height the first row drops off and the phases move on
    // by one row, so the columns climb without a jump.
    if (columns_scroll < -64) {
        columns_a = (columns_a + columns_a_step) & 1023;
        columns_b = (columns_b + columns_b_step) & 1023;
        columns_c = (columns_c + columns_c_step) & 1023;
        columns_colour = (columns_colour + columns_colour_step) % 1536;
        columns_scroll += 64;
    }
    columns_scroll += columns_scroll_speed;
    columns_a = (columns_a + columns_a_speed) & 1023;
    columns_c = (columns_c + columns_c_speed) & 1023;
    columns_b = (columns_b + columns_b_speed) & 1023;
}

static void columns_frame(int32_t) {
    columns_sprinkle();
    columns_draw_rows();
    demo_status();
    demo_logo_wobble();
}

static void columns_tidy(void) { demo_font_untint(columns_tint); }

const DEMO_SCENE demo_scene_columns = {
    "logo columns", DEMO_FRAMES_LOGO_COLUMNS, columns_setup, columns_frame, columns_tidy, 1, 1, 1,
};


// ---- Scene 2: wave mesh ----------------------------------------------------------

// 64 x 64 grid points, 6 pixels apart; two segments leave every point:
// segment 64 i + j along row i to the next column, segment 4096 + 64 i + j
// down column j to the next row (the last column and row to themselves).
static const int32_t mesh_side = 64;
static const int32_t mesh_gap = 6;
static const int32_t mesh_segments = 2 * mesh_side * mesh_side;

// The grid as computed in the frame before. Until the first computation every
// segment runs from (0, 0) to (1, 1), as new segments do.
static int32_t mesh_x[mesh_side][mesh_side], mesh_y[mesh_side][mesh_side];
static bool mesh_made = false, mesh_computed = false;
static int32_t mesh_row_phase, mesh_row_speed, mesh_row_amplitude, mesh_row_step;
static int32_t mesh_column_phase, mesh_column_speed, mesh_column_amplitude, mesh_column_step;

static void mesh_setup(void) {
    demo_fade_colour = 0x080808;
    demo_glow_on = 0;
    demo_blur_on = 0;
    demo_fade = 0;
    demo_white = 0;
    mesh_made = true;
    mesh_row_phase = random_next() & 1023;
    mesh_row_speed = (random_next() & 15) + 3;
    mesh_row_amplitude = (random_next() & 15) + 12;
    mesh_row_step = (random_next() & 31) + 24;
    mesh_column_phase = random_next() & 1023;
    mesh_column_speed = (random_next() & 31) + 3;
    mesh_column_amplitude = (random_next() & 15) + 12;
    mesh_column_step = (random_next() & 31) + 24;
    for (int32_t n = 0; n < 4; n++) random_next();  // drawn, not used
}

// Segment s from (e0, e1) to (e2, e3) before the object's transform, drawn
// mirrored and moved by (px, py) into the w x h frame in palette colour
// `shade`. Every point of a line lies in the box of its ends, so a segment
// whose box misses the frame draws nothing and is skipped, and one whose ends
// are both inside needs no clipping.
static inline void mesh_segment(IMG *frame, int32_t w, int32_t h, int32_t e0, int32_t e1, int32_t e2, int32_t e3,
                                int32_t px, int32_t py, int32_t shade) {
    int32_t x0 = wrap_add(wrap_mul(e0, -1), px), y0 = wrap_add(e1, py);
    int32_t x1 = wrap_add(wrap_mul(e2, -1), px), y1 = wrap_add(e3, py);
    if ((x0 < 0 && x1 < 0) || (y0 < 0 && y1 < 0) || (x0 >= w && x1 >= w) || (y0 >= h && y1 >= h)) return;
    uint32_t colour = demo_colour(shade);
    if (x0 >= 0 && x1 >= 0 && y0 >= 0 && y1 >= 0 && x0 < w && x1 < w && y0 < h && y1 < h)
        img_line_unclipped(frame, x0, y0, x1, y1, colour);
    else
        img_line(frame, x0, y0, x1, y1, colour);
}

// The mesh mirrored (x scale -1, angle 0) and moved to (512, -64): the
// sheared mesh is 2 * 64 * 6 wide and 64 * 6 high, and hangs from the right of
// the centre. Segments are drawn from the last to the first, segment s in
// palette colour 16 (s mod 64) + 16 (s div 128) + 10 f. Point (i, j) is
// 6 (i + j) left of px, so along each row only the columns near the frame's
// width can reach it; the others are not visited.
static void mesh_draw(int32_t frames) {
    IMG *frame = demo_frame;
    if (!mesh_made || !frame || !frame->pixels) return;
    const int32_t w = frame->width, h = frame->height;
    const int32_t px = 128 + (mesh_side * mesh_gap + mesh_side * mesh_gap) / 2;
    const int32_t py = 128 - (mesh_side * mesh_gap) / 2;
    const int32_t ten_f = wrap_mul(10, frames);
    if (!mesh_computed) {  // every segment still runs from (0, 0) to (1, 1)
        for (int32_t s = mesh_segments - 1; s >= 0; s--)
            mesh_segment(frame, w, h, 0, 0, 1, 1, px, py, wrap_add(16 * (s % 64) + 16 * (s / 128), ten_f));
        return;
    }
    for (int32_t half = 1; half >= 0; half--) {
        for (int32_t i = mesh_side - 1; i >= 0; i--) {
            // Segments first + j of this row: s mod 64 is j, s div 128 the same for all.
            const int32_t first = half * mesh_side * mesh_side + mesh_side * i;
            const int32_t row_shade = wrap_add(16 * (first / 128), ten_f);
            const int32_t i1 = half && i < mesh_side - 1 ? i + 1 : i;
            // Some end of segment (i, j) lies within columns px - 6 (i + j) - 6 .. px - 6 (i + j).
            int64_t lo = ((int64_t)px - mesh_gap - w) / mesh_gap - i - 1;
            int64_t hi = (int64_t)px / mesh_gap - i + 1;
            lo = lo < 0 ? 0 : lo;
            hi = hi > mesh_side - 1 ? mesh_side - 1 : hi;
            for (int32_t j = (int32_t)hi; j >= (int32_t)lo; j--) {
                const int32_t j1 = !half && j < mesh_side - 1 ? j + 1 : j;
                mesh_segment(frame, w, h, mesh_x[i][j], mesh_y[i][j], mesh_x[i1][j1], mesh_y[i1][j1], px, py,
                             wrap_add(row_shade, 16 * j));
            }
        }
    }
}

// Grid point (i, j) = (6 j + 6 i, 6 i + the row wave of i plus the column wave of j).
static void mesh_compute(void) {
    int32_t row[mesh_side], column[mesh_side];
    for (int32_t k = 0; k < mesh_side; k++) {
        row[k] = wrap_mul(sine_table[(mesh_row_phase + mesh_row_step * k) & 1023], mesh_row_amplitude);
        column[k] = wrap_mul(sine_table[(mesh_column_phase + mesh_column_step * k) & 1023], mesh_column_amplitude);
    }
    for (int32_t i = 0; i < mesh_side; i++) {
        for (int32_t j = 0; j < mesh_side; j++) {
            mesh_x[i][j] = mesh_gap * j + mesh_gap * i;
            mesh_y[i][j] = mesh_gap * i + asr(wrap_add(row[i], column[j]), 15);
        }
    }
    mesh_computed = true;
    mesh_row_phase = (mesh_row_phase + mesh_row_speed) & 1023;
    mesh_column_phase = (mesh_column_phase + mesh_column_speed) & 1023;
}

static void mesh_frame(int32_t) {
    mesh_draw(demo_timer_frames());
    mesh_compute();
    demo_status();
    demo_logo_wobble();
}

// The mesh starts drawing at once, without a fade.
const DEMO_SCENE demo_scene_mesh = {
    "wave mesh", DEMO_FRAMES_WAVE_MESH, mesh_setup, mesh_frame, nullptr, 0, 1, 1,
};

