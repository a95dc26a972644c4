// IMGFX lines, points and spans: the image line, lines from both ends (plain,
// blended, added), dithered, gradient and thick lines, blended and added
// points, alpha spans and the sine circle. Each call is a table line whose
// result is worked out by hand (C and D stand for the two colours).
#include <gtest/gtest.h>

#include <string>

#include "imaging/imgfx.h"
#include "tests/test_support.h"

namespace {

const uint32_t C = 0x00123456, D = 0x00ABCDEF;

// Rows of '#' (colour C) and '.' (black) as pixel words.
std::vector<uint32_t> pic(std::initializer_list<const char *> rows) {
    std::vector<uint32_t> out;
    for (const char *r : rows)
        for (const char *p = r; *p; p++) out.push_back(*p == '#' ? C : 0);
    return out;
}

}  // namespace

TEST(ImgfxLines, LinesPointsSpansAndCircles) {
    expect_image_cases({
        {"line", 4, 2, {}, [](IMG *m) { imgfx_line(m, 0, 0, 3, 1, C); }, pic({"#...", ".###"})},
        {"line backwards", 4, 2, {}, [](IMG *m) { imgfx_line(m, 3, 1, 0, 0, C); }, pic({"###.", "...#"})},
        {"two ends", 5, 3, {}, [](IMG *m) { imgfx_line_two_ends(m, 0, 0, 4, 2, C); }, pic({"#....", ".###.", "....#"})},
        {"two ends clipped", 5, 1, {}, [](IMG *m) { imgfx_line_two_ends(m, -3, 0, 7, 0, C); }, pic({"#####"})},
        {"blend twice in the middle", 5, 1, {}, [](IMG *m) { imgfx_line_blend_two_ends(m, 0, 0, 4, 0, 0x00FEFEFE); },
         {0x007F7F7F, 0x007F7F7F, 0x00BEBEBE, 0x007F7F7F, 0x007F7F7F}},
        {"blend length 3", 4, 1, {0x00FF0000, 0, 0, 0}, [](IMG *m) { imgfx_line_blend_two_ends(m, 0, 0, 3, 0, 0x000000FE); },
         {0x007F007F, 0x0000007F, 0x0000007F, 0x0000007F}},
        {"add saturates", 5, 1, {0, 0x00F0F0F0, 0, 0, 0}, [](IMG *m) { imgfx_line_add_two_ends(m, 0, 0, 4, 0, 0x00101010); },
         {0x00101010, 0x00FFFFFF, 0x00202020, 0x00101010, 0x00101010}},
        {"dither", 11, 1, {}, [](IMG *m) { imgfx_dither_line(m, 0, 0, C, 10, 0, D); }, {C, C, C, C, D, C, D, C, D, D, D}},
        {"dither backwards", 11, 1, {}, [](IMG *m) { imgfx_dither_line(m, 10, 0, C, 0, 0, D); }, {D, D, D, C, D, C, D, C, C, C, C}},
        {"dither one point", 2, 1, {}, [](IMG *m) { imgfx_dither_line(m, 1, 0, C, 1, 0, D); }, {0, C}},
        {"gradient", 5, 1, {}, [](IMG *m) { imgfx_gradient_line(m, 0, 0, 0, 4, 0, 0x00FF8010); },
         {0, 0x003F2004, 0x007F4008, 0x00BF600C, 0x00FF8010}},
        {"gradient truncates", 4, 2, {},
         [](IMG *m) { imgfx_gradient_line(m, 0, 0, 0, 3, 0, 0x000A0000), imgfx_gradient_line(m, 0, 1, 0x0A, 3, 1, 0); },
         {0, 0x00030000, 0x00060000, 0x00090000, 0x0A, 0x06, 0x03, 0}},
        {"gradient steep", 1, 3, {}, [](IMG *m) { imgfx_gradient_line(m, 0, 2, 0x10, 0, 0, 0x30); }, {0x30, 0x20, 0x10}},
        {"gradient points", 3, 1, {0, 0, 0x00F00000},
         [](IMG *m) {
             imgfx_gradient_line(m, 0, 0, 0x00200000, 0, 0, 0x00400000);
             imgfx_gradient_line_avg(m, 1, 0, 0x00200000, 1, 0, 0x00410000);
             imgfx_gradient_line_add(m, 2, 0, 0x00200000, 2, 0, 0x00400000);
         },
         {0x00200000, 0x00300000, 0x00FF0000}},
        {"gradient add", 3, 1, {0x00010101, 0x00F00000, 0}, [](IMG *m) { imgfx_gradient_line_add(m, 0, 0, 0, 2, 0, 0x00200020); },
         {0x00010101, 0x00FF0010, 0x00200020}},
        {"thick 3", 12, 3, {}, [](IMG *m) { imgfx_thick_line(m, 0, 0, 10, 0, C, 3); },
         pic({"###########.", "###########.", "............"})},
        {"thick 4 swapped", 12, 3, {}, [](IMG *m) { imgfx_thick_line(m, 10, 1, 0, 1, C, 4); },
         pic({"###########.", "###########.", "###########."})},
        {"thick steep", 5, 4, {}, [](IMG *m) { imgfx_thick_line(m, 2, 0, 2, 3, C, 4); }, pic({"####.", "####.", "####.", "####."})},
        {"thick diagonal", 6, 6, {}, [](IMG *m) { imgfx_thick_line(m, 0, 0, 4, 4, C, 4); },
         pic({"####..", "#####.", "######", ".#####", "..####", "...##."})},
        {"thin refused", 4, 1, {},
         [](IMG *m) {
             imgfx_thick_line(m, 0, 0, 3, 0, C, 0), imgfx_thick_line(m, 0, 0, 3, 0, C, -2);
             imgfx_thick_dither_line(m, 0, 0, C, 3, 0, D, 0);
         },
         pic({"...."})},
        {"thick 1", 4, 2, {}, [](IMG *m) { imgfx_thick_line(m, 0, 0, 3, 0, C, 1); }, pic({"####", "...."})},
        {"thick dither backwards", 5, 1, {}, [](IMG *m) { imgfx_thick_dither_line(m, 4, 0, C, 0, 0, D, 1); }, {D, D, D, C, C}},
        {"thick dither 2", 5, 2, {}, [](IMG *m) { imgfx_thick_dither_line(m, 0, 0, C, 4, 0, D, 2); }, {C, C, C, D, D, 0, 0, 0, 0, 0}},
        {"plot blend", 2, 1, {0x00FF0001, 0x12000000},
         [](IMG *m) {
             imgfx_plot_blend(m, 0, 0, 0x00010003), imgfx_plot_blend(m, 1, 0, 0x00FFFFFF);
             imgfx_plot_blend(m, 2, 0, 0x00FFFFFF), imgfx_plot_blend(m, 0, -1, 0x00FFFFFF);
         },
         {0x00800002, 0x007F7F7F}},
        {"plot add", 2, 1, {0x00F01020, 0},
         [](IMG *m) { imgfx_plot_add(m, 0, 0, 0x00202020), imgfx_plot_add(m, -1, 0, 0x00FFFFFF), imgfx_plot_add(m, 0, 1, 0x00FFFFFF); },
         {0x00FF3040, 0}},
        {"hline alpha", 4, 2, {},
         [](IMG *m) {
             imgfx_hline_alpha(m, 0, 2, -5, 0x00FF0000, 128), imgfx_hline_alpha(m, 1, 3, 9, 0x00FF0000, 256);
             imgfx_hline_alpha(m, 2, 0, 3, 0x00FF0000, 256);
         },
         {0x007F0000, 0x007F0000, 0x007F0000, 0, 0, 0, 0, 0x00FF0000}},
        {"vline alpha", 2, 3, {0, 0x00204060, 0, 0x00204060, 0, 0x00204060},
         [](IMG *m) {
             imgfx_vline_alpha(m, 1, 5, 1, 0x00A0C0E0, 64), imgfx_vline_alpha(m, -1, 0, 2, 0x00A0C0E0, 64);
             imgfx_vline_alpha(m, 0, 0, 2, 0x00FFFFFF, 0);
         },
         {0, 0x00204060, 0, 0x00406080, 0, 0x00406080}},
        {"circle r 2", 5, 5, {}, [](IMG *m) { imgfx_circle_sine(m, 2, 2, 2, C); }, pic({".....", ".##..", ".##..", ".##..", "....."})},
        {"circle clipped", 3, 3, {}, [](IMG *m) { imgfx_circle_sine(m, 0, 0, 2, C); }, pic({"#..", "#..", "..."})},
        {"circle refused", 5, 5, {},
         [](IMG *m) {
             imgfx_circle_sine(m, 5, 2, 2, C), imgfx_circle_sine(m, 2, -1, 2, C), imgfx_circle_sine(m, 2, 2, 0, C);
             imgfx_circle_sine(m, 2, 2, -3, C), imgfx_circle_sine(m, 0, 0, 1000000, C);
         },
         std::vector<uint32_t>(25, 0)},
    });
    imgfx_line_two_ends(nullptr, 0, 0, 4, 2, C), imgfx_gradient_line(nullptr, 0, 0, 1, 2, 2, 3);
    imgfx_thick_line(nullptr, 0, 0, 3, 0, C, 3), imgfx_thick_dither_line(nullptr, 0, 0, C, 3, 0, D, 3);
    imgfx_plot_blend(nullptr, 0, 0, 1), imgfx_plot_add(nullptr, 0, 0, 1);
    imgfx_vline_alpha(nullptr, 0, 0, 2, 0x00A0C0E0, 64), imgfx_circle_sine(nullptr, 2, 2, 2, C);
}

// Lines from both ends cover what the image's own version covers.
TEST(ImgfxLines, TwoEndsCoversWhatTheImageVersionCovers) {
    uint32_t state = 1;
    auto coordinate = [&state]() {
        state = state * 1664525u + 1013904223u;
        return (int32_t)((state >> 8) % 28) - 4;
    };
    for (int i = 0; i < 3000; i++) {
        const int32_t x0 = coordinate(), y0 = coordinate(), x1 = coordinate(), y1 = coordinate();
        Own<img_del> a(grid_image(20, 20)), b(grid_image(20, 20));
        img_line_two_ends(a, x0, y0, x1, y1, C);
        imgfx_line_two_ends(b, x0, y0, x1, y1, C);
        ASSERT_TRUE(grid_identical(b, a)) << x0 << "," << y0 << " to " << x1 << "," << y1;
    }
}
