// The fast start: the generator's skip-ahead and per-thread state, the count
// of the instrument bank's draws, and the bank set aside at start-up and
// built on its own thread (or in line) giving the same notes and leaving the
// same draws to everything after it.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "audio/music.h"
#include "audio/sample.h"
#include "demo/resources.h"
#include "demo/soundtrack.h"
#include "host/backend.h"
#include "host/cli.h"
#include "host/random.h"

namespace {

const uint32_t demo_seed = 0x31756A22;  // the demo's second seed

uint32_t stepped(uint32_t seed, uint64_t draws) {
    random_srand(seed);
    for (uint64_t i = 0; i < draws; i++) random_rand();
    return random_state_now();
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

}  // namespace

TEST(StartFast, SkipAheadLandsWhereStepsDo) {
    const uint64_t draws[] = {0, 1, 2, 7, 4096, 100003};
    for (uint32_t seed : {0u, 1u, 45429u, demo_seed, 0xFFFFFFFFu})
        for (uint64_t n : draws) EXPECT_EQ(random_state_after(seed, n), stepped(seed, n)) << seed << " " << n;
    // The period is 2^32: a whole period comes back to the start.
    EXPECT_EQ(random_state_after(demo_seed, 1ull << 32), demo_seed);
    EXPECT_EQ(random_state_after(demo_seed, (1ull << 32) + 5), random_state_after(demo_seed, 5));
}

TEST(StartFast, EachThreadDrawsOnItsOwnState) {
    random_srand(45429);
    int32_t fresh = 0;
    std::thread other([&] {
        fresh = random_rand();
        random_srand(7);
        random_rand();
    });
    other.join();
    EXPECT_EQ(fresh, 41);               // a new thread starts unseeded
    EXPECT_EQ(random_rand(), 17318);    // this thread's first draw after 45429
}

TEST(StartFast, BankDrawsAsManyAsCounted) {
    random_srand(demo_seed);
    MUSIC *m = demo_build_instruments();
    EXPECT_EQ(random_state_now(), random_state_after(demo_seed, demo_bank_draws()));
    music_del(&m);
}

TEST(StartFast, SetAsideBankIsTheBankInLine) {
    CLI cli{};
    cli.headless = 1;
    ASSERT_TRUE(backend_start(&cli));
    random_srand(demo_seed);
    demo_build_resources();
    std::vector<int32_t> want = values(demo_music);
    int32_t next = random_next();
    // 48 organ and 12 chord notes of a second, 24 of half, 12 hits of a quarter.
    ASSERT_EQ(want.size(), 60u * 44100 + 24u * 22050 + 12u * 11025);
    for (int threaded = 0; threaded < 2; threaded++) {
        demo_music = nullptr;
        random_srand(demo_seed);
        demo_build_resources_deferred();
        EXPECT_EQ(demo_music, nullptr);
        if (threaded) demo_bank_start();
        EXPECT_EQ(random_next(), next) << threaded;  // drawn while the bank may still be building
        demo_bank_ready();
        EXPECT_EQ(values(demo_music), want) << threaded;
    }
    backend_stop();
}
