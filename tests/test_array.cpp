// ARRAY: fixed-size elements held by value, doubling when full. Values are
// stored with every byte in use (v XOR 0xA5C3E100), so an element cut to
// fewer bytes anywhere reads back wrong. LIST: a growable array of handles it
// does not own; what its debug switch prints ("LIST error" for a refusal).
// Operations are table lines: the container they start from, the call, the
// container they leave. Positions and ranges outside are swept in
// test_extremes.cpp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>

#include "tests/test_support.h"
#include "vector/array.h"
#include "vector/list.h"

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

TEST(Array, OperationsAndTheirRefusals) {
    const struct { std::initializer_list<int32_t> start; std::function<void(ARRAY *)> op; const char *want; } cases[] = {
        {{}, [](ARRAY *a) { for (int i = 0; i < 5; i++) array_push(a, stored(100 + i)); }, "100 101 102 103 104/8"},
        {{}, [](ARRAY *a) { a->capacity = 0; EXPECT_TRUE(array_grow(a)); }, "/2"},
        {{1, 2}, [](ARRAY *a) { array_insert(a, stored(3), 2); }, "1 2 3/4"},
        {{1, 2, 3, 4}, [](ARRAY *a) { array_insert(a, stored(9), 0); }, "9 1 2 3 4/8"},
        {{1, 2}, [](ARRAY *a) { array_insert(a, nullptr, 0); }, "1 2/2"},
        {{1, 2, 3}, [](ARRAY *a) { array_remove(a, 0), array_remove(a, 1); }, "2/4"},
        {{1, 2, 3}, [](ARRAY *a) { array_set_count(a, 0), array_set_count(a, 2); }, "1 2/4"},
        {{1, 2, 3}, [](ARRAY *a) { array_set_count(a, 9); }, "1 2 3 Z Z Z Z Z Z/16"},  // Z: fresh zero bytes
        {{0, 1, 2, 3, 4}, [](ARRAY *a) { array_remove_range(a, 1, 3); }, "0 3 4/8"},
        {{0, 1, 2, 3, 4}, [](ARRAY *a) { array_insert_range(a, a, 3, 5, 0); }, "3 4 0 1 2 3 4/8"},
        {{0, 1, 2}, [](ARRAY *a) { Own<array_del> s(ints({7, 8})); array_insert_range(s, a, 0, 2, 3); }, "0 1 2 7 8/8"},
        {{7, 8}, [](ARRAY *a) { Own<array_del> s(ints({1, 2, 3})); array_copy(s, a); }, "1 2/2"},
    };
    for (auto &c : cases) {
        Own<array_del> array(ints(c.start));
        c.op(array);
        EXPECT_EQ(show(array), c.want);
    }
}

TEST(Array, ReadsCopiesSearchesAndElementSizes) {
    Own<array_del> array(ints({4, 8, 4, 8})), empty(array_new());
    int32_t *copy = (int32_t *)array_get_copy(array, 1), *last = (int32_t *)array_pop(array), stale;
    memcpy(&stale, array->data + 12, 4);  // the popped slot keeps its bytes
    EXPECT_EQ((std::vector<int32_t>{*copy ^ K, *last ^ K, array->count, stale ^ K}), (std::vector<int32_t>{8, 8, 3, 8}));
    free(copy), free(last);
    EXPECT_EQ(array_pop(empty), nullptr);
    int32_t eight = 8 ^ K, near = (8 | 0x100) ^ K;  // near differs in the second byte only
    EXPECT_EQ(std::make_pair(array_equals_at(array, &eight, 1), array_equals_at(array, &eight, 0)), std::make_pair(true, false));
    EXPECT_EQ(std::make_tuple(array_find(array, &eight), array_find(array, &near), array_find(array, nullptr)), std::make_tuple(1, -1, -1));
    Own<array_del> a(array_new()), bytes(array_new());
    array_set_element_size(a, 3), array_set_element_size(bytes, 1);
    for (const char *e : {"abc", "def", "ghi"}) array_push(a, e), array_push(bytes, e);
    Own<array_del> b(array_dup(a));
    EXPECT_TRUE(b->element_size == 3 && a->data != b->data && array_compare(a, b) && array_compare(nullptr, nullptr));
    b->data[8] ^= 0x80;  // the last byte of the last element
    EXPECT_FALSE(array_compare(a, b) || array_compare(a, nullptr));
    array_copy(a, bytes);  // stays inside the smaller elements
    array_insert_range(bytes, a, 0, 1, 0);  // element sizes differ: refused
    EXPECT_EQ(std::make_pair(std::string((char *)bytes->data, 3), a->count), std::make_pair(std::string("abc"), 3));
    Own<array_del> numbers(ints({0, 1, 2, 3, 4}));
    array_set_element_size(numbers, 5);  // empties, keeps the storage zeroed
    EXPECT_EQ(std::make_pair(numbers->count, numbers->capacity), std::make_pair(0, 8));
    EXPECT_EQ(std::string((char *)numbers->data, 40), std::string(40, '\0'));
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
    array_push(&array, "z");
    array_set_count(&array, INT32_MAX);
    EXPECT_EQ(std::make_pair(array.count, array.data), std::make_pair(0x40000000, &storage[0]));
    array_push(nullptr, "abcd"), array_set_count(nullptr, 0), array_set_element_size(nullptr, 4), array_remove(nullptr, 0);
    array_copy(nullptr, nullptr), array_del(nullptr);
    EXPECT_EQ(std::make_tuple(array_pop(nullptr), array_dup(nullptr), array_to_text(nullptr), array_get_copy(nullptr, 0), array_grow(nullptr), array_find(nullptr, stored(1))),
              std::make_tuple(nullptr, nullptr, nullptr, nullptr, false, -1));
}

const std::string error = "LIST error\n";
int objects[16];
void *h(int i) { return &objects[i]; }

LIST *filled(int n) {
    LIST *list = list_new();
    for (int i = 0; i < n; i++) list_push(list, h(i));
    return list;
}

// The handles as their numbers ("-" for null), then "/capacity".
std::string show(const LIST *list) {
    std::string out;
    for (int32_t i = 0; i < list->count; i++) {
        void *p = list->items[i];
        out += i ? " " : "";
        out += p ? std::to_string((int *)p - objects) : "-";
    }
    return out + "/" + std::to_string(list->capacity);
}

}  // namespace

TEST(List, OperationsAndTheirRefusals) {
    const struct { int start; std::function<void(LIST *)> op; const char *want; bool refused; } cases[] = {
        {0, [](LIST *l) { for (int i = 0; i < 5; i++) list_push(l, h(i)); }, "0 1 2 3 4/8", false},
        {0, [](LIST *l) { list_reserve(l, 0), list_grow(l), list_push(l, h(1)); }, "1/2", false},
        {0, [](LIST *l) { list_push(l, nullptr); }, "-/2", false},
        {3, [](LIST *l) { EXPECT_EQ(list_pop(l), h(2)); EXPECT_EQ(l->items[2], h(2)); }, "0 1/4", false},
        {0, [](LIST *l) { EXPECT_EQ(list_pop(l), nullptr); }, "/2", true},
        {4, [](LIST *l) { list_remove(l, 1); EXPECT_EQ(l->items[3], nullptr); }, "0 2 3/4", false},
        {2, [](LIST *l) { list_remove(l, 2); }, "0 1/2", true},
        {2, [](LIST *l) { list_insert(l, h(5), 0), list_insert(l, h(6), 2), list_insert(l, h(7), 4); }, "5 0 6 1 7/8", false},
        {2, [](LIST *l) { list_insert(l, h(3), 3); }, "0 1/2", true},
        {3, [](LIST *l) { list_set(l, h(9), 1); }, "0 9 2/4", false},
        {3, [](LIST *l) { list_set(l, h(8), 3); EXPECT_EQ(l->items[3], nullptr); }, "0 1 2/4", true},
        {3, [](LIST *l) { EXPECT_EQ(list_get(l, 3), nullptr); }, "0 1 2/4", true},
        {3, [](LIST *l) { list_push(l, h(1)); EXPECT_EQ(list_find(l, h(1)), 1); EXPECT_EQ(list_find(l, h(5)), -1); }, "0 1 2 1/4", false},
        {3, [](LIST *l) { EXPECT_EQ(list_find(l, nullptr), -1); }, "0 1 2/4", true},
        {6, [](LIST *l) { list_remove_range(l, 1, 4); }, "0 4 5/8", false},
        {3, [](LIST *l) { list_remove_range(l, 0, 4); }, "0 1 2/4", true},
        {3, [](LIST *l) { list_insert_range(l, l, 0, 3, 1); }, "0 0 1 2 1 2/8", false},
        {1, [](LIST *l) { list_set_count(l, 5); }, "0 - - - -/5", false},
        {1, [](LIST *l) { list_set_count(l, 5), list_set_count(l, 0); }, "/5", false},
        {3, [](LIST *l) { list_set_count(l, -1); }, "0 1 2/4", true},
        {3, [](LIST *l) { EXPECT_FALSE(list_reserve(l, -5)); }, "0 1 2/4", true},
        {3, [](LIST *l) { EXPECT_FALSE(list_reserve(l, 2)); }, "0 1 2/4", true},
    };
    for (auto &c : cases) {
        Own<list_del> list(filled(c.start));
        EXPECT_EQ(printed([&] { c.op(list); }), c.refused ? error : "") << c.want;
        EXPECT_EQ(show(list), c.want);
    }
}

TEST(List, RangesBetweenListsAndComparison) {
    Own<list_del> five(filled(5)), target(list_new()), middle(filled(3)), part(list_extract(five, 1, 4)), copy(list_dup(five));
    list_insert_range(five, target, 1, 4, 0);
    list_insert_range(five, middle, 0, 2, 1);
    EXPECT_EQ(show(target) + " " + show(middle) + " " + show(part), "1 2 3/4 0 0 1 1 2/8 1 2 3/4");
    EXPECT_NE(copy->items, five->items);
    // Refused ranges (swept in test_extremes.cpp) and missing lists say so.
    EXPECT_EQ(printed([&] { EXPECT_EQ(list_extract(five, 2, 2), nullptr); }), error);
    EXPECT_EQ(printed([&] { list_insert_range(five, nullptr, 0, 1, 0), list_insert_range(nullptr, target, 0, 1, 0); }), error + error);
    // Lists are equal when they hold the same handles in the same order.
    EXPECT_EQ(printed([&] {
                  EXPECT_TRUE(list_compare(copy, five) && list_compare(nullptr, nullptr));
                  EXPECT_FALSE(list_compare(five, nullptr));
                  list_set(copy, h(7), 2);
                  EXPECT_FALSE(list_compare(five, copy));
                  list_set(copy, h(2), 2), list_pop(copy);
                  EXPECT_FALSE(list_compare(five, copy));
              }),
              "");
}

TEST(List, GrowthBeyond32BitsAndNullArgumentsAreRefused) {
    LIST huge = {0x40000000, 0, nullptr};
    EXPECT_EQ(printed([&] { EXPECT_FALSE(list_grow(&huge)); }), error);
    huge.count = 0x40000000;
    EXPECT_EQ(printed([&] { list_push(&huge, h(0)); }), error);
    EXPECT_EQ(huge.count, 0x40000000);
    const std::function<void()> calls[] = {
        [] { list_push(nullptr, h(0)); },           [] { EXPECT_EQ(list_pop(nullptr), nullptr); },
        [] { EXPECT_EQ(list_get(nullptr, 0), nullptr); }, [] { EXPECT_EQ(list_find(nullptr, h(0)), -1); },
        [] { EXPECT_EQ(list_dup(nullptr), nullptr); },    [] { EXPECT_FALSE(list_reserve(nullptr, 4)); },
        [] { EXPECT_FALSE(list_grow(nullptr)); },         [] { list_insert(nullptr, h(0), 0); },
        [] { list_remove(nullptr, 0); },                  [] { list_set(nullptr, h(0), 0); },
        [] { LIST *none = nullptr; list_del(&none); },
    };
    for (auto &call : calls) EXPECT_EQ(printed(call), error);
    EXPECT_EQ(printed([] { list_set_count(nullptr, 3); }), "");
    LIST *list = list_new();
    EXPECT_EQ(printed([&] { list_del(&list); }), "");
    EXPECT_EQ(list, nullptr);
}
