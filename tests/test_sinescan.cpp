// SINESCAN tests: the reset's draws and palette, the 16.16 wave sum of the
// update with its phase mask, shading and palette rows with hand-computed
// levels and indices, and refused arguments (zero divisor included).
#include <gtest/gtest.h>

#include "audio/sample.h"
#include "host/random.h"
#include "imaging/img.h"
#include "test_support.h"
#include "text/sinescan.h"

namespace {

// A scan of w columns whose wave holds the given values, waves still.
SINESCAN *scan_with_wave(std::initializer_list<int32_t> values) {
    SINESCAN *scan = sinescan_new();
    scan->width = (int32_t)values.size();
    sample_set_count(scan->wave, scan->width);
    int32_t i = 0;
    for (int32_t v : values) scan->wave->data[i++] = v;
    scan->y = 1;
    for (auto &w : scan->waves) w.phase = w.speed = w.step = 0;
    return scan;
}

const int32_t S = 1536;  // the divisor with three amplitudes of 256.0

}  // namespace

TEST(Sinescan, NewIs256SquareWithAWaveRowAndA2048Palette) {
    SINESCAN *scan = sinescan_new();
    ASSERT_NE(scan, nullptr);
    EXPECT_EQ(scan->width, 256);
    EXPECT_EQ(scan->height, 256);
    EXPECT_EQ(scan->depth, 256);
    EXPECT_EQ(scan->x, 0);
    EXPECT_EQ(scan->wave->count, 256);
    EXPECT_EQ(scan->palette->count, 2048);
    for (auto &w : scan->waves) EXPECT_EQ(w.amplitude, 0x1000000);
    sinescan_del(&scan);
    EXPECT_EQ(scan, nullptr);
}

TEST(Sinescan, ResetDrawsRowThenEachWaveThenColour) {
    SINESCAN *scan = sinescan_new();
    random_srand(45429);
    sinescan_reset(scan);
    EXPECT_EQ(scan->y, 17318 % 256);  // 166
    EXPECT_EQ(scan->waves[0].phase, 21105);
    Lcg g{45429};
    g.next();
    g.next();
    EXPECT_EQ(scan->waves[0].speed, g.next() - 983040);
    EXPECT_EQ(scan->waves[0].step, g.next() - 983040);
    for (int w = 1; w < 3; w++) {
        EXPECT_EQ(scan->waves[w].phase, g.next());
        EXPECT_EQ(scan->waves[w].speed, g.next() - 983040);
        EXPECT_EQ(scan->waves[w].step, g.next() - 983040);
    }
    EXPECT_EQ(scan->color, (uint32_t)g.next());
    EXPECT_EQ(random_rand(), g.next());
    // -15.0 to about -14.5 table steps.
    EXPECT_LE(scan->waves[1].speed, -14 * 65536 - 32768);
    EXPECT_GE(scan->waves[1].speed, -15 * 65536);
    sinescan_del(&scan);
}

TEST(Sinescan, ResetWithNoRowsStillDrawsElevenValues) {
    SINESCAN *scan = sinescan_new();
    scan->height = 0;
    random_srand(5);
    sinescan_reset(scan);
    EXPECT_EQ(scan->y, 0);
    Lcg g{5};
    for (int i = 0; i < 11; i++) g.next();
    EXPECT_EQ(random_rand(), g.next());
    sinescan_del(&scan);
}

TEST(Sinescan, PaletteRunsBlackBlueCyanWhite) {
    SINESCAN *scan = sinescan_new();
    const int32_t *p = scan->palette->data;
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[700], 0);
    EXPECT_EQ(p[1023], 0);
    EXPECT_EQ(p[1024], 0);
    EXPECT_EQ(p[1025], 1);
    EXPECT_EQ(p[1279], 255);
    EXPECT_EQ(p[1280], 0x0000FF);
    EXPECT_EQ(p[1281], 0x0001FF);
    EXPECT_EQ(p[1535], 0x00FFFF);
    EXPECT_EQ(p[1536], 0x00FFFF);
    EXPECT_EQ(p[1537], 0x01FFFF);
    EXPECT_EQ(p[1791], 0xFFFFFF);
    EXPECT_EQ(p[1792], 0xFFFFFF);
    EXPECT_EQ(p[2047], 0xFFFFFF);
    sinescan_del(&scan);
}

TEST(Sinescan, ResetSizesTheWaveToTheWidth) {
    SINESCAN *scan = sinescan_new();
    scan->width = 40;
    sinescan_reset(scan);
    EXPECT_EQ(scan->wave->count, 40);
    sinescan_del(&scan);
}

TEST(Sinescan, UpdateSumsTableTimesWholeAmplitudes) {
    SINESCAN *scan = scan_with_wave({9, 9, 9, 9, 9});
    scan->waves[0].amplitude = 0x1000000;  // 256
    scan->waves[0].phase = 256 << 16;
    scan->waves[0].step = 256 << 16;       // 256, 512, 768, 0, 256
    scan->waves[1].amplitude = -0x30000;   // whole part -3
    scan->waves[1].phase = 256 << 16;      // stays on the peak
    scan->waves[2].amplitude = 0xFFFF;     // whole part 0: no part in the sum
    scan->waves[2].phase = 256 << 16;
    sinescan_update(scan);
    const int32_t want[5] = {32766 * 256 - 3 * 32766, -3 * 32766, -32766 * 256 - 3 * 32766,
                             -3 * 32766, 32766 * 256 - 3 * 32766};
    for (int i = 0; i < 5; i++) EXPECT_EQ(scan->wave->data[i], want[i]) << "column " << i;
    sinescan_del(&scan);
}

TEST(Sinescan, UpdateStepsFractionsAndMasksPhasesUnder1024Steps) {
    SINESCAN *scan = scan_with_wave({0, 0, 0, 0});
    scan->waves[0].amplitude = 0x10000;    // 1
    scan->waves[0].phase = 1 << 16;
    scan->waves[0].step = 0x8000;          // half a step: 1, 1.5, 2, 2.5
    scan->waves[1].amplitude = 0;
    scan->waves[2].amplitude = 0;
    scan->waves[0].speed = -(2 << 16);     // 1 - 2 = -1 -> 1023
    scan->waves[1].phase = (1023 << 16) | 0xFFFF;
    scan->waves[1].speed = 1;              // wraps to 0
    sinescan_update(scan);
    EXPECT_EQ(scan->wave->data[0], 201);
    EXPECT_EQ(scan->wave->data[1], 201);
    EXPECT_EQ(scan->wave->data[2], 402);
    EXPECT_EQ(scan->wave->data[3], 402);
    EXPECT_EQ(scan->waves[0].phase, 1023 << 16);
    EXPECT_EQ(scan->waves[1].phase, 0);
    sinescan_del(&scan);
}

TEST(Sinescan, UpdateReadsAStrayPhaseThroughTheTableMask) {
    SINESCAN *scan = scan_with_wave({0});
    scan->waves[0].amplitude = 0x10000;  // 1
    scan->waves[1].amplitude = 0;
    scan->waves[2].amplitude = 0;
    scan->waves[0].phase = -768 * 65536;  // stored by hand: whole part -768 is angle 256
    sinescan_update(scan);
    EXPECT_EQ(scan->wave->data[0], 32766);
    sinescan_del(&scan);
}

TEST(Sinescan, ShadeBrightensAndDarkensByTheWaveLevel) {
    // Levels (v / 1536) >> 7: 0, 1, -1, 127, -128, and -1 / 1536 = 0 (truncating).
    SINESCAN *scan = scan_with_wave({0, S * 128, -S * 128, S * 16383, -S * 16384, -1});
    scan->color = 0x808080;
    IMG *img = grid_image(6, 3);
    sinescan_draw_shade(scan, img);
    const uint32_t want[18] = {0, 0, 0, 0, 0, 0,
                               0x808080, 0x818181, 0x7F7F7F, 0xFFFFFF, 0x000000, 0x808080,
                               0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(grid_equals(img, 6, 3, want));
    img_del(&img);
    sinescan_del(&scan);
}

TEST(Sinescan, ShadeAfterUpdateOfTheResetAmplitudes) {
    SINESCAN *scan = scan_with_wave({0, 0});
    for (auto &w : scan->waves) w.phase = 256 << 16;  // all three at the peak
    scan->color = 0x404040;
    sinescan_update(scan);
    // 3 * 32766 * 256 = 25164288; / 1536 = 16383; >> 7 = 127.
    IMG *img = grid_image(2, 2);
    sinescan_draw_shade(scan, img);
    const uint32_t want[4] = {0, 0, 0xBFBFBF, 0xBFBFBF};
    EXPECT_TRUE(grid_equals(img, 2, 2, want));
    img_del(&img);
    sinescan_del(&scan);
}

TEST(Sinescan, PaletteRowOfAZeroWaveIsEntry1024) {
    SINESCAN *scan = scan_with_wave({0, 0, 0});
    IMG *img = grid_image(3, 2);
    img_clear(img, 0x123456);
    sinescan_draw_palette(scan, img);
    const uint32_t want[6] = {0x123456, 0x123456, 0x123456, 0, 0, 0};
    EXPECT_TRUE(grid_equals(img, 3, 2, want));
    img_del(&img);
    sinescan_del(&scan);
}

TEST(Sinescan, PaletteIndexIsHalfPlusScaledQuotient) {
    // q = v / 1536; index = 1024 + (q * 1024) >> 14.
    SINESCAN *scan =
        scan_with_wave({S * 16383, -S * 16384, S * 16, S * 4096, S * 8192, S * 15, -S});
    IMG *img = grid_image(7, 2);
    sinescan_draw_palette(scan, img);
    // 2047 white; 0 black; 1025 = 1; 1280 = 0xFF; 1536 = 0xFFFF; 1024 = 0;
    // -1024 >> 14 = -1: 1023 = 0.
    const uint32_t want[14] = {0, 0, 0, 0, 0, 0, 0,
                               0xFFFFFF, 0, 1, 0xFF, 0xFFFF, 0, 0};
    EXPECT_TRUE(grid_equals(img, 7, 2, want));
    img_del(&img);
    sinescan_del(&scan);
}

TEST(Sinescan, PaletteIndexOutsideThePaletteGivesBlack) {
    SINESCAN *scan = scan_with_wave({20000, 1000, 15000});
    scan->waves[0].amplitude = 0x8000;  // divisor 32768 >> 15 = 1
    scan->waves[1].amplitude = 0;
    scan->waves[2].amplitude = 0;
    IMG *img = grid_image(3, 2);
    img_clear(img, 0x555555);
    sinescan_draw_palette(scan, img);
    // 20000 * 1024 >> 14 = 1250: index 2274, past the end. 1000 -> 62: index 1086.
    // 15000 -> 937: index 1961, white.
    const uint32_t want[6] = {0x555555, 0x555555, 0x555555, 0, 62, 0xFFFFFF};
    EXPECT_TRUE(grid_equals(img, 3, 2, want));
    img_del(&img);
    sinescan_del(&scan);
}

TEST(Sinescan, PaletteFallsBackToShadeWithoutAPalette) {
    SINESCAN *scan = scan_with_wave({S * 128});
    scan->color = 0x808080;
    sample_del(&scan->palette);
    IMG *img = grid_image(1, 2);
    sinescan_draw_palette(scan, img);
    EXPECT_EQ(img->pixels[1], 0x818181u);
    img_del(&img);
    sinescan_del(&scan);
}

TEST(Sinescan, ColumnsStopAtTheShorterOfWidthAndWave) {
    SINESCAN *scan = scan_with_wave({0, 0});
    scan->color = 0xABCDEF;
    scan->width = 4;  // the wave has only two columns
    IMG *img = grid_image(4, 2);
    sinescan_draw_shade(scan, img);
    const uint32_t want[8] = {0, 0, 0, 0, 0xABCDEF, 0xABCDEF, 0, 0};
    EXPECT_TRUE(grid_equals(img, 4, 2, want));
    scan->width = 1;
    img_clear(img, 0);
    sinescan_draw_shade(scan, img);
    const uint32_t want1[8] = {0, 0, 0, 0, 0xABCDEF, 0, 0, 0};
    EXPECT_TRUE(grid_equals(img, 4, 2, want1));
    img_del(&img);
    sinescan_del(&scan);
}

TEST(Sinescan, RowOutsideTheImageIsClipped) {
    SINESCAN *scan = scan_with_wave({0, 0});
    scan->color = 0xFFFFFF;
    scan->y = 5;
    IMG *img = grid_image(2, 2);
    sinescan_draw_shade(scan, img);
    scan->y = -1;
    sinescan_draw_palette(scan, img);
    const uint32_t black[4] = {0};
    EXPECT_TRUE(grid_equals(img, 2, 2, black));
    img_del(&img);
    sinescan_del(&scan);
}

TEST(Sinescan, ZeroDivisorIsRefused) {
    SINESCAN *scan = scan_with_wave({5, -5});
    for (auto &w : scan->waves) w.amplitude = 0x1000;  // sum 0x3000 >> 15 = 0
    IMG *img = grid_image(2, 2);
    sinescan_draw_shade(scan, img);
    sinescan_draw_palette(scan, img);
    const uint32_t black[4] = {0};
    EXPECT_TRUE(grid_equals(img, 2, 2, black));
    img_del(&img);
    sinescan_del(&scan);
}

TEST(Sinescan, MostNegativeValueOverMinusOneWraps) {
    SINESCAN *scan = scan_with_wave({INT32_MIN});
    scan->waves[0].amplitude = -0x8000;  // divisor -32768 >> 15 = -1
    scan->waves[1].amplitude = 0;
    scan->waves[2].amplitude = 0;
    scan->color = 0x808080;
    IMG *img = grid_image(1, 2);
    sinescan_draw_shade(scan, img);
    // The quotient wraps back to INT32_MIN; >> 7 gives -2^24, a darkening whose
    // low byte is 0, so the colour stays as it is.
    EXPECT_EQ(img->pixels[1], 0x808080u);
    img_del(&img);
    sinescan_del(&scan);
}

TEST(Sinescan, CompareLooksAtTheWaveWordsAndColourOnly) {
    SINESCAN *a = sinescan_new();
    SINESCAN *b = sinescan_new();
    EXPECT_EQ(sinescan_compare(a, b), 0);
    sinescan_copy(a, b);
    EXPECT_EQ(sinescan_compare(a, b), 1);
    b->y = a->y + 1;  // not content
    EXPECT_EQ(sinescan_compare(a, b), 1);
    b->waves[2].step++;
    EXPECT_EQ(sinescan_compare(a, b), 0);
    b->waves[2].step--;
    b->color ^= 1;
    EXPECT_EQ(sinescan_compare(a, b), 0);
    EXPECT_EQ(sinescan_compare(a, nullptr), 0);
    sinescan_del(&a);
    sinescan_del(&b);
}

TEST(Sinescan, CopyTakesHeaderWavesAndColourNotTheSamples) {
    SINESCAN *a = sinescan_new();
    SINESCAN *b = sinescan_new();
    a->x = 3;
    a->y = 4;
    a->width = 12;
    a->depth = 7;
    a->waves[1].amplitude = 99;
    a->color = 0x010203;
    sinescan_copy(a, b);
    EXPECT_EQ(b->x, 3);
    EXPECT_EQ(b->y, 4);
    EXPECT_EQ(b->width, 12);
    EXPECT_EQ(b->depth, 7);
    EXPECT_EQ(b->waves[1].amplitude, 99);
    EXPECT_EQ(b->color, 0x010203u);
    EXPECT_NE(b->wave, a->wave);
    EXPECT_EQ(b->wave->count, 256);
    sinescan_del(&a);
    sinescan_del(&b);
}

TEST(Sinescan, DupIsNewThenWaveWordsAndColour) {
    SINESCAN *a = sinescan_new();
    a->y = 200;
    a->waves[0].phase = 77;
    SINESCAN *b = sinescan_dup(a);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(sinescan_compare(a, b), 1);
    EXPECT_EQ(b->waves[0].phase, 77);
    EXPECT_NE(b->palette, a->palette);
    EXPECT_EQ(sinescan_dup(nullptr), nullptr);
    sinescan_del(&a);
    sinescan_del(&b);
}

TEST(Sinescan, NullArgumentsAndMissingWaveChangeNothing) {
    SINESCAN *scan = scan_with_wave({S * 128});
    IMG *img = grid_image(1, 2);
    sinescan_draw_shade(nullptr, img);
    sinescan_draw_shade(scan, nullptr);
    sinescan_draw_palette(nullptr, img);
    sinescan_update(nullptr);
    sinescan_reset(nullptr);
    sinescan_copy(nullptr, scan);
    sample_del(&scan->wave);
    random_srand(3);
    sinescan_reset(scan);  // refused without its wave: no draws
    sinescan_update(scan);
    sinescan_draw_shade(scan, img);
    sinescan_draw_palette(scan, img);
    Lcg g{3};
    EXPECT_EQ(random_rand(), g.next());
    EXPECT_EQ(img->pixels[1], 0u);
    sinescan_del(&scan);
    sinescan_del(&scan);
    EXPECT_EQ(scan, nullptr);
    img_del(&img);
}
