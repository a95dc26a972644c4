// The frame conversion of windpy_present on every instruction set level the
// processor has against its straightforward version, on the demo's 256 x 256
// frame; beside the machine's reference rows, each as a multiple of a frame
// memcpy and of a frame of stores at one a cycle. The bytes lie on a cache
// line as the display's do; one row writes them 16 bytes past one, as a
// plain malloc of that size places them.
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
    uint8_t *lines;  // 64 bytes spare
    uint8_t *bytes;
    explicit Frame(size_t offset = 0)
        : pixels(256 * 256), lines((uint8_t *)aligned_alloc(64, 256 * 256 * 3 + 64)), bytes(lines + offset) {
        uint32_t s = 1;
        for (auto &p : pixels) {
            s = s * 1664525u + 1013904223u;
            p = s >> 8;
        }
    }
    Frame(const Frame &) = delete;
    Frame &operator=(const Frame &) = delete;
    ~Frame() { free(lines); }
};

void BM_ReferenceConvert(benchmark::State &state) {
    Frame f;
    for (auto _ : state) {
        reference_windpy_convert(f.pixels.data(), 256, 256, f.bytes);
        benchmark::DoNotOptimize(f.bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 256 * 256 * 4);
    bench_vs_memcpy(state);
    bench_vs_stores(state, 256 * 256);
}
BENCHMARK(BM_ReferenceConvert);

void convert_at(benchmark::State &state, simd_level level, size_t offset = 0) {
    simd_limit(level);
    Frame f(offset);
    for (auto _ : state) {
        windpy_convert(f.pixels.data(), 256, 256, f.bytes);
        benchmark::DoNotOptimize(f.bytes);
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
void BM_WindpyConvertOffLine(benchmark::State &state) { convert_at(state, SIMD_AVX512, 16); }
BENCHMARK(BM_WindpyConvertOffLine);

}  // namespace
