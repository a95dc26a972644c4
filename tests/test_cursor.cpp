// CURSOR and CURSORX: wrapping with steps of every size and sign, save and
// restore, the counter's base, offset and step, and the refusals.
#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "tests/test_support.h"
#include "text/cursor.h"

TEST(Cursor, AdvanceAndSeekLandInsideTheText) {
    // index, step, length -> index after one advance.
    const int32_t advances[][4] = {
        {24, 3, 25, 2},  {0, -1, 25, 24}, {0, 31, 4, 3}, {3, -9, 4, 2},
        {2, INT32_MAX, 4, 1}, {1, INT32_MIN, 4, 1}, {0, 25, 25, 0}, {24, 1, 25, 0},
    };
    Own<cursor_del> c(cursor_new());
    for (const auto &a : advances) {
        cursor_set(c, "ABCDEFGHIJKLMNOPQRSTUVWXY", a[2], 1, a[1]);
        c->index = a[0];
        cursor_advance(c);
        EXPECT_EQ(c->index, a[3]) << a[0] << " + " << a[1] << " mod " << a[2];
    }
    const int32_t seeks[][2] = {{6, 2}, {-1, 3}, {-8, 0}, {3, 3}, {INT32_MIN, 0}};
    cursor_set(c, "RIVO", 4, 1, 1);
    for (const auto &s : seeks) {
        cursor_seek(c, s[0]);
        EXPECT_EQ(c->index, s[1]) << s[0];
    }
}

TEST(Cursor, SetRewindsButKeepsTheMarkAndRestoreComesBack) {
    Own<cursor_del> c(cursor_new());
    c->index = 3;
    cursor_save(c);
    cursor_set(c, "ABCDEFG", 7, 1, 2);
    EXPECT_EQ(std::tuple(c->index, c->mark, c->step), std::tuple(0, 3, 2));
    cursor_advance(c);
    cursor_save(c);
    for (int k = 0; k < 3; k++) cursor_advance(c);
    EXPECT_EQ(c->index, 1);  // 2 + 6 = 8 -> 1
    cursor_restore(c);
    EXPECT_EQ(c->index, 2);
}

TEST(Cursor, ZeroOrNegativeLengthIsRefused) {
    Own<cursor_del> c(cursor_new());
    for (int32_t length : {0, -3}) {
        c->length = length;
        c->index = 1;
        cursor_advance(c);
        cursor_seek(c, 5);
        EXPECT_EQ(c->index, 1) << length;
    }
}

TEST(CursorX, StepsOffsetsAndTheirWrap) {
    Own<cursorx_del> c(cursorx_new());
    int32_t s1 = cursorx_step(c), s2 = cursorx_step(c), s3 = cursorx_step(c);  // in declaration order
    int32_t o1 = cursorx_step_offset(c), o2 = cursorx_step_offset(c);
    EXPECT_EQ(std::tuple(s1, s2, s3, o1, o2), std::tuple(1, 2, 3, 5, 7));
    cursorx_set(c, 10, 8, 5, 0, 0);
    EXPECT_EQ(cursorx_step(c), 3);
    c->step = -7;
    EXPECT_EQ(cursorx_step(c), 6);
    c->step = INT32_MAX;  // 6 + 2147483647 = 2147483653 -> 3
    EXPECT_EQ(cursorx_step(c), 3);
    EXPECT_EQ(c->base, 3);
}

TEST(CursorX, BaseOffsetAndModulus) {
    // base -> (stored base, value) on a modulus of 1024 and offset 0.
    const int32_t bases[][3] = {{-1024, 1024, 0}, {-1, 1023, 1023}, {2050, 2, 2}, {1023, 1023, 1023}, {-2049, 1023, 1023}};
    Own<cursorx_del> c(cursorx_new());
    for (const auto &b : bases) {
        EXPECT_EQ(cursorx_set_base(c, b[0]), b[2]) << b[0];
        EXPECT_EQ(c->base, b[1]) << b[0];
    }
    cursorx_set_base(c, 1000);
    EXPECT_EQ(cursorx_set_offset(c, 30), 6);
    EXPECT_EQ(cursorx_set_offset(c, -1010), 1014);
    EXPECT_EQ(cursorx_restart(c, 20), 20);
    EXPECT_EQ(c->offset, 0);
    cursorx_set_base(c, 100);
    EXPECT_EQ(cursorx_set_modulus(c, 30), 10);
    EXPECT_EQ(cursorx_set_modulus(c, -1), 0);  // refused
    EXPECT_EQ(c->modulus, 30);
    cursorx_set(c, 16, -3, 5, 4, 7);
    EXPECT_EQ(c->base, 13);
    EXPECT_EQ(c->value, 1);  // 17 mod 16
    EXPECT_EQ(std::make_pair(c->step, c->offset_step), std::make_pair(5, 7));
}

TEST(CursorX, CopyLeavesTheValueAndDupStartsAtZero) {
    Own<cursorx_del> a(cursorx_new()), b(cursorx_new());
    cursorx_set(a, 100, 40, 3, 5, 9);
    b->value = 77;
    cursorx_copy(a, b);
    EXPECT_EQ(std::tuple(b->modulus, b->base, b->step, b->offset, b->offset_step, b->value),
              std::tuple(100, 40, 3, 5, 9, 77));
    Own<cursorx_del> d(cursorx_dup(a));
    EXPECT_EQ(d->value, 0);
    EXPECT_EQ(cursorx_step(d), 48);
    EXPECT_EQ(cursorx_dup(nullptr), nullptr);
}

TEST(CursorX, ZeroOrNegativeModulusIsRefusedEverywhere) {
    Own<cursorx_del> c(cursorx_new());
    cursorx_set_base(c, 5);
    cursorx_set_modulus(c, 0);
    EXPECT_EQ(cursorx_step(c), 0);
    EXPECT_EQ(cursorx_set_base(c, 9), 0);
    cursorx_update(c);
    EXPECT_EQ(c->base, 5);
    EXPECT_EQ(c->value, 5);  // left from before the modulus went
    c->modulus = -4;
    EXPECT_EQ(cursorx_step(c), 0);  // a negative wrap would never settle
    EXPECT_EQ(c->base, 5);
    EXPECT_EQ(cursorx_step(nullptr) + cursorx_step_offset(nullptr) + cursorx_set_offset(nullptr, 1) +
                  cursorx_restart(nullptr, 1),
              0);
}
