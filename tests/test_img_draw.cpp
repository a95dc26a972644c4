// IMG lines, spans, circles and ellipses; the fast ellipses against the
// straightforward reference versions.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "bench/reference_ellipse.h"
#include "host/random.h"
#include "imaging/img.h"
#include "tests/test_support.h"

namespace {

const uint32_t C = 0x00FFFFFF;  // the drawing colour of the pictures ('#')

// Draws into a fresh black w x h image and compares with a picture of '#'.
template <typename Draw>
::testing::AssertionResult draws(int32_t w, int32_t h, const std::vector<const char *> &rows,
                                 Draw draw) {
    Own<img_del> image(grid_image(w, h));
    draw(image);
    std::vector<uint32_t> want = grid_picture(rows.data(), h, 0);
    ::testing::AssertionResult r = grid_equals(image, w, h, want.data());
    return r;
}

}  // namespace

// ---- Lines ---------------------------------------------------------------------------


// Each drawing call on a small black image, as a picture of the result.
TEST(ImgDraw, LinesSpansCirclesAndEllipsesAsPictures) {
    const struct {
        int32_t w, h;
        std::vector<const char *> rows;
        void (*draw)(IMG *);
    } cases[] = {
        {4, 2, {"#...", ".###"}, [](IMG *i) { img_line(i, 0, 0, 3, 1, C); }},
        {4, 2, {"###.", "...#"}, [](IMG *i) { img_line(i, 3, 1, 0, 0, C); }},
        {2, 4, {"#.", ".#", ".#", ".#"}, [](IMG *i) { img_line(i, 0, 0, 1, 3, C); }},
        {3, 3, {"#..", ".#.", "..#"}, [](IMG *i) { img_line(i, 0, 0, 2, 2, C); }},
        {3, 3, {"..#", ".#.", "#.."}, [](IMG *i) { img_line(i, 0, 2, 2, 0, C); }},
        {3, 2, {"...", ".#."}, [](IMG *i) { img_line(i, 1, 1, 1, 1, C); }},
        {4, 1, {"####"}, [](IMG *i) { img_line(i, -5, 0, 5, 0, C); }},
        {2, 3, {".#", ".#", ".#"}, [](IMG *i) { img_line(i, 1, -3, 1, 9, C); }},
        {4, 3, {"#...", ".#..", "..#."}, [](IMG *i) { img_line(i, -1, -1, 4, 4, C); }},
        {4, 3, {"....", "....", "...."}, [](IMG *i) { img_line(i, -1, 0, -1, 2, C); }},
        {4, 3, {"....", "....", "...."}, [](IMG *i) { img_line(i, 0, 3, 3, 3, C); }},
        {5, 1, {"#####"}, [](IMG *i) { img_line_two_ends(i, 0, 0, 4, 0, C); }},
        {4, 2, {"#.#.", ".#.#"}, [](IMG *i) { img_line_two_ends(i, 0, 0, 3, 1, C); }},
        {2, 3, {"#.", "#.", ".."}, [](IMG *i) { img_line_two_ends(i, 0, 0, 0, 1, C); }},
        {3, 3, {"...", "...", "..#"}, [](IMG *i) { img_line_two_ends(i, 2, 2, 2, 2, C); }},
        {3, 1, {"###"}, [](IMG *i) { img_line_two_ends(i, -4, 0, 6, 0, C); }},
        {4, 2, {"#...", ".###"}, [](IMG *i) { img_line_unclipped(i, 0, 0, 3, 1, C); }},
        {4, 2, {"....", "...."}, [](IMG *i) { img_line_unclipped(i, 0, 0, 4, 1, C); }},
        {4, 2, {"....", "...."}, [](IMG *i) { img_line_unclipped(i, -1, 0, 3, 1, C); }},
        {4, 2, {"....", "...."}, [](IMG *i) { img_line_unclipped(i, 0, 0, 3, 2, C); }},
        {4, 2, {"....", "...."}, [](IMG *i) { img_line_unclipped(i, 0, -1, 3, 1, C); }},
        {4, 2, {"....", ".##."}, [](IMG *i) { img_hline(i, 1, 2, 1, C); }},
        {4, 2, {"####", "...."}, [](IMG *i) { img_hline(i, 0, 9, -9, C); }},
        {4, 2, {"#...", "...."}, [](IMG *i) { img_hline(i, 0, INT32_MIN, 0, C); }},
        {4, 2, {"....", "...#"}, [](IMG *i) { img_hline(i, 1, 3, INT32_MAX, C); }},
        {4, 2, {"....", "...."}, [](IMG *i) { img_hline(i, -1, 0, 3, C); img_hline(i, 2, 0, 3, C); img_hline(i, 0, 4, 9, C); img_hline(i, 0, -9, -1, C); }},
        {2, 4, {"..", ".#", ".#", ".."}, [](IMG *i) { img_vline(i, 1, 2, 1, C); }},
        {2, 3, {"#.", "#.", "#."}, [](IMG *i) { img_vline(i, 0, 7, -7, C); }},
        {2, 3, {"..", "..", ".."}, [](IMG *i) { img_vline(i, -1, 0, 2, C); img_vline(i, 2, 0, 2, C); img_vline(i, 0, 3, 9, C); img_vline(i, 0, -9, -1, C); }},
        {3, 3, {"...", ".#.", "..."}, [](IMG *i) { img_fill_circle(i, 1, 1, 0, C); }},
        {3, 3, {"...", ".#.", "..."}, [](IMG *i) { img_circle(i, 1, 1, 0, C); }},
        {5, 5, {".###.", "#...#", "#...#", "#...#", ".###."}, [](IMG *i) { img_circle(i, 2, 2, 2, C); }},
        {7, 7, {"..###..", ".#...#.", "#.....#", "#.....#", "#.....#", ".#...#.", "..###.."}, [](IMG *i) { img_circle(i, 3, 3, 3, C); }},
        {5, 5, {".###.", "#####", "#####", "#####", ".###."}, [](IMG *i) { img_fill_circle(i, 2, 2, 2, C); }},
        {7, 7, {"..###..", ".#...#.", "#.....#", "#.....#", "#.....#", ".#...#.", "..###.."}, [](IMG *i) { img_circle(i, 3, 3, -3, C); }},
        {5, 5, {".###.", "#####", "#####", "#####", ".###."}, [](IMG *i) { img_fill_circle(i, 2, 2, -2, C); }},
        {4, 4, {"...#", "...#", "..#.", "##.."}, [](IMG *i) { img_circle(i, 0, 0, 3, C); }},
        {4, 4, {"..##", ".#..", "#...", "#..."}, [](IMG *i) { img_circle(i, 3, 3, 3, C); }},
        {4, 4, {"####", "####", "###.", "##.."}, [](IMG *i) { img_fill_circle(i, 0, 0, 3, C); }},
        {4, 4, {"..##", ".###", "####", "####"}, [](IMG *i) { img_fill_circle(i, 3, 3, 3, C); }},
        {3, 3, {"#..", "#..", "#.."}, [](IMG *i) { img_circle(i, -2, 1, 2, C); }},
        {3, 3, {"...", "...", "..."}, [](IMG *i) { img_circle(i, -3, 1, 2, C); img_fill_circle(i, 1, 5, 2, C); img_fill_circle(i, 5, 1, 2, C); img_circle(i, 1, -3, 2, C); }},
        {4, 3, {"....", ".##.", "...."}, [](IMG *i) { img_circle_sine(i, 2, 1, 1, C); }},
        {4, 3, {".##.", ".##.", ".##."}, [](IMG *i) { img_circle_sine(i, 2, 1, 2, C); }},
        {4, 3, {".##.", ".##.", ".##."}, [](IMG *i) { img_circle_sine(i, 2, 1, -2, C); }},
        {4, 3, {"....", "....", "...."}, [](IMG *i) { img_circle_sine(i, 9, 1, 2, C); }},
        {3, 3, {"...", ".#.", "..."}, [](IMG *i) { img_ellipse(i, 1, 1, 0, 0, C); }},
        {3, 3, {"...", ".#.", "..."}, [](IMG *i) { img_fill_ellipse(i, 1, 1, 0, 0, C); }},
        {9, 3, {".........", ".#######.", "........."}, [](IMG *i) { img_ellipse(i, 4, 1, 3, 0, C); }},
        {9, 3, {".........", ".#######.", "........."}, [](IMG *i) { img_fill_ellipse(i, 4, 1, 3, 0, C); }},
        {3, 6, {"...", ".#.", ".#.", ".#.", ".#.", ".#."}, [](IMG *i) { img_ellipse(i, 1, 3, 0, 2, C); }},
        {3, 6, {"...", ".#.", ".#.", ".#.", ".#.", ".#."}, [](IMG *i) { img_fill_ellipse(i, 1, 3, 0, -2, C); }},
        {5, 3, {".###.", "#...#", ".###."}, [](IMG *i) { img_ellipse(i, 2, 1, 2, 1, C); }},
        {7, 5, {"..###..", ".#...#.", "#.....#", ".#...#.", "..###.."}, [](IMG *i) { img_ellipse(i, 3, 2, 3, 2, C); }},
        {7, 5, {"..###..", ".#...#.", "#.....#", ".#...#.", "..###.."}, [](IMG *i) { img_ellipse(i, 3, 2, -3, -2, C); }},
        {5, 3, {".###.", "#####", ".###."}, [](IMG *i) { img_fill_ellipse(i, 2, 1, 2, 1, C); }},
        {7, 5, {"..###..", ".#####.", "#######", ".#####.", "..###.."}, [](IMG *i) { img_fill_ellipse(i, 3, 2, 3, 2, C); }},
        {4, 3, {"...#", "..#.", "##.."}, [](IMG *i) { img_ellipse(i, 0, 0, 3, 2, C); }},
        {4, 3, {"..##", ".#..", "#..."}, [](IMG *i) { img_ellipse(i, 3, 2, 3, 2, C); }},
        {4, 3, {"####", "###.", "##.."}, [](IMG *i) { img_fill_ellipse(i, 0, 0, 3, 2, C); }},
        {4, 3, {"..##", ".###", "####"}, [](IMG *i) { img_fill_ellipse(i, 3, 2, 3, 2, C); }},
        {3, 3, {"...", "#..", "..."}, [](IMG *i) { img_ellipse(i, -3, 1, 3, 2, C); }},
        {3, 3, {"...", "...", "##."}, [](IMG *i) { img_fill_ellipse(i, 0, 4, 3, 2, C); }},
        {3, 3, {"...", "...", "..."}, [](IMG *i) { img_ellipse(i, -4, 1, 3, 2, C); img_fill_ellipse(i, 6, 1, 3, 2, C); img_fill_ellipse(i, 1, -3, 3, 2, C); img_ellipse(i, 1, 5, 3, 2, C); img_fill_ellipse(i, INT32_MIN, INT32_MAX, 5, 5, C); }},
    };
    for (auto &c : cases) EXPECT_TRUE(draws(c.w, c.h, c.rows, c.draw)) << c.rows[0];
    img_line(nullptr, 0, 0, 1, 1, C);
    img_line_two_ends(nullptr, 0, 0, 1, 1, C);
    img_line_unclipped(nullptr, 0, 0, 1, 1, C);
    img_hline(nullptr, 0, 0, 1, C);
    img_vline(nullptr, 0, 0, 1, C);
    img_circle(nullptr, 0, 0, 1, C);
    img_fill_circle(nullptr, 0, 0, 1, C);
    img_circle_sine(nullptr, 0, 0, 1, C);
    img_ellipse(nullptr, 0, 0, 1, 1, C);
    img_fill_ellipse(nullptr, 0, 0, 1, 1, C);
}






// The point list: its length, then x, y from the first end (a column line
// steps one row a point; lines of one step are not listed here).
TEST(ImgLinePoints, ListsPointsFromTheFirstEnd) {
    const struct {
        int32_t x0, y0, x1, y1;
        std::vector<int32_t> want;
    } cases[] = {
        {0, 0, 2, 1, {6, 0, 0, 1, 1, 2, 1}},
        {3, 1, 0, 0, {8, 3, 1, 2, 0, 1, 0, 0, 0}},
        {5, -5, 5, -5, {2, 5, -5}},
        {4, 7, 4, 3, {10, 4, 7, 4, 6, 4, 5, 4, 4, 4, 3}},
    };
    for (auto &c : cases) {
        int32_t *p = img_line_points(c.x0, c.y0, c.x1, c.y1);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(std::vector<int32_t>(p, p + p[0] + 1), c.want) << c.x0 << "," << c.y0 << " " << c.x1 << "," << c.y1;
        free(p);
    }
}

TEST(ImgCircleSine, LargeRadiusStaysOnRing) {
    Own<img_del> image(grid_image(64, 64));
    img_circle_sine(image, 32, 32, 20, C);
    int count = 0;
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++)
            if (image->pixels[y * 64 + x]) {
                count++;
                // Right-hand points sit one column left of the mirror.
                int dx = x < 32 ? 32 - x : x + 1 - 32, dy = y < 32 ? 32 - y : y - 32;
                int d2 = dx * dx + dy * dy;
                EXPECT_GE(d2, 17 * 17) << x << "," << y;
                EXPECT_LE(d2, 22 * 22) << x << "," << y;
            }
    EXPECT_GT(count, 80);
}


// Draws the same ellipse with the fast and the reference code into two images
// holding the same random background; they must match word for word.
static void expect_same_ellipse(IMG *fast, IMG *ref, int32_t cx, int32_t cy, int32_t rx,
                                int32_t ry, bool fill) {
    uint32_t colour = (uint32_t)random_next() | 1;
    if (fill) {
        img_fill_ellipse(fast, cx, cy, rx, ry, colour);
        reference_fill_ellipse(ref, cx, cy, rx, ry, colour);
    } else {
        img_ellipse(fast, cx, cy, rx, ry, colour);
        reference_ellipse(ref, cx, cy, rx, ry, colour);
    }
    ASSERT_EQ(img_compare(fast, ref), 1)
        << (fill ? "filled" : "outline") << " cx=" << cx << " cy=" << cy << " rx=" << rx
        << " ry=" << ry;
}

TEST(ImgEllipseReference, ThousandsOfRandomEllipsesMatch) {
    random_srand(12345);
    const int32_t w = 61, h = 47;
    Own<img_del> fast(grid_image(w, h));
    Own<img_del> ref(grid_image(w, h));
    for (int round = 0; round < 6000; round++) {
        bool fill = round & 1;
        int32_t cx = random_rand() % (w + 160) - 80, cy = random_rand() % (h + 160) - 80;
        int32_t rx = random_rand() % 90, ry = random_rand() % 90;
        switch (round % 7) {
        case 0: rx = random_rand() % 3; break;            // degenerate widths
        case 1: ry = random_rand() % 3; break;            // degenerate heights
        case 2: rx = -rx; break;                          // negative radii
        case 3: ry = -ry; rx = random_rand() % 6; break;  // thin and negative
        default: break;
        }
        expect_same_ellipse(fast, ref, cx, cy, rx, ry, fill);
        if (round % 500 == 499) {  // fresh backgrounds now and then
            img_clear(fast, 0);
            img_clear(ref, 0);
        }
    }
}

TEST(ImgEllipseReference, EveryEdgeAndCornerMatches) {
    random_srand(777);
    Own<img_del> fast(grid_image(20, 16));
    Own<img_del> ref(grid_image(20, 16));
    // Centres on, just inside and just outside every edge and corner.
    const int32_t xs[] = {-9, -1, 0, 1, 9, 18, 19, 20, 28};
    const int32_t ys[] = {-7, -1, 0, 1, 8, 14, 15, 16, 22};
    const int32_t radii[][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {7, 3}, {3, 7}, {9, 9}, {25, 2}, {2, 25}};
    for (int32_t cx : xs)
        for (int32_t cy : ys)
            for (auto &r : radii) {
                expect_same_ellipse(fast, ref, cx, cy, r[0], r[1], false);
                expect_same_ellipse(fast, ref, cx, cy, r[0], r[1], true);
            }
}

TEST(ImgEllipseReference, DemoWorkloadMatches) {
    random_srand(0x31756A22);
    Own<img_del> fast(grid_image(256, 256));
    Own<img_del> ref(grid_image(256, 256));
    for (int i = 0; i < 2048; i++) {
        int32_t x = random_next() % 256, y = random_next() % 256;
        int32_t rx = random_next() & 63, ry = random_next() & 63;
        expect_same_ellipse(fast, ref, x, y, rx, ry, i & 1);
    }
}

TEST(ImgEllipseReference, LargeRadiiDoNotOverflow) {
    random_srand(4242);
    Own<img_del> fast(grid_image(40, 30));
    Own<img_del> ref(grid_image(40, 30));
    // Radii far above the 32-bit limit of the error terms (about 180), up to
    // 32767, and a few beyond, where the wider arithmetic takes over.
    const int32_t cases[][4] = {{20, 15, 32767, 32767}, {20, -32750, 32767, 32767},
                                {-32760, 15, 32767, 100}, {20, 15, 32767, 0},
                                {20, 15, 0, 32767},     {0, 0, 1000, 20000},
                                {39, 29, 40000, 40000}, {20, 40015, 40000, 40000},
                                {20, 15, -32767, -32767}};
    for (auto &c : cases) {
        expect_same_ellipse(fast, ref, c[0], c[1], c[2], c[3], false);
        expect_same_ellipse(fast, ref, c[0], c[1], c[2], c[3], true);
    }
}

TEST(ImgEllipseReference, EveryDemoRadiusPairMatches) {
    random_srand(31);
    Own<img_del> fast(grid_image(256, 256));
    Own<img_del> ref(grid_image(256, 256));
    for (int32_t rx = 0; rx < 64; rx++)
        for (int32_t ry = 0; ry < 64; ry++) {
            int32_t x = random_next() % 256, y = random_next() % 256;
            expect_same_ellipse(fast, ref, x, y, rx, ry, false);
            expect_same_ellipse(fast, ref, x, y, rx, ry, true);
        }
}

TEST(ImgEllipseReference, RadiiAroundArithmeticWidthsMatch) {
    // The fast walk switches from 32-bit to 64-bit terms above radius 150
    // and to 128-bit terms above 32767.
    random_srand(5150);
    Own<img_del> fast(grid_image(300, 200));
    Own<img_del> ref(grid_image(300, 200));
    const int32_t edge[] = {0, 1, 149, 150, 151, 152, 179, 180, 181};
    for (int32_t rx : edge)
        for (int32_t ry : edge) {
            int32_t x = random_next() % 500 - 100, y = random_next() % 400 - 100;
            expect_same_ellipse(fast, ref, x, y, rx, ry, false);
            expect_same_ellipse(fast, ref, x, y, rx, ry, true);
        }
    for (int i = 0; i < 200; i++) {
        int32_t rx = random_next() % 400, ry = random_next() % 400;
        int32_t x = random_next() % 700 - 200, y = random_next() % 600 - 200;
        expect_same_ellipse(fast, ref, x, y, rx, ry, i & 1);
    }
    const int32_t wide[][2] = {{32766, 5}, {32767, 32767}, {32768, 3}, {3, 32768}, {33000, 200}};
    for (auto &r : wide) {
        expect_same_ellipse(fast, ref, 150, 100, r[0], r[1], false);
        expect_same_ellipse(fast, ref, 150, 100, r[0], r[1], true);
    }
}

// img_line's stepping written out plainly: every point of the line, from the
// first end, plotted (and clipped) through img_set_pixel.
static void plain_line(IMG *image, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t c) {
    int64_t dx = x1 - x0, dy = y1 - y0;
    int64_t sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
    int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy, x = x0, y = y0;
    auto plot = [&] {
        if (x >= INT32_MIN && x <= INT32_MAX && y >= INT32_MIN && y <= INT32_MAX)
            img_set_pixel(image, (int32_t)x, (int32_t)y, c);
    };
    if (ax <= ay) {
        int64_t err = ay >> 1;
        for (int64_t i = 0; i <= ay; i++) {
            plot();
            y += sy;
            err -= ax;
            if (err < 1) {
                x += sx;
                err += ay;
            }
        }
    } else {
        int64_t err = ax >> 1;
        for (int64_t i = 0; i <= ax; i++) {
            plot();
            x += sx;
            err -= ay;
            if (err < 1) {
                y += sy;
                err += ax;
            }
        }
    }
}

TEST(ImgLine, MatchesPlainSteppingForLinesReachingFarOutside) {
    random_srand(2024);
    Own<img_del> fast(grid_image(37, 23));
    Own<img_del> plain(grid_image(37, 23));
    for (int i = 0; i < 20000; i++) {
        // Mostly short lines near the image, some reaching far beyond it.
        // 20000: far beyond the image, yet quick to walk point by point.
        int32_t span = (i % 4 == 0) ? 20000 : (i % 4 == 1) ? 400 : 80;
        int32_t x0 = random_next() % span - span / 2 + 18, y0 = random_next() % span - span / 2 + 11;
        int32_t x1 = random_next() % span - span / 2 + 18, y1 = random_next() % span - span / 2 + 11;
        uint32_t c = (uint32_t)random_next() | 1;
        img_line(fast, x0, y0, x1, y1, c);
        plain_line(plain, x0, y0, x1, y1, c);
        ASSERT_EQ(img_compare(fast, plain), 1) << x0 << "," << y0 << " - " << x1 << "," << y1;
    }
}

TEST(ImgLine, LinesSpanningTheWholeRangeFinishAtOnce) {
    // 2^32 steps if every one were taken; only those across the image are.
    Own<img_del> image(grid_image(4, 3));
    img_line(image, INT32_MIN, 1, INT32_MAX, 1, C);
    img_line(image, 2, INT32_MAX, 2, INT32_MIN, C);
    static const uint32_t want[12] = {0, 0, C, 0, C, C, C, C, 0, 0, C, 0};
    EXPECT_TRUE(grid_equals(image, 4, 3, want));
    img_clear(image, 0);
    img_line(image, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, C);  // passes (0, 0) .. (2, 2)
    static const uint32_t diag[12] = {C, 0, 0, 0, 0, C, 0, 0, 0, 0, C, 0};
    EXPECT_TRUE(grid_equals(image, 4, 3, diag));
}
