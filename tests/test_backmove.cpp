// BACKMOVE: creation's two draws, the offsets' wrap in both directions, the
// rare velocity changes, tiling with transparency and a shifted grid, the
// repeat growing to the tile, copy/dup/compare and the refusals.
#include <gtest/gtest.h>

#include "effects/backmove.h"
#include "host/random.h"
#include "imaging/img.h"
#include "test_support.h"

TEST(Backmove, NewDrawsItsVelocityDxFirst) {
    random_srand(1234);
    int32_t r1 = random_rand(), r2 = random_rand();
    random_srand(1234);
    BACKMOVE *b = backmove_new();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->dx, r1 % 9 - 4);
    EXPECT_EQ(b->dy, r2 % 9 - 4);
    EXPECT_EQ(b->x, 0);
    EXPECT_EQ(b->y, 0);
    EXPECT_EQ(b->z, 0);
    EXPECT_EQ(b->width, 256);
    EXPECT_EQ(b->height, 256);
    EXPECT_EQ(b->depth, 256);
    EXPECT_EQ(b->offset_x, 0);
    EXPECT_EQ(b->offset_y, 0);
    EXPECT_EQ(b->tile_width, 16);
    EXPECT_EQ(b->tile_height, 16);
    EXPECT_EQ(b->tile, nullptr);
    EXPECT_EQ(b->target, nullptr);
    backmove_del(&b);
    EXPECT_EQ(b, nullptr);
    backmove_del(&b);
}

TEST(Backmove, VelocitiesStayWithinFour) {
    random_srand(99);
    BACKMOVE *b = backmove_new();
    for (int i = 0; i < 200; i++) {
        backmove_randomize(b);
        EXPECT_GE(b->dx, -4);
        EXPECT_LE(b->dx, 4);
        EXPECT_GE(b->dy, -4);
        EXPECT_LE(b->dy, 4);
    }
    backmove_del(&b);
}

struct BackmoveTest : ::testing::Test {
    IMG *tile = grid_image(16, 16);
    IMG *target = grid_image(32, 32);
    BACKMOVE *b = backmove_new();
    void SetUp() override {
        b->tile = tile;
        b->target = target;
    }
    void TearDown() override {
        backmove_del(&b);
        img_del(&tile);
        img_del(&target);
    }
};

TEST_F(BackmoveTest, StepWrapsTheOffsetBelowOne) {
    b->offset_x = -15;
    b->dx = 4;
    b->offset_y = -2;
    b->dy = 4;
    random_srand(1);  // the first draws are not multiples of 256
    backmove_step(b);
    EXPECT_EQ(b->offset_x, -11);
    EXPECT_EQ(b->offset_y, -14);  // 2 -> 2 - 16
}

TEST_F(BackmoveTest, StepWrapsBackwardsAndStaysAtZero) {
    b->offset_x = -14;
    b->dx = -4;  // -18 mod 16 = -2
    b->offset_y = 0;
    b->dy = 0;
    random_srand(1);
    backmove_step(b);
    EXPECT_EQ(b->offset_x, -2);
    EXPECT_EQ(b->offset_y, 0);
    b->offset_x = -4;
    b->dx = 4;  // exactly 0: stays 0
    backmove_step(b);
    EXPECT_EQ(b->offset_x, 0);
}

// Finds a seed whose draws after `skip` values follow the pattern: the
// first of each pair is a multiple of 256 when `change` says so.
static uint32_t seed_for(bool change_x, bool change_y) {
    for (uint32_t seed = 1;; seed++) {
        random_srand(seed);
        bool cx = (random_rand() & 255) == 0;
        if (cx != change_x) continue;
        if (cx) random_rand();
        bool cy = (random_rand() & 255) == 0;
        if (cy == change_y) return seed;
    }
}

TEST_F(BackmoveTest, VelocityKeepsWhenTheDrawsMissAndUsesTwoDraws) {
    uint32_t seed = seed_for(false, false);
    random_srand(seed);
    random_rand();
    random_rand();
    int32_t next = random_rand();
    random_srand(seed);
    b->dx = 2;
    b->dy = -1;
    backmove_step(b);
    EXPECT_EQ(b->dx, 2);
    EXPECT_EQ(b->dy, -1);
    EXPECT_EQ(random_rand(), next);
}

TEST_F(BackmoveTest, VelocityChangesWhenADrawHitsZeroLowBits) {
    uint32_t seed = seed_for(true, true);
    random_srand(seed);
    random_rand();
    int32_t nx = random_rand();
    random_rand();
    int32_t ny = random_rand();
    random_srand(seed);
    b->dx = 9;
    b->dy = 9;
    backmove_step(b);
    EXPECT_EQ(b->dx, (nx & 7) - 3);
    EXPECT_EQ(b->dy, (ny & 7) - 3);
    uint32_t only_y = seed_for(false, true);
    random_srand(only_y);
    random_rand();
    random_rand();
    ny = random_rand();
    random_srand(only_y);
    b->dx = 9;
    backmove_step(b);
    EXPECT_EQ(b->dx, 9);
    EXPECT_EQ(b->dy, (ny & 7) - 3);
}

TEST_F(BackmoveTest, DrawTilesFromTheOffsetSkippingBlack) {
    const uint32_t two[] = {0x11, 0x00,  //
                            0x21, 0x22};
    IMG *small = grid_image(2, 2, two);
    IMG *frame = grid_image(5, 3);
    img_clear(frame, 0x99);
    b->tile = small;
    b->target = frame;
    b->tile_width = b->tile_height = 2;
    b->offset_x = -1;
    b->offset_y = 0;
    backmove_draw(b);
    const uint32_t expected[] = {0x99, 0x11, 0x99, 0x11, 0x99,  //
                                 0x22, 0x21, 0x22, 0x21, 0x22,  //
                                 0x99, 0x11, 0x99, 0x11, 0x99};
    EXPECT_TRUE(grid_equals(frame, 5, 3, expected));
    img_del(&small);
    img_del(&frame);
}

TEST_F(BackmoveTest, RepeatDistanceCanLeaveGaps) {
    const uint32_t one[] = {0x44};
    IMG *dot = grid_image(1, 1, one);
    IMG *frame = grid_image(5, 3);
    b->tile = dot;
    b->target = frame;
    b->tile_width = 2;
    b->tile_height = 2;
    backmove_draw(b);
    const uint32_t expected[] = {0x44, 0, 0x44, 0, 0x44,  //
                                 0,    0, 0,    0, 0,     //
                                 0x44, 0, 0x44, 0, 0x44};
    EXPECT_TRUE(grid_equals(frame, 5, 3, expected));
    img_del(&dot);
    img_del(&frame);
}

TEST_F(BackmoveTest, ALargerTileRaisesTheRepeatOnTheFirstDraw) {
    img_resize(tile, 20, 18);
    backmove_draw(b);
    EXPECT_EQ(b->tile_width, 20);
    EXPECT_EQ(b->tile_height, 18);
    img_resize(tile, 4, 4);
    backmove_draw(b);  // never shrinks
    EXPECT_EQ(b->tile_width, 20);
    EXPECT_EQ(b->tile_height, 18);
}

TEST_F(BackmoveTest, NoRepeatDistanceIsRefusedNotLoopedOn) {
    img_resize(tile, 0, 0);
    b->tile_width = 0;
    b->tile_height = 0;
    b->offset_x = -3;
    random_srand(5);
    int32_t first = random_rand();
    random_srand(5);
    backmove_draw(b);
    backmove_step(b);
    EXPECT_EQ(b->offset_x, -3);
    EXPECT_EQ(random_rand(), first);  // the refused step drew nothing
}

TEST_F(BackmoveTest, StepAndDrawNeedTileAndTarget) {
    b->tile = nullptr;
    b->offset_x = -3;
    b->dx = 1;
    backmove_step(b);
    backmove_draw(b);
    EXPECT_EQ(b->offset_x, -3);
    b->tile = tile;
    b->target = nullptr;
    backmove_step(b);
    backmove_draw(b);
    EXPECT_EQ(b->offset_x, -3);
    backmove_step(nullptr);
    backmove_draw(nullptr);
    backmove_randomize(nullptr);
}

TEST_F(BackmoveTest, CopyLeavesZAndDepthAndCompareSeesEveryField) {
    b->offset_x = -5;
    b->dx = 3;
    b->z = 7;
    BACKMOVE *c = backmove_new();
    c->z = 1;
    c->depth = 2;
    backmove_copy(b, c);
    EXPECT_EQ(c->offset_x, -5);
    EXPECT_EQ(c->dx, 3);
    EXPECT_EQ(c->tile, tile);
    EXPECT_EQ(c->target, target);
    EXPECT_EQ(c->z, 1);
    EXPECT_EQ(c->depth, 2);
    EXPECT_FALSE(backmove_compare(b, c));
    c->z = 7;
    c->depth = 256;
    EXPECT_TRUE(backmove_compare(b, c));
    c->tile_height = 17;
    EXPECT_FALSE(backmove_compare(b, c));
    backmove_del(&c);
    EXPECT_FALSE(backmove_compare(b, nullptr));
    backmove_copy(nullptr, b);
}

TEST_F(BackmoveTest, DupDrawsTwiceThenCopies) {
    b->offset_y = -9;
    random_srand(77);
    random_rand();
    random_rand();
    int32_t third = random_rand();
    random_srand(77);
    BACKMOVE *d = backmove_dup(b);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(random_rand(), third);
    EXPECT_EQ(d->offset_y, -9);
    EXPECT_EQ(d->dx, b->dx);
    EXPECT_TRUE(backmove_compare(b, d));
    backmove_del(&d);
    EXPECT_EQ(backmove_dup(nullptr), nullptr);
}
