// ARRAY: fixed-size elements held by value, doubling when full. Values are
// stored with every byte in use (v XOR 0xA5C3E100), so an element cut to
// fewer bytes anywhere reads back wrong. Operations are table lines: the
// array they start from, the call, the array they leave.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "tests/test_support.h"
#include "vector/array.h"

namespace {

const int32_t K = (int32_t)0xA5C3E100u;

ARRAY *ints(std::initializer_list<int32_t> values) {
    ARRAY *array = array_new();
    for (int32_t v : values) {
        int32_t stored = v ^ K;
        array_push(array, &stored);
    }
    return array;
}

// The value at i, or -999 when nothing is read.
int32_t at(const ARRAY *array, int32_t i) {
    int32_t v = -999 ^ K;
    array_get(array, &v, i);
    return v ^ K;
}

// The values ("Z" for zero bytes), then "/capacity".
std::string show(const ARRAY *array) {
    std::string out;
    for (int32_t i = 0; i < array->count; i++) {
        int32_t v = at(array, i);
        out += i ? " " : "";
        out += v == K ? std::string("Z") : std::to_string(v);
    }
    return out + "/" + std::to_string(array->capacity);
}

int32_t *stored(int32_t v) {
    static int32_t slot;
    slot = v ^ K;
    return &slot;
}

}  // namespace

TEST(Array, OperationsAndTheirRefusals) {
    const struct {
        std::initializer_list<int32_t> start;
        std::function<void(ARRAY *)> op;
        const char *want;
    } cases[] = {
        {{}, [](ARRAY *a) { for (int i = 0; i < 5; i++) array_push(a, stored(100 + i)); }, "100 101 102 103 104/8"},
        {{}, [](ARRAY *a) { a->capacity = 0; EXPECT_TRUE(array_grow(a)); }, "/2"},
        {{1, 2}, [](ARRAY *a) { array_insert(a, stored(3), 2); }, "1 2 3/4"},
        {{1, 2, 3, 4}, [](ARRAY *a) { array_insert(a, stored(9), 0); }, "9 1 2 3 4/8"},
        {{1, 2}, [](ARRAY *a) { array_insert(a, stored(9), 3), array_insert(a, stored(9), -1), array_insert(a, nullptr, 0); }, "1 2/2"},
        {{1, 2, 3}, [](ARRAY *a) { array_remove(a, 0), array_remove(a, 2), array_remove(a, -1); }, "2 3/4"},
        {{1, 2, 3}, [](ARRAY *a) { array_set(a, stored(7), 1), array_set(a, stored(7), 3); }, "1 7 3/4"},
        {{1, 2, 3}, [](ARRAY *a) { array_set_count(a, 0), array_set_count(a, 2); }, "1 2/4"},
        {{1, 2, 3}, [](ARRAY *a) { array_set_count(a, 9), array_set_count(a, -1); }, "1 2 3 Z Z Z Z Z Z/16"},  // Z: fresh zero bytes
        {{1, 2, 3}, [](ARRAY *a) { array_set_element_size(a, 0x40000000u), array_set_element_size(a, 0); }, "1 2 3/4"},
        {{0, 1, 2, 3, 4}, [](ARRAY *a) { array_remove_range(a, 1, 3); }, "0 3 4/8"},
        {{0, 1, 2, 3, 4}, [](ARRAY *a) { array_insert_range(a, a, 3, 5, 0); }, "3 4 0 1 2 3 4/8"},
        {{0, 1, 2}, [](ARRAY *a) { array_remove_range(a, -1, 2), array_insert_range(a, a, 0, 1, 4); }, "0 1 2/4"},
        {{7, 8}, [](ARRAY *a) { Own<array_del> s(ints({1, 2, 3})); array_copy(s, a); }, "1 2/2"},
    };
    for (auto &c : cases) {
        Own<array_del> array(ints(c.start));
        c.op(array);
        EXPECT_EQ(show(array), c.want);
    }
}

TEST(Array, ReadsCopiesAndSearches) {
    Own<array_del> array(ints({4, 8, 4, 8}));
    EXPECT_EQ(at(array, 4), -999);
    EXPECT_EQ(at(array, -1), -999);
    int32_t *copy = (int32_t *)array_get_copy(array, 1);
    EXPECT_EQ(*copy ^ K, 8);
    free(copy);
    int32_t *last = (int32_t *)array_pop(array);
    EXPECT_EQ(*last ^ K, 8);
    free(last);
    EXPECT_EQ(array->count, 3);
    int32_t stale;  // the freed slot keeps its bytes
    memcpy(&stale, array->data + 12, 4);
    EXPECT_EQ(stale ^ K, 8);
    EXPECT_EQ(array_get_copy(array, 3), nullptr);
    EXPECT_TRUE(array_equals_at(array, stored(8), 1));
    EXPECT_FALSE(array_equals_at(array, stored(8), 0));
    EXPECT_FALSE(array_equals_at(array, stored(8), 3));
    EXPECT_EQ(array_find(array, stored(8)), 1);
    EXPECT_EQ(array_find(array, stored(8 | 0x100)), -1);  // differs in the second byte only
    EXPECT_EQ(array_find(array, nullptr), -1);
    Own<array_del> empty(array_new());
    EXPECT_EQ(printed([&] { EXPECT_EQ(array_pop(empty), nullptr); }), "");
}

TEST(Array, ElementSizesDupCompareAndExtract) {
    Own<array_del> a(array_new());
    array_set_element_size(a, 3);
    for (const char *e : {"abc", "def", "ghi"}) array_push(a, e);
    Own<array_del> b(array_dup(a));
    EXPECT_EQ(b->element_size, 3u);
    EXPECT_NE(a->data, b->data);
    EXPECT_TRUE(array_compare(a, b));
    b->data[8] ^= 0x80;  // the last byte of the last element
    EXPECT_FALSE(array_compare(a, b));
    EXPECT_FALSE(array_compare(a, nullptr));
    EXPECT_TRUE(array_compare(nullptr, nullptr));
    Own<array_del> bytes(array_new());
    array_set_element_size(bytes, 1);
    array_push(bytes, "x");
    array_push(bytes, "y");
    array_copy(a, bytes);  // stays inside the smaller elements
    EXPECT_EQ(memcmp(bytes->data, "ab", 2), 0);
    array_insert_range(bytes, a, 0, 1, 0);  // element sizes differ: refused
    EXPECT_EQ(a->count, 3);
    Own<array_del> numbers(ints({0, 1, 2, 3, 4}));
    Own<array_del> part(array_extract(numbers, 1, 4));
    EXPECT_EQ(show(part), "1 2 3/4");
    EXPECT_EQ(array_extract(numbers, 2, 2), nullptr);
    EXPECT_EQ(array_extract(numbers, 0, 6), nullptr);
    array_set_element_size(numbers, 5);  // empties, keeps the storage
    EXPECT_EQ(numbers->count, 0);
    EXPECT_EQ(numbers->capacity, 8);
    const uint8_t zero[40] = {0};
    EXPECT_EQ(memcmp(numbers->data, zero, 40), 0);
}

TEST(Array, TextFormAndSelfTest) {
    Own<array_del> array(array_new());
    array_set_element_size(array, 2);
    array_push(array, "hi");
    array_push(array, "\xA5\xC3");
    char *text = array_to_text(array);
    EXPECT_STREQ(text, "ARRAY{\nhi\xA5\xC3\n}\n");
    free(text);
    uint8_t storage[4] = {0};
    ARRAY huge = {0x10000, 0x10000, 0x10000, storage};  // 2^32 bytes claimed
    EXPECT_EQ(array_to_text(&huge), nullptr);
    huge.count = -1;
    EXPECT_EQ(array_to_text(&huge), nullptr);
    EXPECT_EQ(printed([] { array_self_test(); }),
              "Creation of new ARRAY...done!\nSetting size of element...done!\nPushing 4 elements...done!\n"
              "ARRAY{\nRIVO arrayRIVO array\n}\n\nInserting 1 element at 0...done!\n"
              "ARRAY{\nHelloRIVO arrayRIVO array\n}\n\nDeleting 1 element at 2...done!\n"
              "ARRAY{\nHelloRIVO RIVO array\n}\n\n");
}

TEST(Array, OverflowingGrowthAndNullArgumentsAreRefused) {
    uint8_t storage[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ARRAY array = {1, 0x40000000, 0x40000000, storage};
    EXPECT_FALSE(array_grow(&array));
    EXPECT_EQ(array.data, storage);
    array_push(&array, "z");
    array_set_count(&array, INT32_MAX);
    EXPECT_EQ(array.count, 0x40000000);
    EXPECT_EQ(printed([] {
                  array_push(nullptr, "abcd");
                  EXPECT_EQ(array_pop(nullptr), nullptr);
                  EXPECT_FALSE(array_grow(nullptr));
                  EXPECT_EQ(array_dup(nullptr), nullptr);
                  EXPECT_EQ(array_to_text(nullptr), nullptr);
                  EXPECT_EQ(array_get_copy(nullptr, 0), nullptr);
                  EXPECT_EQ(array_find(nullptr, stored(1)), -1);
                  array_set_count(nullptr, 0), array_set_element_size(nullptr, 4), array_remove(nullptr, 0);
                  array_copy(nullptr, nullptr), array_del(nullptr);
              }),
              "");
    ARRAY *a = array_new();
    array_del(&a);
    EXPECT_EQ(a, nullptr);
    array_del(&a);
}
