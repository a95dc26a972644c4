// The demo's instrument bank and per-frame music step against recorded values
// (tests/data/bank.txt: note -> length and CRC; tests/data/music_steps.txt:
// frame -> CRC of loop and pattern), the step's feeding of the player, and the
// music played headless through the virtual player.
#include <gtest/gtest.h>

#include <cstring>
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
const uint32_t demo_seed = 0x31756A22;  // the demo's second seed

// One bank, built once from the demo's seed; the generator's next draw after
// it counts the draws of the noise layers.
int32_t bank_next_draw;
MUSIC *bank() {
    static Own<music_del> m;
    if (!m) {
        random_srand(demo_seed);
        m.reset(demo_build_instruments());
        bank_next_draw = random_rand();
    }
    return m;
}

SAMPLE *note(const MUSIC *m, int32_t i) { return (SAMPLE *)m->notes->items[i]; }

FPS at_frame(int32_t frames) {
    FPS t{};
    t.frames = frames;
    return t;
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

TEST(Soundtrack, BankMatchesItsRecording) {
    Golden g("bank");
    MUSIC *m = bank();
    ASSERT_EQ(m->notes->count, demo_instrument_count);
    EXPECT_EQ(m->period, 256);
    for (int32_t i = 0; i < demo_instrument_count; i++)
        g.check("note" + std::to_string(i),
                std::to_string(note(m, i)->count) + " " + Golden::hex(crc_of(note(m, i))));
    g.check("next_draw", std::to_string(bank_next_draw));
}

// The steps of four periods with the real bank, recorded every 16 frames and
// on every frame that builds a pattern (multiples of 64).
TEST(Soundtrack, MusicStepsMatchTheirRecording) {
    Golden g("music_steps");
    Own<music_del> m(music_new());
    m->period = 256;
    for (int32_t i = 0; i < demo_instrument_count; i++) music_add_note(m, sample_dup(note(bank(), i)));
    random_srand(0xC0FFEE);
    for (int32_t f = 0; f < 1024; f++) {
        FPS t = at_frame(f);
        demo_music_step(m, nullptr, &t, 0);
        if (f % 16 == 0 || f % 64 == 63)
            g.check("frame" + std::to_string(f), Golden::hex(crc_of(m->loop)) + " " + Golden::hex(crc_of(m->work)));
    }
    g.check("next_draw", std::to_string(random_rand()));
}

TEST(Soundtrack, MutedStepDrawsOnceAndChangesNothing) {
    start_headless();
    Own<winsnd_del> w(winsnd_new());
    Own<music_del> m(music_new());
    music_add_note(m, sample_dup(note(bank(), 0)));
    random_srand(99);
    for (int32_t f = 0; f < 3; f++) {
        FPS t = at_frame(f * 256);
        demo_music_step(m, w, &t, 1);
    }
    Lcg lcg{99};
    for (int k = 0; k < 3; k++) lcg.next30();
    EXPECT_EQ(random_rand(), lcg.next());
    EXPECT_EQ(m->work, nullptr);
    EXPECT_EQ(sample_max(m->loop), 0);
    EXPECT_EQ(sample_min(m->loop), 0);
    EXPECT_EQ(w->queue->count, 0);
    EXPECT_EQ(w->total, 0);
}

TEST(Soundtrack, StepFeedsTheLoopWhileFewerThanFourWait) {
    start_headless();
    Own<winsnd_del> w(winsnd_new());
    Own<music_del> m(music_new());
    for (int32_t i = 0; i < L; i++) m->loop->data[i] = (i % 777) * 0x10001 - 300;  // high halves set
    m->period = 0;  // nothing built or blended: the feed alone
    random_srand(3);
    FPS t = at_frame(1);
    demo_music_step(m, w, &t, 0);
    EXPECT_EQ(w->queue->count, 1);
    EXPECT_EQ(w->total, L);
    for (int32_t i : {0, 1, 776, 777, L - 1}) EXPECT_EQ(played(w, i), (int16_t)m->loop->data[i]) << i;
    demo_music_step(m, w, &t, 0);  // queued again; the finished entry is dropped
    EXPECT_EQ(w->queue->count, 1);
    EXPECT_EQ(w->total, L);
    for (int k = 0; k < 3; k++) list_push(w->queue, m->loop);
    demo_music_step(m, w, &t, 0);  // four wait: not queued again, but fed
    EXPECT_EQ(w->queue->count, 4);
    EXPECT_EQ(w->total, 2 * L);
    demo_music_step(nullptr, w, &t, 0);
    demo_music_step(m, nullptr, nullptr, 0);
    EXPECT_EQ(w->total, 2 * L);
}

TEST(Soundtrack, HeadlessPlayerPlaysTheFedLoop) {
    start_headless();
    std::string path = testing::TempDir() + "soundtrack_" + std::to_string(getpid()) + ".wav";
    winsnd_capture_to(path.c_str());
    Own<winsnd_del> w(winsnd_new());
    Own<music_del> m(music_new());
    m->period = 256;
    for (int32_t i = 0; i < demo_instrument_count; i++) music_add_note(m, sample_dup(note(bank(), i)));
    random_srand(demo_seed);
    std::vector<uint8_t> heard(w->image + winsnd_header_size, w->image + winsnd_header_size + 2 * L);
    FILE *in = std::fopen(path.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    int64_t checked = 0, nonzero = 0;
    const int32_t frames = 60;
    for (int32_t f = 0; f < frames; f++) {
        FPS t = at_frame(f);
        demo_music_step(m, w, &t, 0);
        // What played since the last step came from the data area as that
        // step left it, from the start of the loop round and round, in both
        // channels of the stereo capture.
        std::fseek(in, 44 + 4 * checked, SEEK_SET);
        int lo, hi, rlo, rhi;
        while ((lo = std::fgetc(in)) != EOF && (hi = std::fgetc(in)) != EOF && (rlo = std::fgetc(in)) != EOF &&
               (rhi = std::fgetc(in)) != EOF) {
            int32_t at = (int32_t)(checked % L);
            ASSERT_EQ(lo | hi << 8, heard[2 * at] | heard[2 * at + 1] << 8) << "value " << checked;
            ASSERT_EQ(rlo | rhi << 8, lo | hi << 8) << "value " << checked;
            nonzero += (lo | hi) != 0;
            checked++;
        }
        std::clearerr(in);
        std::memcpy(heard.data(), w->image + winsnd_header_size, heard.size());
        backend_sleep(20);
    }
    std::fclose(in);
    winsnd_capture_to(nullptr);
    EXPECT_EQ(checked, (int64_t)(frames - 1) * 882);  // 20 ms periods of 882 values
    EXPECT_GT(nonzero, 1000);  // the first pattern is blended in from the first frame
    std::remove(path.c_str());
}
