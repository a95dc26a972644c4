// MUSIC: the blend as a table, the three pattern kinds against recordings
// (tests/data/music.txt: seed -> CRC of the pattern and the next draw), the
// placing and level of one and two copies by hand, and the refusals.
#include <gtest/gtest.h>

#include "audio/music.h"
#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_support.h"

namespace {

constexpr int32_t L = music_loop_length;

// A note of n values 1..n, so each copy's placement is visible.
SAMPLE *ramp_note(int32_t n, int32_t scale = 1) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    for (int32_t i = 0; i < n; i++) s->data[i] = (i + 1) * scale;
    return s;
}

// A seed whose pattern draws (the sixth one) give this density.
uint32_t seed_for_density(int32_t density) {
    for (uint32_t seed = 1;; seed++) {
        random_srand(seed);
        for (int k = 0; k < 5; k++) random_rand();
        if ((random_rand() & 3) == density) return seed;
    }
}

// Index of the first non-zero value of the pattern.
int32_t first_lit(const MUSIC *m) {
    for (int32_t i = 0; i < L; i++)
        if (m->work->data[i]) return i;
    return -1;
}

bool is_offset(int32_t o) {  // any sum of L/2, L/4, L/8, L/16
    for (int b = 0; b < 16; b++)
        if (o == (b & 1) * (L >> 1) + (b >> 1 & 1) * (L >> 2) + (b >> 2 & 1) * (L >> 3) + (b >> 3 & 1) * (L >> 4))
            return true;
    return false;
}

}  // namespace

TEST(Music, BlendMovesTheLoopByOneKth) {
    // loop, work, k -> loop.
    const int32_t cases[][4] = {{0, 127, 127, 1},   {1, 127, 128, 1},     {-300, 127, 2, -86},
                                {1000, 0, 1, 1000}, {1000, 0, 0, 1000},   {1000, 0, -4, 1000},
                                {0x10000, 0x30000, 4, 0x18000}, {-0x7FFF, 0x7FFF, 2, 0}};
    for (const auto &c : cases) {
        Own<music_del> m(music_new());
        m->work = sample_new();
        sample_set_count(m->work, L);
        for (int32_t i = 0; i < L; i++) m->loop->data[i] = c[0], m->work->data[i] = c[1];
        music_blend(m, c[2]);
        EXPECT_EQ(m->loop->data[0], c[3]) << c[0] << " " << c[1] << " " << c[2];
        EXPECT_EQ(m->loop->data[L - 1], c[3]);
    }
    Own<music_del> m(music_new());
    m->loop->data[3] = 1000;
    music_blend(m, 127);  // no work yet
    EXPECT_EQ(m->loop->data[3], 1000);
}

TEST(Music, PatternsMatchTheirRecording) {
    Golden g("music");
    void (*kinds[])(MUSIC *) = {music_pattern_even, music_pattern_decayed, music_pattern_odd};
    const char *names[] = {"even", "decayed", "odd"};
    Own<music_del> m(music_new());
    music_add_note(m, ramp_note(1000, 0x10001));  // values with high halves
    music_add_note(m, ramp_note(40000, -3));
    music_add_note(m, ramp_note(7));
    for (int kind = 0; kind < 3; kind++)
        for (uint32_t seed = 1; seed <= 8; seed++) {
            random_srand(seed);
            kinds[kind](m);
            g.check(std::string(names[kind]) + std::to_string(seed),
                    Golden::hex(crc_of(m->work)) + " next " + std::to_string(random_rand()));
        }
}

TEST(Music, OneCopyIsTheNoteAtAnOffsetAndTwoAreHalfALoopApart) {
    for (int32_t density : {0, 1}) {
        Own<music_del> m(music_new());
        music_add_note(m, ramp_note(1000));
        random_srand(seed_for_density(density));
        music_pattern_even(m);
        int32_t at = first_lit(m) - density;  // 3/4 of the first value 1 is 0
        EXPECT_TRUE(is_offset(at)) << at;
        int64_t sum = 0;
        for (int32_t i = 0; i < L; i++) sum += m->work->data[i];
        if (density == 0) {
            for (int32_t i = 0; i < 1000; i++) ASSERT_EQ(m->work->data[(at + i) % L], i + 1) << i;
            EXPECT_EQ(sum, 1000 * 1001 / 2);  // nothing elsewhere
        } else {  // 3/4 of the level, truncated: the last value 1000 gives 750
            int32_t second = (at + L / 2) % L;
            EXPECT_EQ(m->work->data[(at + 999) % L], 750);
            EXPECT_EQ(m->work->data[second], 0);  // 3/4 of 1
            EXPECT_EQ(m->work->data[(second + 999) % L], 750);
        }
    }
}

TEST(Music, OddPatternLeavesTheFirstPlaceEmpty) {
    const int32_t copies_for[4] = {5, 1, 3, 7};
    for (int32_t density = 0; density < 4; density++) {
        Own<music_del> m(music_new());
        music_add_note(m, ramp_note(50, 4));
        random_srand(seed_for_density(density));
        music_pattern_odd(m);
        int32_t n = copies_for[density], lit = 0, at = first_lit(m);
        for (int32_t i = 0; i < L; i++) lit += m->work->data[i] != 0;
        EXPECT_EQ(lit, 50 * n) << density;
        if (n == 1) {
            EXPECT_TRUE(is_offset((at - L / 2 + L) % L)) << at;  // the copy sits at L / 2
        }
        EXPECT_EQ(m->work->data[(at + 49) % L], (200 * (4 - density)) >> 2) << density;
    }
}

TEST(Music, PatternRefusalsAndTheWorkBuffer) {
    Own<music_del> m(music_new());
    random_srand(5);
    music_pattern_even(m);  // an empty bank: no draw, no work
    music_pattern_odd(m);
    EXPECT_EQ(m->work, nullptr);
    EXPECT_EQ(random_rand(), Lcg{5}.next());
    list_push(m->notes, nullptr);  // a null note: the work is cleared, six draws used
    m->work = sample_new();
    sample_set_count(m->work, 10);  // the wrong length: made again
    random_srand(6);
    music_pattern_decayed(m);
    ASSERT_NE(m->work, nullptr);
    EXPECT_EQ(m->work->count, L);
    EXPECT_EQ(sample_max(m->work), 0);
    Lcg g{6};
    for (int i = 0; i < 6; i++) g.next();
    EXPECT_EQ(random_rand(), g.next());
    m->notes->count = 0;
    music_add_note(m, nullptr);  // ignored
    Own<sample_del> spare(ramp_note(3));
    music_add_note(nullptr, spare);  // ignored
    EXPECT_EQ(m->notes->count, 0);
    sample_del(&m->loop);
    music_add_note(m, ramp_note(5));
    random_srand(8);
    music_pattern_even(m);  // no loop: nothing
    EXPECT_EQ(random_rand(), Lcg{8}.next());
    EXPECT_EQ(printed([] { music_del(nullptr); }), "");  // the switch is off
}
