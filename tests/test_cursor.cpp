// CURSOR and CURSORX: wrapping with steps of every size and sign, save and
// restore, the counter's base, offset and step, and the refusals.
#include <gtest/gtest.h>

#include <climits>

#include "text/cursor.h"

TEST(Cursor, NewReadsTheDefaultText) {
    CURSOR *c = cursor_new();
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->text, "RIVO");
    EXPECT_EQ(c->length, 4);
    EXPECT_EQ(c->spare, 1);
    EXPECT_EQ(c->step, 1);
    EXPECT_EQ(c->index, 0);
    cursor_del(&c);
    EXPECT_EQ(c, nullptr);
    cursor_del(&c);
    cursor_del(nullptr);
}

TEST(Cursor, SetStoresValuesAndRewindsButKeepsTheMark) {
    CURSOR *c = cursor_new();
    c->index = 3;
    cursor_save(c);
    cursor_set(c, "HELLO", 5, 1, -2);
    EXPECT_STREQ(c->text, "HELLO");
    EXPECT_EQ(c->length, 5);
    EXPECT_EQ(c->spare, 1);
    EXPECT_EQ(c->step, -2);
    EXPECT_EQ(c->index, 0);
    EXPECT_EQ(c->mark, 3);
    cursor_del(&c);
}

TEST(Cursor, AdvanceWrapsForwards) {
    CURSOR *c = cursor_new();
    cursor_set(c, "ABCDEFGHIJKLMNOPQRSTUVWXY", 25, 1, 3);
    c->index = 24;
    cursor_advance(c);
    EXPECT_EQ(c->index, 2);
    cursor_del(&c);
}

TEST(Cursor, AdvanceWrapsBackwards) {
    CURSOR *c = cursor_new();
    cursor_set(c, "ABCDEFGHIJKLMNOPQRSTUVWXY", 25, 1, -1);
    cursor_advance(c);
    EXPECT_EQ(c->index, 24);
    cursor_del(&c);
}

TEST(Cursor, StepsLargerThanTheLengthLandInside) {
    CURSOR *c = cursor_new();
    c->step = 4 * 7 + 3;  // length 4
    cursor_advance(c);
    EXPECT_EQ(c->index, 3);
    c->step = -9;  // 3 - 9 = -6 -> -6 mod 4 = -2 -> 2
    cursor_advance(c);
    EXPECT_EQ(c->index, 2);
    c->step = INT32_MAX;  // 2 + 2147483647 = 2147483649 = 4 * 536870912 + 1
    cursor_advance(c);
    EXPECT_EQ(c->index, 1);
    c->step = INT32_MIN;  // 1 - 2147483648 = -2147483647 -> 1
    cursor_advance(c);
    EXPECT_EQ(c->index, 1);
    cursor_del(&c);
}

TEST(Cursor, SeekWrapsBothWays) {
    CURSOR *c = cursor_new();
    cursor_seek(c, 6);
    EXPECT_EQ(c->index, 2);
    cursor_seek(c, -1);
    EXPECT_EQ(c->index, 3);
    cursor_seek(c, -8);
    EXPECT_EQ(c->index, 0);
    cursor_del(&c);
}

TEST(Cursor, SaveAdvanceRestoreComesBack) {
    CURSOR *c = cursor_new();
    cursor_set(c, "ABCDEFG", 7, 1, 2);
    cursor_advance(c);
    cursor_save(c);
    cursor_advance(c);
    cursor_advance(c);
    cursor_advance(c);
    EXPECT_EQ(c->index, 1);  // 2 + 6 = 8 -> 1
    cursor_restore(c);
    EXPECT_EQ(c->index, 2);
    cursor_del(&c);
}

TEST(Cursor, ZeroLengthIsRefusedNotDividedBy) {
    CURSOR *c = cursor_new();
    cursor_set(c, "", 0, 1, 1);
    cursor_advance(c);
    cursor_seek(c, 5);
    EXPECT_EQ(c->index, 0);
    c->length = -3;
    cursor_advance(c);
    EXPECT_EQ(c->index, 0);
    cursor_del(&c);
    cursor_advance(nullptr);
    cursor_seek(nullptr, 1);
    cursor_save(nullptr);
    cursor_restore(nullptr);
    cursor_set(nullptr, "A", 1, 1, 1);
}

TEST(CursorX, NewHasItsDefaults) {
    CURSORX *c = cursorx_new();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->modulus, 1024);
    EXPECT_EQ(c->value, 0);
    EXPECT_EQ(c->base, 0);
    EXPECT_EQ(c->step, 1);
    EXPECT_EQ(c->offset, 0);
    EXPECT_EQ(c->offset_step, 2);
    cursorx_del(&c);
    EXPECT_EQ(c, nullptr);
    cursorx_del(&c);
}

TEST(CursorX, StepsAndOffsetSteps) {
    CURSORX *c = cursorx_new();
    cursorx_step(c);
    cursorx_step(c);
    EXPECT_EQ(cursorx_step(c), 3);
    cursorx_step_offset(c);
    EXPECT_EQ(cursorx_step_offset(c), 7);
    EXPECT_EQ(c->value, 7);
    cursorx_del(&c);
}

TEST(CursorX, StepWrapsBaseIntoTheModulus) {
    CURSORX *c = cursorx_new();
    cursorx_set(c, 10, 8, 5, 0, 0);
    EXPECT_EQ(cursorx_step(c), 3);
    EXPECT_EQ(c->base, 3);
    c->step = -7;
    EXPECT_EQ(cursorx_step(c), 6);
    EXPECT_EQ(c->base, 6);
    c->step = INT32_MAX;  // 6 + 2147483647 = 2147483653 -> 3
    EXPECT_EQ(cursorx_step(c), 3);
    cursorx_del(&c);
}

TEST(CursorX, NegativeBaseGetsTheModulusAddedOnce) {
    CURSORX *c = cursorx_new();
    EXPECT_EQ(cursorx_set_base(c, -1024), 0);
    EXPECT_EQ(c->base, 1024);
    EXPECT_EQ(cursorx_set_base(c, -1), 1023);
    EXPECT_EQ(c->base, 1023);
    EXPECT_EQ(cursorx_set_base(c, 2050), 2);
    EXPECT_EQ(c->base, 2);
    cursorx_del(&c);
}

TEST(CursorX, ValueIsBasePlusOffsetWrapped) {
    CURSORX *c = cursorx_new();
    cursorx_set_base(c, 1000);
    EXPECT_EQ(cursorx_set_offset(c, 30), 6);
    EXPECT_EQ(cursorx_set_offset(c, -1010), 1014);  // -10 + 1024
    cursorx_del(&c);
}

TEST(CursorX, SetModulusReappliesTheBase) {
    CURSORX *c = cursorx_new();
    cursorx_set_base(c, 100);
    EXPECT_EQ(cursorx_set_modulus(c, 30), 10);
    EXPECT_EQ(c->base, 10);
    EXPECT_EQ(cursorx_set_modulus(c, -1), 0);  // refused
    EXPECT_EQ(c->modulus, 30);
    cursorx_del(&c);
}

TEST(CursorX, SetGoesThroughTheSetters) {
    CURSORX *c = cursorx_new();
    cursorx_set(c, 16, -3, 5, 4, 7);
    EXPECT_EQ(c->modulus, 16);
    EXPECT_EQ(c->base, 13);
    EXPECT_EQ(c->offset, 4);
    EXPECT_EQ(c->value, 1);  // 17 mod 16
    EXPECT_EQ(c->step, 5);
    EXPECT_EQ(c->offset_step, 7);
    cursorx_del(&c);
}

TEST(CursorX, RestartClearsTheOffset) {
    CURSORX *c = cursorx_new();
    cursorx_set_offset(c, 500);
    EXPECT_EQ(cursorx_restart(c, 20), 20);
    EXPECT_EQ(c->offset, 0);
    cursorx_del(&c);
}

TEST(CursorX, CopyLeavesTheValueAndDupStartsAtZero) {
    CURSORX *a = cursorx_new();
    cursorx_set(a, 100, 40, 3, 5, 9);
    CURSORX *b = cursorx_new();
    b->value = 77;
    cursorx_copy(a, b);
    EXPECT_EQ(b->modulus, 100);
    EXPECT_EQ(b->base, 40);
    EXPECT_EQ(b->step, 3);
    EXPECT_EQ(b->offset, 5);
    EXPECT_EQ(b->offset_step, 9);
    EXPECT_EQ(b->value, 77);
    CURSORX *d = cursorx_dup(a);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->base, 40);
    EXPECT_EQ(d->value, 0);
    EXPECT_EQ(cursorx_step(d), 48);
    cursorx_del(&a);
    cursorx_del(&b);
    cursorx_del(&d);
    EXPECT_EQ(cursorx_dup(nullptr), nullptr);
}

TEST(CursorX, ZeroModulusIsRefusedEverywhere) {
    CURSORX *c = cursorx_new();
    cursorx_set_base(c, 5);
    cursorx_set_modulus(c, 0);
    EXPECT_EQ(c->modulus, 0);
    EXPECT_EQ(cursorx_step(c), 0);
    EXPECT_EQ(c->base, 5);
    EXPECT_EQ(cursorx_set_base(c, 9), 0);
    EXPECT_EQ(c->base, 5);
    cursorx_update(c);
    EXPECT_EQ(c->value, 5);  // left from before the modulus went
    c->modulus = -4;
    EXPECT_EQ(cursorx_step(c), 0);  // a negative wrap would never settle
    EXPECT_EQ(c->base, 5);
    cursorx_del(&c);
    EXPECT_EQ(cursorx_step(nullptr), 0);
    EXPECT_EQ(cursorx_step_offset(nullptr), 0);
    EXPECT_EQ(cursorx_set_offset(nullptr, 1), 0);
    EXPECT_EQ(cursorx_restart(nullptr, 1), 0);
    cursorx_update(nullptr);
    cursorx_copy(nullptr, nullptr);
}
