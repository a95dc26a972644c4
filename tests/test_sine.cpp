// The sine table against its recorded entries (tests/data/sine_table.txt):
// its shape (a peak of 32766, a mirrored second quarter, a negated second
// half) is in the record, so it is not restated here.
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
}
