// SOUND: the note table, the sine period (recorded CRC and hand values),
// square edges, the noise's draw order, the envelopes as tables of
// (length, value) -> values at chosen indices, and refusals. Every frequency
// and length on every path is held to straightforward versions in
// test_fast_music.cpp.
#include <gtest/gtest.h>

#include "audio/sound.h"
#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_support.h"

namespace {

using V = std::vector<int32_t>;

SAMPLE *filled(int32_t n, int32_t v) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    for (int32_t i = 0; i < n; i++) s->data[i] = v;
    return s;
}

V values(const SAMPLE *s) { return V(s->data, s->data + s->count); }

int32_t noise(Lcg &g) { return (g.next() & 0xFFFF) - 32768; }

}  // namespace

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
