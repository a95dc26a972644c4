// IMGFX mosaics, sprinkles and scrolls: block pixelation (corner, average,
// centred and random picks), sprite sprinkling, row and whole-image scrolls
// and smears, and the wrap-round scroll. Each operation is a table line.
#include <gtest/gtest.h>

#include <climits>

#include "host/random.h"
#include "imaging/imgfx.h"
#include "tests/test_support.h"

namespace {

uint32_t v3(uint32_t v) { return v * 0x010203u; }
const std::vector<uint32_t> nine = {v3(1), v3(2), v3(3), v3(4), v3(5), v3(6), v3(7), v3(8), v3(9)};

std::vector<uint32_t> counting(uint32_t n, uint32_t from = 1) {
    std::vector<uint32_t> v(n);
    for (uint32_t i = 0; i < n; i++) v[i] = from + i;
    return v;
}

}  // namespace

TEST(ImgfxMosaic, PixelationsScrollsAndSmears) {
    const uint32_t a = v3(3), b = 0x0004090D, c = 0x00070F16;
    std::vector<uint32_t> centred(100);
    for (uint32_t x = 0; x < 100; x++) centred[x] = x < 2 ? 0 : x >= 98 ? 99 : 10 + 16 * ((x - 2) / 16);
    expect_image_cases({
        {"corner pick", 3, 3, nine, [](IMG *m) { imgfx_pixelate(m, 2, 2); },
         {v3(1), v3(1), v3(3), v3(1), v3(1), v3(3), v3(7), v3(7), v3(9)}},
        {"single blocks", 3, 3, nine, [](IMG *m) { imgfx_pixelate(m, 1, 1); }, nine},
        {"whole image", 3, 3, nine, [](IMG *m) { imgfx_pixelate(m, 3, 3); }, std::vector<uint32_t>(9, v3(1))},
        {"huge blocks", 3, 3, nine, [](IMG *m) { imgfx_pixelate(m, 1000000, INT32_MAX); }, std::vector<uint32_t>(9, v3(1))},
        {"average rounds down", 3, 3, nine, [](IMG *m) { imgfx_pixelate_average(m, 2, 2); }, {a, a, b, a, a, b, c, c, v3(9)}},
        {"centred", 5, 1, {1, 2, 3, 4, 5}, [](IMG *m) { imgfx_pixelate_centred(m, 2, 1); }, {1, 3, 3, 5, 5}},
        {"centred both ways", 5, 5, counting(25), [](IMG *m) { imgfx_pixelate_centred(m, 2, 2); },
         {1, 3, 3, 5, 5, 11, 13, 13, 15, 15, 11, 13, 13, 15, 15, 21, 23, 23, 25, 25, 21, 23, 23, 25, 25}},
        {"centre clamped", 3, 1, {1, 2, 3}, [](IMG *m) { imgfx_pixelate_centred(m, 4, 1); }, {1, 1, 3}},
        {"centres -1 and 2", 2, 1, {1, 2}, [](IMG *m) { imgfx_pixelate_centred(m, 3, 1); }, {1, 2}},
        {"centred origin", 100, 1, counting(100, 0), [](IMG *m) { imgfx_pixelate_centred(m, 16, 1); }, centred},
        {"centred average", 4, 1, {0x10, 0x21, 0x40, 0x81}, [](IMG *m) { imgfx_pixelate_average_centred(m, 2, 1); },
         {0x18, 0x18, 0x60, 0x60}},
        {"bad blocks refused", 3, 3, nine,
         [](IMG *m) {
             imgfx_pixelate(m, 0, 1), imgfx_pixelate_average(m, 1, 0), imgfx_pixelate_random(m, -1, 2);
             imgfx_pixelate_centred(m, 0, 2), imgfx_pixelate_average_centred(m, 2, -3);
         },
         nine},
        {"scroll rows", 4, 2, counting(8), [](IMG *m) { imgfx_scroll_row(m, 0, 2), imgfx_scroll_row(m, 1, -1); },
         {3, 4, 0, 0, 0, 5, 6, 7}},
        {"scroll rows away", 4, 2, counting(8), [](IMG *m) { imgfx_scroll_row(m, 0, 4), imgfx_scroll_row(m, 1, INT32_MIN); },
         {0, 0, 0, 0, 0, 0, 0, 0}},
        {"smear rows", 4, 2, {1, 2, 3, 4, 1, 2, 3, 4}, [](IMG *m) { imgfx_smear_row(m, 0, 2), imgfx_smear_row(m, 1, -1); },
         {3, 4, 3, 4, 1, 1, 2, 3}},
        {"smear rows too far", 4, 1, {1, 2, 3, 4}, [](IMG *m) { imgfx_smear_row(m, 0, 9), imgfx_smear_row(m, 0, -4); }, {1, 2, 3, 4}},
        {"rows outside, no move", 2, 1, {1, 2},
         [](IMG *m) { imgfx_scroll_row(m, 1, 1), imgfx_scroll_row(m, -1, 1), imgfx_scroll_row(m, 0, 0), imgfx_smear_row(m, 5, 1); },
         {1, 2}},
        {"scroll up", 2, 3, counting(6), [](IMG *m) { imgfx_scroll_vertical(m, 1); }, {3, 4, 5, 6, 0, 0}},
        {"scroll down", 2, 3, counting(6), [](IMG *m) { imgfx_scroll_vertical(m, -1); }, {0, 0, 1, 2, 3, 4}},
        {"scroll all away", 2, 3, counting(6), [](IMG *m) { imgfx_scroll_vertical(m, -3); }, {0, 0, 0, 0, 0, 0}},
        {"smear up", 2, 3, counting(6), [](IMG *m) { imgfx_smear_vertical(m, 1); }, {3, 4, 5, 6, 5, 6}},
        {"smear down", 2, 3, counting(6), [](IMG *m) { imgfx_smear_vertical(m, -1), imgfx_smear_vertical(m, INT32_MAX); },
         {1, 2, 1, 2, 3, 4}},
        {"scroll both", 2, 2, counting(4), [](IMG *m) { imgfx_scroll(m, 1, 1); }, {4, 0, 0, 0}},
        {"smear both", 2, 2, counting(4), [](IMG *m) { imgfx_smear(m, -1, -1); }, {1, 1, 1, 1}},
        {"wrap", 4, 1, counting(4), [](IMG *m) { Own<img_del> s(grid_image(4, 1)); imgfx_scroll_wrap(m, s, 1, 0); }, {2, 3, 4, 1}},
        {"wrap both ways", 3, 2, counting(6),
         [](IMG *m) { Own<img_del> s(grid_image(3, 2)); imgfx_scroll_wrap(m, s, -1, 1), imgfx_scroll_wrap(m, s, 0, 0); },
         {6, 4, 5, 3, 1, 2}},
        {"wrap modulo", 4, 1, counting(4), [](IMG *m) { Own<img_del> s(grid_filled(4, 1, 9)); imgfx_scroll_wrap(m, s, 5, 3); },
         {2, 3, 4, 1}},
        {"wrap round", 4, 1, counting(4), [](IMG *m) { Own<img_del> s(grid_filled(4, 1, 9)); imgfx_scroll_wrap(m, s, -9, INT32_MIN), imgfx_scroll_wrap(m, s, 1, 0); },
         {1, 2, 3, 4}},
        {"wrap refused", 4, 1, counting(4),
         [](IMG *m) { Own<img_del> s(grid_image(3, 1)); imgfx_scroll_wrap(m, s, 1, 0), imgfx_scroll_wrap(m, nullptr, 1, 0); },
         {1, 2, 3, 4}},
    });
    for (auto f : {imgfx_scroll_vertical, imgfx_smear_vertical}) f(nullptr, 1);
    imgfx_pixelate(nullptr, 2, 2), imgfx_pixelate_centred(nullptr, 2, 2), imgfx_scroll_row(nullptr, 0, 1);
    imgfx_scroll(nullptr, 1, 1), imgfx_smear(nullptr, 1, 1), imgfx_scroll_wrap(nullptr, nullptr, 1, 0);
}

TEST(ImgfxMosaic, BlockAverageAndRandomPicks) {
    Own<img_del> img(grid_image(3, 3, nine));
    EXPECT_EQ(imgfx_block_average(img, -1, -1, 2, 2), v3(1));
    EXPECT_EQ(imgfx_block_average(img, 1, 1, 5, 5), 0x00070E15u);  // (5 6 8 9): 7, 14, 21
    EXPECT_EQ(imgfx_block_average(img, 3, 0, 2, 2), 0u);           // wholly outside
    EXPECT_EQ(imgfx_block_average(img, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX), 0u);
    EXPECT_EQ(imgfx_block_average(img, 0, 0, 0, 1), 0u);
    EXPECT_EQ(imgfx_block_random(img, 0, 0, 1, 0), 0u);
    EXPECT_EQ(imgfx_block_average(nullptr, 0, 0, 1, 1), 0u);
    // Seed 45429 draws 17318 21105 7627 1468 7256: the row from the first.
    Own<img_del> column(grid_image(1, 4, {10, 11, 12, 13})), row(grid_image(5, 1, {20, 21, 22, 23, 24}));
    random_srand(45429);
    EXPECT_EQ(imgfx_block_random(img, 0, 0, 3, 3), v3(4));  // row 1, column 0
    random_srand(45429);
    EXPECT_EQ(imgfx_block_random(column, 0, -2, 1, 9), 11u);
    random_srand(45429);
    EXPECT_EQ(imgfx_block_random(row, 0, 0, 5, 1), 24u);
    random_srand(45429);
    EXPECT_EQ(imgfx_block_random(img, 5, 5, 2, 2), 0u);  // draws even when nothing is left
    EXPECT_EQ(random_rand(), 7256);
    Own<img_del> six(grid_image(6, 3, counting(18, 100)));
    random_srand(45429);
    imgfx_pixelate_random(six, 3, 3);  // two draws a block: (0, 1) and (3, 2)
    EXPECT_TRUE(grid_equals(six, {106, 106, 106, 115, 115, 115, 106, 106, 106, 115, 115, 115, 106, 106, 106, 115, 115, 115}));
    EXPECT_EQ(random_rand(), 23197);  // the ninth value: eight were drawn
}

TEST(ImgfxSprinkle, PlacesRandomSpritePixelsAtTheSpritesPlace) {
    Own<img_del> sprite(grid_image(3, 2, {0x11, 0x22, 0x00, 0x44, 0x55, 0x66}));
    sprite->x = 1, sprite->y = 2;
    Own<img_del> target(grid_filled(6, 6, 0xEE));
    random_srand(45429);  // draws 17318 21105 7627 1468 7256 10216
    imgfx_sprinkle(target, sprite, 3);
    std::vector<uint32_t> expected(36, 0xEE);
    expected[3 * 6 + 3] = 0x66;  // sprite (2, 1)
    expected[2 * 6 + 2] = 0x22;  // sprite (1, 0)
    expected[2 * 6 + 3] = 0x00;  // sprite (2, 0): black is stored too
    EXPECT_TRUE(grid_equals(target, expected));
    Own<img_del> dot(grid_image(1, 1, {0x77})), small(grid_image(2, 2)), empty(grid_image(0, 0));
    dot->x = -1;
    imgfx_sprinkle(small, dot, 5);  // clipped
    dot->x = 1, dot->y = 1;
    imgfx_sprinkle(small, dot, 1);
    EXPECT_TRUE(grid_equals(small, {0, 0, 0, 0x77}));
    random_srand(1);
    imgfx_sprinkle(small, empty, 3), imgfx_sprinkle(nullptr, dot, 3), imgfx_sprinkle(small, nullptr, 3);
    EXPECT_EQ(random_rand(), 41);  // nothing drawn: the first value after seed 1
}

TEST(ImgfxCheckFit, NeedsTheFirstAtLeastAsLargeAsTheThird) {
    Own<img_del> big(grid_image(4, 4)), small(grid_image(2, 2)), wide(grid_image(5, 1));
    const struct {
        IMG *a, *b, *c;
        int fits;
    } cases[] = {{big, small, small, 1}, {big, small, big, 1}, {small, big, big, 0},
                 {big, big, wide, 0},    {wide, big, big, 0},   {big, nullptr, small, 0}};
    for (auto &c : cases) EXPECT_EQ(imgfx_check_fit(c.a, c.b, c.c), c.fits);
}
