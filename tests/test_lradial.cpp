// LRADIAL: the random draws of a new ring (recorded, tests/data/lradial.txt),
// the palette, spacing and step as tables, and every way of drawing the ring
// as a small picture.
#include <gtest/gtest.h>

#include <sstream>

#include "effects/lradial.h"
#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"

namespace {

const uint32_t C = 0xC0FFEE;

// A ring with every field chosen by the test.
LRADIAL *ring(int32_t cx, int32_t cy, int32_t radius, int32_t lines) {
    LRADIAL *r = lradial_new();
    r->x = cx;
    r->y = cy;
    r->radius = radius;
    r->colour = (int32_t)C;
    r->angle = 0;
    lradial_set_lines(r, lines);
    return r;
}

}  // namespace

TEST(Lradial, NewRingsMatchTheirRecording) {
    Golden g("lradial");
    for (uint32_t seed : {45429u, 7u, 0x31756A22u}) {
        random_srand(seed);
        Own<lradial_del> r(lradial_new());
        std::ostringstream s;
        s << r->spin << "," << r->radius << "," << Golden::hex((uint32_t)r->colour) << "," << r->x << "," << r->y
          << "," << r->lines << "," << r->spacing << " next " << random_rand();
        g.check("new" + std::to_string(seed), s.str());
    }
    random_srand(45429);  // by hand: draws 17318, 21105 give spin and radius
    Own<lradial_del> r(lradial_new());
    EXPECT_EQ(r->spin, 17318 + 0x8000);
    EXPECT_EQ(r->radius, 21105 % 128 + 32);
}

TEST(Lradial, PaletteIsAClosedRainbowRing) {
    const uint32_t entries[][2] = {{0, 0x00FF00},    {1, 0x00FF01},    {255, 0x00FFFF}, {256, 0x00FFFF},
                                   {511, 0x0000FF},  {512, 0x0000FF},  {767, 0xFF00FF}, {768, 0xFF00FF},
                                   {1023, 0xFF0000}, {1024, 0xFF0000}, {1279, 0xFFFF00}, {1280, 0xFFFF00},
                                   {1535, 0x00FF00}, {1536, 0},        {(uint32_t)-1, 0}};
    Own<lradial_del> r(lradial_new());  // builds the palette
    for (const auto &e : entries) EXPECT_EQ(lradial_palette_colour((int32_t)e[0]), e[1]) << (int32_t)e[0];
}

TEST(Lradial, SpacingStepAndPoints) {
    Own<lradial_del> r(lradial_new());
    const int32_t lines[][2] = {{4, 256 << 16}, {0, 256 << 16}, {-3, 256 << 16}, {3, 22369621}, {1, 1024 << 16}};
    for (const auto &l : lines) {
        lradial_set_lines(r, l[0]);
        EXPECT_EQ(r->spacing, l[1]) << l[0];
    }
    const int32_t steps[][3] = {{0x3FFFFFF - 5, 10, 4}, {4, -8, 0x3FFFFFC}, {0, 0x7FFFFFFF, 0x3FFFFFF}};
    for (const auto &s : steps) {
        r->angle = s[0];
        r->spin = s[1];
        lradial_step(r);
        EXPECT_EQ(r->angle, s[2]) << s[0] << " + " << s[1];
    }
    // Radius 100 around (128, 128): +99.99 rounds down to +99, -99.99 to -100.
    const int32_t points[][3] = {{0, 128, 227}, {256, 227, 128}, {512, 128, 28}, {768, 28, 128}, {1024 + 256, 227, 128}};
    for (const auto &p : points) {
        int32_t px, py;
        lradial_point(128, 128, p[0] << 16, 100, &px, &py);
        EXPECT_EQ(std::make_pair(px, py), std::make_pair(p[1], p[2])) << p[0];
    }
}

TEST(Lradial, DrawModesAsPictures) {
    using Draw = void (*)(LRADIAL *, IMG *);
    struct Case { const char *name; Draw draw; int32_t cx, cy, radius, lines; const char *want; } cases[] = {
        {"points", lradial_draw_points, 2, 2, 2, 4, "..#..|.....|#..#.|..#..|....."},
        {"clipped", lradial_draw_points, 1, 1, 2, 4, ".....|..#..|.#...|.....|....."},
        {"spokes", lradial_draw_spokes, 2, 2, 2, 4, "..#..|..#..|####.|..#..|....."},
        {"origin", lradial_draw_spokes_origin, 2, 2, 2, 4, ".#...|##...|..#..|.....|....."},
        {"thick", [](LRADIAL *r, IMG *i) { lradial_draw_spokes_thick(r, i, 3); }, 2, 2, 2, 1,
         ".....|.....|.###.|.###.|....."},
        {"thick 0", [](LRADIAL *r, IMG *i) { lradial_draw_spokes_thick(r, i, 0); }, 2, 2, 2, 1,
         ".....|.....|.....|.....|....."},
    };
    for (const Case &c : cases) {
        Own<img_del> img(grid_image(5, 5));
        Own<lradial_del> r(ring(c.cx, c.cy, c.radius, c.lines));
        c.draw(r, img);
        EXPECT_TRUE(grid_equals(img, picture(c.want, "#", {C}))) << c.name;
        EXPECT_EQ(std::make_pair(r->width, r->angle), std::make_pair(5, 0)) << c.name;
    }
    // Dither: k = 2 runs palette[0] to palette[192] down to (2, 3); k = 1
    // palette[768] to palette[960] up to (2, 0), over the first's centre.
    Own<img_del> img(grid_image(5, 5));
    Own<lradial_del> r(ring(2, 2, 2, 2));
    lradial_draw_spokes_dither(r, img);
    EXPECT_TRUE(grid_equals(img, picture("..a..|..m..|..m..|..g..|.....", "amg", {0xFF003F, 0xFF00FF, 0x00FFC0})));
}

TEST(Lradial, BadArgumentsDrawNothingAndTheEmptyOperations) {
    Own<img_del> img(grid_image(4, 4));
    Own<lradial_del> r(ring(2, 2, 1, 4));
    for (auto draw : {lradial_draw_points, lradial_draw_spokes, lradial_draw_spokes_origin, lradial_draw_spokes_dither}) {
        draw(nullptr, img);
        draw(r, nullptr);
    }
    lradial_draw_spokes_thick(r, nullptr, 2);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(16, 0)));
    EXPECT_EQ(r->width, 256);  // no image, so no size was copied
    Own<lradial_del> d(lradial_dup(r));
    EXPECT_EQ(std::make_pair(d->x, d->radius == 1), std::make_pair(128, false));  // a fresh default ring
    EXPECT_EQ(lradial_compare(r, r), 0);
    EXPECT_EQ(lradial_to_text(r), nullptr);
    lradial_copy(r, d);  // copies nothing
    EXPECT_EQ(d->x, 128);
}
