// RGB888: saturating channel arithmetic, byte packing and the span painters.
#include <gtest/gtest.h>

#include <functional>

#include "imaging/rgb888.h"
#include "tests/test_support.h"

// Each colour helper on a pair of words: channels saturate or stop at zero
// on their own (no carry or borrow), the top byte is dropped.
TEST(Rgb888, ChannelArithmetic) {
    const struct {
        uint32_t (*f)(uint32_t, uint32_t);
        uint32_t a, b, want;
    } cases[] = {
        {rgb888_add, 0x00F01020, 0x00202020, 0x00FF3040}, {rgb888_add, 0x000000FF, 0x00000001, 0x000000FF},
        {rgb888_add, 0x0000FF00, 0x0000FF00, 0x0000FF00}, {rgb888_add, 0x00FF0000, 0x00FF0000, 0x00FF0000},
        {rgb888_add, 0xFF000000, 0x01000000, 0x00000000}, {rgb888_sub, 0x00102030, 0x00202020, 0x00000010},
        {rgb888_sub, 0x00010000, 0x00000001, 0x00010000}, {rgb888_sub, 0x00FFFFFF, 0x00102030, 0x00EFDFCF},
        {rgb888_sub, 0xAB000005, 0x00000000, 0x00000005}, {rgb888_average, 0x00FF0001, 0x00010003, 0x00800002},
        {rgb888_average, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF}, {rgb888_average, 0x00010101, 0, 0},
    };
    for (auto &c : cases) EXPECT_EQ(c.f(c.a, c.b), c.want) << std::hex << c.a << " " << c.b;
    auto brighten = [](uint32_t c, int32_t g) { return rgb888_brighten(c, (uint8_t)g); };
    auto darken = [](uint32_t c, int32_t g) { return rgb888_darken(c, (uint8_t)g); };
    const struct {
        std::function<uint32_t(uint32_t, int32_t)> f;
        uint32_t a;
        int32_t level;
        uint32_t want;
    } levels[] = {
        {brighten, 0x00FE0010, 5, 0x00FF0515},       {darken, 0x000301FF, 2, 0x000100FD},
        {brighten, 0, 255, 0x00FFFFFF},              {darken, 0x00FFFFFF, 255, 0},
        {rgb888_shade, 0x00808080, -16, 0x00707070},  {rgb888_shade, 0x00808080, 16, 0x00909090},
        {rgb888_shade, 0x00808080, 0, 0x00808080},    {rgb888_shade, 0x00808080, -255, 0},
        {rgb888_shade, 0x00808080, 255, 0x00FFFFFF},  {rgb888_shade, 0x00808080, INT32_MIN, 0x00808080},
    };
    for (auto &c : levels) EXPECT_EQ(c.f(c.a, c.level), c.want) << std::hex << c.a << " " << c.level;
    EXPECT_EQ(rgb888_to_bgr(0xFF123456), 0x00563412u);
    EXPECT_EQ(rgb888_from_bgr(0x00563412), 0x00123456u);
}

TEST(Rgb888, BytesPackAndUnpack) {
    uint8_t bytes[3] = {0, 0, 0};
    EXPECT_EQ(rgb888_to_bytes(0xEEA1B2C3, bytes), bytes);
    EXPECT_EQ(bytes[0], 0xA1);
    EXPECT_EQ(bytes[1], 0xB2);
    EXPECT_EQ(bytes[2], 0xC3);
    EXPECT_EQ(rgb888_to_bytes(0x00A1B2C3, nullptr), nullptr);
    EXPECT_EQ(rgb888_from_bytes(0x01, 0x02, 0x03), 0x00010203u);
}

TEST(Rgb888, HlineClipsAndKeepsItsOrder) {
    Own<img_del> img(grid_image(4, 2));
    rgb888_hline(img, 7, 1, -3, 1);
    rgb888_hline(img, 9, 0, 5, 2);  // x0 > x1: nothing
    rgb888_hline(img, 8, 0, 3, 10);
    rgb888_hline(img, 6, 2, 0, 3);  // row outside
    rgb888_hline(img, 6, -1, 0, 3);
    EXPECT_TRUE(grid_equals(img, {0, 0, 0, 8, 7, 7, 0, 0}));
    rgb888_hline(nullptr, 1, 0, 0, 1);
}

TEST(Rgb888, VlineClipsAndKeepsItsOrder) {
    Own<img_del> img(grid_image(2, 4));
    rgb888_vline(img, 7, 1, -2, 1);
    rgb888_vline(img, 9, 0, 3, 1);  // y0 > y1: nothing
    rgb888_vline(img, 5, 0, 3, 9);
    rgb888_vline(img, 6, 2, 0, 3);  // column outside
    EXPECT_TRUE(grid_equals(img, {0, 7, 0, 7, 0, 0, 5, 0}));
    rgb888_vline(nullptr, 1, 0, 0, 1);
}

TEST(Rgb888, HlineAlphaMixesPerChannel) {
    Own<img_del> img(grid_image(4, 1, {0x00000000, 0x00204060, 0x00204060, 0x00123456}));
    rgb888_hline_alpha(img, 0x00FF0000, 0, 0, 0, 128);  // (0 * 128 + 255 * 128) / 256
    rgb888_hline_alpha(img, 0x00A0C0E0, 0, 1, 1, 64);
    rgb888_hline_alpha(img, 0x00A0C0E0, 0, 2, 2, 256);
    rgb888_hline_alpha(img, 0x00A0C0E0, 0, 3, 9, 0);
    EXPECT_TRUE(grid_equals(img, {0x007F0000, 0x00406080, 0x00A0C0E0, 0x00123456}));
    rgb888_hline_alpha(img, 0x00A0C0E0, 0, 3, 1, 256);  // reversed ends: nothing
    EXPECT_EQ(img->pixels[3], 0x00123456u);
}

TEST(Rgb888, HlineAlphaHoldsTheWeightToItsRange) {
    Own<img_del> img(grid_image(2, 1, {0x00102030, 0x00102030}));
    rgb888_hline_alpha(img, 0x00FFFFFF, 0, 0, 0, 300);  // as 256
    rgb888_hline_alpha(img, 0x00FFFFFF, 0, 1, 1, -5);   // as 0
    EXPECT_TRUE(grid_equals(img, {0x00FFFFFF, 0x00102030}));
}
