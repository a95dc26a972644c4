// IMG alone: the operations on every pixel (channel saturation, whole-word
// matches), the reader quirks of the 32-bit kind, the additive blits, the run
// lengths behind scaling, lines, spans, circles and ellipses as pictures, and
// the point lists of img_line and its copies; the colour helpers (RGB888's
// saturating channels, byte packing, span painters), FILL growing one ring per
// step from a colour or a pattern, its centred run splits, and FLASHPIX. What
// IMG shares with BYTEMAP is in test_raster_shared.cpp, its clipping at
// extreme positions in test_extremes.cpp, its fast paths in test_fast_draw.cpp.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "imaging/bytemap.h"
#include "imaging/fill.h"
#include "imaging/flashpix.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "imaging/rgb888.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"
#include "vector/array.h"

// Each operation on four pixels, hand-worked per channel.
TEST(ImgWhole, EveryPixelOperation) {
    const struct {
        const char *name;
        std::function<void(IMG *)> op;
        uint32_t in[4], out[4];
    } cases[] = {
        {"add", [](IMG *m) { img_add_colour(m, 0x00102030); }, {0x00F0F0F0, 0x00000000, 0xFF0000FF, 0x00FE01FF}, {0x00FFFFFF, 0x00102030, 0x001020FF, 0x00FF21FF}},
        {"sub", [](IMG *m) { img_sub_colour(m, 0x00102030); }, {0x00080808, 0x00FFFFFF, 0xFF102030, 0x00200010}, {0x00000000, 0x00EFDFCF, 0x00000000, 0x00100000}},
        {"scale 3/2", [](IMG *m) { img_scale_colour(m, 3, 2); }, {0x00804020, 0x00010203, 0xFF0A0B0C, 0x00FFFFFF}, {0x00C06030, 0x00010304, 0x000F1012, 0x00FFFFFF}},
        {"scale max", [](IMG *m) { img_scale_colour(m, INT32_MAX, 1); }, {0x00102030, 0x00000001, 0, 0xFF000000}, {0x00FFFFFF, 0x000000FF, 0, 0}},
        {"scale 0", [](IMG *m) { img_scale_colour(m, 0, 5); }, {0x00102030, 1, 2, 3}, {0, 0, 0, 0}},
        {"scale refused", [](IMG *m) { img_scale_colour(m, 1, 0), img_scale_colour(m, 1, -2), img_scale_colour(m, -1, 2); }, {0x00102030, 1, 2, 3}, {0x00102030, 1, 2, 3}},
        {"invert", [](IMG *m) { img_invert(m); }, {0x00123456, 0xFF000000, 0, 0x80FFFFFF}, {0x00EDCBA9, 0x00FFFFFF, 0x00FFFFFF, 0}},
        {"replace", [](IMG *m) { img_replace_colour(m, 0x00CCCCCC, 0xA5747474); }, {0x00CCCCCC, 0x01CCCCCC, 0x00CCCCCD, 0x00CCCCCC}, {0xA5747474, 0x01CCCCCC, 0x00CCCCCD, 0xA5747474}},
        {"clear", [](IMG *m) { img_clear(m, 0xFF00FF00); }, {1, 2, 3, 4}, {0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00}},
        {"and another size", [](IMG *m) { Own<img_del> mask(grid_image(4, 4)); img_and(mask, m); }, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"copy row, the narrower width", [](IMG *m) { Own<img_del> s(grid_image(3, 1, {7, 0, 9})); img_copy_row(s, m, 0, 0), imgfx_copy_row(s, m, 0, 0); }, {1, 2, 3, 4}, {7, 0, 3, 4}},
        {"add wraps whole words", [](IMG *m) { Own<img_del> s(grid_image(2, 2, {0x000000FF, 0xFFFFFFFF, 0xFF018001, 5})); img_blit_add(s, m, 0, 0, 0, 0, 2, 2); },
         {0x00000001, 0x00000002, 0x00FF80FF, 0}, {0x00000100, 0x00000001, 0x00010100, 5}},
        {"add saturates each channel", [](IMG *m) { Own<img_del> s(grid_image(2, 2, {0x000000FF, 0xFFFFFFFF, 0xFF018001, 0})); img_blit_add_sat(s, m, 0, 0, 0, 0, 2, 2); },
         {0x00000001, 0x00000002, 0x00FF80FF, 7}, {0x000000FF, 0x00FFFFFF, 0x00FFFFFF, 7}},
    };
    for (auto &c : cases) {
        Own<img_del> image(grid_image(2, 2, c.in));
        c.op(image);
        EXPECT_TRUE(grid_equals(image, 2, 2, c.out)) << c.name;
        c.op(nullptr);  // reported only
    }
}

// The 32-bit reader stores what it reads: sizes without skipping blanks,
// values unmasked, the maxval never applied, "P1" in memory a digit a pixel.
TEST(ImgRead, ValuesAreTakenAsTheyStand) {
    Own<img_del> blank(img_from_text("IMG{\nP3\n 2 1\n255\n"));
    EXPECT_TRUE(blank && blank->width == 0 && blank->height == 2);  // the blank ends an empty width run
    Own<img_del> wide(img_from_text("IMG{\nP3\n1 1\n255\n256 0 1\n}\n"));
    EXPECT_TRUE(grid_equals(wide, std::vector<uint32_t>{0x01000001}));
    std::string grey = "P2\n2 1\n15\n15 300\n", bits = "P1\n3 1\n10 0 1\n";
    Own<img_del> g(img_from_pnm(grey.data(), grey.size())), b(img_from_pnm(bits.data(), bits.size()));
    EXPECT_TRUE(grid_equals(g, std::vector<uint32_t>{0x000F0F0F, 300u * 0x10101u}));
    EXPECT_TRUE(grid_equals(b, std::vector<uint32_t>{0x00FFFFFF, 0, 0}));
}

// Runs of a split of a into b + 1 pieces (order and signs do not matter);
// without runs the one count is the leftover, saturated; a split of the
// magnitude of INT32_MIN is refused (no runs listed).
TEST(ImgRuns, PlainAndMirroredSplits) {
    const struct {
        bool mirrored;
        int32_t a, b;
        std::vector<int32_t> runs;
    } cases[] = {
        {false, 4, 2, {2, 2, 1}}, {false, 5, 3, {2, 2, 1, 1}}, {false, -3, 5, {2, 2, 1}}, {false, 3, 3, {1, 1, 1, 1}}, {false, 0, 0, {1}},
        {false, 4, 0, {5}},       {true, 7, 3, {3, 2, 3}},     {true, 5, 3, {2, 2, 2}},   {true, 2, -4, {2, 2}},     {false, -5, 3, {2, 2, 1, 1}},
        {false, INT32_MAX, 0, {INT32_MAX}}, {false, INT32_MIN + 1, 0, {INT32_MAX}}, {false, 0, -7, {8}}, {false, INT32_MIN, 1, {}}, {false, 3, INT32_MIN, {}},
        {true, INT32_MIN, 1, {}}, {true, 3, INT32_MIN, {}},
    };
    for (auto &c : cases) {
        int32_t *r = c.mirrored ? img_run_lengths_mirrored(c.a, c.b) : img_run_lengths(c.a, c.b);
        EXPECT_EQ(r ? std::vector<int32_t>(r, r + std::max(c.runs.size(), (size_t)1)) : std::vector<int32_t>{}, c.runs) << c.a << ", " << c.b;
        free(r);
    }
}

// ---- Lines, spans, circles and ellipses ---------------------------------------------

const uint32_t C = 0x00FFFFFF;  // the drawing colour of the pictures ('#')

// Each drawing call on a small black image, as a picture of the result.
// The shapes by hand; clipped, negative-radius and random ones are held to
// the straightforward walks in test_fast_draw.cpp.
TEST(ImgDraw, LinesSpansCirclesAndEllipsesAsPictures) {
    const struct {
        int32_t w, h;
        const char *rows;
        void (*draw)(IMG *);
    } cases[] = {
        {4, 2, "#...|.###", [](IMG *i) { img_line(i, 0, 0, 3, 1, C); }},
        {4, 2, "###.|...#", [](IMG *i) { img_line(i, 3, 1, 0, 0, C); }},
        {2, 4, "#.|.#|.#|.#", [](IMG *i) { img_line(i, 0, 0, 1, 3, C); }},
        {3, 2, "...|.#.", [](IMG *i) { img_line(i, 1, 1, 1, 1, C); }},
        {5, 1, "#####", [](IMG *i) { img_line_two_ends(i, 0, 0, 4, 0, C); }},
        {4, 2, "#.#.|.#.#", [](IMG *i) { img_line_two_ends(i, 0, 0, 3, 1, C); }},
        {2, 3, "#.|#.|..", [](IMG *i) { img_line_two_ends(i, 0, 0, 0, 1, C); }},
        {4, 2, "#...|.###", [](IMG *i) { img_line_unclipped(i, 0, 0, 3, 1, C); }},
        {4, 2, "....|....", [](IMG *i) { img_line_unclipped(i, 0, 0, 4, 1, C), img_line_unclipped(i, -1, 0, 3, 1, C); }},
        {4, 2, "....|....", [](IMG *i) { img_line_unclipped(i, 0, 0, 3, 2, C), img_line_unclipped(i, 0, -1, 3, 1, C); }},
        {4, 2, "....|.##.", [](IMG *i) { img_hline(i, 1, 2, 1, C); }},
        {4, 2, "####|....", [](IMG *i) { img_hline(i, 0, 9, -9, C); }},
        {4, 2, "#...|...#", [](IMG *i) { img_hline(i, 0, INT32_MIN, 0, C), img_hline(i, 1, 3, INT32_MAX, C); }},
        {4, 2, "....|....", [](IMG *i) { img_hline(i, -1, 0, 3, C), img_hline(i, 2, 0, 3, C), img_hline(i, 0, 4, 9, C), img_hline(i, 0, -9, -1, C); }},
        {2, 4, "..|.#|.#|..", [](IMG *i) { img_vline(i, 1, 2, 1, C); }},
        {2, 3, "#.|#.|#.", [](IMG *i) { img_vline(i, 0, 7, -7, C); }},
        {2, 3, "..|..|..", [](IMG *i) { img_vline(i, -1, 0, 2, C), img_vline(i, 2, 0, 2, C), img_vline(i, 0, 3, 9, C), img_vline(i, 0, -9, -1, C); }},
        {3, 3, "...|.#.|...", [](IMG *i) { img_fill_circle(i, 1, 1, 0, C), img_circle(i, 1, 1, 0, C); }},
        {5, 5, ".###.|#...#|#...#|#...#|.###.", [](IMG *i) { img_circle(i, 2, 2, 2, C); }},
        {7, 7, "..###..|.#...#.|#.....#|#.....#|#.....#|.#...#.|..###..", [](IMG *i) { img_circle(i, 3, 3, 3, C); }},
        {5, 5, ".###.|#####|#####|#####|.###.", [](IMG *i) { img_fill_circle(i, 2, 2, 2, C); }},
        {4, 3, "....|.##.|....", [](IMG *i) { img_circle_sine(i, 2, 1, 1, C); }},
        {4, 3, ".##.|.##.|.##.", [](IMG *i) { img_circle_sine(i, 2, 1, 2, C); }},
        {4, 3, ".##.|.##.|.##.", [](IMG *i) { img_circle_sine(i, 2, 1, -2, C); }},
        {4, 3, "....|....|....", [](IMG *i) { img_circle_sine(i, 9, 1, 2, C); }},
        {3, 3, "...|.#.|...", [](IMG *i) { img_ellipse(i, 1, 1, 0, 0, C), img_fill_ellipse(i, 1, 1, 0, 0, C); }},
        {9, 3, ".........|.#######.|.........", [](IMG *i) { img_ellipse(i, 4, 1, 3, 0, C); }},
        {9, 3, ".........|.#######.|.........", [](IMG *i) { img_fill_ellipse(i, 4, 1, 3, 0, C); }},
        {3, 6, "...|.#.|.#.|.#.|.#.|.#.", [](IMG *i) { img_ellipse(i, 1, 3, 0, 2, C); }},
        {5, 3, ".###.|#...#|.###.", [](IMG *i) { img_ellipse(i, 2, 1, 2, 1, C); }},
        {7, 5, "..###..|.#...#.|#.....#|.#...#.|..###..", [](IMG *i) { img_ellipse(i, 3, 2, 3, 2, C); }},
        {5, 3, ".###.|#####|.###.", [](IMG *i) { img_fill_ellipse(i, 2, 1, 2, 1, C); }},
        {7, 5, "..###..|.#####.|#######|.#####.|..###..", [](IMG *i) { img_fill_ellipse(i, 3, 2, 3, 2, C); }},
        {3, 3, "...|...|...", [](IMG *i) { img_fill_ellipse(i, INT32_MIN, INT32_MAX, 5, 5, C); }},
    };
    for (auto &c : cases) {
        Own<img_del> image(grid_image(c.w, c.h));
        c.draw(image);
        EXPECT_TRUE(grid_equals(image, picture(c.rows))) << c.rows;
    }
    img_line(nullptr, 0, 0, 1, 1, C), img_line_two_ends(nullptr, 0, 0, 1, 1, C), img_line_unclipped(nullptr, 0, 0, 1, 1, C);
    img_hline(nullptr, 0, 0, 1, C), img_vline(nullptr, 0, 0, 1, C), img_circle(nullptr, 0, 0, 1, C);
    img_fill_circle(nullptr, 0, 0, 1, C), img_circle_sine(nullptr, 0, 0, 1, C), img_ellipse(nullptr, 0, 0, 1, 1, C), img_fill_ellipse(nullptr, 0, 0, 1, 1, C);
    // A larger sine circle (64 x 64, centre (32, 32), radius 20), recorded as
    // its number of points and the FNV-1a hash of its words.
    Own<img_del> image(grid_image(64, 64));
    img_circle_sine(image, 32, 32, 20, C);
    uint32_t hash = 2166136261u, points = 0;
    for (int i = 0; i < 64 * 64; i++) hash = (hash ^ image->pixels[i]) * 16777619u, points += image->pixels[i] != 0;
    EXPECT_EQ(points, 150u);
    EXPECT_EQ(hash, 3230890707u);
}

// ---- Point lists ----------------------------------------------------------------------

using Points = std::vector<std::pair<int32_t, int32_t>>;

// The list a points call returns, freed.
static Points take(int32_t *p) {
    Points out;
    for (int32_t i = 0; p && i < p[0]; i += 2) out.emplace_back(p[1 + i], p[2 + i]);
    std::free(p);
    return out;
}

// img_line_points and its copies in IMGFX, BYTEMAP and FILL list exactly the
// pixels img_line plots (in an image that holds the line whole), in its
// order from the first end, one step of at most 1 per axis at a time.
static void expect_points_of_line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    SCOPED_TRACE(testing::Message() << "(" << x0 << ", " << y0 << ") to (" << x1 << ", " << y1 << ")");
    const int32_t size = 260, o = 130;
    Own<img_del> image(grid_image(size, size));
    img_line(image, x0 + o, y0 + o, x1 + o, y1 + o, 1);
    std::set<std::pair<int32_t, int32_t>> lit;
    for (int32_t i = 0; i < size * size; i++)
        if (image->pixels[i]) lit.emplace(i % size - o, i / size - o);
    const int32_t m = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (auto points_of : {img_line_points, imgfx_line_points, bytemap_line_points, fill_line_points}) {
        int32_t *raw = points_of(x0, y0, x1, y1);
        ASSERT_NE(raw, nullptr);
        ASSERT_EQ(raw[0], 2 * (m + 1));
        Points p = take(raw);
        EXPECT_EQ(p.front(), std::make_pair(x0, y0));
        EXPECT_EQ(p.back(), std::make_pair(x1, y1));
        EXPECT_TRUE(decltype(lit)(p.begin(), p.end()) == lit);
        for (size_t i = 1; i < p.size(); i++)
            EXPECT_LE(std::max(std::abs(p[i].first - p[i - 1].first), std::abs(p[i].second - p[i - 1].second)), 1) << i;
    }
}

TEST(LinePoints, EveryShortLineAndLongOnesListImgLinesPixels) {
    for (int32_t dy = -4; dy <= 4; dy++)
        for (int32_t dx = -4; dx <= 4; dx++) expect_points_of_line(1, -2, 1 + dx, -2 + dy);
    const int32_t lines[][4] = {
        {0, 0, 120, 0},   {0, 0, 0, -120},    {-120, -7, 120, 7},   {5, -120, -5, 120}, {-100, -100, 100, 100}, {100, -100, -100, 100},
        {-3, 0, 120, 61}, {0, -3, 61, 120}, {120, 61, -3, 0}, {-117, 50, 119, 49}, {-60, -120, 61, 119},   {1, 2, 3, 120},
    };
    for (const auto &l : lines) expect_points_of_line(l[0], l[1], l[2], l[3]);
    // One step along an axis ends at its end; the reverse need not cover the same pixels.
    const int32_t ends[][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (auto &e : ends) EXPECT_EQ(take(img_line_points(0, 0, e[0], e[1])), (Points{{0, 0}, {e[0], e[1]}}));
    EXPECT_EQ(take(img_line_points(0, 0, 2, 1)), (Points{{0, 0}, {1, 1}, {2, 1}}));
    EXPECT_EQ(take(img_line_points(3, 1, 0, 0)), (Points{{3, 1}, {2, 0}, {1, 0}, {0, 0}}));
}

// ---- RGB888 ----------------------------------------------------------------------------

// Each colour helper on a pair of words: channels saturate or stop at zero
// on their own (no carry or borrow), the top byte is dropped.
TEST(Rgb888, ChannelArithmeticAndBytes) {
    const struct {
        std::function<uint32_t(uint32_t, int64_t)> f;
        uint32_t a;
        int64_t b;
        uint32_t want;
    } cases[] = {
        {rgb888_add, 0x00F01020, 0x00202020, 0x00FF3040}, {rgb888_add, 0x000000FF, 0x00000001, 0x000000FF}, {rgb888_add, 0x0000FF00, 0x0000FF00, 0x0000FF00},
        {rgb888_add, 0x00FF0000, 0x00FF0000, 0x00FF0000}, {rgb888_add, 0xFF000000, 0x01000000, 0x00000000}, {rgb888_sub, 0x00102030, 0x00202020, 0x00000010},
        {rgb888_sub, 0x00010000, 0x00000001, 0x00010000}, {rgb888_sub, 0x00FFFFFF, 0x00102030, 0x00EFDFCF}, {rgb888_sub, 0xAB000005, 0x00000000, 0x00000005},
        {rgb888_average, 0x00FF0001, 0x00010003, 0x00800002}, {rgb888_average, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF}, {rgb888_average, 0x00010101, 0, 0},
        {rgb888_brighten, 0x00FE0010, 5, 0x00FF0515}, {rgb888_darken, 0x000301FF, 2, 0x000100FD}, {rgb888_brighten, 0, 255, 0x00FFFFFF},
        {rgb888_darken, 0x00FFFFFF, 255, 0}, {rgb888_shade, 0x00808080, -16, 0x00707070}, {rgb888_shade, 0x00808080, 16, 0x00909090},
        {rgb888_shade, 0x00808080, 0, 0x00808080}, {rgb888_shade, 0x00808080, -255, 0}, {rgb888_shade, 0x00808080, 255, 0x00FFFFFF},
        {rgb888_shade, 0x00808080, INT32_MIN, 0x00808080},
        {[](uint32_t c, int64_t) { return rgb888_to_bgr(c); }, 0xFF123456, 0, 0x00563412},
        {[](uint32_t c, int64_t) { return rgb888_from_bgr(c); }, 0x00563412, 0, 0x00123456},
        {[](uint32_t, int64_t) { return rgb888_from_bytes(0x01, 0x02, 0x03); }, 0, 0, 0x00010203},
    };
    for (auto &c : cases) EXPECT_EQ(c.f(c.a, c.b), c.want) << std::hex << c.a << " " << c.b;
    uint8_t bytes[3] = {0, 0, 0};
    EXPECT_EQ(rgb888_to_bytes(0xEEA1B2C3, bytes), bytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 3), (std::vector<uint8_t>{0xA1, 0xB2, 0xC3}));
    EXPECT_EQ(rgb888_to_bytes(0x00A1B2C3, nullptr), nullptr);
}

// The span painters: ends in either order clip to the image (a reversed
// pair paints nothing), alpha mixes each channel by weight / 256 with the
// weight held to 0..256.
TEST(Rgb888, SpansAsPictures) {
    expect_image_cases({
        {"hline", 4, 2, {}, [](IMG *m) {
             rgb888_hline(m, 7, 1, -3, 1), rgb888_hline(m, 9, 0, 5, 2), rgb888_hline(m, 8, 0, 3, 10);
             rgb888_hline(m, 6, 2, 0, 3), rgb888_hline(m, 6, -1, 0, 3), rgb888_hline(nullptr, 1, 0, 0, 1); }, {0, 0, 0, 8, 7, 7, 0, 0}},
        {"vline", 2, 4, {}, [](IMG *m) {
             rgb888_vline(m, 7, 1, -2, 1), rgb888_vline(m, 9, 0, 3, 1), rgb888_vline(m, 5, 0, 3, 9);
             rgb888_vline(m, 6, 2, 0, 3), rgb888_vline(nullptr, 1, 0, 0, 1); }, {0, 7, 0, 7, 0, 0, 5, 0}},
        {"hline alpha", 4, 1, {0, 0x00204060, 0x00204060, 0x00123456}, [](IMG *m) {
             rgb888_hline_alpha(m, 0x00FF0000, 0, 0, 0, 128);  // (0 * 128 + 255 * 128) / 256
             rgb888_hline_alpha(m, 0x00A0C0E0, 0, 1, 1, 64), rgb888_hline_alpha(m, 0x00A0C0E0, 0, 2, 2, 256);
             rgb888_hline_alpha(m, 0x00A0C0E0, 0, 3, 9, 0), rgb888_hline_alpha(m, 0x00A0C0E0, 0, 3, 1, 256); }, {0x007F0000, 0x00406080, 0x00A0C0E0, 0x00123456}},
        {"alpha held to its range", 3, 1, {0x00102030, 0x00102030, 0x00102030}, [](IMG *m) {
             rgb888_hline_alpha(m, 0x00FFFFFF, 0, 0, 0, 300), rgb888_hline_alpha(m, 0x00FFFFFF, 0, 1, 1, -5);
             rgb888_hline_alpha(m, 0x00FFFFFF, 0, 2, 2, 256); }, {0x00FFFFFF, 0x00102030, 0x00FFFFFF}},
    });
}

// ---- FILL ------------------------------------------------------------------------------

static const uint32_t B = 0x000000FF, A = 0x0000FF00, F = 0x00FF0000;  // border, region, paint

// A picture of B, A and F cells, rows separated by '|'.
static std::vector<uint32_t> pic(const char *rows) { return picture(rows, "BAF", {B, A, F}); }

// A 3 x 3 block of A inside a one-pixel border of B, filled from its centre.
TEST(Fill, GrowsOneRingPerStep) {
    Own<img_del> img(grid_image(5, 5, pic("BBBBB|BAAAB|BAAAB|BAAAB|BBBBB")));
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill_start(fill, 2, 2, F);
    EXPECT_EQ(fill->target_colour, A);
    EXPECT_EQ(fill->state, 'f');
    EXPECT_EQ(fill_step(fill), 4);
    EXPECT_TRUE(grid_equals(img, pic("BBBBB|BAAAB|BAFAB|BAAAB|BBBBB")));
    EXPECT_TRUE(fill->left == 0 && fill->top == 0 && fill->right == 5 && fill->bottom == 5);
    EXPECT_EQ(fill_step(fill), 4);  // each corner once, though two edges find it
    EXPECT_TRUE(grid_equals(img, pic("BBBBB|BAFAB|BFFFB|BAFAB|BBBBB")));
    // The ring walked (2,1), (1,2), (2,3), (3,2), each finding right, below,
    // left, above: (3,1), (1,1), (1,3), (1,1), (3,3), (1,3), (3,3), (3,1).
    // A corner found again moves to the back, so the next ring, walked from
    // the end, paints in the order of the last finds.
    std::vector<std::array<int32_t, 2>> queued(fill->front->count);
    for (size_t i = 0; i < queued.size(); i++) array_get(fill->front, queued[i].data(), (int32_t)i);
    EXPECT_EQ(queued, (std::vector<std::array<int32_t, 2>>{{1, 1}, {1, 3}, {3, 3}, {3, 1}}));
    EXPECT_EQ(fill_step(fill), 0);
    EXPECT_TRUE(grid_equals(img, pic("BBBBB|BFFFB|BFFFB|BFFFB|BBBBB")));
    EXPECT_EQ(fill_step(fill), 0);  // both fronts empty
    // Outside pixels read as 0 like a black target, but lie outside the region.
    Own<img_del> black(grid_image(2, 1));
    fill->image = black;
    fill_start(fill, 0, 0, 0x00123456);
    EXPECT_EQ(fill->target_colour, 0u);
    EXPECT_EQ(fill_step(fill), 1);
    EXPECT_EQ(fill_step(fill), 0);
    EXPECT_TRUE(grid_equals(black, {0x00123456, 0x00123456}));
}

// The pattern pixel at (x + pattern_x, y + pattern_y), wrapped both ways,
// is painted and kept as the fill colour.
TEST(Fill, PatternRepeatsAcrossTheImage) {
    Own<img_del> pattern(grid_image(2, 2, {1, 2, 3, 4})), img(grid_image(2, 2));
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill->pattern = pattern;
    fill->pattern_y = 1;
    fill_start(fill, 0, 0, 0);
    for (auto [count, colour] : {std::pair{2, 3u}, {1, 4u}, {0, 2u}}) {  // (1, 0) painted last, from pattern (1, 1)
        EXPECT_EQ(fill_step_pattern(fill), count);
        EXPECT_EQ(fill->fill_colour, colour);
    }
    EXPECT_TRUE(grid_equals(img, {3, 4, 1, 2}));
    Own<img_del> row(grid_image(2, 1, {5, 6}));
    for (int32_t offset : {1, -1, 3, INT32_MIN + 1}) {
        Own<img_del> line(grid_image(3, 1));
        Own<fill_del> f(fill_new());
        f->image = line, f->pattern = row, f->pattern_x = offset;
        fill_start(f, 0, 0, 0);
        for (int step = 0; step < 3; step++) fill_step_pattern(f);
        EXPECT_TRUE(grid_equals(line, {6, 5, 6})) << "offset " << offset;
    }
}

// A fill that would find painted points again: the paint is the target
// colour, or the pattern holds it. Each ends, painting every point once.
TEST(Fill, EndsWhenThePaintHoldsTheTarget) {
    Own<img_del> img(grid_image(8, 8));
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill_start(fill, 3, 3, 0);
    EXPECT_EQ(fill_step(fill), 0);  // at once, nothing painted
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(64, 0)));
    // Pattern 0, 7 along each row; the 8 x 8 block from its corner is 15 rings deep.
    Own<img_del> pattern(grid_image(2, 1, {0, 7}));
    fill->pattern = pattern;
    fill_start(fill, 0, 0, 0);
    std::vector<int32_t> counts;
    for (int step = 0; step < 16 && (counts.empty() || counts.back() != 0); step++) counts.push_back(fill_step_pattern(fill));
    EXPECT_EQ(counts, (std::vector<int32_t>{2, 3, 4, 5, 6, 7, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    std::vector<uint32_t> stripes(64);
    for (size_t i = 0; i < 64; i++) stripes[i] = i % 2 ? 7 : 0;
    EXPECT_TRUE(grid_equals(img, stripes));
}

// What a step does without a start, an image or a pattern with pixels, after
// a reset and after a restart; copies of an empty fill.
TEST(Fill, RefusalsResetsAndRestarts) {
    Own<img_del> img(grid_image(3, 1, {1, 1, 2})), empty(grid_image(0, 3));
    Own<fill_del> fill(fill_new()), bare(fill_new());
    fill_start(bare, 0, 0, 1);  // no image
    EXPECT_EQ(bare->front, nullptr);
    EXPECT_EQ(fill_step(bare), 0);
    fill->image = img;
    EXPECT_EQ(fill_step(fill) + fill_step_pattern(fill), 0);  // not started
    fill_start(fill, 0, 0, 5);
    EXPECT_EQ(fill_step_pattern(fill), 0);  // no pattern
    fill->pattern = empty;
    EXPECT_EQ(fill_step_pattern(fill), 0);  // nothing to repeat
    EXPECT_TRUE(grid_equals(img, {1, 1, 2}));
    EXPECT_EQ(fill_step(fill), 1);  // the plain step still works
    fill_start(fill, 2, 0, 6);      // the old front (1, 0) is dropped
    EXPECT_EQ(fill->front->count, 1);
    EXPECT_EQ(fill_step(fill), 0);
    fill_start(fill, 1, 0, 7);
    fill_reset(fill);
    EXPECT_EQ(fill->front->count + fill->next_front->count, 0);
    EXPECT_EQ(fill_step(fill), 0);
    EXPECT_TRUE(grid_equals(img, {5, 1, 6}));
    EXPECT_EQ(fill_to_text(bare), nullptr);  // no text, nothing to compare or copy
    EXPECT_EQ(fill_compare(bare, bare), 0);
    Own<fill_del> dup(fill_dup(bare));
    fill_copy(bare, dup);
    EXPECT_TRUE(dup && !fill_dup(nullptr));
    fill_del(bare.address());  // second delete only reports
    fill_step(nullptr), fill_start(nullptr, 0, 0, 1), fill_reset(nullptr);
}

// The splits of FILL start their error at half the larger length, which
// centres the runs; the mirrored one fills from both ends.
TEST(Fill, RunLengthsStartAtHalfTheError) {
    const struct {
        bool mirrored;
        int32_t a, b;
        std::vector<int32_t> runs;
    } cases[] = {
        {false, 5, 3, {1, 2, 1, 2}}, {false, 4, 2, {1, 2, 2}}, {false, -2, 4, {1, 2, 2}}, {false, 3, 3, {1, 1, 1, 1}}, {false, 0, 0, {1}},
        {false, 1, 0, {2}},          {false, 0, -1, {2}},      {true, 5, 3, {1, 2, 1}},   {true, 6, 2, {2, 2}},        {true, 7, -3, {1, 3, 1}},
    };
    for (auto &c : cases) {
        int32_t *r = c.mirrored ? fill_run_lengths_mirrored(c.a, c.b) : fill_run_lengths(c.a, c.b);
        EXPECT_EQ(std::vector<int32_t>(r, r + c.runs.size()), c.runs) << c.a << ", " << c.b;
        free(r);
    }
    int32_t *none = fill_run_lengths_mirrored(4, 0);
    EXPECT_NE(none, nullptr);
    free(none);
}

// ---- FLASHPIX --------------------------------------------------------------------------

// The record has no behaviour: update and draw change nothing, a copy
// takes the words.
TEST(Flashpix, RecordWithoutBehaviour) {
    Own<flashpix_del> a(flashpix_new());
    a->words[3] = 5;
    Own<flashpix_del> d(flashpix_dup(a));
    flashpix_copy(a, d), flashpix_update(a), flashpix_draw(a), flashpix_update(nullptr), flashpix_draw(nullptr), flashpix_copy(nullptr, d);
    EXPECT_EQ(a->words[3] * 100 + d->words[3], 500u);
}
