// RASTER: a colour table painted row by row (or column by column) from a
// 16.16 position that steps and wraps; steps, draws and smoothing as tables.
#include <gtest/gtest.h>

#include <cstdio>

#include "effects/raster.h"
#include "host/random.h"
#include "tests/test_support.h"

namespace {

const uint32_t A = 0x0000AA, B = 0x00BB00, C = 0xCC0000, D = 0xDDDDDD;

RASTER *table(std::vector<uint32_t> colours) {
    RASTER *r = raster_new();
    raster_set_size(r, (int32_t)colours.size());
    for (size_t i = 0; i < colours.size(); i++) r->colours[i] = colours[i];
    return r;
}

}  // namespace

TEST(Raster, NewDrawsItsSpeedOnceAndSetSizeKeepsIt) {
    random_srand(0);  // the first draw of seed 0 is 2531011 >> 16 = 38
    Own<raster_del> r(raster_new());
    EXPECT_EQ(r->speed, 65536 + 38);
    EXPECT_EQ(random_rand(), 7719);  // the second draw: only one was used
    EXPECT_EQ(r->count, 256);
    r->position = 0x18000;
    raster_set_size(r, 3);
    EXPECT_EQ(std::make_pair(r->count, r->position), std::make_pair(3, 0));
    EXPECT_EQ(r->speed, 65536 + 38);
    for (int32_t n : {0, -3, 32768}) raster_set_size(r, n);  // 32768 would put the limit past 2^31
    EXPECT_EQ(r->count, 3);
    raster_set_size(r, 32767);
    EXPECT_EQ(r->count, 32767);
}

TEST(Raster, StepWrapsIntoTheTable) {
    // count, position, speed -> position.
    const int32_t cases[][4] = {
        {4, 0, 0x18000, 0x18000},       {4, 0x30000, 0x18000, 0x8000},  {4, 0, -0x18000, 163840},
        {4, 163840, -0x18000, 65536},   {4, 0, -0x40000, 0x40000},      // a whole table back lands on the limit
        {1536, 767 * 0x20000, 0x20000, 0}, {4, 0x3FFFF, 1, 0},
        {32767, 2147418111, 0x7FFFFFFF, 65534},  // no overflow near the top
    };
    for (const auto &c : cases) {
        Own<raster_del> r(raster_new());
        raster_set_size(r, c[0]);
        r->position = c[1];
        r->speed = c[2];
        raster_step(r);
        EXPECT_EQ(r->position, c[3]) << c[0] << " " << c[1] << " " << c[2];
    }
}

TEST(Raster, DrawsPaintWholeRowsOrColumnsFromThePosition) {
    struct Case { int32_t position; int32_t w, h; bool columns; std::vector<uint32_t> want; } cases[] = {
        {0x18000, 2, 5, false, {B, B, C, C, D, D, A, A, B, B}},  // position 1.5: B, C, D, A, B
        {0x30000, 5, 2, true, {D, A, B, C, D, D, A, B, C, D}},
        {-0x10000, 1, 3, false, {D, A, B}},  // written below 0 by a caller: entry -1 is D
        {0x40000, 1, 2, false, {A, B}},
    };
    for (const Case &c : cases) {
        Own<raster_del> r(table({A, B, C, D}));
        r->position = c.position;
        Own<img_del> img(grid_filled(c.w, c.h, 0x123456));
        (c.columns ? raster_draw_columns : raster_draw_rows)(r, img);
        EXPECT_TRUE(grid_equals(img, c.want)) << c.position;
    }
    Own<raster_del> r(table({0x0000FF, 0xFF0000}));
    Own<img_del> img(grid_image(2, 3));
    raster_draw_rows_alpha(r, img, 128);  // (0 * 128 + 0xFF * 128) / 256 = 0x7F
    EXPECT_TRUE(grid_equals(img, {0x7F, 0x7F, 0x7F0000, 0x7F0000, 0x7F, 0x7F}));
}

TEST(Raster, SmoothIsABoxBlurWithTheCentreTwice) {
    struct Case { std::vector<uint32_t> in; int32_t radius; std::vector<uint32_t> want; } cases[] = {
        {{0, 0x000300, 0}, 1, {0x000100, 0x000100, 0}},  // index 2 wraps to 0 and reflects to 1
        {{0x804020, 0x0008FF}, 1, {0x40248F, 0x40248F}},  // each channel apart
        {{0xFFFFFF, 0, 0, 0, 0}, 2, {0x555555, 0x2A2A2A, 0x2A2A2A, 0x2A2A2A, 0x2A2A2A}},  // 2 reflects to 0
    };
    for (const Case &c : cases) {
        Own<raster_del> r(table(c.in));
        raster_smooth(r, c.radius);
        EXPECT_EQ(std::vector<uint32_t>(r->colours, r->colours + r->count), c.want);
        for (int32_t bad : {0, -2}) raster_smooth(r, bad);
        EXPECT_EQ(std::vector<uint32_t>(r->colours, r->colours + r->count), c.want);
    }
}

TEST(Raster, CompareCopyDupAndClear) {
    Own<raster_del> r(table({A, B, C, D}));
    r->position = 0x10000;
    r->speed = 77;
    Own<raster_del> d(raster_dup(r));
    EXPECT_TRUE(raster_compare(r, d));
    EXPECT_EQ(std::make_pair(d->position, d->speed), std::make_pair(0x10000, 77));
    d->colours[2] = 0;
    d->position = 0;  // position and speed are not content
    EXPECT_FALSE(raster_compare(r, d));
    raster_copy(r, d);
    EXPECT_TRUE(raster_compare(r, d));
    Own<raster_del> other(raster_new());
    other->speed = 5;
    raster_copy(r, other);  // counts differ: nothing copied
    EXPECT_EQ(other->speed, 5);
    raster_clear(r);
    EXPECT_EQ(std::vector<uint32_t>(r->colours, r->colours + 4), std::vector<uint32_t>(4, 0));
}

TEST(Raster, LoadAndSaveMoveNoData) {
    TempDir dir("raster");
    std::string name = dir.file("table");
    write_file(name, "abc");
    Own<raster_del> r(raster_load(name.c_str()));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->count, 256);
    EXPECT_TRUE(raster_save(r, name.c_str()));
    EXPECT_EQ(read_file(name), "");  // opened for writing: emptied, nothing written
    std::remove(name.c_str());
    EXPECT_EQ(raster_load(name.c_str()), nullptr);
    EXPECT_FALSE(raster_save(r, nullptr));
}

TEST(Raster, BadArgumentsChangeNothing) {
    Own<raster_del> r(table({A, B}));
    IMG bare = {0, 0, 2, 2, nullptr};
    raster_draw_rows(r, &bare);
    raster_draw_columns(r, &bare);
    raster_draw_rows_alpha(r, &bare, 10);
    Own<img_del> img(grid_filled(1, 1, 0x55));
    RASTER empty = {0, 0x10000, 0, nullptr};
    raster_step(&empty);
    raster_draw_rows(&empty, img);
    raster_smooth(&empty, 1);
    EXPECT_EQ(empty.position, 0);
    EXPECT_EQ(img->pixels[0], 0x55u);
}
