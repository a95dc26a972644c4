// FLASHPIX: lifecycle of a record without behaviour.
#include <gtest/gtest.h>

#include "imaging/flashpix.h"
#include "tests/test_owned.h"

TEST(Flashpix, NewRecordIsZeroed) {
    FLASHPIX *f = flashpix_new();
    ASSERT_NE(f, nullptr);
    for (uint32_t w : f->words) EXPECT_EQ(w, 0u);
    flashpix_del(&f);
    EXPECT_EQ(f, nullptr);
}

TEST(Flashpix, SecondDeleteOnlyReports) {
    FLASHPIX *f = flashpix_new();
    flashpix_del(&f);
    flashpix_del(&f);
    EXPECT_EQ(f, nullptr);
    flashpix_del(nullptr);
}

TEST(Flashpix, HasNoTextAndNoContent) {
    FLASHPIX *a = flashpix_new(), *b = flashpix_new();
    EXPECT_EQ(flashpix_to_text(a), nullptr);
    EXPECT_EQ(flashpix_to_text(nullptr), nullptr);
    EXPECT_EQ(flashpix_compare(a, b), 0);
    EXPECT_EQ(flashpix_compare(a, a), 0);
    EXPECT_EQ(flashpix_compare(nullptr, b), 0);
    flashpix_del(&a);
    flashpix_del(&b);
}

TEST(Flashpix, DupMakesAFreshRecordAndCopyChangesNothing) {
    Own<flashpix_del> a(flashpix_new());
    a->words[3] = 5;
    Own<flashpix_del> d(flashpix_dup(a));
    ASSERT_NE(d, nullptr);
    EXPECT_NE(d, a);
    EXPECT_EQ(d->words[3], 0u);
    flashpix_copy(a, d);
    EXPECT_EQ(d->words[3], 0u);
    EXPECT_EQ(flashpix_dup(nullptr), nullptr);
    flashpix_copy(nullptr, d);
    flashpix_update(a);
    flashpix_draw(a);
    flashpix_update(nullptr);
    flashpix_draw(nullptr);
    EXPECT_EQ(a->words[3], 5u);
}
