// SINELINE tests: the order of the reset's draws, the wave sums of the update
// (one arithmetic shift of the three-wave sum), every drawing mode on small
// images with literal expectations, and refused arguments.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "host/random.h"
#include "imaging/img.h"
#include "test_support.h"
#include "text/sineline.h"

namespace {

// A line with all waves still (phases, speeds and steps 0) and the given points.
SINELINE *line_with_points(const std::vector<int32_t> &xy) {
    SINELINE *line = sineline_new();
    sineline_set_count(line, (int32_t)xy.size() / 2);
    for (size_t i = 0; i < xy.size(); i++) line->points[i] = xy[i];
    return line;
}

void still(SINELINE *line) {
    for (int w = 0; w < 3; w++)
        for (int a = 0; a < 3; a++) line->phases[w][a] = line->speeds[w][a] = line->steps[w][a] = 0;
}

const uint32_t R = 0xFF0000;

}  // namespace

TEST(Sineline, NewHasSixteenPointsRedAndPhasesOnTheTable) {
    SINELINE *line = sineline_new();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->count, 16);
    EXPECT_EQ(line->color, 0xFF0000u);
    EXPECT_EQ(line->width, 256);
    EXPECT_EQ(line->height, 256);
    EXPECT_EQ(line->x, 0);
    for (int w = 0; w < 3; w++) {
        EXPECT_GE(line->phases[w][0], 0);
        EXPECT_LT(line->phases[w][0], 1024);
        EXPECT_GE(line->phases[w][1], 0);
        EXPECT_LT(line->phases[w][1], 1024);
        EXPECT_EQ(line->phases[w][2], 0);  // z is not used
    }
    EXPECT_EQ(line->amplitudes[0][0], 128);
    EXPECT_EQ(line->amplitudes[1][1], 64);
    EXPECT_EQ(line->amplitudes[2][0], 32);
    sineline_del(&line);
    EXPECT_EQ(line, nullptr);
}

TEST(Sineline, ResetDrawsEighteenValuesWaveByWaveXBeforeY) {
    SINELINE *line = sineline_new();
    random_srand(45429);
    sineline_reset(line);
    // The first two draws after this seed are 17318 and 21105.
    EXPECT_EQ(line->phases[0][0], 17318 % 1024);  // 934
    EXPECT_EQ(line->phases[0][1], 21105 % 1024);  // 625
    Lcg g{45429};
    g.next();
    g.next();
    EXPECT_EQ(line->speeds[0][0], (g.next() & 15) + 3);
    EXPECT_EQ(line->speeds[0][1], (g.next() & 15) + 3);
    EXPECT_EQ(line->steps[0][0], (g.next() & 7) + 5);
    EXPECT_EQ(line->steps[0][1], (g.next() & 7) + 6);
    EXPECT_EQ(line->phases[1][0], g.next() % 1024);
    EXPECT_EQ(line->phases[1][1], g.next() % 1024);
    EXPECT_EQ(line->speeds[1][0], -2 - (g.next() & 7));
    EXPECT_EQ(line->speeds[1][1], -2 - (g.next() & 7));
    EXPECT_EQ(line->steps[1][0], -((g.next() & 15) + 6));
    EXPECT_EQ(line->steps[1][1], -((g.next() & 15) + 7));
    EXPECT_EQ(line->phases[2][0], g.next() % 1024);
    EXPECT_EQ(line->phases[2][1], g.next() % 1024);
    EXPECT_EQ(line->speeds[2][0], (g.next() & 3) + 1);
    EXPECT_EQ(line->speeds[2][1], (g.next() & 3) + 1);
    EXPECT_EQ(line->steps[2][0], (g.next() & 31) + 7);
    EXPECT_EQ(line->steps[2][1], (g.next() & 31) + 8);
    // Nothing more was drawn.
    EXPECT_EQ(random_rand(), g.next());
    sineline_del(&line);
}

TEST(Sineline, ResetTakesAmplitudesFromTheSize) {
    SINELINE *line = sineline_new();
    line->width = 100;
    line->height = 40;
    sineline_reset(line);
    EXPECT_EQ(line->amplitudes[0][0], 50);
    EXPECT_EQ(line->amplitudes[0][1], 20);
    EXPECT_EQ(line->amplitudes[1][0], 25);
    EXPECT_EQ(line->amplitudes[1][1], 10);
    EXPECT_EQ(line->amplitudes[2][0], 12);
    EXPECT_EQ(line->amplitudes[2][1], 5);
    sineline_del(&line);
}

TEST(Sineline, NewResetsTwiceSoTheSecondEighteenDrawsRemain) {
    random_srand(7);
    SINELINE *line = sineline_new();
    Lcg g{7};
    for (int i = 0; i < 18; i++) g.next();
    EXPECT_EQ(line->phases[0][0], g.next() % 1024);
    EXPECT_EQ(line->phases[0][1], g.next() % 1024);
    for (int i = 0; i < 16; i++) g.next();
    EXPECT_EQ(random_rand(), g.next());
    sineline_del(&line);
}

TEST(Sineline, AllPhasesZeroPutsEveryPointAtTheCentre) {
    SINELINE *line = sineline_new();
    still(line);
    sineline_update(line);
    for (int i = 0; i < line->count; i++) {
        EXPECT_EQ(line->points[2 * i], 128);
        EXPECT_EQ(line->points[2 * i + 1], 128);
    }
    sineline_del(&line);
}

TEST(Sineline, UpdateShiftsTheWaveSumRightBySixteenFlooring) {
    SINELINE *line = sineline_new();
    still(line);
    sineline_set_count(line, 1);
    still(line);
    // Wave 1 alone: 32766 * 128 = 4194048, >> 16 = 63 right; -4194048 >> 16 = -64 up.
    line->phases[0][0] = 256;
    line->phases[0][1] = 768;
    sineline_update(line);
    EXPECT_EQ(line->points[0], 191);
    EXPECT_EQ(line->points[1], 64);
    // All three waves at their peak: 32766 * (128 + 64 + 32) = 7339584, >> 16 = 111
    // (one shift of the sum, not 63 + 31 + 15).
    for (int w = 0; w < 3; w++) line->phases[w][0] = 256;
    sineline_update(line);
    EXPECT_EQ(line->points[0], 128 + 111);
    sineline_del(&line);
}

TEST(Sineline, UpdateStepsPhasesAlongTheChainAndWrapsThem) {
    SINELINE *line = sineline_new();
    sineline_set_count(line, 5);
    still(line);
    line->phases[0][0] = 256;
    line->steps[0][0] = 256;   // 256, 512, 768, 0, 256
    line->phases[0][1] = 0;
    line->steps[0][1] = -256;  // 0, 768, 512, 256, 0
    sineline_update(line);
    const int32_t xs[5] = {191, 128, 64, 128, 191};
    const int32_t ys[5] = {128, 64, 128, 191, 128};
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(line->points[2 * i], xs[i]) << "point " << i;
        EXPECT_EQ(line->points[2 * i + 1], ys[i]) << "point " << i;
    }
    // The stored phases were not moved by the steps, only by the speeds (0).
    EXPECT_EQ(line->phases[0][0], 256);
    EXPECT_EQ(line->phases[0][1], 0);
    sineline_del(&line);
}

TEST(Sineline, UpdateMovesStoredPhasesBySpeedsIntoTheTable) {
    SINELINE *line = sineline_new();
    still(line);
    line->phases[0][0] = 256;
    line->speeds[0][0] = -300;  // -44 -> 980
    line->phases[1][1] = 1000;
    line->speeds[1][1] = 30;    // 1030 -> 6
    line->phases[2][0] = 5;
    line->speeds[2][0] = -2053; // -2048 -> 0
    sineline_update(line);
    EXPECT_EQ(line->phases[0][0], 980);
    EXPECT_EQ(line->phases[1][1], 6);
    EXPECT_EQ(line->phases[2][0], 0);
    sineline_del(&line);
}

TEST(Sineline, UpdateRecomputesAmplitudesAndCentreFromTheSize) {
    SINELINE *line = sineline_new();
    sineline_set_count(line, 1);
    still(line);
    line->width = 100;
    line->height = 40;
    line->phases[0][0] = 256;
    line->phases[0][1] = 256;
    sineline_update(line);
    EXPECT_EQ(line->amplitudes[0][0], 50);
    EXPECT_EQ(line->amplitudes[2][1], 5);
    // 32766 * 50 >> 16 = 24; 32766 * 20 >> 16 = 9.
    EXPECT_EQ(line->points[0], 50 + 24);
    EXPECT_EQ(line->points[1], 20 + 9);
    sineline_del(&line);
}

TEST(Sineline, UpdateReadsAStrayPhaseThroughTheTableMask) {
    SINELINE *line = sineline_new();
    sineline_set_count(line, 1);
    still(line);
    line->phases[0][0] = 1024 + 256;  // stored by hand outside 0..1023
    sineline_update(line);
    EXPECT_EQ(line->points[0], 191);
    sineline_del(&line);
}

TEST(Sineline, SetCountRefusesZeroAndNegative) {
    SINELINE *line = sineline_new();
    sineline_set_count(line, 0);
    EXPECT_EQ(line->count, 16);
    sineline_set_count(line, -3);
    EXPECT_EQ(line->count, 16);
    ASSERT_NE(line->points, nullptr);
    sineline_set_count(line, 3);
    EXPECT_EQ(line->count, 3);
    sineline_del(&line);
}

TEST(Sineline, DrawIsAPolylineInTheColour) {
    SINELINE *line = line_with_points({1, 1, 4, 1, 4, 3});
    IMG *img = grid_image(6, 5);
    sineline_draw(line, img);
    const char *rows[] = {"......",
                          ".####.",
                          "....#.",
                          "....#.",
                          "......"};
    auto want = grid_picture(rows, 5, 0, "#", {R});
    EXPECT_TRUE(grid_equals(img, 6, 5, want.data()));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, MirrorXAndMirrorYUseTheImageSize) {
    SINELINE *line = line_with_points({1, 1, 2, 1});
    IMG *img = grid_image(8, 4);
    sineline_draw_mirror_x(line, img);  // copy at 8 - x: 7, 6
    const char *rows_x[] = {"........", ".##...##", "........", "........"};
    auto want_x = grid_picture(rows_x, 4, 0, "#", {R});
    EXPECT_TRUE(grid_equals(img, 8, 4, want_x.data()));
    img_clear(img, 0);
    sineline_draw_mirror_y(line, img);  // copy at 4 - y = 3
    const char *rows_y[] = {"........", ".##.....", "........", ".##....."};
    auto want_y = grid_picture(rows_y, 4, 0, "#", {R});
    EXPECT_TRUE(grid_equals(img, 8, 4, want_y.data()));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, Mirror4DrawsTheFourCornersCopies) {
    SINELINE *line = line_with_points({1, 2, 2, 2});
    IMG *img = grid_image(10, 8);
    sineline_draw_mirror4(line, img);
    const char *rows[] = {"..........", "..........", ".##.....##", "..........",
                          "..........", "..........", ".##.....##", ".........."};
    auto want = grid_picture(rows, 8, 0, "#", {R});
    EXPECT_TRUE(grid_equals(img, 10, 8, want.data()));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, MirrorDiagSwapsAndMirrorsThroughThePoint) {
    SINELINE *line = line_with_points({1, 2, 2, 2});
    IMG *img = grid_image(10, 8);
    sineline_draw_mirror_diag(line, img);
    // (x, y): (1,2)-(2,2); (y, x): (2,1)-(2,2); (W-x, H-y): (9,6)-(8,6);
    // (W-y, H-x): (8,7)-(8,6).
    const char *rows[] = {"..........", "..#.......", ".##.......", "..........",
                          "..........", "..........", "........##", "........#."};
    auto want = grid_picture(rows, 8, 0, "#", {R});
    EXPECT_TRUE(grid_equals(img, 10, 8, want.data()));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, Mirror8DrawsEveryReflection) {
    SINELINE *line = line_with_points({1, 2, 2, 2});
    IMG *img = grid_image(10, 8);
    sineline_draw_mirror8(line, img);
    const char *rows[] = {"..........", "..#.....#.", ".##.....##", "..........",
                          "..........", "..........", ".##.....##", "..#.....#."};
    auto want = grid_picture(rows, 8, 0, "#", {R});
    EXPECT_TRUE(grid_equals(img, 10, 8, want.data()));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, GraphXPlotsYValuesAtMultiplesOfDx) {
    SINELINE *line = line_with_points({99, 1, 99, 3, 99, 2});
    IMG *img = grid_image(6, 6);
    sineline_draw_graph_x(line, img, 2);
    // (0,1)-(2,3) steps along y; (2,3)-(4,2) along x.
    const char *rows[] = {"......", "#.....", ".#.##.", "..#...", "......", "......"};
    auto want = grid_picture(rows, 6, 0, "#", {R});
    EXPECT_TRUE(grid_equals(img, 6, 6, want.data()));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, GraphBarsRunDownToTheLinesOwnHeight) {
    SINELINE *line = line_with_points({99, 1, 99, 3, 99, 2});
    line->height = 5;  // bars end on row 4, one above the image's last row
    IMG *img = grid_image(6, 6);
    sineline_draw_graph_bars(line, img, 2);
    const char *rows[] = {"......", "#.....", "##.##.", "#.#.#.", "#.#.#.", "......"};
    auto want = grid_picture(rows, 6, 0, "#", {R});
    EXPECT_TRUE(grid_equals(img, 6, 6, want.data()));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, GraphFillBlendsHalfUnderEveryPointAndKeepsTheLine) {
    SINELINE *line = line_with_points({99, 1, 99, 3, 99, 2});
    line->height = 6;
    IMG *img = grid_image(6, 6);
    sineline_draw_graph_fill(line, img, 2);
    // Black under the colour at alpha 128: (0 + 255) / 2 = 0x7F per channel;
    // the colour over itself stays the colour.
    const char *rows[] = {"......", "#.....", "h#.##.", "h.#.h.", "h.h.h.", "h.h.h."};
    auto want = grid_picture(rows, 6, 0, "#h", {R, 0x7F0000});
    EXPECT_TRUE(grid_equals(img, 6, 6, want.data()));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, GraphYPlotsXValuesAtMultiplesOfDy) {
    SINELINE *line = line_with_points({1, 99, 3, 99, 2, 99});
    IMG *img = grid_image(6, 6);
    sineline_draw_graph_y(line, img, 2);
    // The transpose of the graph_x picture.
    const char *rows[] = {".#....", "..#...", "...#..", "..#...", "..#...", "......"};
    auto want = grid_picture(rows, 6, 0, "#", {R});
    EXPECT_TRUE(grid_equals(img, 6, 6, want.data()));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, CirclesUseHalfTheTaxicabStepAndSkipTheLastPoint) {
    SINELINE *line = line_with_points({3, 3, 4, 4});
    IMG *img = grid_image(7, 7);
    sineline_draw_circles(line, img);
    // Radius (1 + 1) >> 1 = 1 at (3, 3): a plus. (4, 4) gets nothing.
    const char *rows[] = {".......", ".......", "...#...", "..###..",
                          "...#...", ".......", "......."};
    auto want = grid_picture(rows, 7, 0, "#", {R});
    EXPECT_TRUE(grid_equals(img, 7, 7, want.data()));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, RingsGrowFromTheCentreAndStepTheColourByEight) {
    SINELINE *line = line_with_points({0, 0, 2, 0, 4, 0, 6, 0, 8, 0, 10, 0, 12, 0});
    line->width = 0;  // centre (0, 0)
    line->height = 0;
    IMG *img = grid_image(16, 3);
    sineline_draw_rings(line, img);
    // Radii (2i) >> 3: 0, 0, 0, 0, 1, 1; point 6 is the last and gets none.
    uint32_t want[48] = {0};
    want[0] = 0xFF0000;  // at the centre: radius 0, one pixel
    want[2] = 0xFF0008;
    want[4] = 0xFF0010;
    want[6] = 0xFF0018;
    want[7] = want[8] = 0xFF0020;
    want[16 + 8] = 0xFF0020;
    want[9] = want[10] = want[11] = 0xFF0028;  // point 5 drawn after point 4
    want[16 + 10] = 0xFF0028;
    EXPECT_TRUE(grid_equals(img, 16, 3, want));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, RingColourAddsToTheWholeWord) {
    SINELINE *line = line_with_points({0, 0, 1, 0, 9, 9});
    line->width = 0;
    line->height = 0;
    line->color = 0x0000FC;  // + 8 carries into green
    IMG *img = grid_image(3, 1);
    sineline_draw_rings(line, img);
    EXPECT_EQ(img->pixels[0], 0x0000FCu);
    EXPECT_EQ(img->pixels[1], 0x000104u);
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, OnePointDrawsNothingInAnySegmentOrCircleMode) {
    SINELINE *line = line_with_points({2, 2});
    IMG *img = grid_image(5, 5);
    sineline_draw(line, img);
    sineline_draw_mirror_x(line, img);
    sineline_draw_mirror_y(line, img);
    sineline_draw_mirror4(line, img);
    sineline_draw_mirror_diag(line, img);
    sineline_draw_mirror8(line, img);
    sineline_draw_graph_x(line, img, 1);
    sineline_draw_graph_y(line, img, 1);
    sineline_draw_circles(line, img);
    sineline_draw_rings(line, img);
    const uint32_t black[25] = {0};
    EXPECT_TRUE(grid_equals(img, 5, 5, black));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, DrawsClipAtEveryEdge) {
    SINELINE *line = line_with_points({-3, 1, 6, 1});
    IMG *img = grid_image(4, 3);
    sineline_draw(line, img);
    const uint32_t want[12] = {0, 0, 0, 0, R, R, R, R, 0, 0, 0, 0};
    EXPECT_TRUE(grid_equals(img, 4, 3, want));
    img_del(&img);
    sineline_del(&line);
}

TEST(Sineline, NullArgumentsAndMissingPointsChangeNothing) {
    SINELINE *line = line_with_points({0, 0, 3, 3});
    IMG *img = grid_image(4, 4);
    sineline_draw(nullptr, img);
    sineline_draw(line, nullptr);
    sineline_draw_rings(nullptr, img);
    sineline_update(nullptr);
    sineline_reset(nullptr);
    sineline_set_count(nullptr, 4);
    free(line->points);
    line->points = nullptr;
    random_srand(99);
    sineline_reset(line);   // refused: draws nothing from the generator
    sineline_update(line);
    sineline_draw(line, img);
    sineline_draw_graph_fill(line, img, 1);
    Lcg g{99};
    EXPECT_EQ(random_rand(), g.next());
    const uint32_t black[16] = {0};
    EXPECT_TRUE(grid_equals(img, 4, 4, black));
    sineline_del(&line);
    sineline_del(&line);  // second delete only reports
    EXPECT_EQ(line, nullptr);
    sineline_del(nullptr);
    img_del(&img);
}

TEST(Sineline, CompareCopyAndDupOnlyCheckTheirArguments) {
    SINELINE *a = sineline_new();
    EXPECT_EQ(sineline_compare(a, a), 0);
    EXPECT_EQ(sineline_compare(nullptr, a), 0);
    a->color = 0x123456;
    SINELINE *b = sineline_new();
    sineline_copy(a, b);
    EXPECT_EQ(b->color, 0xFF0000u);
    SINELINE *c = sineline_dup(a);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->color, 0xFF0000u);
    EXPECT_EQ(c->count, 16);
    EXPECT_EQ(sineline_dup(nullptr), nullptr);
    sineline_del(&a);
    sineline_del(&b);
    sineline_del(&c);
}
