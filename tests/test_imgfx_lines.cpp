// IMGFX lines, points and spans: two-ended lines, dither and gradient lines,
// thick lines, blended and added points, alpha spans and the sine circle.
#include <gtest/gtest.h>

#include "imaging/imgfx.h"
#include "tests/test_support.h"

static const uint32_t C = 0x00123456;
static const uint32_t D = 0x00ABCDEF;

// The image as rows of '#' (pixel equal to `on`) and '.' for quick shapes.
static std::vector<std::string> shape(const IMG *img, uint32_t on) {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < img->height; y++) {
        std::string row;
        for (int32_t x = 0; x < img->width; x++) row += img->pixels[y * img->width + x] == on ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(ImgfxLine, IsTheImageLine) {
    IMG *img = grid_image(4, 2);
    imgfx_line(img, 0, 0, 3, 1, C);
    EXPECT_EQ(shape(img, C), (std::vector<std::string>{"#...", ".###"}));
    img_del(&img);
    img = grid_image(4, 2);
    imgfx_line(img, 3, 1, 0, 0, C);
    EXPECT_EQ(shape(img, C), (std::vector<std::string>{"###.", "...#"}));
    img_del(&img);
}

TEST(ImgfxLine, TwoEndsMirrorsTheHalves) {
    // Stepped from (0, 0) and from (4, 2) at once: (0,0) (4,2), (1,1) (3,1), (2,1) (2,1).
    IMG *img = grid_image(5, 3);
    imgfx_line_two_ends(img, 0, 0, 4, 2, C);
    EXPECT_EQ(shape(img, C), (std::vector<std::string>{"#....", ".###.", "....#"}));
    img_del(&img);
    img = grid_image(5, 1);
    imgfx_line_two_ends(img, -3, 0, 7, 0, C);
    EXPECT_EQ(shape(img, C), (std::vector<std::string>{"#####"}));
    img_del(&img);
    imgfx_line_two_ends(nullptr, 0, 0, 4, 2, C);
}

TEST(ImgfxLine, BlendTwoEndsPlotsTheMiddleTwice) {
    // Length 4: the pass that meets in the middle plots (2, 0) from both ends.
    IMG *img = grid_image(5, 1);
    imgfx_line_blend_two_ends(img, 0, 0, 4, 0, 0x00FEFEFE);
    EXPECT_TRUE(grid_equals(img, {0x007F7F7F, 0x007F7F7F, 0x00BEBEBE, 0x007F7F7F, 0x007F7F7F}));
    img_del(&img);
    img = grid_image(4, 1, {0x00FF0000, 0, 0, 0});
    imgfx_line_blend_two_ends(img, 0, 0, 3, 0, 0x000000FE);  // length 3: every point once
    EXPECT_TRUE(grid_equals(img, {0x007F007F, 0x0000007F, 0x0000007F, 0x0000007F}));
    img_del(&img);
}

TEST(ImgfxLine, AddTwoEndsSaturates) {
    Own<img_del> img(grid_image(5, 1, {0, 0x00F0F0F0, 0, 0, 0}));
    imgfx_line_add_two_ends(img, 0, 0, 4, 0, 0x00101010);
    EXPECT_TRUE(grid_equals(img, {0x00101010, 0x00FFFFFF, 0x00202020, 0x00101010, 0x00101010}));
}

TEST(ImgfxLine, DitherGrowsTowardsTheSecondColour) {
    IMG *img = grid_image(11, 1);
    imgfx_dither_line(img, 0, 0, C, 10, 0, D);
    EXPECT_TRUE(grid_equals(img, {C, C, C, C, D, C, D, C, D, D, D}));
    img_del(&img);
    img = grid_image(11, 1);
    imgfx_dither_line(img, 10, 0, C, 0, 0, D);  // the same counts from the other end
    EXPECT_TRUE(grid_equals(img, {D, D, D, C, D, C, D, C, C, C, C}));
    img_del(&img);
}

TEST(ImgfxLine, DitherOfOnePointUsesTheFirstColour) {
    Own<img_del> img(grid_image(2, 1));
    imgfx_dither_line(img, 1, 0, C, 1, 0, D);
    EXPECT_TRUE(grid_equals(img, {0, C}));
}

TEST(ImgfxLine, GradientStepsEachChannelInFixedPoint) {
    Own<img_del> img(grid_image(5, 1));
    imgfx_gradient_line(img, 0, 0, 0x00000000, 4, 0, 0x00FF8010);
    EXPECT_TRUE(grid_equals(img, {0x00000000, 0x003F2004, 0x007F4008, 0x00BF600C, 0x00FF8010}));
}

TEST(ImgfxLine, GradientTruncatesTowardsZero) {
    // Steps of +-10/3 in 16.16, truncated: up stops short at 9, down reaches 0.
    Own<img_del> img(grid_image(4, 2));
    imgfx_gradient_line(img, 0, 0, 0x00000000, 3, 0, 0x000A0000);
    imgfx_gradient_line(img, 0, 1, 0x0000000A, 3, 1, 0x00000000);
    EXPECT_TRUE(grid_equals(img, {0x00000000, 0x00030000, 0x00060000, 0x00090000,
                              0x0000000A, 0x00000006, 0x00000003, 0x00000000}));
}

TEST(ImgfxLine, GradientFollowsTheSteepAxis) {
    Own<img_del> img(grid_image(1, 3));
    imgfx_gradient_line(img, 0, 2, 0x00000010, 0, 0, 0x00000030);
    EXPECT_TRUE(grid_equals(img, {0x00000030, 0x00000020, 0x00000010}));
}

TEST(ImgfxLine, GradientSinglePoints) {
    Own<img_del> img(grid_image(3, 1, {0, 0, 0x00F00000}));
    imgfx_gradient_line(img, 0, 0, 0x00200000, 0, 0, 0x00400000);
    imgfx_gradient_line_avg(img, 1, 0, 0x00200000, 1, 0, 0x00410000);
    imgfx_gradient_line_add(img, 2, 0, 0x00200000, 2, 0, 0x00400000);
    EXPECT_TRUE(grid_equals(img, {0x00200000, 0x00300000, 0x00FF0000}));
}

TEST(ImgfxLine, GradientAddAddsEveryPoint) {
    Own<img_del> img(grid_image(3, 1, {0x00010101, 0x00F00000, 0}));
    imgfx_gradient_line_add(img, 0, 0, 0x00000000, 2, 0, 0x00200020);
    EXPECT_TRUE(grid_equals(img, {0x00010101, 0x00FF0010, 0x00200020}));
    imgfx_gradient_line(nullptr, 0, 0, 1, 2, 2, 3);
}

TEST(ImgfxThickLine, StacksShallowLines) {
    IMG *img = grid_image(12, 3);
    imgfx_thick_line(img, 0, 0, 10, 0, C, 3);  // rows -1, 0 and 1
    EXPECT_EQ(shape(img, C), (std::vector<std::string>{"###########.", "###########.", "............"}));
    img_del(&img);
    img = grid_image(12, 3);
    imgfx_thick_line(img, 10, 1, 0, 1, C, 4);  // ends swapped; rows -1 .. 2
    EXPECT_EQ(shape(img, C), (std::vector<std::string>{"###########.", "###########.", "###########."}));
    img_del(&img);
}

TEST(ImgfxThickLine, PutsSteepLinesSideBySide) {
    Own<img_del> img(grid_image(5, 4));
    imgfx_thick_line(img, 2, 0, 2, 3, C, 4);  // columns 0 .. 3
    EXPECT_EQ(shape(img, C), (std::vector<std::string>{"####.", "####.", "####.", "####."}));
}

TEST(ImgfxThickLine, DiagonalsUsePairsOfLines) {
    // Thickness 4 -> 3 offsets, each drawn twice a column apart (x - y from -2 to 3).
    Own<img_del> img(grid_image(6, 6));
    imgfx_thick_line(img, 0, 0, 4, 4, C, 4);
    EXPECT_EQ(shape(img, C), (std::vector<std::string>{"####..", "#####.", "######", ".#####", "..####",
                                                      "...##."}));
}

TEST(ImgfxThickLine, ThinOrMissingDrawsNothing) {
    Own<img_del> img(grid_image(4, 4));
    imgfx_thick_line(img, 0, 0, 3, 0, C, 0);
    imgfx_thick_line(img, 0, 0, 3, 0, C, -2);
    imgfx_thick_dither_line(img, 0, 0, C, 3, 0, D, 0);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(16, 0)));
    imgfx_thick_line(nullptr, 0, 0, 3, 0, C, 3);
    imgfx_thick_dither_line(nullptr, 0, 0, C, 3, 0, D, 3);
    imgfx_thick_line(img, 0, 0, 3, 0, C, 1);
    EXPECT_EQ(shape(img, C), (std::vector<std::string>{"####", "....", "....", "...."}));
}

TEST(ImgfxThickLine, DitherColoursTravelWithTheirEnds) {
    // Swapped to run from (0, 0) in D to (4, 0) in C: D D D C C.
    IMG *img = grid_image(5, 1);
    imgfx_thick_dither_line(img, 4, 0, C, 0, 0, D, 1);
    EXPECT_TRUE(grid_equals(img, {D, D, D, C, C}));
    img_del(&img);
    img = grid_image(5, 2);
    imgfx_thick_dither_line(img, 0, 0, C, 4, 0, D, 2);  // rows -1 and 0
    EXPECT_TRUE(grid_equals(img, {C, C, C, D, D, 0, 0, 0, 0, 0}));
    img_del(&img);
}

TEST(ImgfxPoint, BlendAveragesInsideOnly) {
    Own<img_del> img(grid_image(2, 1, {0x00FF0001, 0x12000000}));
    imgfx_plot_blend(img, 0, 0, 0x00010003);
    imgfx_plot_blend(img, 1, 0, 0x00FFFFFF);
    imgfx_plot_blend(img, 2, 0, 0x00FFFFFF);
    imgfx_plot_blend(img, 0, -1, 0x00FFFFFF);
    imgfx_plot_blend(nullptr, 0, 0, 1);
    EXPECT_TRUE(grid_equals(img, {0x00800002, 0x007F7F7F}));
}

TEST(ImgfxPoint, AddSaturatesInsideOnly) {
    Own<img_del> img(grid_image(2, 1, {0x00F01020, 0}));
    imgfx_plot_add(img, 0, 0, 0x00202020);
    imgfx_plot_add(img, -1, 0, 0x00FFFFFF);
    imgfx_plot_add(img, 0, 1, 0x00FFFFFF);
    imgfx_plot_add(nullptr, 0, 0, 1);
    EXPECT_TRUE(grid_equals(img, {0x00FF3040, 0}));
}

TEST(ImgfxSpan, HlineAlphaMixesAndOrdersItsEnds) {
    Own<img_del> img(grid_image(4, 2));
    imgfx_hline_alpha(img, 0, 2, -5, 0x00FF0000, 128);  // ends in either order, clipped
    imgfx_hline_alpha(img, 1, 3, 9, 0x00FF0000, 256);
    imgfx_hline_alpha(img, 2, 0, 3, 0x00FF0000, 256);   // row outside
    EXPECT_TRUE(grid_equals(img, {0x007F0000, 0x007F0000, 0x007F0000, 0, 0, 0, 0, 0x00FF0000}));
}

TEST(ImgfxSpan, VlineAlphaMixesAColumn) {
    Own<img_del> img(grid_image(2, 3, {0, 0x00204060, 0, 0x00204060, 0, 0x00204060}));
    imgfx_vline_alpha(img, 1, 5, 1, 0x00A0C0E0, 64);
    imgfx_vline_alpha(img, -1, 0, 2, 0x00A0C0E0, 64);
    imgfx_vline_alpha(nullptr, 0, 0, 2, 0x00A0C0E0, 64);
    EXPECT_TRUE(grid_equals(img, {0, 0x00204060, 0, 0x00406080, 0, 0x00406080}));
    imgfx_vline_alpha(img, 0, 0, 2, 0x00FFFFFF, 0);
    EXPECT_TRUE(grid_equals(img, {0, 0x00204060, 0, 0x00406080, 0, 0x00406080}));
}

TEST(ImgfxCircle, SineCircleOfRadiusTwo) {
    // (a, b) runs through (0, 1), (1, 1), (1, 0); the right-hand points sit one
    // column left of the mirror of the left-hand ones.
    Own<img_del> img(grid_image(5, 5));
    imgfx_circle_sine(img, 2, 2, 2, C);
    EXPECT_EQ(shape(img, C), (std::vector<std::string>{".....", ".##..", ".##..", ".##..", "....."}));
}

TEST(ImgfxCircle, SineCircleNeedsItsCentreInsideAndARadius) {
    Own<img_del> img(grid_image(5, 5));
    imgfx_circle_sine(img, 5, 2, 2, C);
    imgfx_circle_sine(img, 2, -1, 2, C);
    imgfx_circle_sine(img, 2, 2, 0, C);
    imgfx_circle_sine(img, 2, 2, -3, C);
    imgfx_circle_sine(nullptr, 2, 2, 2, C);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(25, 0)));
    imgfx_circle_sine(img, 0, 0, 1000000, C);  // everything lands outside
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(25, 0)));
}

TEST(ImgfxCircle, SineCircleClipsPointByPoint) {
    Own<img_del> img(grid_image(3, 3));
    imgfx_circle_sine(img, 0, 0, 2, C);  // the points left of and above the centre drop out
    EXPECT_EQ(shape(img, C), (std::vector<std::string>{"#..", "#..", "..."}));
}

TEST(ImgfxLine, TwoEndsCoversWhatTheImageVersionCovers) {
    // The IMGFX copy steps exactly as img_line_two_ends: compare on lines in
    // every direction, many of them crossing the edges.
    uint32_t state = 1;
    auto coordinate = [&state]() {
        state = state * 1664525u + 1013904223u;
        return (int32_t)((state >> 8) % 28) - 4;
    };
    for (int i = 0; i < 3000; i++) {
        const int32_t x0 = coordinate(), y0 = coordinate(), x1 = coordinate(), y1 = coordinate();
        IMG *a = grid_image(20, 20), *b = grid_image(20, 20);
        img_line_two_ends(a, x0, y0, x1, y1, C);
        imgfx_line_two_ends(b, x0, y0, x1, y1, C);
        ASSERT_TRUE(grid_identical(b, a)) << x0 << "," << y0 << " to " << x1 << "," << y1;
        img_del(&a);
        img_del(&b);
    }
}
