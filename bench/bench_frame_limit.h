// The machine's own limit printed beside the imaging and display figures:
// reference rows for a 256 KiB frame (memcpy, memset, and 65536 pixel stores
// at one store per cycle, timed as 65536 cycles of dependent multiplications) run
// ahead of a program's benchmarks, and counters that state each result as a
// multiple of the frame memcpy and of one store per cycle.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

constexpr int64_t frame_limit_pixels = 256 * 256;
constexpr size_t frame_limit_bytes = (size_t)frame_limit_pixels * 4;

struct FrameLimitBuffers {
    std::vector<uint8_t> from, to;
    FrameLimitBuffers() : from(frame_limit_bytes, 7), to(frame_limit_bytes, 0) {}
};

inline FrameLimitBuffers &frame_limit_buffers(void) {
    static FrameLimitBuffers buffers;
    return buffers;
}

// About n cycles of the core's clock: a chain of multiplications, each
// waiting for the one before, three cycles apiece on current x86 cores.
// (A chain of additions will not do: newer cores fold small additions away
// when renaming registers and run such a chain several times a cycle.)
inline void frame_limit_chain(int64_t n) {
    uint64_t v = 3;
    for (int64_t i = 0; i < n; i += 12) {
#if defined(__x86_64__)
        asm volatile("imul %0, %0\n\timul %0, %0\n\timul %0, %0\n\timul %0, %0" : "+r"(v));
#else
        v *= v;
        asm volatile("" : "+r"(v));
#endif
    }
    benchmark::DoNotOptimize(v);
}

// The fastest of many short timings of f, in seconds: a shared machine's busy
// moments only ever slow a run down.
template <typename F>
double frame_limit_best(F f) {
    double best = 1e9;
    for (int round = 0; round < 40; round++) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int k = 0; k < 10; k++) f();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / 10);
    }
    return best;
}

inline void frame_limit_memcpy(void) {
    FrameLimitBuffers &b = frame_limit_buffers();
    std::memcpy(b.to.data(), b.from.data(), frame_limit_bytes);
    benchmark::ClobberMemory();
}

// Seconds for one frame memcpy and for one cycle, measured once per program.
inline double frame_limit_memcpy_seconds(void) {
    static const double s = frame_limit_best(frame_limit_memcpy);
    return s;
}

inline double frame_limit_cycle_seconds(void) {
    static const double s = frame_limit_best([] { frame_limit_chain(frame_limit_pixels); }) / frame_limit_pixels;
    return s;
}

// Each result as a multiple of the frame memcpy (x_memcpy), and, given the
// stores one iteration must make, of those stores at one a cycle (x_stores).
inline void frame_limit_counters(benchmark::State &state, double stores_per_iteration = 0) {
    state.counters["x_memcpy"] = benchmark::Counter(frame_limit_memcpy_seconds(),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
    if (stores_per_iteration > 0)
        state.counters["x_stores"] = benchmark::Counter(stores_per_iteration * frame_limit_cycle_seconds(),
                                                        benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
}

inline void BM_Limit_FrameMemcpy(benchmark::State &state) {
    for (auto _ : state) frame_limit_memcpy();
    state.SetBytesProcessed(state.iterations() * (int64_t)frame_limit_bytes);
    frame_limit_counters(state);
}

inline void BM_Limit_FrameMemset(benchmark::State &state) {
    FrameLimitBuffers &b = frame_limit_buffers();
    int v = 0;
    for (auto _ : state) {
        std::memset(b.to.data(), v++ & 0xFF, frame_limit_bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)frame_limit_bytes);
    frame_limit_counters(state);
}

inline void BM_Limit_FrameStoresOnePerCycle(benchmark::State &state) {
    for (auto _ : state) frame_limit_chain(frame_limit_pixels);
    state.counters["GHz"] =
        benchmark::Counter((double)frame_limit_pixels * 1e-9, benchmark::Counter::kIsIterationInvariantRate);
    frame_limit_counters(state, (double)frame_limit_pixels);
}

// Registered ahead of the program's own benchmarks.
static const int frame_limit_registered = [] {
    benchmark::RegisterBenchmark("BM_Limit_FrameMemcpy", BM_Limit_FrameMemcpy)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BM_Limit_FrameMemset", BM_Limit_FrameMemset)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BM_Limit_FrameStoresOnePerCycle", BM_Limit_FrameStoresOnePerCycle)
        ->Unit(benchmark::kMicrosecond);
    return 1;
}();
