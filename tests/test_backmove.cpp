// BACKMOVE: creation's two draws, the offsets' wrap in both directions (a
// table), the rare velocity changes (recorded over a long run), tiling with
// transparency and a shifted grid, the repeat growing to the tile, copy, dup,
// compare and the refusals.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "effects/backmove.h"
#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_support.h"

namespace {

struct Rig {
    Own<img_del> tile{grid_image(16, 16)}, target{grid_image(32, 32)};
    Own<backmove_del> b{backmove_new()};
    Rig() {
        b->tile = tile;
        b->target = target;
    }
};

}  // namespace

TEST(Backmove, NewDrawsItsVelocityDxFirst) {
    random_srand(45429);  // draws 17318 and 21105
    Own<backmove_del> b(backmove_new());
    EXPECT_EQ(std::make_pair(b->dx, b->dy), std::make_pair(17318 % 9 - 4, 21105 % 9 - 4));
    EXPECT_EQ(std::make_pair(b->tile_width, b->tile_height), std::make_pair(16, 16));
}

TEST(Backmove, StepWrapsTheOffsetIntoMinusRepeatToZero) {
    // offset x, dx, offset y, dy -> offset x, offset y (repeat 16).
    const int32_t cases[][6] = {
        {-15, 4, -2, 4, -11, -14}, {-14, -4, 0, 0, -2, 0}, {-4, 4, -15, -1, 0, 0}, {0, -1, -1, 1, -1, 0},
    };
    for (const auto &c : cases) {
        Rig r;
        r.b->offset_x = c[0];
        r.b->dx = c[1];
        r.b->offset_y = c[2];
        r.b->dy = c[3];
        random_srand(1);  // the first draws (41, 18467) are not multiples of 256
        backmove_step(r.b);
        EXPECT_EQ(std::make_pair(r.b->offset_x, r.b->offset_y), std::make_pair(c[4], c[5])) << c[0] << " " << c[2];
        EXPECT_EQ(std::make_pair(r.b->dx, r.b->dy), std::make_pair(c[1], c[3]));
    }
}

TEST(Backmove, VelocityChangesMatchTheirRecording) {
    Golden g("backmove");
    Rig r;
    random_srand(5);
    std::ostringstream changes;
    int32_t dx = r.b->dx = 9, dy = r.b->dy = 9;
    for (int32_t step = 0; step < 3000; step++) {
        backmove_step(r.b);
        if (r.b->dx != dx || r.b->dy != dy) changes << step << ":" << r.b->dx << "," << r.b->dy << " ";
        dx = r.b->dx;
        dy = r.b->dy;
        EXPECT_TRUE(dx == 9 || (dx >= -3 && dx <= 4)) << dx;
    }
    g.check("changes5", changes.str() + "next " + std::to_string(random_rand()));
}

TEST(Backmove, DrawTilesFromTheOffsetSkippingBlack) {
    Rig r;
    Own<img_del> small(grid_image(2, 2, {0x11, 0x00, 0x21, 0x22}));
    Own<img_del> frame(grid_filled(5, 3, 0x99));
    r.b->tile = small;
    r.b->target = frame;
    r.b->tile_width = r.b->tile_height = 2;
    r.b->offset_x = -1;
    backmove_draw(r.b);
    EXPECT_TRUE(grid_equals(frame, {0x99, 0x11, 0x99, 0x11, 0x99, 0x22, 0x21, 0x22, 0x21, 0x22,
                                    0x99, 0x11, 0x99, 0x11, 0x99}));
    Own<img_del> dot(grid_filled(1, 1, 0x44));  // a repeat larger than the tile leaves gaps
    img_clear(frame, 0);
    r.b->tile = dot;
    r.b->offset_x = 0;
    backmove_draw(r.b);
    EXPECT_TRUE(grid_equals(frame, {0x44, 0, 0x44, 0, 0x44, 0, 0, 0, 0, 0, 0x44, 0, 0x44, 0, 0x44}));
}

TEST(Backmove, ALargerTileRaisesTheRepeatOnTheFirstDraw) {
    Rig r;
    img_resize(r.tile, 20, 18);
    backmove_draw(r.b);
    EXPECT_EQ(std::make_pair(r.b->tile_width, r.b->tile_height), std::make_pair(20, 18));
    img_resize(r.tile, 4, 4);
    backmove_draw(r.b);  // never shrinks
    EXPECT_EQ(std::make_pair(r.b->tile_width, r.b->tile_height), std::make_pair(20, 18));
}

TEST(Backmove, RefusalsDrawAndStepNothing) {
    Rig r;
    r.b->offset_x = -3;
    r.b->dx = 1;
    random_srand(5);
    r.b->tile = nullptr;
    backmove_step(r.b);
    backmove_draw(r.b);
    r.b->tile = r.tile;
    r.b->target = nullptr;
    backmove_step(r.b);
    r.b->target = r.target;
    img_resize(r.tile, 0, 0);  // no repeat distance: refused, not looped on
    r.b->tile_width = r.b->tile_height = 0;
    backmove_draw(r.b);
    backmove_step(r.b);
    EXPECT_EQ(r.b->offset_x, -3);
    EXPECT_EQ(random_rand(), Lcg{5}.next());  // the refused steps drew nothing
}

TEST(Backmove, CopyLeavesZAndDepthCompareSeesEveryFieldDupDrawsTwice) {
    Rig r;
    r.b->offset_x = -5;
    r.b->dx = 3;
    r.b->z = 7;
    Own<backmove_del> c(backmove_new());
    c->z = 1;
    c->depth = 2;
    backmove_copy(r.b, c);
    EXPECT_EQ(std::tuple(c->offset_x, c->dx, c->z, c->depth, c->target), std::tuple(-5, 3, 1, 2, r.target.get()));
    EXPECT_FALSE(backmove_compare(r.b, c));
    c->z = 7;
    c->depth = 256;
    EXPECT_TRUE(backmove_compare(r.b, c));
    c->tile_height = 17;
    EXPECT_FALSE(backmove_compare(r.b, c));
    r.b->z = 0;  // dup leaves z and depth at their defaults
    random_srand(77);
    Own<backmove_del> d(backmove_dup(r.b));
    Lcg g{77};
    g.next();
    g.next();
    EXPECT_EQ(random_rand(), g.next());
    EXPECT_TRUE(backmove_compare(r.b, d));
}
