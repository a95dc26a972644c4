// IMGFX by hand-worked pictures, one table line per call: mosaics, scrolls
// and smears; blends, xor rectangles and word multiplies; blurs and glows
// (outside pixels count as black, channels stay apart); blended, added,
// dithered, gradient and thick lines, points, alpha spans and the sine
// circle; then the random picks and sprinkles by their draws, and IMGFX's
// copies of IMG operations held to the IMG originals. Its clipping at extreme
// positions is in test_extremes.cpp; its fast paths, and the frame's blur
// and glow and the dithered lines against their straightforward versions, in
// test_fast_draw.cpp.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <functional>
#include <tuple>

#include "host/random.h"
#include "imaging/imgfx.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"

namespace {

const uint32_t W = 0x00FFFFFF, C = 0x00123456, D = 0x00ABCDEF;
uint32_t v3(uint32_t v) { return v * 0x010203u; }
uint32_t grey(uint32_t g) { return g * 0x010101u; }
const std::vector<uint32_t> nine = {v3(1), v3(2), v3(3), v3(4), v3(5), v3(6), v3(7), v3(8), v3(9)};

std::vector<uint32_t> counting(uint32_t n, uint32_t from = 1) {
    std::vector<uint32_t> v(n);
    for (uint32_t i = 0; i < n; i++) v[i] = from + i;
    return v;
}

// Rows of '#' (colour C) and '.' (black), separated by '|'.
std::vector<uint32_t> pic(const char *rows) { return picture(rows, "#", {C}); }

// A filter run from a copy of the image into the image itself.
template <typename F>
std::function<void(IMG *)> filter(F f) {
    return [f](IMG *m) {
        Own<img_del> source(img_dup(m));
        f(source, m);
    };
}
#define FILTER(call) filter([](const IMG *s, IMG *d) { call; })

}  // namespace

TEST(ImgfxMosaic, PixelationsScrollsAndSmears) {
    const uint32_t a = v3(3), b = 0x0004090D, c = 0x00070F16;
    std::vector<uint32_t> centred(100);
    for (uint32_t x = 0; x < 100; x++) centred[x] = x < 2 ? 0 : x >= 98 ? 99 : 10 + 16 * ((x - 2) / 16);
    expect_image_cases({
        {"corner pick", 3, 3, nine, [](IMG *m) { imgfx_pixelate(m, 2, 2); }, {v3(1), v3(1), v3(3), v3(1), v3(1), v3(3), v3(7), v3(7), v3(9)}},
        {"single blocks", 3, 3, nine, [](IMG *m) { imgfx_pixelate(m, 1, 1); }, nine},
        {"whole image", 3, 3, nine, [](IMG *m) { imgfx_pixelate(m, 3, 3); }, std::vector<uint32_t>(9, v3(1))},
        {"huge blocks", 3, 3, nine, [](IMG *m) { imgfx_pixelate(m, 1000000, INT32_MAX); }, std::vector<uint32_t>(9, v3(1))},
        {"average rounds down", 3, 3, nine, [](IMG *m) { imgfx_pixelate_average(m, 2, 2); }, {a, a, b, a, a, b, c, c, v3(9)}},
        {"centred", 5, 1, {1, 2, 3, 4, 5}, [](IMG *m) { imgfx_pixelate_centred(m, 2, 1); }, {1, 3, 3, 5, 5}},
        {"centred both ways", 5, 5, counting(25), [](IMG *m) { imgfx_pixelate_centred(m, 2, 2); }, {1, 3, 3, 5, 5, 11, 13, 13, 15, 15, 11, 13, 13, 15, 15, 21, 23, 23, 25, 25, 21, 23, 23, 25, 25}},
        {"centre clamped", 3, 1, {1, 2, 3}, [](IMG *m) { imgfx_pixelate_centred(m, 4, 1); }, {1, 1, 3}},
        {"centres -1 and 2", 2, 1, {1, 2}, [](IMG *m) { imgfx_pixelate_centred(m, 3, 1); }, {1, 2}},
        {"centred origin", 100, 1, counting(100, 0), [](IMG *m) { imgfx_pixelate_centred(m, 16, 1); }, centred},
        {"centred average", 4, 1, {0x10, 0x21, 0x40, 0x81}, [](IMG *m) { imgfx_pixelate_average_centred(m, 2, 1); }, {0x18, 0x18, 0x60, 0x60}},
        {"bad blocks refused", 3, 3, nine, [](IMG *m) { imgfx_pixelate(m, 0, 1), imgfx_pixelate_average(m, 1, 0), imgfx_pixelate_random(m, -1, 2); }, nine},
        {"bad centred blocks refused", 3, 3, nine, [](IMG *m) { imgfx_pixelate_centred(m, 0, 2), imgfx_pixelate_average_centred(m, 2, -3); }, nine},
        {"scroll rows", 4, 2, counting(8), [](IMG *m) { imgfx_scroll_row(m, 0, 2), imgfx_scroll_row(m, 1, -1); }, {3, 4, 0, 0, 0, 5, 6, 7}},
        {"scroll rows away", 4, 2, counting(8), [](IMG *m) { imgfx_scroll_row(m, 0, 4), imgfx_scroll_row(m, 1, INT32_MIN); }, std::vector<uint32_t>(8, 0)},
        {"smear rows", 4, 2, {1, 2, 3, 4, 1, 2, 3, 4}, [](IMG *m) { imgfx_smear_row(m, 0, 2), imgfx_smear_row(m, 1, -1); }, {3, 4, 3, 4, 1, 1, 2, 3}},
        {"smear rows too far", 4, 1, {1, 2, 3, 4}, [](IMG *m) { imgfx_smear_row(m, 0, 9), imgfx_smear_row(m, 0, -4); }, {1, 2, 3, 4}},
        {"rows outside, no move", 2, 1, {1, 2}, [](IMG *m) { imgfx_scroll_row(m, 1, 1), imgfx_scroll_row(m, -1, 1), imgfx_scroll_row(m, 0, 0), imgfx_smear_row(m, 5, 1); }, {1, 2}},
        {"scroll up", 2, 3, counting(6), [](IMG *m) { imgfx_scroll_vertical(m, 1); }, {3, 4, 5, 6, 0, 0}},
        {"scroll down", 2, 3, counting(6), [](IMG *m) { imgfx_scroll_vertical(m, -1); }, {0, 0, 1, 2, 3, 4}},
        {"scroll all away", 2, 3, counting(6), [](IMG *m) { imgfx_scroll_vertical(m, -3); }, {0, 0, 0, 0, 0, 0}},
        {"smear up", 2, 3, counting(6), [](IMG *m) { imgfx_smear_vertical(m, 1); }, {3, 4, 5, 6, 5, 6}},
        {"smear down", 2, 3, counting(6), [](IMG *m) { imgfx_smear_vertical(m, -1), imgfx_smear_vertical(m, INT32_MAX); }, {1, 2, 1, 2, 3, 4}},
        {"scroll both", 2, 2, counting(4), [](IMG *m) { imgfx_scroll(m, 1, 1); }, {4, 0, 0, 0}},
        {"smear both", 2, 2, counting(4), [](IMG *m) { imgfx_smear(m, -1, -1); }, {1, 1, 1, 1}},
        {"wrap", 4, 1, counting(4), [](IMG *m) { Own<img_del> s(grid_image(4, 1)); imgfx_scroll_wrap(m, s, 1, 0); }, {2, 3, 4, 1}},
        {"wrap both ways", 3, 2, counting(6), [](IMG *m) { Own<img_del> s(grid_image(3, 2)); imgfx_scroll_wrap(m, s, -1, 1), imgfx_scroll_wrap(m, s, 0, 0); }, {6, 4, 5, 3, 1, 2}},
        {"wrap modulo", 4, 1, counting(4), [](IMG *m) { Own<img_del> s(grid_filled(4, 1, 9)); imgfx_scroll_wrap(m, s, 5, 3); }, {2, 3, 4, 1}},
        {"wrap round", 4, 1, counting(4), [](IMG *m) { Own<img_del> s(grid_filled(4, 1, 9)); imgfx_scroll_wrap(m, s, -9, INT32_MIN), imgfx_scroll_wrap(m, s, 1, 0); }, {1, 2, 3, 4}},
        {"wrap refused", 4, 1, counting(4), [](IMG *m) { Own<img_del> s(grid_image(3, 1)); imgfx_scroll_wrap(m, s, 1, 0), imgfx_scroll_wrap(m, nullptr, 1, 0); }, {1, 2, 3, 4}},
    });
    imgfx_scroll_vertical(nullptr, 1), imgfx_smear_vertical(nullptr, 1), imgfx_pixelate(nullptr, 2, 2), imgfx_pixelate_centred(nullptr, 2, 2);
    imgfx_scroll_row(nullptr, 0, 1), imgfx_scroll(nullptr, 1, 1), imgfx_smear(nullptr, 1, 1), imgfx_scroll_wrap(nullptr, nullptr, 1, 0);
}

TEST(ImgfxBlits, BlendXorAndMultiply) {
    expect_image_cases({
        {"blend skips zero", 2, 1, {0, 0x00406080}, [](IMG *t) { Own<img_del> s(grid_image(2, 1, {W, 0})); imgfx_blit_blend(s, t, 0, 0, 0, 0, 2, 1); }, {0x007F7F7F, 0x00406080}},
        {"blend top byte only", 1, 1, {0x00818181}, [](IMG *t) { Own<img_del> s(grid_image(1, 1, {0x01000000})); imgfx_blit_blend(s, t, 0, 0, 0, 0, 1, 1); }, {0x00404040}},
        {"draw blend at the source place", 3, 2, {}, [](IMG *t) { Own<img_del> s(grid_filled(2, 1, 0x00FEFEFE)); s->x = 2, s->y = 1, imgfx_draw_blend(s, t); }, {0, 0, 0, 0, 0, 0x007F7F7F}},
        {"draw blend beside", 3, 2, {}, [](IMG *t) {
             Own<img_del> s(grid_filled(2, 1, 1));
             s->x = -2, imgfx_draw_blend(s, t), imgfx_draw_blend(nullptr, t), imgfx_blit_blend(nullptr, t, 0, 0, 0, 0, 1, 1); }, std::vector<uint32_t>(6, 0)},
        {"multiply wraps", 2, 1, {3, 0x00010000}, [](IMG *b) {
             Own<img_del> a(grid_image(2, 1, {2, 0x00010000})), other(grid_image(1, 1, {7}));
             imgfx_multiply(a, b), imgfx_multiply(other, b), imgfx_multiply(nullptr, b); }, {6, 0}},
    });
}

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
        {"3x3", 3, 3, {0, 0, 0, 0, grey(16), 0, 0, 0, 0}, filter(imgfx_blur_3x3), {grey(1), g2, grey(1), g2, grey(4), g2, grey(1), g2, grey(1)}},
        {"box 1", 3, 3, {0, 0, 0, 0, grey(9), 0, 0, 0, 0}, FILTER(imgfx_blur_box(s, d, 1)), std::vector<uint32_t>(9, grey(1))},
        {"box rows outside", 2, 1, {grey(18), 0}, FILTER(imgfx_blur_box(s, d, 1)), {g2, g2}},
        {"box 0", 2, 1, {0xFF123456, 1}, FILTER(imgfx_blur_box(s, d, 0)), {0x00123456, 1}},
        {"h 2", 5, 1, {0, 0, grey(10), 0, 0}, FILTER(imgfx_blur_h(s, d, 2)), std::vector<uint32_t>(5, g2)},
        {"h rows apart", 3, 2, {0, grey(30), 0, grey(3), 0, 0}, FILTER(imgfx_blur_h(s, d, 1)), {grey(10), grey(10), grey(10), grey(1), grey(1), 0}},
        {"rgb 0", 4, 2, {0x00123456, 0xFF0000FF, W, 0x00010203, 1, 2, 3, 4}, FILTER(imgfx_blur_h_rgb(s, d, 0, 0, 0)), {0x00123456, 0x000000FF, W, 0x00010203, 1, 2, 3, 4}},
        {"rgb radii", 5, 1, {0, 0, 0x00303030, 0, 0}, FILTER(imgfx_blur_h_rgb(s, d, 1, 0, 2)), {0x00000009, 0x00100009, 0x00103009, 0x00100009, 0x00000009}},
        {"in place from the back", 3, 1, {W, 0, 0}, [](IMG *m) { imgfx_blur_h3(m, m); }, {grey(113), grey(85), 0}},
        {"glow h3", 3, 1, {0, 0x00804020, 0}, FILTER(imgfx_glow_h3(s, d, 1)), {0x00402010, 0x00804020, 0x00402010}},
        {"glow k 0", 2, 1, {grey(240), grey(240)}, FILTER(imgfx_glow_h3(s, d, 0)), {W, W}},
        {"glow k 4", 2, 1, {grey(240), grey(240)}, FILTER(imgfx_glow_h3(s, d, 4)), {W, W}},
        {"glow k 5", 2, 1, {grey(240), grey(240)}, FILTER(imgfx_glow_h3(s, d, 5)), {grey(247), grey(247)}},
        {"glow h5", 5, 1, {0, 0, grey(128), 0, 0}, FILTER(imgfx_glow_h5(s, d, 1)), {g64, g64, grey(128), g64, g64}},
        {"glow h5 shift 40", 7, 1, mixed, FILTER(imgfx_glow_h5(s, d, 40)), clean},
        {"glow h7", 7, 1, dot7, FILTER(imgfx_glow_h7(s, d, 1)), {g64, g64, g64, grey(128), g64, g64, g64}},
        {"glow 3x3", 3, 3, dot9, FILTER(imgfx_glow_3x3(s, d, 1)), {g64, g64, g64, g64, grey(128), g64, g64, g64, g64}},
        {"glow h", 3, 1, {0, grey(128), 0}, FILTER(imgfx_glow_h(s, d, 1, 1)), {g64, grey(192), g64}},
        {"glow h 0", 3, 1, {0, grey(128), g2}, FILTER(imgfx_glow_h(s, d, 0, 0)), {0, W, grey(4)}},
        {"glow h no window", 3, 1, {0, grey(128), 0}, FILTER(imgfx_glow_h(s, d, -1, 0)), {0, grey(128), 0}},
        {"refused", 2, 1, {C, C}, [](IMG *t) {  // negative radii or shifts, missing images
             Own<img_del> s(grid_image(2, 1, {W, W}));
             imgfx_blur_box(s, t, -1), imgfx_blur_h(s, t, -1), imgfx_blur_h_rgb(s, t, 1, -1, 1), imgfx_blur_h_rgb(s, t, -1, 0, 0);
             imgfx_glow_h3(s, t, -1), imgfx_glow_h5(s, t, -1), imgfx_glow_h7(s, t, -1), imgfx_glow_3x3(s, t, -1), imgfx_glow_h(s, t, 1, -1);
             for (auto f : {imgfx_blur_h3, imgfx_blur_h121, imgfx_blur_h5, imgfx_blur_h7, imgfx_blur_3x3}) f(nullptr, t), f(t, nullptr);
             for (auto f : {imgfx_glow_h3, imgfx_glow_h5, imgfx_glow_h7, imgfx_glow_3x3}) f(nullptr, t, 1), f(t, nullptr, 3);
             imgfx_blur_box(nullptr, t, 1), imgfx_blur_h(nullptr, t, 1), imgfx_glow_h(nullptr, t, 1, 1), imgfx_blur_h_rgb(nullptr, t, 1, 1, 1), imgfx_blur_h_rgb(t, nullptr, 1, 1, 1); }, {C, C}},
        {"larger target reads black beyond its source", 3, 1, {C, C, C}, [](IMG *t) { Own<img_del> one(grid_image(1, 1, {grey(30)})); imgfx_blur_h3(one, t); }, {grey(10), grey(10), 0}},
        {"larger target, rgb", 3, 1, {C, C, C}, [](IMG *t) { Own<img_del> one(grid_image(1, 1, {grey(30)})); imgfx_blur_h_rgb(one, t, 1, 1, 1); }, {grey(10), grey(10), 0}},
    });
}

TEST(ImgfxLines, LinesPointsSpansAndCircles) {
    expect_image_cases({
        {"blend twice in the middle", 5, 1, {}, [](IMG *m) { imgfx_line_blend_two_ends(m, 0, 0, 4, 0, 0x00FEFEFE); }, {0x007F7F7F, 0x007F7F7F, 0x00BEBEBE, 0x007F7F7F, 0x007F7F7F}},
        {"blend length 3", 4, 1, {0x00FF0000, 0, 0, 0}, [](IMG *m) { imgfx_line_blend_two_ends(m, 0, 0, 3, 0, 0x000000FE); }, {0x007F007F, 0x0000007F, 0x0000007F, 0x0000007F}},
        {"add saturates", 5, 1, {0, 0x00F0F0F0, 0, 0, 0}, [](IMG *m) { imgfx_line_add_two_ends(m, 0, 0, 4, 0, 0x00101010); }, {0x00101010, W, 0x00202020, 0x00101010, 0x00101010}},
        {"dither", 11, 1, {}, [](IMG *m) { imgfx_dither_line(m, 0, 0, C, 10, 0, D); }, {C, C, C, C, D, C, D, C, D, D, D}},
        {"gradient", 5, 1, {}, [](IMG *m) { imgfx_gradient_line(m, 0, 0, 0, 4, 0, 0x00FF8010); }, {0, 0x003F2004, 0x007F4008, 0x00BF600C, 0x00FF8010}},
        {"gradient truncates", 4, 2, {}, [](IMG *m) { imgfx_gradient_line(m, 0, 0, 0, 3, 0, 0x000A0000), imgfx_gradient_line(m, 0, 1, 0x0A, 3, 1, 0); }, {0, 0x030000, 0x060000, 0x090000, 0x0A, 0x06, 0x03, 0}},
        {"gradient points", 3, 1, {0, 0, 0x00F00000}, [](IMG *m) {
             imgfx_gradient_line(m, 0, 0, 0x200000, 0, 0, 0x400000), imgfx_gradient_line_avg(m, 1, 0, 0x200000, 1, 0, 0x410000);
             imgfx_gradient_line_add(m, 2, 0, 0x200000, 2, 0, 0x400000); }, {0x00200000, 0x00300000, 0x00FF0000}},
        {"gradient add", 3, 1, {0x00010101, 0x00F00000, 0}, [](IMG *m) { imgfx_gradient_line_add(m, 0, 0, 0, 2, 0, 0x00200020); }, {0x00010101, 0x00FF0010, 0x00200020}},
        {"thick 3", 12, 3, {}, [](IMG *m) { imgfx_thick_line(m, 0, 0, 10, 0, C, 3); }, pic("###########.|###########.|............")},
        {"thick 4 swapped", 12, 3, {}, [](IMG *m) { imgfx_thick_line(m, 10, 1, 0, 1, C, 4); }, pic("###########.|###########.|###########.")},
        {"thick steep", 5, 4, {}, [](IMG *m) { imgfx_thick_line(m, 2, 0, 2, 3, C, 4); }, pic("####.|####.|####.|####.")},
        {"thick diagonal", 6, 6, {}, [](IMG *m) { imgfx_thick_line(m, 0, 0, 4, 4, C, 4); }, pic("####..|#####.|######|.#####|..####|...##.")},
        {"thick rising", 6, 6, {}, [](IMG *m) { imgfx_thick_line(m, 0, 5, 4, 1, C, 4); }, pic("...##.|..####|.#####|######|#####.|####..")},
        {"thin refused", 4, 1, {}, [](IMG *m) { imgfx_thick_line(m, 0, 0, 3, 0, C, 0), imgfx_thick_line(m, 0, 0, 3, 0, C, -2), imgfx_thick_dither_line(m, 0, 0, C, 3, 0, D, 0); }, pic("....")},
        {"thick 1", 4, 2, {}, [](IMG *m) { imgfx_thick_line(m, 0, 0, 3, 0, C, 1); }, pic("####|....")},
        {"plot blend", 2, 1, {0x00FF0001, 0x12000000}, [](IMG *m) { imgfx_plot_blend(m, 0, 0, 0x010003), imgfx_plot_blend(m, 1, 0, W), imgfx_plot_blend(m, 2, 0, W), imgfx_plot_blend(m, 0, -1, W); }, {0x00800002, 0x007F7F7F}},
        {"plot add", 2, 1, {0x00F01020, 0}, [](IMG *m) { imgfx_plot_add(m, 0, 0, 0x00202020), imgfx_plot_add(m, -1, 0, W), imgfx_plot_add(m, 0, 1, W); }, {0x00FF3040, 0}},
        {"hline alpha", 4, 2, {}, [](IMG *m) { imgfx_hline_alpha(m, 0, 2, -5, 0xFF0000, 128), imgfx_hline_alpha(m, 1, 3, 9, 0xFF0000, 256), imgfx_hline_alpha(m, 2, 0, 3, 0xFF0000, 256); },
         {0x007F0000, 0x007F0000, 0x007F0000, 0, 0, 0, 0, 0x00FF0000}},
        {"vline alpha", 2, 3, {0, 0x204060, 0, 0x204060, 0, 0x204060}, [](IMG *m) { imgfx_vline_alpha(m, 1, 5, 1, 0xA0C0E0, 64), imgfx_vline_alpha(m, -1, 0, 2, 0xA0C0E0, 64), imgfx_vline_alpha(m, 0, 0, 2, W, 0); },
         {0, 0x00204060, 0, 0x00406080, 0, 0x00406080}},
        {"circle r 2", 5, 5, {}, [](IMG *m) { imgfx_circle_sine(m, 2, 2, 2, C); }, pic(".....|.##..|.##..|.##..|.....")},
        {"circle clipped", 3, 3, {}, [](IMG *m) { imgfx_circle_sine(m, 0, 0, 2, C); }, pic("#..|#..|...")},
        {"circle refused", 3, 3, {}, [](IMG *m) {
             imgfx_circle_sine(m, 3, 2, 2, C), imgfx_circle_sine(m, 2, -1, 2, C), imgfx_circle_sine(m, 2, 2, 0, C), imgfx_circle_sine(m, 2, 2, -3, C); }, std::vector<uint32_t>(9, 0)},
        {"circle huge", 5, 5, {}, [](IMG *m) { imgfx_circle_sine(m, 0, 0, 1000000, C); }, std::vector<uint32_t>(25, 0)},
    });
    imgfx_line_two_ends(nullptr, 0, 0, 4, 2, C), imgfx_gradient_line(nullptr, 0, 0, 1, 2, 2, 3), imgfx_thick_line(nullptr, 0, 0, 3, 0, C, 3);
    imgfx_thick_dither_line(nullptr, 0, 0, C, 3, 0, D, 3), imgfx_plot_blend(nullptr, 0, 0, 1), imgfx_plot_add(nullptr, 0, 0, 1);
    imgfx_vline_alpha(nullptr, 0, 0, 2, 0x00A0C0E0, 64), imgfx_circle_sine(nullptr, 2, 2, 2, C);
}

// ---- Random picks and sprinkles ---------------------------------------------------------

TEST(ImgfxMosaic, BlockAverageRandomPicksAndSprinkles) {
    Own<img_del> img(grid_image(3, 3, nine));
    EXPECT_EQ(imgfx_block_average(img, -1, -1, 2, 2), v3(1));
    EXPECT_EQ(imgfx_block_average(img, 1, 1, 5, 5), 0x00070E15u);  // (5 6 8 9): 7, 14, 21
    for (auto b : {std::array{3, 0, 2, 2}, {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, {0, 0, 0, 1}}) EXPECT_EQ(imgfx_block_average(img, b[0], b[1], b[2], b[3]), 0u);
    EXPECT_EQ(imgfx_block_random(img, 0, 0, 1, 0), 0u);
    EXPECT_EQ(imgfx_block_average(nullptr, 0, 0, 1, 1), 0u);
    // Seed 45429 draws 17318 21105 7627 1468 7256 10216: the row from the first.
    Own<img_del> column(grid_image(1, 4, {10, 11, 12, 13})), row(grid_image(5, 1, {20, 21, 22, 23, 24}));
    const std::tuple<IMG *, std::array<int32_t, 4>, uint32_t> picks[] = {  // row 1 column 0 of nine; nothing left, yet a draw
        {img, {0, 0, 3, 3}, v3(4)}, {column, {0, -2, 1, 9}, 11}, {row, {0, 0, 5, 1}, 24}, {img, {5, 5, 2, 2}, 0}};
    for (auto &[m, b, want] : picks) {
        random_srand(45429);
        EXPECT_EQ(imgfx_block_random(m, b[0], b[1], b[2], b[3]), want);
    }
    EXPECT_EQ(random_rand(), 7256);
    Own<img_del> six(grid_image(6, 3, counting(18, 100)));
    random_srand(45429), imgfx_pixelate_random(six, 3, 3);  // two draws a block: (0, 1) and (3, 2)
    EXPECT_TRUE(grid_equals(six, {106, 106, 106, 115, 115, 115, 106, 106, 106, 115, 115, 115, 106, 106, 106, 115, 115, 115}));
    EXPECT_EQ(random_rand(), 23197);  // the ninth value: eight were drawn
    // Sprinkles: random sprite pixels at the sprite's place, black stored too.
    Own<img_del> sprite(grid_image(3, 2, {0x11, 0x22, 0x00, 0x44, 0x55, 0x66})), target(grid_filled(6, 6, 0xEE));
    sprite->x = 1, sprite->y = 2, random_srand(45429), imgfx_sprinkle(target, sprite, 3);
    std::vector<uint32_t> expected(36, 0xEE);
    expected[3 * 6 + 3] = 0x66, expected[2 * 6 + 2] = 0x22, expected[2 * 6 + 3] = 0x00;  // sprite (2, 1), (1, 0), (2, 0)
    EXPECT_TRUE(grid_equals(target, expected));
    Own<img_del> dot(grid_image(1, 1, {0x77})), small(grid_image(2, 2)), empty(grid_image(0, 0));
    dot->x = -1, imgfx_sprinkle(small, dot, 5);  // clipped
    dot->x = 1, dot->y = 1, imgfx_sprinkle(small, dot, 1);
    EXPECT_TRUE(grid_equals(small, {0, 0, 0, 0x77}));
    random_srand(1);
    imgfx_sprinkle(small, empty, 3), imgfx_sprinkle(nullptr, dot, 3), imgfx_sprinkle(small, nullptr, 3);
    EXPECT_EQ(random_rand(), 41);  // nothing drawn: the first value after seed 1
    Own<img_del> big(grid_image(4, 4)), wide(grid_image(5, 1));  // the first must be at least as large as the third
    const std::array<IMG *, 3> fits[] = {{big, small, small}, {big, small, big}}, misfits[] = {{small, big, big}, {big, big, wide}, {wide, big, big}, {big, nullptr, small}};
    for (auto &f : fits) EXPECT_EQ(imgfx_check_fit(f[0], f[1], f[2]), 1);
    for (auto &f : misfits) EXPECT_EQ(imgfx_check_fit(f[0], f[1], f[2]), 0);
}

// ---- Copies of IMG operations ------------------------------------------------------------

// Each copy and its original on the same random picture (every byte of the
// words in use), for a battery of arguments crossing every edge.
TEST(ImgfxBlits, CopiesMatchTheirImgOriginals) {
    using Op = std::function<void(const IMG *, IMG *, const int32_t *)>;
#define PAIR(...)                                                                       \
    {#__VA_ARGS__, [](const IMG *s, IMG *t, const int32_t *a) { (void)s, (void)a, imgfx_##__VA_ARGS__; }, \
     [](const IMG *s, IMG *t, const int32_t *a) { (void)s, (void)a, img_##__VA_ARGS__; }}
    const struct {
        const char *name;
        Op copy, original;
    } pairs[] = {
        PAIR(blit_spaced(s, t, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7])),
        PAIR(hline(t, a[0], a[1], a[2], (uint32_t)a[3])),
        PAIR(vline(t, a[0], a[1], a[2], (uint32_t)a[3])),
        PAIR(sub_colour(t, (uint32_t)a[0])),
        PAIR(invert(t)),
        PAIR(replace_colour(t, t->pixels[a[0] & 3], (uint32_t)a[1])),
        PAIR(and(s, t)),
        PAIR(scale(s, t)),
        {"rotate", [](const IMG *s, IMG *t, const int32_t *a) { Own<img_del> r(imgfx_rotate(s, a[0])); img_copy(r, t); },
         [](const IMG *s, IMG *t, const int32_t *a) { Own<img_del> r(img_rotate(s, a[0])); img_copy(r, t); }},
    };
#undef PAIR
    const int32_t edges[] = {-9, -1, 0, 1, 3, 7, 8, 9, INT32_MIN, INT32_MAX};
    random_srand(2718);
    for (auto &p : pairs)
        for (int round = 0; round < 300; round++) {
            int32_t a[8];
            for (int32_t &v : a) v = round % 3 ? random_rand() % 20 - 6 : edges[random_rand() % 10];
            a[6] = a[6] < 1 ? 1 : a[6] % 4 + 1, a[7] = a[7] < 1 ? 1 : a[7] % 4 + 1;  // spaced steps
            Own<img_del> s(grid_image(8, 8)), t1(grid_image(8, 8)), t2(grid_image(8, 8));
            for (int i = 0; i < 64; i++) {
                s->pixels[i] = random_rand() % 4 ? (uint32_t)random_next() << 2 : 0;
                t1->pixels[i] = t2->pixels[i] = (uint32_t)random_next() << 2;
            }
            p.copy(s, t1, a);
            p.original(s, t2, a);
            ASSERT_TRUE(grid_identical(t1, t2)) << p.name << " " << a[0] << " " << a[1] << " " << a[2] << " " << a[3] << " " << a[4] << " " << a[5];
        }
    for (int32_t a = -3; a < 9; a++)
        for (int32_t b = -3; b < 9; b++) {
            int32_t *x = imgfx_run_lengths(a, b), *y = img_run_lengths(a, b);
            int32_t *mx = imgfx_run_lengths_mirrored(a, b), *my = img_run_lengths_mirrored(a, b);
            int32_t n = std::min(std::abs(a), std::abs(b));  // the mirrored split has n counts, the plain n + 1
            EXPECT_EQ(std::vector<int32_t>(x, x + n + 1), std::vector<int32_t>(y, y + n + 1)) << a << " " << b;
            EXPECT_EQ(std::vector<int32_t>(mx, mx + n), std::vector<int32_t>(my, my + n)) << a << " " << b;
            for (int32_t *q : {x, y, mx, my}) free(q);
        }
    for (auto [t, pat] : {std::pair{"xIMG{", "IMG"}, {"abc", "{"}, {"aaab", "aab"}}) EXPECT_EQ(imgfx_find_text(t, pat), img_find_text(t, pat));
    EXPECT_EQ(imgfx_find_text(nullptr, "{"), 0);
    EXPECT_EQ(imgfx_rotate(nullptr, 0), nullptr);
}
