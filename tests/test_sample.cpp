// SAMPLE: the growable array of signed 32-bit values. Exact growth, wrapping
// arithmetic, the ramps and resampling rules, the text form and raw files.
// The debug switch is off: rejected calls print nothing and change nothing.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sample.h"

// A sample holding exactly the given values.
static SAMPLE *make(std::vector<int32_t> values) {
    SAMPLE *s = sample_new();
    for (int32_t v : values) sample_push(s, v);
    return s;
}

static std::vector<int32_t> values(const SAMPLE *s) {
    return std::vector<int32_t>(s->data, s->data + s->count);
}

using V = std::vector<int32_t>;

// Bytes written to a temporary file by f, read back.
template <typename F>
static std::vector<uint8_t> written(F f) {
    FILE *file = tmpfile();
    f(file);
    std::vector<uint8_t> bytes;
    rewind(file);
    for (int c; (c = fgetc(file)) != EOF;) bytes.push_back((uint8_t)c);
    fclose(file);
    return bytes;
}

// sample_read_raw of the given bytes.
static SAMPLE *read_raw(std::vector<uint8_t> bytes, int32_t width, char order, char sign) {
    FILE *file = tmpfile();
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
    SAMPLE *s = sample_read_raw(file, width, order, sign);
    fclose(file);
    return s;
}

// ---- Storage ----------------------------------------------------------------

TEST(Sample, NewIsEmptyWithCapacity32) {
    SAMPLE *s = sample_new();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->count, 0);
    EXPECT_EQ(s->capacity, 32);
    sample_del(&s);
    EXPECT_EQ(s, nullptr);
}

TEST(Sample, SetCountReservesExactly) {
    SAMPLE *s = sample_new();
    sample_set_count(s, 100);
    EXPECT_EQ(s->count, 100);
    EXPECT_EQ(s->capacity, 100);
    EXPECT_EQ(values(s), V(100, 0));
    sample_set_count(s, 10);
    EXPECT_EQ(s->capacity, 100);
    sample_del(&s);
}

TEST(Sample, SetCountBringsBackOldValues) {
    SAMPLE *s = make({4, 5, 6});
    sample_set_count(s, 1);
    sample_set_count(s, 3);
    EXPECT_EQ(values(s), V({4, 5, 6}));
    sample_del(&s);
}

TEST(Sample, ReserveSmallerKeepsTheFirstValues) {
    SAMPLE *s = sample_new();
    for (int32_t i = 0; i < 20; i++) sample_push(s, i);
    sample_reserve(s, 10);
    EXPECT_EQ(s->capacity, 10);
    EXPECT_EQ(values(s), V({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    sample_del(&s);
}

TEST(Sample, PushDoublesCapacity) {
    SAMPLE *s = sample_new();
    for (int32_t i = 0; i < 32; i++) sample_push(s, i);
    EXPECT_EQ(s->capacity, 32);
    sample_push(s, 32);
    EXPECT_EQ(s->capacity, 64);
    EXPECT_EQ(s->count, 33);
    EXPECT_EQ(sample_get(s, 32), 32);
    sample_del(&s);
}

TEST(Sample, CapacityOneGrowsToTwoThenFour) {
    SAMPLE *s = sample_new();
    sample_reserve(s, 1);
    sample_push(s, 7);
    EXPECT_EQ(s->capacity, 1);
    sample_push(s, 8);
    EXPECT_EQ(s->capacity, 2);
    sample_push(s, 9);
    EXPECT_EQ(s->capacity, 4);
    EXPECT_EQ(values(s), V({7, 8, 9}));
    sample_del(&s);
}

TEST(Sample, NegativeAndOverflowingSizesActAsFailedAllocation) {
    SAMPLE *s = make({1, 2});
    sample_set_count(s, -1);
    sample_set_count(s, 0x20000000);  // 2^29 values: 2^31 bytes
    sample_set_count(s, INT_MAX);
    sample_reserve(s, 0);
    sample_reserve(s, -5);
    sample_reserve(s, INT_MAX);
    EXPECT_EQ(s->count, 2);
    EXPECT_EQ(s->capacity, 32);
    EXPECT_EQ(values(s), V({1, 2}));
    sample_del(&s);
}

TEST(Sample, GrowthPastTheLimitStoresNothing) {
    int32_t storage[4] = {0};
    SAMPLE full = {0x10000000, 0x10000000, storage};
    sample_push(&full, 5);
    sample_insert(&full, 5, 0);
    EXPECT_EQ(full.count, 0x10000000);
    EXPECT_EQ(full.capacity, 0x10000000);
    EXPECT_EQ(full.data, storage);
}

TEST(Sample, DupCopiesValues) {
    SAMPLE *s = sample_new();
    for (int32_t i = 0; i < 40; i++) sample_push(s, i * 3);
    SAMPLE *d = sample_dup(s);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->capacity, 40);
    EXPECT_TRUE(sample_compare(s, d));
    EXPECT_NE(d->data, s->data);
    sample_del(&d);
    SAMPLE *e = sample_new();
    d = sample_dup(e);
    EXPECT_EQ(d->count, 0);
    EXPECT_EQ(d->capacity, 32);
    sample_del(&d);
    sample_del(&e);
    sample_del(&s);
}

TEST(Sample, Compare) {
    SAMPLE *a = make({1, 2, 3}), *b = make({1, 2, 3}), *c = make({1, 2}), *d = make({0, 2, 3});
    EXPECT_TRUE(sample_compare(a, b));
    EXPECT_FALSE(sample_compare(a, c));
    EXPECT_FALSE(sample_compare(a, d));
    EXPECT_FALSE(sample_compare(a, nullptr));
    EXPECT_FALSE(sample_compare(nullptr, nullptr));
    sample_del(&a);
    sample_del(&b);
    sample_del(&c);
    sample_del(&d);
}

TEST(Sample, ClearKeepsCount) {
    SAMPLE *s = make({1, 2, 3});
    sample_clear(s);
    EXPECT_EQ(values(s), V({0, 0, 0}));
    sample_del(&s);
}

TEST(Sample, DelOnNullAndTwice) {
    SAMPLE *s = nullptr;
    sample_del(&s);
    sample_del(nullptr);
    s = sample_new();
    sample_del(&s);
    sample_del(&s);
    EXPECT_EQ(s, nullptr);
}

// ---- Element access ---------------------------------------------------------

TEST(Sample, GetSetOutsideChangeNothing) {
    SAMPLE *s = make({1, 2, 3});
    sample_set(s, 3, 99);
    sample_set(s, -1, 99);
    EXPECT_EQ(values(s), V({1, 2, 3}));
    EXPECT_EQ(s->data[3], 0);
    EXPECT_EQ(sample_get(s, 3), 0);
    EXPECT_EQ(sample_get(s, -1), 0);
    sample_set(s, 2, -4);
    EXPECT_EQ(sample_get(s, 2), -4);
    sample_del(&s);
}

TEST(Sample, InsertAndRemove) {
    SAMPLE *s = make({1, 2, 3});
    sample_insert(s, 9, 0);
    sample_insert(s, 8, 4);
    sample_insert(s, 7, 2);
    EXPECT_EQ(values(s), V({9, 1, 7, 2, 3, 8}));
    sample_insert(s, 5, 7);
    sample_insert(s, 5, -1);
    EXPECT_EQ(s->count, 6);
    EXPECT_EQ(sample_remove(s, 0), 5);
    EXPECT_EQ(sample_remove(s, 4), 4);
    EXPECT_EQ(values(s), V({1, 7, 2, 3}));
    EXPECT_EQ(sample_remove(s, 4), 0);
    EXPECT_EQ(s->count, 4);
    sample_del(&s);
}

TEST(Sample, InsertIntoFullSampleGrows) {
    SAMPLE *s = sample_new();
    sample_reserve(s, 2);
    sample_push(s, 1);
    sample_push(s, 2);
    sample_insert(s, 0, 0);
    EXPECT_EQ(s->capacity, 4);
    EXPECT_EQ(values(s), V({0, 1, 2}));
    sample_del(&s);
}

TEST(Sample, Find) {
    SAMPLE *s = make({1, 2, 1});
    EXPECT_EQ(sample_find(s, 1, 0), 0);
    EXPECT_EQ(sample_find(s, 1, 1), 2);
    EXPECT_EQ(sample_find(s, 5, 0), -1);
    EXPECT_EQ(sample_find(s, 1, 3), -1);
    EXPECT_EQ(sample_find(s, 1, -1), -1);
    sample_del(&s);
}

TEST(Sample, MoveOverlappingUpRunsFromTheTop) {
    SAMPLE *s = make({1, 2, 3, 4, 5});
    sample_move(s, s, 3, 0, 1);
    EXPECT_EQ(values(s), V({1, 1, 2, 3, 5}));
    sample_del(&s);
}

TEST(Sample, MoveOverlappingDown) {
    SAMPLE *s = make({1, 2, 3, 4, 5});
    sample_move(s, s, 3, 1, 0);
    EXPECT_EQ(values(s), V({2, 3, 4, 4, 5}));
    sample_del(&s);
}

TEST(Sample, MoveChecksBothRanges) {
    SAMPLE *a = make({1, 2, 3}), *b = make({0, 0});
    sample_move(a, b, 2, 1, 0);
    EXPECT_EQ(values(b), V({2, 3}));
    sample_move(a, b, 2, 2, 0);   // past a's end
    sample_move(a, b, 2, 0, 1);   // past b's end
    sample_move(a, b, 1, -1, 0);
    sample_move(a, b, 1, 0, -1);
    sample_move(a, b, INT_MAX, 1, 0);
    EXPECT_EQ(values(b), V({2, 3}));
    sample_move(a, b, -3, 0, 0);  // copies nothing
    EXPECT_EQ(values(b), V({2, 3}));
    sample_del(&a);
    sample_del(&b);
}

// ---- Arithmetic -------------------------------------------------------------

TEST(Sample, MulAndDivWrapAndTruncate) {
    SAMPLE *s = make({0x10000, -7, 7, INT_MIN});
    sample_mul(s, 0x10000);  // 2^32 wraps to 0; -7 * 65536; 7 * 65536; INT_MIN * 65536 = 0
    EXPECT_EQ(values(s), V({0, -458752, 458752, 0}));
    SAMPLE *t = make({-7, 7, INT_MIN});
    sample_div(t, 2);
    EXPECT_EQ(values(t), V({-3, 3, INT_MIN / 2}));
    SAMPLE *u = make({INT_MIN, 6});
    sample_div(u, -1);
    EXPECT_EQ(values(u), V({INT_MIN, -6}));
    sample_del(&s);
    sample_del(&t);
    sample_del(&u);
}

TEST(Sample, DivByZeroIsRejected) {
    SAMPLE *s = make({5, -5});
    sample_div(s, 0);
    EXPECT_EQ(values(s), V({5, -5}));
    sample_del(&s);
}

TEST(Sample, ShiftsTakeTheCountModulo32) {
    SAMPLE *s = make({-3, 1024, INT_MIN});
    sample_shr(s, 32);
    EXPECT_EQ(values(s), V({-3, 1024, INT_MIN}));
    sample_shr(s, 33);
    sample_shr(s, -1);
    EXPECT_EQ(values(s), V({-3, 1024, INT_MIN}));
    sample_shr(s, 1);  // arithmetic: -3 >> 1 = -2
    EXPECT_EQ(values(s), V({-2, 512, -0x40000000}));
    SAMPLE *t = make({1, -1, 3});
    sample_shl(t, 31);
    EXPECT_EQ(values(t), V({INT_MIN, INT_MIN, INT_MIN}));
    sample_shl(t, 33);
    sample_shl(t, 32);
    EXPECT_EQ(values(t), V({INT_MIN, INT_MIN, INT_MIN}));
    sample_del(&s);
    sample_del(&t);
}

TEST(Sample, AddOverShorterCountAndWraps) {
    SAMPLE *a = make({1, 2, INT_MAX}), *b = make({10, 20, 1, 99}), *c = make({10, 20});
    sample_add(a, c);
    EXPECT_EQ(values(a), V({11, 22, INT_MAX}));
    sample_add(a, b);
    EXPECT_EQ(values(a), V({21, 42, INT_MIN}));
    sample_del(&a);
    sample_del(&b);
    sample_del(&c);
}

TEST(Sample, AddToItselfDoubles) {
    SAMPLE *a = make({1, -2, 3});
    sample_add(a, a);
    EXPECT_EQ(values(a), V({2, -4, 6}));
    sample_del(&a);
}

TEST(Sample, MulEach) {
    SAMPLE *a = make({2, 3, 4}), *b = make({-1, 5});
    sample_mul_each(a, b);
    EXPECT_EQ(values(a), V({-2, 15, 4}));
    sample_del(&a);
    sample_del(&b);
}

TEST(Sample, AddScaledTruncates) {
    SAMPLE *a = make({0, 0, 1}), *b = make({7, -7, 1});
    sample_add_scaled(a, b, 3, 2);  // 21 / 2 = 10, -21 / 2 = -10, 3 / 2 = 1
    EXPECT_EQ(values(a), V({10, -10, 2}));
    sample_add_scaled(a, b, 3, 0);  // a zero divisor is rejected
    EXPECT_EQ(values(a), V({10, -10, 2}));
    sample_del(&a);
    sample_del(&b);
}

TEST(Sample, AddFixedShiftsArithmetically) {
    SAMPLE *a = make({0, 0}), *b = make({3, -3});
    sample_add_fixed(a, b, 0x8000);  // 98304 >> 16 = 1, -98304 >> 16 = -2
    EXPECT_EQ(values(a), V({1, -2}));
    sample_del(&a);
    sample_del(&b);
}

TEST(Sample, Reverse) {
    SAMPLE *a = make({1, 2, 3, 4}), *b = make({1, 2, 3});
    sample_reverse(a);
    sample_reverse(b);
    EXPECT_EQ(values(a), V({4, 3, 2, 1}));
    EXPECT_EQ(values(b), V({3, 2, 1}));
    sample_del(&a);
    sample_del(&b);
}

TEST(Sample, ExtremesAndTheirIndices) {
    SAMPLE *s = make({5, 9, 9, -2, -2});
    EXPECT_EQ(sample_max(s), 9);
    EXPECT_EQ(sample_min(s), -2);
    EXPECT_EQ(sample_argmax(s), 1);
    EXPECT_EQ(sample_argmin(s), 3);
    SAMPLE *e = sample_new();
    EXPECT_EQ(sample_max(e), 0);
    EXPECT_EQ(sample_argmin(e), 0);
    sample_del(&s);
    sample_del(&e);
}

TEST(Sample, FitRange) {
    SAMPLE *s = make({-10, 0, 10});
    sample_fit_range(s, 0, 1000);  // scale 50, shift 500
    EXPECT_EQ(values(s), V({0, 500, 1000}));
    SAMPLE *t = make({0, 1, 2});
    sample_fit_range(t, -1, 0);  // scale 0.5, shift -1: -1, -0.5 -> 0, 0
    EXPECT_EQ(values(t), V({-1, 0, 0}));
    sample_del(&s);
    sample_del(&t);
}

TEST(Sample, FitRangeOfConstantSampleGivesLow) {
    SAMPLE *s = make({7, 7, 7});
    sample_fit_range(s, 3, 9);
    EXPECT_EQ(values(s), V({3, 3, 3}));
    sample_del(&s);
}

TEST(Sample, FitRangeToTheWholeIntRange) {
    SAMPLE *s = make({0, 1});
    sample_fit_range(s, INT_MIN, INT_MAX);
    EXPECT_EQ(values(s), V({INT_MIN, INT_MAX}));
    sample_del(&s);
}

TEST(Sample, Normalize) {
    SAMPLE *s = make({100, -200, 50});
    sample_normalize(s, 1000);  // m = 200, scale 5
    EXPECT_EQ(values(s), V({500, -1000, 250}));
    SAMPLE *t = make({2, -4, 1});
    sample_normalize(t, 10);  // scale 2.5: 1 -> 2.5 -> 2
    EXPECT_EQ(values(t), V({5, -10, 2}));
    sample_del(&s);
    sample_del(&t);
}

TEST(Sample, NormalizeSilenceStaysSilent) {
    SAMPLE *s = make({0, 0, 0});
    sample_normalize(s, 32767);
    EXPECT_EQ(values(s), V({0, 0, 0}));
    sample_del(&s);
}

TEST(Sample, ResampleStretches) {
    SAMPLE *a = make({1, 2}), *b = make({1, 2, 3});
    sample_resample(a, 4);
    sample_resample(b, 5);
    EXPECT_EQ(values(a), V({1, 1, 2, 2}));
    EXPECT_EQ(values(b), V({1, 2, 2, 3, 3}));
    EXPECT_EQ(a->capacity, 4);
    EXPECT_EQ(b->capacity, 5);
    sample_del(&a);
    sample_del(&b);
}

TEST(Sample, ResampleShrinksToExactlyN) {
    // Term starts at n - m, grows by n, an element is taken when it turns positive.
    SAMPLE *a = make({1, 2, 3, 4}), *b = make({1, 2, 3, 4, 5, 6}), *c = make({1, 2, 3});
    sample_resample(a, 2);
    sample_resample(b, 3);
    sample_resample(c, 2);
    EXPECT_EQ(values(a), V({2, 4}));
    EXPECT_EQ(values(b), V({2, 4, 6}));
    EXPECT_EQ(values(c), V({1, 3}));
    EXPECT_EQ(c->capacity, 2);
    sample_del(&a);
    sample_del(&b);
    sample_del(&c);
}

TEST(Sample, ResampleRejects) {
    SAMPLE *a = make({1, 2}), *e = sample_new();
    sample_resample(a, 2);
    sample_resample(a, 0);
    sample_resample(a, -3);
    sample_resample(e, 4);  // nothing to stretch
    EXPECT_EQ(values(a), V({1, 2}));
    EXPECT_EQ(a->capacity, 32);
    EXPECT_EQ(e->count, 0);
    sample_del(&a);
    sample_del(&e);
}

TEST(Sample, RotateRight) {
    SAMPLE *a = make({1, 2, 3, 4}), *b = make({1, 2, 3, 4});
    sample_rotate_right(a, 1);
    sample_rotate_right(b, 5);
    EXPECT_EQ(values(a), V({4, 1, 2, 3}));
    EXPECT_EQ(values(b), V({4, 1, 2, 3}));
    sample_rotate_right(a, 0);
    EXPECT_EQ(values(a), V({4, 1, 2, 3}));
    sample_del(&a);
    sample_del(&b);
}

TEST(Sample, RotateLeft) {
    SAMPLE *a = make({1, 2, 3, 4});
    sample_rotate_left(a, 1);
    EXPECT_EQ(values(a), V({2, 3, 4, 1}));
    sample_rotate_left(a, 6);
    EXPECT_EQ(values(a), V({4, 1, 2, 3}));
    sample_del(&a);
}

TEST(Sample, RotateRejectsNegativeTurnsAndEmptySamples) {
    SAMPLE *a = make({1, 2, 3}), *e = sample_new();
    sample_rotate_left(a, -1);
    sample_rotate_right(a, -2);
    sample_rotate_right(e, 1);
    EXPECT_EQ(values(a), V({1, 2, 3}));
    EXPECT_EQ(e->count, 0);
    sample_del(&a);
    sample_del(&e);
}

// ---- Ramps ------------------------------------------------------------------

TEST(Sample, LineShallow) {
    SAMPLE *s = make({9, 9, 9, 9, 9});
    sample_line(s, 0, 0, 4, 2);
    EXPECT_EQ(values(s), V({0, 1, 1, 2, 2}));
    sample_del(&s);
}

TEST(Sample, LineSteepStopsShort) {
    SAMPLE *s = make({9, 9, 9});
    sample_line(s, 0, 0, 2, 10);
    EXPECT_EQ(values(s), V({0, 3, 8}));
    sample_del(&s);
}

TEST(Sample, LineFalling) {
    SAMPLE *s = make({9, 9, 9, 9, 9});
    sample_line(s, 0, 2, 4, 0);
    EXPECT_EQ(values(s), V({2, 1, 1, 0, 0}));
    sample_del(&s);
}

TEST(Sample, LineSwapsIndicesNotValues) {
    SAMPLE *s = make({9, 9, 9, 9, 9});
    sample_line(s, 4, 0, 0, 2);
    EXPECT_EQ(values(s), V({0, 1, 1, 2, 2}));
    sample_del(&s);
}

TEST(Sample, LineOnOneIndexWritesStart) {
    SAMPLE *s = make({9, 9, 9});
    sample_line(s, 1, 5, 1, 100);
    EXPECT_EQ(values(s), V({9, 5, 9}));
    sample_del(&s);
}

TEST(Sample, LineBetweenExtremesTerminates) {
    // Rise 2^32 - 1 over one step: err = 2^31 - 1, so v climbs by that much.
    SAMPLE *s = make({9, 9});
    sample_line(s, 0, INT_MIN, 1, INT_MAX);
    EXPECT_EQ(values(s), V({INT_MIN, -1}));
    sample_del(&s);
}

TEST(Sample, LineOutsideIsRejected) {
    SAMPLE *s = make({9, 9, 9});
    sample_line(s, 0, 1, 3, 2);
    sample_line(s, -1, 1, 2, 2);
    EXPECT_EQ(values(s), V({9, 9, 9}));
    sample_del(&s);
}

// ---- Building and matching ----------------------------------------------------

TEST(Sample, FromBytesKeepsSignedValues) {
    const int8_t bytes[4] = {-128, 127, 0, -1};
    SAMPLE *s = sample_from_bytes(bytes, 4);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(values(s), V({-128, 127, 0, -1}));
    sample_del(&s);
    EXPECT_EQ(sample_from_bytes(nullptr, 4), nullptr);
    EXPECT_EQ(sample_from_bytes(bytes, -1), nullptr);
    s = sample_from_bytes(bytes, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->count, 0);
    sample_del(&s);
}

TEST(Sample, InsertSample) {
    SAMPLE *dst = make({1, 2, 3}), *src = make({8, 9});
    sample_insert_sample(dst, src, 1);
    EXPECT_EQ(values(dst), V({1, 8, 9, 2, 3}));
    EXPECT_EQ(dst->capacity, 5);
    sample_insert_sample(dst, src, 5);
    EXPECT_EQ(values(dst), V({1, 8, 9, 2, 3, 8, 9}));
    sample_del(&dst);
    sample_del(&src);
}

TEST(Sample, InsertSampleBadPositionLeavesZerosAtEnd) {
    SAMPLE *dst = make({1, 2, 3}), *src = make({8, 9});
    sample_insert_sample(dst, src, 4);
    EXPECT_EQ(values(dst), V({1, 2, 3, 0, 0}));
    SAMPLE *d2 = make({1, 2, 3});
    sample_insert_sample(d2, src, -1);
    EXPECT_EQ(values(d2), V({1, 2, 3, 0, 0}));
    sample_del(&dst);
    sample_del(&d2);
    sample_del(&src);
}

TEST(Sample, InsertEmptySampleReservesExactly) {
    SAMPLE *dst = make({1, 2, 3}), *src = sample_new();
    sample_insert_sample(dst, src, 1);
    EXPECT_EQ(values(dst), V({1, 2, 3}));
    EXPECT_EQ(dst->capacity, 3);
    sample_del(&dst);
    sample_del(&src);
}

TEST(Sample, InsertSampleIntoItself) {
    SAMPLE *s = make({1, 2});
    sample_insert_sample(s, s, 1);
    EXPECT_EQ(values(s), V({1, 1, 2, 2}));
    sample_del(&s);
}

TEST(Sample, ExtractClamps) {
    SAMPLE *s = make({0, 1, 2, 3, 4, 5});
    SAMPLE *a = sample_extract(s, 1, 4), *b = sample_extract(s, -2, 10), *c = sample_extract(s, 8, 9);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(values(a), V({1, 2, 3}));
    EXPECT_EQ(values(b), V({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(c->count, 0);
    EXPECT_EQ(sample_extract(s, 4, 1), nullptr);
    sample_del(&s);
    sample_del(&a);
    sample_del(&b);
    sample_del(&c);
}

TEST(Sample, MatchCountAndBestOffset) {
    SAMPLE *a = make({1, 2, 3, 4}), *b = make({3, 4, 5});
    EXPECT_EQ(sample_match_count(a, b, 2), 2);  // a[2] = b[0], a[3] = b[1]
    EXPECT_EQ(sample_match_count(a, b, 0), 0);
    EXPECT_EQ(sample_match_count(a, b, 4), 0);   // outside 1 - 3 .. 3
    EXPECT_EQ(sample_match_count(a, b, -3), 0);
    EXPECT_EQ(sample_best_offset(a, b), 2);
    // A negative offset wins when a[i] = c[i + 1]: a[0] = c[1], a[1] = c[2].
    SAMPLE *c = make({0, 1, 2});
    EXPECT_EQ(sample_match_count(a, c, -1), 2);
    EXPECT_EQ(sample_best_offset(a, c), -1);
    sample_del(&a);
    sample_del(&b);
    sample_del(&c);
}

TEST(Sample, BestOffsetTiesGoToTheSmallest) {
    SAMPLE *a = make({5, 0, 5}), *b = make({5});
    EXPECT_EQ(sample_best_offset(a, b), 0);
    sample_del(&a);
    sample_del(&b);
}

TEST(Sample, BestOffsetWithoutMatchesIsMinusCount) {
    SAMPLE *a = make({1, 2}), *b = make({7, 8, 9});
    EXPECT_EQ(sample_best_offset(a, b), -3);
    sample_del(&a);
    sample_del(&b);
}

// ---- Text form ----------------------------------------------------------------

TEST(Sample, ToText) {
    SAMPLE *s = make({1, -2});
    char *text = sample_to_text(s);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "SAMPLE { 2\n1\n-2\n}\n");
    free(text);
    sample_del(&s);
}

TEST(Sample, EmptyTextRoundTrip) {
    SAMPLE *s = sample_new();
    char *text = sample_to_text(s);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "SAMPLE { 0 }\n");
    SAMPLE *back = sample_from_text(text);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->count, 0);
    EXPECT_EQ(back->capacity, 32);
    free(text);
    sample_del(&s);
    sample_del(&back);
}

TEST(Sample, TextRoundTrip) {
    SAMPLE *s = make({0, INT_MIN, INT_MAX, -32768, 32767, 5});
    char *text = sample_to_text(s);
    SAMPLE *back = sample_from_text(text);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(sample_compare(s, back));
    EXPECT_EQ(back->capacity, 6);
    free(text);
    sample_del(&s);
    sample_del(&back);
}

TEST(Sample, FromTextIsLenient) {
    SAMPLE *s = sample_from_text("junk SAMPLE{ -3, x 5 ;-6 7 } more");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(values(s), V({5, -6, 7}));
    sample_del(&s);
}

TEST(Sample, FromTextWithoutKeywordOrBrace) {
    EXPECT_EQ(sample_from_text("no keyword { 2 1 2 }"), nullptr);
    EXPECT_EQ(sample_from_text("SAMPLE 2 1 2"), nullptr);
    EXPECT_EQ(sample_from_text("SAMPLE { }"), nullptr);
    EXPECT_EQ(sample_from_text(nullptr), nullptr);
}

TEST(Sample, FromTextKeepsOnlyTheNumbersItHolds) {
    SAMPLE *s = sample_from_text("SAMPLE { 5\n1\n2\n");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(values(s), V({1, 2}));
    sample_del(&s);
}

TEST(Sample, FromTextDoesNotTrustAHugeCount) {
    SAMPLE *s = sample_from_text("SAMPLE { 4000000000\n1\n2\n}\n");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(values(s), V({1, 2}));
    EXPECT_LE(s->capacity, 32);
    sample_del(&s);
    s = sample_from_text("SAMPLE { 99999999999999999999999999 7 }");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(values(s), V({7}));
    sample_del(&s);
}

TEST(Sample, FromTextReadsCountAfterTheBrace) {
    // The brace is searched from the keyword's P on: "SAMP{" has one.
    SAMPLE *s = sample_from_text("SAMPLE{2 10 20}");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(values(s), V({10, 20}));
    sample_del(&s);
}

TEST(Sample, ToTextOfHugeRecordFails) {
    int32_t storage[2] = {0};
    SAMPLE huge = {10000000, 10000000, storage};  // 3.5 GB of text
    EXPECT_EQ(sample_to_text(&huge), nullptr);
    EXPECT_EQ(sample_to_text(nullptr), nullptr);
}

// ---- Raw files ----------------------------------------------------------------

TEST(Sample, ReadRawEightBit) {
    SAMPLE *s = read_raw({0x01, 0xFF, 0x80}, 8, 'l', 's');
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(values(s), V({256, -256, -32768}));
    EXPECT_EQ(s->capacity, 1024);
    SAMPLE *u = read_raw({0x00, 0x80, 0xFF}, 8, 'b', 'u');
    EXPECT_EQ(values(u), V({-32768, 0, 32512}));
    sample_del(&s);
    sample_del(&u);
}

TEST(Sample, ReadRawSixteenBit) {
    SAMPLE *l = read_raw({0x34, 0x12, 0xFF, 0xFF}, 16, 'l', 's');
    SAMPLE *b = read_raw({0x12, 0x34, 0x80, 0x00}, 16, 'b', 's');
    SAMPLE *u = read_raw({0x00, 0x80, 0xFF, 0xFF, 0x00, 0x00}, 16, 'l', 'u');
    EXPECT_EQ(values(l), V({0x1234, -1}));
    EXPECT_EQ(values(b), V({0x1234, -32768}));
    EXPECT_EQ(values(u), V({0, 32767, -32768}));
    sample_del(&l);
    sample_del(&b);
    sample_del(&u);
}

TEST(Sample, ReadRawDropsALoneLastByte) {
    SAMPLE *s = read_raw({0x01, 0x00, 0x7F}, 16, 'l', 's');
    EXPECT_EQ(values(s), V({1}));
    sample_del(&s);
    SAMPLE *e = read_raw({}, 16, 'l', 's');
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->count, 0);
    sample_del(&e);
}

TEST(Sample, ReadRawDoublesPast1024) {
    SAMPLE *s = read_raw(std::vector<uint8_t>(1025, 0x02), 8, 'l', 's');
    EXPECT_EQ(s->count, 1025);
    EXPECT_EQ(s->capacity, 2048);
    EXPECT_EQ(sample_get(s, 1024), 512);
    sample_del(&s);
}

TEST(Sample, ReadRawRejectsBadFormats) {
    EXPECT_EQ(read_raw({1, 2}, 24, 'l', 's'), nullptr);
    EXPECT_EQ(read_raw({1, 2}, 16, 'm', 's'), nullptr);
    EXPECT_EQ(read_raw({1, 2}, 16, 'l', 'x'), nullptr);
    EXPECT_EQ(sample_read_raw(nullptr, 16, 'l', 's'), nullptr);
}

TEST(Sample, WriteRawClampsPerWidth) {
    SAMPLE *s = make({300, -300, 5});
    int32_t n = 0;
    auto bytes = written([&](FILE *f) { n = sample_write_raw(s, f, 8, 'l'); });
    EXPECT_EQ(n, 3);
    EXPECT_EQ(bytes, std::vector<uint8_t>({0x7F, 0x80, 0x05}));
    sample_del(&s);
}

TEST(Sample, WriteRawSixteenBitOrders) {
    SAMPLE *s = make({0x1234, 40000, -40000});
    auto big = written([&](FILE *f) { sample_write_raw(s, f, 16, 'b'); });
    auto little = written([&](FILE *f) { sample_write_raw(s, f, 16, 'l'); });
    auto other = written([&](FILE *f) { sample_write_raw(s, f, 12, 'x'); });
    EXPECT_EQ(big, std::vector<uint8_t>({0x12, 0x34, 0x7F, 0xFF, 0x80, 0x00}));
    EXPECT_EQ(little, std::vector<uint8_t>({0x34, 0x12, 0xFF, 0x7F, 0x00, 0x80}));
    EXPECT_EQ(other, little);
    sample_del(&s);
}

TEST(Sample, WriteRawWideWidths) {
    SAMPLE *s = make({-1, 9000000, INT_MIN});
    auto b24 = written([&](FILE *f) { sample_write_raw(s, f, 24, 'b'); });
    auto l32 = written([&](FILE *f) { sample_write_raw(s, f, 32, 'l'); });
    EXPECT_EQ(b24, std::vector<uint8_t>({0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0x80, 0x00, 0x00}));
    EXPECT_EQ(l32, std::vector<uint8_t>({0xFF, 0xFF, 0xFF, 0xFF, 0x40, 0x54, 0x89, 0x00,
                                         0x01, 0x00, 0x00, 0x80}));
    sample_del(&s);
}

TEST(Sample, RawRoundTrip) {
    SAMPLE *s = make({0, 1, -1, 32767, -32768, 1234});
    FILE *f = tmpfile();
    EXPECT_EQ(sample_write_raw(s, f, 16, 'b'), 6);
    rewind(f);
    SAMPLE *back = sample_read_raw(f, 16, 'b', 's');
    fclose(f);
    EXPECT_TRUE(sample_compare(s, back));
    sample_del(&s);
    sample_del(&back);
}

TEST(Sample, WriteRawRejectsNulls) {
    SAMPLE *s = make({1});
    EXPECT_EQ(sample_write_raw(s, nullptr, 16, 'l'), 0);
    EXPECT_EQ(sample_write_raw(nullptr, stdout, 16, 'l'), 0);
    sample_del(&s);
}

TEST(Sample, NullSampleGivesNeutralValues) {
    EXPECT_EQ(sample_get(nullptr, 0), 0);
    EXPECT_EQ(sample_remove(nullptr, 0), 0);
    EXPECT_EQ(sample_find(nullptr, 0, 0), -1);
    EXPECT_EQ(sample_dup(nullptr), nullptr);
    EXPECT_EQ(sample_extract(nullptr, 0, 1), nullptr);
    EXPECT_EQ(sample_match_count(nullptr, nullptr, 0), 0);
    sample_push(nullptr, 1);
    sample_set(nullptr, 0, 1);
    sample_mul(nullptr, 2);
    sample_add(nullptr, nullptr);
    sample_line(nullptr, 0, 0, 1, 1);
    sample_resample(nullptr, 3);
    sample_rotate_left(nullptr, 1);
    sample_set_count(nullptr, 3);
    sample_reserve(nullptr, 3);
}

TEST(Sample, RecordWithoutStorage) {
    // A zero record holds no storage: it takes a size but no values.
    SAMPLE bare = {0, 0, nullptr};
    sample_push(&bare, 1);
    EXPECT_EQ(bare.count, 0);
    EXPECT_EQ(sample_get(&bare, 0), 0);
    sample_set_count(&bare, 3);
    ASSERT_NE(bare.data, nullptr);
    EXPECT_EQ(bare.capacity, 3);
    EXPECT_EQ(bare.count, 3);
    free(bare.data);
}
