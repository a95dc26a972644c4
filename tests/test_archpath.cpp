// ARCHPATH: creation's draws and long runs of the four step variants
// (recorded, tests/data/archpath.txt), the point on the circle, arc ends that
// keep the point in place, the torus wrap, the sprites drawn across the
// area's edges and mirrored, copy/dup/compare with owned sprites, refusals.
#include <gtest/gtest.h>

#include <sstream>

#include "effects/archpath.h"
#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_support.h"

namespace {

// A path at a known place: centre (100, 100), radius 20.
ARCHPATH *known_path(int32_t angle, int32_t turn, int32_t length, int32_t frame) {
    ARCHPATH *a = archpath_new();
    a->x = a->y = 100;
    a->radius = 20;
    a->angle = angle;
    a->turn = turn;
    a->arc_length = length;
    a->arc_frame = frame;
    return a;
}

std::string record_of(const ARCHPATH *a) {
    std::ostringstream s;
    s << a->x << "," << a->y << "," << a->angle << "," << a->turn << "," << a->radius << "," << a->arc_length << ","
      << a->arc_frame << "," << Golden::hex(a->colour);
    return s.str();
}

// A path whose point P sits at (px, py) in an area of the given size, with a
// sprite_b of w x h pixels of value 1.
ARCHPATH *path_at(int32_t px, int32_t py, int32_t area, int32_t w, int32_t h) {
    ARCHPATH *a = known_path(256, 1, 10, 0);  // P = (x + 19, y)
    a->x = px - 19;
    a->y = py;
    a->width = a->height = area;
    img_resize(a->sprite_b, w, h);
    img_clear(a->sprite_b, 1);
    return a;
}

}  // namespace

TEST(Archpath, CreationAndStepVariantsMatchTheirRecording) {
    Golden g("archpath");
    void (*variants[])(ARCHPATH *) = {archpath_step, archpath_step_vary, archpath_step_vary_long, archpath_step_loop};
    for (uint32_t seed : {4242u, 0x31756A22u}) {
        random_srand(seed);
        Own<archpath_del> a(archpath_new());
        g.check("new" + std::to_string(seed), record_of(a));
        for (int v = 0; v < 4; v++) {
            for (int i = 0; i < 700; i++) variants[v](a);
            g.check("variant" + std::to_string(v) + "_" + std::to_string(seed), record_of(a));
        }
        g.check("next" + std::to_string(seed), std::to_string(random_rand()));
    }
    random_srand(4242);  // randomize sets every field as a new path does
    Own<archpath_del> a(archpath_new());
    Own<archpath_del> b(known_path(0, 0, 0, 0));
    b->width = 100;
    random_srand(4242);
    archpath_randomize(b);
    EXPECT_TRUE(archpath_compare(a, b));
}

TEST(Archpath, PointLiesOnTheCircle) {
    // angle -> P for centre (100, 100) and radius 20 (the peak 32766 rounds down).
    const int32_t cases[][3] = {{0, 100, 119}, {256, 119, 100}, {512, 100, 80}, {768, 80, 100}, {768 + 1024, 80, 100}};
    Own<archpath_del> a(known_path(0, 1, 10, 0));
    for (const auto &c : cases) {
        a->angle = c[0];
        int32_t px, py;
        ASSERT_TRUE(archpath_point(a, &px, &py));
        EXPECT_EQ(std::make_pair(px, py), std::make_pair(c[1], c[2])) << c[0];
    }
}

TEST(Archpath, ArcEndsKeepThePointAndWrapTheCentre) {
    // angle, turn, length, frame, y before -> x, y, angle, turn, frame after.
    const int32_t cases[][10] = {
        {1020, 3, 10, 0, 100, 100, 100, 1023, 3, 1},  // within the arc: only turns
        {1023, 3, 10, 0, 100, 100, 100, 2, 3, 1},
        {1023, 1, 5, 4, 100, 100, 139, 512, -1, 0},  // 32766 * 40 >> 15 = 39 down
        {1023, 1, 1, 0, 250, 100, 289 - 256, 512, -1, 0},
        {767, 1, 1, 0, 100, 100 - 40, 100, 256, -1, 0},
    };
    for (const auto &c : cases) {
        Own<archpath_del> a(known_path(c[0], c[1], c[2], c[3]));
        a->y = c[4];
        int32_t px0, py0, px, py;
        a->angle = (a->angle + a->turn) & 1023;
        archpath_point(a, &px0, &py0);  // the point after the turn
        a->angle = c[0];
        random_srand(3);
        archpath_step(a);
        EXPECT_EQ(a->x, c[5]) << c[0];
        EXPECT_EQ(a->y, c[6]) << c[0];
        EXPECT_EQ(std::make_pair(a->angle, a->turn), std::make_pair(c[7], c[8])) << c[0];
        EXPECT_EQ(a->arc_frame, c[9]) << c[0];
        archpath_point(a, &px, &py);
        // The point stays, up to the table's rounding (and the area's wrap).
        EXPECT_LE(std::abs((px - px0 + 384) % 256 - 128), 1) << c[0];
        EXPECT_LE(std::abs((py - py0 + 384) % 256 - 128), 1) << c[0];
        EXPECT_EQ(random_rand(), Lcg{3}.next());  // the plain step draws nothing
    }
}

TEST(Archpath, VariantsDrawRadiusThenLengthWithTheOldTurn) {
    // variant, turn -> radius, length, turn from the seed's first two draws (r1, r2).
    Lcg g{11};
    int32_t r1 = g.next(), r2 = g.next();
    struct Case { void (*step)(ARCHPATH *); int32_t turn, radius, length, new_turn; } cases[] = {
        {archpath_step_vary, -3, (r1 & 31) + 16, ((r2 & 1023) + 256) / 3, 3},
        {archpath_step_vary, 0, (r1 & 31) + 16, (r2 & 1023) + 256, 0},  // standing still: a finite arc
        {archpath_step_vary_long, 2, (r1 & 15) + 8, ((r2 & 2047) + 2048) / 2, -2},
        {archpath_step_loop, -4, (r1 & 15) + 8, (r2 % 768 + 256) / 4, -4},
    };
    for (const Case &c : cases) {
        Own<archpath_del> a(known_path(1023, c.turn, 1, 0));
        random_srand(11);
        c.step(a);
        EXPECT_EQ(std::make_pair(a->radius, a->arc_length), std::make_pair(c.radius, c.length)) << c.turn;
        EXPECT_EQ(a->turn, c.new_turn);
    }
}

TEST(Archpath, PointIsPlottedWrappedIntoTheArea) {
    Own<archpath_del> a(known_path(0, 1, 10, 0));
    a->x = -3;
    a->y = 260 - 19;  // P = (-3, 260)
    a->colour = 0xABCDEF;
    Own<img_del> frame(grid_image(256, 256));
    archpath_draw_point(a, frame);
    EXPECT_EQ(img_get_pixel(frame, 253, 4), 0xABCDEFu);
}

TEST(Archpath, SpriteBIsAddedAtItsWrappedPlaces) {
    // P, area, sprite size -> the pixels of value 1 (the rest 0) in a 16 x 16 frame.
    struct Case { int32_t px, py, area, w, h; std::vector<std::pair<int, int>> lit; } cases[] = {
        {14, 1, 16, 4, 2, {{14, 1}, {15, 1}, {0, 1}, {1, 1}, {14, 2}, {15, 2}, {0, 2}, {1, 2}}},  // again at -2
        {-1, -1, 16, 2, 2, {{0, 0}, {15, 0}, {15, 15}}},  // a corner: three copies, not four
        {3, 4, 256, 1, 1, {{3, 4}}},
    };
    for (const Case &c : cases) {
        Own<archpath_del> a(path_at(c.px, c.py, c.area, c.w, c.h));
        Own<img_del> frame(grid_image(16, 16));
        archpath_draw_b(a, frame);
        std::vector<uint32_t> want(256, 0);
        for (auto [x, y] : c.lit) want[y * 16 + x] = 1;
        EXPECT_TRUE(grid_equals(frame, want)) << c.px << "," << c.py;
        EXPECT_EQ(std::make_pair(a->sprite_b->x, a->sprite_b->y), std::make_pair(c.px, c.py));
    }
}

TEST(Archpath, MirroredAndSprinkledDrawsMatchTheirRecording) {
    Golden g("archpath");
    Own<archpath_del> a(path_at(3, 4, 256, 1, 1));
    Own<img_del> frame(grid_image(16, 16));
    archpath_draw_b_mirrored(a, frame);  // (3, 4), (13, 4), (13, 12), (3, 12)
    std::vector<uint32_t> want(256, 0);
    want[4 * 16 + 3] = want[4 * 16 + 13] = want[12 * 16 + 13] = want[12 * 16 + 3] = 1;
    EXPECT_TRUE(grid_equals(frame, want));
    EXPECT_EQ(std::make_pair(a->sprite_b->x, a->sprite_b->y), std::make_pair(3, 12));
    Own<archpath_del> s(path_at(250, 3, 256, 0, 0));
    img_resize(s->sprite_a, 20, 6);
    for (int32_t i = 0; i < 120; i++) s->sprite_a->pixels[i] = 0x1000 + (uint32_t)i;
    Own<img_del> wide(grid_image(256, 16));
    random_srand(22);
    archpath_draw_a(s, wide);
    EXPECT_EQ(std::make_pair(s->sprite_a->x, s->sprite_a->y), std::make_pair(-6, 3));  // the last place drawn
    g.check("sprinkled", crc_of(wide));
    archpath_draw_a_mirrored(s, wide);
    EXPECT_EQ(std::make_pair(s->sprite_a->x, s->sprite_a->y), std::make_pair(-6, 13));  // (250, 16 - 3) wrapped
    g.check("sprinkled_mirrored", crc_of(wide));
    g.check("sprinkled_next", std::to_string(random_rand()));
}

TEST(Archpath, DrawsNeedTheirSpriteAndDupOwnsItsOwn) {
    Own<archpath_del> a(path_at(5, 5, 16, 1, 1));
    Own<img_del> frame(grid_image(16, 16));
    img_del(&a->sprite_b);
    img_del(&a->sprite_a);
    for (auto draw : {archpath_draw_a, archpath_draw_b, archpath_draw_a_mirrored, archpath_draw_b_mirrored}) draw(a, frame);
    archpath_draw_b(a, nullptr);
    EXPECT_TRUE(grid_equals(frame, std::vector<uint32_t>(256, 0)));
    random_srand(31);
    Own<archpath_del> p(archpath_new());
    img_set_pixel(p->sprite_a, 1, 1, 0x123456);
    Own<archpath_del> d(archpath_dup(p));
    EXPECT_TRUE(archpath_compare(p, d));
    EXPECT_NE(d->sprite_a, p->sprite_a);
    img_set_pixel(d->sprite_a, 1, 1, 0);
    EXPECT_FALSE(archpath_compare(p, d));
    archpath_copy(p, d);
    EXPECT_TRUE(archpath_compare(p, d));
    d->radius++;
    EXPECT_FALSE(archpath_compare(p, d));
}
