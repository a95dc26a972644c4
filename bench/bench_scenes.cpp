// Frame cost of each scene on the headless backend: every frame's drawing
// steps, the present (glow, blur, upload, fade or clear) and the music step in
// the scenes that take it, timed one frame at a time by the thread's CPU clock
// (which leaves out the time other processes take on a shared machine); the
// keys and the timer run as in the demo, untimed, and nothing sleeps. The
// scenes run once each, in loop order, after one start-up. The reported time
// is the average CPU per frame; the counters give its worst frame, the music
// step's share, the wall-clock average and worst, and x_memcpy (the average as
// a multiple of one frame memcpy, bench/bench_limits.h).
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <cstring>

#include "bench/bench_limits.h"
#include "demo/demo.h"
#include "demo/resources.h"
#include "demo/scenes.h"
#include "demo/soundtrack.h"
#include "platform/backend.h"
#include "app/cli.h"
#include "host/fps.h"

static void bench_start_demo(void) {
    static bool started = false;
    if (started) return;
    started = true;
    RUN_OPTIONS cli;
    std::memset(&cli, 0, sizeof cli);
    cli.headless = 1;
    backend_start(&cli);
    demo_start();
    demo_bank_ready();  // the bank demo_start sets aside, built here
}

static double bench_cpu_seconds(void) {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + 1e-9 * (double)t.tv_nsec;
}

static void BM_Scene(benchmark::State &state, int index) {
    bench_start_demo();
    const DEMO_SCENE *scene = demo_scene_table[index];
    scene->setup();
    if (scene->fade) demo_fade_out();
    double total = 0, worst = 0, cpu_total = 0, cpu_worst = 0, music_total = 0;
    int32_t i = 0;
    for (auto _ : state) {
        fps_start(demo_timer);
        double c0 = bench_cpu_seconds();
        auto t0 = std::chrono::steady_clock::now();
        scene->frame(i);
        demo_present();
        double m0 = bench_cpu_seconds();
        if (scene->music) demo_music_step(demo_music, demo_player, demo_timer, demo_muted);
        auto t1 = std::chrono::steady_clock::now();
        double c1 = bench_cpu_seconds();
        double c = c1 - c0;
        double s = std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(c);
        total += s;
        cpu_total += c;
        music_total += c1 - m0;
        if (s > worst) worst = s;
        if (c > cpu_worst) cpu_worst = c;
        fps_end(demo_timer);
        // The headless clock only moves in its sleep, which costs nothing.
        if (scene->wait) fps_wait(demo_timer);
        i++;
    }
    if (scene->tidy) scene->tidy();
    state.counters["cpu_worst_ms"] = 1000.0 * cpu_worst;
    state.counters["music_avg_ms"] = i ? 1000.0 * music_total / i : 0.0;
    state.counters["wall_avg_ms"] = i ? 1000.0 * total / i : 0.0;
    state.counters["wall_worst_ms"] = 1000.0 * worst;
    state.counters["x_memcpy"] = i ? cpu_total / i / bench_memcpy_seconds() : 0.0;
    state.SetLabel(scene->name);
}

BENCHMARK_CAPTURE(BM_Scene, 1_logo_columns, 0)->Iterations(DEMO_FRAMES_LOGO_COLUMNS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Scene, 2_wave_mesh, 1)->Iterations(DEMO_FRAMES_WAVE_MESH)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Scene, 3_info_midi, 2)->Iterations(DEMO_FRAMES_INFO)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Scene, 4_raster_letters, 3)->Iterations(DEMO_FRAMES_RASTER_LETTERS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Scene, 5_ellipses, 4)->Iterations(DEMO_FRAMES_ELLIPSES)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Scene, 6_star_layers, 5)->Iterations(DEMO_FRAMES_STARS)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Scene, 7_filled_ellipses, 6)->Iterations(DEMO_FRAMES_FILLED_ELLIPSES)->UseManualTime()->Unit(benchmark::kMillisecond);
