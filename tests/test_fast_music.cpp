// The fast sound generators, instrument bank and music loop against their
// straightforward versions in bench/reference_music.cpp: every value and
// every random draw the same, over the demo's inputs and random ones with
// extremes (full 32-bit values, the longest and shortest samples, divisors
// from 2 to INT32_MAX), on the vector paths and on the plain one.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/music.h"
#include "audio/sample.h"
#include "audio/sound.h"
#include "bench/reference_music.h"
#include "demo/soundtrack.h"
#include "host/random.h"
#include "tests/test_support.h"

namespace {

SAMPLE *sample_of(int32_t n) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    return s;
}

// n values from g: mostly 16-bit sound, now and then a full 32-bit extreme.
SAMPLE *random_sample(Lcg &g, int32_t n) {
    static const int32_t extremes[] = {INT32_MIN, INT32_MAX, -1, 0, 1, INT32_MIN + 1, 0x40000000};
    SAMPLE *s = sample_of(n);
    for (int32_t i = 0; i < n; i++) {
        int32_t r = g.next();
        s->data[i] = (r & 63) == 0 ? extremes[g.next() % 7] : (int32_t)((g.next30() & 0xFFFF) - 32768);
    }
    return s;
}

void expect_same(const SAMPLE *fast, const SAMPLE *slow, const char *what, int64_t tag) {
    ASSERT_EQ(fast->count, slow->count) << what << " " << tag;
    for (int32_t i = 0; i < fast->count; i++)
        ASSERT_EQ(fast->data[i], slow->data[i]) << what << " " << tag << " value " << i;
}

// Runs fast and reference on copies of one input and compares the results
// and the generator state afterwards.
template <typename Fast, typename Slow>
void compare_on(const SAMPLE *input, Fast fast, Slow slow, const char *what, int64_t tag) {
    SAMPLE *a = sample_dup(input);
    SAMPLE *b = sample_dup(input);
    random_srand(77);
    fast(a);
    int32_t after_fast = random_rand();
    random_srand(77);
    slow(b);
    int32_t after_slow = random_rand();
    expect_same(a, b, what, tag);
    EXPECT_EQ(after_fast, after_slow) << what << " " << tag << ": a different number of draws";
    sample_del(&a);
    sample_del(&b);
}

const int32_t lengths[] = {1, 2, 3, 16, 40, 1000, 11025, 22050, 44100, 65535, 132300};

TEST(FastSound, GeneratorsMatchTheStraightforwardOnes) {
    const int32_t freqs[] = {-5, 0, 1, 32, 440, 1975, 7902, 11025, 21435, 21436, 28160, 44100, 70000};
    Lcg g{5};
    for (int32_t n : lengths) {
        SAMPLE *in = random_sample(g, n);
        for (int32_t f : freqs) {
            compare_on(in, [&](SAMPLE *s) { sound_sine(s, f); }, [&](SAMPLE *s) { reference_sound_sine(s, f); }, "sine", f);
            compare_on(in, [&](SAMPLE *s) { sound_square(s, f); }, [&](SAMPLE *s) { reference_sound_square(s, f); }, "square", f);
            compare_on(in, [&](SAMPLE *s) { sound_noise(s, f); }, [&](SAMPLE *s) { reference_sound_noise(s, f); }, "noise", f);
        }
        sample_del(&in);
    }
}

// Envelopes on the plain loops (1), the AVX2 ones (2) and the widest (0).
TEST(FastSound, EnvelopesMatchAFreshRampEveryTimeOnEveryPath) {
    Lcg g{9};
    for (int path : {1, 2, 0}) {
        sound_set_paths(path);
        for (int32_t n : lengths) {
            SAMPLE *in = random_sample(g, n);
            for (int times = 1; times <= 6; times++) {
                compare_on(
                    in, [&](SAMPLE *s) { sound_decay_times(s, times); },
                    [&](SAMPLE *s) { for (int t = 0; t < times; t++) reference_sound_decay(s); }, "decay", n * 10 + times);
            }
            compare_on(in, [](SAMPLE *s) { sound_decay(s); }, [](SAMPLE *s) { reference_sound_decay(s); }, "decay", n);
            compare_on(in, [](SAMPLE *s) { sound_rise(s); }, [](SAMPLE *s) { reference_sound_envelope(s, 0, 32767); }, "rise", n);
            sample_del(&in);
        }
    }
    sound_set_paths(0);
}

TEST(FastSound, TheBankMatchesNoteByNoteAndLeavesTheSameGenerator) {
    random_srand(0x31756A22);
    MUSIC *fast = demo_build_instruments();
    int32_t after_fast = random_next();
    random_srand(0x31756A22);
    MUSIC *slow = reference_build_instruments();
    int32_t after_slow = random_next();
    ASSERT_EQ(fast->notes->count, 96);
    ASSERT_EQ(slow->notes->count, 96);
    for (int32_t i = 0; i < 96; i++)
        expect_same((SAMPLE *)list_get(fast->notes, i), (SAMPLE *)list_get(slow->notes, i), "note", i);
    EXPECT_EQ(after_fast, after_slow);
    EXPECT_EQ(fast->period, 256);
    music_del(&fast);
    music_del(&slow);
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
    c->loop = sample_dup(m->loop);
    c->work = sample_dup(m->work);
    for (int32_t i = 0; i < m->notes->count; i++) music_add_note(c, sample_dup((SAMPLE *)list_get(m->notes, i)));
    return c;
}

class FastMusic : public testing::TestWithParam<int> {
  protected:
    void SetUp() override { music_set_paths(GetParam()); }
    void TearDown() override { music_set_paths(0); }
};

TEST_P(FastMusic, BlendDividesExactlyForEveryDivisor) {
    const int32_t divisors[] = {2, 3, 5, 7, 64, 127, 128, 150, 255, 1000, 65535, 65536, 65537,
                                0x7FFF, 1 << 30, (1 << 30) + 1, INT32_MAX - 1, INT32_MAX};
    Lcg g{11};
    for (int32_t length : {1, 7, 1000, 132300}) {
        MUSIC *fast = random_music(g, length, {});
        MUSIC *slow = copy_music(fast);
        for (int32_t k : divisors) {
            music_blend(fast, k);
            reference_music_blend(slow, k);
            expect_same(fast->loop, slow->loop, "blend", k);
        }
        music_del(&fast);
        music_del(&slow);
    }
}

TEST_P(FastMusic, BlendPastAShorterWorkOnlyScalesTheLoop) {
    Lcg g{12};
    MUSIC *fast = random_music(g, 5000, {});
    sample_set_count(fast->work, 3001);
    MUSIC *slow = copy_music(fast);
    music_blend(fast, 127);
    reference_music_blend(slow, 127);
    expect_same(fast->loop, slow->loop, "blend", 127);
    music_del(&fast);
    music_del(&slow);
}

using Pattern = void (*)(MUSIC *);
struct PatternCase {
    const char *name;
    Pattern fast, slow;
};
const PatternCase patterns[] = {
    {"even", music_pattern_even, reference_music_pattern_even},
    {"decayed", music_pattern_decayed, reference_music_pattern_decayed},
    {"odd", music_pattern_odd, reference_music_pattern_odd},
};

// Loops of the demo's length and short odd ones; notes shorter than, as long
// as and longer than the loop, and one empty note.
TEST_P(FastMusic, PatternsMatchForEveryDensityAndOffset) {
    struct Shape {
        int32_t length;
        std::vector<int32_t> notes;
    };
    const Shape shapes[] = {
        {132300, {44100, 22050, 11025, 1, 132300, 200000}},
        {1, {1, 3}},
        {15, {4, 15, 40}},
        {1001, {0, 17, 999, 1001, 5000}},
    };
    Lcg g{13};
    for (const Shape &shape : shapes) {
        MUSIC *fast = random_music(g, shape.length, shape.notes);
        MUSIC *slow = copy_music(fast);
        int32_t rounds = shape.length == 132300 ? 40 : 120;
        for (int32_t round = 0; round < rounds; round++) {
            const PatternCase &p = patterns[round % 3];
            random_srand((uint32_t)round * 7919u + 3u);
            p.fast(fast);
            int32_t after_fast = random_rand();
            random_srand((uint32_t)round * 7919u + 3u);
            p.slow(slow);
            int32_t after_slow = random_rand();
            expect_same(fast->work, slow->work, p.name, shape.length * 1000 + round);
            ASSERT_EQ(after_fast, after_slow) << p.name;
        }
        music_del(&fast);
        music_del(&slow);
    }
}

TEST_P(FastMusic, AStepMadeOfPatternsAndBlendsMatchesOverTheDemoBank) {
    random_srand(0x31756A22);
    MUSIC *fast = demo_build_instruments();
    MUSIC *slow = copy_music(fast);
    for (int32_t round = 0; round < 24; round++) {
        const PatternCase &p = patterns[round % 3];
        random_srand((uint32_t)round + 100u);
        p.fast(fast);
        random_srand((uint32_t)round + 100u);
        p.slow(slow);
        for (int32_t b = 0; b < 3; b++) {
            music_blend(fast, b == 0 ? 127 : 128);
            reference_music_blend(slow, b == 0 ? 127 : 128);
        }
        expect_same(fast->loop, slow->loop, p.name, round);
    }
    music_del(&fast);
    music_del(&slow);
}

// 0: the widest loops the processor runs, 1: the plain loops, 2: AVX2.
INSTANTIATE_TEST_SUITE_P(Paths, FastMusic, testing::Values(0, 1, 2));

}  // namespace
