// LIST: a growable list of handles it does not own. Its debug switch is on,
// so every bad argument prints "LIST error\n", which these tests capture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/test_support.h"
#include "vector/list.h"

static const std::string error = "LIST error\n";

// Distinct handles: addresses of the elements of a static array.
static int objects[16];
static void *h(int i) { return &objects[i]; }

// A list holding h(0) .. h(n - 1).
static LIST *filled(int n) {
    LIST *list = list_new();
    for (int i = 0; i < n; i++) list_push(list, h(i));
    return list;
}

TEST(List, NewHasCapacityTwo) {
    LIST *list = list_new();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->capacity, 2);
    EXPECT_EQ(list->count, 0);
    EXPECT_EQ(list->items[0], nullptr);
    EXPECT_EQ(list->items[1], nullptr);
    list_del(&list);
    EXPECT_EQ(list, nullptr);
}

TEST(List, PushDoublesWhenFull) {
    Own<list_del> list(list_new());
    list_push(list, h(0));
    list_push(list, h(1));
    EXPECT_EQ(list->capacity, 2);
    list_push(list, h(2));
    EXPECT_EQ(list->capacity, 4);
    list_push(list, h(3));
    list_push(list, h(4));
    EXPECT_EQ(list->capacity, 8);
    EXPECT_EQ(list->count, 5);
    for (int i = 0; i < 5; i++) EXPECT_EQ(list_get(list, i), h(i));
}

TEST(List, GrowFromCapacityZeroGivesTwo) {
    Own<list_del> list(list_new());
    ASSERT_TRUE(list_reserve(list, 0));
    EXPECT_EQ(list->capacity, 0);
    EXPECT_TRUE(list_grow(list));
    EXPECT_EQ(list->capacity, 2);
    list_push(list, h(1));
    EXPECT_EQ(list_get(list, 0), h(1));
}

TEST(List, PushStoresNullHandles) {
    Own<list_del> list(list_new());
    list_push(list, nullptr);
    EXPECT_EQ(list->count, 1);
    std::string out = printed([&] { EXPECT_EQ(list_get(list, 0), nullptr); });
    EXPECT_EQ(out, "");
}

TEST(List, PopReturnsLastAndLeavesSlot) {
    Own<list_del> list(filled(3));
    EXPECT_EQ(list_pop(list), h(2));
    EXPECT_EQ(list->count, 2);
    EXPECT_EQ(list->items[2], h(2));
}

TEST(List, PopOnEmptyReports) {
    Own<list_del> list(list_new());
    void *got = h(9);
    EXPECT_EQ(printed([&] { got = list_pop(list); }), error);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(list->count, 0);
}

TEST(List, RemoveClearsSlotPastCount) {
    Own<list_del> list(filled(4));
    list_remove(list, 1);
    ASSERT_EQ(list->count, 3);
    EXPECT_EQ(list->items[0], h(0));
    EXPECT_EQ(list->items[1], h(2));
    EXPECT_EQ(list->items[2], h(3));
    EXPECT_EQ(list->items[3], nullptr);
}

TEST(List, RemoveOutOfRangeReports) {
    Own<list_del> list(filled(2));
    EXPECT_EQ(printed([&] { list_remove(list, 2); }), error);
    EXPECT_EQ(printed([&] { list_remove(list, -1); }), error);
    EXPECT_EQ(list->count, 2);
}

TEST(List, InsertAtFrontMiddleAndEnd) {
    Own<list_del> list(filled(2)); // 0 1
    list_insert(list, h(5), 0);  // 5 0 1
    list_insert(list, h(6), 2);  // 5 0 6 1
    list_insert(list, h(7), 4);  // 5 0 6 1 7
    void *expected[5] = {h(5), h(0), h(6), h(1), h(7)};
    ASSERT_EQ(list->count, 5);
    for (int i = 0; i < 5; i++) EXPECT_EQ(list_get(list, i), expected[i]) << i;
    EXPECT_EQ(list->capacity, 8);
}

TEST(List, InsertOutOfRangeReports) {
    Own<list_del> list(filled(2));
    EXPECT_EQ(printed([&] { list_insert(list, h(3), 3); }), error);
    EXPECT_EQ(printed([&] { list_insert(list, h(3), -1); }), error);
    EXPECT_EQ(list->count, 2);
}

TEST(List, GetAndSetCheckIndex) {
    Own<list_del> list(filled(3));
    list_set(list, h(9), 1);
    EXPECT_EQ(list_get(list, 1), h(9));
    void *got = h(0);
    EXPECT_EQ(printed([&] { got = list_get(list, 3); }), error);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(printed([&] { got = list_get(list, -1); }), error);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(printed([&] { list_set(list, h(8), 3); }), error);
    EXPECT_EQ(list->items[3], nullptr);
}

TEST(List, FindGivesLowestIndex) {
    Own<list_del> list(filled(3));
    list_push(list, h(1));
    EXPECT_EQ(list_find(list, h(1)), 1);
    EXPECT_EQ(list_find(list, h(5)), -1);
    int32_t got = 0;
    EXPECT_EQ(printed([&] { got = list_find(list, nullptr); }), error);
    EXPECT_EQ(got, -1);
}

TEST(List, CompareByHandleIdentity) {
    Own<list_del> a(filled(3));
    Own<list_del> b(filled(3));
    std::string out = printed([&] {
        EXPECT_TRUE(list_compare(a, b));
        EXPECT_TRUE(list_compare(a, a));
        EXPECT_TRUE(list_compare(nullptr, nullptr));
        EXPECT_FALSE(list_compare(a, nullptr));
        EXPECT_FALSE(list_compare(nullptr, b));
        list_set(b, h(7), 2);
        EXPECT_FALSE(list_compare(a, b));
        list_pop(b);
        EXPECT_FALSE(list_compare(a, b));
    });
    EXPECT_EQ(out, "");
}

TEST(List, DupIsShallow) {
    Own<list_del> a(filled(5));
    Own<list_del> b(list_dup(a));
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a->items, b->items);
    EXPECT_TRUE(list_compare(a, b));
    Own<list_del> empty(list_new());
    Own<list_del> copy(list_dup(empty));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->count, 0);
}

TEST(List, ExtractRange) {
    Own<list_del> a(filled(5));
    Own<list_del> part(list_extract(a, 1, 4));
    ASSERT_NE(part, nullptr);
    ASSERT_EQ(part->count, 3);
    EXPECT_EQ(list_get(part, 0), h(1));
    EXPECT_EQ(list_get(part, 1), h(2));
    EXPECT_EQ(list_get(part, 2), h(3));
    EXPECT_EQ(a->count, 5);
}

TEST(List, ExtractBadRangeReports) {
    Own<list_del> a(filled(3));
    LIST *part = a;
    EXPECT_EQ(printed([&] { part = list_extract(a, 2, 2); }), error);
    EXPECT_EQ(part, nullptr);
    EXPECT_EQ(printed([&] { part = list_extract(a, -1, 2); }), error);
    EXPECT_EQ(printed([&] { part = list_extract(a, 1, 4); }), error);
    EXPECT_EQ(part, nullptr);
}

TEST(List, RemoveRange) {
    Own<list_del> a(filled(6));
    list_remove_range(a, 1, 4);
    ASSERT_EQ(a->count, 3);
    EXPECT_EQ(list_get(a, 0), h(0));
    EXPECT_EQ(list_get(a, 1), h(4));
    EXPECT_EQ(list_get(a, 2), h(5));
    EXPECT_EQ(printed([&] { list_remove_range(a, 0, 4); }), error);
    EXPECT_EQ(a->count, 3);
}

TEST(List, InsertRangeIntoEmptyTarget) {
    Own<list_del> source(filled(5));
    Own<list_del> target(list_new());
    list_insert_range(source, target, 1, 4, 0);
    ASSERT_EQ(target->count, 3);
    EXPECT_EQ(list_get(target, 0), h(1));
    EXPECT_EQ(list_get(target, 1), h(2));
    EXPECT_EQ(list_get(target, 2), h(3));
    EXPECT_EQ(target->capacity, 4);
}

TEST(List, InsertRangeInTheMiddle) {
    Own<list_del> source(filled(3));
    Own<list_del> target(list_new());
    list_push(target, h(10));
    list_push(target, h(11));
    list_push(target, h(12));
    list_insert_range(source, target, 0, 2, 1);  // 10 0 1 11 12
    void *expected[5] = {h(10), h(0), h(1), h(11), h(12)};
    ASSERT_EQ(target->count, 5);
    for (int i = 0; i < 5; i++) EXPECT_EQ(list_get(target, i), expected[i]) << i;
}

TEST(List, InsertRangeIntoItself) {
    Own<list_del> a(filled(3)); // 0 1 2
    list_insert_range(a, a, 0, 3, 1);  // 0 0 1 2 1 2
    void *expected[6] = {h(0), h(0), h(1), h(2), h(1), h(2)};
    ASSERT_EQ(a->count, 6);
    for (int i = 0; i < 6; i++) EXPECT_EQ(list_get(a, i), expected[i]) << i;
}

TEST(List, InsertRangeBadArgumentsReport) {
    Own<list_del> source(filled(3));
    Own<list_del> target(filled(2));
    EXPECT_EQ(printed([&] { list_insert_range(source, target, 0, 2, 3); }), error);
    EXPECT_EQ(printed([&] { list_insert_range(source, target, 2, 1, 0); }), error);
    EXPECT_EQ(printed([&] { list_insert_range(source, nullptr, 0, 1, 0); }), error);
    EXPECT_EQ(printed([&] { list_insert_range(nullptr, target, 0, 1, 0); }), error);
    EXPECT_EQ(target->count, 2);
}

TEST(List, SetCountReservesExactly) {
    Own<list_del> list(filled(1));
    list_set_count(list, 5);
    EXPECT_EQ(list->count, 5);
    EXPECT_EQ(list->capacity, 5);
    EXPECT_EQ(list_get(list, 0), h(0));
    EXPECT_EQ(list_get(list, 4), nullptr);
    list_set_count(list, 0);
    EXPECT_EQ(list->count, 0);
    EXPECT_EQ(list->capacity, 5);
}

TEST(List, SetCountOnNullIsSilent) {
    EXPECT_EQ(printed([] { list_set_count(nullptr, 3); }), "");
}

TEST(List, NegativeSizesActAsFailedAllocation) {
    Own<list_del> list(filled(3));
    bool ok = true;
    EXPECT_EQ(printed([&] { list_set_count(list, -1); }), error);
    EXPECT_EQ(printed([&] { ok = list_reserve(list, -5); }), error);
    EXPECT_FALSE(ok);
    // Fewer slots than handles in use would drop handles.
    EXPECT_EQ(printed([&] { ok = list_reserve(list, 2); }), error);
    EXPECT_FALSE(ok);
    EXPECT_EQ(list->count, 3);
    EXPECT_EQ(list->capacity, 4);
    EXPECT_EQ(list_get(list, 2), h(2));
}

TEST(List, GrowBeyond32BitsFails) {
    // A capacity whose double overflows never reaches the allocator.
    LIST list = {0x40000000, 0, nullptr};
    bool ok = true;
    EXPECT_EQ(printed([&] { ok = list_grow(&list); }), error);
    EXPECT_FALSE(ok);
    EXPECT_EQ(list.capacity, 0x40000000);
    // A push into such a full list stores nothing.
    list.count = 0x40000000;
    EXPECT_EQ(printed([&] { list_push(&list, h(0)); }), error);
    EXPECT_EQ(list.count, 0x40000000);
}

TEST(List, NullArgumentsReport) {
    EXPECT_EQ(printed([] { list_push(nullptr, h(0)); }), error);
    EXPECT_EQ(printed([] { EXPECT_EQ(list_pop(nullptr), nullptr); }), error);
    EXPECT_EQ(printed([] { EXPECT_EQ(list_get(nullptr, 0), nullptr); }), error);
    EXPECT_EQ(printed([] { EXPECT_EQ(list_find(nullptr, h(0)), -1); }), error);
    EXPECT_EQ(printed([] { EXPECT_EQ(list_dup(nullptr), nullptr); }), error);
    EXPECT_EQ(printed([] { EXPECT_FALSE(list_reserve(nullptr, 4)); }), error);
    EXPECT_EQ(printed([] { EXPECT_FALSE(list_grow(nullptr)); }), error);
    EXPECT_EQ(printed([] { list_insert(nullptr, h(0), 0); }), error);
    EXPECT_EQ(printed([] { list_remove(nullptr, 0); }), error);
    EXPECT_EQ(printed([] { list_set(nullptr, h(0), 0); }), error);
}

TEST(List, DelOnNullHandleReportsAndDelTwiceFreesOnce) {
    LIST *list = nullptr;
    EXPECT_EQ(printed([&] { list_del(&list); }), error);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(printed([] { list_del(nullptr); }), error);
    list = list_new();
    EXPECT_EQ(printed([&] { list_del(&list); }), "");
    EXPECT_EQ(printed([&] { list_del(&list); }), error);
}

TEST(List, DelLeavesObjectsAlive) {
    int *object = (int *)calloc(1, sizeof(int));
    *object = 1234;
    Own<list_del> list(list_new());
    list_push(list, object);
    EXPECT_EQ(*object, 1234);
    free(object);
}
