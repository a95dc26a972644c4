// The sine table against its recorded entries (tests/data/sine_table.txt),
// with the shape the rest of the program relies on: a peak of 32766, a
// mirrored second quarter, a negated second half, the mask for angles.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "vector/seg2d.h"

TEST(Sine, EveryEntryIsTheRecordedOne) {
    std::ifstream file(std::string(RIVO_SOURCE_DIR) + "/tests/data/sine_table.txt");
    std::string comment;
    std::getline(file, comment);
    int i = 0, value;
    while (file >> value) {
        ASSERT_LT(i, 1024);
        EXPECT_EQ(sine_table[i], value) << "index " << i;
        i++;
    }
    EXPECT_EQ(i, 1024);
    EXPECT_EQ(sizeof sine_table / sizeof sine_table[0], 1024u);
    EXPECT_EQ(sine_mask, 1023);
    EXPECT_EQ(sine_size, 1024);
}

TEST(Sine, ShapeAndAngles) {
    for (int i = 0; i < 512; i++) {
        EXPECT_EQ(sine_table[512 + i], -sine_table[i]) << i;
        if (i >= 256) continue;
        EXPECT_EQ(sine_table[511 - i], sine_table[i]) << i;
        if (i > 0) {
            EXPECT_GT(sine_table[i], sine_table[i - 1]) << i;
        }
    }
    EXPECT_EQ(sine_table[256], 32766);
    EXPECT_EQ(sine_table[-256 & sine_mask], -32766);
    EXPECT_EQ(sine_table[(1024 + 1) & sine_mask], 201);
    EXPECT_EQ((100 * sine_table[256]) >> 15, 99);  // a multiply and a shift shrink a little
    EXPECT_EQ((-100 * sine_table[256]) >> 15, -100);
}
