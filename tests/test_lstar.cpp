// LSTAR: the star's rings and their six draws (recorded), the half-spacing
// offset of the second ring, syncing and stepping, and the zigzag outline in
// its three pens (by hand on small stars, recorded CRCs on big ones).
#include <gtest/gtest.h>

#include <sstream>

#include "effects/lradial.h"
#include "effects/lstar.h"
#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"

namespace {

const uint32_t A = 0xAAAAAA, B = 0xBBBBBB;

// A star round (2, 2) whose rings both have radius 2 and two points, ring_b a
// quarter turn ahead: A0 (2, 3), B0 (3, 2), A1 (2, 0), B1 (0, 2).
LSTAR *small_star() {
    LSTAR *s = lstar_new();
    s->x = s->y = 2;
    lradial_set_lines(s->ring_a, 2);
    lradial_set_lines(s->ring_b, 2);
    s->ring_a->angle = 0;
    s->ring_b->angle = 256 << 16;
    s->ring_a->radius = s->ring_b->radius = 2;
    s->ring_a->colour = (int32_t)A;
    s->ring_b->colour = (int32_t)B;
    return s;
}

}  // namespace

TEST(Lstar, NewStarsMatchTheirRecording) {
    Golden g("lstar");
    for (uint32_t seed : {1234u, 0x31756A22u}) {
        random_srand(seed);
        Own<lstar_del> s(lstar_new());
        std::ostringstream o;
        for (LRADIAL *r : {s->ring_a, s->ring_b})
            o << r->spin << "," << r->radius << "," << Golden::hex((uint32_t)r->colour) << "," << r->angle << ";";
        o << " next " << random_rand();
        g.check("new" + std::to_string(seed), o.str());
    }
}

TEST(Lstar, SetPointsMovesRingBOnByHalfASpacing) {
    Own<lstar_del> s(lstar_new());  // 8 points: spacing 128 entries, ring_b 64 ahead
    EXPECT_EQ(std::make_pair(s->ring_a->spacing, s->ring_b->angle), std::make_pair(128 << 16, 64 << 16));
    // ring_b's angle before, points -> ring_b's angle after (a refused call keeps it).
    const int32_t cases[][3] = {{64 << 16, 8, 128 << 16}, {0x3FFFFFF, 3, (0x3FFFFFF + 11184810) & 0x3FFFFFF},
                                {5, 0, 5}, {5, -5, 5}, {0, 1, 512 << 16}};
    for (const auto &c : cases) {
        s->ring_b->angle = c[0];
        lstar_set_points(s, c[1]);
        EXPECT_EQ(s->ring_b->angle, c[2]) << c[1];
        EXPECT_EQ(s->ring_a->angle, 0);
    }
    EXPECT_EQ(s->ring_b->lines, 1);
}

TEST(Lstar, SyncLocksRingBToRingAAndStepTurnsBoth) {
    Own<lstar_del> s(lstar_new());
    lstar_set_points(s, 16);  // spacing 64 entries
    s->ring_a->angle = 0x3FF0000;
    s->ring_a->spin = 0x12345;
    s->ring_b->spin = -7;
    lstar_sync(s);
    EXPECT_EQ(s->ring_b->spin, 0x12345);
    EXPECT_EQ(s->ring_b->angle, (0x3FF0000 + (32 << 16)) & 0x3FFFFFF);
    for (int i = 0; i < 100; i++) lstar_step(s);  // turning together keeps the shape
    EXPECT_EQ(s->ring_a->angle, (0x3FF0000 + 100 * 0x12345) & 0x3FFFFFF);
    EXPECT_EQ((s->ring_b->angle - s->ring_a->angle) & 0x3FFFFFF, 32 << 16);
}

TEST(Lstar, DrawZigzagOutlineFromTheStarsCentre) {
    Own<img_del> img(grid_image(5, 5));
    Own<lstar_del> s(small_star());
    s->ring_a->x = 100;  // the rings' own centres are not used
    s->ring_b->y = -40;
    lstar_draw(s, img);
    // A0->B0 in A, A1->B0 in B; A1->B1 in A, A2 (= A0)->B1 in B.
    EXPECT_TRUE(grid_equals(img, picture("..a..|.a.b.|bb.b.|..b..|.....", "ab", {A, B})));
    EXPECT_EQ(std::make_pair(s->width, s->height), std::make_pair(5, 5));
    EXPECT_EQ(s->ring_b->angle, 256 << 16);  // drawing does not turn the rings
}

TEST(Lstar, DitherRunsFromRingToRing) {
    Own<img_del> img(grid_image(5, 5));
    Own<lstar_del> s(small_star());
    lradial_set_lines(s->ring_a, 1);  // one point per ring: A' is A again
    lradial_set_lines(s->ring_b, 1);
    s->ring_a->radius = 3;         // A = (2, 4)
    s->ring_b->angle = 512 << 16;  // B = (2, 0)
    lstar_draw_dither(s, img, 1);
    // A->B: A A A B B up from row 4; then B->A': B B B A A down from row 0, which stays.
    EXPECT_TRUE(grid_equals(img, picture("..b..|..b..|..b..|..a..|..a..", "ab", {A, B})));
}

TEST(Lstar, BigStarsInThreePensMatchTheirRecording) {
    Golden g("lstar");
    random_srand(77);
    Own<lstar_del> s(lstar_new());
    lstar_set_points(s, 13);
    s->ring_a->radius = 100;
    s->ring_b->radius = 40;
    for (int frame = 0; frame < 3; frame++) {
        Own<img_del> img(grid_image(256, 256));
        lstar_draw(s, img);
        g.check("plain" + std::to_string(frame), crc_of(img));
        img_clear(img, 0);
        lstar_draw_thick(s, img, 2 + frame);
        g.check("thick" + std::to_string(frame), crc_of(img));
        img_clear(img, 0);
        lstar_draw_dither(s, img, 1 + 2 * frame);
        g.check("dither" + std::to_string(frame), crc_of(img));
        for (int k = 0; k < 7; k++) lstar_step(s);
    }
}

TEST(Lstar, BadArgumentsAndMissingRingsDrawNothing) {
    Own<img_del> img(grid_image(5, 5));
    Own<lstar_del> s(small_star());
    lstar_draw(nullptr, img);
    lstar_draw_thick(s, nullptr, 2);
    lstar_draw_dither(s, nullptr, 2);
    LRADIAL *kept = s->ring_b;
    s->ring_b = nullptr;
    lstar_draw(s, img);
    lstar_step(s);
    lstar_sync(s);
    lstar_set_points(s, 4);
    EXPECT_EQ(s->ring_a->lines, 2);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(25, 0)));
    s->ring_b = kept;
    Own<lstar_del> d(lstar_dup(s));  // the empty operations: a fresh star
    EXPECT_NE(d->ring_a, s->ring_a);
    EXPECT_EQ(lstar_compare(s, s), 0);
    EXPECT_EQ(lstar_to_text(s), nullptr);
}
