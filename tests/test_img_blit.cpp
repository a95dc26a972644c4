// IMG's own blits and rectangles: whole-word and saturating additions, the
// draw at the image's own place, row copies, rectangle inversion, outlines
// and the run lengths behind scaling. The blits shared with BYTEMAP are in
// test_raster_shared.cpp.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <vector>

#include "imaging/img.h"
#include "tests/test_support.h"

using Image = Own<img_del>;

TEST(ImgBlit, AdditionsWrapWholeWordsOrSaturateEachChannel) {
    Image s(grid_image(3, 1, std::vector<uint32_t>{0x000000FF, 0xFFFFFFFF, 0xFF018001}));
    Image wrap(grid_image(3, 1, std::vector<uint32_t>{0x00000001, 0x00000002, 0x00FF80FF}));
    Image sat(grid_image(3, 1, std::vector<uint32_t>{0x00000001, 0x00000002, 0x00FF80FF}));
    img_blit_add(s, wrap, 0, 0, 0, 0, 3, 1);
    img_blit_add_sat(s, sat, 0, 0, 0, 0, 3, 1);
    EXPECT_TRUE(grid_equals(wrap, std::vector<uint32_t>{0x00000100, 0x00000001, 0x00010100}));
    EXPECT_TRUE(grid_equals(sat, std::vector<uint32_t>{0x000000FF, 0x00FFFFFF, 0x00FFFFFF}));
    img_blit_add(s, wrap, 0, 0, 3, 0, 3, 1);  // wholly right: nothing
    img_blit_add_sat(s, sat, 1, 0, -1, 0, 1, 1);  // clipped away
    EXPECT_TRUE(grid_equals(wrap, std::vector<uint32_t>{0x00000100, 0x00000001, 0x00010100}));
    EXPECT_TRUE(grid_equals(sat, std::vector<uint32_t>{0x000000FF, 0x00FFFFFF, 0x00FFFFFF}));
}

TEST(ImgBlit, DrawPutsTheSourceAtItsOwnPlace) {
    Image s(grid_image(2, 2, std::vector<uint32_t>{0xA5000001, 2, 3, 0}));
    Image t(grid_filled(4, 3, 9));
    s->x = 3, s->y = 1;
    img_draw(s, t);
    for (auto [x, y] : {std::pair{4, 0}, {-2, 0}, {0, 3}, {0, -2}}) {  // each wholly outside
        s->x = x, s->y = y;
        img_draw(s, t);
    }
    EXPECT_TRUE(grid_equals(t, std::vector<uint32_t>{9, 9, 9, 9, 9, 9, 9, 0xA5000001, 9, 9, 9, 3}));
    img_draw(nullptr, t);
    img_draw(s, nullptr);
}

TEST(ImgBlit, CopyRowTakesTheNarrowerWidthZerosIncluded) {
    Image s(grid_image(4, 1, std::vector<uint32_t>{0xA5000001, 0, 3, 4}));
    Image t(grid_filled(3, 2, 0x77));
    img_copy_row(s, t, 0, 1);
    for (auto [a, b] : {std::pair{0, 2}, {-1, 0}, {1, 0}, {0, -1}}) img_copy_row(s, t, a, b);  // refused
    img_copy_row(nullptr, t, 0, 0);
    EXPECT_TRUE(grid_equals(t, std::vector<uint32_t>{0x77, 0x77, 0x77, 0xA5000001, 0, 3}));
}

TEST(ImgRect, InvertFlipsWholeWordsClippedAndOutlinesOnlyInside) {
    Image t(grid_image(3, 2, std::vector<uint32_t>{0x00123456, 0, 0xFF000000, 0x00FFFFFF, 0x00010101, 1}));
    img_invert_rect(t, -1, -4, 3, 5);  // columns 0-1 of row 0
    img_invert_rect(t, 2, 1, 5, 5);    // the bottom-right corner
    img_invert_rect(t, -3, 0, 3, 2);   // x + w = 0: nothing
    img_invert_rect(t, 3, 0, 3, 2);    // x = width: nothing
    img_invert_rect(nullptr, 0, 0, 1, 1);
    EXPECT_TRUE(grid_equals(t, std::vector<uint32_t>{0xFFEDCBA9, 0xFFFFFFFF, 0xFF000000, 0x00FFFFFF,
                                                      0x00010101, 0xFFFFFFFE}));
    Image o(grid_image(3, 3));
    img_rect(o, 0, 0, 3, 3, 5);
    img_rect(o, 1, 1, 1, 1, 0xA5000006);
    for (auto r : {std::array{0, 0, 0, 2}, {0, 0, 2, 0}, {1, 1, INT32_MAX, 1}}) img_rect(o, r[0], r[1], r[2], r[3], 1);
    EXPECT_TRUE(grid_equals(o, std::vector<uint32_t>{5, 5, 5, 5, 0xA5000006, 5, 5, 5, 5}));
}

// Runs of a split of a into b + 1 pieces (order and signs do not matter).
TEST(ImgRuns, PlainAndMirroredSplits) {
    const struct {
        bool mirrored;
        int32_t a, b;
        std::vector<int32_t> runs;
    } cases[] = {
        {false, 4, 2, {2, 2, 1}}, {false, 5, 3, {2, 2, 1, 1}}, {false, -3, 5, {2, 2, 1}},
        {false, 3, 3, {1, 1, 1, 1}}, {false, 0, 0, {1}}, {false, 4, 0, {5}},
        {true, 7, 3, {3, 2, 3}}, {true, 5, 3, {2, 2, 2}}, {true, 2, -4, {2, 2}},
    };
    for (auto &c : cases) {
        int32_t *r = c.mirrored ? img_run_lengths_mirrored(c.a, c.b) : img_run_lengths(c.a, c.b);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(std::vector<int32_t>(r, r + c.runs.size()), c.runs) << c.a << ", " << c.b;
        free(r);
    }
    EXPECT_EQ(img_run_lengths(INT32_MIN, 3), nullptr);
}
