// Frame timer on the headless backend's virtual clock, which moves only when
// something sleeps: a frame's length is set exactly with backend_sleep.
#include <gtest/gtest.h>

#include <cstring>

#include "host/backend.h"
#include "host/cli.h"
#include "host/fps.h"
#include "tests/test_owned.h"

namespace {

void start_headless() {
    CLI cli;
    memset(&cli, 0, sizeof cli);
    cli.headless = 1;
    cli.zoom = 1;
    ASSERT_TRUE(backend_start(&cli));
}

// Runs one frame of `ms` milliseconds; returns how long the wait slept.
uint32_t frame_of(FPS *t, uint32_t ms) {
    fps_start(t);
    backend_sleep(ms);
    fps_end(t);
    uint32_t before = backend_ticks();
    fps_wait(t);
    return backend_ticks() - before;
}

}  // namespace

TEST(Fps, FramesSleepTheRestOfTheirPeriod) {
    start_headless();
    Own<fps_del> t(fps_new());
    // target, frame ms -> slept, measured, shown, sleep_ms, target after.
    const int32_t frames[][7] = {
        {50, 7, 13, 142, 50, 13, 50}, {50, 19, 1, 52, 50, 1, 50}, {50, 20, 0, 50, 50, 0, 50},
        {50, 40, 0, 25, 25, -20, 50}, {50, 5, 15, 200, 50, 15, 50},  // no deficit carries over
        {0, 10, 30, 100, 25, 30, 25}, {-3, 10, 30, 100, 25, 30, 25},  // a target below 1 becomes 25
        {25, 0, 39, 1000, 25, 39, 25},  // a frame within one millisecond counts as 1
    };
    int32_t count = 0;
    for (const auto &f : frames) {
        t->target = f[0];
        EXPECT_EQ(frame_of(t, (uint32_t)f[1]), (uint32_t)f[2]) << f[0] << " " << f[1];
        EXPECT_EQ(t->measured, f[3]) << f[1];
        EXPECT_EQ(t->shown, f[4]) << f[1];
        EXPECT_EQ(t->sleep_ms, f[5]) << f[1];
        EXPECT_EQ(t->target, f[6]) << f[1];
        EXPECT_EQ(t->frames, ++count);
    }
}

TEST(Fps, WaitWithoutEndAndTheTickWrap) {
    start_headless();
    Own<fps_del> t(fps_new());
    t->target = 50;
    uint32_t before = backend_ticks();
    fps_wait(t);  // frame_ms still 0: taken as 1
    EXPECT_EQ(std::make_pair(t->frame_ms, t->sleep_ms), std::make_pair(1, 19));
    EXPECT_EQ(backend_ticks() - before, 19u);
    backend_sleep(0xFFFFFFFAu - backend_ticks());  // 6 ms before the wrap
    fps_start(t);
    backend_sleep(10);
    fps_end(t);
    EXPECT_EQ(std::make_pair(t->start_tick, t->end_tick), std::make_pair(0xFFFFFFFAu, 4u));
    EXPECT_EQ(std::make_pair(t->frame_ms, t->measured), std::make_pair(10, 100));
}

TEST(Fps, NullRecordIsIgnoredAndNeverSleeps) {
    start_headless();
    uint32_t before = backend_ticks();
    fps_start(nullptr);
    fps_end(nullptr);
    fps_wait(nullptr);
    EXPECT_EQ(backend_ticks(), before);
}
