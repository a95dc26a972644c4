// The demo's shared objects and shared drawing steps. demo_build_resources
// makes every object once, in the order that fixes the random numbers the
// scenes see later; the objects live in module-level globals for the whole
// process (demo_stop destroys a few of them). The logo steps, the status
// overlay and the font tint draw into demo_frame and demo_font's sheet.
#include "demo/resources.h"

#include <pthread.h>

#include <cstdlib>

#include "audio/music.h"
#include "audio/sample.h"
#include "audio/winsnd.h"
#include "demo/demo.h"
#include "demo/linefonts.h"
#include "demo/pictures.h"
#include "demo/soundtrack.h"
#include "effects/raster.h"
#include "host/fps.h"
#include "host/int.h"
#include "host/random.h"
#include "imaging/img.h"
#include "text/font.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

WINSND *demo_player = nullptr;
RASTER *demo_raster = nullptr;
FONT *demo_font = nullptr;
FONT *demo_font_strip = nullptr;
LIST *demo_glyphs8 = nullptr;
LFONT *demo_lfont8 = nullptr;
LIST *demo_glyphs16 = nullptr;
LFONT *demo_lfont16 = nullptr;
LIST *demo_shapes = nullptr;
LFONT *demo_lfont_shapes = nullptr;
SAMPLE *demo_palette = nullptr;
IMG *demo_letters[4] = {nullptr, nullptr, nullptr, nullptr};
MUSIC *demo_music = nullptr;

const char demo_logo_word[5] = "RIVO";

// The grey of the letter pictures and what each letter's grey becomes.
static const uint32_t demo_letter_grey = 0xCCCCCC;
static const uint32_t demo_letter_tones[4] = {0x747474, 0xE0E0E0, 0xC0C0C0, 0x7F7F7F};

// ---- Building ------------------------------------------------------------------

void demo_fill_palette(SAMPLE *palette) {
    sample_set_count(palette, demo_palette_size);
    for (int32_t i = 0; i < 256; i++) {
        sample_set(palette, i, 0x00FF00 + i);
        sample_set(palette, 256 + i, 0x00FFFF - i * 256);
        sample_set(palette, 512 + i, i * 65536 + 0xFF);
        sample_set(palette, 768 + i, 0xFF00FF - i);
        sample_set(palette, 1024 + i, 0xFF0000 + i * 256);
        sample_set(palette, 1280 + i, 0xFFFF00 - i * 65536);
    }
}

static FONT *demo_new_font(IMG *sheet) {
    FONT *f = font_new();
    if (!f) return nullptr;
    f->cell_width = 16;
    f->cell_height = 16;
    f->sheet = sheet;
    f->target = demo_frame;
    return f;
}

static void demo_build_fonts(void) {
    demo_font = demo_new_font(img_from_pnm(demo_glyphs_pnm, demo_glyphs_pnm_size));
    // The strip: cyan cells behind the sheet's first row of glyphs, lightened.
    IMG *strip = img_new();
    img_resize(strip, 256, 16);
    img_fill_rect(strip, 0, 0, 256, 16, 0x44EEFF);
    if (demo_font) img_blit(demo_font->sheet, strip, 0, 0, 0, 0, 256, 16);
    img_add_colour(strip, 0x808080);
    demo_font_strip = demo_new_font(strip);
}

static LFONT *demo_new_lfont(LIST *glyphs, int32_t size) {
    LFONT *f = lfont_new();
    if (!f) return nullptr;
    if (f->size) {
        f->size->x = size;
        f->size->y = size;
    }
    f->glyphs = glyphs;
    f->target = demo_frame;
    return f;
}

static void demo_build_line_fonts(void) {
    demo_glyphs8 = obj2d_parse(demo_font8_text);
    // Moves each glyph from the 0..7 grid to -4..3, so it turns about its middle.
    for (int32_t k = demo_glyphs8 ? demo_glyphs8->count - 1 : -1; k >= 0; k--) {
        OBJ2D *g = (OBJ2D *)list_get(demo_glyphs8, k);
        if (!g || !g->position) continue;
        g->position->x = -4;
        g->position->y = -4;
        obj2d_translate_segments(g);
    }
    demo_lfont8 = demo_new_lfont(demo_glyphs8, 8);
    demo_glyphs16 = obj2d_parse(demo_font16_text);
    demo_lfont16 = demo_new_lfont(demo_glyphs16, 16);
    demo_shapes = obj2d_parse(demo_shapes_text);
    demo_lfont_shapes = demo_new_lfont(demo_shapes, 16);
}

static void demo_build_letters(void) {
    for (int32_t k = 0; k < 4; k++) {
        demo_letters[k] = img_from_pnm(demo_letter_pnm[k], *demo_letter_pnm_size[k]);
        img_replace_colour(demo_letters[k], demo_letter_grey, demo_letter_tones[k]);
    }
}

// Everything but the bank, in order.
static void demo_build_shared(void) {
    demo_player = winsnd_new();
    demo_raster = raster_new();
    raster_set_size(demo_raster, demo_frame ? demo_frame->width : demo_width);
    demo_build_fonts();
    demo_build_line_fonts();
    demo_palette = sample_new();
    demo_fill_palette(demo_palette);
    demo_build_letters();
}

void demo_build_resources(void) {
    demo_build_shared();
    demo_music = demo_build_instruments();
}

// ---- The bank in the background ----------------------------------------------------
// It takes most of the start-up and nothing needs it before the first music
// step, so it is built while the window shows the title, the fade and the
// first frame. Its draws are set aside where it stands in the order of
// draws: it starts from the generator's state at that point while the
// program goes on from the state after them, so every draw is what it would
// have been.

static pthread_t demo_bank_thread;
static int demo_bank_pending;          // set aside, not yet made demo_music
static int demo_bank_running;          // its thread was started and not yet joined
static uint32_t demo_bank_seed;        // the generator's state it starts from
static MUSIC *demo_bank_built;         // the thread's result, read after the join

static void *demo_bank_build(void *) {
    random_srand(demo_bank_seed);
    demo_bank_built = demo_build_instruments();
    return nullptr;
}

void demo_build_resources_deferred(void) {
    demo_bank_ready();
    demo_build_shared();
    demo_bank_seed = random_state_now();
    demo_bank_pending = 1;
    random_srand(random_state_after(demo_bank_seed, demo_bank_draws()));
}

void demo_bank_start(void) {
    if (!demo_bank_pending || demo_bank_running) return;
    // Joined at the run's end at the latest (demo_end): no thread outlives the program.
    demo_bank_running = pthread_create(&demo_bank_thread, nullptr, demo_bank_build, nullptr) == 0;
    // No thread (a platform without them): built now, while the title shows.
    if (!demo_bank_running) demo_bank_ready();
}

void demo_bank_ready(void) {
    if (!demo_bank_pending) return;
    if (demo_bank_running) {
        pthread_join(demo_bank_thread, nullptr);
        demo_bank_running = 0;
    } else {
        // No thread: built here, from its own state, leaving this thread's as it was.
        uint32_t state = random_state_now();
        demo_bank_build(nullptr);
        random_srand(state);
    }
    demo_bank_pending = 0;
    demo_music = demo_bank_built;
}

// ---- Logo steps and status -------------------------------------------------------

static void demo_pen(LFONT *f, int32_t x, int32_t y, int32_t sx, int32_t sy) {
    if (!f || !f->position || !f->scale) return;
    f->position->x = x;
    f->position->y = y;
    f->scale->x = sx;
    f->scale->y = sy;
    f->angle = 0;
}

// Gives letter k of the logo its colour before it is drawn. Only the last
// letter recolours the whole font: the earlier ones colour just their own
// glyph, which is all they draw, and the font ends as a whole-font colouring
// per letter would leave it.
static void demo_logo_colour(LFONT *f, int32_t k, uint32_t colour) {
    const int32_t code = (unsigned char)demo_logo_word[k];
    if (k < 3 && f->glyphs && code < f->glyphs->count) {
        if (f->glyphs->items[code]) obj2d_set_color((OBJ2D *)f->glyphs->items[code], colour);
        return;
    }
    lfont_set_color(f, colour);
}

static void demo_logo_letter(LFONT *f, int32_t k) {
    if (!f) return;
    f->code = (unsigned char)demo_logo_word[k];
    lfont_draw_char(f);
}

void demo_logo_bounce(void) {
    LFONT *f = demo_lfont16;
    if (!f || !f->position) return;
    int32_t t = demo_timer_frames();
    demo_pen(f, 16, 0, 1, 1);
    for (int32_t k = 0; k < 4; k++) {
        demo_logo_colour(f, k, demo_colour(wrap_add(t, 192 - 64 * k)));
        // Mask 511 keeps the non-negative half of the sine: the letters hop up.
        f->position->y = 240 - asr(sine_table[wrap_add(wrap_mul(17, t), 96 - 32 * k) & 511], 10);
        demo_logo_letter(f, k);
    }
}

void demo_logo_wobble(void) {
    static const int32_t phase[4] = {800, 600, 400, 200};
    LFONT *f = demo_lfont16;
    if (!f || !f->position) return;
    int32_t t = demo_timer_frames();
    demo_pen(f, 0, 0, 1, 1);
    for (int32_t k = 0; k < 4; k++) {
        demo_logo_colour(f, k, demo_colour(wrap_add(t, 192 - 64 * k)));
        f->position->x = 176 + asr(sine_table[wrap_add(wrap_mul(23, t), 500 - 50 * k) & sine_mask], 12) + (16 * k - 8);
        f->position->y = 32 + asr(sine_table[wrap_add(wrap_mul(17, t), phase[k]) & sine_mask], 12) - 24;
        demo_logo_letter(f, k);
    }
}

void demo_logo_flash(void) {
    // The chance draw is taken whatever the chance, so the sequence never shifts.
    int32_t chance = random_next();
    if (demo_flash_chance < 1 || chance % demo_flash_chance != 0) return;
    int32_t sx = random_next() % 4 + 1;
    int32_t sy = random_next() % 4 + 1;
    int32_t y = random_next() % (256 - 16 * sy + 1);
    int32_t x = random_next() % (256 - 64 * sx + 1);
    // The letters keep the colour they last had.
    demo_pen(demo_lfont16, x, y, sx, sy);
    for (int32_t k = 0; k < 4; k++) demo_logo_letter(demo_lfont16, k);
}

void demo_status(void) {
    if (!demo_status_on || !demo_lfont16) return;
    LFONT *f = demo_lfont16;
    f->target = demo_frame;
    demo_pen(f, 0, 0, 1, 1);
    lfont_draw_hex8(f, demo_timer ? (uint32_t)demo_timer->shown & 0xFF : 0);
    demo_pen(f, 0, 16, 1, 1);
    lfont_draw_hex32(f, (uint32_t)demo_timer_frames());
}

// ---- Font tint -------------------------------------------------------------------

// Saturation at both ends makes the undo inexact.
static const uint32_t demo_tint_base = 0x505000;

void demo_font_tint(uint32_t s) {
    IMG *sheet = demo_font ? demo_font->sheet : nullptr;
    img_add_colour(sheet, s);
    img_sub_colour(sheet, demo_tint_base);
}

void demo_font_untint(uint32_t s) {
    IMG *sheet = demo_font ? demo_font->sheet : nullptr;
    img_add_colour(sheet, demo_tint_base);
    img_sub_colour(sheet, s);
}
