// ARRAY: a growable array of fixed-size elements stored by value. Its debug
// switch is off, so bad arguments print nothing; they give neutral values.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/test_support.h"
#include "vector/array.h"

// An array of 4-byte elements holding the given values.
// Values are stored with every byte in use (v XOR 0xA5C3E100), so that an
// element cut to fewer bytes anywhere reads back wrong.
static const int32_t K = (int32_t)0xA5C3E100u;

static ARRAY *ints(std::initializer_list<int32_t> values) {
    ARRAY *array = array_new();
    for (int32_t v : values) {
        int32_t stored = v ^ K;
        array_push(array, &stored);
    }
    return array;
}

// The value at i, or -999 when nothing is read.
static int32_t at(const ARRAY *array, int32_t i) {
    int32_t v = -999 ^ K;
    array_get(array, &v, i);
    return v ^ K;
}

TEST(Array, FivePushesGrowTwoFourEight) {
    Own<array_del> array(array_new());
    int32_t capacities[5];
    for (int32_t i = 0; i < 5; i++) {
        int32_t v = (100 + i) ^ K;
        array_push(array, &v);
        capacities[i] = array->capacity;
    }
    EXPECT_EQ(capacities[0], 2);
    EXPECT_EQ(capacities[1], 2);
    EXPECT_EQ(capacities[2], 4);
    EXPECT_EQ(capacities[3], 4);
    EXPECT_EQ(capacities[4], 8);
    ASSERT_EQ(array->count, 5);
    for (int32_t i = 0; i < 5; i++) EXPECT_EQ(at(array, i), 100 + i);
}

TEST(Array, GrowFromZeroCapacityGivesTwo) {
    Own<array_del> array(array_new());
    array->capacity = 0;  // a capacity below 1 counts as 1 before doubling
    EXPECT_TRUE(array_grow(array));
    EXPECT_EQ(array->capacity, 2);
}

TEST(Array, InsertAtCountIsPush) {
    Own<array_del> array(ints({1, 2}));
    int32_t v = 3 ^ K;
    array_insert(array, &v, 2);
    ASSERT_EQ(array->count, 3);
    EXPECT_EQ(at(array, 0), 1);
    EXPECT_EQ(at(array, 1), 2);
    EXPECT_EQ(at(array, 2), 3);
    EXPECT_EQ(array->capacity, 4);
}

TEST(Array, InsertAtZeroShiftsEverything) {
    Own<array_del> array(ints({1, 2, 3, 4}));
    int32_t v = 9 ^ K;
    array_insert(array, &v, 0);
    ASSERT_EQ(array->count, 5);
    const int32_t expected[5] = {9, 1, 2, 3, 4};
    for (int32_t i = 0; i < 5; i++) EXPECT_EQ(at(array, i), expected[i]) << i;
}

TEST(Array, InsertOutOfRangeChangesNothing) {
    Own<array_del> array(ints({1, 2}));
    int32_t v = 9 ^ K;
    array_insert(array, &v, 3);
    array_insert(array, &v, -1);
    array_insert(array, nullptr, 0);
    EXPECT_EQ(array->count, 2);
    EXPECT_EQ(at(array, 0), 1);
}

TEST(Array, RemoveMovesDownAndKeepsFreedBytes) {
    Own<array_del> array(ints({1, 2, 3}));
    array_remove(array, 0);
    ASSERT_EQ(array->count, 2);
    EXPECT_EQ(at(array, 0), 2);
    EXPECT_EQ(at(array, 1), 3);
    int32_t stale;
    memcpy(&stale, array->data + 8, 4);
    EXPECT_EQ(stale ^ K, 3);
    array_remove(array, 2);
    array_remove(array, -1);
    EXPECT_EQ(array->count, 2);
}

TEST(Array, PopCopiesLastElement) {
    Own<array_del> array(ints({5, 6}));
    int32_t *last = (int32_t *)array_pop(array);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(*last ^ K, 6);
    EXPECT_EQ(array->count, 1);
    free(last);
}

TEST(Array, PopOnEmptyGivesNullSilently) {
    Own<array_del> array(array_new());
    void *got = array;
    EXPECT_EQ(printed([&] { got = array_pop(array); }), "");
    EXPECT_EQ(got, nullptr);
}

TEST(Array, GetSetCheckIndex) {
    Own<array_del> array(ints({1, 2, 3}));
    int32_t v = 7 ^ K;
    array_set(array, &v, 1);
    EXPECT_EQ(at(array, 1), 7);
    array_set(array, &v, 3);  // past the count, inside the storage: nothing written
    int32_t beyond;
    memcpy(&beyond, array->data + 12, 4);
    EXPECT_EQ(beyond, 0);
    EXPECT_EQ(at(array, 3), -999);
    EXPECT_EQ(at(array, -1), -999);
    array_get(array, nullptr, 0);
}

TEST(Array, GetCopy) {
    Own<array_del> array(ints({11, 22}));
    int32_t *copy = (int32_t *)array_get_copy(array, 1);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(*copy ^ K, 22);
    free(copy);
    EXPECT_EQ(array_get_copy(array, 2), nullptr);
    EXPECT_EQ(array_get_copy(nullptr, 0), nullptr);
}

TEST(Array, EqualsAt) {
    Own<array_del> array(ints({11, 22}));
    int32_t v = 22 ^ K;
    EXPECT_TRUE(array_equals_at(array, &v, 1));
    EXPECT_FALSE(array_equals_at(array, &v, 0));
    EXPECT_FALSE(array_equals_at(array, &v, 2));
    EXPECT_FALSE(array_equals_at(array, nullptr, 0));
}

TEST(Array, FindGivesLowestIndexOrMinusOne) {
    Own<array_del> array(ints({4, 8, 4, 8}));
    int32_t v = 8 ^ K;
    EXPECT_EQ(array_find(array, &v), 1);
    v = 5 ^ K;
    EXPECT_EQ(array_find(array, &v), -1);
    EXPECT_EQ(array_find(array, nullptr), -1);
    EXPECT_EQ(array_find(nullptr, &v), -1);
}

TEST(Array, SetElementSizeEmptiesAndKeepsCapacity) {
    Own<array_del> array(ints({1, 2, 3}));
    ASSERT_EQ(array->capacity, 4);
    array_set_element_size(array, 5);
    EXPECT_EQ(array->element_size, 5u);
    EXPECT_EQ(array->count, 0);
    EXPECT_EQ(array->capacity, 4);
    const uint8_t zero[20] = {0};
    EXPECT_EQ(memcmp(array->data, zero, 20), 0);
}

TEST(Array, SetElementSizeRefusesOverflowAndZero) {
    Own<array_del> array(ints({1, 2, 3}));
    // Four slots of 2^30 bytes would overflow: nothing changes.
    array_set_element_size(array, 0x40000000u);
    array_set_element_size(array, 0);
    EXPECT_EQ(array->element_size, 4u);
    EXPECT_EQ(array->count, 3);
    EXPECT_EQ(at(array, 2), 3);
}

TEST(Array, CompareCases) {
    ARRAY *a = array_new();
    ARRAY *b = array_new();
    EXPECT_TRUE(array_compare(a, b));  // distinct, empty, equal sizes
    EXPECT_TRUE(array_compare(a, a));
    EXPECT_TRUE(array_compare(nullptr, nullptr));
    EXPECT_FALSE(array_compare(a, nullptr));
    EXPECT_FALSE(array_compare(nullptr, a));
    array_set_element_size(b, 8);
    EXPECT_FALSE(array_compare(a, b));
    array_del(&a);
    array_del(&b);
    a = ints({1, 2, 3});
    b = ints({1, 2, 3});
    EXPECT_TRUE(array_compare(a, b));
    int32_t v = 9;
    array_set(b, &v, 2);
    EXPECT_FALSE(array_compare(a, b));
    array_del(&a);
    array_del(&b);
}

TEST(Array, DupCopiesEveryElement) {
    Own<array_del> a(array_new());
    array_set_element_size(a, 3);
    array_push(a, "abc");
    array_push(a, "def");
    array_push(a, "ghi");
    Own<array_del> b(array_dup(a));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->element_size, 3u);
    EXPECT_EQ(b->count, 3);
    EXPECT_NE(a->data, b->data);
    EXPECT_TRUE(array_compare(a, b));
    EXPECT_EQ(array_dup(nullptr), nullptr);
}

TEST(Array, CopyTakesTheShorterCount) {
    Own<array_del> source(ints({1, 2, 3}));
    Own<array_del> target(ints({7, 8}));
    array_copy(source, target);
    EXPECT_EQ(target->count, 2);
    EXPECT_EQ(at(target, 0), 1);
    EXPECT_EQ(at(target, 1), 2);
}

TEST(Array, CopyStaysInsideASmallerTarget) {
    // Source elements of 8 bytes into a target of 1-byte elements: only the
    // target's own storage (2 bytes) is written.
    Own<array_del> source(array_new());
    array_set_element_size(source, 8);
    array_push(source, "ABCDEFGH");
    array_push(source, "IJKLMNOP");
    Own<array_del> target(array_new());
    array_set_element_size(target, 1);
    array_push(target, "x");
    array_push(target, "y");
    array_copy(source, target);
    EXPECT_EQ(memcmp(target->data, "AB", 2), 0);
}

TEST(Array, SetCountEmptiesAndGrowsWhenAskedForMore) {
    Own<array_del> array(ints({1, 2, 3}));
    array_set_count(array, 0);
    EXPECT_EQ(array->count, 0);
    EXPECT_EQ(array->capacity, 4);
    array_set_count(array, 2);
    EXPECT_EQ(at(array, 1), 2);  // the storage kept its bytes
    array_set_count(array, 9);
    EXPECT_EQ(array->count, 9);
    EXPECT_EQ(array->capacity, 16);
    EXPECT_EQ(at(array, 8), K);  // fresh storage holds 0
    array_set_count(array, -1);
    EXPECT_EQ(array->count, 9);
}

TEST(Array, GrowthOverflowActsAsFailedAllocation) {
    uint8_t storage[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    // 2^30 elements of one byte: doubling would pass 2^31 - 1 bytes.
    ARRAY array = {1, 0x40000000, 0x40000000, storage};
    EXPECT_FALSE(array_grow(&array));
    EXPECT_EQ(array.capacity, 0x40000000);
    EXPECT_EQ(array.data, storage);
    array_push(&array, "z");
    EXPECT_EQ(array.count, 0x40000000);
    array_set_count(&array, INT32_MAX);
    EXPECT_EQ(array.count, 0x40000000);
}

TEST(Array, ToTextHoldsTheBytes) {
    Own<array_del> array(array_new());
    array_set_element_size(array, 2);
    array_push(array, "hi");
    array_push(array, "yo");
    char *text = array_to_text(array);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "ARRAY{\nhiyo\n}\n");
    free(text);
}

TEST(Array, ToTextOfHugeRecordFails) {
    uint8_t storage[4] = {0};
    ARRAY array = {0x10000, 0x10000, 0x10000, storage};  // 2^32 bytes claimed
    EXPECT_EQ(array_to_text(&array), nullptr);
    array.count = -1;
    EXPECT_EQ(array_to_text(&array), nullptr);
    EXPECT_EQ(array_to_text(nullptr), nullptr);
}

TEST(Array, SelfTestPrintsItsSteps) {
    std::string out = printed([] { array_self_test(); });
    EXPECT_EQ(out,
              "Creation of new ARRAY...done!\n"
              "Setting size of element...done!\n"
              "Pushing 4 elements...done!\n"
              "ARRAY{\nRIVO arrayRIVO array\n}\n\n"
              "Inserting 1 element at 0...done!\n"
              "ARRAY{\nHelloRIVO arrayRIVO array\n}\n\n"
              "Deleting 1 element at 2...done!\n"
              "ARRAY{\nHelloRIVO RIVO array\n}\n\n");
}

TEST(Array, ExtractRemoveAndInsertRanges) {
    Own<array_del> array(ints({0, 1, 2, 3, 4}));
    Own<array_del> part(array_extract(array, 1, 4));
    ASSERT_NE(part, nullptr);
    ASSERT_EQ(part->count, 3);
    EXPECT_EQ(at(part, 0), 1);
    EXPECT_EQ(at(part, 2), 3);
    array_remove_range(array, 1, 3);  // 0 3 4
    ASSERT_EQ(array->count, 3);
    EXPECT_EQ(at(array, 1), 3);
    array_insert_range(part, array, 0, 2, 1);  // 0 1 2 3 4
    ASSERT_EQ(array->count, 5);
    for (int32_t i = 0; i < 5; i++) EXPECT_EQ(at(array, i), i);
    array_insert_range(array, array, 3, 5, 0);  // into itself: 3 4 0 1 2 3 4
    ASSERT_EQ(array->count, 7);
    const int32_t expected[7] = {3, 4, 0, 1, 2, 3, 4};
    for (int32_t i = 0; i < 7; i++) EXPECT_EQ(at(array, i), expected[i]) << i;
}

TEST(Array, RangeChecks) {
    Own<array_del> array(ints({0, 1, 2}));
    EXPECT_EQ(array_extract(array, 2, 2), nullptr);
    EXPECT_EQ(array_extract(array, 0, 4), nullptr);
    array_remove_range(array, -1, 2);
    array_insert_range(array, array, 0, 1, 4);
    Own<array_del> bytes(array_new());
    array_set_element_size(bytes, 1);
    array_push(bytes, "q");
    array_insert_range(bytes, array, 0, 1, 0);  // element sizes differ
    EXPECT_EQ(array->count, 3);
}

TEST(Array, NullArgumentsGiveNeutralValues) {
    EXPECT_EQ(printed([] {
                  array_push(nullptr, "abcd");
                  EXPECT_EQ(array_pop(nullptr), nullptr);
                  EXPECT_FALSE(array_grow(nullptr));
                  array_set_count(nullptr, 0);
                  array_set_element_size(nullptr, 4);
                  array_remove(nullptr, 0);
                  array_copy(nullptr, nullptr);
                  Own<array_del> none(nullptr);
                  array_del(nullptr);
              }),
              "");
}

TEST(Array, DelTwiceFreesOnce) {
    ARRAY *array = array_new();
    array_del(&array);
    EXPECT_EQ(array, nullptr);
    array_del(&array);
    EXPECT_EQ(array, nullptr);
}
