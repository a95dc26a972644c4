// The demo's post-processing on one 256 x 256 frame: the row blur (radii 2, 2,
// 2) and the five-wide glow (shift 3), the fast paths on every instruction set
// level the processor has against the straightforward version written
// through img_get_pixel / img_set_pixel; beside the machine's reference rows,
// each as a multiple of a frame memcpy and of a frame of stores at one a cycle.
#include <benchmark/benchmark.h>

#include "bench/bench_limits.h"
#include "bench/reference_imgfx.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "host/simd.h"

namespace {

// A frame of busy pixels (every channel in use) and a target of the same size.
struct Frame {
    IMG *source;
    IMG *target;
    Frame() {
        source = img_new();
        target = img_new();
        img_resize(source, 256, 256);
        img_resize(target, 256, 256);
        uint32_t state = 12345;
        for (int i = 0; i < 256 * 256; i++) {
            state = state * 1664525u + 1013904223u;
            source->pixels[i] = (state >> 8) & 0x00FFFFFF;
        }
    }
    ~Frame() {
        img_del(&source);
        img_del(&target);
    }
};

void BM_BlurHRgb_Reference(benchmark::State &state) {
    Frame f;
    for (auto _ : state) {
        reference_imgfx_blur_h_rgb(f.source, f.target, 2, 2, 2);
        benchmark::DoNotOptimize(f.target->pixels);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
    bench_vs_memcpy(state);
    bench_vs_stores(state, 256 * 256);
}

void blur_at(benchmark::State &state, simd_level level) {
    simd_limit(level);
    Frame f;
    for (auto _ : state) {
        imgfx_blur_h_rgb(f.source, f.target, 2, 2, 2);
        benchmark::DoNotOptimize(f.target->pixels);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
    bench_vs_memcpy(state);
    bench_vs_stores(state, 256 * 256);
    simd_limit(SIMD_AVX512);
}

void BM_GlowH5_Reference(benchmark::State &state) {
    Frame f;
    for (auto _ : state) {
        reference_imgfx_glow_h5(f.source, f.target, 3);
        benchmark::DoNotOptimize(f.target->pixels);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
    bench_vs_memcpy(state);
    bench_vs_stores(state, 256 * 256);
}

void glow_at(benchmark::State &state, simd_level level) {
    simd_limit(level);
    Frame f;
    for (auto _ : state) {
        imgfx_glow_h5(f.source, f.target, 3);
        benchmark::DoNotOptimize(f.target->pixels);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
    bench_vs_memcpy(state);
    bench_vs_stores(state, 256 * 256);
    simd_limit(SIMD_AVX512);
}

// The fast versions at the processor's widest level, and at each level.
void BM_BlurHRgb(benchmark::State &state) { blur_at(state, SIMD_AVX512); }
void BM_BlurHRgbAtLevel(benchmark::State &state) { blur_at(state, (simd_level)state.range(0)); }
void BM_GlowH5(benchmark::State &state) { glow_at(state, SIMD_AVX512); }
void BM_GlowH5AtLevel(benchmark::State &state) { glow_at(state, (simd_level)state.range(0)); }

}  // namespace

BENCHMARK(BM_BlurHRgb_Reference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlurHRgb)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlurHRgbAtLevel)->Unit(benchmark::kMicrosecond)->DenseRange(SIMD_PLAIN, SIMD_AVX512);
BENCHMARK(BM_GlowH5_Reference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlowH5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlowH5AtLevel)->Unit(benchmark::kMicrosecond)->DenseRange(SIMD_PLAIN, SIMD_AVX512);
