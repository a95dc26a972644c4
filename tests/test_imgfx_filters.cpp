// IMGFX filters: the blurs and glows read neighbours outside the image as
// black, compute each channel on its own and write a top byte of 0.
#include <gtest/gtest.h>

#include "imaging/imgfx.h"
#include "tests/test_support.h"

static const uint32_t W = 0x00FFFFFF;
static const uint32_t SENTINEL = 0x00ABCDEF;

// Runs a filter from a literal source into a fresh target of the same size.
template <class Filter>
static IMG *filtered(int32_t w, int32_t h, std::vector<uint32_t> pixels, Filter filter) {
    Own<img_del> source(grid_image(w, h, pixels));
    IMG *target = grid_image(w, h);
    filter(source, target);
    return target;
}

static uint32_t grey(uint32_t g) { return g * 0x010101u; }

TEST(ImgfxBlur, H3SpreadsAWhiteLineOverThreeColumns) {
    Own<img_del> t(filtered(5, 1, {0, 0, W, 0, 0}, imgfx_blur_h3));
    EXPECT_TRUE(grid_equals(t, {0, 0x00555555, 0x00555555, 0x00555555, 0}));
}

TEST(ImgfxBlur, H3CountsTheOutsideAsBlack) {
    IMG *t = filtered(3, 1, {W, 0, 0}, imgfx_blur_h3);
    EXPECT_TRUE(grid_equals(t, {0x00555555, 0x00555555, 0}));
    img_del(&t);
    // Each channel divided on its own: (3 + 12) / 3, (6 + 15) / 3, (9 + 18) / 3.
    t = filtered(3, 1, {0x00030609, 0x000C0F12, 0}, imgfx_blur_h3);
    EXPECT_TRUE(grid_equals(t, {0x00050709, 0x00050709, 0x00040506}));
    img_del(&t);
}

TEST(ImgfxBlur, H121WeighsTheCentreTwice) {
    Own<img_del> t(filtered(3, 1, {0, W, 0}, imgfx_blur_h121));
    EXPECT_TRUE(grid_equals(t, {0x003F3F3F, 0x007F7F7F, 0x003F3F3F}));
}

TEST(ImgfxBlur, H5WeighsTheCentreFourTimes) {
    IMG *t = filtered(5, 1, {0, 0, grey(16), 0, 0}, imgfx_blur_h5);
    EXPECT_TRUE(grid_equals(t, {grey(2), grey(2), grey(8), grey(2), grey(2)}));
    img_del(&t);
    t = filtered(1, 1, {W}, imgfx_blur_h5);
    EXPECT_TRUE(grid_equals(t, {0x007F7F7F}));  // 4 * 255 / 8
    img_del(&t);
}

TEST(ImgfxBlur, H7WeighsTheCentreTwice) {
    Own<img_del> t(filtered(7, 1, {0, 0, 0, grey(16), 0, 0, 0}, imgfx_blur_h7));
    EXPECT_TRUE(grid_equals(t, {grey(2), grey(2), grey(2), grey(4), grey(2), grey(2), grey(2)}));
}

TEST(ImgfxBlur, ThreeByThreeUsesTheBinomialSquare) {
    Own<img_del> t(filtered(3, 3, {0, 0, 0, 0, grey(16), 0, 0, 0, 0}, imgfx_blur_3x3));
    EXPECT_TRUE(grid_equals(t, {grey(1), grey(2), grey(1), grey(2), grey(4), grey(2), grey(1), grey(2), grey(1)}));
}

TEST(ImgfxBlur, BoxDividesByTheWholeSquare) {
    IMG *t = filtered(3, 3, {0, 0, 0, 0, grey(9), 0, 0, 0, 0},
                      [](const IMG *s, IMG *d) { imgfx_blur_box(s, d, 1); });
    EXPECT_TRUE(grid_equals(t, std::vector<uint32_t>(9, grey(1))));
    img_del(&t);
    t = filtered(2, 1, {grey(18), 0}, [](const IMG *s, IMG *d) { imgfx_blur_box(s, d, 1); });
    EXPECT_TRUE(grid_equals(t, {grey(2), grey(2)}));  // 18 / 9: the rows outside count too
    img_del(&t);
    t = filtered(2, 1, {0xFF123456, 0x00000001}, [](const IMG *s, IMG *d) { imgfx_blur_box(s, d, 0); });
    EXPECT_TRUE(grid_equals(t, {0x00123456, 0x00000001}));
    img_del(&t);
}

TEST(ImgfxBlur, HDividesByTheRowWindow) {
    IMG *t = filtered(5, 1, {0, 0, grey(10), 0, 0}, [](const IMG *s, IMG *d) { imgfx_blur_h(s, d, 2); });
    EXPECT_TRUE(grid_equals(t, std::vector<uint32_t>(5, grey(2))));
    img_del(&t);
    t = filtered(3, 2, {0, grey(30), 0, grey(3), 0, 0}, [](const IMG *s, IMG *d) { imgfx_blur_h(s, d, 1); });
    EXPECT_TRUE(grid_equals(t, {grey(10), grey(10), grey(10), grey(1), grey(1), 0}));
    img_del(&t);
}

TEST(ImgfxBlur, NegativeRadiiAreRefused) {
    Own<img_del> s(grid_image(2, 1, {W, W}));
    Own<img_del> t(grid_image(2, 1, {SENTINEL, SENTINEL}));
    imgfx_blur_box(s, t, -1);
    imgfx_blur_h(s, t, -1);
    imgfx_blur_h_rgb(s, t, 1, -1, 1);
    imgfx_blur_h_rgb(s, t, -1, 0, 0);
    EXPECT_TRUE(grid_equals(t, {SENTINEL, SENTINEL}));
}

TEST(ImgfxBlur, HRgbWithZeroRadiiCopiesEveryColumn) {
    IMG *t = filtered(4, 2, {0x00123456, 0xFF0000FF, 0x00FFFFFF, 0x00010203, 1, 2, 3, 4},
                      [](const IMG *s, IMG *d) { imgfx_blur_h_rgb(s, d, 0, 0, 0); });
    EXPECT_TRUE(grid_equals(t, {0x00123456, 0x000000FF, 0x00FFFFFF, 0x00010203, 1, 2, 3, 4}));
    img_del(&t);
}

TEST(ImgfxBlur, HRgbUsesOneRadiusPerChannel) {
    // Red over 3 columns, green over 1, blue over 5, of a lone 0x30 in every channel.
    IMG *t = filtered(5, 1, {0, 0, 0x00303030, 0, 0},
                      [](const IMG *s, IMG *d) { imgfx_blur_h_rgb(s, d, 1, 0, 2); });
    EXPECT_TRUE(grid_equals(t, {0x00000009, 0x00100009, 0x00103009, 0x00100009, 0x00000009}));
    img_del(&t);
}

TEST(ImgfxBlur, HRgbEdgesCountAsBlack) {
    IMG *t = filtered(3, 1, {W, W, W}, [](const IMG *s, IMG *d) { imgfx_blur_h_rgb(s, d, 2, 2, 2); });
    // 3 * 255 / 5 at every column: each window reaches past an edge.
    EXPECT_TRUE(grid_equals(t, {grey(153), grey(153), grey(153)}));
    img_del(&t);
    t = filtered(6, 1, {W, W, W, W, W, W}, [](const IMG *s, IMG *d) { imgfx_blur_h_rgb(s, d, 2, 2, 2); });
    EXPECT_TRUE(grid_equals(t, {grey(153), grey(204), W, W, grey(204), grey(153)}));
    img_del(&t);
}

TEST(ImgfxBlur, NullImagesChangeNothing) {
    Own<img_del> t(grid_image(2, 1, {SENTINEL, SENTINEL}));
    imgfx_blur_h3(nullptr, t);
    imgfx_blur_h121(nullptr, t);
    imgfx_blur_h5(nullptr, t);
    imgfx_blur_h7(nullptr, t);
    imgfx_blur_3x3(nullptr, t);
    imgfx_blur_box(nullptr, t, 1);
    imgfx_blur_h(nullptr, t, 1);
    imgfx_blur_h_rgb(nullptr, t, 1, 1, 1);
    imgfx_glow_h3(nullptr, t, 1);
    imgfx_glow_h5(nullptr, t, 1);
    imgfx_glow_h7(nullptr, t, 1);
    imgfx_glow_3x3(nullptr, t, 1);
    imgfx_glow_h(nullptr, t, 1, 1);
    imgfx_blur_h3(t, nullptr);
    imgfx_blur_h_rgb(t, nullptr, 1, 1, 1);
    imgfx_glow_h5(t, nullptr, 3);
    EXPECT_TRUE(grid_equals(t, {SENTINEL, SENTINEL}));
}

TEST(ImgfxBlur, InPlaceWalksFromTheLastPixelBack) {
    // Source and target the same image: each pixel sees the already blurred
    // pixels to its right. x = 2: 0; x = 1: 255 / 3 = 85; x = 0: (255 + 85) / 3.
    Own<img_del> img(grid_image(3, 1, {W, 0, 0}));
    imgfx_blur_h3(img, img);
    EXPECT_TRUE(grid_equals(img, {grey(113), grey(85), 0}));
}

TEST(ImgfxBlur, TargetLargerThanSourceReadsBlackBeyondIt) {
    Own<img_del> s(grid_image(1, 1, {grey(30)}));
    Own<img_del> t(grid_image(3, 1, {SENTINEL, SENTINEL, SENTINEL}));
    imgfx_blur_h3(s, t);
    EXPECT_TRUE(grid_equals(t, {grey(10), grey(10), 0}));
    imgfx_blur_h_rgb(s, t, 1, 1, 1);
    EXPECT_TRUE(grid_equals(t, {grey(10), grey(10), 0}));
}

TEST(ImgfxGlow, H3AddsNeighboursShifted) {
    Own<img_del> t(filtered(3, 1, {0, 0x00804020, 0}, [](const IMG *s, IMG *d) { imgfx_glow_h3(s, d, 1); }));
    EXPECT_TRUE(grid_equals(t, {0x00402010, 0x00804020, 0x00402010}));
}

TEST(ImgfxGlow, SaturatesAt255) {
    const std::vector<uint32_t> pair = {grey(240), grey(240)};
    const int32_t ks[4] = {0, 3, 4, 5};
    const uint32_t out[4] = {W, W, W, grey(247)};
    for (int i = 0; i < 4; i++) {
        Own<img_del> t(filtered(2, 1, pair, [&](const IMG *s, IMG *d) { imgfx_glow_h3(s, d, ks[i]); }));
        EXPECT_TRUE(grid_equals(t, {out[i], out[i]})) << "k " << ks[i];
    }
}

TEST(ImgfxGlow, H5ReachesTwoColumnsEachWay) {
    IMG *t = filtered(5, 1, {0, 0, grey(128), 0, 0}, [](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 1); });
    EXPECT_TRUE(grid_equals(t, {grey(64), grey(64), grey(128), grey(64), grey(64)}));
    img_del(&t);
    t = filtered(6, 1, {grey(128), 0, 0, 0, 0, 0}, [](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 2); });
    EXPECT_TRUE(grid_equals(t, {grey(128), grey(32), grey(32), 0, 0, 0}));
    img_del(&t);
}

TEST(ImgfxGlow, H5WithShiftEightLeavesThePicture) {
    std::vector<uint32_t> p = {0x00FFFFFF, 0x00102030, 0x00FF00FF, 0x12345678, 0, 0x00808080, 0x00010101};
    IMG *t = filtered(7, 1, p, [](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 8); });
    p[3] = 0x00345678;  // the top byte is not a channel
    EXPECT_TRUE(grid_equals(t, p));
    img_del(&t);
    t = filtered(7, 1, p, [](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 40); });
    EXPECT_TRUE(grid_equals(t, p));
    img_del(&t);
}

TEST(ImgfxGlow, H5AtFullStrengthKeepsWhiteWhite) {
    Own<img_del> t(filtered(9, 2, std::vector<uint32_t>(18, W), [](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 0); }));
    EXPECT_TRUE(grid_equals(t, std::vector<uint32_t>(18, W)));
}

TEST(ImgfxGlow, H5ChannelsStayApart) {
    // Blue 0xFF next to black: shifted by 0 it saturates blue only.
    IMG *t = filtered(8, 1, {0, 0, 0, 0x000000FF, 0, 0, 0, 0x00FF0000},
                      [](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 0); });
    EXPECT_TRUE(grid_equals(t, {0, 0x000000FF, 0x000000FF, 0x000000FF, 0x000000FF, 0x00FF00FF, 0x00FF0000,
                            0x00FF0000}));
    img_del(&t);
}

TEST(ImgfxGlow, H7AndThreeByThree) {
    IMG *t = filtered(7, 1, {0, 0, 0, grey(128), 0, 0, 0}, [](const IMG *s, IMG *d) { imgfx_glow_h7(s, d, 1); });
    EXPECT_TRUE(grid_equals(t, {grey(64), grey(64), grey(64), grey(128), grey(64), grey(64), grey(64)}));
    img_del(&t);
    t = filtered(3, 3, {0, 0, 0, 0, grey(128), 0, 0, 0, 0}, [](const IMG *s, IMG *d) { imgfx_glow_3x3(s, d, 1); });
    EXPECT_TRUE(grid_equals(t, {grey(64), grey(64), grey(64), grey(64), grey(128), grey(64), grey(64), grey(64),
                            grey(64)}));
    img_del(&t);
}

TEST(ImgfxGlow, HCountsTheCentreOnceMore) {
    IMG *t = filtered(3, 1, {0, grey(128), 0}, [](const IMG *s, IMG *d) { imgfx_glow_h(s, d, 1, 1); });
    EXPECT_TRUE(grid_equals(t, {grey(64), grey(192), grey(64)}));
    img_del(&t);
    t = filtered(3, 1, {0, grey(128), grey(2)}, [](const IMG *s, IMG *d) { imgfx_glow_h(s, d, 0, 0); });
    EXPECT_TRUE(grid_equals(t, {0, W, grey(4)}));
    img_del(&t);
    t = filtered(3, 1, {0, grey(128), 0}, [](const IMG *s, IMG *d) { imgfx_glow_h(s, d, -1, 0); });
    EXPECT_TRUE(grid_equals(t, {0, grey(128), 0}));  // no window: the centre alone
    img_del(&t);
}

TEST(ImgfxGlow, NegativeShiftIsRefused) {
    Own<img_del> s(grid_image(2, 1, {W, W}));
    Own<img_del> t(grid_image(2, 1, {SENTINEL, SENTINEL}));
    imgfx_glow_h3(s, t, -1);
    imgfx_glow_h5(s, t, -1);
    imgfx_glow_h7(s, t, -1);
    imgfx_glow_3x3(s, t, -1);
    imgfx_glow_h(s, t, 1, -1);
    EXPECT_TRUE(grid_equals(t, {SENTINEL, SENTINEL}));
}
