// The demo's audio work: synthesising the 96-note bank at start-up, the blend
// and the three pattern kinds at each density (fast and straightforward), one
// music step of each kind a frame can take (blend only, blend and pattern,
// the pattern kinds, muted), plus the player feed. CPU times; x_memcpy is
// each result as a multiple of one frame memcpy (bench/bench_limits.h).
#include <benchmark/benchmark.h>

#include "bench/bench_limits.h"
#include "bench/reference_music.h"

#include <cstdint>

#include "audio/music.h"
#include "audio/winsnd.h"
#include "demo/soundtrack.h"
#include "platform/backend.h"
#include "app/cli.h"
#include "host/fps.h"
#include "host/random.h"
#include "tests/test_lcg.h"

namespace {

// A seed giving `style`; with `extra` 30-bit draws after it (style 1's
// even/decayed choice, style 2's unused draw) whose low bit is `bit` (-1: any),
// and then a pattern of the given density (-1: no pattern).
uint32_t seed_for(int32_t style, int extra, int bit, int32_t density) {
    for (uint32_t s = 1;; s++) {
        Lcg g{s};
        if (g.next30() % 3 != style) continue;
        bool ok = true;
        for (int k = 0; k < extra; k++)
            if (bit >= 0 && (g.next30() & 1) != bit) ok = false;
        if (!ok) continue;
        if (density < 0) return s;
        for (int k = 0; k < 5; k++) g.next();
        if ((g.next() & 3) == density) return s;
    }
}

MUSIC *shared_bank(void) {
    static MUSIC *m = nullptr;
    if (!m) {
        random_srand(0x31756A22);
        m = demo_build_instruments();
    }
    return m;
}

// Runs the step on frame `frame` from seed `seed` again and again.
void run_step(benchmark::State &state, uint32_t seed, int32_t frame, int muted) {
    MUSIC *m = shared_bank();
    music_pattern_even(m);  // a work to blend towards
    FPS t{};
    t.frames = frame;
    for (auto _ : state) {
        random_srand(seed);
        demo_music_step(m, nullptr, &t, muted);
        benchmark::DoNotOptimize(m->loop->data[0]);
    }
    bench_vs_memcpy(state);
}

// A pattern of the given kind and density, from a seed that gives it.
uint32_t pattern_seed(int32_t density) {
    for (uint32_t s = 1;; s++) {
        Lcg g{s};
        for (int k = 0; k < 5; k++) g.next();
        if ((g.next() & 3) == density) return s;
    }
}

void run_pattern(benchmark::State &state, void (*pattern)(MUSIC *)) {
    MUSIC *m = shared_bank();
    uint32_t seed = pattern_seed((int32_t)state.range(0));
    for (auto _ : state) {
        random_srand(seed);
        pattern(m);
        benchmark::DoNotOptimize(m->work->data[0]);
    }
    bench_vs_memcpy(state);
}

void run_blend(benchmark::State &state, void (*blend)(MUSIC *, int32_t)) {
    MUSIC *m = shared_bank();
    random_srand(3);
    music_pattern_even(m);
    for (auto _ : state) {
        blend(m, 127);
        benchmark::DoNotOptimize(m->loop->data[0]);
    }
    bench_vs_memcpy(state);
}

}  // namespace

static void BM_BuildInstruments(benchmark::State &state) {
    for (auto _ : state) {
        random_srand(0x31756A22);
        MUSIC *m = demo_build_instruments();
        benchmark::DoNotOptimize(m);
        music_del(&m);
    }
    bench_vs_memcpy(state);
}
BENCHMARK(BM_BuildInstruments)->Unit(benchmark::kMillisecond);

static void BM_BuildInstruments_Reference(benchmark::State &state) {
    for (auto _ : state) {
        random_srand(0x31756A22);
        MUSIC *m = reference_build_instruments();
        benchmark::DoNotOptimize(m);
        music_del(&m);
    }
    bench_vs_memcpy(state);
}
BENCHMARK(BM_BuildInstruments_Reference)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_Blend(benchmark::State &state) { run_blend(state, music_blend); }
BENCHMARK(BM_Blend)->Unit(benchmark::kMicrosecond);
static void BM_Blend_Reference(benchmark::State &state) { run_blend(state, reference_music_blend); }
BENCHMARK(BM_Blend_Reference)->Unit(benchmark::kMicrosecond);

// Arg: the density (1, 2, 4, 8 copies; odd: 5, 1, 3, 7).
static void BM_PatternEven(benchmark::State &state) { run_pattern(state, music_pattern_even); }
BENCHMARK(BM_PatternEven)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
static void BM_PatternDecayed(benchmark::State &state) { run_pattern(state, music_pattern_decayed); }
BENCHMARK(BM_PatternDecayed)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
static void BM_PatternOdd(benchmark::State &state) { run_pattern(state, music_pattern_odd); }
BENCHMARK(BM_PatternOdd)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
static void BM_PatternDecayed_Reference(benchmark::State &state) { run_pattern(state, reference_music_pattern_decayed); }
BENCHMARK(BM_PatternDecayed_Reference)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

static void BM_StepMuted(benchmark::State &state) { run_step(state, seed_for(0, 0, -1, -1), 1, 1); }
BENCHMARK(BM_StepMuted)->Unit(benchmark::kMicrosecond);

// Style 1 or 2 on a frame that is no multiple of 8: only the style draw.
static void BM_StepIdle(benchmark::State &state) { run_step(state, seed_for(1, 0, -1, -1), 3, 0); }
BENCHMARK(BM_StepIdle)->Unit(benchmark::kMicrosecond);

// Style 0 off the multiples of 64: a blend by 1/127.
static void BM_StepBlend127(benchmark::State &state) { run_step(state, seed_for(0, 0, -1, -1), 1, 0); }
BENCHMARK(BM_StepBlend127)->Unit(benchmark::kMicrosecond);

// Style 1 on a multiple of 8: a blend by period / 2.
static void BM_StepBlendHalfPeriod(benchmark::State &state) { run_step(state, seed_for(1, 0, -1, -1), 8, 0); }
BENCHMARK(BM_StepBlendHalfPeriod)->Unit(benchmark::kMicrosecond);

// Style 0 on a multiple of 64: an even pattern and a blend; arg = density.
static void BM_StepEvenAndBlend(benchmark::State &state) {
    run_step(state, seed_for(0, 0, -1, (int32_t)state.range(0)), 64, 0);
}
BENCHMARK(BM_StepEvenAndBlend)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// Style 1 on the period: an even (bit 1) or decayed (bit 0) pattern.
static void BM_StepEven(benchmark::State &state) {
    run_step(state, seed_for(1, 1, 1, (int32_t)state.range(0)), 256, 0);
}
BENCHMARK(BM_StepEven)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

static void BM_StepDecayed(benchmark::State &state) {
    run_step(state, seed_for(1, 1, 0, (int32_t)state.range(0)), 256, 0);
}
BENCHMARK(BM_StepDecayed)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// Style 2 on the period: an odd pattern (5, 1, 3 or 7 copies by density).
static void BM_StepOdd(benchmark::State &state) {
    run_step(state, seed_for(2, 1, -1, (int32_t)state.range(0)), 256, 0);
}
BENCHMARK(BM_StepOdd)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// The player's share: queue the loop and feed (a copy every second call).
static void BM_FeedLoop(benchmark::State &state) {
    RUN_OPTIONS cli{};
    cli.headless = 1;
    backend_start(&cli);
    WINSND *w = winsnd_new();
    MUSIC *m = shared_bank();
    for (auto _ : state) {
        if (w->queue->count < 4) list_push(w->queue, m->loop);
        winsnd_feed(w);
    }
    winsnd_del(&w);
    bench_vs_memcpy(state);
}
BENCHMARK(BM_FeedLoop)->Unit(benchmark::kMicrosecond);
