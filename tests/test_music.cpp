// MUSIC and the demo's soundtrack: the blend as a table, the three pattern
// kinds against recordings (tests/data/music.txt: seed -> CRC of the pattern
// and the next draw), refusals; the bank and
// the per-frame step against recordings (tests/data/bank.txt: note -> length
// and CRC; music_steps.txt: frame -> CRC of loop and pattern) and the step's
// feeding of the player.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/music.h"
#include "audio/winsnd.h"
#include "demo/soundtrack.h"
#include "host/backend.h"
#include "host/cli.h"
#include "host/fps.h"
#include "host/random.h"
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

void start_headless() {
    CLI cli{};
    cli.headless = 1;
    backend_start(&cli);
}

int16_t played(const WINSND *w, int32_t i) {
    const uint8_t *d = w->image + winsnd_header_size;
    return (int16_t)(uint16_t)(d[2 * i] | (d[2 * i + 1] << 8));
}

}  // namespace

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
    start_headless();
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
    start_headless();
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
