// Thick dither lines as scene 6 draws them: 160 lines across a 256 x 256
// frame, thicknesses 16, 12, 8 and 4 in turn, every slope. The fast version
// steps each line once for all its parallels; the reference draws every
// parallel point by point. Times are per line.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/reference_lines.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "tests/test_lcg.h"

namespace {

struct StarLine {
    int32_t x0, y0, x1, y1, t;
    uint32_t c0, c1;
};

const std::vector<StarLine> &star_lines(void) {
    static const std::vector<StarLine> lines = [] {
        std::vector<StarLine> v;
        Lcg lcg{6};
        const int32_t thickness[4] = {16, 12, 8, 4};
        for (int32_t i = 0; i < 160; i++)
            v.push_back({lcg.next() % 256, lcg.next() % 256, lcg.next() % 256, lcg.next() % 256, thickness[i % 4],
                         (uint32_t)lcg.next30() & 0xFFFFFF, (uint32_t)lcg.next30() & 0xFFFFFF});
        return v;
    }();
    return lines;
}

template <bool reference>
void BM_ThickDitherStar(benchmark::State &state) {
    IMG *frame = img_new();
    img_resize(frame, 256, 256);
    const auto &lines = star_lines();
    for (auto _ : state) {
        for (const StarLine &l : lines) {
            if (reference)
                reference_imgfx_thick_dither_line(frame, l.x0, l.y0, l.c0, l.x1, l.y1, l.c1, l.t);
            else
                imgfx_thick_dither_line(frame, l.x0, l.y0, l.c0, l.x1, l.y1, l.c1, l.t);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)lines.size());
    img_del(&frame);
}

}  // namespace

BENCHMARK_TEMPLATE(BM_ThickDitherStar, true)->Name("BM_ThickDitherStar_Reference");
BENCHMARK_TEMPLATE(BM_ThickDitherStar, false)->Name("BM_ThickDitherStar_Fast");
