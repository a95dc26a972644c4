// IMGFX blurs and glows, each a table line: a small picture, the filter (from
// a copy of the picture into the picture) and the result worked out by hand
// from the weights; outside pixels count as black, channels stay apart.
#include <gtest/gtest.h>

#include "imaging/imgfx.h"
#include "tests/test_support.h"

namespace {

const uint32_t W = 0x00FFFFFF, SENTINEL = 0x00ABCDEF;
uint32_t grey(uint32_t g) { return g * 0x010101u; }

// The filter run from a copy of the image into the image itself.
template <typename F>
std::function<void(IMG *)> filter(F f) {
    return [f](IMG *m) {
        Own<img_del> source(img_dup(m));
        f(source, m);
    };
}

}  // namespace

TEST(ImgfxFilters, BlursAndGlowsOfSmallPictures) {
    const std::vector<uint32_t> dot7 = {0, 0, 0, grey(128), 0, 0, 0}, dot9 = {0, 0, 0, 0, grey(128), 0, 0, 0, 0};
    std::vector<uint32_t> mixed = {W, 0x00102030, 0x00FF00FF, 0x12345678, 0, 0x00808080, 0x00010101}, clean = mixed;
    clean[3] = 0x00345678;  // the top byte is not a channel
    const uint32_t g2 = grey(2), g64 = grey(64);
    expect_image_cases({
        {"h3 line", 5, 1, {0, 0, W, 0, 0}, filter(imgfx_blur_h3), {0, 0x00555555, 0x00555555, 0x00555555, 0}},
        {"h3 edge", 3, 1, {W, 0, 0}, filter(imgfx_blur_h3), {0x00555555, 0x00555555, 0}},
        {"h3 channels", 3, 1, {0x00030609, 0x000C0F12, 0}, filter(imgfx_blur_h3), {0x00050709, 0x00050709, 0x00040506}},
        {"h121", 3, 1, {0, W, 0}, filter(imgfx_blur_h121), {0x003F3F3F, 0x007F7F7F, 0x003F3F3F}},
        {"h5", 5, 1, {0, 0, grey(16), 0, 0}, filter(imgfx_blur_h5), {g2, g2, grey(8), g2, g2}},
        {"h5 alone", 1, 1, {W}, filter(imgfx_blur_h5), {0x007F7F7F}},  // 4 * 255 / 8
        {"h7", 7, 1, {0, 0, 0, grey(16), 0, 0, 0}, filter(imgfx_blur_h7), {g2, g2, g2, grey(4), g2, g2, g2}},
        {"3x3", 3, 3, {0, 0, 0, 0, grey(16), 0, 0, 0, 0}, filter(imgfx_blur_3x3),
         {grey(1), g2, grey(1), g2, grey(4), g2, grey(1), g2, grey(1)}},
        {"box 1", 3, 3, {0, 0, 0, 0, grey(9), 0, 0, 0, 0}, filter([](const IMG *s, IMG *d) { imgfx_blur_box(s, d, 1); }),
         std::vector<uint32_t>(9, grey(1))},
        {"box rows outside", 2, 1, {grey(18), 0}, filter([](const IMG *s, IMG *d) { imgfx_blur_box(s, d, 1); }), {g2, g2}},
        {"box 0", 2, 1, {0xFF123456, 1}, filter([](const IMG *s, IMG *d) { imgfx_blur_box(s, d, 0); }), {0x00123456, 1}},
        {"h 2", 5, 1, {0, 0, grey(10), 0, 0}, filter([](const IMG *s, IMG *d) { imgfx_blur_h(s, d, 2); }),
         std::vector<uint32_t>(5, g2)},
        {"h rows apart", 3, 2, {0, grey(30), 0, grey(3), 0, 0}, filter([](const IMG *s, IMG *d) { imgfx_blur_h(s, d, 1); }),
         {grey(10), grey(10), grey(10), grey(1), grey(1), 0}},
        {"rgb 0", 4, 2, {0x00123456, 0xFF0000FF, W, 0x00010203, 1, 2, 3, 4},
         filter([](const IMG *s, IMG *d) { imgfx_blur_h_rgb(s, d, 0, 0, 0); }),
         {0x00123456, 0x000000FF, W, 0x00010203, 1, 2, 3, 4}},
        {"rgb radii", 5, 1, {0, 0, 0x00303030, 0, 0}, filter([](const IMG *s, IMG *d) { imgfx_blur_h_rgb(s, d, 1, 0, 2); }),
         {0x00000009, 0x00100009, 0x00103009, 0x00100009, 0x00000009}},
        {"rgb edges", 6, 1, std::vector<uint32_t>(6, W), filter([](const IMG *s, IMG *d) { imgfx_blur_h_rgb(s, d, 2, 2, 2); }),
         {grey(153), grey(204), W, W, grey(204), grey(153)}},
        {"rgb narrow", 3, 1, {W, W, W}, filter([](const IMG *s, IMG *d) { imgfx_blur_h_rgb(s, d, 2, 2, 2); }),
         {grey(153), grey(153), grey(153)}},
        {"in place from the back", 3, 1, {W, 0, 0}, [](IMG *m) { imgfx_blur_h3(m, m); }, {grey(113), grey(85), 0}},
        {"glow h3", 3, 1, {0, 0x00804020, 0}, filter([](const IMG *s, IMG *d) { imgfx_glow_h3(s, d, 1); }),
         {0x00402010, 0x00804020, 0x00402010}},
        {"glow k 0", 2, 1, {grey(240), grey(240)}, filter([](const IMG *s, IMG *d) { imgfx_glow_h3(s, d, 0); }), {W, W}},
        {"glow k 4", 2, 1, {grey(240), grey(240)}, filter([](const IMG *s, IMG *d) { imgfx_glow_h3(s, d, 4); }), {W, W}},
        {"glow k 5", 2, 1, {grey(240), grey(240)}, filter([](const IMG *s, IMG *d) { imgfx_glow_h3(s, d, 5); }),
         {grey(247), grey(247)}},
        {"glow h5", 5, 1, {0, 0, grey(128), 0, 0}, filter([](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 1); }),
         {g64, g64, grey(128), g64, g64}},
        {"glow h5 edge", 6, 1, {grey(128), 0, 0, 0, 0, 0}, filter([](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 2); }),
         {grey(128), grey(32), grey(32), 0, 0, 0}},
        {"glow h5 shift 8", 7, 1, mixed, filter([](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 8); }), clean},
        {"glow h5 shift 40", 7, 1, mixed, filter([](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 40); }), clean},
        {"glow h5 white", 9, 2, std::vector<uint32_t>(18, W), filter([](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 0); }),
         std::vector<uint32_t>(18, W)},
        {"glow h5 channels", 8, 1, {0, 0, 0, 0x000000FF, 0, 0, 0, 0x00FF0000},
         filter([](const IMG *s, IMG *d) { imgfx_glow_h5(s, d, 0); }),
         {0, 0x000000FF, 0x000000FF, 0x000000FF, 0x000000FF, 0x00FF00FF, 0x00FF0000, 0x00FF0000}},
        {"glow h7", 7, 1, dot7, filter([](const IMG *s, IMG *d) { imgfx_glow_h7(s, d, 1); }),
         {g64, g64, g64, grey(128), g64, g64, g64}},
        {"glow 3x3", 3, 3, dot9, filter([](const IMG *s, IMG *d) { imgfx_glow_3x3(s, d, 1); }),
         {g64, g64, g64, g64, grey(128), g64, g64, g64, g64}},
        {"glow h", 3, 1, {0, grey(128), 0}, filter([](const IMG *s, IMG *d) { imgfx_glow_h(s, d, 1, 1); }),
         {g64, grey(192), g64}},
        {"glow h 0", 3, 1, {0, grey(128), g2}, filter([](const IMG *s, IMG *d) { imgfx_glow_h(s, d, 0, 0); }), {0, W, grey(4)}},
        {"glow h no window", 3, 1, {0, grey(128), 0}, filter([](const IMG *s, IMG *d) { imgfx_glow_h(s, d, -1, 0); }),
         {0, grey(128), 0}},
    });
}

// Negative radii or shifts and missing images leave the target alone; a
// target larger than its source reads black beyond it.
TEST(ImgfxFilters, RefusalsAndSizes) {
    Own<img_del> s(grid_image(2, 1, {W, W})), t(grid_image(2, 1, {SENTINEL, SENTINEL}));
    imgfx_blur_box(s, t, -1), imgfx_blur_h(s, t, -1), imgfx_blur_h_rgb(s, t, 1, -1, 1), imgfx_blur_h_rgb(s, t, -1, 0, 0);
    imgfx_glow_h3(s, t, -1), imgfx_glow_h5(s, t, -1), imgfx_glow_h7(s, t, -1), imgfx_glow_3x3(s, t, -1);
    imgfx_glow_h(s, t, 1, -1);
    for (auto f : {imgfx_blur_h3, imgfx_blur_h121, imgfx_blur_h5, imgfx_blur_h7, imgfx_blur_3x3}) f(nullptr, t), f(t, nullptr);
    for (auto f : {imgfx_glow_h3, imgfx_glow_h5, imgfx_glow_h7, imgfx_glow_3x3}) f(nullptr, t, 1), f(t, nullptr, 3);
    imgfx_blur_box(nullptr, t, 1), imgfx_blur_h(nullptr, t, 1), imgfx_glow_h(nullptr, t, 1, 1);
    imgfx_blur_h_rgb(nullptr, t, 1, 1, 1), imgfx_blur_h_rgb(t, nullptr, 1, 1, 1);
    EXPECT_TRUE(grid_equals(t, {SENTINEL, SENTINEL}));
    Own<img_del> one(grid_image(1, 1, {grey(30)})), three(grid_filled(3, 1, SENTINEL));
    imgfx_blur_h3(one, three);
    EXPECT_TRUE(grid_equals(three, {grey(10), grey(10), 0}));
    img_clear(three, SENTINEL);
    imgfx_blur_h_rgb(one, three, 1, 1, 1);
    EXPECT_TRUE(grid_equals(three, {grey(10), grey(10), 0}));
}
