// The shared generator: seeded and unseeded sequences and the 30-bit join.
#include <gtest/gtest.h>

#include "host/random.h"

// Must run first in this program: nothing has seeded the state yet.
TEST(Random, UnseededFirstValueIs41) {
    // state = 1 * 214013 + 2531011 = 2745024; 2745024 >> 16 = 41.
    EXPECT_EQ(random_rand(), 41);
}

TEST(Random, Seed45429GivesKnownPair) {
    random_srand(45429);
    EXPECT_EQ(random_rand(), 17318);
    EXPECT_EQ(random_rand(), 21105);
}

TEST(Random, NextJoinsTwoDrawsHighFirst) {
    random_srand(45429);
    int32_t v = random_next();
    EXPECT_EQ(v, 567497329);  // 17318 << 15 | 21105
    EXPECT_EQ(v % 4, 1);
}

TEST(Random, ReseedRestartsTheSequence) {
    random_srand(0x31756A22u);
    int32_t a = random_rand();
    int32_t b = random_rand();
    random_srand(0x31756A22u);
    EXPECT_EQ(random_rand(), a);
    EXPECT_EQ(random_rand(), b);
}

TEST(Random, StateWrapsModulo2To32) {
    // 0xFFFFFFFF * 214013 + 2531011 mod 2^32 = 2531011 - 214013 = 2316998;
    // 2316998 >> 16 = 35.
    random_srand(0xFFFFFFFFu);
    EXPECT_EQ(random_rand(), 35);
}

TEST(Random, DrawsStayIn15Bits) {
    random_srand(12345);
    for (int i = 0; i < 1000; i++) {
        int32_t v = random_rand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
    for (int i = 0; i < 1000; i++) {
        int32_t v = random_next();
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 1 << 30);
    }
}
