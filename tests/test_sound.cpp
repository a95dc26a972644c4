// SOUND: sine table and generators, square edges, noise draw order, envelopes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/sample.h"
#include "audio/sound.h"
#include "host/random.h"
#include "tests/test_support.h"

namespace {

// A sample of n values, all v.
SAMPLE *filled(int32_t n, int32_t v) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    for (int32_t i = 0; i < n; i++) sample_set(s, i, v);
    return s;
}

std::vector<int32_t> values(const SAMPLE *s) { return std::vector<int32_t>(s->data, s->data + s->count); }

std::string show(const std::vector<int32_t> &v) {
    std::string out;
    for (size_t i = 0; i < v.size(); i++) out += (i ? ", " : "") + std::to_string(v[i]);
    return out;
}

// A noise value from the shared generator: its low 16 bits, centred.
int32_t noise(Lcg &g) { return (g.next() & 0xFFFF) - 32768; }

// One period of the sine as the formula gives it: single-precision pi/2,
// truncation toward zero, quarter mirrored.
std::vector<int32_t> formula_table() {
    std::vector<int32_t> t(44100);
    const double h = (double)(float)(M_PI / 2.0);
    for (int i = 0; i <= 11025; i++) {
        int32_t v = (int32_t)(std::sin(i * h / 11025.0) * 32767.0);
        t[i] = v;
        t[22050 - i] = v;
        t[22050 + i] = -v;
        if (i > 0) t[44100 - i] = -v;
    }
    return t;
}

}  // namespace

TEST(Sound, NoteTableHoldsTheStoredFrequencies) {
    EXPECT_EQ(sound_note_count, 96);
    EXPECT_EQ(sound_note(0), 32);    // C1
    EXPECT_EQ(sound_note(45), 440);  // A4
    EXPECT_EQ(sound_note(60), 1046); // not the nearest whole number of 1046.5
    EXPECT_EQ(sound_note(95), 7902); // B8
    EXPECT_EQ(sound_note(96), 32);   // taken modulo 96
    EXPECT_EQ(sound_note(-1), 7902);
}

TEST(Sound, SineAtQuarterRateAlternatesPeakAndZero) {
    SAMPLE *s = filled(8, 123);
    sound_sine(s, 11025);
    std::vector<int32_t> want = {0, 32766, 0, -32766, 0, 32766, 0, -32766};
    EXPECT_EQ(values(s), want) << show(values(s));
    sample_del(&s);
}

TEST(Sound, SineAtOneHertzReproducesTheTable) {
    SAMPLE *s = filled(44100, 0);
    sound_sine(s, 1);
    std::vector<int32_t> table = formula_table();
    EXPECT_EQ(values(s), table);
    // By hand: 32767 sin(k pi / 22050) is 4.67 k for small k, truncated.
    std::vector<int32_t> head(s->data, s->data + 6);
    EXPECT_EQ(head, (std::vector<int32_t>{0, 4, 9, 14, 18, 23})) << show(head);
    EXPECT_EQ(sample_get(s, 11025), 32766);
    EXPECT_EQ(sample_get(s, 33075), -32766);
    EXPECT_EQ(sample_get(s, 44099), -4);
    EXPECT_EQ(sample_get(s, 22050), 0);
    sample_del(&s);
}

TEST(Sound, SineAtADivisorOfTheRateRepeatsExactly) {
    SAMPLE *s = filled(1000, 0);
    sound_sine(s, 6300);  // 44100 / 7
    for (int32_t i = 7; i < 1000; i++) ASSERT_EQ(sample_get(s, i), sample_get(s, i - 7)) << i;
    std::vector<int32_t> table = formula_table();
    for (int32_t i = 0; i < 7; i++) EXPECT_EQ(sample_get(s, i), table[(i * 6300) % 44100]) << i;
    sample_del(&s);
}

TEST(Sound, SineStepsTheTableByTheFrequency) {
    SAMPLE *s = filled(3000, 0);
    sound_sine(s, 1976);  // the highest sine the organ notes use
    std::vector<int32_t> table = formula_table();
    for (int32_t i = 0; i < 3000; i++) ASSERT_EQ(sample_get(s, i), table[(i * 1976) % 44100]) << i;
    sample_del(&s);
}

TEST(Sound, SquareOfFourValuesHasAnEmptyNegativeRun) {
    SAMPLE *s = filled(8, 5);
    sound_square(s, 11025);
    std::vector<int32_t> want = {32767, 32767, 0, 0, 32767, 32767, 0, 0};
    EXPECT_EQ(values(s), want) << show(values(s));
    sample_del(&s);
}

TEST(Sound, SquareWritesWholePeriodsOnlyAndKeepsTheTail) {
    SAMPLE *s = filled(40, 7);
    sound_square(s, 2756);  // a period of just over 16 values
    std::vector<int32_t> period = {32767,  32767,  32767,  32767,  32767,  32767,  32767, 32767,
                                   0,      -32768, -32768, -32768, -32768, -32768, -32768, 0};
    std::vector<int32_t> want;
    want.insert(want.end(), period.begin(), period.end());
    want.insert(want.end(), period.begin(), period.end());
    want.insert(want.end(), 8, 7);
    EXPECT_EQ(values(s), want) << show(values(s));
    sample_del(&s);
}

TEST(Sound, SquareOfSixteenPointFiveValuesPutsEdgesOnWholeIndices) {
    // 44100 / 2673 = 16.498 values per period (P = 540617): the second period
    // starts at 540617 >> 15 = 16 and its middle at 810925 >> 15 = 24.
    SAMPLE *s = filled(33, 9);
    sound_square(s, 2673);
    EXPECT_EQ(sample_get(s, 15), 0);
    EXPECT_EQ(sample_get(s, 16), 32767);
    EXPECT_EQ(sample_get(s, 23), 32767);
    EXPECT_EQ(sample_get(s, 24), 0);
    EXPECT_EQ(sample_get(s, 25), -32768);
    EXPECT_EQ(sample_get(s, 30), -32768);
    EXPECT_EQ(sample_get(s, 31), 0);  // (2 P) >> 15 = 32: the zero goes at 31
    EXPECT_EQ(sample_get(s, 32), 9);  // the third period does not fit
    sample_del(&s);
}

TEST(Sound, NoiseAtTheFullRateDrawsForEveryValueFromTheEnd) {
    random_srand(4242);
    Lcg g{4242};
    SAMPLE *s = filled(6, 0);
    sound_noise(s, 44100);
    int32_t first = noise(g);  // drawn before the loop, overwritten at once
    (void)first;
    std::vector<int32_t> want(6);
    for (int32_t i = 5; i >= 0; i--) want[i] = noise(g);
    EXPECT_EQ(values(s), want) << show(values(s));
    EXPECT_EQ(random_rand(), g.next());  // exactly seven draws were used
    sample_del(&s);
}

TEST(Sound, NoiseHoldsValuesForRateSteps) {
    // r = 11025: k runs 22050 -> 11025, 0, -11025 (draw, +44100), ...
    random_srand(77);
    Lcg g{77};
    int32_t v0 = noise(g), v1 = noise(g), v2 = noise(g);
    SAMPLE *s = filled(8, 0);
    sound_noise(s, 11025);
    std::vector<int32_t> want = {v2, v2, v1, v1, v1, v1, v0, v0};
    EXPECT_EQ(values(s), want) << show(values(s));
    EXPECT_EQ(random_rand(), g.next());
    sample_del(&s);
}

TEST(Sound, NoiseAtRateZeroHoldsTheFirstValue) {
    random_srand(9);
    Lcg g{9};
    int32_t v0 = noise(g);
    SAMPLE *s = filled(100, 1);
    sound_noise(s, 0);
    for (int32_t i = 0; i < 100; i++) ASSERT_EQ(sample_get(s, i), v0);
    EXPECT_LT(v0, 0);  // 15-bit draws minus 32768 are always negative
    EXPECT_EQ(random_rand(), g.next());
    sample_del(&s);
}

TEST(Sound, DecayOfOneSecondEndsAtZero) {
    SAMPLE *s = filled(44100, 32767);
    sound_decay(s);
    EXPECT_EQ(sample_get(s, 0), 32766);  // 32767 * 32767 >> 15
    EXPECT_EQ(sample_get(s, 44098), 0);  // the ramp is 1 there: 32767 >> 15
    EXPECT_EQ(sample_get(s, 44099), 0);
    EXPECT_EQ(s->count, 44100);
    sample_del(&s);
}

TEST(Sound, DecayOfAQuarterSecondFollowsTheSteepRamp) {
    // The ramp 32767..0 over 11024 steps is steep: it stops at 1, not 0, and
    // the values before it are 4 and 7. Multiplied by 32767 and shifted by 15
    // these give 6, 3 and 0.
    SAMPLE *s = filled(11025, 32767);
    sound_decay(s);
    EXPECT_EQ(sample_get(s, 0), 32766);
    EXPECT_EQ(sample_get(s, 1), 32764);  // ramp 32765: 32767 * 32765 >> 15
    EXPECT_EQ(sample_get(s, 11022), 6);
    EXPECT_EQ(sample_get(s, 11023), 3);
    EXPECT_EQ(sample_get(s, 11024), 0);
    sample_del(&s);
}

TEST(Sound, DecayShiftsNegativeValuesTowardMinusInfinity) {
    SAMPLE *s = filled(44100, -1);
    sound_decay(s);
    EXPECT_EQ(sample_get(s, 0), -1);      // -32767 >> 15
    EXPECT_EQ(sample_get(s, 44099), 0);   // times 0
    sample_del(&s);
}

TEST(Sound, RiseStartsAtZeroAndEndsNearFull) {
    SAMPLE *s = filled(44100, 32767);
    sound_rise(s);
    EXPECT_EQ(sample_get(s, 0), 0);
    EXPECT_EQ(sample_get(s, 1), 0);       // ramp 1
    EXPECT_EQ(sample_get(s, 44099), 32766);
    sample_del(&s);
}

TEST(Sound, FadeOutOfFourValuesStepsByAQuarter) {
    // step = 2^30 / 4: the gain drops by 8192 after every value.
    SAMPLE *s = filled(4, 32767);
    sound_fade_out(s);
    EXPECT_EQ(values(s), (std::vector<int32_t>{32767, 24575, 16383, 8191})) << show(values(s));
    sample_del(&s);
}

TEST(Sound, FadeInOfFourValuesStepsByAQuarter) {
    SAMPLE *s = filled(4, 32767);
    sound_fade_in(s);
    EXPECT_EQ(values(s), (std::vector<int32_t>{0, 8191, 16383, 24575})) << show(values(s));
    sample_del(&s);
}

TEST(Sound, FadeOutOverASecondMovesTheGainInWholeUnits) {
    // step = 2^30 / 44100 = 24347: the accumulator passes 32767 on the second
    // value, so the gain is 32768 for two values, then 32767.
    SAMPLE *s = filled(44100, 32768);
    sound_fade_out(s);
    EXPECT_EQ(sample_get(s, 0), 32768);
    EXPECT_EQ(sample_get(s, 1), 32768);
    EXPECT_EQ(sample_get(s, 2), 32767);
    EXPECT_GE(sample_get(s, 44099), 0);
    EXPECT_LE(sample_get(s, 44099), 2);
    sample_del(&s);
}

TEST(Sound, NullSamplesAreRejectedQuietly) {
    testing::internal::CaptureStdout();
    sound_sine(nullptr, 440);
    sound_square(nullptr, 440);
    sound_noise(nullptr, 440);
    sound_decay(nullptr);
    sound_rise(nullptr);
    sound_fade_in(nullptr);
    sound_fade_out(nullptr);
    EXPECT_EQ(sound_check(nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // switch is off
    SAMPLE *s = filled(3, 1);
    EXPECT_EQ(sound_check(s), 1);
    sample_del(&s);
}

TEST(Sound, OutOfRangeInputsNeitherFailNorHang) {
    SAMPLE *s = filled(16, 3);
    sound_square(s, 0);
    sound_square(s, -5);
    EXPECT_EQ(values(s), std::vector<int32_t>(16, 3));  // nothing written
    sound_square(s, 0x7FFFFFFF);                        // a period below one unit
    sound_sine(s, 30000);                               // past the phase limit
    sound_noise(s, -100);
    sound_noise(s, 0x7FFFFFFF);
    SAMPLE *one = filled(1, 100);
    sound_decay(one);
    sound_fade_out(one);
    SAMPLE *empty = sample_new();
    sound_decay(empty);
    sound_fade_in(empty);
    sound_sine(empty, 440);
    EXPECT_EQ(empty->count, 0);
    sample_del(&s);
    sample_del(&one);
    sample_del(&empty);
}
