// FLASHPIX: lifecycle of a record without behaviour.
#include <gtest/gtest.h>

#include "imaging/flashpix.h"
#include "tests/test_owned.h"

// A new record is zeroed; it has no text, no content to compare or copy, and
// its update and draw change nothing; a second delete only reports.
TEST(Flashpix, RecordWithoutBehaviour) {
    Own<flashpix_del> a(flashpix_new()), b(flashpix_new());
    ASSERT_NE(a.get(), nullptr);
    for (uint32_t w : a->words) EXPECT_EQ(w, 0u);
    a->words[3] = 5;
    EXPECT_EQ(flashpix_to_text(a), nullptr);
    EXPECT_EQ(flashpix_compare(a, a), 0);
    EXPECT_EQ(flashpix_compare(nullptr, b), 0);
    Own<flashpix_del> d(flashpix_dup(a));
    ASSERT_NE(d.get(), nullptr);
    EXPECT_EQ(d->words[3], 0u);
    flashpix_copy(a, d);
    EXPECT_EQ(d->words[3], 0u);
    flashpix_update(a), flashpix_draw(a), flashpix_update(nullptr), flashpix_draw(nullptr), flashpix_copy(nullptr, d);
    EXPECT_EQ(a->words[3], 5u);
    EXPECT_EQ(flashpix_dup(nullptr), nullptr);
    EXPECT_EQ(flashpix_to_text(nullptr), nullptr);
    flashpix_del(b.address());
    flashpix_del(b.address());
    EXPECT_EQ(b.get(), nullptr);
}
