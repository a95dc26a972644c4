// SINESCAN: the reset's draws against a recording (tests/data/sinescan.txt),
// the palette's ramps, the 16.16 wave sum of the update with its phase mask,
// shade and palette rows as tables of wave value -> pixel, and refusals.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_support.h"
#include "text/sinescan.h"

namespace {

const int32_t S = 1536;  // the divisor with three amplitudes of 256.0

// A scan whose wave holds the given values on row 1, waves still.
SINESCAN *scan_with_wave(std::vector<int32_t> values) {
    SINESCAN *scan = sinescan_new();
    scan->width = (int32_t)values.size();
    sample_set_count(scan->wave, scan->width);
    for (size_t i = 0; i < values.size(); i++) scan->wave->data[i] = values[i];
    scan->y = 1;
    for (auto &w : scan->waves) w.phase = w.speed = w.step = 0;
    return scan;
}

// Row 1 of a 1-row-per-value image after the draw.
std::vector<uint32_t> row_drawn(SINESCAN *scan, void (*draw)(const SINESCAN *, IMG *)) {
    Own<img_del> img(grid_image(scan->width, 2));
    draw(scan, img);
    return std::vector<uint32_t>(img->pixels + scan->width, img->pixels + 2 * scan->width);
}

}  // namespace

TEST(Sinescan, ResetDrawsMatchTheirRecording) {
    Golden g("sinescan");
    Own<sinescan_del> scan(sinescan_new());
    for (uint32_t seed : {45429u, 5u}) {
        random_srand(seed);
        sinescan_reset(scan);
        std::ostringstream s;
        s << scan->y;
        for (auto &w : scan->waves) s << "," << w.phase << "," << w.speed << "," << w.step << "," << w.amplitude;
        s << "," << scan->color << " next " << random_rand();
        g.check("reset" + std::to_string(seed), s.str());
    }
    random_srand(45429);  // by hand: the first two draws are 17318 and 21105
    sinescan_reset(scan);
    EXPECT_EQ(scan->y, 17318 % 256);
    EXPECT_EQ(scan->waves[0].phase, 21105);
}

TEST(Sinescan, PaletteRunsBlackBlueCyanWhite) {
    Own<sinescan_del> scan(sinescan_new());
    const int32_t entries[][2] = {{0, 0},        {1023, 0},       {1024, 0},      {1025, 1},
                                  {1279, 255},   {1280, 0x0000FF}, {1281, 0x01FF}, {1535, 0xFFFF},
                                  {1537, 0x01FFFF}, {1791, 0xFFFFFF}, {1792, 0xFFFFFF}, {2047, 0xFFFFFF}};
    for (const auto &e : entries) EXPECT_EQ(scan->palette->data[e[0]], e[1]) << e[0];
    EXPECT_EQ(scan->palette->count, 2048);
}

TEST(Sinescan, UpdateSumsTableTimesWholeAmplitudesAndMasksPhases) {
    Own<sinescan_del> scan(scan_with_wave({9, 9, 9, 9, 9}));
    scan->waves[0].phase = 256 << 16;
    scan->waves[0].step = 256 << 16;     // 256, 512, 768, 0, 256
    scan->waves[0].speed = -(257 << 16);  // 256 - 257 = -1 -> 1023
    scan->waves[1].amplitude = -0x30000;  // whole part -3
    scan->waves[1].phase = -768 * 65536;  // whole part -768 is angle 256
    scan->waves[2].amplitude = 0xFFFF;    // whole part 0: no part in the sum
    scan->waves[2].phase = (1023 << 16) | 0xFFFF;
    scan->waves[2].speed = 1;             // wraps to 0
    sinescan_update(scan);
    const int32_t p = 32766 * 256, q = -3 * 32766;
    EXPECT_EQ(std::vector<int32_t>(scan->wave->data, scan->wave->data + 5),
              (std::vector<int32_t>{p + q, q, -p + q, q, p + q}));
    EXPECT_EQ(scan->waves[0].phase, 1023 << 16);
    EXPECT_EQ(scan->waves[2].phase, 0);
    Own<sinescan_del> half(scan_with_wave({0, 0, 0, 0}));
    half->waves[0].amplitude = 0x10000;
    half->waves[1].amplitude = half->waves[2].amplitude = 0;
    half->waves[0].phase = 1 << 16;
    half->waves[0].step = 0x8000;  // half a step: 1, 1.5, 2, 2.5
    sinescan_update(half);
    EXPECT_EQ(std::vector<int32_t>(half->wave->data, half->wave->data + 4), (std::vector<int32_t>{201, 201, 402, 402}));
}

TEST(Sinescan, ShadeLevelIsTheQuotientShiftedBySeven) {
    // Levels: 0, 1, -1, 127, -128, and -1 / 1536 = 0 (truncating).
    Own<sinescan_del> scan(scan_with_wave({0, S * 128, -S * 128, S * 16383, -S * 16384, -1}));
    scan->color = 0x808080;
    EXPECT_EQ(row_drawn(scan, sinescan_draw_shade),
              (std::vector<uint32_t>{0x808080, 0x818181, 0x7F7F7F, 0xFFFFFF, 0x000000, 0x808080}));
    sample_del(&scan->palette);  // the palette draw falls back to the shade
    EXPECT_EQ(row_drawn(scan, sinescan_draw_palette)[1], 0x818181u);
}

TEST(Sinescan, PaletteIndexIsHalfPlusTheScaledQuotient) {
    // 1024 + ((v / 1536) * 1024 >> 14): 2047, 0, 1025, 1280, 1536, 1024, 1023.
    Own<sinescan_del> scan(scan_with_wave({S * 16383, -S * 16384, S * 16, S * 4096, S * 8192, S * 15, -S}));
    EXPECT_EQ(row_drawn(scan, sinescan_draw_palette), (std::vector<uint32_t>{0xFFFFFF, 0, 1, 0xFF, 0xFFFF, 0, 0}));
    // Divisor 1: 20000 gives index 2274, past the end (black); 1000 gives 1086.
    Own<sinescan_del> one(scan_with_wave({20000, 1000, 15000}));
    one->waves[0].amplitude = 0x8000;
    one->waves[1].amplitude = one->waves[2].amplitude = 0;
    EXPECT_EQ(row_drawn(one, sinescan_draw_palette), (std::vector<uint32_t>{0, 62, 0xFFFFFF}));
}

TEST(Sinescan, RowsClipAndAZeroDivisorIsRefused) {
    Own<sinescan_del> scan(scan_with_wave({0, 0}));
    scan->color = 0xABCDEF;
    scan->width = 4;  // the wave has only two columns
    Own<img_del> img(grid_image(4, 2));
    sinescan_draw_shade(scan, img);
    EXPECT_TRUE(grid_equals(img, {0, 0, 0, 0, 0xABCDEF, 0xABCDEF, 0, 0}));
    img_clear(img, 0);
    for (int32_t y : {5, -1, 2}) {
        scan->y = y;
        sinescan_draw_shade(scan, img);
    }
    scan->y = 1;
    for (auto &w : scan->waves) w.amplitude = 0x1000;  // sum 0x3000 >> 15 = 0
    sinescan_draw_shade(scan, img);
    sinescan_draw_palette(scan, img);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(8, 0)));
}

TEST(Sinescan, CompareCopyAndDupTakeTheWaveWordsAndColour) {
    Own<sinescan_del> a(sinescan_new()), b(sinescan_new());
    a->x = 3;
    a->width = 12;
    a->waves[1].amplitude = 99;
    a->color = 0x010203;
    sinescan_copy(a, b);
    EXPECT_EQ(std::tuple(b->x, b->width, b->wave->count), std::tuple(3, 12, 256));  // the samples are not copied
    EXPECT_EQ(sinescan_compare(a, b), 1);
    b->y++;  // not content
    EXPECT_EQ(sinescan_compare(a, b), 1);
    b->waves[2].step++;
    EXPECT_EQ(sinescan_compare(a, b), 0);
    b->waves[2].step--, b->color ^= 0x10000;
    EXPECT_EQ(sinescan_compare(a, b), 0);
    Own<sinescan_del> d(sinescan_dup(a));
    EXPECT_EQ(sinescan_compare(a, d), 1);
    EXPECT_EQ(d->x, 0);
}
