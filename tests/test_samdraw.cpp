// SAMDRAW tests: waveform columns, index stepping for short and long samples,
// range clamping, the smoothed waveform and the peak markers, each compared
// with a picture worked out by hand ('.' background, '#' wave, 'm' marker).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/sam.h"
#include "audio/samdraw.h"
#include "audio/sample.h"
#include "imaging/img.h"
#include "test_support.h"

namespace {

const uint32_t B = 0x808080, W = 0xFFFFFF;

// A drawer over a new SAM holding `values` and a new w x h image.
struct Drawing {
    SAM *sam;
    IMG *image;
    SAMDRAW *d;
    Drawing(const std::vector<int32_t> &values, int32_t w, int32_t h) {
        sam = sam_new();
        SAMPLE *s = sample_new();
        for (int32_t v : values) sample_push(s, v);
        sam_set_sample(sam, s);
        image = grid_image(w, h);
        d = samdraw_new();
        d->sam = sam;
        d->target = image;
        d->first = 0;
        d->last = (int32_t)values.size() - 1;
    }
    ~Drawing() {
        samdraw_del(&d);
        img_del(&image);
        sam_del(&sam);
    }
};

std::vector<uint32_t> picture(std::initializer_list<const char *> rows,
                              uint32_t background = B) {
    std::vector<const char *> r(rows);
    return grid_picture(r.data(), (int32_t)r.size(), background, "#m", {W, 0x000000});
}

}  // namespace

TEST(Samdraw, NewRecordHasTheDefaultColoursAndAnEmptyRange) {
    SAMDRAW *d = samdraw_new();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->sam, nullptr);
    EXPECT_EQ(d->target, nullptr);
    EXPECT_EQ(d->background, 0x808080u);
    EXPECT_EQ(d->wave, 0xFFFFFFu);
    EXPECT_EQ(d->marker, 0x000000u);
    EXPECT_EQ(d->first, 0);
    EXPECT_EQ(d->last, 0);
    SAMDRAW *e = samdraw_new();
    EXPECT_EQ(samdraw_to_text(d), nullptr);
    EXPECT_TRUE(samdraw_compare(d, e));
    EXPECT_FALSE(samdraw_compare(d, nullptr));
    samdraw_copy(d, e);
    samdraw_del(&d);
    samdraw_del(&e);
    EXPECT_EQ(d, nullptr);
    samdraw_del(&d);  // only reports
}

TEST(Samdraw, OneColumnPerValueFromTheMiddleRow) {
    // Height 4, mid 2: 32767 reaches 2 + (32767 * 2 >> 15) = 3, -32768 reaches
    // 0, 16384 reaches 3, 0 stays on row 2.
    Drawing t({32767, -32768, 16384, 0}, 4, 4);
    img_clear(t.image, 0x123456);
    samdraw_draw(t.d);
    auto expected = picture({".#..",
                             ".#..",
                             "####",
                             "#.#."});
    EXPECT_TRUE(grid_equals(t.image, 4, 4, expected.data()));
}

TEST(Samdraw, ALongerSampleStepsWholeValuesPerColumn) {
    // 8 values in 4 columns: step (8 / 4) << 16, indices 0, 2, 4, 6.
    Drawing t({32767, -32768, 0, 32767, -32768, 0, 0, 0}, 4, 4);
    samdraw_draw(t.d);
    auto expected = picture({"..#.",
                             "..#.",
                             "####",
                             "#..."});
    EXPECT_TRUE(grid_equals(t.image, 4, 4, expected.data()));
}

TEST(Samdraw, FiveHundredTwelveValuesInto256ColumnsDrawEverySecondValue) {
    std::vector<int32_t> values;
    for (int i = 0; i < 512; i++) values.push_back(i % 2 ? -32768 : 32767);
    Drawing t(values, 256, 4);
    samdraw_draw(t.d);
    // Only the even (high) values are drawn: rows 2 and 3 of every column.
    for (int32_t x = 0; x < 256; x++) {
        EXPECT_EQ(img_get_pixel(t.image, x, 0), B) << x;
        EXPECT_EQ(img_get_pixel(t.image, x, 1), B) << x;
        EXPECT_EQ(img_get_pixel(t.image, x, 2), W) << x;
        EXPECT_EQ(img_get_pixel(t.image, x, 3), W) << x;
    }
}

TEST(Samdraw, AShorterSampleSpreadsEachValueOverColumns) {
    // 2 values in 4 columns: step 0x8000, so index 0 for columns 0 and 1 and
    // index 1 for columns 2 and 3.
    Drawing t({32767, -32768}, 4, 4);
    samdraw_draw(t.d);
    auto expected = picture({"..##",
                             "..##",
                             "####",
                             "##.."});
    EXPECT_TRUE(grid_equals(t.image, 4, 4, expected.data()));
}

TEST(Samdraw, TheRangeIsClampedAndOrderedWithoutChangingTheRecord) {
    Drawing t({0, 32767, -32768, 32767}, 4, 4);
    t.d->first = 3;
    t.d->last = 1;  // exchanged: indices 1, 2, 3 in columns 0, 1, 2
    samdraw_draw(t.d);
    auto expected = picture({".#..",
                             ".#..",
                             "###.",
                             "#.#."});
    EXPECT_TRUE(grid_equals(t.image, 4, 4, expected.data()));
    EXPECT_EQ(t.d->first, 3);
    EXPECT_EQ(t.d->last, 1);
    t.d->first = -5;
    t.d->last = 99;  // clamped to 0 .. 3
    samdraw_draw(t.d);
    expected = picture({"..#.",
                        "..#.",
                        "####",
                        ".#.#"});
    EXPECT_TRUE(grid_equals(t.image, 4, 4, expected.data()));
}

TEST(Samdraw, SmoothDrawsTheMeanOfEachValueAndItsNeighbours) {
    // Means: (0 + 30000 + 0) / 3 = 10000, (30000 + 0 - 30000) / 3 = 0,
    // (0 - 30000 + 3000) / 3 = -9000, (-30000 + 3000 + 0) / 3 = -9000.
    // Height 8, mid 4: 10000 * 4 >> 15 = 1, -9000 * 4 >> 15 = -2.
    Drawing t({30000, 0, -30000, 3000}, 4, 8);
    samdraw_draw_smooth(t.d);
    auto expected = picture({"....",
                             "....",
                             "..##",
                             "..##",
                             "####",
                             "#...",
                             "....",
                             "...."});
    EXPECT_TRUE(grid_equals(t.image, 4, 8, expected.data()));
}

TEST(Samdraw, PeaksMarkTheLargestAndSmallestValueWithoutClearing) {
    // argmax 1 lands in column 4 * 1 / 8 = 0, argmin 3 in column 4 * 3 / 8 = 1.
    Drawing t({0, 32767, 0, -32768, 0, 0, 0, 0}, 4, 4);
    img_clear(t.image, 0x123456);
    samdraw_draw_peaks(t.d);
    auto expected = picture({".m..",
                             ".m..",
                             "mm..",
                             "m..."},
                            0x123456);
    EXPECT_TRUE(grid_equals(t.image, 4, 4, expected.data()));
}

TEST(Samdraw, MissingPiecesAreReportedAndDrawNothing) {
    Drawing t({1, 2}, 2, 2);
    img_clear(t.image, 0x123456);
    samdraw_draw(nullptr);
    samdraw_draw_smooth(nullptr);
    samdraw_draw_peaks(nullptr);
    SAM *sam = t.d->sam;
    t.d->sam = nullptr;
    samdraw_draw(t.d);
    t.d->sam = sam;
    SAMPLE *sample = sam->sample;
    sam->sample = nullptr;
    samdraw_draw(t.d);
    samdraw_draw_peaks(t.d);
    sam->sample = sample;
    t.d->target = nullptr;
    samdraw_draw(t.d);
    t.d->target = t.image;
    auto unchanged = picture({"..", ".."}, 0x123456);
    EXPECT_TRUE(grid_equals(t.image, 2, 2, unchanged.data()));
    // An empty sample leaves only the background.
    sample_set_count(sam->sample, 0);
    samdraw_draw(t.d);
    samdraw_draw_peaks(t.d);
    auto background = picture({"..", ".."});
    EXPECT_TRUE(grid_equals(t.image, 2, 2, background.data()));
}

TEST(Samdraw, DrawsALoadedWavFile) {
    char dir[] = "/tmp/test_samdraw_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string path = std::string(dir) + "/w.wav";
    SAM *out = sam_new();
    SAMPLE *s = sample_new();
    for (int32_t v : {-32768, 32767}) sample_push(s, v);
    sam_set_sample(out, s);
    sam_set_name(out, path.c_str());
    ASSERT_TRUE(sam_save(out));
    sam_del(&out);
    Drawing t({}, 2, 4);
    sam_set_name(t.sam, path.c_str());
    ASSERT_TRUE(sam_load(t.sam));
    t.d->last = 1;
    samdraw_draw(t.d);
    auto expected = picture({"#.",
                             "#.",
                             "##",
                             ".#"});
    EXPECT_TRUE(grid_equals(t.image, 2, 4, expected.data()));
    remove(path.c_str());
    rmdir(dir);
}
