// The effects library per frame on a 256 x 256 image: helix ribbons and
// bands, glyph and streak rain, mirrored sine chains and rings, palette scan
// rows, and one step and draw of the word zoom with the 16x16 line font.
#include <benchmark/benchmark.h>

#include "demo/linefonts.h"
#include "demo/pictures.h"
#include "effects/helix.h"
#include "effects/lrain.h"
#include "host/random.h"
#include "imaging/img.h"
#include "text/font.h"
#include "text/sineline.h"
#include "text/sinescan.h"
#include "text/wordzoom.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/vec2d.h"

namespace {

IMG *frame(void) {
    IMG *img = img_new();
    img_resize(img, 256, 256);
    return img;
}

HELIX *fixed_helix(void) {
    random_srand(1);
    HELIX *h = helix_new();
    h->amplitude = 100;
    h->spread = 96;
    h->frequency = 4;
    return h;
}

void BM_HelixColumns(benchmark::State &state) {
    IMG *img = frame();
    HELIX *h = fixed_helix();
    for (auto _ : state) {
        helix_draw_columns(h, img);
        helix_step(h);
    }
    helix_del(&h);
    img_del(&img);
}
BENCHMARK(BM_HelixColumns);

void BM_HelixBands(benchmark::State &state) {
    IMG *img = frame();
    HELIX *h = fixed_helix();
    for (auto _ : state) {
        helix_draw_bands(h, img);
        helix_step(h);
    }
    helix_del(&h);
    img_del(&img);
}
BENCHMARK(BM_HelixBands);

void BM_HelixBandsVerticalBothPasses(benchmark::State &state) {
    IMG *img = frame();
    HELIX *h = fixed_helix();
    for (auto _ : state) {
        helix_draw_bands_vertical_back(h, img);
        helix_draw_bands_vertical(h, img);
        helix_step(h);
    }
    helix_del(&h);
    img_del(&img);
}
BENCHMARK(BM_HelixBandsVerticalBothPasses);

// state.range(0) drops of glyphs from the demo's 16 x 16 glyph sheet.
void BM_LrainGlyphs(benchmark::State &state) {
    IMG *img = frame();
    FONT *font = font_new();
    font->sheet = img_from_pnm(demo_glyphs_pnm, demo_glyphs_pnm_size);
    font->cell_width = font->cell_height = 16;
    random_srand(2);
    LRAIN *r = lrain_new();
    r->font = font;
    lrain_set_count(r, (int32_t)state.range(0));
    for (auto _ : state) {
        lrain_step(r);
        lrain_draw_glyphs(r, img);
    }
    lrain_del(&r);
    font_del(&font);
    img_del(&img);
}
BENCHMARK(BM_LrainGlyphs)->Arg(16)->Arg(256);

void BM_LrainStreaks(benchmark::State &state) {
    IMG *img = frame();
    random_srand(3);
    LRAIN *r = lrain_new();
    r->vx = 0x8000;
    r->vy = 0x40000;
    lrain_set_count(r, 256);
    for (auto _ : state) {
        lrain_step(r);
        lrain_draw_streaks(r, img);
    }
    lrain_del(&r);
    img_del(&img);
}
BENCHMARK(BM_LrainStreaks);

void BM_SinelineMirror8(benchmark::State &state) {
    IMG *img = frame();
    random_srand(4);
    SINELINE *line = sineline_new();
    sineline_set_count(line, 64);
    for (auto _ : state) {
        sineline_update(line);
        sineline_draw_mirror8(line, img);
    }
    sineline_del(&line);
    img_del(&img);
}
BENCHMARK(BM_SinelineMirror8);

void BM_SinelineRings(benchmark::State &state) {
    IMG *img = frame();
    random_srand(5);
    SINELINE *line = sineline_new();
    for (auto _ : state) {
        sineline_update(line);
        sineline_draw_rings(line, img);
    }
    sineline_del(&line);
    img_del(&img);
}
BENCHMARK(BM_SinelineRings);

// A whole picture of scan rows: one update and one palette row per image row.
void BM_SinescanPaletteFrame(benchmark::State &state) {
    IMG *img = frame();
    random_srand(6);
    SINESCAN *scan = sinescan_new();
    for (auto _ : state) {
        for (int32_t y = 0; y < 256; y++) {
            scan->y = y;
            sinescan_update(scan);
            sinescan_draw_palette(scan, img);
        }
    }
    sinescan_del(&scan);
    img_del(&img);
}
BENCHMARK(BM_SinescanPaletteFrame);

void BM_WordzoomFrame(benchmark::State &state) {
    IMG *img = frame();
    LIST *glyphs = obj2d_parse(demo_font16_text);
    LFONT *font = lfont_new();
    font->glyphs = glyphs;
    random_srand(7);
    WORDZOOM *zoom = wordzoom_new();
    zoom->font = font;
    zoom->target = img;
    wordzoom_add_words(zoom, wordzoom_default_words);
    wordzoom_start_word(zoom, 0);
    for (auto _ : state) {
        if (wordzoom_done(zoom)) wordzoom_next_word(zoom);
        wordzoom_step(zoom);
        wordzoom_draw(zoom);
    }
    wordzoom_del_words(zoom);
    wordzoom_del(&zoom);
    lfont_del(&font);
    list_del(&glyphs);
    img_del(&img);
}
BENCHMARK(BM_WordzoomFrame);

}  // namespace
