// The machine's limit beside every figure: a reference row (memcpy and memset
// of a 256 KiB frame, and 65536 steps at one per cycle, the time a frame of
// pixel stores takes at one store per cycle) that every benchmark program
// including this header prints first, and a counter giving each result as a
// multiple of the frame memcpy.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

// Bytes of one 256 x 256 frame of 32-bit pixels.
constexpr size_t bench_frame_bytes = 256 * 256 * 4;
constexpr int64_t bench_frame_pixels = 256 * 256;

struct BenchFrames {
    std::vector<uint8_t> a, b;
    BenchFrames() : a(bench_frame_bytes, 1), b(bench_frame_bytes, 2) {}
};

inline BenchFrames &bench_frames(void) {
    static BenchFrames f;
    return f;
}

// n steps of a chain where each step waits for the one before: n cycles.
// Register-to-register adds: newer cores fold adds of a constant at rename
// and would run those several to a cycle.
inline void bench_cycles(int64_t n) {
    uint64_t x = 1;
    for (int64_t i = 0; i < n; i += 4) {
#if defined(__x86_64__)
        asm volatile("add %0, %0\n\tadd %0, %0\n\tadd %0, %0\n\tadd %0, %0" : "+r"(x));
#else
        asm volatile("" : "+r"(x));
        x += x;
        asm volatile("" : "+r"(x));
        x += x;
        asm volatile("" : "+r"(x));
        x += x;
        asm volatile("" : "+r"(x));
        x += x;
#endif
    }
    benchmark::DoNotOptimize(x);
}

inline void bench_memcpy_frame(void) {
    BenchFrames &f = bench_frames();
    std::memcpy(f.b.data(), f.a.data(), bench_frame_bytes);
    benchmark::ClobberMemory();
}

// Seconds one frame memcpy takes here: the best of many timed runs, so that
// a busy moment of a shared machine does not set the scale.
inline double bench_memcpy_seconds(void) {
    static double best = 0;
    if (best > 0) return best;
    best = 1.0;
    for (int round = 0; round < 50; round++) {
        auto t0 = std::chrono::steady_clock::now();
        for (int k = 0; k < 20; k++) bench_memcpy_frame();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / 20;
        best = std::min(best, s);
    }
    return best;
}

// The result of this benchmark (CPU time per iteration) as a multiple of the
// frame memcpy.
inline void bench_vs_memcpy(benchmark::State &state) {
    state.counters["x_memcpy"] = benchmark::Counter(
        bench_memcpy_seconds(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Seconds one cycle takes here, from the best of many timed chains.
inline double bench_cycle_seconds(void) {
    static double best = 0;
    if (best > 0) return best;
    best = 1.0;
    for (int round = 0; round < 50; round++) {
        auto t0 = std::chrono::steady_clock::now();
        bench_cycles(bench_frame_pixels);
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / bench_frame_pixels;
        best = std::min(best, s);
    }
    return best;
}

// The result as a multiple of `stores` pixel stores at one per cycle (the
// least a drawing of that many pixels can take with one store a pixel).
inline void bench_vs_stores(benchmark::State &state, double stores) {
    state.counters["x_stores"] = benchmark::Counter(
        stores * bench_cycle_seconds(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

inline void BM_Limit_Memcpy256KiB(benchmark::State &state) {
    for (auto _ : state) bench_memcpy_frame();
    state.SetBytesProcessed(state.iterations() * (int64_t)bench_frame_bytes);
    bench_vs_memcpy(state);
}

inline void BM_Limit_Memset256KiB(benchmark::State &state) {
    BenchFrames &f = bench_frames();
    uint8_t v = 0;
    for (auto _ : state) {
        std::memset(f.b.data(), v++, bench_frame_bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)bench_frame_bytes);
    bench_vs_memcpy(state);
}

// 65536 cycles: a frame of pixel stores at one store per cycle.
inline void BM_Limit_StorePerCycleFrame(benchmark::State &state) {
    for (auto _ : state) bench_cycles(bench_frame_pixels);
    // Cycles per second: the clock the chain ran at.
    state.counters["GHz"] = benchmark::Counter((double)bench_frame_pixels * 1e-9, benchmark::Counter::kIsIterationInvariantRate);
    bench_vs_memcpy(state);
}

// Registered once per program, ahead of the program's own benchmarks.
static const int bench_limits_registered = [] {
    benchmark::RegisterBenchmark("BM_Limit_Memcpy256KiB", BM_Limit_Memcpy256KiB)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BM_Limit_Memset256KiB", BM_Limit_Memset256KiB)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BM_Limit_StorePerCycleFrame", BM_Limit_StorePerCycleFrame)->Unit(benchmark::kMicrosecond);
    return 1;
}();
