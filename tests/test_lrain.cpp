// LRAIN: the scatter's draws (recorded, tests/data/lrain.txt), the wrap
// margins of the step in both directions (a table), points, streaks and
// glyphs on small images, refused arguments.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "effects/lrain.h"
#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"
#include "text/font.h"

namespace {

// A rain of the given drops (16.16).
LRAIN *rain_of(std::vector<int32_t> xy) {
    LRAIN *r = lrain_new();
    lrain_set_count(r, (int32_t)xy.size() / 2);
    for (size_t i = 0; i < xy.size(); i++) r->drops[i] = xy[i];
    return r;
}

constexpr int32_t px(int32_t p) { return p * 65536; }

// A font of 2 x 2 cells on a 128 x 2 sheet: glyph k is a single pixel k + 1
// at its top-left corner (or fills its cell with k + 1).
FONT *marker_font(bool full) {
    FONT *font = font_new();
    font->cell_width = font->cell_height = 2;
    font->sheet = grid_image(128, 2);
    for (int k = 0; k < 64; k++)
        for (int j = 0; j < 2; j++)
            for (int i = 0; i < 2; i++)
                if (full || (i == 0 && j == 0)) font->sheet->pixels[j * 128 + 2 * k + i] = (uint32_t)(k + 1);
    return font;
}

}  // namespace

TEST(Lrain, ScattersMatchTheirRecording) {
    Golden g("lrain");
    random_srand(45429);
    Own<lrain_del> r(lrain_new());
    EXPECT_EQ(r->drops[30], px(17318 % 256));  // by hand: drop 15 first, x before y
    EXPECT_EQ(r->drops[31], px(21105 % 256));
    for (uint32_t seed : {45429u, 2u}) {
        random_srand(seed);
        r->width = 10 + (int32_t)seed;
        r->height = 7;
        lrain_set_count(r, 5);
        std::ostringstream s;
        for (int i = 0; i < 10; i++) s << (r->drops[i] >> 16) << ",";
        s << " next " << random_rand();
        g.check("scatter" + std::to_string(seed), s.str());
    }
    for (int32_t n : {0, -1}) lrain_set_count(r, n);
    EXPECT_EQ(r->count, 5);
}

TEST(Lrain, ScatterRefusesBadIndexAndEmptyArea) {
    Own<lrain_del> r(lrain_new());
    std::vector<int32_t> before(r->drops, r->drops + 32);
    random_srand(11);
    lrain_scatter(r, -1);
    lrain_scatter(r, 16);
    r->width = 0;
    lrain_scatter(r, 0);
    lrain_scatter_all(r);
    r->width = 256;
    r->height = -4;
    lrain_scatter_all(r);
    EXPECT_EQ(std::vector<int32_t>(r->drops, r->drops + 32), before);
    EXPECT_EQ(random_rand(), Lcg{11}.next());  // nothing was drawn
}

TEST(Lrain, StepWrapsADropOnceItIsOutByItsStreak) {
    // vx, vy, height, drop before -> drop after (x, y in 16.16).
    struct Case { int32_t vx, vy, height, x, y, wx, wy; } cases[] = {
        {0, 0x10000, 256, px(5), px(256), px(5), px(257)},  // my = 2: 257 stays
        {0, 0x10000, 256, px(6), px(257), px(6), px(-1)},   // 258 wraps to -1
        {0, 0x10000, 10, 0, px(11), 0, px(-1)},             // the stored size until a draw
        {0x18000, 0, 256, px(256), 0, px(257) + 0x8000, 0},  // mx = 3: 257.5 stays
        {0x18000, 0, 256, px(257) + 0x8000, 0, px(-2), 0},   // 259.0 goes back to 1 - 3
        {0x18000, 0, 256, px(-10), 0, px(258), 0},           // -8.5 to 256 + 3 - 1
        {0x18000, 0, 256, px(-5) + 0x8000, 0, px(-3), 0},    // -3.0 stays
        {0x18000, 0, 256, px(-6) + 0x8000, 0, px(258), 0},   // -4.0 wraps
        {0, -0x10000, 256, 0, px(3), 0, px(2)},              // upwards: my = -2, rows 2 .. 253 stay
        {0, -0x10000, 256, 0, px(2), 0, px(253)},
        {0, -0x10000, 256, 0, px(255), 0, px(3)},
    };
    for (const Case &c : cases) {
        Own<lrain_del> r(rain_of({c.x, c.y}));
        r->vx = c.vx;
        r->vy = c.vy;
        r->height = c.height;
        lrain_step(r);
        EXPECT_EQ(std::make_pair(r->drops[0], r->drops[1]), std::make_pair(c.wx, c.wy))
            << c.x / 65536.0 << "," << c.y / 65536.0 << " by " << c.vx << "," << c.vy;
    }
}

TEST(Lrain, PointsAndStreaks) {
    Own<lrain_del> r(rain_of({px(1), px(0), px(3) + 0xFFFF, px(2), -1, px(1), px(4), px(1)}));
    r->colour = 0x00AA00;
    Own<img_del> img(grid_image(4, 3));
    lrain_draw_points(r, img);  // -1 in 16.16 is pixel -1; x 4 is past the edge
    EXPECT_TRUE(grid_equals(img, picture(".#..|....|...#", "#", {0x00AA00})));
    EXPECT_EQ(std::make_pair(r->width, r->height), std::make_pair(4, 3));
    Own<lrain_del> s(rain_of({px(1), px(3), px(3), px(5)}));
    s->vx = 0x8000;  // half a pixel right per step: streaks to (0, 1) and (2, 3)
    Own<img_del> streaks(grid_image(5, 7));
    lrain_draw_streaks(s, streaks);
    EXPECT_TRUE(grid_equals(streaks, picture(".....|#....|#....|.##..|..#..|...#.|.....")));
    Own<lrain_del> down(rain_of({px(1), px(2)}));  // the default streak: three pixels up
    Own<img_del> column(grid_image(3, 4));
    lrain_draw_streaks(down, column);
    EXPECT_TRUE(grid_equals(column, picture(".#.|.#.|.#.|...")));
}

TEST(Lrain, GlyphsChosenByHeightAndDrawnFirstToLast) {
    Own<lrain_del> r(rain_of({px(5), px(70)}));
    Own<font_del> font(marker_font(false));
    r->font = font;
    Own<img_del> img(grid_image(8, 72));
    lrain_draw_glyphs(r, img);
    std::vector<uint32_t> want(8 * 72, 0);
    want[66 * 8 + 1] = 7;  // glyph 6 (70 mod 64) at (5 - 4, 70 - 4)
    EXPECT_TRUE(grid_equals(img, want));
    EXPECT_EQ(std::make_pair(font->x, font->y), std::make_pair(3, 66));
    Own<lrain_del> two(rain_of({px(4), px(4), px(5), px(5)}));
    Own<font_del> full(marker_font(true));
    two->font = full;
    Own<img_del> small(grid_image(4, 4));
    lrain_draw_glyphs(two, small);  // the shared pixel keeps the later drop's glyph
    EXPECT_TRUE(grid_equals(small, {5, 5, 0, 0, 5, 6, 6, 0, 0, 6, 6, 0, 0, 0, 0, 0}));
    Own<lrain_del> above(rain_of({px(4), px(-1)}));
    above->font = font;
    img_clear(small, 0);
    lrain_draw_glyphs(above, small);
    EXPECT_EQ(font->code, -1);  // C remainder of -1 by 64: no glyph
    EXPECT_TRUE(grid_equals(small, std::vector<uint32_t>(16, 0)));
}

TEST(Lrain, RefusalsDrawAndStepNothing) {
    Own<lrain_del> r(rain_of({px(1), px(1)}));
    Own<img_del> img(grid_image(3, 3));
    lrain_draw_glyphs(r, img);  // no font
    EXPECT_EQ(r->width, 256);   // a refused draw does not take the size
    lrain_draw_points(r, nullptr);
    std::free(r->drops);
    r->drops = nullptr;
    lrain_draw_points(r, img);
    lrain_draw_streaks(r, img);
    lrain_step(r);
    lrain_scatter_all(r);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(9, 0)));
}
