// IMGFX mosaics, random blocks, sprinkle and scrolling.
#include <gtest/gtest.h>

#include "host/random.h"
#include "imaging/imgfx.h"
#include "tests/test_support.h"

// Pixel (x, y) of a 3 x 3 picture holding v = 1 + x + 3y in red, 2v in green, 3v in blue.
static uint32_t v3(uint32_t v) { return v * 0x010203u; }

static IMG *nine() {
    return grid_image(3, 3, {v3(1), v3(2), v3(3), v3(4), v3(5), v3(6), v3(7), v3(8), v3(9)});
}

TEST(ImgfxMosaic, PixelateTakesTheTopLeftPixel) {
    Own<img_del> img(nine());
    imgfx_pixelate(img, 2, 2);
    EXPECT_TRUE(grid_equals(img, {v3(1), v3(1), v3(3), v3(1), v3(1), v3(3), v3(7), v3(7), v3(9)}));
}

TEST(ImgfxMosaic, PixelateWithSingleBlocksChangesNothing) {
    Own<img_del> img(nine());
    imgfx_pixelate(img, 1, 1);
    EXPECT_TRUE(grid_equals(img, {v3(1), v3(2), v3(3), v3(4), v3(5), v3(6), v3(7), v3(8), v3(9)}));
}

TEST(ImgfxMosaic, PixelateWithTheWholeSizeFillsTheImage) {
    IMG *img = nine();
    imgfx_pixelate(img, 3, 3);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(9, v3(1))));
    img_del(&img);
    img = nine();
    imgfx_pixelate(img, 1000000, INT32_MAX);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(9, v3(1))));
    img_del(&img);
}

TEST(ImgfxMosaic, PixelateAverageRoundsEachChannelDown) {
    Own<img_del> img(nine());
    imgfx_pixelate_average(img, 2, 2);
    // Blocks: (1 2 4 5) -> 3; (3 6) -> 4, 9, 13; (7 8) -> 7, 15, 22; (9).
    const uint32_t a = v3(3), b = 0x0004090D, c = 0x00070F16, d = v3(9);
    EXPECT_TRUE(grid_equals(img, {a, a, b, a, a, b, c, c, d}));
}

TEST(ImgfxMosaic, CentredGridTakesTheBlockCentres) {
    // Width 5, blocks of 2: an even four blocks from x = -1; height 1 starts at 0.
    IMG *img = grid_image(5, 1, {1, 2, 3, 4, 5});
    imgfx_pixelate_centred(img, 2, 1);
    EXPECT_TRUE(grid_equals(img, {1, 3, 3, 5, 5}));
    img_del(&img);
    img = grid_image(5, 5);
    for (uint32_t i = 0; i < 25; i++) img->pixels[i] = i + 1;
    imgfx_pixelate_centred(img, 2, 2);  // rows and columns 0 | 1 2 | 3 4 take 0, 2, 4
    EXPECT_TRUE(grid_equals(img, {1, 3, 3, 5, 5, 11, 13, 13, 15, 15, 11, 13, 13, 15, 15,
                              21, 23, 23, 25, 25, 21, 23, 23, 25, 25}));
    img_del(&img);
}

TEST(ImgfxMosaic, CentredGridClampsTheCentreIntoTheImage) {
    IMG *img = grid_image(3, 1, {1, 2, 3});
    imgfx_pixelate_centred(img, 4, 1);  // blocks from -2 and 2: centres 0 and 4 -> 2
    EXPECT_TRUE(grid_equals(img, {1, 1, 3}));
    img_del(&img);
    img = grid_image(2, 1, {1, 2});
    imgfx_pixelate_centred(img, 3, 1);  // blocks from -2 and 1: centres -1 -> 0 and 2 -> 1
    EXPECT_TRUE(grid_equals(img, {1, 2}));
    img_del(&img);
}

TEST(ImgfxMosaic, CentredAverageSkipsBlocksWhollyOutside) {
    // Width 4, blocks of 2: x0 = (4 - 4 * 2) / 2 = -2, the first block outside.
    Own<img_del> img(grid_image(4, 1, {0x10, 0x21, 0x40, 0x81}));
    imgfx_pixelate_average_centred(img, 2, 1);
    EXPECT_TRUE(grid_equals(img, {0x18, 0x18, 0x60, 0x60}));
}

TEST(ImgfxMosaic, CentredOriginFollowsTheEvenCount) {
    // Width 100, blocks of 16: eight blocks from x = -14, centres at -6 (held
    // to 0), 10, 26, ..., 90 and 106 (held to 99).
    Own<img_del> img(grid_image(100, 1));
    for (uint32_t i = 0; i < 100; i++) img->pixels[i] = i;
    imgfx_pixelate_centred(img, 16, 1);
    std::vector<uint32_t> expected(100);
    for (uint32_t x = 0; x < 100; x++) expected[x] = x < 2 ? 0 : x >= 98 ? 99 : 10 + 16 * ((x - 2) / 16);
    EXPECT_TRUE(grid_equals(img, expected));
}

TEST(ImgfxMosaic, BadBlockSizesAreRefused) {
    Own<img_del> img(nine());
    imgfx_pixelate(img, 0, 1);
    imgfx_pixelate_average(img, 1, 0);
    imgfx_pixelate_random(img, -1, 2);
    imgfx_pixelate_centred(img, 0, 2);
    imgfx_pixelate_average_centred(img, 2, -3);
    EXPECT_TRUE(grid_equals(img, {v3(1), v3(2), v3(3), v3(4), v3(5), v3(6), v3(7), v3(8), v3(9)}));
    imgfx_pixelate(nullptr, 2, 2);
    imgfx_pixelate_centred(nullptr, 2, 2);
    EXPECT_EQ(imgfx_block_average(img, 0, 0, 0, 1), 0u);
    EXPECT_EQ(imgfx_block_random(img, 0, 0, 1, 0), 0u);
    EXPECT_EQ(imgfx_block_average(nullptr, 0, 0, 1, 1), 0u);
}

TEST(ImgfxMosaic, BlockAverageClipsToTheImage) {
    Own<img_del> img(nine());
    EXPECT_EQ(imgfx_block_average(img, -1, -1, 2, 2), v3(1));
    EXPECT_EQ(imgfx_block_average(img, 1, 1, 5, 5), 0x00070E15u);  // (5 6 8 9): 7, 14, 21
    EXPECT_EQ(imgfx_block_average(img, 3, 0, 2, 2), 0u);           // wholly outside
    EXPECT_EQ(imgfx_block_average(img, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX), 0u);
}

TEST(ImgfxMosaic, BlockRandomTakesTheRowFromTheFirstDraw) {
    // After seed 45429 the draws are 567497329 (mod 3 = 1, mod 4 = 1) and
    // 249923004 (mod 3 = 0, mod 5 = 4).
    Own<img_del> img(nine());
    random_srand(45429);
    EXPECT_EQ(imgfx_block_random(img, 0, 0, 3, 3), v3(4));  // row 1, column 0
    Own<img_del> column(grid_image(1, 4, {10, 11, 12, 13}));
    random_srand(45429);
    EXPECT_EQ(imgfx_block_random(column, 0, -2, 1, 9), 11u);
    Own<img_del> row(grid_image(5, 1, {20, 21, 22, 23, 24}));
    random_srand(45429);
    EXPECT_EQ(imgfx_block_random(row, 0, 0, 5, 1), 24u);
}

TEST(ImgfxMosaic, BlockRandomDrawsEvenWhenNothingIsLeft) {
    Own<img_del> img(nine());
    random_srand(45429);
    EXPECT_EQ(imgfx_block_random(img, 5, 5, 2, 2), 0u);
    EXPECT_EQ(random_rand(), 7256);  // the fifth value: four were drawn
}

TEST(ImgfxMosaic, PixelateRandomDrawsTwicePerBlockInOrder) {
    // 6 x 3, blocks of 3: first block row 1 col 0; second row 2 col 0
    // (567497329 % 3 = 1, 249923004 % 3 = 0, 237774824 % 3 = 2, 327111834 % 3 = 0).
    Own<img_del> img(grid_image(6, 3));
    for (uint32_t i = 0; i < 18; i++) img->pixels[i] = 100 + i;
    random_srand(45429);
    imgfx_pixelate_random(img, 3, 3);
    const uint32_t a = 106, b = 115;  // (0, 1) and (3, 2)
    EXPECT_TRUE(grid_equals(img, {a, a, a, b, b, b, a, a, a, b, b, b, a, a, a, b, b, b}));
    EXPECT_EQ(random_rand(), 23197);  // the ninth value: eight were drawn
}

TEST(ImgfxSprinkle, PlacesRandomSpritePixelsAtTheSpritesPlace) {
    Own<img_del> sprite(grid_image(3, 2, {0x11, 0x22, 0x00, 0x44, 0x55, 0x66}));
    sprite->x = 1;
    sprite->y = 2;
    Own<img_del> target(grid_image(6, 6, std::vector<uint32_t>(36, 0xEE)));
    random_srand(45429);  // draws 17318 21105 7627 1468 7256 10216
    imgfx_sprinkle(target, sprite, 3);
    std::vector<uint32_t> expected(36, 0xEE);
    expected[3 * 6 + 3] = 0x66;  // sprite (2, 1)
    expected[2 * 6 + 2] = 0x22;  // sprite (1, 0)
    expected[2 * 6 + 3] = 0x00;  // sprite (2, 0): black is stored too
    EXPECT_TRUE(grid_equals(target, expected));
}

TEST(ImgfxSprinkle, ClipsAtTheTargetAndRefusesEmptySprites) {
    Own<img_del> sprite(grid_image(1, 1, {0x77}));
    sprite->x = -1;
    Own<img_del> target(grid_image(2, 2));
    imgfx_sprinkle(target, sprite, 5);
    EXPECT_TRUE(grid_equals(target, {0, 0, 0, 0}));
    sprite->x = 1;
    sprite->y = 1;
    imgfx_sprinkle(target, sprite, 1);
    EXPECT_TRUE(grid_equals(target, {0, 0, 0, 0x77}));
    Own<img_del> empty(grid_image(0, 0));
    random_srand(1);
    imgfx_sprinkle(target, empty, 3);
    imgfx_sprinkle(nullptr, sprite, 3);
    imgfx_sprinkle(target, nullptr, 3);
    EXPECT_EQ(random_rand(), 41);  // nothing drawn: the first value after seed 1
}

TEST(ImgfxScroll, RowMovesAndClears) {
    Own<img_del> img(grid_image(4, 2, {1, 2, 3, 4, 5, 6, 7, 8}));
    imgfx_scroll_row(img, 0, 2);
    imgfx_scroll_row(img, 1, -1);
    EXPECT_TRUE(grid_equals(img, {3, 4, 0, 0, 0, 5, 6, 7}));
    imgfx_scroll_row(img, 0, 4);
    imgfx_scroll_row(img, 1, INT32_MIN);
    EXPECT_TRUE(grid_equals(img, {0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ImgfxScroll, SmearKeepsTheVacatedPixels) {
    Own<img_del> img(grid_image(4, 2, {1, 2, 3, 4, 1, 2, 3, 4}));
    imgfx_smear_row(img, 0, 2);
    imgfx_smear_row(img, 1, -1);
    EXPECT_TRUE(grid_equals(img, {3, 4, 3, 4, 1, 1, 2, 3}));
    imgfx_smear_row(img, 0, 9);
    imgfx_smear_row(img, 1, -4);
    EXPECT_TRUE(grid_equals(img, {3, 4, 3, 4, 1, 1, 2, 3}));
}

TEST(ImgfxScroll, RowOutsideOrZeroMoveDoesNothing) {
    Own<img_del> img(grid_image(2, 1, {1, 2}));
    imgfx_scroll_row(img, 1, 1);
    imgfx_scroll_row(img, -1, 1);
    imgfx_scroll_row(img, 0, 0);
    imgfx_smear_row(img, 5, 1);
    imgfx_scroll_row(nullptr, 0, 1);
    EXPECT_TRUE(grid_equals(img, {1, 2}));
}

TEST(ImgfxScroll, VerticalMovesWholeRows) {
    IMG *img = grid_image(2, 3, {1, 2, 3, 4, 5, 6});
    imgfx_scroll_vertical(img, 1);
    EXPECT_TRUE(grid_equals(img, {3, 4, 5, 6, 0, 0}));
    img_del(&img);
    img = grid_image(2, 3, {1, 2, 3, 4, 5, 6});
    imgfx_scroll_vertical(img, -1);
    EXPECT_TRUE(grid_equals(img, {0, 0, 1, 2, 3, 4}));
    imgfx_scroll_vertical(img, -3);
    EXPECT_TRUE(grid_equals(img, {0, 0, 0, 0, 0, 0}));
    img_del(&img);
}

TEST(ImgfxScroll, SmearVerticalKeepsTheVacatedRows) {
    IMG *img = grid_image(2, 3, {1, 2, 3, 4, 5, 6});
    imgfx_smear_vertical(img, 1);
    EXPECT_TRUE(grid_equals(img, {3, 4, 5, 6, 5, 6}));
    img_del(&img);
    img = grid_image(2, 3, {1, 2, 3, 4, 5, 6});
    imgfx_smear_vertical(img, -1);
    EXPECT_TRUE(grid_equals(img, {1, 2, 1, 2, 3, 4}));
    imgfx_smear_vertical(img, INT32_MAX);
    EXPECT_TRUE(grid_equals(img, {1, 2, 1, 2, 3, 4}));
    img_del(&img);
}

TEST(ImgfxScroll, BothDirectionsRowsFirst) {
    IMG *img = grid_image(2, 2, {1, 2, 3, 4});
    imgfx_scroll(img, 1, 1);
    EXPECT_TRUE(grid_equals(img, {4, 0, 0, 0}));
    img_del(&img);
    img = grid_image(2, 2, {1, 2, 3, 4});
    imgfx_smear(img, -1, -1);
    EXPECT_TRUE(grid_equals(img, {1, 1, 1, 1}));
    imgfx_scroll(nullptr, 1, 1);
    imgfx_smear(nullptr, 1, 1);
    img_del(&img);
}

TEST(ImgfxScroll, WrapTurnsTheContentRound) {
    IMG *img = grid_image(4, 1, {1, 2, 3, 4});
    IMG *scratch = grid_image(4, 1);
    imgfx_scroll_wrap(img, scratch, 1, 0);
    EXPECT_TRUE(grid_equals(img, {2, 3, 4, 1}));
    img_del(&img);
    img_del(&scratch);

    img = grid_image(3, 2, {1, 2, 3, 4, 5, 6});
    scratch = grid_image(3, 2);
    imgfx_scroll_wrap(img, scratch, -1, 1);  // (x, y) takes ((x - 1) mod 3, (y + 1) mod 2)
    EXPECT_TRUE(grid_equals(img, {6, 4, 5, 3, 1, 2}));
    imgfx_scroll_wrap(img, scratch, 0, 0);
    EXPECT_TRUE(grid_equals(img, {6, 4, 5, 3, 1, 2}));
    img_del(&img);
    img_del(&scratch);
}

TEST(ImgfxScroll, WrapTakesLargeOffsetsModuloTheSize) {
    Own<img_del> img(grid_image(4, 1, {1, 2, 3, 4}));
    Own<img_del> scratch(grid_image(4, 1, {9, 9, 9, 9}));
    imgfx_scroll_wrap(img, scratch, 5, 3);
    EXPECT_TRUE(grid_equals(img, {2, 3, 4, 1}));
    imgfx_scroll_wrap(img, scratch, -9, INT32_MIN);
    EXPECT_TRUE(grid_equals(img, {1, 2, 3, 4}));
}

TEST(ImgfxScroll, WrapNeedsTwoImagesOfOneSize) {
    Own<img_del> img(grid_image(4, 1, {1, 2, 3, 4}));
    Own<img_del> scratch(grid_image(3, 1));
    imgfx_scroll_wrap(img, scratch, 1, 0);
    imgfx_scroll_wrap(img, nullptr, 1, 0);
    imgfx_scroll_wrap(nullptr, scratch, 1, 0);
    EXPECT_TRUE(grid_equals(img, {1, 2, 3, 4}));
}

TEST(ImgfxCheckFit, NeedsTheFirstAtLeastAsLargeAsTheThird) {
    IMG *big = grid_image(4, 4), *small = grid_image(2, 2), *wide = grid_image(5, 1);
    EXPECT_EQ(imgfx_check_fit(big, small, small), 1);
    EXPECT_EQ(imgfx_check_fit(big, small, big), 1);
    EXPECT_EQ(imgfx_check_fit(small, big, big), 0);
    EXPECT_EQ(imgfx_check_fit(big, big, wide), 0);
    EXPECT_EQ(imgfx_check_fit(wide, big, big), 0);
    EXPECT_EQ(imgfx_check_fit(big, nullptr, small), 0);
    img_del(&big);
    img_del(&small);
    img_del(&wide);
}
