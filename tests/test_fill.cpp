// FILL: the flood fill grows one ring per step, from a plain colour or a
// repeating pattern; the centred run splits.
#include <gtest/gtest.h>

#include <cstdlib>

#include "imaging/fill.h"
#include "tests/test_support.h"
#include "vector/array.h"

static const uint32_t B = 0x000000FF;  // border
static const uint32_t A = 0x0000FF00;  // region to fill
static const uint32_t F = 0x00FF0000;  // paint

// A 3 x 3 block of A inside a one-pixel border of B.
// A picture of B, A and F cells, row after row (blanks between rows).
static std::vector<uint32_t> pic(const char *cells) {
    std::vector<uint32_t> out;
    for (const char *c = cells; *c; c++)
        if (*c != ' ') out.push_back(*c == 'B' ? B : *c == 'A' ? A : F);
    return out;
}

static IMG *block_in_border() { return grid_image(5, 5, pic("BBBBB BAAAB BAAAB BAAAB BBBBB")); }

TEST(Fill, GrowsOneRingPerStep) {
    Own<img_del> img(block_in_border());
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill_start(fill, 2, 2, F);
    EXPECT_EQ(fill->target_colour, A);
    EXPECT_EQ(fill->fill_colour, F);
    EXPECT_EQ(fill->state, 'f');

    EXPECT_EQ(fill_step(fill), 4);
    EXPECT_TRUE(grid_equals(img, pic("BBBBB BAAAB BAFAB BAAAB BBBBB")));
    EXPECT_TRUE(fill->left == 0 && fill->top == 0 && fill->right == 5 && fill->bottom == 5);

    EXPECT_EQ(fill_step(fill), 8);  // each corner queued twice
    EXPECT_TRUE(grid_equals(img, pic("BBBBB BAFAB BFFFB BAFAB BBBBB")));

    EXPECT_EQ(fill_step(fill), 0);
    EXPECT_TRUE(grid_equals(img, pic("BBBBB BFFFB BFFFB BFFFB BBBBB")));
    EXPECT_EQ(fill_step(fill), 0);  // both fronts empty
}

TEST(Fill, QueuesNeighboursRightBelowLeftAboveFromTheLastPoint) {
    Own<img_del> img(block_in_border());
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill_start(fill, 2, 2, F);
    fill_step(fill);
    fill_step(fill);
    // Second ring walked (2,1), (1,2), (2,3), (3,2): their new neighbours in order.
    const int32_t expected[8][2] = {{3, 1}, {1, 1}, {1, 3}, {1, 1}, {3, 3}, {1, 3}, {3, 3}, {3, 1}};
    ASSERT_EQ(fill->front->count, 8);
    for (int i = 0; i < 8; i++) {
        int32_t p[2];
        array_get(fill->front, p, i);
        EXPECT_EQ(p[0], expected[i][0]) << i;
        EXPECT_EQ(p[1], expected[i][1]) << i;
    }
}

TEST(Fill, StaysInsideTheImageEvenForBlack) {
    // Outside pixels read as 0 like the target colour, but lie outside the region.
    Own<img_del> img(grid_image(2, 1));
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill_start(fill, 0, 0, 0x00123456);
    EXPECT_EQ(fill->target_colour, 0u);
    EXPECT_EQ(fill_step(fill), 1);
    EXPECT_EQ(fill_step(fill), 0);
    EXPECT_TRUE(grid_equals(img, {0x00123456, 0x00123456}));
}

TEST(Fill, PatternRepeatsAcrossTheImage) {
    Own<img_del> pattern(grid_image(2, 2, {1, 2, 3, 4}));
    Own<img_del> img(grid_image(2, 2));
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill->pattern = pattern;
    fill->pattern_x = 0;
    fill->pattern_y = 1;
    fill_start(fill, 0, 0, 0);
    EXPECT_EQ(fill_step_pattern(fill), 2);
    EXPECT_EQ(fill->fill_colour, 3u);  // pattern (0, 1)
    EXPECT_EQ(fill_step_pattern(fill), 2);
    EXPECT_EQ(fill->fill_colour, 4u);  // (1, 0) painted last, from pattern (1, 1)
    EXPECT_EQ(fill_step_pattern(fill), 0);
    EXPECT_EQ(fill->fill_colour, 2u);
    EXPECT_TRUE(grid_equals(img, {3, 4, 1, 2}));
}

TEST(Fill, PatternOffsetsWrapBothWays) {
    Own<img_del> pattern(grid_image(2, 1, {5, 6}));
    for (int32_t offset : {1, -1, 3}) {
        Own<img_del> img(grid_image(3, 1));
        Own<fill_del> fill(fill_new());
        fill->image = img;
        fill->pattern = pattern;
        fill->pattern_x = offset;
        fill_start(fill, 0, 0, 0);
        while (fill_step_pattern(fill) > 0) {
        }
        EXPECT_TRUE(grid_equals(img, {6, 5, 6})) << "offset " << offset;
    }
}

TEST(Fill, StepWithoutStartReportsZero) {
    Own<img_del> img(grid_image(2, 2));
    Own<fill_del> fill(fill_new());
    fill->image = img;
    EXPECT_EQ(fill_step(fill), 0);
    EXPECT_EQ(fill_step_pattern(fill), 0);
    EXPECT_EQ(fill_step(nullptr), 0);
    EXPECT_TRUE(grid_equals(img, {0, 0, 0, 0}));
}

TEST(Fill, StartNeedsAnImage) {
    Own<fill_del> fill(fill_new());
    fill_start(fill, 0, 0, 1);
    EXPECT_EQ(fill->state, 0);
    EXPECT_EQ(fill->front, nullptr);
    EXPECT_EQ(fill_step(fill), 0);
    fill_start(nullptr, 0, 0, 1);
}

TEST(Fill, PatternStepNeedsAPatternWithPixels) {
    Own<img_del> img(grid_image(2, 2));
    Own<img_del> empty(grid_image(0, 3));
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill_start(fill, 0, 0, 9);
    EXPECT_EQ(fill_step_pattern(fill), 0);  // no pattern
    fill->pattern = empty;
    EXPECT_EQ(fill_step_pattern(fill), 0);  // nothing to repeat
    EXPECT_TRUE(grid_equals(img, {0, 0, 0, 0}));
    EXPECT_EQ(fill_step(fill), 2);  // the plain step still works
}

TEST(Fill, ResetEmptiesTheFronts) {
    Own<img_del> img(grid_image(3, 3));
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill_start(fill, 1, 1, 7);
    EXPECT_EQ(fill_step(fill), 4);
    fill_reset(fill);
    EXPECT_EQ(fill->front->count, 0);
    EXPECT_EQ(fill->next_front->count, 0);
    EXPECT_EQ(fill_step(fill), 0);
    EXPECT_TRUE(grid_equals(img, {0, 0, 0, 0, 7, 0, 0, 0, 0}));
    fill_reset(nullptr);
}

TEST(Fill, RestartEmptiesTheOldFronts) {
    Own<img_del> img(grid_image(3, 1, {1, 1, 2}));
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill_start(fill, 0, 0, 5);
    EXPECT_EQ(fill_step(fill), 1);
    fill_start(fill, 2, 0, 6);
    EXPECT_EQ(fill->front->count, 1);
    EXPECT_EQ(fill_step(fill), 0);
    EXPECT_TRUE(grid_equals(img, {5, 1, 6}));
}

TEST(Fill, LifecycleWithoutContent) {
    Own<fill_del> fill(fill_new());
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->image, nullptr);
    EXPECT_EQ(fill_to_text(fill), nullptr);
    EXPECT_EQ(fill_compare(fill, fill), 0);
    Own<fill_del> dup(fill_dup(fill));
    ASSERT_NE(dup, nullptr);
    EXPECT_NE(dup, fill);
    fill_copy(fill, dup);
    EXPECT_EQ(fill_dup(nullptr), nullptr);
    fill_del(fill.address());  // second delete only reports
    EXPECT_EQ(fill, nullptr);
}

// The splits of FILL start their error at half the larger length, which
// centres the runs; the mirrored one fills from both ends.
TEST(Fill, RunLengthsStartAtHalfTheError) {
    const struct {
        bool mirrored;
        int32_t a, b;
        std::vector<int32_t> runs;
    } cases[] = {
        {false, 5, 3, {1, 2, 1, 2}}, {false, 4, 2, {1, 2, 2}}, {false, -2, 4, {1, 2, 2}}, {false, 3, 3, {1, 1, 1, 1}},
        {false, 0, 0, {1}},          {false, 1, 0, {2}},       {false, 0, -1, {2}},       {true, 5, 3, {1, 2, 1}},
        {true, 6, 2, {2, 2}},        {true, 7, -3, {1, 3, 1}},
    };
    for (auto &c : cases) {
        int32_t *r = c.mirrored ? fill_run_lengths_mirrored(c.a, c.b) : fill_run_lengths(c.a, c.b);
        EXPECT_EQ(std::vector<int32_t>(r, r + c.runs.size()), c.runs) << c.a << ", " << c.b;
        free(r);
    }
    int32_t *none = fill_run_lengths_mirrored(4, 0), *points = fill_line_points(0, 0, 2, 1);
    EXPECT_NE(none, nullptr);
    EXPECT_EQ(std::vector<int32_t>(points, points + 7), (std::vector<int32_t>{6, 0, 0, 1, 1, 2, 1}));
    free(none);
    free(points);
}
