// MUSIC and the demo's soundtrack: the blend as a table, the three pattern
// kinds against recordings (tests/data/music.txt: seed -> CRC of the pattern
// and the next draw), refusals; the bank and the per-frame step against
// recordings (tests/data/bank.txt: note -> length and CRC; music_steps.txt:
// frame -> CRC of loop and pattern) and the step's feeding of the player.
// The fast generators, bank and music loop against their straightforward
// versions in bench/reference_music.cpp: every value and every random draw the
// same, over the demo's inputs and random ones with extremes (full 32-bit
// values, the longest and shortest samples, divisors from 2 to INT32_MAX), on
// the widest vector path (0), the plain one (1) and AVX2 (2); and the fast
// start: the generator's skip-ahead and per-thread state, the count of the
// bank's draws, and the bank set aside at start-up and built on its own
// thread (or in line) giving the same notes and the same later draws.
// MIDI output: the bytes each status takes and running status (through the
// capture device), its kept window, reset and volume; what device 0 is for
// each --midi-out choice and the synthesiser's report; the result texts. The
// built-in synthesiser: events at their stamps and in their order, the device
// volume per channel; in whole headless runs, sound that repeats byte for
// byte, carries the notes, and falls to digital silence while muted.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "audio/music.h"
#include "audio/sample.h"
#include "audio/sound.h"
#include "audio/winsnd.h"
#include "bench/reference_music.h"
#include "demo/resources.h"
#include "demo/soundtrack.h"
#include "platform/backend.h"
#include "platform/options.h"
#include "platform/outputs.h"
#include "app/cli.h"
#include "host/fps.h"
#include "platform/midi.h"
#include "host/random.h"
#include "host/simd.h"
#include "platform/synth.h"
#include "tests/test_golden.h"
#include "tests/test_support.h"

namespace {

constexpr int32_t L = music_loop_length;

// A note of n values scale, 2 scale, ... so each copy's placement is visible.
SAMPLE *ramp_note(int32_t n, int32_t scale = 1) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    for (int32_t i = 0; i < n; i++) s->data[i] = (i + 1) * scale;
    return s;
}

// A music record with a loop of values `loop` and a work of values `work` (-1: none).
MUSIC *music_of(int32_t loop, int32_t work) {
    MUSIC *m = music_new();
    if (work != -1) m->work = ramp_note(L, 0);
    for (int32_t i = 0; i < L; i++) m->loop->data[i] = loop, m->work ? m->work->data[i] = work : 0;
    return m;
}

// The demo's bank, built once from its second seed; the generator's next
// draw after it counts the draws of the noise layers.
int32_t bank_next_draw;
MUSIC *bank() {
    static Own<music_del> m;
    if (!m) {
        random_srand(0x31756A22);
        m.reset(demo_build_instruments());
        bank_next_draw = random_rand();
    }
    return m;
}
SAMPLE *note(int32_t i) { return (SAMPLE *)bank()->notes->items[i]; }
MUSIC *with_bank() {
    MUSIC *m = music_new();
    m->period = 256;
    for (int32_t i = 0; i < demo_instrument_count; i++) music_add_note(m, sample_dup(note(i)));
    return m;
}

// A step at this frame number.
void step(MUSIC *m, WINSND *w, int32_t frames, int muted = 0) {
    FPS t{};
    t.frames = frames;
    demo_music_step(m, w, &t, muted);
}

void start_backend(int headless) {
    RUN_OPTIONS cli{};
    cli.headless = headless;
    ASSERT_EQ(backend_start(&cli), RUN_OK);
}

int16_t played(const WINSND *w, int32_t i) {
    const uint8_t *d = w->image + winsnd_header_size;
    return (int16_t)(uint16_t)(d[2 * i] | (d[2 * i + 1] << 8));
}

TEST(Music, BlendMovesTheLoopByOneKth) {
    // loop, work, k -> loop.
    const int32_t cases[][4] = {{0, 127, 127, 1},   {1, 127, 128, 1},     {-300, 127, 2, -86},
                                {1000, 0, 1, 1000}, {1000, 0, 0, 1000},   {1000, 0, -4, 1000},
                                {0x10000, 0x30000, 4, 0x18000}, {-0x7FFF, 0x7FFF, 2, 0}, {1000, -1, 127, 1000}};
    for (const auto &c : cases) {
        Own<music_del> m(music_of(c[0], c[1]));  // work -1: no work yet
        music_blend(m, c[2]);
        EXPECT_EQ(std::make_pair(m->loop->data[0], m->loop->data[L - 1]), std::make_pair(c[3], c[3])) << c[0] << " " << c[1] << " " << c[2];
    }
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
            g.check(std::string(names[kind]) + std::to_string(seed), Golden::hex(crc_of(m->work)) + " next " + std::to_string(random_rand()));
        }
}

TEST(Music, PatternRefusalsAndTheWorkBuffer) {
    Own<music_del> m(music_new());
    random_srand(5), music_pattern_even(m), music_pattern_odd(m);  // an empty bank: no draw, no work
    EXPECT_EQ(std::make_pair(m->work, random_rand()), std::make_pair((SAMPLE *)nullptr, Lcg{5}.next()));
    list_push(m->notes, nullptr);  // a null note: the work is cleared, six draws used
    m->work = ramp_note(10);       // the wrong length: made again
    random_srand(6), music_pattern_decayed(m);
    ASSERT_NE(m->work, nullptr);
    EXPECT_EQ(std::make_pair(m->work->count, sample_max(m->work)), std::make_pair(L, 0));
    Lcg g{6};
    for (int i = 0; i < 6; i++) g.next();
    EXPECT_EQ(random_rand(), g.next());
    m->notes->count = 0;
    music_add_note(m, nullptr), music_add_note(nullptr, Own<sample_del>(ramp_note(3)));  // ignored
    EXPECT_EQ(m->notes->count, 0);
    sample_del(&m->loop), music_add_note(m, ramp_note(5));
    random_srand(8), music_pattern_even(m);  // no loop: nothing
    EXPECT_EQ(random_rand(), Lcg{8}.next());
}

// ---- The demo's soundtrack -------------------------------------------------------------

TEST(Soundtrack, BankMatchesItsRecording) {
    Golden g("bank");
    ASSERT_EQ(bank()->notes->count, demo_instrument_count);
    EXPECT_EQ(bank()->period, 256);
    for (int32_t i = 0; i < demo_instrument_count; i++)
        g.check("note" + std::to_string(i), std::to_string(note(i)->count) + " " + Golden::hex(crc_of(note(i))));
    g.check("next_draw", std::to_string(bank_next_draw));
}

// The steps of four periods with the real bank, recorded every 16 frames and
// on every frame that builds a pattern (multiples of 64).
TEST(Soundtrack, MusicStepsMatchTheirRecording) {
    Golden g("music_steps");
    Own<music_del> m(with_bank());
    random_srand(0xC0FFEE);
    for (int32_t f = 0; f < 1024; f++) {
        step(m, nullptr, f);
        if (f % 16 == 0 || f % 64 == 63)
            g.check("frame" + std::to_string(f), Golden::hex(crc_of(m->loop)) + " " + Golden::hex(crc_of(m->work)));
    }
    g.check("next_draw", std::to_string(random_rand()));
}

TEST(Soundtrack, MutedStepDrawsOnceAndChangesNothing) {
    start_backend(1);
    Own<winsnd_del> w(winsnd_new());
    Own<music_del> m(music_new());
    music_add_note(m, sample_dup(note(0)));
    random_srand(99);
    for (int32_t f = 0; f < 3; f++) step(m, w, f * 256, 1);
    Lcg lcg{99};
    lcg.next30(), lcg.next30(), lcg.next30();
    EXPECT_EQ(std::make_pair(m->work, random_rand()), std::make_pair((SAMPLE *)nullptr, lcg.next()));
    EXPECT_EQ((std::vector<int32_t>{sample_max(m->loop), sample_min(m->loop), w->queue->count, w->total}), std::vector<int32_t>(4, 0));
}

TEST(Soundtrack, StepFeedsTheLoopWhileFewerThanFourWait) {
    start_backend(1);
    Own<winsnd_del> w(winsnd_new());
    Own<music_del> m(music_new());
    for (int32_t i = 0; i < L; i++) m->loop->data[i] = (i % 777) * 0x10001 - 300;  // high halves set
    m->period = 0;  // nothing built or blended: the feed alone
    random_srand(3);
    step(m, w, 1);
    EXPECT_EQ(std::make_pair(w->queue->count, w->total), std::make_pair(1, L));
    for (int32_t i : {0, 1, 776, 777, L - 1}) EXPECT_EQ(played(w, i), (int16_t)m->loop->data[i]) << i;
    step(m, w, 1);  // queued again; the finished entry is dropped
    EXPECT_EQ(std::make_pair(w->queue->count, w->total), std::make_pair(1, L));
    for (int k = 0; k < 3; k++) list_push(w->queue, m->loop);
    step(m, w, 1);  // four wait: not queued again, but fed
    EXPECT_EQ(std::make_pair(w->queue->count, w->total), std::make_pair(4, 2 * L));
    demo_music_step(nullptr, w, nullptr, 0);  // fed: the finished head is dropped
    demo_music_step(m, nullptr, nullptr, 0);
    EXPECT_EQ(std::make_pair(w->queue->count, w->total), std::make_pair(3, 2 * L));
}

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

// Each case at every instruction set level the processor has, the ceiling lowered to it.
class Fast : public testing::TestWithParam<simd_level> {
protected:
    void SetUp() override {
        if (GetParam() > simd_best()) GTEST_SKIP() << "the processor lacks level " << GetParam();
        ASSERT_EQ(simd_limit(GetParam()), GetParam());
    }
    void TearDown() override { simd_limit(SIMD_AVX512); }
};

const int32_t lengths[] = {1, 2, 3, 16, 40, 1000, 11025, 22050, 44100, 65535, 132300};

TEST_P(Fast, GeneratorsAndEnvelopesMatchTheStraightforwardOnes) {
    const std::vector<int32_t> freqs = {-5, 0, 1, 32, 440, 1975, 7902, 11025, 21435, 21436, 22051, 28160, 44100, 70000};
    Lcg g{5};
    for (int32_t n : lengths) {
        Own<sample_del> in(random_sample(g, n));
        for (int32_t f : GetParam() == SIMD_PLAIN ? freqs : std::vector<int32_t>{}) {  // the generators have one path
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
    start_backend(1);
    random_srand(demo_seed);
    demo_build_resources();
    std::vector<int32_t> want = values(demo_music);
    int32_t next = random_next();
    // 48 organ and 12 chord notes of a second, 24 of half, 12 hits of a quarter.
    ASSERT_EQ(want.size(), 60u * 44100 + 24u * 22050 + 12u * 11025);
    // Each variant in a child of its own: a second build of the shared objects
    // would leave the first unreachable. The child's status holds one bit per fault.
    for (int threaded = 0; threaded < 2; threaded++) {
        pid_t child = fork();
        if (child == 0) {
            demo_music = nullptr;
            random_srand(demo_seed);
            demo_build_resources_deferred();
            int faults = demo_music != nullptr;
            if (threaded) demo_bank_start();
            faults |= (random_next() != next) << 1;  // drawn while the bank may still be building
            demo_bank_ready();
            faults |= (values(demo_music) != want) << 2;
            _exit(faults);
        }
        int status = -1;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(status, 0) << "threaded " << threaded << "; bits 1 << 8: bank made early, 2 << 8: draws moved, 4 << 8: bank differs";
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

INSTANTIATE_TEST_SUITE_P(Levels, Fast, testing::Values(SIMD_PLAIN, SIMD_SSE2, SIMD_AVX2, SIMD_AVX512));


// An open capture device on the headless backend, its log cleared.
class Capture : public testing::Test {
protected:
    MIDI_OUT *m = nullptr;
    void SetUp() override {
        start_backend(1), midi_out_choose("capture"), midi_capture_clear();
        ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    }
    void TearDown() override { midi_out_close(m), midi_out_choose(nullptr), backend_stop(); }
    // What the capture device recorded of one message, or -1 when it was refused.
    int64_t sent(uint32_t message) {
        uint32_t before = midi_capture_count();
        if (midi_out_short_msg(m, message) != MIDI_NOERROR) return -1;
        return midi_capture_count() == before + 1 ? (int64_t)midi_capture_message(midi_capture_kept() - 1) : -2;
    }
};

TEST_F(Capture, EachStatusTakesItsNumberOfBytes) {
    const std::pair<uint32_t, int64_t> cases[] = {
        {0xFF7F3C80, 0x7F3C80}, {0x00403C90, 0x403C90}, {0x99407FA3, 0x407FA3},  // note off/on, key pressure
        {0x12345BB0, 0x345BB0}, {0x007712C5, 0x12C5},   {0x7F7F40D1, 0x40D1},    // controller, program, pressure
        {0x102030E2, 0x2030E2}, {0x00001AF1, 0x1AF1},   {0x00337FF2, 0x337FF2},  // bend, time code, song position
        {0x007F05F3, 0x05F3},   {0x00FFFFF6, 0xF6},     {0x007F0AF8, 0xF8},      // song select, tune, clock
        {0x000000FF, 0xFF},     {0x000000F0, -1},       {0x000000F7, -1},        // reset; sysex is no short message
    };
    for (const auto &[message, recorded] : cases) EXPECT_EQ(sent(message), recorded) << std::hex << message;
}

TEST_F(Capture, DataFirstMessagesContinueTheRunningStatus) {
    // Each row: a status message sent first (0: none), then a data-first one.
    const uint32_t cases[][3] = {
        {0, 0x00117F45, (uint32_t)-1},     // nothing to continue yet
        {0x00403C90, 0x00117F45, 0x7F45},  // two data bytes of a note on
        {0x000005C3, 0x00117F45, 0x45},    // one of a program change
        {0x000000FE, 0x00000012, 0x12},    // real-time bytes keep it
        {0x000003F3, 0x00000012, (uint32_t)-1},  // system common ends it
        {0x000020E5, 0x00117F45, 0x7F45},  // two of a pitch bend
    };
    for (const auto &c : cases) {
        if (c[0]) sent(c[0]);
        EXPECT_EQ(sent(c[1]), (int64_t)(int32_t)c[2]) << std::hex << c[0];
    }
}

TEST_F(Capture, ResetKeptWindowAndVolume) {
    EXPECT_EQ(midi_out_reset(m), MIDI_NOERROR);  // sustain off, all notes off, each channel
    ASSERT_EQ(midi_capture_count(), 32u);
    for (uint32_t i = 0; i < 32; i++) EXPECT_EQ(midi_capture_message(i), 0xB0u + i / 2 + ((i % 2 ? 123u : 64u) << 8));
    midi_capture_clear();
    for (uint32_t i = 0; i < 5000; i++) midi_out_short_msg(m, 0x90u | ((i & 0x7F) << 8));
    EXPECT_EQ(std::make_pair(midi_capture_count(), midi_capture_kept()), std::make_pair(5000u, 4096u));
    EXPECT_EQ((std::vector<uint32_t>{midi_capture_message(0), midi_capture_message(4095), midi_capture_message(4096)}),
              (std::vector<uint32_t>{0x90u | ((904u & 0x7F) << 8), 0x90u | ((4999u & 0x7F) << 8), 0u}));
    midi_capture_clear();
    uint32_t v = 0, after = 0;
    EXPECT_EQ(midi_out_get_volume(m, &v), MIDI_NOERROR);
    EXPECT_EQ(midi_out_set_volume(m, 0x03FF03FF), MIDI_NOERROR);
    EXPECT_EQ(midi_out_get_volume(m, &after), MIDI_NOERROR);
    EXPECT_EQ(std::make_pair(v, after), std::make_pair(0xFFFFFFFFu, 0x03FF03FFu));
    MIDI_CAPS caps;  // bad handles and arguments
    EXPECT_EQ((std::vector<int32_t>{midi_out_get_volume(m, nullptr), midi_out_short_msg(nullptr, 0x403C90), midi_out_reset(nullptr),
                                    midi_out_get_dev_caps(0, &caps, 0), midi_out_open(nullptr, 0)}),
              (std::vector<int32_t>{MIDI_INVALPARAM, MIDI_INVALHANDLE, MIDI_INVALHANDLE, MIDI_INVALPARAM, MIDI_INVALPARAM}));
    EXPECT_EQ(midi_capture_count(), 0u);  // the volume is no message
}

// ---- Which device is 0 ------------------------------------------------------------

TEST(MidiDevices, DeviceZeroFollowsTheChoiceHeadless) {
    start_backend(1);
    const struct { const char *where, *soundfont; uint32_t devices; int32_t caps0; const char *name; uint16_t technology; } choices[] = {
        {"synth", nullptr, 1, MIDI_NOERROR, synth_name, MIDI_TECH_SWSYNTH},
        {"capture", nullptr, 1, MIDI_NOERROR, "RIVO7315 capture", MIDI_TECH_PORT},
        {"none", nullptr, 0, MIDI_BADDEVICEID, "", 0},
        {"14:0", nullptr, 0, MIDI_BADDEVICEID, "", 0},  // headless runs list no port
        // Without a SoundFont the capture device stands in.
        {"synth", "/no/such.sf2", 1, MIDI_NOERROR, "RIVO7315 capture", MIDI_TECH_PORT},
    };
    for (const auto &c : choices) {
        ASSERT_EQ(midi_out_choose(c.where), 1);
        synth_set_soundfont(c.soundfont);
        if (!c.soundfont && !synth_soundfont() && !strcmp(c.where, "synth")) continue;
        MIDI_CAPS caps{};
        EXPECT_EQ(midi_out_get_num_devs(), c.devices) << c.where;
        EXPECT_EQ(midi_out_get_dev_caps(0, &caps, sizeof caps), c.caps0) << c.where;
        EXPECT_EQ(std::make_pair(std::string(caps.name), caps.technology), std::make_pair(std::string(c.name), c.technology)) << c.where;
        EXPECT_EQ(midi_out_get_dev_caps(1, &caps, sizeof caps), MIDI_BADDEVICEID) << c.where;
    }
    EXPECT_EQ(midi_out_choose(""), 0);
    midi_out_choose(nullptr), synth_set_soundfont(nullptr), backend_stop();
}

TEST(MidiDevices, TheSynthesiserReportsItselfAndKeepsItsVolume) {
    start_backend(1);
    midi_out_choose("synth");
    if (!synth_soundfont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    MIDI_CAPS caps, cut;
    std::memset(&caps, 0xEE, sizeof caps), std::memset(&cut, 0xEE, sizeof cut);
    ASSERT_EQ(midi_out_get_dev_caps(0, &caps, sizeof caps), MIDI_NOERROR);
    ASSERT_EQ(midi_out_get_dev_caps(0, &cut, 4), MIDI_NOERROR);  // a short buffer gets the first bytes only
    EXPECT_STREQ(caps.name, "RIVO7315 GM Synthesizer");
    // mid, pid, driver version, technology, voices, notes, channels, support (volume and left/right).
    EXPECT_EQ((std::vector<uint32_t>{caps.mid, caps.pid, caps.driver_version, caps.technology, caps.voices, caps.notes,
                                     caps.channel_mask, caps.support, cut.driver_version}),
              (std::vector<uint32_t>{0, 0, 0x0100, 7, 64, 64, 0xFFFF, 3, 0xEEEEEEEE}));
    MIDI_OUT *m = nullptr;
    uint32_t v = 0;
    ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    EXPECT_EQ((std::vector<int32_t>{midi_out_set_volume(m, 0x12345678), midi_out_get_volume(m, &v), midi_out_short_msg(m, 0x7F3C90),
                                    midi_out_reset(m), midi_out_close(m)}),
              std::vector<int32_t>(5, MIDI_NOERROR));
    EXPECT_EQ(v, 0x12345678u);
    backend_stop();
}

// In a window run the ALSA ports follow the synthesiser; on a machine
// without a sequencer there are none.
TEST(MidiDevices, PortsFollowDeviceZeroInAWindowRun) {
    start_backend(0);
    midi_out_choose("capture");
    uint32_t n = midi_out_get_num_devs();
    MIDI_CAPS caps{};
    MIDI_OUT *m = nullptr;
    int32_t beyond = midi_out_get_dev_caps(n, &caps, sizeof caps), second = midi_out_get_dev_caps(1, &caps, sizeof caps);
    EXPECT_TRUE(n >= 1 && (beyond == MIDI_BADDEVICEID || beyond == MIDI_NODRIVER)) << n << " " << beyond;
    EXPECT_TRUE(n == 1 || (second == MIDI_NOERROR && caps.technology == MIDI_TECH_PORT)) << n;
    EXPECT_EQ(midi_out_open(&m, n), beyond);
    EXPECT_EQ(m, nullptr);
    EXPECT_EQ((midi_out_choose("none"), midi_out_get_num_devs()), 0u);
    midi_out_choose(nullptr), backend_stop();
}

TEST(MidiDevices, ResultTextsSayWhatToDo) {
    const char *cases[][2] = {
        {"none", "--midi-out none"}, {"Roland", "'Roland'"}, {"synth", "snd-seq-dummy"},
        {"synth", "sequencer"},      {"synth", "memory"},    {"synth", "unknown MIDI error"},
    };
    const int32_t results[] = {MIDI_BADDEVICEID, MIDI_BADDEVICEID, MIDI_BADDEVICEID, MIDI_NODRIVER, MIDI_NOMEM, 12345};
    for (int i = 0; i < 6; i++) {
        midi_out_choose(cases[i][0]);
        EXPECT_NE(std::string(midi_out_result_text(results[i])).find(cases[i][1]), std::string::npos) << cases[i][1];
    }
    midi_out_choose(nullptr);
}

// One loaded synthesiser for the suite; each test starts it from a system reset.
class Synth : public testing::Test {
protected:
    static SYNTH *synth;
    static void SetUpTestSuite() { synth = synth_new(synth_soundfont()); }
    static void TearDownTestSuite() { synth_del(&synth); }
    void SetUp() override {
        if (!synth) GTEST_SKIP() << "no General MIDI SoundFont installed";
        synth_send(synth, -1, 0xFF);  // system reset, at once
        synth_set_volume(synth, -1, 0xFFFFFFFF);
        render(256);  // the reset's voices end
        ASSERT_EQ(synth_voices(synth), 0);
    }
    // The next n frames, mixed onto zeros.
    std::vector<int32_t> render(int32_t n) {
        std::vector<int32_t> mix(2 * (size_t)n, 0);
        synth_mix(synth, position, mix.data(), n);
        position += n;
        return mix;
    }
    // Stamps never go back, so the position runs on from test to test.
    static int64_t position;
    static int64_t at(int64_t k) { return position + k; }
};
SYNTH *Synth::synth = nullptr;
int64_t Synth::position = 0;

// Index of the first frame with a non-zero value, or -1.
int32_t first_sound(const std::vector<int32_t> &mix) {
    for (size_t i = 0; i < mix.size(); i++)
        if (mix[i] != 0) return (int32_t)(i / 2);
    return -1;
}

int64_t energy(const std::vector<int32_t> &mix, int channel) {
    int64_t e = 0;
    for (size_t i = (size_t)channel; i < mix.size(); i += 2) e += std::abs(mix[i]);
    return e;
}

const uint32_t note_on = 0x7F3C90;  // channel 0, middle C, full velocity

TEST_F(Synth, NotesStartAtTheirStampsAndSilenceAddsNothing) {
    // The note's attack begins with values that round to 0: its first
    // sound from a stamp at frame 0 is the reference.
    synth_send(synth, -1, note_on);  // a negative stamp applies at once
    EXPECT_EQ(synth_voices(synth), 1);
    int32_t attack = first_sound(render(4096));
    ASSERT_GE(attack, 0);
    SetUp();
    EXPECT_EQ(first_sound(render(4096)), -1);
    synth_send(synth, at(5000), note_on);
    EXPECT_EQ(first_sound(render(4096)), -1);
    // The engine works in 64-frame steps: the note starts in the step at or
    // after its stamp.
    int32_t first = first_sound(render(4096));
    EXPECT_TRUE(first >= 904 && first < 904 + 64 + attack) << first;
    // While voices sound, a stamp is met within the engine's 64-frame step.
    synth_send(synth, at(700), 0x7F4091);
    int32_t before = (render(700), synth_voices(synth)), after = (render(64), synth_voices(synth));
    EXPECT_EQ(std::make_pair(before, after), std::make_pair(1, 2));
}

TEST_F(Synth, EventsKeepTheirOrderAndNeverGoBack) {
    // Volume off, a note, volume on at one stamp: the last word holds.
    synth_set_volume(synth, at(100), 0);
    synth_send(synth, at(100), note_on);
    synth_set_volume(synth, at(100), 0xFFFFFFFF);
    // An earlier stamp after a later one counts as the later one.
    synth_send(synth, at(50), 0x7F4090);
    EXPECT_EQ((render(100), synth_voices(synth)), 0);
    EXPECT_GT(energy(render(2048), 0), 0);
    EXPECT_EQ(synth_voices(synth), 2);
    synth_set_volume(synth, at(0), 0xFFFFFFFF), synth_set_volume(synth, at(0), 0);
    EXPECT_EQ(first_sound(render(2048)), -1);
}

TEST_F(Synth, VolumeScalesEachChannelFromItsWord) {
    // The same note at full, half and left-only volume.
    const int64_t cases[][3] = {{0xFFFFFFFF, 1000, 1000}, {0x7FFF7FFF, 500, 500}, {0x0000FFFF, 1000, 0}, {0xFFFF0000, 0, 1000}};
    int64_t full[2] = {0, 0};
    for (const auto &c : cases) {
        SetUp();
        synth_set_volume(synth, at(0), (uint32_t)c[0]);
        synth_send(synth, at(0), note_on);
        std::vector<int32_t> mix = render(8192);
        for (int ch = 0; ch < 2; ch++) {
            if (c[0] == 0xFFFFFFFF) full[ch] = energy(mix, ch);
            ASSERT_GT(full[ch], 100000);
            EXPECT_NEAR(energy(mix, ch) * 1000 / full[ch], c[1 + ch], 2) << std::hex << c[0] << " channel " << ch;
        }
    }
}

// Notes started together beyond the polyphony take voices from sounding
// ones; the count stays at the polyphony, not at the notes started.
TEST_F(Synth, VoicesNeverExceedThePolyphony) {
    int32_t most = 0;
    for (int round = 0; round < 2; round++) {
        for (uint32_t k = 0; k < 100; k++) {
            synth_send(synth, -1, 0x7F0090u | k % 9 | (24u + k % 72) << 8);  // held piano notes, at once
            most = std::max(most, synth_voices(synth));
        }
        render(128);
    }
    EXPECT_EQ(std::make_pair(most, synth_voices(synth)), std::make_pair(synth_polyphony, synth_polyphony));
}

// A stamp at the end of the 64-bit range is met in the block that reaches it.
TEST(SynthStamps, TheLastSamplePositionIsReached) {
    if (!synth_soundfont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    SYNTH *synth = synth_new(synth_soundfont());
    ASSERT_NE(synth, nullptr);
    synth_send(synth, INT64_MAX, note_on);
    std::vector<int32_t> mix(2 * 4096, 0);
    synth_mix(synth, INT64_MAX - 4095, mix.data(), 4096);
    EXPECT_EQ(synth_voices(synth), 1);
    synth_del(&synth);
}

TEST(SynthSoundFont, TheChosenFileOrTheKnownOnes) {
    TempDir dir("test_synth");
    write_file(dir.file("bad.sf2"), "RIFF not a SoundFont");
    synth_set_soundfont("/no/such/file.sf2");
    EXPECT_EQ(std::make_pair(synth_soundfont(), synth_new(synth_soundfont())), std::make_pair((const char *)nullptr, (SYNTH *)nullptr));
    synth_set_soundfont(dir.file("bad.sf2").c_str());
    EXPECT_EQ(synth_new(synth_soundfont()), nullptr);
    synth_set_soundfont(nullptr);
    EXPECT_EQ(std::string(synth_soundfont() ? synth_soundfont() : "/usr/share/sounds/sf").rfind("/usr/share/sounds/sf", 0), 0u);
}

// ---- Whole headless runs ------------------------------------------------------

// sound.wav of a headless run: scenes 1 and 2 skipped, 60 frames of scene 3
// (no time passes: it does not wait), then 0.6 seconds of scene 4. Empty when the run fails.
std::string run_sound(const std::string &extra) {
    TempDir dir("test_synth_run");
    std::string cmd = std::string("'") + RIVO_PROGRAM + "' --headless --frames 100 --capture '" + dir.path +
                      "' --keys 40:SPACE,45:SPACE,200:SPACE " + extra + " >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) return "";
    return read_file(dir.file("sound.wav"));
}

}  // namespace

TEST(SynthRun, HeadlessSoundRepeatsAndCarriesTheNotes) {
    if (!synth_soundfont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    std::string a = run_sound(""), b = run_sound(""), log = run_sound("--midi-out capture");
    ASSERT_GT(a.size(), 44u + 4 * 22050u);
    EXPECT_TRUE(a == b) << "two runs sound different";
    ASSERT_EQ(a.size(), log.size());
    // Stereo from the first byte; the notes sound where scene 3 ends.
    EXPECT_EQ(a.substr(22, 2), std::string("\x02\x00", 2));
    EXPECT_NE(a.substr(44), log.substr(44)) << "the synthesiser added nothing";
}

TEST(SynthRun, MutedRunsAreDigitalSilence) {
    std::string muted = run_sound("--keys 2:O");
    ASSERT_GT(muted.size(), 44u + 4 * 22050u);
    // The key acts in the fade's first frames, before any time has passed.
    EXPECT_EQ(muted.find_first_not_of('\0', 44), std::string::npos);
}
