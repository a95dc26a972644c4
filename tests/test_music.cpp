// MUSIC: record, blend, the three pattern kinds with their draws and places.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/music.h"
#include "audio/sample.h"
#include "audio/sound.h"
#include "host/random.h"
#include "tests/test_support.h"

namespace {

constexpr int32_t L = 132300;

// The six draws of a pattern, in their order.
struct Draws {
    int32_t index, b1, b2, b3, b4, density;
    int32_t offset() const { return b1 * (L >> 1) + b2 * (L >> 2) + b3 * (L >> 3) + b4 * (L >> 4); }
};

Draws draws_from(uint32_t seed, int32_t notes) {
    Lcg g{seed};
    Draws d;
    d.index = g.next() % notes;
    d.b1 = g.next() & 1;
    d.b2 = g.next() & 1;
    d.b3 = g.next() & 1;
    d.b4 = g.next() & 1;
    d.density = g.next() & 3;
    return d;
}

// The first seed from 1 on whose pattern draws give this density.
uint32_t seed_for_density(int32_t density, int32_t notes = 1) {
    for (uint32_t seed = 1;; seed++)
        if (draws_from(seed, notes).density == density) return seed;
}

// A note of n values 1..n, so each copy's placement is visible.
SAMPLE *ramp_note(int32_t n) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    for (int32_t i = 0; i < n; i++) sample_set(s, i, i + 1);
    return s;
}

// The expected pattern: copies of `note` starting at `places`, scaled by
// (4 - density) / 4, all shifted by offset.
std::vector<int32_t> expected_pattern(const SAMPLE *note, const std::vector<int32_t> &places, int32_t density,
                                      int32_t offset) {
    std::vector<int32_t> w(L, 0);
    for (int32_t p : places)
        for (int32_t i = 0; i < note->count; i++) w[(p + i) % L] += note->data[i];
    std::vector<int32_t> out(L, 0);
    for (int32_t i = 0; i < L; i++) out[(i + offset) % L] = (w[i] * (4 - density)) >> 2;
    return out;
}

// Compares a pattern and reports the first few differences only.
void expect_work(const MUSIC *m, const std::vector<int32_t> &want) {
    ASSERT_NE(m->work, nullptr);
    ASSERT_EQ(m->work->count, L);
    int shown = 0;
    for (int32_t i = 0; i < L && shown < 5; i++)
        if (m->work->data[i] != want[i]) {
            ADD_FAILURE() << "work[" << i << "] = " << m->work->data[i] << ", want " << want[i];
            shown++;
        }
}

}  // namespace

TEST(Music, NewRecordHasASilentThreeSecondLoop) {
    MUSIC *m = music_new();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->period, 300);
    ASSERT_NE(m->loop, nullptr);
    EXPECT_EQ(m->loop->count, L);
    for (int32_t i = 0; i < L; i++) ASSERT_EQ(m->loop->data[i], 0);
    ASSERT_NE(m->notes, nullptr);
    EXPECT_EQ(m->notes->count, 0);
    EXPECT_EQ(m->work, nullptr);
    music_del(&m);
    EXPECT_EQ(m, nullptr);
}

TEST(Music, DelOfAMissingHandleReportsQuietly) {
    MUSIC *m = nullptr;
    testing::internal::CaptureStdout();
    music_del(&m);
    music_del(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // the switch is off
}

TEST(Music, AddNoteAppendsAndOwns) {
    MUSIC *m = music_new();
    SAMPLE *a = ramp_note(10), *b = ramp_note(20);
    music_add_note(m, a);
    music_add_note(m, b);
    music_add_note(m, nullptr);  // ignored
    music_add_note(nullptr, a);  // ignored
    ASSERT_EQ(m->notes->count, 2);
    EXPECT_EQ(m->notes->items[0], a);
    EXPECT_EQ(m->notes->items[1], b);
    music_del(&m);  // frees both notes (the leak checker watches)
}

TEST(Music, BlendMovesTheLoopByOneKth) {
    MUSIC *m = music_new();
    m->work = sample_new();
    sample_set_count(m->work, L);
    for (int32_t i = 0; i < L; i++) m->work->data[i] = 127;
    music_blend(m, 127);
    for (int32_t i = 0; i < L; i++) ASSERT_EQ(m->loop->data[i], 1) << i;
    // (1 * 127 + 127) / 128 = 1 (truncating); (-300 * 1 + 127) / 2 = -86.
    music_blend(m, 128);
    EXPECT_EQ(m->loop->data[0], 1);
    m->loop->data[5] = -300;
    music_blend(m, 2);
    EXPECT_EQ(m->loop->data[5], -86);
    music_del(&m);
}

TEST(Music, BlendNeedsKOfTwoAndAWork) {
    MUSIC *m = music_new();
    m->loop->data[3] = 1000;
    music_blend(m, 127);  // no work yet
    EXPECT_EQ(m->loop->data[3], 1000);
    m->work = sample_new();
    sample_set_count(m->work, L);
    music_blend(m, 1);
    music_blend(m, 0);
    music_blend(m, -4);
    EXPECT_EQ(m->loop->data[3], 1000);
    music_blend(nullptr, 127);
    music_del(&m);
}

TEST(Music, EvenPatternOfOneCopyIsTheNoteAtTheOffset) {
    uint32_t seed = seed_for_density(0);
    Draws d = draws_from(seed, 1);
    MUSIC *m = music_new();
    SAMPLE *note = ramp_note(1000);
    music_add_note(m, note);
    random_srand(seed);
    music_pattern_even(m);
    expect_work(m, expected_pattern(note, {0}, 0, d.offset()));
    // Exactly six draws were used.
    Lcg g{seed};
    for (int i = 0; i < 6; i++) g.next();
    EXPECT_EQ(random_rand(), g.next());
    music_del(&m);
}

TEST(Music, EvenPatternOfTwoCopiesHalfALoopApartAtThreeQuarters) {
    uint32_t seed = seed_for_density(1);
    Draws d = draws_from(seed, 1);
    MUSIC *m = music_new();
    SAMPLE *note = ramp_note(1000);
    music_add_note(m, note);
    random_srand(seed);
    music_pattern_even(m);
    expect_work(m, expected_pattern(note, {0, L / 2}, 1, d.offset()));
    // By hand: the note's last value 1000 at 3/4 is 750.
    EXPECT_EQ(m->work->data[(d.offset() + 999) % L], 750);
    EXPECT_EQ(m->work->data[(d.offset() + L / 2 + 999) % L], 750);
    music_del(&m);
}

TEST(Music, EvenPatternOfEightCopiesSitsOnMultiplesOfAnEighth) {
    // L / 8 = 16537 (truncated): the copies land at 1..8 times that, so the
    // last one is 4 values short of a full turn.
    uint32_t seed = seed_for_density(3);
    Draws d = draws_from(seed, 1);
    MUSIC *m = music_new();
    SAMPLE *note = ramp_note(100);
    music_add_note(m, note);
    random_srand(seed);
    music_pattern_even(m);
    std::vector<int32_t> places;
    for (int32_t k = 1; k <= 8; k++) places.push_back(16537 * k);
    expect_work(m, expected_pattern(note, places, 3, d.offset()));
    EXPECT_EQ(m->work->data[(d.offset() + 132296) % L], 0);  // 1 / 4 of 1, truncated
    EXPECT_EQ(m->work->data[(d.offset() + 132296 + 99) % L], 25);
    music_del(&m);
}

TEST(Music, EvenPatternPicksTheNoteByIndex) {
    MUSIC *m = music_new();
    SAMPLE *notes[3];
    for (int i = 0; i < 3; i++) {
        notes[i] = ramp_note(10 + i);
        music_add_note(m, notes[i]);
    }
    uint32_t seed = 12345;
    Draws d = draws_from(seed, 3);
    random_srand(seed);
    music_pattern_even(m);
    std::vector<int32_t> places;
    for (int32_t k = 1; k <= (1 << d.density); k++) places.push_back((L >> d.density) * k % L);
    expect_work(m, expected_pattern(notes[d.index], places, d.density, d.offset()));
    music_del(&m);
}

TEST(Music, OddPatternLeavesTheFirstPlaceEmpty) {
    const int32_t copies_for[4] = {5, 1, 3, 7};
    for (int32_t density = 0; density < 4; density++) {
        uint32_t seed = seed_for_density(density);
        Draws d = draws_from(seed, 1);
        MUSIC *m = music_new();
        SAMPLE *note = ramp_note(50);
        music_add_note(m, note);
        random_srand(seed);
        music_pattern_odd(m);
        int32_t n = copies_for[density];
        std::vector<int32_t> places;
        for (int32_t k = 1; k <= n; k++) places.push_back(L / (n + 1) * k);
        expect_work(m, expected_pattern(note, places, density, d.offset()));
        // Nothing at the offset itself: place 0 is the one left out.
        EXPECT_EQ(m->work->data[d.offset() % L], 0) << density;
        music_del(&m);
    }
}

TEST(Music, DecayedPatternOfOneCopyIsTheDecayedNote) {
    uint32_t seed = seed_for_density(0);
    Draws d = draws_from(seed, 1);
    MUSIC *m = music_new();
    SAMPLE *note = sample_new();
    sample_set_count(note, 100);
    for (int32_t i = 0; i < 100; i++) note->data[i] = 32767;
    music_add_note(m, note);
    random_srand(seed);
    music_pattern_decayed(m);
    // The ramp over the whole loop falls by one about every four values.
    SAMPLE *ramp = sample_new();
    sample_set_count(ramp, L);
    sample_line(ramp, 0, 32767, L - 1, 0);
    for (int32_t i = 0; i < 100; i++)
        ASSERT_EQ(m->work->data[(d.offset() + i) % L], (int32_t)(((int64_t)32767 * ramp->data[i]) >> 15)) << i;
    EXPECT_EQ(m->work->data[d.offset() % L], 32766);
    EXPECT_EQ(m->work->data[(d.offset() + 100) % L], 0);
    sample_del(&ramp);
    music_del(&m);
}

TEST(Music, DecayedPatternFadesEarlierCopiesAgain) {
    uint32_t seed = seed_for_density(1);
    Draws d = draws_from(seed, 1);
    MUSIC *m = music_new();
    SAMPLE *note = sample_new();
    sample_set_count(note, 10);
    for (int32_t i = 0; i < 10; i++) note->data[i] = 32767;
    music_add_note(m, note);
    random_srand(seed);
    music_pattern_decayed(m);
    // The first copy, decayed at the start of the ramp, was turned to L / 2
    // and decayed again there by about a half; the last turn of L / 2 brings
    // it to place 0 and the second copy, decayed once, to L / 2.
    SAMPLE *ramp = sample_new();
    sample_set_count(ramp, L);
    sample_line(ramp, 0, 32767, L - 1, 0);
    int32_t twice = (int32_t)(((int64_t)32766 * ramp->data[L / 2]) >> 15);
    EXPECT_EQ(m->work->data[d.offset() % L], (twice * 3) >> 2);
    EXPECT_EQ(m->work->data[(d.offset() + L / 2) % L], (32766 * 3) >> 2);
    EXPECT_NEAR(twice, 16383, 2);
    sample_del(&ramp);
    music_del(&m);
}

TEST(Music, PatternOnAnEmptyBankDoesNothing) {
    MUSIC *m = music_new();
    random_srand(5);
    music_pattern_even(m);
    music_pattern_decayed(m);
    music_pattern_odd(m);
    EXPECT_EQ(m->work, nullptr);
    Lcg g{5};
    EXPECT_EQ(random_rand(), g.next());  // no draw was used
    music_pattern_even(nullptr);
    music_del(&m);
}

TEST(Music, PatternOfANullNoteStaysSilent) {
    MUSIC *m = music_new();
    list_push(m->notes, nullptr);  // a list may hold null handles
    SAMPLE *w = sample_new();
    sample_set_count(w, L);
    w->data[7] = 99;
    m->work = w;
    random_srand(6);
    music_pattern_even(m);
    ASSERT_NE(m->work, nullptr);
    EXPECT_EQ(m->work->data[7], 0);  // cleared before the draws
    Lcg g{6};
    for (int i = 0; i < 6; i++) g.next();
    EXPECT_EQ(random_rand(), g.next());
    m->notes->count = 0;
    music_del(&m);
}

TEST(Music, WorkOfTheWrongLengthIsMadeAgain) {
    MUSIC *m = music_new();
    music_add_note(m, ramp_note(5));
    m->work = sample_new();
    sample_set_count(m->work, 10);
    music_pattern_odd(m);
    ASSERT_NE(m->work, nullptr);
    EXPECT_EQ(m->work->count, L);
    music_del(&m);
}

TEST(Music, PatternWithoutALoopDoesNothing) {
    MUSIC *m = music_new();
    music_add_note(m, ramp_note(5));
    sample_del(&m->loop);
    random_srand(8);
    music_pattern_even(m);
    EXPECT_EQ(m->work, nullptr);
    Lcg g{8};
    EXPECT_EQ(random_rand(), g.next());
    music_del(&m);
}
