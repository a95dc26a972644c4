// The frame conversion of windpy_present on every instruction set level the
// processor has against its straightforward version, on the demo's 256 x 256
// frame; beside the machine's reference rows, each as a multiple of a frame
// memcpy and of a frame of stores at one a cycle.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "bench/bench_limits.h"
#include "bench/reference_windpy.h"
#include "host/simd.h"
#include "host/windpy.h"

namespace {

struct Frame {
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> bytes;
    Frame() : pixels(256 * 256), bytes(256 * 256 * 3) {
        uint32_t s = 1;
        for (auto &p : pixels) {
            s = s * 1664525u + 1013904223u;
            p = s >> 8;
        }
    }
};

void BM_ReferenceConvert(benchmark::State &state) {
    Frame f;
    for (auto _ : state) {
        reference_windpy_convert(f.pixels.data(), 256, 256, f.bytes.data());
        benchmark::DoNotOptimize(f.bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 256 * 256 * 4);
    bench_vs_memcpy(state);
    bench_vs_stores(state, 256 * 256);
}
BENCHMARK(BM_ReferenceConvert);

void convert_at(benchmark::State &state, simd_level level) {
    simd_limit(level);
    Frame f;
    for (auto _ : state) {
        windpy_convert(f.pixels.data(), 256, 256, f.bytes.data());
        benchmark::DoNotOptimize(f.bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 256 * 256 * 4);
    bench_vs_memcpy(state);
    bench_vs_stores(state, 256 * 256);
    simd_limit(SIMD_AVX512);
}
// The fast version at the processor's widest level, and at each level.
void BM_WindpyConvert(benchmark::State &state) { convert_at(state, SIMD_AVX512); }
BENCHMARK(BM_WindpyConvert);
void BM_WindpyConvertAtLevel(benchmark::State &state) { convert_at(state, (simd_level)state.range(0)); }
BENCHMARK(BM_WindpyConvertAtLevel)->DenseRange(SIMD_PLAIN, SIMD_AVX512);

}  // namespace
