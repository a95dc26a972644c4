// The colour helpers, the flood fill and the flash record: RGB888's
// saturating channel arithmetic, byte packing and span painters; FILL growing
// one ring per step from a plain colour or a repeating pattern, and its
// centred run splits; FLASHPIX, a record without behaviour.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>

#include "imaging/fill.h"
#include "imaging/flashpix.h"
#include "imaging/rgb888.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"
#include "vector/array.h"

// ---- RGB888 ----------------------------------------------------------------------------

// Each colour helper on a pair of words: channels saturate or stop at zero
// on their own (no carry or borrow), the top byte is dropped.
TEST(Rgb888, ChannelArithmeticAndBytes) {
    const struct {
        std::function<uint32_t(uint32_t, int64_t)> f;
        uint32_t a;
        int64_t b;
        uint32_t want;
    } cases[] = {
        {rgb888_add, 0x00F01020, 0x00202020, 0x00FF3040}, {rgb888_add, 0x000000FF, 0x00000001, 0x000000FF}, {rgb888_add, 0x0000FF00, 0x0000FF00, 0x0000FF00},
        {rgb888_add, 0x00FF0000, 0x00FF0000, 0x00FF0000}, {rgb888_add, 0xFF000000, 0x01000000, 0x00000000}, {rgb888_sub, 0x00102030, 0x00202020, 0x00000010},
        {rgb888_sub, 0x00010000, 0x00000001, 0x00010000}, {rgb888_sub, 0x00FFFFFF, 0x00102030, 0x00EFDFCF}, {rgb888_sub, 0xAB000005, 0x00000000, 0x00000005},
        {rgb888_average, 0x00FF0001, 0x00010003, 0x00800002}, {rgb888_average, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF}, {rgb888_average, 0x00010101, 0, 0},
        {rgb888_brighten, 0x00FE0010, 5, 0x00FF0515}, {rgb888_darken, 0x000301FF, 2, 0x000100FD}, {rgb888_brighten, 0, 255, 0x00FFFFFF},
        {rgb888_darken, 0x00FFFFFF, 255, 0}, {rgb888_shade, 0x00808080, -16, 0x00707070}, {rgb888_shade, 0x00808080, 16, 0x00909090},
        {rgb888_shade, 0x00808080, 0, 0x00808080}, {rgb888_shade, 0x00808080, -255, 0}, {rgb888_shade, 0x00808080, 255, 0x00FFFFFF},
        {rgb888_shade, 0x00808080, INT32_MIN, 0x00808080},
        {[](uint32_t c, int64_t) { return rgb888_to_bgr(c); }, 0xFF123456, 0, 0x00563412},
        {[](uint32_t c, int64_t) { return rgb888_from_bgr(c); }, 0x00563412, 0, 0x00123456},
        {[](uint32_t, int64_t) { return rgb888_from_bytes(0x01, 0x02, 0x03); }, 0, 0, 0x00010203},
    };
    for (auto &c : cases) EXPECT_EQ(c.f(c.a, c.b), c.want) << std::hex << c.a << " " << c.b;
    uint8_t bytes[3] = {0, 0, 0};
    EXPECT_EQ(rgb888_to_bytes(0xEEA1B2C3, bytes), bytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 3), (std::vector<uint8_t>{0xA1, 0xB2, 0xC3}));
    EXPECT_EQ(rgb888_to_bytes(0x00A1B2C3, nullptr), nullptr);
}

// The span painters: ends in either order clip to the image (a reversed
// pair paints nothing), alpha mixes each channel by weight / 256 with the
// weight held to 0..256.
TEST(Rgb888, SpansAsPictures) {
    expect_image_cases({
        {"hline", 4, 2, {}, [](IMG *m) {
             rgb888_hline(m, 7, 1, -3, 1), rgb888_hline(m, 9, 0, 5, 2), rgb888_hline(m, 8, 0, 3, 10);
             rgb888_hline(m, 6, 2, 0, 3), rgb888_hline(m, 6, -1, 0, 3), rgb888_hline(nullptr, 1, 0, 0, 1); }, {0, 0, 0, 8, 7, 7, 0, 0}},
        {"vline", 2, 4, {}, [](IMG *m) {
             rgb888_vline(m, 7, 1, -2, 1), rgb888_vline(m, 9, 0, 3, 1), rgb888_vline(m, 5, 0, 3, 9);
             rgb888_vline(m, 6, 2, 0, 3), rgb888_vline(nullptr, 1, 0, 0, 1); }, {0, 7, 0, 7, 0, 0, 5, 0}},
        {"hline alpha", 4, 1, {0, 0x00204060, 0x00204060, 0x00123456}, [](IMG *m) {
             rgb888_hline_alpha(m, 0x00FF0000, 0, 0, 0, 128);  // (0 * 128 + 255 * 128) / 256
             rgb888_hline_alpha(m, 0x00A0C0E0, 0, 1, 1, 64), rgb888_hline_alpha(m, 0x00A0C0E0, 0, 2, 2, 256);
             rgb888_hline_alpha(m, 0x00A0C0E0, 0, 3, 9, 0), rgb888_hline_alpha(m, 0x00A0C0E0, 0, 3, 1, 256); }, {0x007F0000, 0x00406080, 0x00A0C0E0, 0x00123456}},
        {"alpha held to its range", 3, 1, {0x00102030, 0x00102030, 0x00102030}, [](IMG *m) {
             rgb888_hline_alpha(m, 0x00FFFFFF, 0, 0, 0, 300), rgb888_hline_alpha(m, 0x00FFFFFF, 0, 1, 1, -5);
             rgb888_hline_alpha(m, 0x00FFFFFF, 0, 2, 2, 256); }, {0x00FFFFFF, 0x00102030, 0x00FFFFFF}},
    });
}

// ---- FILL ------------------------------------------------------------------------------

static const uint32_t B = 0x000000FF, A = 0x0000FF00, F = 0x00FF0000;  // border, region, paint

// A picture of B, A and F cells, rows separated by '|'.
static std::vector<uint32_t> pic(const char *rows) { return picture(rows, "BAF", {B, A, F}); }

// A 3 x 3 block of A inside a one-pixel border of B, filled from its centre.
TEST(Fill, GrowsOneRingPerStep) {
    Own<img_del> img(grid_image(5, 5, pic("BBBBB|BAAAB|BAAAB|BAAAB|BBBBB")));
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill_start(fill, 2, 2, F);
    EXPECT_EQ(fill->target_colour, A);
    EXPECT_EQ(fill->state, 'f');
    EXPECT_EQ(fill_step(fill), 4);
    EXPECT_TRUE(grid_equals(img, pic("BBBBB|BAAAB|BAFAB|BAAAB|BBBBB")));
    EXPECT_TRUE(fill->left == 0 && fill->top == 0 && fill->right == 5 && fill->bottom == 5);
    EXPECT_EQ(fill_step(fill), 8);  // each corner queued twice
    EXPECT_TRUE(grid_equals(img, pic("BBBBB|BAFAB|BFFFB|BAFAB|BBBBB")));
    // The ring walked (2,1), (1,2), (2,3), (3,2), each queueing right, below,
    // left, above: their new neighbours in order.
    std::vector<std::array<int32_t, 2>> queued(fill->front->count);
    for (size_t i = 0; i < queued.size(); i++) array_get(fill->front, queued[i].data(), (int32_t)i);
    EXPECT_EQ(queued, (std::vector<std::array<int32_t, 2>>{{3, 1}, {1, 1}, {1, 3}, {1, 1}, {3, 3}, {1, 3}, {3, 3}, {3, 1}}));
    EXPECT_EQ(fill_step(fill), 0);
    EXPECT_TRUE(grid_equals(img, pic("BBBBB|BFFFB|BFFFB|BFFFB|BBBBB")));
    EXPECT_EQ(fill_step(fill), 0);  // both fronts empty
    // Outside pixels read as 0 like a black target, but lie outside the region.
    Own<img_del> black(grid_image(2, 1));
    fill->image = black;
    fill_start(fill, 0, 0, 0x00123456);
    EXPECT_EQ(fill->target_colour, 0u);
    EXPECT_EQ(fill_step(fill), 1);
    EXPECT_EQ(fill_step(fill), 0);
    EXPECT_TRUE(grid_equals(black, {0x00123456, 0x00123456}));
}

// The pattern pixel at (x + pattern_x, y + pattern_y), wrapped both ways,
// is painted and kept as the fill colour.
TEST(Fill, PatternRepeatsAcrossTheImage) {
    Own<img_del> pattern(grid_image(2, 2, {1, 2, 3, 4})), img(grid_image(2, 2));
    Own<fill_del> fill(fill_new());
    fill->image = img;
    fill->pattern = pattern;
    fill->pattern_y = 1;
    fill_start(fill, 0, 0, 0);
    for (auto [count, colour] : {std::pair{2, 3u}, {2, 4u}, {0, 2u}}) {  // (1, 0) painted last, from pattern (1, 1)
        EXPECT_EQ(fill_step_pattern(fill), count);
        EXPECT_EQ(fill->fill_colour, colour);
    }
    EXPECT_TRUE(grid_equals(img, {3, 4, 1, 2}));
    Own<img_del> row(grid_image(2, 1, {5, 6}));
    for (int32_t offset : {1, -1, 3, INT32_MIN + 1}) {
        Own<img_del> line(grid_image(3, 1));
        Own<fill_del> f(fill_new());
        f->image = line, f->pattern = row, f->pattern_x = offset;
        fill_start(f, 0, 0, 0);
        for (int step = 0; step < 3; step++) fill_step_pattern(f);
        EXPECT_TRUE(grid_equals(line, {6, 5, 6})) << "offset " << offset;
    }
}

// What a step does without a start, an image or a pattern with pixels, after
// a reset and after a restart; copies of an empty fill.
TEST(Fill, RefusalsResetsAndRestarts) {
    Own<img_del> img(grid_image(3, 1, {1, 1, 2})), empty(grid_image(0, 3));
    Own<fill_del> fill(fill_new()), bare(fill_new());
    fill_start(bare, 0, 0, 1);  // no image
    EXPECT_EQ(bare->front, nullptr);
    EXPECT_EQ(fill_step(bare), 0);
    fill->image = img;
    EXPECT_EQ(fill_step(fill) + fill_step_pattern(fill), 0);  // not started
    fill_start(fill, 0, 0, 5);
    EXPECT_EQ(fill_step_pattern(fill), 0);  // no pattern
    fill->pattern = empty;
    EXPECT_EQ(fill_step_pattern(fill), 0);  // nothing to repeat
    EXPECT_TRUE(grid_equals(img, {1, 1, 2}));
    EXPECT_EQ(fill_step(fill), 1);  // the plain step still works
    fill_start(fill, 2, 0, 6);      // the old front (1, 0) is dropped
    EXPECT_EQ(fill->front->count, 1);
    EXPECT_EQ(fill_step(fill), 0);
    fill_start(fill, 1, 0, 7);
    fill_reset(fill);
    EXPECT_EQ(fill->front->count + fill->next_front->count, 0);
    EXPECT_EQ(fill_step(fill), 0);
    EXPECT_TRUE(grid_equals(img, {5, 1, 6}));
    EXPECT_EQ(fill_to_text(bare), nullptr);  // no text, nothing to compare or copy
    EXPECT_EQ(fill_compare(bare, bare), 0);
    Own<fill_del> dup(fill_dup(bare));
    fill_copy(bare, dup);
    EXPECT_TRUE(dup && !fill_dup(nullptr));
    fill_del(bare.address());  // second delete only reports
    fill_step(nullptr), fill_start(nullptr, 0, 0, 1), fill_reset(nullptr);
}

// The splits of FILL start their error at half the larger length, which
// centres the runs; the mirrored one fills from both ends.
TEST(Fill, RunLengthsStartAtHalfTheError) {
    const struct {
        bool mirrored;
        int32_t a, b;
        std::vector<int32_t> runs;
    } cases[] = {
        {false, 5, 3, {1, 2, 1, 2}}, {false, 4, 2, {1, 2, 2}}, {false, -2, 4, {1, 2, 2}}, {false, 3, 3, {1, 1, 1, 1}}, {false, 0, 0, {1}},
        {false, 1, 0, {2}},          {false, 0, -1, {2}},      {true, 5, 3, {1, 2, 1}},   {true, 6, 2, {2, 2}},        {true, 7, -3, {1, 3, 1}},
    };
    for (auto &c : cases) {
        int32_t *r = c.mirrored ? fill_run_lengths_mirrored(c.a, c.b) : fill_run_lengths(c.a, c.b);
        EXPECT_EQ(std::vector<int32_t>(r, r + c.runs.size()), c.runs) << c.a << ", " << c.b;
        free(r);
    }
    int32_t *none = fill_run_lengths_mirrored(4, 0);
    EXPECT_NE(none, nullptr);
    free(none);
}

// ---- FLASHPIX --------------------------------------------------------------------------

// A new record is zeroed; it has no text and no content to compare or copy,
// and its update and draw change nothing.
TEST(Flashpix, RecordWithoutBehaviour) {
    Own<flashpix_del> a(flashpix_new());
    ASSERT_NE(a.get(), nullptr);
    EXPECT_EQ(std::vector<uint32_t>(std::begin(a->words), std::end(a->words)), std::vector<uint32_t>(std::size(a->words), 0));
    a->words[3] = 5;
    Own<flashpix_del> d(flashpix_dup(a));
    flashpix_copy(a, d), flashpix_update(a), flashpix_draw(a), flashpix_update(nullptr), flashpix_draw(nullptr), flashpix_copy(nullptr, d);
    EXPECT_EQ(a->words[3] * 100 + d->words[3], 500u);
    EXPECT_EQ(flashpix_to_text(a), nullptr);
    EXPECT_EQ(flashpix_dup(nullptr), nullptr);
    EXPECT_EQ(flashpix_compare(a, a) + flashpix_compare(nullptr, a), 0);
    flashpix_del(d.address());
    flashpix_del(d.address());  // reported only
    EXPECT_EQ(d.get(), nullptr);
}
