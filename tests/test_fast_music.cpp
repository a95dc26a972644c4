// The fast sound generators, instrument bank and music loop against their
// straightforward versions in bench/reference_music.cpp: every value and
// every random draw the same, over the demo's inputs and random ones with
// extremes (full 32-bit values, the longest and shortest samples, divisors
// from 2 to INT32_MAX), on the widest vector path (0), the plain one (1) and AVX2 (2);
// and the fast start: the generator's skip-ahead and per-thread state, the
// count of the bank's draws, and the bank set aside at start-up and built on
// its own thread (or in line) giving the same notes and the same later draws.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <type_traits>
#include <vector>

#include "audio/music.h"
#include "audio/sample.h"
#include "audio/sound.h"
#include "bench/reference_music.h"
#include "demo/resources.h"
#include "demo/soundtrack.h"
#include "host/backend.h"
#include "host/cli.h"
#include "host/random.h"
#include "tests/test_support.h"

namespace {

// n values from g: mostly 16-bit sound, now and then a full 32-bit extreme.
SAMPLE *random_sample(Lcg &g, int32_t n) {
    static const int32_t extremes[] = {INT32_MIN, INT32_MAX, -1, 0, 1, INT32_MIN + 1, 0x40000000};
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    for (int32_t i = 0; i < n; i++)
        s->data[i] = (g.next() & 63) == 0 ? extremes[g.next() % 7] : (int32_t)((g.next30() & 0xFFFF) - 32768);
    return s;
}

void expect_same(const SAMPLE *fast, const SAMPLE *slow, const char *what, int64_t tag) {
    ASSERT_EQ(fast->count, slow->count) << what << " " << tag;
    for (int32_t i = 0; i < fast->count; i++) ASSERT_EQ(fast->data[i], slow->data[i]) << what << " " << tag << " value " << i;
}

// Runs fast and slow from one seed (on copies of one input, if any) and
// compares the results and the generator's next draw afterwards.
template <typename T, typename Fast, typename Slow>
void compare_on(T *input, T *(*dup)(const T *), Fast fast, Slow slow, const char *what, int64_t tag, uint32_t seed = 77) {
    T *a = dup(input), *b = dup(input);
    random_srand(seed);
    fast(a);
    int32_t after_fast = random_rand();
    random_srand(seed);
    slow(b);
    EXPECT_EQ(after_fast, random_rand()) << what << " " << tag << ": a different number of draws";
    if constexpr (std::is_same_v<T, SAMPLE>) {
        expect_same(a, b, what, tag);
        sample_del(&a), sample_del(&b);
    } else {
        expect_same(a->work ? a->work : a->loop, b->work ? b->work : b->loop, what, tag);
        expect_same(a->loop, b->loop, what, tag);
        EXPECT_EQ(a->notes->count, b->notes->count);
        for (int32_t i = 0; i < a->notes->count && i < b->notes->count; i++)
            expect_same((SAMPLE *)list_get(a->notes, i), (SAMPLE *)list_get(b->notes, i), what, i);
        music_del(&a), music_del(&b);
    }
}

// A music record with a random loop and work of `length` values and a bank of
// notes of the given lengths (random values with extremes).
MUSIC *random_music(Lcg &g, int32_t length, std::vector<int32_t> notes) {
    MUSIC *m = music_new();
    sample_del(&m->loop);
    m->loop = random_sample(g, length);
    m->work = random_sample(g, length);
    for (int32_t n : notes) music_add_note(m, random_sample(g, n));
    return m;
}

MUSIC *copy_music(const MUSIC *m) {
    MUSIC *c = music_new();
    sample_del(&c->loop);
    c->loop = m->loop ? sample_dup(m->loop) : nullptr;
    c->work = m->work ? sample_dup(m->work) : nullptr;
    for (int32_t i = 0; i < m->notes->count; i++) music_add_note(c, sample_dup((SAMPLE *)list_get(m->notes, i)));
    return c;
}

class Fast : public testing::TestWithParam<int> {
protected:
    void SetUp() override { sound_set_paths(GetParam()), music_set_paths(GetParam()); }
    void TearDown() override { sound_set_paths(0), music_set_paths(0); }
};

const int32_t lengths[] = {1, 2, 3, 16, 40, 1000, 11025, 22050, 44100, 65535, 132300};

TEST_P(Fast, GeneratorsAndEnvelopesMatchTheStraightforwardOnes) {
    const std::vector<int32_t> freqs = {-5, 0, 1, 32, 440, 1975, 7902, 11025, 21435, 21436, 22051, 28160, 44100, 70000};
    Lcg g{5};
    for (int32_t n : lengths) {
        Own<sample_del> in(random_sample(g, n));
        for (int32_t f : GetParam() == 0 ? freqs : std::vector<int32_t>{}) {  // the generators have one path
            compare_on<SAMPLE>(in, sample_dup, [&](SAMPLE *s) { sound_sine(s, f); }, [&](SAMPLE *s) { reference_sound_sine(s, f); }, "sine", f);
            compare_on<SAMPLE>(in, sample_dup, [&](SAMPLE *s) { sound_square(s, f); }, [&](SAMPLE *s) { reference_sound_square(s, f); }, "square", f);
            compare_on<SAMPLE>(in, sample_dup, [&](SAMPLE *s) { sound_noise(s, f); }, [&](SAMPLE *s) { reference_sound_noise(s, f); }, "noise", f);
        }
        for (int times = 1; times <= 6; times++)  // a fresh ramp every time
            compare_on<SAMPLE>(in, sample_dup, [&](SAMPLE *s) { sound_decay_times(s, times); },
                               [&](SAMPLE *s) { for (int t = 0; t < times; t++) reference_sound_decay(s); }, "decay", n * 10 + times);
        compare_on<SAMPLE>(in, sample_dup, sound_decay, reference_sound_decay, "decay", n);
        compare_on<SAMPLE>(in, sample_dup, sound_rise, [](SAMPLE *s) { reference_sound_envelope(s, 0, 32767); }, "rise", n);
    }
}

const uint32_t demo_seed = 0x31756A22;  // the demo's second seed

TEST(FastBank, TheBankMatchesNoteByNoteAndLeavesTheSameGenerator) {
    Own<music_del> none(music_new());
    compare_on<MUSIC>(none, copy_music, [](MUSIC *&m) { music_del(&m), m = demo_build_instruments(); },
                      [](MUSIC *&m) { music_del(&m), m = reference_build_instruments(); }, "bank", 0, demo_seed);
    random_srand(demo_seed);
    Own<music_del> bank(demo_build_instruments());  // draws as many as counted
    EXPECT_EQ(random_state_now(), random_state_after(demo_seed, demo_bank_draws()));
}

TEST(FastStart, SkipAheadLandsWhereStepsDo) {
    for (uint32_t seed : {0u, 1u, 45429u, demo_seed, 0xFFFFFFFFu})
        for (uint64_t n : {0, 1, 2, 7, 4096, 100003}) {
            random_srand(seed);
            for (uint64_t i = 0; i < n; i++) random_rand();
            EXPECT_EQ(random_state_after(seed, n), random_state_now()) << seed << " " << n;
        }
    // The period is 2^32: a whole period comes back to the start.
    EXPECT_EQ(random_state_after(demo_seed, 1ull << 32), demo_seed);
    EXPECT_EQ(random_state_after(demo_seed, (1ull << 32) + 5), random_state_after(demo_seed, 5));
}

TEST(FastStart, EachThreadDrawsOnItsOwnState) {
    random_srand(45429);
    int32_t fresh = 0;
    std::thread([&] { fresh = random_rand(), random_srand(7), random_rand(); }).join();
    EXPECT_EQ(fresh, 41);             // a new thread starts unseeded
    EXPECT_EQ(random_rand(), 17318);  // this thread's first draw after 45429
}

// Every value of every note, in order.
std::vector<int32_t> values(const MUSIC *m) {
    std::vector<int32_t> v;
    for (int32_t i = 0; m && i < m->notes->count; i++) {
        const SAMPLE *s = (const SAMPLE *)m->notes->items[i];
        v.insert(v.end(), s->data, s->data + s->count);
    }
    return v;
}

TEST(FastStart, SetAsideBankIsTheBankInLine) {
    CLI cli{};
    cli.headless = 1;
    ASSERT_TRUE(backend_start(&cli));
    random_srand(demo_seed);
    demo_build_resources();
    std::vector<int32_t> want = values(demo_music);
    int32_t next = random_next();
    // 48 organ and 12 chord notes of a second, 24 of half, 12 hits of a quarter.
    ASSERT_EQ(want.size(), 60u * 44100 + 24u * 22050 + 12u * 11025);
    for (int threaded = 0; threaded < 2; threaded++) {
        demo_music = nullptr;
        random_srand(demo_seed);
        demo_build_resources_deferred();
        EXPECT_EQ(demo_music, nullptr);
        if (threaded) demo_bank_start();
        EXPECT_EQ(random_next(), next) << threaded;  // drawn while the bank may still be building
        demo_bank_ready();
        EXPECT_EQ(values(demo_music), want) << threaded;
    }
    backend_stop();
}

// Loops of 1 to 132300 values, and one blended past a shorter work (3001 of
// 5000 values), for divisors from 2 to INT32_MAX.
TEST_P(Fast, BlendDividesExactlyForEveryDivisor) {
    const int32_t divisors[] = {2, 3, 5, 7, 64, 127, 128, 150, 255, 1000, 65535, 65536, 65537,
                                0x7FFF, 1 << 30, (1 << 30) + 1, INT32_MAX - 1, INT32_MAX};
    Lcg g{11};
    for (auto [length, work] : {std::pair{1, 1}, {7, 7}, {1000, 1000}, {132300, 132300}, {5000, 3001}}) {
        Own<music_del> m(random_music(g, length, {}));
        sample_set_count(m->work, work);
        for (int32_t k : divisors)
            compare_on<MUSIC>(m, copy_music, [&](MUSIC *x) { music_blend(x, k); }, [&](MUSIC *x) { reference_music_blend(x, k); }, "blend", k);
    }
}

// Loops of the demo's length and short odd ones; notes shorter than, as long
// as and longer than the loop, and one empty note; each pattern followed by
// the blends a music step makes.
TEST_P(Fast, PatternsMatchForEveryDensityAndOffset) {
    using Pattern = void (*)(MUSIC *);
    const Pattern fast[] = {music_pattern_even, music_pattern_decayed, music_pattern_odd};
    const Pattern slow[] = {reference_music_pattern_even, reference_music_pattern_decayed, reference_music_pattern_odd};
    const std::pair<int32_t, std::vector<int32_t>> shapes[] = {
        {132300, {44100, 22050, 11025, 1, 132300, 200000}}, {1, {1, 3}}, {15, {4, 15, 40}}, {1001, {0, 17, 999, 1001, 5000}}};
    Lcg g{13};
    for (const auto &[length, notes] : shapes) {
        Own<music_del> m(random_music(g, length, notes));
        for (int32_t round = 0; round < (length == 132300 ? 30 : 120); round++) {
            int k = round % 3, blend = 126 + round % 4;
            compare_on<MUSIC>(m, copy_music, [&](MUSIC *x) { fast[k](x), music_blend(x, blend); },
                              [&](MUSIC *x) { slow[k](x), reference_music_blend(x, blend); }, "pattern", length * 1000 + round,
                              (uint32_t)round * 7919u + 3u);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Fast, testing::Values(0, 1, 2));

}  // namespace
