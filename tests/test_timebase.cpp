// The headless time base, call by call: every frame-loop round, present of
// its own and paused key round lasts at least one frame period of virtual
// time; a second present inside a frame-loop round is the same frame.
#include <gtest/gtest.h>

#include <cstring>

#include "host/backend.h"
#include "host/cli.h"
#include "tests/test_support.h"

namespace {

void start_headless(int hash = 0) {
    CLI cli;
    memset(&cli, 0, sizeof cli);
    cli.headless = 1;
    cli.zoom = 1;
    cli.hash = hash;
    ASSERT_TRUE(backend_start(&cli));
}

uint8_t pixel[3] = {1, 2, 3};

// Runs calls written as letters: S / s a frame-loop round begins at 50 / 25
// per second, p a present, k a key round, w the wait sleeping 19 ms.
void play(const char *calls) {
    for (const char *c = calls; *c; c++) {
        switch (*c) {
        case 'S': backend_frame_start(50); break;
        case 's': backend_frame_start(25); break;
        case 'p': pixel[0]++, backend_show(nullptr, pixel, 1, 1); break;
        case 'k': backend_poll(nullptr); break;
        case 'w': backend_sleep(19); break;
        }
    }
}

struct TimeCase {
    const char *calls;
    uint32_t ticks;   // the clock afterwards
    uint32_t frames;  // frames numbered
};

const TimeCase time_cases[] = {
    {"p", 0, 1},              // the title: its round has only begun
    {"pp", 20, 2},            // a fade present is a round of its own
    {"ppp", 40, 3},
    {"pSpk", 20, 2},          // the first frame-loop round ends the title's
    {"SpkwS", 20, 1},         // paced: 1 ms of work is the rest of 19 slept
    {"SppkS", 20, 1},         // unpaced, presenting twice: one frame of 20 ms
    {"SppkSppkS", 40, 2},
    {"Spkkk", 40, 3},         // paused key rounds are frames of 20 ms each
    {"SpkwwS", 38, 1},        // a longer round is not stretched
    {"spkwS", 20, 1},         // the rate at the next round's start counts
    {"spkws", 40, 1},         // 25 per second: 40 ms rounds
    {"Spkpp", 40, 3},         // the fade after a skipped frame
    {"Sk", 0, 1},             // a frame-loop round without a present is still a frame
};

class TimeBase : public testing::TestWithParam<TimeCase> {};

TEST_P(TimeBase, RoundsLastAFramePeriod) {
    start_headless();
    play(GetParam().calls);
    EXPECT_EQ(backend_ticks(), GetParam().ticks);
    EXPECT_EQ(backend_frame(), GetParam().frames);
    backend_stop();
}

INSTANTIATE_TEST_SUITE_P(Calls, TimeBase, testing::ValuesIn(time_cases));

TEST(TimeBaseHash, ReplacedPresentPrintsOnceWithTheFinalPicture) {
    std::string out = printed([] {
        start_headless(1);
        play("Sp");
        uint8_t last[3] = {7, 8, 9};
        backend_show(nullptr, last, 1, 1);  // the second present of the round
        play("kS");
        backend_stop();
    });
    uint8_t last[3] = {7, 8, 9};
    char want[32];
    snprintf(want, sizeof want, "000000 %08x\n", backend_crc32(last, 3));
    EXPECT_EQ(out, want);
}

}  // namespace
