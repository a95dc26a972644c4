// IMG alone: the operations on every pixel (channel saturation, whole-word
// matches) and the reader quirks of the 32-bit kind. What IMG shares with
// BYTEMAP is in test_raster_shared.cpp.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "imaging/img.h"
#include "tests/test_support.h"

// Each operation on four pixels, hand-worked per channel.
TEST(ImgWhole, EveryPixelOperation) {
    const struct {
        const char *name;
        std::function<void(IMG *)> op;
        uint32_t in[4], out[4];
    } cases[] = {
        {"add", [](IMG *m) { img_add_colour(m, 0x00102030); },
         {0x00F0F0F0, 0x00000000, 0xFF0000FF, 0x00FE01FF}, {0x00FFFFFF, 0x00102030, 0x001020FF, 0x00FF21FF}},
        {"sub", [](IMG *m) { img_sub_colour(m, 0x00102030); },
         {0x00080808, 0x00FFFFFF, 0xFF102030, 0x00200010}, {0x00000000, 0x00EFDFCF, 0x00000000, 0x00100000}},
        {"scale 3/2", [](IMG *m) { img_scale_colour(m, 3, 2); },
         {0x00804020, 0x00010203, 0xFF0A0B0C, 0x00FFFFFF}, {0x00C06030, 0x00010304, 0x000F1012, 0x00FFFFFF}},
        {"scale max", [](IMG *m) { img_scale_colour(m, INT32_MAX, 1); },
         {0x00102030, 0x00000001, 0, 0xFF000000}, {0x00FFFFFF, 0x000000FF, 0, 0}},
        {"scale 0", [](IMG *m) { img_scale_colour(m, 0, 5); }, {0x00102030, 1, 2, 3}, {0, 0, 0, 0}},
        {"scale refused", [](IMG *m) { img_scale_colour(m, 1, 0), img_scale_colour(m, 1, -2), img_scale_colour(m, -1, 2); },
         {0x00102030, 1, 2, 3}, {0x00102030, 1, 2, 3}},
        {"invert", [](IMG *m) { img_invert(m); },
         {0x00123456, 0xFF000000, 0, 0x80FFFFFF}, {0x00EDCBA9, 0x00FFFFFF, 0x00FFFFFF, 0}},
        {"replace", [](IMG *m) { img_replace_colour(m, 0x00CCCCCC, 0xA5747474); },
         {0x00CCCCCC, 0x01CCCCCC, 0x00CCCCCD, 0x00CCCCCC}, {0xA5747474, 0x01CCCCCC, 0x00CCCCCD, 0xA5747474}},
        {"clear", [](IMG *m) { img_clear(m, 0xFF00FF00); }, {1, 2, 3, 4}, {0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00}},
    };
    for (auto &c : cases) {
        Own<img_del> image(grid_image(2, 2, c.in));
        c.op(image);
        EXPECT_TRUE(grid_equals(image, 2, 2, c.out)) << c.name;
        c.op(nullptr);  // reported only
    }
}

TEST(ImgWhole, AndRefusesAMaskOfAnotherSize) {
    Own<img_del> mask(grid_filled(4, 4, 0)), target(grid_filled(2, 2, 0x00FFFFFF));
    img_and(mask, target);  // would walk past the smaller target
    EXPECT_TRUE(grid_equals(target, std::vector<uint32_t>(4, 0x00FFFFFF)));
}

// The 32-bit reader stores what it reads: sizes without skipping blanks,
// values unmasked, the maxval never applied, "P1" in memory a digit a pixel.
TEST(ImgRead, ValuesAreTakenAsTheyStand) {
    Own<img_del> blank(img_from_text("IMG{\nP3\n 2 1\n255\n"));
    ASSERT_NE(blank.get(), nullptr);
    EXPECT_EQ(blank->width, 0);  // the blank ends an empty width run
    EXPECT_EQ(blank->height, 2);
    Own<img_del> wide(img_from_text("IMG{\nP3\n1 1\n255\n256 0 1\n}\n"));
    EXPECT_TRUE(grid_equals(wide, std::vector<uint32_t>{0x01000001}));
    std::string grey = "P2\n2 1\n15\n15 300\n", bits = "P1\n3 1\n10 0 1\n";
    Own<img_del> g(img_from_pnm(grey.data(), grey.size())), b(img_from_pnm(bits.data(), bits.size()));
    EXPECT_TRUE(grid_equals(g, std::vector<uint32_t>{0x000F0F0F, 300u * 0x10101u}));
    EXPECT_TRUE(grid_equals(b, std::vector<uint32_t>{0x00FFFFFF, 0, 0}));
}
