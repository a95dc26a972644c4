// LIST: a growable array of handles it does not own. Each operation is one
// line of a table: the list it starts from, the call, the list it leaves and
// what the built-in debug switch prints ("LIST error" for a refusal).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "tests/test_support.h"
#include "vector/list.h"

namespace {

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
