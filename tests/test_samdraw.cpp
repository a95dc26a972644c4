// SAMDRAW: waveform columns, index stepping for short and long samples, range
// clamping, the smoothed waveform and the peak markers, each a table line
// with a picture worked out by hand ('.' background, '#' wave, 'm' marker).
#include <gtest/gtest.h>

#include <functional>

#include "audio/sam.h"
#include "audio/sample.h"
#include "audio/samdraw.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"

namespace {

const uint32_t B = 0x808080, W = 0xFFFFFF;

// A drawer over a new SAM holding `values` and a new w x h image.
struct Drawing {
    Own<sam_del> sam{sam_new()};
    Own<img_del> image;
    Own<samdraw_del> d{samdraw_new()};
    Drawing(const std::vector<int32_t> &values, int32_t w, int32_t h) : image(grid_image(w, h)) {
        SAMPLE *s = sample_new();
        for (int32_t v : values) sample_push(s, v);
        sam_set_sample(sam, s);
        d->sam = sam;
        d->target = image;
        d->last = (int32_t)values.size() - 1;
    }
};

}  // namespace

TEST(Samdraw, DrawsAsPictures) {
    using Draw = void (*)(SAMDRAW *);
    struct Case { const char *name; Draw draw; std::vector<int32_t> values; int32_t first, last, w, h; const char *want; } cases[] = {
        // Height 4, mid 2: 32767 reaches row 3, -32768 row 0, 0 stays on row 2.
        {"one per column", samdraw_draw, {32767, -32768, 16384, 0}, 0, 3, 4, 4, ".#..|.#..|####|#.#."},
        {"8 in 4", samdraw_draw, {32767, -32768, 0, 32767, -32768, 0, 0, 0}, 0, 7, 4, 4, "..#.|..#.|####|#..."},
        {"2 in 4", samdraw_draw, {32767, -32768}, 0, 1, 4, 4, "..##|..##|####|##.."},
        {"exchanged range", samdraw_draw, {0, 32767, -32768, 32767}, 3, 1, 4, 4, ".#..|.#..|###.|#.#."},
        {"clamped range", samdraw_draw, {0, 32767, -32768, 32767}, -5, 99, 4, 4, "..#.|..#.|####|.#.#"},
        {"empty", samdraw_draw, {}, 0, 0, 2, 2, "..|.."},
        // Means 10000, 0, -9000, -9000 on height 8: rows 4 + 1, 4, 4 - 2.
        {"smooth", samdraw_draw_smooth, {30000, 0, -30000, 3000}, 0, 3, 4, 8, "....|....|..##|..##|####|#...|....|...."},
        // argmax 1 in column 4 * 1 / 8 = 0, argmin 3 in column 1; no clearing.
        {"peaks", samdraw_draw_peaks, {0, 32767, 0, -32768, 0, 0, 0, 0}, 0, 7, 4, 4, "xmxx|xmxx|mmxx|mxxx"},
    };
    for (const Case &c : cases) {
        Drawing t(c.values, c.w, c.h);
        img_clear(t.image, 0x123456);
        t.d->first = c.first;
        t.d->last = c.last;
        c.draw(t.d);
        EXPECT_TRUE(grid_equals(t.image, picture(c.want, ".#mx", {B, W, 0, 0x123456}))) << c.name;
        EXPECT_EQ(std::make_pair(t.d->first, t.d->last), std::make_pair(c.first, c.last)) << c.name;
    }
    std::vector<int32_t> alternate;  // 512 values into 256 columns: every second value
    for (int i = 0; i < 512; i++) alternate.push_back(i % 2 ? -32768 : 32767);
    Drawing t(alternate, 256, 4);
    samdraw_draw(t.d);
    std::vector<uint32_t> want(256 * 4, B);
    std::fill(want.begin() + 512, want.end(), W);
    EXPECT_TRUE(grid_equals(t.image, want));
}

TEST(Samdraw, MissingPiecesDrawNothing) {
    Drawing t({1, 2}, 2, 2);
    img_clear(t.image, 0x123456);
    for (auto draw : {samdraw_draw, samdraw_draw_smooth, samdraw_draw_peaks}) draw(nullptr);
    t.d->sam = nullptr;
    samdraw_draw(t.d);
    t.d->sam = t.sam;
    SAMPLE *sample = t.sam->sample;
    t.sam->sample = nullptr;
    samdraw_draw(t.d);
    samdraw_draw_peaks(t.d);
    t.sam->sample = sample;
    t.d->target = nullptr;
    samdraw_draw(t.d);
    EXPECT_TRUE(grid_equals(t.image, std::vector<uint32_t>(4, 0x123456)));
    Own<samdraw_del> a(samdraw_new()), b(samdraw_new());
    EXPECT_EQ(samdraw_to_text(a), nullptr);
    EXPECT_TRUE(samdraw_compare(a, b));
    EXPECT_FALSE(samdraw_compare(a, nullptr));
}

TEST(Samdraw, DrawsALoadedWavFile) {
    TempDir dir("samdraw");
    std::string path = dir.file("w.wav");
    Own<sam_del> out(sam_new());
    SAMPLE *s = sample_new();
    for (int32_t v : {-32768, 32767}) sample_push(s, v);
    sam_set_sample(out, s);
    sam_set_name(out, path.c_str());
    ASSERT_TRUE(sam_save(out));
    Drawing t({}, 2, 4);
    sam_set_name(t.sam, path.c_str());
    ASSERT_TRUE(sam_load(t.sam));
    t.d->last = 1;
    samdraw_draw(t.d);
    EXPECT_TRUE(grid_equals(t.image, picture("#.|#.|##|.#", ".#", {B, W})));
}
