// The shared sine table: its marked entries, its half-step mirrors and the
// cosine read a quarter turn on.
#include <gtest/gtest.h>

#include "vector/seg2d.h"

TEST(Sine, Constants) {
    EXPECT_EQ(sine_mask, 1023);
    EXPECT_EQ(sine_size, 1024);
    EXPECT_EQ(sizeof(sine_table) / sizeof(sine_table[0]), 1024u);
}

TEST(Sine, FirstEntries) {
    const int16_t expected[11] = {0, 201, 402, 603, 804, 1005, 1206, 1407, 1608, 1809, 2009};
    for (int i = 0; i < 11; i++) EXPECT_EQ(sine_table[i], expected[i]) << "index " << i;
}

TEST(Sine, MarkedEntries) {
    EXPECT_EQ(sine_table[0], 0);
    EXPECT_EQ(sine_table[1], 201);
    EXPECT_EQ(sine_table[128], 23170);
    // The two entries where single-precision rounding came out one higher.
    EXPECT_EQ(sine_table[129], 23312);
    EXPECT_EQ(sine_table[183], 29535);
    EXPECT_EQ(sine_table[255], 32766);
    EXPECT_EQ(sine_table[256], 32766);
    EXPECT_EQ(sine_table[257], 32765);
    EXPECT_EQ(sine_table[511], 0);
    EXPECT_EQ(sine_table[512], 0);
    EXPECT_EQ(sine_table[767], -32766);
    EXPECT_EQ(sine_table[768], -32766);
    EXPECT_EQ(sine_table[1023], 0);
}

TEST(Sine, PeakIsNever32767) {
    int16_t peak = 0, low = 0;
    for (int i = 0; i < 1024; i++) {
        if (sine_table[i] > peak) peak = sine_table[i];
        if (sine_table[i] < low) low = sine_table[i];
    }
    EXPECT_EQ(peak, 32766);
    EXPECT_EQ(low, -32766);
}

TEST(Sine, SecondQuarterMirrorsAboutHalfStep) {
    for (int i = 0; i < 256; i++) EXPECT_EQ(sine_table[511 - i], sine_table[i]) << "index " << i;
}

TEST(Sine, SecondHalfIsNegated) {
    for (int i = 0; i < 512; i++) EXPECT_EQ(sine_table[512 + i], -sine_table[i]) << "index " << i;
}

TEST(Sine, FirstQuarterRises) {
    for (int i = 1; i < 256; i++) EXPECT_GT(sine_table[i], sine_table[i - 1]) << "index " << i;
}

TEST(Sine, CosineAndNegativeAngles) {
    // Cosine of 0 reads entry 256; of -256 reads entry 0.
    EXPECT_EQ(sine_table[(0 + 256) & sine_mask], 32766);
    EXPECT_EQ(sine_table[(-256 + 256) & sine_mask], 0);
    // A negative angle wraps onto the table: -1 is entry 1023, -256 entry 768.
    EXPECT_EQ(sine_table[-1 & sine_mask], 0);
    EXPECT_EQ(sine_table[-256 & sine_mask], -32766);
    EXPECT_EQ(sine_table[(1024 + 1) & sine_mask], 201);
}

TEST(Sine, AppliedWithShift) {
    // (L * v) >> 15 floors: 100 * 32766 >> 15 = 99; -100 * 32766 >> 15 = -100.
    EXPECT_EQ((100 * sine_table[256]) >> 15, 99);
    EXPECT_EQ((-100 * sine_table[256]) >> 15, -100);
}
