// LSCRLXYZ: its random wave set-up, steps with phases, and the wave draw.
#include <gtest/gtest.h>

#include <string>

#include "host/random.h"
#include "imaging/img.h"
#include "tests/test_support.h"
#include "text/cursor.h"
#include "text/lscrlxyz.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

namespace {

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, W = 0xFFFFFF;

void flatten(LSCRLXYZ *s) {
    s->x_phase = s->y_phase = s->z_phase = 0;
    s->x_speed = s->y_speed = s->z_speed = 0;
    s->x_spread = s->y_spread = s->z_spread = 0;
    s->x_amplitude = s->y_amplitude = s->z_amplitude = 0;
}

// A scroller over a line font of 256 empty glyphs and a target image.
struct Rig : GlyphFont {
    LSCRLXYZ *s = lscrlxyz_new();
    Rig(const char *text, int32_t w, int32_t h, int32_t cell = 16) : GlyphFont(w, h, cell) {
        lscrlxyz_set(s, text, font, img);
        flatten(s);
    }
    ~Rig() { lscrlxyz_del(&s); }
};

}  // namespace

TEST(Lscrlxyz, NewScrollerDrawsItsNineWaveNumbers) {
    // Seed 1: rand() gives 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962.
    random_srand(1);
    LSCRLXYZ *s = lscrlxyz_new();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->x_phase, 0);
    EXPECT_EQ(s->y_phase, 0);
    EXPECT_EQ(s->z_phase, 0);
    EXPECT_EQ(s->x_speed, 9 + 16);
    EXPECT_EQ(s->x_spread, 3 + 32);
    EXPECT_EQ(s->x_amplitude, 62 + 16);
    EXPECT_EQ(s->y_speed, 4 + 16);
    EXPECT_EQ(s->y_spread, 1 + 32);
    EXPECT_EQ(s->y_amplitude, 12 + 64);
    EXPECT_EQ(s->z_speed, 22 + 16);
    EXPECT_EQ(s->z_spread, 14 + 32);
    EXPECT_EQ(s->z_amplitude, 2 + 1);
    EXPECT_EQ(s->speed, 1);
    EXPECT_EQ(s->text, nullptr);
    EXPECT_EQ(s->cursor->length, 25);
    lscrlxyz_step(s);  // refused until set
    EXPECT_EQ(s->offset, 0);
    EXPECT_EQ(s->x_phase, 0);
    lscrlxyz_del(&s);
    EXPECT_EQ(s, nullptr);
}

TEST(Lscrlxyz, SetAttachesLikeTheLineScroller) {
    Rig r("WAVES", 48, 20);
    EXPECT_EQ(r.s->width, 48);
    EXPECT_EQ(r.s->height, 16);
    EXPECT_EQ(r.s->depth, 1);
    EXPECT_EQ(r.s->cursor->length, 5);
    lscrlxyz_set(r.s, "", r.font, r.img);
    EXPECT_STREQ(r.s->text, "WAVES");
}

TEST(Lscrlxyz, PhasesMoveBySpeedEveryStep) {
    Rig r("WAVES", 48, 20);
    r.s->x_speed = 10;
    r.s->y_speed = 20;
    r.s->z_speed = 1000;
    r.s->x_spread = 100;
    r.s->y_spread = 200;
    r.s->z_spread = 300;
    r.s->speed = 3;
    lscrlxyz_step(r.s);
    EXPECT_EQ(r.s->offset, 3);
    EXPECT_EQ(r.s->x_phase, 10);
    EXPECT_EQ(r.s->y_phase, 20);
    EXPECT_EQ(r.s->z_phase, 1000);
    lscrlxyz_step(r.s);
    EXPECT_EQ(r.s->z_phase, 2000 & 1023);
}

TEST(Lscrlxyz, WholeCharacterForwardAddsEachSpreadOnce) {
    Rig r("WAVES", 48, 20);
    r.s->x_speed = 10;
    r.s->x_spread = 100;
    r.s->y_spread = 200;
    r.s->z_spread = 1000;
    r.s->speed = 40;  // two characters at once, spreads still added once
    lscrlxyz_step(r.s);
    EXPECT_EQ(r.s->offset, 8);
    EXPECT_EQ(r.s->cursor->index, 2);
    EXPECT_EQ(r.s->x_phase, 110);
    EXPECT_EQ(r.s->y_phase, 200);
    EXPECT_EQ(r.s->z_phase, 1000);
}

TEST(Lscrlxyz, WholeCharacterBackwardSubtractsEachSpreadOnce) {
    Rig r("WAVES", 48, 20);
    r.s->x_speed = 10;
    r.s->x_spread = 100;
    r.s->y_spread = 200;
    r.s->speed = -5;
    lscrlxyz_step(r.s);
    EXPECT_EQ(r.s->offset, 11);
    EXPECT_EQ(r.s->cursor->index, 4);
    EXPECT_EQ(r.s->x_phase, (10 - 100) & 1023);
    EXPECT_EQ(r.s->y_phase, 1024 - 200);
    EXPECT_EQ(r.s->z_phase, 0);
}

TEST(Lscrlxyz, FlatWavesDrawLikeTheLineDraw) {
    Rig r("AB", 10, 3, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 2, R);
    add_segment(r.glyph('B'), 0, 0, 1, 0, G);
    lscrlxyz_step(r.s);  // offset 1
    lscrlxyz_draw_wave(r.s);
    const uint32_t expected[] = {
        0, 0, 0, G, G, 0, 0, R, 0, 0,
        0, 0, 0, 0, 0, 0, 0, R, 0, 0,
        0, 0, 0, 0, 0, 0, 0, R, 0, 0,
    };
    EXPECT_TRUE(grid_equals(r.img, expected));
    img_clear(r.img, 0);
    lscrlxyz_draw(r.s);
    EXPECT_TRUE(grid_equals(r.img, expected));
}

TEST(Lscrlxyz, WavesShiftAndGrowEachCharacter) {
    Rig r("A", 12, 6, 4);
    add_segment(r.glyph('A'), 0, 0, 1, 0, W);
    // Phase 256 reads 32766, phase 768 reads -32766; spreads 0 keep them for all.
    r.s->y_phase = 256;
    r.s->y_amplitude = 4;  // 32766 * 4 >> 15 = 3 pixels down
    r.s->x_phase = 768;
    r.s->x_amplitude = 2;  // -32766 * 2 >> 15 = -2 pixels
    r.s->z_phase = 256;
    r.s->z_amplitude = 2;  // d = 1: scale (2, 2)
    lscrlxyz_draw_wave(r.s);
    // 12 / 4 + 2 = 5 characters at x = 4i - 2, each a bar (0,0)-(2,0) on row 3.
    const uint32_t expected[] = {
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        W, 0, W, W, W, 0, W, W, W, 0, W, W,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    };
    EXPECT_TRUE(grid_equals(r.img, expected));
    EXPECT_EQ(r.font->scale->x, 1);
    EXPECT_EQ(r.font->scale->y, 1);
    EXPECT_EQ(r.s->cursor->index, 0);
}

TEST(Lscrlxyz, SpreadMovesThePhaseFromCharacterToCharacter) {
    Rig r("A", 12, 8, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 0, W);
    // Character i reads S[256 * i]: 0, 32766, 0, -32766, 0 times 4, >> 15.
    r.s->y_phase = 0;
    r.s->y_spread = 256;
    r.s->y_amplitude = 4;
    r.s->y = 4;
    lscrlxyz_draw_wave(r.s);
    EXPECT_EQ(img_get_pixel(r.img, 0, 4), W);
    EXPECT_EQ(img_get_pixel(r.img, 4, 7), W);
    EXPECT_EQ(img_get_pixel(r.img, 8, 4), W);
    // -32766 * 4 >> 15 = -4 (rounded down).
    EXPECT_EQ(img_get_pixel(r.img, 12, 0), 0u);  // outside the image
    int32_t lit = 0;
    for (int32_t i = 0; i < 12 * 8; i++) lit += r.img->pixels[i] != 0;
    EXPECT_EQ(lit, 3);
}

TEST(Lscrlxyz, WaveDrawSkipsAStripOutsideTheTarget) {
    Rig r("A", 12, 6, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 0, W);
    r.s->y = 7;
    r.font->position->x = 999;
    lscrlxyz_draw_wave(r.s);
    lscrlxyz_draw(r.s);
    EXPECT_EQ(r.font->position->x, 999);
}

TEST(Lscrlxyz, ColourRandomAndSpiralDrawsUseTheirOwnCursor) {
    Rig r("AB", 8, 1, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 0, R);
    add_segment(r.glyph('B'), 0, 0, 0, 0, G);
    r.s->speed = 4;
    lscrlxyz_step(r.s);  // cursor on "B"
    lscrlxyz_draw_color(r.s, W);
    EXPECT_EQ(img_get_pixel(r.img, 0, 0), W);
    EXPECT_EQ(r.s->cursor->index, 1);
    random_srand(1);
    lscrlxyz_draw_random(r.s);
    EXPECT_EQ(img_get_pixel(r.img, 0, 0), 0x8080A9u);
    EXPECT_EQ(img_get_pixel(r.img, 4, 0), 0x80C8A3u);
    lscrlxyz_draw_spiral(r.s, 0);
    EXPECT_EQ(r.s->cursor->index, 1);
    lscrlxyz_draw_color(nullptr, W);
    lscrlxyz_draw_wave(nullptr);
}
