// RASTER: a colour table painted row by row (or column by column) from a
// 16.16 position that steps and wraps. Bad arguments leave everything alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "effects/raster.h"
#include "host/random.h"
#include "imaging/img.h"
#include "tests/test_support.h"

static const uint32_t A = 0x0000AA, B = 0x00BB00, C = 0xCC0000, D = 0xDDDDDD;

// A raster of the four colours A, B, C, D.
static RASTER *abcd(void) {
    RASTER *r = raster_new();
    raster_set_size(r, 4);
    r->colours[0] = A;
    r->colours[1] = B;
    r->colours[2] = C;
    r->colours[3] = D;
    return r;
}

TEST(Raster, NewHas256BlackColoursAndDrawsOnce) {
    random_srand(0);
    int32_t first = random_rand();
    int32_t second = random_rand();
    random_srand(0);
    RASTER *r = raster_new();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->count, 256);
    EXPECT_EQ(r->position, 0);
    // rand() stays below 1048575, so the speed is 1.0 plus rand / 65536.
    EXPECT_EQ(r->speed, first + 65536);
    EXPECT_EQ(random_rand(), second);
    for (int32_t i = 0; i < 256; i++) EXPECT_EQ(r->colours[i], 0u);
    raster_del(&r);
    EXPECT_EQ(r, nullptr);
}

TEST(Raster, SpeedFromSeedZero) {
    // State 0 * 214013 + 2531011 = 2531011; 2531011 >> 16 = 38.
    random_srand(0);
    RASTER *r = raster_new();
    EXPECT_EQ(r->speed, 65536 + 38);
    raster_del(&r);
}

TEST(Raster, SetSizeResetsPositionKeepsSpeed) {
    RASTER *r = abcd();
    r->position = 0x18000;
    r->speed = 1234;
    raster_set_size(r, 3);
    EXPECT_EQ(r->count, 3);
    EXPECT_EQ(r->position, 0);
    EXPECT_EQ(r->speed, 1234);
    EXPECT_EQ(r->colours[0], 0u);
    raster_del(&r);
}

TEST(Raster, SetSizeRejectsBadSizes) {
    RASTER *r = abcd();
    r->position = 5;
    raster_set_size(r, 0);
    raster_set_size(r, -3);
    // 32768 colours would put the wrap limit count * 65536 past 2^31.
    raster_set_size(r, 32768);
    EXPECT_EQ(r->count, 4);
    EXPECT_EQ(r->position, 5);
    EXPECT_EQ(r->colours[3], D);
    raster_set_size(r, 32767);
    EXPECT_EQ(r->count, 32767);
    raster_del(&r);
}

TEST(Raster, DrawRowsFromHalfwayPosition) {
    // Position 1.5 entries: rows take B, C, D, A, B.
    RASTER *r = abcd();
    r->position = 0x18000;
    IMG *img = grid_filled(2, 5, 0x123456);
    raster_draw_rows(r, img);
    const uint32_t expected[10] = {B, B, C, C, D, D, A, A, B, B};
    EXPECT_TRUE(grid_equals(img, expected));
    img_del(&img);
    raster_del(&r);
}

TEST(Raster, DrawColumns) {
    RASTER *r = abcd();
    r->position = 0x30000;  // entry 3
    IMG *img = grid_image(5, 2);
    raster_draw_columns(r, img);
    const uint32_t expected[10] = {D, A, B, C, D,
                                   D, A, B, C, D};
    EXPECT_TRUE(grid_equals(img, expected));
    img_del(&img);
    raster_del(&r);
}

TEST(Raster, DrawRowsAlphaMixes) {
    // (0 * 128 + 0xFF * 128) / 256 = 0x7F per painted channel.
    RASTER *r = raster_new();
    raster_set_size(r, 2);
    r->colours[0] = 0x0000FF;
    r->colours[1] = 0xFF0000;
    IMG *img = grid_image(2, 3);
    raster_draw_rows_alpha(r, img, 128);
    const uint32_t expected[6] = {0x00007F, 0x00007F, 0x7F0000, 0x7F0000, 0x00007F, 0x00007F};
    EXPECT_TRUE(grid_equals(img, expected));
    img_del(&img);
    raster_del(&r);
}

TEST(Raster, NegativePositionStillReadsTheTable) {
    // A position written by a caller below 0: entry -1 wraps to D.
    RASTER *r = abcd();
    r->position = -0x10000;
    IMG *img = grid_image(1, 3);
    raster_draw_rows(r, img);
    const uint32_t expected[3] = {D, A, B};
    EXPECT_TRUE(grid_equals(img, expected));
    img_del(&img);
    raster_del(&r);
}

TEST(Raster, StepTwoEntriesRepeatsAfter768Steps) {
    RASTER *r = raster_new();
    raster_set_size(r, 1536);
    for (int32_t i = 0; i < 1536; i++) r->colours[i] = (uint32_t)i;
    r->speed = 0x20000;
    raster_step(r);
    EXPECT_EQ(r->position, 0x20000);
    IMG *img = grid_image(1, 2);
    raster_draw_rows(r, img);
    EXPECT_EQ(img->pixels[0], 2u);  // the bands moved up by two rows
    EXPECT_EQ(img->pixels[1], 3u);
    for (int32_t i = 1; i < 767; i++) raster_step(r);
    EXPECT_EQ(r->position, 767 * 0x20000);
    raster_step(r);
    EXPECT_EQ(r->position, 0);
    img_del(&img);
    raster_del(&r);
}

TEST(Raster, NegativeSpeedWrapsBackward) {
    // lim = 4 * 65536 = 262144. 0 - 98304 -> -98304 % 262144 + 262144 = 163840.
    RASTER *r = abcd();
    r->speed = -0x18000;
    raster_step(r);
    EXPECT_EQ(r->position, 163840);
    raster_step(r);
    EXPECT_EQ(r->position, 65536);
    raster_step(r);
    EXPECT_EQ(r->position, 229376);
    raster_del(&r);
}

TEST(Raster, NegativeStepOfAWholeTableLandsOnTheLimit) {
    // -262144 % 262144 is 0, plus lim: the position may equal lim, which
    // draws from entry 4 mod 4 = A.
    RASTER *r = abcd();
    r->speed = -0x40000;
    raster_step(r);
    EXPECT_EQ(r->position, 0x40000);
    IMG *img = grid_image(1, 2);
    raster_draw_rows(r, img);
    const uint32_t expected[2] = {A, B};
    EXPECT_TRUE(grid_equals(img, expected));
    img_del(&img);
    raster_del(&r);
}

TEST(Raster, StepNearTheTopDoesNotOverflow) {
    // lim = 32767 * 65536 = 2147418112; (lim - 1) + (2^31 - 1) = 4294901758,
    // which is lim * 2 + 65534.
    RASTER *r = raster_new();
    raster_set_size(r, 32767);
    r->position = 2147418111;
    r->speed = 0x7FFFFFFF;
    raster_step(r);
    EXPECT_EQ(r->position, 65534);
    raster_del(&r);
}

TEST(Raster, SmoothRadiusOne) {
    // Index 0: (0 + 3 + 3) / 4 = 1; index 1: (6 + 0 + 0) / 4 = 1;
    // index 2: wraps to 0, reflects to 1: (0 + 0 + 3) / 4 = 0 (green).
    RASTER *r = raster_new();
    raster_set_size(r, 3);
    r->colours[1] = 0x000300;
    raster_smooth(r, 1);
    EXPECT_EQ(r->colours[0], 0x000100u);
    EXPECT_EQ(r->colours[1], 0x000100u);
    EXPECT_EQ(r->colours[2], 0x000000u);
    raster_del(&r);
}

TEST(Raster, SmoothEachChannelApart) {
    // Two entries, radius 1: index 0 sums 2 * c0 + c1 + c1; index 1 sums
    // 2 * c1 + c0 (wrapped) + c0 (reflected); d = 4.
    // c0 = 0x804020, c1 = 0x0008FF: index 0 red (256 + 0) / 4 = 64, green
    // (128 + 16) / 4 = 36, blue (64 + 510) / 4 = 143; index 1 red 256 / 4 = 64,
    // green (16 + 128) / 4 = 36, blue (510 + 64) / 4 = 143.
    RASTER *r = raster_new();
    raster_set_size(r, 2);
    r->colours[0] = 0x804020;
    r->colours[1] = 0x0008FF;
    raster_smooth(r, 1);
    EXPECT_EQ(r->colours[0], 0x40248Fu);
    EXPECT_EQ(r->colours[1], 0x40248Fu);
    raster_del(&r);
}

TEST(Raster, SmoothRejectsRadiusBelowOne) {
    RASTER *r = abcd();
    raster_smooth(r, 0);
    raster_smooth(r, -2);
    EXPECT_EQ(r->colours[0], A);
    EXPECT_EQ(r->colours[3], D);
    raster_del(&r);
}

TEST(Raster, CompareCopyDup) {
    RASTER *r = abcd();
    r->position = 0x10000;
    r->speed = 77;
    RASTER *d = raster_dup(r);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(raster_compare(r, d));
    EXPECT_EQ(d->position, 0x10000);
    EXPECT_EQ(d->speed, 77);
    d->colours[2] = 0;
    EXPECT_FALSE(raster_compare(r, d));
    d->position = 0;  // position and speed are not content
    raster_copy(r, d);
    EXPECT_TRUE(raster_compare(r, d));
    RASTER *other = raster_new();
    other->speed = 5;
    raster_copy(r, other);  // counts differ: nothing copied
    EXPECT_EQ(other->speed, 5);
    EXPECT_FALSE(raster_compare(r, other));
    raster_del(&r);
    raster_del(&d);
    raster_del(&other);
}

TEST(Raster, Clear) {
    RASTER *r = abcd();
    raster_clear(r);
    for (int32_t i = 0; i < 4; i++) EXPECT_EQ(r->colours[i], 0u);
    raster_del(&r);
}

TEST(Raster, LoadAndSaveMoveNoData) {
    char name[] = "/tmp/raster_test_XXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "abc", 3), 3);
    close(fd);
    RASTER *r = raster_load(name);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->count, 256);
    EXPECT_EQ(r->colours[0], 0u);
    EXPECT_TRUE(raster_save(r, name));
    FILE *f = fopen(name, "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(fgetc(f), EOF);  // opened for writing: emptied, nothing written
    fclose(f);
    remove(name);
    EXPECT_EQ(raster_load(name), nullptr);
    EXPECT_EQ(raster_load(nullptr), nullptr);
    EXPECT_FALSE(raster_save(r, nullptr));
    EXPECT_FALSE(raster_save(nullptr, name));
    raster_del(&r);
}

TEST(Raster, BadArgumentsChangeNothing) {
    RASTER *r = abcd();
    IMG bare = {0, 0, 2, 2, nullptr};
    raster_draw_rows(r, &bare);
    raster_draw_columns(r, nullptr);
    raster_draw_rows_alpha(r, nullptr, 10);
    IMG *img = grid_filled(1, 1, 0x55);
    raster_draw_rows(nullptr, img);
    EXPECT_EQ(img->pixels[0], 0x55u);
    RASTER empty = {0, 0, 0, nullptr};
    raster_step(&empty);
    raster_draw_rows(&empty, img);
    raster_smooth(&empty, 1);
    raster_clear(nullptr);
    raster_step(nullptr);
    EXPECT_EQ(img->pixels[0], 0x55u);
    EXPECT_EQ(raster_dup(nullptr), nullptr);
    EXPECT_FALSE(raster_compare(r, nullptr));
    RASTER *none = nullptr;
    raster_del(&none);
    raster_del(nullptr);
    img_del(&img);
    raster_del(&r);
}
