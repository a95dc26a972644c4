// SAMPLE: the growable array of signed 32-bit values. In-place operations as
// one table (values in -> values out, refusals leaving them as they were),
// exact growth, the text form and raw files. Values carry high bytes so that
// a copy or move that drops them shows.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>

#include "audio/sample.h"
#include "tests/test_support.h"

namespace {

using V = std::vector<int32_t>;
using S = Own<sample_del>;

SAMPLE *make(V values) {
    SAMPLE *s = sample_new();
    for (int32_t v : values) sample_push(s, v);
    return s;
}

V values(const SAMPLE *s) { return V(s->data, s->data + s->count); }

const int32_t H = 0x12345678, K = -0x789ABCDF;  // values with all bytes in use

// Bytes written to a temporary file by f.
std::vector<uint8_t> written(const std::function<void(FILE *)> &f) {
    FILE *file = tmpfile();
    f(file);
    std::vector<uint8_t> bytes;
    rewind(file);
    for (int c; (c = fgetc(file)) != EOF;) bytes.push_back((uint8_t)c);
    fclose(file);
    return bytes;
}

SAMPLE *read_raw(std::vector<uint8_t> bytes, int32_t width, char order, char sign) {
    FILE *file = tmpfile();
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
    SAMPLE *s = sample_read_raw(file, width, order, sign);
    fclose(file);
    return s;
}

}  // namespace

TEST(Sample, InPlaceOperations) {
    struct Case { const char *name; V in; std::function<void(SAMPLE *)> op; V want; } cases[] = {
        {"set inside", {1, 2, 3}, [](SAMPLE *s) { sample_set(s, 2, K); }, {1, 2, K}},
        {"set at count", {1, 2, 3}, [](SAMPLE *s) { sample_set(s, 3, 9); sample_set(s, -1, 9); }, {1, 2, 3}},
        {"clear", {H, 2, 3}, sample_clear, {0, 0, 0}},
        {"insert", {1, 2, 3}, [](SAMPLE *s) { sample_insert(s, H, 0); sample_insert(s, K, 4); sample_insert(s, 7, 2); }, {H, 1, 7, 2, 3, K}},
        {"insert outside", {1, 2}, [](SAMPLE *s) { sample_insert(s, 5, 3); sample_insert(s, 5, -1); }, {1, 2}},
        {"remove", {H, 1, 2, K}, [](SAMPLE *s) { sample_remove(s, 0); sample_remove(s, 2); sample_remove(s, 2); }, {1, 2}},
        {"move up", {1, H, 3, K, 5}, [](SAMPLE *s) { sample_move(s, s, 3, 0, 1); }, {1, 1, H, 3, 5}},
        {"move down", {1, H, 3, K, 5}, [](SAMPLE *s) { sample_move(s, s, 3, 1, 0); }, {H, 3, K, K, 5}},
        {"move outside", {1, 2, 3}, [](SAMPLE *s) { sample_move(s, s, 2, 2, 0); sample_move(s, s, 2, 0, 2); sample_move(s, s, 1, -1, 0); sample_move(s, s, INT_MAX, 1, 0); sample_move(s, s, -3, 0, 1); }, {1, 2, 3}},
        {"move at the end", {1, 2, 3}, [](SAMPLE *s) { sample_move(s, s, 1, 2, 0); sample_move(s, s, 1, 0, 2); }, {3, 2, 3}},
        {"mul wraps", {0x10000, -7, INT_MIN, H}, [](SAMPLE *s) { sample_mul(s, 0x10000); }, {0, -458752, 0, 0x56780000}},
        {"div truncates", {-7, 7, INT_MIN}, [](SAMPLE *s) { sample_div(s, 2); }, {-3, 3, INT_MIN / 2}},
        {"div -1 wraps", {INT_MIN, 6}, [](SAMPLE *s) { sample_div(s, -1); }, {INT_MIN, -6}},
        {"div 0", {5, -5}, [](SAMPLE *s) { sample_div(s, 0); }, {5, -5}},
        {"shr 1", {-3, 1024, INT_MIN}, [](SAMPLE *s) { sample_shr(s, 1); }, {-2, 512, -0x40000000}},
        {"shr 31", {-3, H}, [](SAMPLE *s) { sample_shr(s, 31); }, {-1, 0}},
        {"shr 32", {-3, H}, [](SAMPLE *s) { sample_shr(s, 32); }, {-3, H}},
        {"shr 33, -1", {-3, H}, [](SAMPLE *s) { sample_shr(s, 33); sample_shr(s, -1); }, {-3, H}},
        {"shl 31", {1, -1, 2}, [](SAMPLE *s) { sample_shl(s, 31); }, {INT_MIN, INT_MIN, 0}},
        {"shl 32", {1, H}, [](SAMPLE *s) { sample_shl(s, 32); }, {1, H}},
        {"shl 33", {1, H}, [](SAMPLE *s) { sample_shl(s, 33); }, {1, H}},
        {"shl 4", {1, H}, [](SAMPLE *s) { sample_shl(s, 4); }, {16, 0x23456780}},
        {"add to itself", {1, -2, H}, [](SAMPLE *s) { sample_add(s, s); }, {2, -4, 0x2468ACF0}},
        {"reverse even", {H, 2, 3, K}, sample_reverse, {K, 3, 2, H}},
        {"reverse odd", {1, 2, 3}, sample_reverse, {3, 2, 1}},
        {"fit range", {-10, 0, 10}, [](SAMPLE *s) { sample_fit_range(s, 0, 1000); }, {0, 500, 1000}},
        {"fit truncates", {0, 1, 2}, [](SAMPLE *s) { sample_fit_range(s, -1, 0); }, {-1, 0, 0}},
        {"fit constant", {7, 7, 7}, [](SAMPLE *s) { sample_fit_range(s, 3, 9); }, {3, 3, 3}},
        {"fit whole range", {0, 1}, [](SAMPLE *s) { sample_fit_range(s, INT_MIN, INT_MAX); }, {INT_MIN, INT_MAX}},
        {"normalize", {100, -200, 50}, [](SAMPLE *s) { sample_normalize(s, 1000); }, {500, -1000, 250}},
        {"normalize truncates", {2, -4, 1}, [](SAMPLE *s) { sample_normalize(s, 10); }, {5, -10, 2}},
        {"normalize equal", {-4, 4, 1}, [](SAMPLE *s) { sample_normalize(s, -8); }, {8, -8, -2}},
        {"normalize silence", {0, 0}, [](SAMPLE *s) { sample_normalize(s, 32767); }, {0, 0}},
        {"stretch 2 to 4", {1, H}, [](SAMPLE *s) { sample_resample(s, 4); }, {1, 1, H, H}},
        {"stretch 3 to 5", {1, 2, 3}, [](SAMPLE *s) { sample_resample(s, 5); }, {1, 2, 2, 3, 3}},
        {"shrink 4 to 2", {1, 2, 3, 4}, [](SAMPLE *s) { sample_resample(s, 2); }, {2, 4}},
        {"shrink 6 to 3", {1, 2, 3, 4, 5, 6}, [](SAMPLE *s) { sample_resample(s, 3); }, {2, 4, 6}},
        {"shrink 3 to 2", {1, 2, 3}, [](SAMPLE *s) { sample_resample(s, 2); }, {1, 3}},
        {"resample refused", {1, 2}, [](SAMPLE *s) { sample_resample(s, 2); sample_resample(s, 0); sample_resample(s, -3); }, {1, 2}},
        {"rotate right 1", {1, 2, 3, H}, [](SAMPLE *s) { sample_rotate_right(s, 1); }, {H, 1, 2, 3}},
        {"rotate right 5", {1, 2, 3, H}, [](SAMPLE *s) { sample_rotate_right(s, 5); }, {H, 1, 2, 3}},
        {"rotate right 0", {1, 2, 3, H}, [](SAMPLE *s) { sample_rotate_right(s, 0); }, {1, 2, 3, H}},
        {"rotate left 1", {K, 2, 3, 4}, [](SAMPLE *s) { sample_rotate_left(s, 1); }, {2, 3, 4, K}},
        {"rotate left 7", {K, 2, 3, 4}, [](SAMPLE *s) { sample_rotate_left(s, 7); }, {4, K, 2, 3}},
        {"rotate negative", {1, 2, 3}, [](SAMPLE *s) { sample_rotate_left(s, -1); sample_rotate_right(s, -2); }, {1, 2, 3}},
        {"line shallow", {9, 9, 9, 9, 9}, [](SAMPLE *s) { sample_line(s, 0, 0, 4, 2); }, {0, 1, 1, 2, 2}},
        {"line steep", {9, 9, 9}, [](SAMPLE *s) { sample_line(s, 0, 0, 2, 10); }, {0, 3, 8}},
        {"line falling", {9, 9, 9, 9, 9}, [](SAMPLE *s) { sample_line(s, 0, 2, 4, 0); }, {2, 1, 1, 0, 0}},
        {"line swapped", {9, 9, 9, 9, 9}, [](SAMPLE *s) { sample_line(s, 4, 0, 0, 2); }, {0, 1, 1, 2, 2}},
        {"line equal dy", {9, 9, 9}, [](SAMPLE *s) { sample_line(s, 0, 5, 2, 7); }, {5, 6, 7}},
        {"line one index", {9, 9, 9}, [](SAMPLE *s) { sample_line(s, 1, 5, 1, 100); }, {9, 5, 9}},
        {"line extremes", {9, 9}, [](SAMPLE *s) { sample_line(s, 0, INT_MIN, 1, INT_MAX); }, {INT_MIN, -1}},
        {"line last index", {9, 9, 9}, [](SAMPLE *s) { sample_line(s, 0, 1, 2, 1); }, {1, 1, 1}},
        {"line outside", {9, 9, 9}, [](SAMPLE *s) { sample_line(s, 0, 1, 3, 2); sample_line(s, -1, 1, 2, 2); }, {9, 9, 9}},
        {"insert sample", {1, 2, 3}, [](SAMPLE *s) { S src(make({H, K})); sample_insert_sample(s, src, 1); sample_insert_sample(s, src, 5); }, {1, H, K, 2, 3, H, K}},
        {"insert sample at 4", {1, 2, 3}, [](SAMPLE *s) { S src(make({8, 9})); sample_insert_sample(s, src, 4); }, {1, 2, 3, 0, 0}},
        {"insert sample at -1", {1, 2, 3}, [](SAMPLE *s) { S src(make({8, 9})); sample_insert_sample(s, src, -1); }, {1, 2, 3, 0, 0}},
        {"insert itself", {1, H}, [](SAMPLE *s) { sample_insert_sample(s, s, 1); }, {1, 1, H, H}},
    };
    for (const Case &c : cases) {
        S s(make(c.in));
        c.op(s);
        EXPECT_EQ(values(s), c.want) << c.name;
    }
}

TEST(Sample, TwoSampleArithmeticOverTheShorterCount) {
    S a(make({1, 2, INT_MAX})), b(make({10, 20, 1, 99})), c(make({10, 20}));
    sample_add(a, c);
    sample_add(a, b);
    EXPECT_EQ(values(a), V({21, 42, INT_MIN}));
    S m(make({2, 3, 4})), n(make({-1, H}));
    sample_mul_each(m, n);
    EXPECT_EQ(values(m), V({-2, (int32_t)(3u * (uint32_t)H), 4}));
    S x(make({0, 0, 1})), y(make({7, -7, 1}));
    sample_add_scaled(x, y, 3, 2);  // 21 / 2 = 10, -21 / 2 = -10, 3 / 2 = 1
    sample_add_scaled(x, y, 3, 0);  // a zero divisor is refused
    EXPECT_EQ(values(x), V({10, -10, 2}));
    S f(make({0, 0})), g(make({3, -3}));
    sample_add_fixed(f, g, 0x8000);  // 98304 >> 16 = 1, -98304 >> 16 = -2
    EXPECT_EQ(values(f), V({1, -2}));
}

TEST(Sample, ExtremesFindAndMatching) {
    S s(make({5, 9, 9, -2, -2}));
    EXPECT_EQ(std::make_pair(sample_max(s), sample_min(s)), std::make_pair(9, -2));
    EXPECT_EQ(std::make_pair(sample_argmax(s), sample_argmin(s)), std::make_pair(1, 3));  // lowest index wins
    const int32_t finds[][3] = {{9, 0, 1}, {9, 2, 2}, {-2, 4, 4}, {7, 0, -1}, {5, 5, -1}, {5, -1, -1}};
    for (const auto &f : finds) EXPECT_EQ(sample_find(s, f[0], f[1]), f[2]) << f[0] << " from " << f[1];
    S a(make({1, 2, 3, 4})), b(make({3, 4, 5})), c(make({0, 1, 2})), none(make({7, 8, 9}));
    const int32_t offsets[][2] = {{2, 2}, {0, 0}, {4, 0}, {-3, 0}, {-2, 0}};
    for (const auto &o : offsets) EXPECT_EQ(sample_match_count(a, b, o[0]), o[1]) << o[0];
    EXPECT_EQ(sample_best_offset(a, b), 2);
    EXPECT_EQ(sample_best_offset(a, c), -1);  // a[0] = c[1], a[1] = c[2]
    EXPECT_EQ(sample_best_offset(a, none), -3);
    S t(make({5, 0, 5})), one(make({5}));
    EXPECT_EQ(sample_best_offset(t, one), 0);  // ties go to the smallest
}

TEST(Sample, GrowthIsExact) {
    S s(sample_new());
    EXPECT_EQ(std::make_pair(s->count, s->capacity), std::make_pair(0, 32));
    sample_set_count(s, 100);
    EXPECT_EQ(s->capacity, 100);
    EXPECT_EQ(values(s), V(100, 0));
    s->data[15] = H;
    sample_set_count(s, 10);
    sample_set_count(s, 20);  // brought back without a new allocation
    EXPECT_EQ(s->data[15], H);
    sample_reserve(s, 16);  // smaller: keeps the first values, count follows
    EXPECT_EQ(std::make_pair(s->count, s->capacity), std::make_pair(16, 16));
    EXPECT_EQ(s->data[15], H);
    sample_reserve(s, 1);
    sample_push(s, 8);  // full at 1: 2, then 4
    EXPECT_EQ(s->capacity, 2);
    sample_push(s, 9);
    EXPECT_EQ(s->capacity, 4);
    sample_insert(s, K, 0);
    sample_insert(s, K, 0);
    EXPECT_EQ(s->capacity, 8);
    EXPECT_EQ(values(s), V({K, K, 0, 8, 9}));
    for (int32_t bad : {-1, 0x20000000, INT_MAX}) sample_set_count(s, bad);  // 2^29 values: 2^31 bytes
    for (int32_t bad : {0, -5, INT_MAX}) sample_reserve(s, bad);
    EXPECT_EQ(std::make_pair(s->count, s->capacity), std::make_pair(5, 8));
    int32_t storage[4] = {0};
    SAMPLE full = {0x10000000, 0x10000000, storage};  // growth past the limit stores nothing
    sample_push(&full, 5);
    sample_insert(&full, 5, 0);
    EXPECT_EQ(full.count, 0x10000000);
    EXPECT_EQ(full.data, storage);
}

TEST(Sample, DupCompareExtractAndFromBytes) {
    S s(sample_new());
    for (uint32_t i = 0; i < 40; i++) sample_push(s, (int32_t)(i * (uint32_t)H));
    S d(sample_dup(s));
    EXPECT_EQ(d->capacity, 40);
    EXPECT_TRUE(sample_compare(s, d));
    d->data[0] ^= 0x01000000;  // a difference in the high byte of the first value
    EXPECT_FALSE(sample_compare(s, d));
    S e(sample_new()), de(sample_dup(e));
    EXPECT_EQ(std::make_pair(de->count, de->capacity), std::make_pair(0, 32));
    EXPECT_FALSE(sample_compare(s, e));
    EXPECT_FALSE(sample_compare(nullptr, nullptr));
    S six(make({0, 1, H, 3, 4, K}));
    const int32_t extracts[][2] = {{1, 4}, {-2, 10}, {8, 9}, {3, 3}};
    const V want[] = {{1, H, 3}, {0, 1, H, 3, 4, K}, {}, {}};
    for (int i = 0; i < 4; i++) {
        S x(sample_extract(six, extracts[i][0], extracts[i][1]));
        ASSERT_NE(x.get(), nullptr);
        EXPECT_EQ(values(x), want[i]) << i;
    }
    EXPECT_EQ(sample_extract(six, 4, 1), nullptr);
    const int8_t bytes[4] = {-128, 127, 0, -1};
    S b(sample_from_bytes(bytes, 4));
    EXPECT_EQ(values(b), V({-128, 127, 0, -1}));
    EXPECT_EQ(sample_from_bytes(nullptr, 4), nullptr);
    EXPECT_EQ(sample_from_bytes(bytes, -1), nullptr);
}

TEST(Sample, TextFormWritesAndReadsLeniently) {
    S s(make({1, -2}));
    char *text = sample_to_text(s);
    EXPECT_STREQ(text, "SAMPLE { 2\n1\n-2\n}\n");
    std::free(text);
    S e(sample_new());
    text = sample_to_text(e);
    EXPECT_STREQ(text, "SAMPLE { 0 }\n");
    S back(sample_from_text(text));
    EXPECT_EQ(std::make_pair(back->count, back->capacity), std::make_pair(0, 32));
    std::free(text);
    S wide(make({0, INT_MIN, INT_MAX, -32768, H, K}));
    text = sample_to_text(wide);
    S round(sample_from_text(text));
    EXPECT_TRUE(sample_compare(wide, round));
    EXPECT_EQ(round->capacity, 6);
    std::free(text);
    // text -> values read (or "null" when refused).
    const char *cases[][2] = {
        {"junk SAMPLE{ -3, x 5 ;-6 7 } more", "5 -6 7"}, {"SAMPLE{2 10 20}", "10 20"},
        {"SAMPLE { 5\n1\n2\n", "1 2"},  {"SAMPLE { 4000000000\n1\n2\n}\n", "1 2"},
        {"SAMPLE { 99999999999999999999999999 7 }", "7"}, {"SAMPLE {1 2147483647}", "2147483647"},
        {"no keyword { 2 1 2 }", "null"}, {"SAMPLE 2 1 2", "null"}, {"SAMPLE { }", "null"},
    };
    for (const auto &c : cases) {
        S r(sample_from_text(c[0]));
        std::string got = r ? "" : "null";
        for (int32_t i = 0; r && i < r->count; i++) {
            if (i) got += ' ';
            got += std::to_string(r->data[i]);
        }
        EXPECT_EQ(got, c[1]) << c[0];
        EXPECT_LE(r ? r->capacity : 0, 32) << c[0];
    }
    int32_t storage[2] = {0};
    SAMPLE huge = {10000000, 10000000, storage};  // 3.5 GB of text
    EXPECT_EQ(sample_to_text(&huge), nullptr);
}

TEST(Sample, RawFilesInEveryWidthOrderAndSign) {
    // bytes, width, order, sign -> values.
    struct Read { std::vector<uint8_t> bytes; int32_t width; char order, sign; V want; } reads[] = {
        {{0x01, 0xFF, 0x80}, 8, 'l', 's', {256, -256, -32768}},
        {{0x00, 0x80, 0xFF}, 8, 'b', 'u', {-32768, 0, 32512}},
        {{0x34, 0x12, 0xFF, 0xFF}, 16, 'l', 's', {0x1234, -1}},
        {{0x12, 0x34, 0x80, 0x00}, 16, 'b', 's', {0x1234, -32768}},
        {{0x00, 0x80, 0xFF, 0xFF, 0x00, 0x00}, 16, 'l', 'u', {0, 32767, -32768}},
        {{0x80, 0x01, 0x7F}, 16, 'b', 'u', {1, }},  // a lone last byte is dropped
        {{}, 16, 'l', 's', {}},
    };
    for (const Read &r : reads) {
        S s(read_raw(r.bytes, r.width, r.order, r.sign));
        ASSERT_NE(s.get(), nullptr);
        EXPECT_EQ(values(s), r.want) << r.width << r.order << r.sign;
        EXPECT_EQ(s->capacity, 1024);
    }
    S big(read_raw(std::vector<uint8_t>(1025, 0x02), 8, 'l', 's'));
    EXPECT_EQ(std::make_pair(big->count, big->capacity), std::make_pair(1025, 2048));
    for (auto [w, o, g] : {std::make_tuple(24, 'l', 's'), std::make_tuple(16, 'm', 's'), std::make_tuple(16, 'l', 'x')})
        EXPECT_EQ(read_raw({1, 2}, w, o, g), nullptr);
    EXPECT_EQ(sample_read_raw(nullptr, 16, 'l', 's'), nullptr);
    // values, width, order -> bytes (clamped per width, never rescaled).
    struct Write { V in; int32_t width; char order; std::vector<uint8_t> want; } writes[] = {
        {{300, -300, 5}, 8, 'l', {0x7F, 0x80, 0x05}},
        {{0x1234, 40000, -40000}, 16, 'b', {0x12, 0x34, 0x7F, 0xFF, 0x80, 0x00}},
        {{0x1234, 40000, -40000}, 16, 'l', {0x34, 0x12, 0xFF, 0x7F, 0x00, 0x80}},
        {{0x1234}, 12, 'x', {0x34, 0x12}},
        {{-1, 9000000, INT_MIN}, 24, 'b', {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0x80, 0x00, 0x00}},
        {{-1, 9000000, INT_MIN}, 32, 'l', {0xFF, 0xFF, 0xFF, 0xFF, 0x40, 0x54, 0x89, 0x00, 0x01, 0x00, 0x00, 0x80}},
        {{H}, 32, 'b', {0x12, 0x34, 0x56, 0x78}},
    };
    for (const Write &w : writes) {
        S s(make(w.in));
        int32_t n = -1;
        EXPECT_EQ(written([&](FILE *f) { n = sample_write_raw(s, f, w.width, w.order); }), w.want) << w.width << w.order;
        EXPECT_EQ(n, (int32_t)w.in.size());
    }
    S s(make({1}));
    EXPECT_EQ(sample_write_raw(s, nullptr, 16, 'l'), 0);
}

TEST(Sample, NullAndBareRecords) {
    S s(make({1, 2, H}));
    sample_set_count(s, 2);  // the storage past the count still holds H
    EXPECT_EQ(sample_get(s, 2), 0);
    EXPECT_EQ(sample_get(s, -1), 0);
    EXPECT_EQ(sample_get(s, 1), 2);
    EXPECT_EQ(sample_get(nullptr, 0), 0);
    EXPECT_EQ(sample_remove(nullptr, 0), 0);
    EXPECT_EQ(sample_find(nullptr, 0, 0), -1);
    EXPECT_EQ(sample_dup(nullptr), nullptr);
    SAMPLE bare = {0, 0, nullptr};  // a record without storage takes a size but no values
    sample_push(&bare, 1);
    EXPECT_EQ(bare.count, 0);
    sample_set_count(&bare, 3);
    EXPECT_EQ(std::make_pair(bare.count, bare.capacity), std::make_pair(3, 3));
    std::free(bare.data);
    S e(sample_new());
    sample_resample(e, 4);  // nothing to stretch
    sample_rotate_right(e, 1);
    EXPECT_EQ(e->count, 0);
}
