// The demo's instrument bank and per-frame music step, and the music played
// headless through the virtual player.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/music.h"
#include "audio/sample.h"
#include "audio/winsnd.h"
#include "demo/soundtrack.h"
#include "host/backend.h"
#include "host/cli.h"
#include "host/fps.h"
#include "host/random.h"
#include "tests/test_support.h"

namespace {

constexpr int32_t L = 132300;
const uint32_t demo_seed = 0x31756A22;  // the demo's second seed

const int32_t F[96] = {
    32,   34,   36,   39,   41,   44,   46,   49,   52,   55,   58,   62,   65,   69,   73,   78,
    82,   87,   93,   98,   104,  110,  117,  123,  131,  139,  147,  156,  165,  175,  185,  196,
    208,  220,  233,  247,  262,  277,  294,  311,  330,  349,  370,  392,  415,  440,  466,  494,
    523,  554,  587,  622,  659,  698,  740,  784,  831,  880,  932,  988,  1046, 1109, 1174, 1244,
    1318, 1397, 1480, 1568, 1661, 1760, 1864, 1975, 2093, 2217, 2349, 2489, 2637, 2793, 2960, 3135,
    3322, 3520, 3729, 3951, 4186, 4434, 4698, 4978, 5274, 5587, 5920, 6272, 6645, 7040, 7458, 7902,
};

// ---- Notes worked out from the synthesis rules, without SOUND or SAMPLE ----

using Wave = std::vector<int32_t>;

Wave sine(int32_t n, int32_t f) {
    static Wave table;
    if (table.empty()) {
        table.resize(44100);
        const double h = (double)(float)(M_PI / 2.0);
        for (int i = 0; i <= 11025; i++) {
            int32_t v = (int32_t)(std::sin(i * h / 11025.0) * 32767.0);
            table[i] = table[22050 - i] = v;
            table[22050 + i] = -v;
            if (i > 0) table[44100 - i] = -v;
        }
    }
    Wave s(n);
    for (int32_t i = 0; i < n; i++) s[i] = table[((int64_t)i * f) % 44100];
    return s;
}

void square(Wave &s, int32_t f) {
    int64_t p = 0x56220000 / f, pos = 0;
    for (int64_t k = 0; k < (int64_t)s.size() * 32768 / p; k++, pos += p) {
        int64_t a = pos >> 15, m = (pos + p / 2) >> 15, e = (pos + p) >> 15, j = m + 1;
        for (int64_t i = a; i < m; i++) s[i] = 32767;
        s[m] = 0;
        for (; j < e - 1; j++) s[j] = -32768;
        if (j < (int64_t)s.size()) s[j] = 0;
    }
}

void shr(Wave &s, int b) {
    for (int32_t &v : s) v >>= b;
}

void add(Wave &a, const Wave &b) {
    for (size_t i = 0; i < a.size() && i < b.size(); i++) a[i] += b[i];
}

void normalize(Wave &s, int32_t peak) {
    int32_t lo = s[0], hi = s[0];
    for (int32_t v : s) lo = std::min(lo, v), hi = std::max(hi, v);
    double m = std::fabs((double)lo) > std::fabs((double)hi) ? std::fabs((double)lo) : std::fabs((double)hi);
    double scale = peak / m;
    for (int32_t &v : s) v = (int32_t)(v * scale);
}

// The straight ramp 32767 -> 0 (integer line, shallow or steep), applied.
void decay(Wave &s) {
    int32_t n = (int32_t)s.size(), dx = n - 1, dy = 32767, v = 32767;
    Wave e(n);
    if (dx > dy) {
        int32_t err = dx >> 1;
        for (int32_t i = 0; i < n; i++) {
            e[i] = v;
            err -= dy;
            if (err <= 0) err += dx, v--;
        }
    } else {
        int32_t err = dy >> 1;
        for (int32_t i = 0; i < n; i++) {
            e[i] = v;
            while (err > 0) v--, err -= dx;
            err += dy;
        }
    }
    for (int32_t i = 0; i < n; i++) s[i] = (s[i] * e[i]) >> 15;
}

Wave organ(int32_t i) {
    int32_t f = F[i];
    Wave s = sine(44100, f), t;
    shr(s, f >> 9);
    t = sine(44100, 2 * f);
    shr(t, f >> 10);
    add(s, t);
    t = sine(44100, 4 * f);
    shr(t, f >> 11);
    add(s, t);
    shr(s, 2);
    normalize(s, 32767 - 700 * i);
    return s;  // before its decay
}

// Generator draws of one noise layer of n values at rate r (r <= 44100): one
// before the loop, then one each time the 22050 head start is used up.
int64_t noise_draws(int64_t n, int64_t r) {
    int64_t need = n * r - 22050;
    return 1 + (need > 0 ? (need + 44099) / 44100 : 0);
}

SAMPLE *note(const MUSIC *m, int32_t i) { return (SAMPLE *)m->notes->items[i]; }

int32_t peak(const SAMPLE *s) {
    int32_t p = 0;
    for (int32_t i = 0; i < s->count; i++) p = std::max(p, std::abs(s->data[i]));
    return p;
}

void expect_note(const SAMPLE *s, const Wave &want, int32_t index) {
    ASSERT_EQ(s->count, (int32_t)want.size()) << "note " << index;
    int shown = 0;
    for (int32_t i = 0; i < s->count && shown < 5; i++)
        if (s->data[i] != want[i]) {
            ADD_FAILURE() << "note " << index << " [" << i << "] = " << s->data[i] << ", want " << want[i];
            shown++;
        }
}

// One bank for the tests that only read it.
const MUSIC *bank() {
    static MUSIC *m = nullptr;
    if (!m) {
        random_srand(demo_seed);
        m = demo_build_instruments();
    }
    return m;
}

// A seed from which the first 30-bit draw gives this style.
uint32_t seed_for_style(int32_t style, uint32_t from = 1) {
    for (uint32_t s = from;; s++)
        if (Lcg{s}.next30() % 3 == style) return s;
}

// A small music record: one short note, a loop and a work already blended.
MUSIC *small_music(void) {
    MUSIC *m = music_new();
    SAMPLE *n = sample_new();
    sample_set_count(n, 500);
    for (int32_t i = 0; i < 500; i++) n->data[i] = 20000 - 40 * i;
    music_add_note(m, n);
    m->period = 256;
    for (int32_t i = 0; i < L; i++) m->loop->data[i] = (i % 777) - 300;
    return m;
}

// The same record with what the step should have done, done by hand.
MUSIC *copy_of(const MUSIC *m) {
    MUSIC *c = small_music();
    for (int32_t i = 0; i < L; i++) c->loop->data[i] = m->loop->data[i];
    if (m->work) {
        c->work = sample_dup(m->work);
    }
    return c;
}

bool same_loop(const MUSIC *a, const MUSIC *b) {
    for (int32_t i = 0; i < L; i++)
        if (a->loop->data[i] != b->loop->data[i]) return false;
    return true;
}

bool same_work(const MUSIC *a, const MUSIC *b) {
    if (!a->work || !b->work) return a->work == b->work;
    for (int32_t i = 0; i < L; i++)
        if (a->work->data[i] != b->work->data[i]) return false;
    return true;
}

FPS at_frame(int32_t frames) {
    FPS t{};
    t.frames = frames;
    return t;
}

}  // namespace

// ---- The instrument bank ------------------------------------------------------

TEST(Soundtrack, BankHoldsNinetySixNotesOfTheirLengths) {
    const MUSIC *m = bank();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->period, 256);
    EXPECT_EQ(m->loop->count, L);
    ASSERT_EQ(m->notes->count, 96);
    for (int32_t i = 0; i < 96; i++) {
        int32_t want = i < 48 ? 44100 : i < 72 ? 22050 : i < 84 ? 11025 : 44100;
        ASSERT_NE(note(m, i), nullptr) << i;
        EXPECT_EQ(note(m, i)->count, want) << "note " << i;
    }
}

TEST(Soundtrack, OrganNotesAreTheirPartialsNormalisedAndDecayed) {
    const MUSIC *m = bank();
    for (int32_t i : {0, 1, 20, 45, 46, 47}) {
        Wave want = organ(i);
        decay(want);
        expect_note(note(m, i), want, i);
    }
}

TEST(Soundtrack, OrganNotesGetQuieterUntilTheLastTurnsOver) {
    // Before their decay notes 0, 46 and 47 peak at 32767, 567 and -133.
    Wave n0 = organ(0), n46 = organ(46), n47 = organ(47);
    auto magnitude = [](const Wave &w) {
        int32_t p = 0;
        for (int32_t v : w) p = std::max(p, std::abs(v));
        return p;
    };
    EXPECT_EQ(magnitude(n0), 32767);
    EXPECT_EQ(magnitude(n46), 567);
    EXPECT_EQ(magnitude(n47), 133);
    // The largest swing of the sum is a trough; the negative peak of note 47
    // turns it into a crest.
    EXPECT_EQ(*std::min_element(n0.begin(), n0.end()), -32767);
    EXPECT_EQ(*std::max_element(n47.begin(), n47.end()), 133);
    const MUSIC *m = bank();
    EXPECT_LE(peak(note(m, 0)), 32767);
    EXPECT_GT(peak(note(m, 0)), 32000);  // its first crest comes early in the decay
    EXPECT_LE(peak(note(m, 46)), 567);
    EXPECT_LE(peak(note(m, 47)), 133);
    // Every tone starts upwards, but the inverted last one.
    EXPECT_GT(note(m, 46)->data[1], 0);
    EXPECT_LT(note(m, 47)->data[1], 0);
    for (int32_t i = 1; i < 46; i++) EXPECT_LT(peak(note(m, i)), peak(note(m, i - 1)) + 700) << i;
}

TEST(Soundtrack, NoiseNotesStayWithinTheirPeaks) {
    const MUSIC *m = bank();
    for (int32_t i = 48; i < 60; i++) {
        EXPECT_LE(peak(note(m, i)), 32767) << i;
        EXPECT_GT(peak(note(m, i)), 0) << i;
    }
    for (int32_t i = 60; i < 72; i++) {
        EXPECT_LE(peak(note(m, i)), 32767 - 100 * i) << i;  // 26767 for note 60
        EXPECT_GT(peak(note(m, i)), 0) << i;
    }
    for (int32_t i = 72; i < 84; i++) {
        EXPECT_LE(peak(note(m, i)), 8000) << i;
        EXPECT_GT(peak(note(m, i)), 0) << i;
    }
    // The twelve hits are made alike; only their noise differs.
    EXPECT_NE(note(m, 72)->data[100], note(m, 73)->data[100]);
}

TEST(Soundtrack, ChordsCarryTheScratchTailsOfEarlierNotes) {
    // The scratch last held a whole second of the 1976 Hz partial of note 47;
    // the shorter notes since used only its first half. Each square leaves the
    // values after its last whole period as they were.
    Wave t = sine(44100, 4 * 494);
    const MUSIC *m = bank();
    for (int32_t i = 84; i < 96; i++) {
        int32_t f = F[i - 72];
        Wave s(44100, 0);
        square(s, f);
        square(t, 2 * f);
        add(s, t);
        square(t, 4 * f);
        add(s, t);
        shr(s, 2);
        normalize(s, 24000);
        decay(s);
        expect_note(note(m, i), s, i);
    }
}

TEST(Soundtrack, BankUsesTheGeneratorInItsFixedOrder) {
    int64_t draws = 0;
    for (int32_t i = 48; i < 60; i++) draws += noise_draws(22050, 8 * F[i - 48]) + noise_draws(22050, 16 * F[i - 48]);
    for (int32_t i = 60; i < 72; i++) draws += noise_draws(22050, 8 * F[i - 24]) + noise_draws(22050, 16 * F[i - 24]);
    draws += 12 * (noise_draws(11025, 44100) + noise_draws(11025, 22050));
    EXPECT_EQ(noise_draws(11025, 44100), 11026);  // a new value for every element
    EXPECT_EQ(noise_draws(11025, 22050), 5513);
    random_srand(demo_seed);
    MUSIC *m = demo_build_instruments();
    Lcg g{demo_seed};
    for (int64_t k = 0; k < draws; k++) g.next();
    EXPECT_EQ(random_rand(), g.next());
    music_del(&m);
}

TEST(Soundtrack, BankIsTheSameOnEveryBuild) {
    random_srand(demo_seed);
    MUSIC *m = demo_build_instruments();
    const MUSIC *first = bank();
    for (int32_t i = 0; i < 96; i++) EXPECT_TRUE(sample_compare(note(m, i), note(first, i))) << i;
    music_del(&m);
}

// ---- The per-frame step -------------------------------------------------------

TEST(Soundtrack, MutedStepDrawsOnceAndDoesNothingElse) {
    MUSIC *m = small_music();
    MUSIC *before = copy_of(m);
    random_srand(99);
    FPS t = at_frame(0);
    demo_music_step(m, nullptr, &t, 1);
    Lcg g{99};
    g.next30();
    EXPECT_EQ(random_rand(), g.next());
    EXPECT_TRUE(same_loop(m, before));
    EXPECT_EQ(m->work, nullptr);
    music_del(&m);
    music_del(&before);
}

TEST(Soundtrack, MutedStepDoesNotFeedThePlayer) {
    CLI cli{};
    cli.headless = 1;
    backend_start(&cli);
    WINSND *w = winsnd_new();
    MUSIC *m = small_music();
    FPS t = at_frame(3);
    demo_music_step(m, w, &t, 1);
    EXPECT_EQ(w->queue->count, 0);
    EXPECT_EQ(w->total, 0);
    winsnd_del(&w);
    music_del(&m);
}

TEST(Soundtrack, StyleZeroBuildsEveryMultipleOfSixtyFourAndAlwaysBlends) {
    uint32_t s = seed_for_style(0);
    MUSIC *m = small_music();
    MUSIC *want = copy_of(m);
    random_srand(s);
    FPS t = at_frame(64 * 3);
    demo_music_step(m, nullptr, &t, 0);
    random_srand(s);
    random_next();
    music_pattern_even(want);
    music_blend(want, 127);
    EXPECT_TRUE(same_work(m, want));
    EXPECT_TRUE(same_loop(m, want));
    int32_t after = random_rand();  // the style's draw and the pattern's six, no more
    Lcg g0{s};
    for (int k = 0; k < 2 + 6; k++) g0.next();
    EXPECT_EQ(after, g0.next());
    // Off the multiples of 64: the blend alone, no draw but the style's.
    uint32_t s2 = seed_for_style(0, s + 1);
    random_srand(s2);
    t = at_frame(64 * 3 + 1);
    demo_music_step(m, nullptr, &t, 0);
    music_blend(want, 127);
    EXPECT_TRUE(same_loop(m, want));
    Lcg g{s2};
    g.next30();
    EXPECT_EQ(random_rand(), g.next());
    music_del(&m);
    music_del(&want);
}

TEST(Soundtrack, StyleOneBlendsByHalfAPeriodEveryEighthFrame) {
    uint32_t s = seed_for_style(1);
    MUSIC *m = small_music();
    music_pattern_even(m);  // something to blend towards
    MUSIC *want = copy_of(m);
    random_srand(s);
    FPS t = at_frame(8);
    demo_music_step(m, nullptr, &t, 0);
    music_blend(want, 128);
    EXPECT_TRUE(same_loop(m, want));
    random_srand(s);
    t = at_frame(9);  // neither a multiple of 8 nor of the period
    demo_music_step(m, nullptr, &t, 0);
    EXPECT_TRUE(same_loop(m, want));
    music_del(&m);
    music_del(&want);
}

TEST(Soundtrack, StyleOneBuildsEvenOrDecayedAtThePeriodWithoutBlending) {
    int seen[2] = {0, 0};
    for (uint32_t s = seed_for_style(1); seen[0] == 0 || seen[1] == 0; s = seed_for_style(1, s + 1)) {
        Lcg g{s};
        g.next30();
        int even = g.next30() & 1;
        MUSIC *m = small_music();
        MUSIC *want = copy_of(m);
        random_srand(s);
        FPS t = at_frame(512);
        demo_music_step(m, nullptr, &t, 0);
        random_srand(s);
        random_next();
        random_next();
        if (even)
            music_pattern_even(want);
        else
            music_pattern_decayed(want);
        EXPECT_TRUE(same_work(m, want)) << "seed " << s;
        EXPECT_TRUE(same_loop(m, want)) << "seed " << s;  // no blend on that frame
        seen[even] = 1;
        music_del(&m);
        music_del(&want);
    }
}

TEST(Soundtrack, StyleTwoDrawsOnceMoreAndBuildsOddAtThePeriod) {
    uint32_t s = seed_for_style(2);
    MUSIC *m = small_music();
    MUSIC *want = copy_of(m);
    random_srand(s);
    FPS t = at_frame(256);
    demo_music_step(m, nullptr, &t, 0);
    random_srand(s);
    random_next();
    random_next();  // drawn, its value unused
    music_pattern_odd(want);
    EXPECT_TRUE(same_work(m, want));
    EXPECT_TRUE(same_loop(m, want));
    int32_t after = random_rand();  // two 30-bit draws and the pattern's six
    Lcg g{s};
    for (int k = 0; k < 4 + 6; k++) g.next();
    EXPECT_EQ(after, g.next());
    // Off the period, on a multiple of 8: a blend by 128.
    random_srand(s);
    t = at_frame(16);
    demo_music_step(m, nullptr, &t, 0);
    music_blend(want, 128);
    EXPECT_TRUE(same_loop(m, want));
    music_del(&m);
    music_del(&want);
}

TEST(Soundtrack, StepFeedsTheLoopWhileFewerThanFourWait) {
    CLI cli{};
    cli.headless = 1;
    backend_start(&cli);
    WINSND *w = winsnd_new();
    MUSIC *m = small_music();
    random_srand(3);
    FPS t = at_frame(1);
    demo_music_step(m, w, &t, 0);  // queued and copied whole; stays queued
    EXPECT_EQ(w->queue->count, 1);
    EXPECT_EQ(w->total, L);
    const uint8_t *d = w->image + winsnd_header_size;
    for (int32_t i : {0, 1, 776, 777, L - 1}) {
        int32_t v = m->loop->data[i];
        EXPECT_EQ((int16_t)(uint16_t)(d[2 * i] | (d[2 * i + 1] << 8)), (int16_t)v) << i;
    }
    t = at_frame(2);
    demo_music_step(m, w, &t, 0);  // queued again; the first entry is dropped
    EXPECT_EQ(w->queue->count, 1);
    EXPECT_EQ(w->total, L);
    // A queue of four is not added to, but still fed.
    list_push(w->queue, m->loop);
    list_push(w->queue, m->loop);
    list_push(w->queue, m->loop);
    t = at_frame(3);
    demo_music_step(m, w, &t, 0);
    EXPECT_EQ(w->queue->count, 4);
    EXPECT_EQ(w->total, 2 * L);
    winsnd_del(&w);
    music_del(&m);
}

TEST(Soundtrack, StepSurvivesMissingPartsAndABrokenPeriod) {
    random_srand(11);
    FPS t = at_frame(0);
    demo_music_step(nullptr, nullptr, &t, 0);
    MUSIC *m = small_music();
    demo_music_step(m, nullptr, nullptr, 0);
    m->period = 0;  // no multiples: styles 1 and 2 do nothing
    for (int32_t f = 0; f < 20; f++) {
        t = at_frame(f);
        demo_music_step(m, nullptr, &t, 0);
    }
    CLI cli{};
    cli.headless = 1;
    backend_start(&cli);
    WINSND *w = winsnd_new();
    demo_music_step(nullptr, w, &t, 0);  // no loop to queue
    EXPECT_EQ(w->queue->count, 0);
    winsnd_del(&w);
    music_del(&m);
}

// ---- Headless: what the virtual player plays is the loop being fed ----------

TEST(Soundtrack, HeadlessMusicPlaysTheFedLoop) {
    CLI cli{};
    cli.headless = 1;
    backend_start(&cli);
    std::string path = std::string(testing::TempDir()) + "soundtrack_" + std::to_string(getpid()) + ".wav";
    winsnd_capture_to(path.c_str());
    random_srand(demo_seed);
    WINSND *w = winsnd_new();
    MUSIC *m = demo_build_instruments();
    FPS t{};
    std::vector<uint8_t> heard(2 * L);  // the data area as the player last saw it
    std::memcpy(heard.data(), w->image + winsnd_header_size, heard.size());
    FILE *in = std::fopen(path.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    int64_t checked = 0, nonzero = 0, copies = 0;
    int maxabs = 0;
    const int32_t frames = 250;  // five seconds at 50 frames per second
    for (int32_t f = 0; f < frames; f++) {
        t.frames = f;
        int32_t total = w->total;
        demo_music_step(m, w, &t, 0);
        if (w->total != total) {  // this step copied the loop in: its low 16 bits
            copies++;
            const uint8_t *d = w->image + winsnd_header_size;
            for (int32_t i = 0; i < L; i += 97)
                ASSERT_EQ((int16_t)(uint16_t)(d[2 * i] | (d[2 * i + 1] << 8)), (int16_t)m->loop->data[i]) << i;
        }
        // The values played since the last step came from the data area as
        // that step left it, from the start of the loop round and round.
        // Stereo frames, the loop in both channels.
        std::fseek(in, 44 + 4 * checked, SEEK_SET);
        int lo, hi, right[2];
        while ((lo = std::fgetc(in)) != EOF && (hi = std::fgetc(in)) != EOF &&
               (right[0] = std::fgetc(in)) != EOF && (right[1] = std::fgetc(in)) != EOF) {
            int32_t at = (int32_t)(checked % L);
            ASSERT_EQ(lo, heard[2 * at]) << "value " << checked;
            ASSERT_EQ(hi, heard[2 * at + 1]) << "value " << checked;
            ASSERT_TRUE(right[0] == lo && right[1] == hi) << "value " << checked;
            int16_t v = (int16_t)(uint16_t)(lo | (hi << 8));
            if (v != 0) nonzero++;
            if (std::abs(v) > maxabs) maxabs = std::abs(v);
            checked++;
        }
        std::clearerr(in);
        std::memcpy(heard.data(), w->image + winsnd_header_size, heard.size());
        backend_sleep(20);
    }
    std::fclose(in);
    // 199 frame periods of 20 ms: 882 values each.
    EXPECT_EQ(checked, (int64_t)(frames - 1) * 882);
    // The loop was copied in on every second step (the other drops it).
    EXPECT_EQ(copies, frames / 2);
    // Not silence: the first pattern is blended in from the first frame on.
    EXPECT_GT(nonzero, checked / 4);
    EXPECT_GT(maxabs, 1000);
    winsnd_capture_to(nullptr);
    winsnd_del(&w);
    music_del(&m);
}
