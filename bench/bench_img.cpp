// The ellipse benchmark scenes' workload: 4096 ellipses per frame on a
// 256 x 256 image, centres 0-255 and radii 0-63 drawn from the random
// generator, outlined and filled, the fast IMG versions (on every instruction
// set level the processor has) against the straightforward reference
// versions. Reports nanoseconds per ellipse, and beside the machine's
// reference rows the time as a multiple of a frame memcpy and of the
// workload's pixel stores at one a cycle.
#include <benchmark/benchmark.h>

#include <climits>
#include <vector>

#include "bench/bench_limits.h"
#include "bench/reference_ellipse.h"
#include "host/random.h"
#include "host/simd.h"
#include "imaging/img.h"

namespace {

struct EllipseArgs {
    int32_t x, y, rx, ry;
    uint32_t colour;
};

// One frame's ellipses, drawn in the scenes' order of random draws.
const std::vector<EllipseArgs> &frame_ellipses() {
    static std::vector<EllipseArgs> list = [] {
        std::vector<EllipseArgs> out;
        random_srand(0x31756A22);
        for (int i = 0; i < 4096; i++) {
            EllipseArgs e;
            e.x = random_next() % 256;
            e.y = random_next() % 256;
            e.rx = random_next() & 63;
            e.ry = random_next() & 63;
            // The scenes look this draw up in their palette; any colour serves here.
            e.colour = (uint32_t)(random_next() % 1536) * 0x0A0B01u & 0xFFFFFF;
            out.push_back(e);
        }
        return out;
    }();
    return list;
}

using EllipseDraw = void (*)(IMG *, int32_t, int32_t, int32_t, int32_t, uint32_t);

// The pixels one frame's ellipses store at the least: each ellipse's distinct
// pixels inside the image, counted from the reference drawing.
double frame_stores(EllipseDraw reference) {
    IMG *image = img_new();
    img_resize(image, 256, 256);
    double stores = 0;
    for (const EllipseArgs &e : frame_ellipses()) {
        img_clear(image, 0);
        reference(image, e.x, e.y, e.rx, e.ry, 1);
        for (int i = 0; i < 256 * 256; i++) stores += image->pixels[i];
    }
    img_del(&image);
    return stores;
}

template <void (*draw)(IMG *, int32_t, int32_t, int32_t, int32_t, uint32_t), EllipseDraw reference>
void run_frames(benchmark::State &state, simd_level level) {
    simd_limit(level);
    IMG *frame = img_new();
    img_resize(frame, 256, 256);
    const std::vector<EllipseArgs> &list = frame_ellipses();
    for (auto _ : state) {
        for (const EllipseArgs &e : list) draw(frame, e.x, e.y, e.rx, e.ry, e.colour);
        benchmark::DoNotOptimize(frame->pixels);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)list.size());
    state.counters["ns_per_ellipse"] = benchmark::Counter(
        (double)state.iterations() * (double)list.size(),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    static const double stores = frame_stores(reference);
    bench_vs_memcpy(state);
    bench_vs_stores(state, stores);
    img_del(&frame);
    simd_limit(SIMD_AVX512);
}

// The fast versions at the processor's widest level, and at each level.
void BM_EllipseOutline_Fast(benchmark::State &state) {
    run_frames<img_ellipse, reference_ellipse>(state, SIMD_AVX512);
}
void BM_EllipseOutlineAtLevel(benchmark::State &state) {
    run_frames<img_ellipse, reference_ellipse>(state, (simd_level)state.range(0));
}
void BM_EllipseOutline_Reference(benchmark::State &state) {
    run_frames<reference_ellipse, reference_ellipse>(state, SIMD_AVX512);
}
void BM_EllipseFilled_Fast(benchmark::State &state) {
    run_frames<img_fill_ellipse, reference_fill_ellipse>(state, SIMD_AVX512);
}
void BM_EllipseFilledAtLevel(benchmark::State &state) {
    run_frames<img_fill_ellipse, reference_fill_ellipse>(state, (simd_level)state.range(0));
}
void BM_EllipseFilled_Reference(benchmark::State &state) {
    run_frames<reference_fill_ellipse, reference_fill_ellipse>(state, SIMD_AVX512);
}

// Scene 7's frames: the list cut into frames of range(0) ellipses, each
// frame cleared to white and its ellipses drawn as one list (range(1) = 1,
// img_fill_ellipses) or one by one (0).
void BM_EllipseFilledFrames(benchmark::State &state) {
    const size_t per_frame = (size_t)state.range(0);
    static const std::vector<IMG_ELLIPSE> list = [] {
        std::vector<IMG_ELLIPSE> out;
        for (const EllipseArgs &e : frame_ellipses()) out.push_back(IMG_ELLIPSE{e.x, e.y, e.rx, e.ry, e.colour});
        return out;
    }();
    const size_t frames = list.size() / per_frame;
    IMG *frame = img_new();
    img_resize(frame, 256, 256);
    for (auto _ : state) {
        for (size_t f = 0; f < frames; f++) {
            img_clear(frame, 0xFFFFFF);
            const IMG_ELLIPSE *first = &list[f * per_frame];
            if (state.range(1)) img_fill_ellipses(frame, first, (int32_t)per_frame);
            else
                for (const IMG_ELLIPSE *e = first; e < first + per_frame; e++)
                    img_fill_ellipse(frame, e->x, e->y, e->rx, e->ry, e->colour);
            benchmark::DoNotOptimize(frame->pixels);
            benchmark::ClobberMemory();
        }
    }
    state.counters["ns_per_ellipse"] = benchmark::Counter((double)state.iterations() * (double)(frames * per_frame),
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    img_del(&frame);
}

// Drawing costs what it draws: a line and the ellipses in the empty image of
// 0 x 2^31 - 1 pixels, and lines across the whole 32-bit plane or far outside
// the frame, each call timed.
void BM_EmptyImageLineAndEllipses(benchmark::State &state) {
    IMG *empty = img_new();
    img_resize(empty, 0, INT32_MAX);
    for (auto _ : state) {
        img_line(empty, 0, 0, 0, INT32_MAX, 1);
        img_ellipse(empty, 0, 0, INT32_MAX, INT32_MAX, 1);
        img_fill_ellipse(empty, 0, 0, INT32_MAX, INT32_MAX, 1);
        benchmark::ClobberMemory();
    }
    img_del(&empty);
}

void BM_LineAcrossThePlane(benchmark::State &state) {
    IMG *frame = img_new();
    img_resize(frame, 256, 256);
    for (auto _ : state) {
        img_line(frame, INT32_MIN, -7, INT32_MAX, 300, 1);
        benchmark::ClobberMemory();
    }
    img_del(&frame);
}

void BM_LineFarOutside(benchmark::State &state) {
    IMG *frame = img_new();
    img_resize(frame, 256, 256);
    for (auto _ : state) {
        img_line(frame, -2000000000, 1000, 2000000000, 1000000000, 1);
        benchmark::ClobberMemory();
    }
    img_del(&frame);
}

// An outline of radius 10^9 about the frame's centre: its walk stops once
// both columns it reaches have left the frame.
void BM_HugeOutlineAroundTheFrame(benchmark::State &state) {
    IMG *frame = img_new();
    img_resize(frame, 256, 256);
    for (auto _ : state) {
        img_ellipse(frame, 128, 128, 1000000000, 1000000000, 1);
        benchmark::ClobberMemory();
    }
    img_del(&frame);
}

// Shapes with radii up to 2^31 - 1 that cross the frame late in their walks
// (the 45 degree point, the right and lower ends, a flat ellipse's long
// last rows) or whose centres lie far off on every side: each call costs
// what it draws, where stepping from the curve's start takes up to 2^32
// steps.
struct HugeShape {
    int32_t cx, cy, rx, ry;
};

const int32_t HUGE_R = INT32_MAX, HUGE_D = 1518500249;  // HUGE_R / sqrt(2)

const HugeShape huge_ellipses[] = {
    {128, HUGE_R, HUGE_R, HUGE_R - 100},     {128, -HUGE_R + 128, HUGE_R, HUGE_R},
    {128 - HUGE_R, 100, HUGE_R, HUGE_R / 2}, {128 - HUGE_D, 128 - HUGE_D, HUGE_R, HUGE_R},
    {131 - HUGE_R, 100, HUGE_R, 7},          {-2000000000, -236, HUGE_R, 1000},
};

const HugeShape huge_circles[] = {
    {128, HUGE_R, HUGE_R, 0},
    {128 - HUGE_D, 128 - HUGE_D, HUGE_R, 0},
    {128 - HUGE_R, 100, HUGE_R, 0},
    {128, 128 - HUGE_R, HUGE_R, 0},
};

template <size_t N>
void run_huge(benchmark::State &state, const HugeShape (&shapes)[N],
              void (*draw)(IMG *, const HugeShape &)) {
    IMG *frame = img_new();
    img_resize(frame, 256, 256);
    for (auto _ : state) {
        for (const HugeShape &s : shapes) draw(frame, s);
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_shape"] =
        benchmark::Counter((double)state.iterations() * N, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    img_del(&frame);
}

void BM_HugeEllipseOutlines(benchmark::State &state) {
    run_huge(state, huge_ellipses, [](IMG *f, const HugeShape &s) { img_ellipse(f, s.cx, s.cy, s.rx, s.ry, 1); });
}
void BM_HugeEllipseFills(benchmark::State &state) {
    run_huge(state, huge_ellipses, [](IMG *f, const HugeShape &s) { img_fill_ellipse(f, s.cx, s.cy, s.rx, s.ry, 1); });
}
void BM_HugeCircleOutlines(benchmark::State &state) {
    run_huge(state, huge_circles, [](IMG *f, const HugeShape &s) { img_circle(f, s.cx, s.cy, s.rx, 1); });
}
void BM_HugeCircleFills(benchmark::State &state) {
    run_huge(state, huge_circles, [](IMG *f, const HugeShape &s) { img_fill_circle(f, s.cx, s.cy, s.rx, 1); });
}

}  // namespace

BENCHMARK(BM_HugeEllipseOutlines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HugeEllipseFills)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HugeCircleOutlines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HugeCircleFills)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EmptyImageLineAndEllipses);
BENCHMARK(BM_HugeOutlineAroundTheFrame);
BENCHMARK(BM_LineAcrossThePlane);
BENCHMARK(BM_LineFarOutside);
BENCHMARK(BM_EllipseOutline_Fast)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EllipseOutlineAtLevel)->Unit(benchmark::kMicrosecond)->DenseRange(SIMD_PLAIN, SIMD_AVX512);
BENCHMARK(BM_EllipseOutline_Reference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EllipseFilledFrames)->Unit(benchmark::kMicrosecond)->ArgsProduct({{16, 64, 128, 192, 256, 375, 750}, {0, 1}});
BENCHMARK(BM_EllipseFilled_Fast)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EllipseFilledAtLevel)->Unit(benchmark::kMicrosecond)->DenseRange(SIMD_PLAIN, SIMD_AVX512);
BENCHMARK(BM_EllipseFilled_Reference)->Unit(benchmark::kMicrosecond);
