// LSCRLXYZ: its nine random wave numbers, steps that move the phases by speed
// and spread, and the wave draw (flat waves draw as the line draw).
#include <gtest/gtest.h>

#include "host/random.h"
#include "tests/test_support.h"
#include "text/cursor.h"
#include "text/lscrlxyz.h"

namespace {

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, W = 0xFFFFFF;

// A scroller with flat waves over a line font of 256 empty glyphs.
struct Rig : GlyphFont {
    Own<lscrlxyz_del> s{lscrlxyz_new()};
    Rig(const char *text, int32_t w, int32_t h, int32_t cell = 16) : GlyphFont(w, h, cell) {
        lscrlxyz_set(s, text, font, img);
        int32_t *waves = &s->x_phase;  // twelve words from x_phase to z_amplitude
        for (int i = 0; i < 12; i++) waves[i] = 0;
    }
};

}  // namespace

TEST(Lscrlxyz, NewScrollerDrawsItsNineWaveNumbers) {
    // Seed 1: rand() gives 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962.
    random_srand(1);
    Own<lscrlxyz_del> s(lscrlxyz_new());
    const int32_t want[12] = {0, 9 + 16, 3 + 32, 62 + 16, 0, 4 + 16, 1 + 32, 12 + 64, 0, 22 + 16, 14 + 32, 2 + 1};
    const int32_t *got = &s->x_phase;
    for (int i = 0; i < 12; i++) EXPECT_EQ(got[i], want[i]) << i;
    lscrlxyz_step(s);  // refused until set
    EXPECT_EQ(s->x_phase, 0);
}

TEST(Lscrlxyz, StepMovesPhasesBySpeedAndBySpreadOncePerCarry) {
    // speed -> offset, index, x, y, z phases; speeds 10, 20, 1000, spreads 100, 200, 300.
    const int32_t cases[][6] = {
        {3, 3, 0, 10, 20, 1000}, {40, 8, 2, 110, 220, 276}, {-5, 11, 4, 934, 844, 700},
    };
    for (const auto &c : cases) {
        Rig r("WAVES", 48, 20);
        r.s->x_speed = 10, r.s->y_speed = 20, r.s->z_speed = 1000;
        r.s->x_spread = 100, r.s->y_spread = 200, r.s->z_spread = 300;
        r.s->speed = c[0];
        lscrlxyz_step(r.s);
        EXPECT_EQ(r.s->offset, c[1]) << c[0];
        EXPECT_EQ(r.s->cursor->index, c[2]) << c[0];
        EXPECT_EQ(r.s->x_phase, c[3]) << c[0];
        EXPECT_EQ(r.s->y_phase, c[4]) << c[0];
        EXPECT_EQ(r.s->z_phase, c[5]) << c[0];
    }
}

TEST(Lscrlxyz, FlatWavesDrawLikeTheLineDraw) {
    Rig r("AB", 10, 3, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 2, R);
    add_segment(r.glyph('B'), 0, 0, 1, 0, G);
    lscrlxyz_step(r.s);  // offset 1
    const std::vector<uint32_t> want = {0, 0, 0, G, G, 0, 0, R, 0, 0, 0, 0, 0, 0, 0,
                                        0, 0, R, 0, 0, 0, 0, 0, 0, 0, 0, 0, R, 0, 0};
    lscrlxyz_draw_wave(r.s);
    EXPECT_TRUE(grid_equals(r.img, want));
    img_clear(r.img, 0);
    lscrlxyz_draw(r.s);
    EXPECT_TRUE(grid_equals(r.img, want));
}

TEST(Lscrlxyz, WavesShiftAndGrowEachCharacter) {
    Rig r("A", 12, 6, 4);
    add_segment(r.glyph('A'), 0, 0, 1, 0, W);
    r.s->y_phase = 256;  // 32766 * 4 >> 15 = 3 pixels down
    r.s->y_amplitude = 4;
    r.s->x_phase = 768;  // -32766 * 2 >> 15 = -2 pixels
    r.s->x_amplitude = 2;
    r.s->z_phase = 256;  // d = 1: scale (2, 2)
    r.s->z_amplitude = 2;
    lscrlxyz_draw_wave(r.s);
    // 12 / 4 + 2 = 5 characters at x = 4i - 2, each a bar (0,0)-(2,0) on row 3.
    std::vector<uint32_t> want(72, 0);
    for (int32_t x : {0, 2, 3, 4, 6, 7, 8, 10, 11}) want[36 + x] = W;
    EXPECT_TRUE(grid_equals(r.img, want));
    EXPECT_EQ(std::make_pair(r.font->scale->x, r.font->scale->y), std::make_pair(1, 1));
}

TEST(Lscrlxyz, SpreadMovesThePhaseFromCharacterToCharacter) {
    Rig r("A", 12, 8, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 0, W);
    r.s->y_spread = 256;  // character i reads S[256 i]: 0, 32766, 0, -32766
    r.s->y_amplitude = 4;
    r.s->y = 4;
    lscrlxyz_draw_wave(r.s);
    std::vector<uint32_t> want(96, 0);
    want[4 * 12 + 0] = want[7 * 12 + 4] = want[4 * 12 + 8] = W;  // the fourth is off the image
    EXPECT_TRUE(grid_equals(r.img, want));
    r.s->y = 7 + 4;  // a strip below the target is skipped
    r.font->position->x = 999;
    lscrlxyz_draw_wave(r.s);
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
    random_srand(1);
    lscrlxyz_draw_random(r.s);
    EXPECT_EQ(img_get_pixel(r.img, 0, 0), 0x8080A9u);
    EXPECT_EQ(img_get_pixel(r.img, 4, 0), 0x80C8A3u);
    lscrlxyz_draw_spiral(r.s, 0);
    EXPECT_EQ(r.s->cursor->index, 1);
}
