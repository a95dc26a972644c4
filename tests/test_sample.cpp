// SAMPLE: the growable array of signed 32-bit values. In-place operations as
// one table (values in -> values out), exact growth, the text form and raw
// files. Values carry high bytes so that a copy that drops them shows.
// Moves, rotations and every position and count outside the record are swept
// in test_extremes.cpp. SOUND: the note table, the sine period (recorded CRC
// and hand values), square edges, the noise's draw order, the envelopes as
// tables of (length, value) -> values at chosen indices, and refusals (every
// frequency and length on every path is in test_music.cpp). SAM: the WAV
// reader (hand-built chunk layouts and broken headers), the WAV writer byte
// for byte, the SAM text and binary formats both ways, headerless data, the
// reader fallback, rendering and normalising. SAMDRAW: waveform columns,
// index stepping, range clamping, the smoothed waveform and the peak markers,
// each a table line with a picture worked out by hand ('.' background, '#'
// wave, 'm' marker).
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "audio/sam.h"
#include "audio/samdraw.h"
#include "audio/sample.h"
#include "audio/sound.h"
#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_picture.h"
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

// The bytes f writes to a stream.
std::string written(const std::function<void(FILE *)> &f) {
    char *buffer = nullptr;
    size_t size = 0;
    FILE *file = open_memstream(&buffer, &size);
    f(file);
    fclose(file);
    std::string bytes(buffer, size);
    free(buffer);
    return bytes;
}

TEST(Sample, InPlaceOperations) {
    struct Case { const char *name; V in; std::function<void(SAMPLE *)> op; V want; } cases[] = {
        {"clear", {H, 2, 3}, sample_clear, {0, 0, 0}},
        {"insert", {1, 2, 3}, [](SAMPLE *s) { sample_insert(s, H, 0); sample_insert(s, K, 4); sample_insert(s, 7, 2); }, {H, 1, 7, 2, 3, K}},
        {"mul wraps", {0x10000, -7, INT_MIN, H}, [](SAMPLE *s) { sample_mul(s, 0x10000); }, {0, -458752, 0, 0x56780000}},
        {"div truncates", {-7, 7, INT_MIN}, [](SAMPLE *s) { sample_div(s, 2); }, {-3, 3, INT_MIN / 2}},
        {"div -1 wraps, 0 refused", {INT_MIN, 6}, [](SAMPLE *s) { sample_div(s, -1); sample_div(s, 0); }, {INT_MIN, -6}},
        {"shr 1", {-3, 1024, INT_MIN}, [](SAMPLE *s) { sample_shr(s, 1); }, {-2, 512, -0x40000000}},
        {"shr 31", {-3, H}, [](SAMPLE *s) { sample_shr(s, 31); }, {-1, 0}},
        {"shr 32, 33", {-3, H}, [](SAMPLE *s) { sample_shr(s, 32); sample_shr(s, 33); }, {-3, H}},
        {"shl 31", {1, -1, 2}, [](SAMPLE *s) { sample_shl(s, 31); }, {INT_MIN, INT_MIN, 0}},
        {"shl 32, 33", {1, H}, [](SAMPLE *s) { sample_shl(s, 32); sample_shl(s, 33); }, {1, H}},
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
        {"shrink 6 to 3", {1, 2, 3, 4, 5, 6}, [](SAMPLE *s) { sample_resample(s, 3); }, {2, 4, 6}},
        {"shrink 3 to 2", {1, 2, 3}, [](SAMPLE *s) { sample_resample(s, 2); }, {1, 3}},
        {"line shallow", {9, 9, 9, 9, 9}, [](SAMPLE *s) { sample_line(s, 0, 0, 4, 2); }, {0, 1, 1, 2, 2}},
        {"line steep", {9, 9, 9}, [](SAMPLE *s) { sample_line(s, 0, 0, 2, 10); }, {0, 3, 8}},
        {"line falling", {9, 9, 9, 9, 9}, [](SAMPLE *s) { sample_line(s, 0, 2, 4, 0); }, {2, 1, 1, 0, 0}},
        {"line swapped", {9, 9, 9, 9, 9}, [](SAMPLE *s) { sample_line(s, 4, 0, 0, 2); }, {0, 1, 1, 2, 2}},
        {"line equal dy", {9, 9, 9}, [](SAMPLE *s) { sample_line(s, 0, 5, 2, 7); }, {5, 6, 7}},
        {"line one index", {9, 9, 9}, [](SAMPLE *s) { sample_line(s, 1, 5, 1, 100); }, {9, 5, 9}},
        {"line extremes", {9, 9}, [](SAMPLE *s) { sample_line(s, 0, INT_MIN, 1, INT_MAX); }, {INT_MIN, -1}},
        {"line flat", {9, 9, 9}, [](SAMPLE *s) { sample_line(s, 0, 1, 2, 1); }, {1, 1, 1}},
        {"insert itself", {1, H}, [](SAMPLE *s) { sample_insert_sample(s, s, 1); }, {1, 1, H, H}},
    };
    for (const Case &c : cases) {
        S s(make(c.in));
        c.op(s);
        EXPECT_EQ(values(s), c.want) << c.name;
    }
}

TEST(Sample, TwoSampleArithmeticOverTheShorterCount) {
    S a(make({1, 2, INT_MAX})), b(make({10, 20, 1, 99})), c(make({10, 20})), m(make({2, 3, 4})), n(make({-1, H}));
    sample_add(a, c);
    sample_add(a, b);
    sample_mul_each(m, n);
    EXPECT_EQ(values(a), V({21, 42, INT_MIN}));
    EXPECT_EQ(values(m), V({-2, (int32_t)(3u * (uint32_t)H), 4}));
    S x(make({0, 0, 1})), y(make({7, -7, 1})), f(make({0, 0})), g(make({3, -3}));
    sample_add_scaled(x, y, 3, 2);  // 21 / 2 = 10, -21 / 2 = -10, 3 / 2 = 1
    sample_add_scaled(x, y, 3, 0);  // a zero divisor is refused
    sample_add_fixed(f, g, 0x8000);  // 98304 >> 16 = 1, -98304 >> 16 = -2
    EXPECT_EQ(values(x), V({10, -10, 2}));
    EXPECT_EQ(values(f), V({1, -2}));
}

TEST(Sample, ExtremesFindAndMatching) {
    S s(make({5, 9, 9, -2, -2}));
    EXPECT_EQ(V({sample_max(s), sample_min(s), sample_argmax(s), sample_argmin(s)}), V({9, -2, 1, 3}));  // lowest index wins
    EXPECT_EQ(V({sample_find(s, 9, 0), sample_find(s, 9, 2), sample_find(s, -2, 4), sample_find(s, 7, 0)}), V({1, 2, 4, -1}));
    S a(make({1, 2, 3, 4})), b(make({3, 4, 5})), c(make({0, 1, 2})), none(make({7, 8, 9}));
    // a[0] = c[1], a[1] = c[2]; no match at all gives -3.
    EXPECT_EQ(V({sample_best_offset(a, b), sample_best_offset(a, c), sample_best_offset(a, none)}), V({2, -1, -3}));
    S t(make({5, 0, 5})), one(make({5})), e(make({4})), late(make({0, 0, 4}));
    EXPECT_EQ(sample_best_offset(t, one), 0);  // ties go to the smallest
    EXPECT_EQ(sample_best_offset(late, e), 2);  // the last offset counts too
}

TEST(Sample, GrowthIsExact) {
    S s(sample_new());
    sample_set_count(s, 100);
    EXPECT_EQ(std::make_pair(s->capacity, values(s)), std::make_pair(100, V(100, 0)));
    s->data[15] = H;
    sample_set_count(s, 15);
    EXPECT_EQ(sample_get(s, 15), 0);  // past the count, whatever the storage holds
    sample_set_count(s, 20);  // brought back without a new allocation
    EXPECT_EQ(s->data[15], H);
    sample_reserve(s, 16);  // smaller: keeps the first values, count follows
    EXPECT_EQ(V({s->count, s->capacity, s->data[15]}), V({16, 16, H}));
    sample_reserve(s, 1);
    sample_push(s, 8);  // full at 1: 2, then 4, then 8
    EXPECT_EQ(s->capacity, 2);
    sample_push(s, 9);
    EXPECT_EQ(s->capacity, 4);
    sample_insert(s, K, 0);
    sample_insert(s, K, 0);
    EXPECT_EQ(std::make_pair(s->capacity, values(s)), std::make_pair(8, V({K, K, 0, 8, 9})));
    int32_t storage[4] = {0};
    SAMPLE full = {0x10000000, 0x10000000, storage};  // growth past 2^31 bytes stores nothing
    sample_push(&full, 5);
    sample_insert(&full, 5, 0);
    EXPECT_EQ(std::make_pair(full.count, full.data), std::make_pair(0x10000000, &storage[0]));
}

TEST(Sample, DupCompareAndFromBytes) {
    S s(sample_new());
    for (uint32_t i = 0; i < 40; i++) sample_push(s, (int32_t)(i * (uint32_t)H));
    S d(sample_dup(s)), e(sample_new()), de(sample_dup(e));
    EXPECT_EQ(V({d->capacity, de->count, de->capacity}), V({40, 0, 32}));
    EXPECT_TRUE(sample_compare(s, d));
    d->data[0] ^= 0x01000000;  // a difference in the high byte of the first value
    EXPECT_FALSE(sample_compare(s, d));
    EXPECT_FALSE(sample_compare(s, e));
    const int8_t bytes[4] = {-128, 127, 0, -1};
    S b(sample_from_bytes(bytes, 4));
    EXPECT_EQ(values(b), V({-128, 127, 0, -1}));
    EXPECT_EQ(sample_from_bytes(nullptr, 4), nullptr);
}

TEST(Sample, TextFormWritesAndReadsLeniently) {
    S wide(make({0, INT_MIN, INT_MAX, -32768, H, K})), e(sample_new()), two(make({1, -2}));
    for (auto [s, want] : {std::pair<SAMPLE *, const char *>{two, "SAMPLE { 2\n1\n-2\n}\n"}, {e, "SAMPLE { 0 }\n"}, {wide, nullptr}}) {
        char *text = sample_to_text(s);
        if (want) {
            EXPECT_STREQ(text, want);
        }
        S back(sample_from_text(text));
        EXPECT_TRUE(s->count ? sample_compare(s, back) : back->count == 0);
        EXPECT_EQ(back->capacity, s->count ? s->count : 32);
        std::free(text);
    }
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
        for (int32_t i = 0; r && i < r->count; i++) got.append(i ? " " : "").append(std::to_string(r->data[i]));
        EXPECT_EQ(got, c[1]) << c[0];
        EXPECT_LE(r ? r->capacity : 0, 32) << c[0];
    }
    int32_t storage[2] = {0};
    SAMPLE huge = {10000000, 10000000, storage};  // 3.5 GB of text
    EXPECT_EQ(sample_to_text(&huge), nullptr);
}

TEST(Sample, RawFilesInEveryWidthOrderAndSign) {
    // bytes, width, order, sign -> values ("refused": null).
    struct Read { std::string bytes; int32_t width; char order, sign; V want; int32_t capacity; } reads[] = {
        {"\x01\xFF\x80", 8, 'l', 's', {256, -256, -32768}, 1024},
        {std::string("\x00\x80\xFF", 3), 8, 'b', 'u', {-32768, 0, 32512}, 1024},
        {"\x34\x12\xFF\xFF", 16, 'l', 's', {0x1234, -1}, 1024},
        {std::string("\x12\x34\x80\x00", 4), 16, 'b', 's', {0x1234, -32768}, 1024},
        {std::string("\x00\x80\xFF\xFF\x00\x00", 6), 16, 'l', 'u', {0, 32767, -32768}, 1024},
        {"\x80\x01\x7F", 16, 'b', 'u', {1}, 1024},  // a lone last byte is dropped
        {"", 16, 'l', 's', {}, 1024},
        {std::string(1025, 2), 8, 'l', 's', V(1025, 512), 2048},
        {"ab", 24, 'l', 's', {-1}, 0}, {"ab", 16, 'm', 's', {-1}, 0}, {"ab", 16, 'l', 'x', {-1}, 0},
    };
    for (const Read &r : reads) {
        FILE *file = tmpfile();
        fwrite(r.bytes.data(), 1, r.bytes.size(), file), rewind(file);
        S s(sample_read_raw(file, r.width, r.order, r.sign));
        fclose(file);
        EXPECT_EQ(s ? values(s) : V{-1}, r.want) << r.width << r.order << r.sign;
        EXPECT_EQ(s ? s->capacity : 0, r.capacity);
    }
    EXPECT_EQ(sample_read_raw(nullptr, 16, 'l', 's'), nullptr);
    // values, width, order -> bytes (clamped per width, never rescaled).
    struct Write { V in; int32_t width; char order; std::string want; } writes[] = {
        {{300, -300, 5}, 8, 'l', "\x7F\x80\x05"},
        {{0x1234, 40000, -40000}, 16, 'b', std::string("\x12\x34\x7F\xFF\x80\x00", 6)},
        {{0x1234, 40000, -40000}, 16, 'l', std::string("\x34\x12\xFF\x7F\x00\x80", 6)},
        {{0x1234}, 12, 'x', "\x34\x12"},
        {{-1, 9000000, INT_MIN}, 24, 'b', std::string("\xFF\xFF\xFF\x7F\xFF\xFF\x80\x00\x00", 9)},
        {{-1, 9000000, INT_MIN}, 32, 'l', std::string("\xFF\xFF\xFF\xFF\x40\x54\x89\x00\x01\x00\x00\x80", 12)},
        {{H}, 32, 'b', "\x12\x34\x56\x78"},
    };
    for (const Write &w : writes) {
        S s(make(w.in));
        int32_t n = -1;
        EXPECT_EQ(written([&](FILE *f) { n = sample_write_raw(s, f, w.width, w.order); }), w.want) << w.width << w.order;
        EXPECT_EQ(n, (int32_t)w.in.size());
    }
    EXPECT_EQ(sample_write_raw(S(make({1})), nullptr, 16, 'l'), 0);
}

SAMPLE *filled(int32_t n, int32_t v) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    for (int32_t i = 0; i < n; i++) s->data[i] = v;
    return s;
}

int32_t noise(Lcg &g) { return (g.next() & 0xFFFF) - 32768; }

TEST(Sound, NotesAndSinesFollowTheirTables) {
    const int32_t notes[][2] = {{0, 32}, {11, 62}, {45, 440}, {60, 1046}, {71, 1975}, {95, 7902}, {96, 32}, {-1, 7902}};
    for (const auto &n : notes) EXPECT_EQ(sound_note(n[0]), n[1]) << n[0];
    Golden g("sound");
    Own<sample_del> s(filled(44100, 0));
    sound_sine(s, 1);  // one second at 1 Hz is the table itself
    g.check("sine1", crc_of(s));
    EXPECT_EQ(V(s->data, s->data + 6), (V{0, 4, 9, 14, 18, 23}));  // 32767 sin(k pi / 22050), truncated
    EXPECT_EQ(V({s->data[11025], s->data[22050], s->data[33075], s->data[44099]}), V({32766, 0, -32766, -4}));
    // A whole period per value (the phase lands on the period exactly) and a quarter.
    const std::pair<int32_t, V> periods[] = {{11025, {0, 32766, 0, -32766, 0, 32766, 0, -32766}}, {44100, V(8, 0)}};
    for (const auto &[f, want] : periods) {
        Own<sample_del> t(filled(8, 123));
        sound_sine(t, f);
        EXPECT_EQ(values(t), want) << f;
    }
}

TEST(Sound, SquarePeriodsAndTheirEdges) {
    const int32_t P = 32767, N = -32768;
    struct Case { int32_t n, f; V want; } cases[] = {
        {8, 11025, {P, P, 0, 0, P, P, 0, 0}},  // four values: the negative run is empty
        {36, 2756, {P, P, P, P, P, P, P, P, 0, N, N, N, N, N, N, 0, P, P, P, P, P, P, P, P, 0, N, N, N, N, N, N, 0, 9, 9, 9, 9}},
        // 16.498 values per period: the second starts at 16, its middle at 24,
        // its end at 32 (the zero at 31); the third does not fit.
        {33, 2673, {P, P, P, P, P, P, P, P, 0, N, N, N, N, N, N, 0, P, P, P, P, P, P, P, P, 0, N, N, N, N, N, N, 0, 9}},
    };
    for (const Case &c : cases) {
        Own<sample_del> s(filled(c.n, 9));
        sound_square(s, c.f);
        EXPECT_EQ(values(s), c.want) << c.f;
    }
}

// Credit k starts at 22050 at the last value and loses the rate per value;
// below zero: a new draw and 44100 more credit. Rows list the draw of each value.
TEST(Sound, NoiseDrawsFromTheEndAndHoldsValuesForRateSteps) {
    const std::pair<int32_t, std::vector<int>> cases[] = {
        {11025, {2, 2, 1, 1, 1, 1, 0, 0}},  // k runs 22050, 11025, 0, -11025 (a draw), ...
        {22051, {3, 2, 2, 1, 1}},           // -1: a draw at once
        {22050, {2, 1, 1, 0}},              // 0 is no draw yet
        {0, {0, 0, 0}},                     // rate 0: the first value throughout
    };
    for (const auto &[rate, draws] : cases) {
        random_srand(77);
        Lcg g{77};
        V drawn, want;
        for (int i = 0; i <= draws.front(); i++) drawn.push_back(noise(g));
        for (int d : draws) want.push_back(drawn[d]);
        Own<sample_del> s(filled((int32_t)draws.size(), 9));
        sound_noise(s, rate);
        EXPECT_EQ(values(s), want) << rate;
        EXPECT_EQ(random_rand(), g.next()) << rate;
    }
    Golden golden("sound");
    random_srand(4242);
    Own<sample_del> full(filled(5000, 0));
    sound_noise(full, 44100);  // a new value for every element
    golden.check("noise44100", crc_of(full) ^ (uint32_t)random_rand());
}

TEST(Sound, EnvelopesAtChosenIndices) {
    using Env = void (*)(SAMPLE *);
    struct Case { const char *name; Env env; int32_t n, v; std::vector<std::pair<int32_t, int32_t>> want; } cases[] = {
        {"decay 1 s", sound_decay, 44100, 32767, {{0, 32766}, {1, 32765}, {44098, 0}, {44099, 0}}},
        // The ramp over 11024 steps is steep: it stops at 1, after 4 and 7.
        {"decay 1/4 s", sound_decay, 11025, 32767, {{0, 32766}, {1, 32764}, {11022, 6}, {11023, 3}, {11024, 0}}},
        {"decay negative", sound_decay, 44100, -1, {{0, -1}, {44099, 0}}},
        {"rise", sound_rise, 44100, 32767, {{0, 0}, {1, 0}, {44099, 32766}}},
        {"fade out 4", sound_fade_out, 4, 32767, {{0, 32767}, {1, 24575}, {2, 16383}, {3, 8191}}},
        {"fade in 4", sound_fade_in, 4, 32767, {{0, 0}, {1, 8191}, {2, 16383}, {3, 24575}}},
        // 2^30 / 44100 = 24347: the gain stays 32768 for two values.
        {"fade out 1 s", sound_fade_out, 44100, 32768, {{0, 32768}, {1, 32768}, {2, 32767}, {44099, 2}}},
        {"fade in 1 s", sound_fade_in, 44100, 32768, {{0, 0}, {1, 0}, {2, 1}, {44099, 32766}}},
    };
    for (const Case &c : cases) {
        Own<sample_del> s(filled(c.n, c.v));
        c.env(s);
        for (auto [i, v] : c.want) EXPECT_EQ(s->data[i], v) << c.name << " at " << i;
        EXPECT_EQ(s->count, c.n);
    }
}

TEST(Sound, RefusalsAndOutOfRangeInputsNeitherFailNorHang) {
    Own<sample_del> s(filled(16, 3)), one(filled(1, 100)), empty(sample_new());
    EXPECT_EQ(std::make_pair(sound_check(nullptr), sound_check(s)), std::make_pair(0, 1));
    EXPECT_EQ(printed([&] {  // the switch is off
                  sound_square(nullptr, 440), sound_sine(nullptr, 440), sound_square(s, 0), sound_square(s, -5);
                  for (auto env : {sound_decay, sound_rise, sound_fade_in, sound_fade_out}) env(nullptr), env(one), env(empty);
              }),
              "");
    EXPECT_EQ(values(s), V(16, 3));  // nothing written
    sound_square(s, 0x7FFFFFFF), sound_sine(s, 30000), sound_noise(s, -100), sound_noise(s, 0x7FFFFFFF), sound_noise(nullptr, 440);
    EXPECT_EQ(empty->count, 0);
}

using Values = std::vector<int32_t>;
using Sam = Own<sam_del>;
const Values failed = {-999};

std::string le16(uint32_t v) { return std::string{(char)(v & 0xFF), (char)((v >> 8) & 0xFF)}; }
std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }
std::string chunk(const char *id, const std::string &body) {
    return id + le32((uint32_t)body.size()) + body + (body.size() & 1 ? std::string(1, '\0') : "");
}
std::string fmt(uint32_t tag, uint32_t channels, uint32_t bits) {
    uint32_t align = channels * bits / 8;
    return le16(tag) + le16(channels) + le32(44100) + le32(44100 * align) + le16(align) + le16(bits);
}
std::string riff(const std::string &chunks) { return "RIFF" + le32(4 + (uint32_t)chunks.size()) + "WAVE" + chunks; }
// The canonical 44-byte header with the given fields, then `data`.
std::string wav(uint32_t tag, uint32_t channels, uint32_t bits, uint32_t size, const std::string &data) {
    return "RIFF" + le32(36 + size) + "WAVEfmt " + le32(16) + fmt(tag, channels, bits) + "data" + le32(size) + data;
}

SAMPLE *make_sample(const Values &values) {
    SAMPLE *s = sample_new();
    for (int32_t v : values) sample_push(s, v);
    return s;
}

Values values_of(const SAMPLE *s) { return s ? Values(s->data, s->data + s->count) : Values{}; }

SAM *sam_for(const std::string &path, const Values *values = nullptr) {
    SAM *s = sam_new();
    sam_set_name(s, path.c_str()), values ? sam_set_sample(s, make_sample(*values)) : (void)0;
    return s;
}

// Loads `path` into a record holding {42}: the values, or `failed` when the
// load is refused (and then the old sample must stay). No file stays open.
Values load(const std::string &path, SAM *s = nullptr) {
    Sam own(s ? nullptr : sam_for(path));
    if (!s) s = own;
    sam_set_sample(s, make_sample({42}));
    bool ok = sam_load(s);
    EXPECT_EQ(s->file, nullptr);
    if (!ok) {
        EXPECT_EQ(values_of(s->sample), Values{42}) << path;
    }
    return ok ? values_of(s->sample) : failed;
}

class SamFile : public testing::Test {
protected:
    TempDir dir{"test_sam"};
    std::string path = dir.file("t.wav");
    Values load_bytes(const std::string &bytes) { return write_file(path, bytes), load(path); }
};

const std::string four16("\x01\x00\xff\xff\x00\x80\xff\x7f", 8);  // 1, -1, -32768, 32767
const Values four = {1, -1, -32768, 32767};

const uint32_t B = 0x808080, W = 0xFFFFFF;

// A drawer over a new SAM holding `values` and a new w x h image.
struct Drawing {
    Own<sam_del> sam{sam_new()};
    Own<img_del> image;
    Own<samdraw_del> d{samdraw_new()};
    Drawing(const std::vector<int32_t> &values, int32_t w, int32_t h) : image(grid_image(w, h)) {
        sam_set_sample(sam, make_sample(values));
        d->sam = sam, d->target = image, d->last = (int32_t)values.size() - 1;
    }
};

}  // namespace

// ---- WAV reader ---------------------------------------------------------------------

TEST_F(SamFile, CanonicalFilesGiveTheirValuesAndFields) {
    const struct { uint32_t channels, bits; std::string data; Values values; char sign; } cases[] = {
        {1, 16, four16, four, 's'},
        {2, 8, std::string("\x00\x7f\x80\xff", 4), {0, 127, 128, 255}, 'u'},  // not re-centred
        {1, 24, std::string("\x01\x00\x00\xff\xff\xff\x00\x00\x80", 9), {1, -1, -8388608}, 's'},
        {1, 32, four16, {-65535, 2147450880}, 's'},  // 0xFFFF0001, 0x7FFF8000
    };
    for (const auto &c : cases) {
        write_file(path, wav(1, c.channels, c.bits, (uint32_t)c.data.size(), c.data));
        Sam s(sam_for(path));
        ASSERT_TRUE(sam_read_wav(s)) << c.bits;
        EXPECT_EQ(values_of(s->sample), c.values);
        EXPECT_EQ((Values{s->channels, s->sample_width, s->sign, s->order, s->file != nullptr}), (Values{(int32_t)c.channels, (int32_t)c.bits, c.sign, 'l', 0}));
    }
}

TEST_F(SamFile, ChunksAreWalkedAndBrokenHeadersRefused) {
    const std::string f16 = chunk("fmt ", fmt(1, 1, 16)), data = chunk("data", four16), abcd = wav(1, 1, 16, 4, "abcd");
    // Extensible: cbSize 22, valid bits, channel mask, then the sub-format GUID.
    auto extensible = [](uint32_t sub) {
        return chunk("fmt ", fmt(0xFFFE, 1, 16) + le16(22) + le16(16) + le32(4) + le16(sub) +
                                 std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14));
    };
    const struct { const char *layout; std::string bytes; Values values; } cases[] = {
        {"LIST between", riff(f16 + chunk("LIST", "INFOISFT\x03\0\0\0abc") + data), four},
        {"odd chunk and its pad byte", riff(chunk("junk", "abc") + f16 + chunk("fact", le32(4)) + data), four},
        {"longer format chunk", riff(chunk("fmt ", fmt(1, 1, 16) + le16(0)) + data), four},
        {"extensible PCM", riff(extensible(1) + data), four},
        {"a short last value", wav(1, 1, 16, 2, std::string("\x05\x00\x06\x00", 4)), {5}},
        {"extensible float", riff(extensible(3) + data), failed},
        {"format 3", riff(chunk("fmt ", fmt(3, 1, 32)) + data), failed},
        {"data before fmt", riff(data + f16), failed},
        {"no data chunk", riff(f16 + chunk("LIST", "abcd")), failed},
        {"chunk beyond the file", riff(f16 + "LIST" + le32(1000) + "abcd" + data), failed},
        {"format chunk too short", riff(chunk("fmt ", fmt(1, 1, 16).substr(0, 14)) + data), failed},
        {"two format chunks", riff(f16 + f16 + data), failed},
        {"not WAVE", abcd.substr(0, 8) + "WAVX" + abcd.substr(12), failed},
        {"width 0", wav(1, 1, 0, 4, "abcd"), failed},   {"width 4", wav(1, 1, 4, 4, "abcd"), failed},
        {"width 12", wav(1, 1, 12, 4, "abcd"), failed}, {"no channel", wav(1, 0, 16, 4, "abcd"), failed},
        {"cut short", abcd.substr(0, 43), failed},     {"not RIFF", "X" + abcd.substr(1), failed},
    };
    for (const auto &c : cases) EXPECT_EQ(load_bytes(c.bytes), c.values) << c.layout;
}

TEST_F(SamFile, TheDataSizeOnlyBoundsTheRead) {
    // 4 GiB claimed; the file holds two values and half of a third.
    write_file(path, wav(1, 1, 16, 0xFFFFFFF0u, std::string("\x05\x00\x06\x00\x07", 5)));
    Sam s(sam_for(path));
    EXPECT_EQ(load(path, s), (Values{5, 6}));
    EXPECT_LE(s->sample->capacity, 64);  // nothing reserved for the claimed size
}

// ---- Writers -------------------------------------------------------------------------------

TEST_F(SamFile, SavingToAWavNameWritesACanonicalPcmFile) {
    Values values = {1, -2};
    Sam s(sam_for(dir.file("out.WAV"), &values));
    ASSERT_TRUE(sam_save(s));
    EXPECT_EQ(read_file(dir.file("out.WAV")), wav(1, 1, 16, 4, std::string("\x01\x00\xfe\xff", 4)));
    // Stereo: values saturate and silence pads the last frame.
    values = {40000, -40000, 7};
    s.reset(sam_for(path, &values));
    s->channels = 2;
    ASSERT_TRUE(sam_save(s));
    EXPECT_EQ(read_file(path), wav(1, 2, 16, 8, std::string("\xff\x7f\x00\x80\x07\x00\x00\x00", 8)));
    EXPECT_EQ(load(path), (Values{32767, -32768, 7, 0}));
    // No directory, more channels than a WAV block holds, nothing to write.
    s.reset(sam_for(dir.path + "/missing/x.wav", &values));
    EXPECT_FALSE(sam_save(s));
    s->channels = 40000, sam_set_name(s, path.c_str());
    EXPECT_FALSE(sam_save(s) || sam_save(Sam(sam_for(path))));
}

TEST_F(SamFile, SamFilesAreWrittenAsGivenAndReadBack) {
    const struct { const char *name; char encoding; Values values; std::string bytes; Values back; } cases[] = {
        {"t.sam", 'A', {5, -7, 0, 123456},
         "SAM\nASCII\nsigned\nbits 16\nlittle endian\nchanels 1\n4\n5\n-7\n0\n123456\n", {5, -7, 0, 123456}},
        {"b.dat", 'b', {1, -2, 70000},  // keeps the low 16 bits: 4464
         "SAM\nbinary\nsigned\nbits 16\nlittle endian\nchanels 1\n3\n" + std::string("\x01\x00\xfe\xff\x70\x11", 6),
         {1, -2, 4464}},
        {"u.sam", 'x', {1}, "SAM\n", failed},  // no such encoding: the first line only, unreadable
        {"v.raw", 0, {1, -1}, std::string("SAM\nbinary\n2\n8\n\x01\xff", 17), {1, -1}},
        {"w.raw", 0, {128, -129}, std::string("SAM\nbinary\n2\n16\n\x00\x80\xff\x7f", 20), {128, -129}},
        {"x.raw", 0, {-32769}, std::string("SAM\nbinary\n1\n24\n\xff\x7f\xff", 19), {-32769}},
        {"y.raw", 0, {8388608, INT32_MIN},
         std::string("SAM\nbinary\n2\n32\n\x00\x80\x00\x00\x80\x00\x00\x00", 24), {8388608, INT32_MIN}},
    };
    for (const auto &c : cases) {
        Sam s(sam_for(dir.file(c.name), &c.values));
        s->encoding = c.encoding;
        EXPECT_EQ(sam_save(s), c.encoding != 'x') << c.name;
        EXPECT_EQ(read_file(dir.file(c.name)), c.bytes) << c.name;
        EXPECT_EQ(load(dir.file(c.name)), c.back) << c.name;
    }
}

TEST_F(SamFile, WidthLineWriterUsesHighByteFirst) {
    Sam s(sam_for(path));
    const std::pair<Values, std::string> cases[] = {
        {{1, -1}, std::string("8\n\x01\xff", 4)}, {{1000, -2}, std::string("16\n\x03\xe8\xff\xfe", 7)}, {{40000}, ""}};
    for (const auto &[values, bytes] : cases) {
        sam_set_sample(s, make_sample(values));
        EXPECT_EQ(sam_write_width(s), !bytes.empty());
        EXPECT_EQ(read_file(path), bytes);
    }
}

// ---- Readers by header, record and ending -------------------------------------------------

TEST_F(SamFile, SamHeaderWordsNumbersAndComments) {
    const std::pair<std::string, Values> cases[] = {
        {"# by hand\nsam a s 16 3 2\n10 -20\n30 40\n", {10, -20, 30}},  // width, count, channels
        {"SAM\nB\nS\n16 2 1\n\x01\x02\xff\xfe", {258, -2}},            // high byte first by default
        {"SAM binary unsigned chanels 1 bits 16 2\n\x01\x02\xff\xfe", {258, 65534}},
        {"SAM b s little endian bits 24 2 chanels 1\n" + std::string("\x01\x00\x80\xff\xff\xff", 6), {-8388607, -1}},
        {"SAM a s 16 2000000000 1\n1 2\n", {1, 2}},  // a short body ends at the end of the file
        {"SAM\nASCII\nsigned\nbits 16\n", failed},   // no count
        {"SAM a s 0 2 1\n1 2\n", failed},
        {"SAM a s 33 2 1\n1 2\n", failed},
        {"SAM a s 16 99999999999 1\n1 2\n", failed},
    };
    path = dir.file("h.sam");
    for (const auto &[bytes, values] : cases) EXPECT_EQ(load_bytes(bytes), values) << bytes;
}

TEST_F(SamFile, HeaderlessValuesFollowTheRecordsOwnLayout) {
    path = dir.file("d.pcm");
    write_file(path, std::string("\x01\x02\xff\xfe\x07", 5));
    const struct { int32_t width; char order, sign; Values values; } cases[] = {
        {16, 'm', 's', {258, -2}},  // the odd byte is dropped
        {16, 'l', 'u', {513, 65279}},
        {8, 'l', 's', {1, 2, -1, -2, 7}},
        {24, 'l', 's', {-65023}},  // 0xFF0201 sign-extended
        {12, 'l', 's', failed},
        {16, 'x', 's', failed},
    };
    for (const auto &c : cases) {
        Sam s(sam_for(path));
        s->sample_width = c.width, s->order = c.order, s->sign = c.sign;
        EXPECT_EQ(load(path, s), c.values) << c.width << c.order << c.sign;
    }
}

TEST_F(SamFile, TheEndingChoosesFirstAndTheOthersFollow) {
    write_file(dir.file("sam.wav"), "SAM a s 16 2 1\n4 5\n");
    write_file(dir.file("wav.sam"), wav(1, 1, 16, 2, std::string("\x09\x00", 2)));
    write_file(dir.file("junk.bin"), "nothing here");
    // Headerless needs a width; a missing file reads nothing.
    const std::pair<const char *, Values> cases[] = {{"sam.wav", {4, 5}}, {"wav.sam", {9}}, {"junk.bin", failed}, {"absent.wav", failed}};
    for (const auto &[name, values] : cases) EXPECT_EQ(load(dir.file(name)), values) << name;
    Sam s(sam_new());
    EXPECT_FALSE(sam_load(s));  // neither a name nor a file
    s->file = fopen(dir.file("wav.sam").c_str(), "rb");
    EXPECT_EQ(load("", s), Values{9});  // an open file is read and closed
}

// ---- Rendering -----------------------------------------------------------------------------

TEST(SamRender, LoopsFromLoopStartOnceLoopEndIsReached) {
    const Values ten = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    const struct { int32_t start, end, position, n; Values out; int32_t after; } cases[] = {
        {2, 6, 0, 3, {0, 10, 20}, 3},
        {2, 6, 4, 7, {40, 50, 20, 30, 40, 50, 20}, 3},
        {0, 0, 8, 4, {80, 90, 0, 0}, 12},  // no loop: silence past the end
        {8, 100, 9, 3, {90, 80, 90}, 10},  // a loop end beyond the sample ends with it
        {2, 6, 6, 2, {20, 30}, 4},          // at loop_end the next value is loop_start's
    };
    for (const auto &c : cases) {
        Sam s(sam_for("x", &ten));
        s->loop_start = c.start, s->loop_end = c.end, s->position = c.position;
        Own<sample_del> out(make_sample(Values(9, -1)));
        sam_render(s, out, c.n), sam_render(s, out, 0), sam_render(s, nullptr, 2);  // the last two refused
        Values want = c.out;
        want.resize(9, -1);
        EXPECT_EQ(values_of(out), want) << c.position;
        EXPECT_EQ(std::make_pair(s->position, s->mode), std::make_pair(c.after, 'l'));
    }
}

TEST(SamNormalize, PeakBecomesAbout32767Times32768) {
    // m = 200; 0x3FFF8000 / 200 = 5368545. Silence stays silence.
    for (auto [in, out] : {std::pair<Values, Values>{{100, -200, 50}, {536854500, -1073709000, 268427250}}, {{0, 0}, {0, 0}}}) {
        Own<sample_del> s(make_sample(in));
        sam_normalize(s.address());
        EXPECT_EQ(values_of(s), out);
    }
    sam_normalize(nullptr);
}

// ---- Drawing ---------------------------------------------------------------------------

TEST(Samdraw, DrawsAsPictures) {
    using Draw = void (*)(SAMDRAW *);
    struct Case { const char *name; Draw draw; std::vector<int32_t> values; int32_t first, last, w, h; const char *want; } cases[] = {
        // Height 4, mid 2: 32767 reaches row 3, -32768 row 0, 0 stays on row 2.
        {"one per column", samdraw_draw, {32767, -32768, 16384, 0}, 0, 3, 4, 4, ".#..|.#..|####|#.#."},
        {"8 in 4", samdraw_draw, {32767, -32768, 0, 32767, -32768, 0, 0, 0}, 0, 7, 4, 4, "..#.|..#.|####|#..."},
        {"2 in 4", samdraw_draw, {32767, -32768}, 0, 1, 4, 4, "..##|..##|####|##.."},
        {"exchanged range", samdraw_draw, {0, 32767, -32768, 32767}, 3, 1, 4, 4, ".#..|.#..|###.|#.#."},
        {"clamped range", samdraw_draw, {0, 32767, -32768, 32767}, -5, 99, 4, 4, "..#.|..#.|####|.#.#"},
        {"empty", samdraw_draw, {}, 0, 0, 2, 2, "..|.."},
        // Means 10000, 0, -9000, -9000 on height 8: rows 4 + 1, 4, 4 - 2.
        {"smooth", samdraw_draw_smooth, {30000, 0, -30000, 3000}, 0, 3, 4, 8, "....|....|..##|..##|####|#...|....|...."},
        // argmax 1 in column 4 * 1 / 8 = 0, argmin 3 in column 1; no clearing.
        {"peaks", samdraw_draw_peaks, {0, 32767, 0, -32768, 0, 0, 0, 0}, 0, 7, 4, 4, "xmxx|xmxx|mmxx|mxxx"},
    };
    for (const Case &c : cases) {
        Drawing t(c.values, c.w, c.h);
        img_clear(t.image, 0x123456);
        t.d->first = c.first;
        t.d->last = c.last;
        c.draw(t.d);
        EXPECT_TRUE(grid_equals(t.image, picture(c.want, ".#mx", {B, W, 0, 0x123456}))) << c.name;
        EXPECT_EQ(std::make_pair(t.d->first, t.d->last), std::make_pair(c.first, c.last)) << c.name;
    }
    std::vector<int32_t> alternate;  // 512 values into 256 columns: every second value
    for (int i = 0; i < 512; i++) alternate.push_back(i % 2 ? -32768 : 32767);
    Drawing t(alternate, 256, 4);
    samdraw_draw(t.d);
    std::vector<uint32_t> want(256 * 4, B);
    std::fill(want.begin() + 512, want.end(), W);
    EXPECT_TRUE(grid_equals(t.image, want));
}

TEST(Samdraw, MissingPiecesDrawNothing) {
    Drawing t({1, 2}, 2, 2);
    img_clear(t.image, 0x123456);
    for (auto draw : {samdraw_draw, samdraw_draw_smooth, samdraw_draw_peaks}) draw(nullptr);
    SAMPLE *sample = t.sam->sample;
    t.d->sam = nullptr;
    samdraw_draw(t.d);
    t.d->sam = t.sam, t.sam->sample = nullptr;
    samdraw_draw(t.d);
    samdraw_draw_peaks(t.d);
    t.sam->sample = sample, t.d->target = nullptr;
    samdraw_draw(t.d);
    EXPECT_TRUE(grid_equals(t.image, std::vector<uint32_t>(4, 0x123456)));
    Own<samdraw_del> a(samdraw_new()), b(samdraw_new());
    EXPECT_EQ(samdraw_to_text(a), nullptr);
    EXPECT_TRUE(samdraw_compare(a, b) && !samdraw_compare(a, nullptr));
}
