// Frame timer on the headless backend's virtual clock, which moves only when
// something sleeps: a frame's length is set exactly with backend_sleep.
#include <gtest/gtest.h>

#include <cstring>

#include "host/backend.h"
#include "host/cli.h"
#include "host/fps.h"

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

TEST(Fps, NewRecordIsZeroFilled) {
    FPS *t = fps_new();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->target, 0);
    EXPECT_EQ(t->measured, 0);
    EXPECT_EQ(t->shown, 0);
    EXPECT_EQ(t->sleep_ms, 0);
    EXPECT_EQ(t->start_tick, 0u);
    EXPECT_EQ(t->end_tick, 0u);
    EXPECT_EQ(t->frame_ms, 0);
    EXPECT_EQ(t->frames, 0);
    fps_del(&t);
    EXPECT_EQ(t, nullptr);
    fps_del(&t);
    fps_del(nullptr);
}

TEST(Fps, SameMillisecondFrameMeasures1000) {
    start_headless();
    FPS *t = fps_new();
    backend_sleep(500);
    fps_start(t);
    fps_end(t);
    EXPECT_EQ(t->start_tick, 500u);
    EXPECT_EQ(t->end_tick, 500u);
    EXPECT_EQ(t->frame_ms, 1);
    EXPECT_EQ(t->measured, 1000);
    EXPECT_EQ(t->frames, 1);
    fps_del(&t);
}

TEST(Fps, Target50SleepsTwentyMinusFrameTime) {
    start_headless();
    FPS *t = fps_new();
    t->target = 50;
    EXPECT_EQ(frame_of(t, 7), 13u);
    EXPECT_EQ(t->frame_ms, 7);
    EXPECT_EQ(t->measured, 142);  // 1000 / 7
    EXPECT_EQ(t->sleep_ms, 13);
    EXPECT_EQ(t->shown, 50);
    EXPECT_EQ(frame_of(t, 19), 1u);
    EXPECT_EQ(t->shown, 50);
    EXPECT_EQ(t->frames, 2);
    fps_del(&t);
}

TEST(Fps, SlowFrameDoesNotSleepAndShowsItsOwnRate) {
    start_headless();
    FPS *t = fps_new();
    t->target = 50;
    EXPECT_EQ(frame_of(t, 20), 0u);
    EXPECT_EQ(t->sleep_ms, 0);
    EXPECT_EQ(t->shown, 50);  // 1000 / 20
    EXPECT_EQ(frame_of(t, 40), 0u);
    EXPECT_EQ(t->sleep_ms, -20);
    EXPECT_EQ(t->shown, 25);
    // No deficit carries over: the next short frame sleeps its full rest.
    EXPECT_EQ(frame_of(t, 5), 15u);
    fps_del(&t);
}

TEST(Fps, TargetBelowOneBecomes25AtTheWait) {
    start_headless();
    FPS *t = fps_new();
    EXPECT_EQ(frame_of(t, 10), 30u);  // 1000 / 25 - 10
    EXPECT_EQ(t->target, 25);
    t->target = -3;
    EXPECT_EQ(frame_of(t, 10), 30u);
    EXPECT_EQ(t->target, 25);
    fps_del(&t);
}

TEST(Fps, WaitWithoutEndRepairsFrameTime) {
    start_headless();
    FPS *t = fps_new();
    t->target = 50;
    uint32_t before = backend_ticks();
    fps_wait(t);  // frame_ms still 0: taken as 1
    EXPECT_EQ(t->frame_ms, 1);
    EXPECT_EQ(t->sleep_ms, 19);
    EXPECT_EQ(backend_ticks() - before, 19u);
    fps_del(&t);
}

TEST(Fps, TickWrapIsAnOrdinaryDifference) {
    start_headless();
    FPS *t = fps_new();
    backend_sleep(0xFFFFFFFAu);  // 6 ms before the wrap
    fps_start(t);
    backend_sleep(10);
    fps_end(t);
    EXPECT_EQ(t->start_tick, 0xFFFFFFFAu);
    EXPECT_EQ(t->end_tick, 4u);
    EXPECT_EQ(t->frame_ms, 10);
    EXPECT_EQ(t->measured, 100);
    fps_del(&t);
}

TEST(Fps, NullRecordIsIgnoredAndNeverSleeps) {
    start_headless();
    backend_sleep(40);
    fps_start(nullptr);
    fps_end(nullptr);
    fps_wait(nullptr);
    fps_error();
    EXPECT_EQ(backend_ticks(), 40u);
}
