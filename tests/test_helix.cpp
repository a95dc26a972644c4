// HELIX tests: the six random_next draws of a new helix, the step, the ribbon
// across columns and down rows, the band's back and front passes with their
// darkening, the transposed bands, clipping and refused arguments.
#include <gtest/gtest.h>

#include "effects/helix.h"
#include "host/random.h"
#include "imaging/img.h"
#include "test_support.h"

namespace {

// A quarter turn per pixel and a swing of 2: the edges go 0, +1, 0, -2 pixels
// ((32766 * 2) >> 15 = 1, (-32766 * 2) >> 15 = -2).
HELIX *quarter_helix(int32_t spread) {
    HELIX *h = helix_new();
    h->phase = 0;
    h->frequency = 256;
    h->amplitude = 2;
    h->spread = spread;
    h->colour = 0xC08040;
    h->shade = 0x604020;
    return h;
}

const uint32_t C = 0xC08040;  // front
const uint32_t S = 0x604020;  // back
const uint32_t D = 0x410100;  // front darkened by 127
const uint32_t B = 0x200000;  // back darkened by 64

}  // namespace

TEST(Helix, NewDrawsSixValuesInTableOrder) {
    random_srand(45429);
    HELIX *h = helix_new();
    ASSERT_NE(h, nullptr);
    // The first random_next after this seed is 567497329.
    EXPECT_EQ(h->phase, 567497329 & 1023);  // 625
    Lcg g{45429};
    g.next30();
    EXPECT_EQ(h->speed, g.next30() % 24 + 8);
    EXPECT_EQ(h->frequency, (g.next30() & 7) + 1);
    EXPECT_EQ(h->amplitude, g.next30() % 100 + 16);
    EXPECT_EQ(h->spread, g.next30() % 63 + 64);
    uint32_t colour = ((uint32_t)g.next30() & 0x7F7F7F) + 0x808080;
    EXPECT_EQ(h->colour, colour);
    EXPECT_EQ(h->shade, (colour & 0xFEFEFE) >> 1);
    EXPECT_EQ(random_rand(), g.next());
    EXPECT_EQ(h->x, 0);
    EXPECT_EQ(h->width, 256);
    EXPECT_EQ(h->height, 256);
    EXPECT_EQ(h->depth, 256);
    helix_del(&h);
    EXPECT_EQ(h, nullptr);
}

TEST(Helix, ShadeHalvesEveryChannelWithoutBorrowingBits) {
    HELIX *h = helix_new();
    for (int i = 0; i < 50; i++) {
        helix_randomize(h);
        EXPECT_GE(h->colour & 0xFF, 0x80u);
        EXPECT_GE((h->colour >> 16) & 0xFF, 0x80u);  // a 30-bit draw reaches red too
        EXPECT_EQ(h->colour >> 24, 0u);
        EXPECT_EQ(h->shade >> 16, ((h->colour >> 16) & 0xFF) >> 1);
        EXPECT_EQ((h->shade >> 8) & 0xFF, ((h->colour >> 8) & 0xFF) >> 1);
        EXPECT_EQ(h->shade & 0xFF, (h->colour & 0xFF) >> 1);
        EXPECT_GE(h->speed, 8);
        EXPECT_LE(h->speed, 31);
        EXPECT_GE(h->spread, 64);
        EXPECT_LE(h->spread, 126);
        EXPECT_GE(h->amplitude, 16);
        EXPECT_LE(h->amplitude, 115);
        EXPECT_GE(h->frequency, 1);
        EXPECT_LE(h->frequency, 8);
    }
    helix_del(&h);
}

TEST(Helix, StepWrapsThePhase) {
    HELIX *h = helix_new();
    h->phase = 1020;
    h->speed = 10;
    helix_step(h);
    EXPECT_EQ(h->phase, 6);
    h->speed = -10;
    helix_step(h);
    EXPECT_EQ(h->phase, 1020);
    helix_del(&h);
}

TEST(Helix, ColumnsShowFrontBetweenEdgesOrBackBelowTheFirst) {
    HELIX *h = quarter_helix(512);
    IMG *img = grid_image(4, 8);
    helix_draw_columns(h, img);
    // c = 4. Column 0: y1 = y2 = 4, front. Column 1: y1 = 5 > y2 = 2, back
    // from 5 to 37 (clipped). Column 2: front at 4. Column 3: y1 = 2, y2 = 5.
    const uint32_t want[32] = {0, 0, 0, 0,
                               0, 0, 0, 0,
                               0, 0, 0, C,
                               0, 0, 0, C,
                               C, 0, C, C,
                               0, S, 0, C,
                               0, S, 0, 0,
                               0, S, 0, 0};
    EXPECT_TRUE(grid_equals(img, 4, 8, want));
    img_del(&img);
    helix_del(&h);
}

TEST(Helix, ColumnBackIsAFixed32PixelSpan) {
    HELIX *h = quarter_helix(512);
    h->phase = 256;  // column 0: y1 = c + 1 > y2 = c - 2
    IMG *img = grid_image(1, 60);
    helix_draw_columns(h, img);
    // c = 30: rows 31 .. 63, clipped at 59.
    for (int y = 0; y < 60; y++) EXPECT_EQ(img->pixels[y], y >= 31 ? S : 0u) << "row " << y;
    img_del(&img);
    helix_del(&h);
}

TEST(Helix, RowsFillTheBackBetweenTheEdges) {
    HELIX *h = quarter_helix(512);
    IMG *img = grid_image(8, 4);
    helix_draw_rows(h, img);
    const uint32_t want[32] = {0, 0, 0, 0, C, 0, 0, 0,
                               0, 0, S, S, S, S, 0, 0,
                               0, 0, 0, 0, C, 0, 0, 0,
                               0, 0, C, C, C, C, 0, 0};
    EXPECT_TRUE(grid_equals(img, 8, 4, want));
    img_del(&img);
    helix_del(&h);
}

TEST(Helix, RibbonEdgesAreHalfATurnApartWithSpread512) {
    random_srand(77);
    HELIX *h = helix_new();
    h->spread = 512;
    IMG *img = grid_image(64, 256);
    helix_draw_columns(h, img);
    // Every column holds exactly one span: the front from y1 to y2 or the back
    // of 33 pixels below y1.
    for (int x = 0; x < 64; x++) {
        int front = 0, back = 0;
        for (int y = 0; y < 256; y++) {
            front += img->pixels[y * 64 + x] == h->colour;
            back += img->pixels[y * 64 + x] == h->shade;
        }
        EXPECT_TRUE((front > 0) != (back > 0)) << "column " << x;
        if (back) {
            EXPECT_EQ(back, 33) << "column " << x;
        }
    }
    img_del(&img);
    helix_del(&h);
}

TEST(Helix, BandsDrawTheBackPassThenTheFront) {
    HELIX *h = quarter_helix(1);
    IMG *img = grid_image(4, 6);
    helix_draw_bands(h, img);
    // c = 3, prev starts at 3; x runs -1 .. 4. Rising steps (x = -1, 2, 3) are
    // front spans darkened by |sin >> 8|; falling ones (x = 0, 1, 4) back spans
    // darkened by |sin >> 9|, all drawn before the front.
    const uint32_t want[24] = {0, 0, 0, 0,
                               0, B, C, C,
                               0, B, C, C,
                               D, B, C, D,
                               D, S, 0, D,
                               0, 0, 0, 0};
    EXPECT_TRUE(grid_equals(img, 4, 6, want));
    img_del(&img);
    helix_del(&h);
}

TEST(Helix, VerticalBandIsTheFrontTransposed) {
    HELIX *h = quarter_helix(1);
    IMG *img = grid_image(6, 4);
    helix_draw_bands_vertical(h, img);
    const uint32_t want[24] = {0, 0, 0, D, D, 0,
                               0, 0, 0, 0, 0, 0,
                               0, C, C, C, 0, 0,
                               0, C, C, D, D, 0};
    EXPECT_TRUE(grid_equals(img, 6, 4, want));
    img_del(&img);
    helix_del(&h);
}

TEST(Helix, VerticalBandBackIsTheBackTransposed) {
    HELIX *h = quarter_helix(1);
    IMG *img = grid_image(6, 4);
    helix_draw_bands_vertical_back(h, img);
    const uint32_t want[24] = {0, 0, 0, S, S, 0,
                               0, B, B, B, S, 0,
                               0, B, B, B, 0, 0,
                               0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(grid_equals(img, 6, 4, want));
    img_del(&img);
    helix_del(&h);
}

TEST(Helix, BandsClipSwingsFarOutsideTheImage) {
    HELIX *h = quarter_helix(3);
    h->amplitude = 1 << 15;  // edges at c + 32766, c, c - 32766: rows far outside
    IMG *img = grid_image(5, 5);
    helix_draw_bands(h, img);
    // c = 2; x runs -3 .. 7, each span 3 + 1 wide, the edge cycling through
    // c + 32766, c, c - 32766, c. Back: x = -2 rows 2..4 (S), x = -1 rows 0..2
    // darkened by 64 (B), x = 2 rows 2..4 (S), x = 3 rows 0..2 (B). Front:
    // x = -3 rows 2..4 darkened by 127 (D), x = 0 rows 0..2 (C), x = 1 rows
    // 2..4 (D), x = 4 rows 0..2 (C). The front covers the whole back.
    const uint32_t want[25] = {C, C, C, C, C,
                               C, C, C, C, C,
                               C, D, D, D, C,
                               D, D, D, D, D,
                               D, D, D, D, D};
    EXPECT_TRUE(grid_equals(img, 5, 5, want));
    img_del(&img);
    helix_del(&h);
}

TEST(Helix, StrayPhaseIsReadThroughTheTableMask) {
    HELIX *a = quarter_helix(512);
    HELIX *b = quarter_helix(512);
    b->phase = 2048 + 0;
    IMG *ia = grid_image(4, 8);
    IMG *ib = grid_image(4, 8);
    helix_draw_columns(a, ia);
    helix_draw_columns(b, ib);
    helix_draw_bands(b, ib);
    helix_draw_bands(a, ia);
    EXPECT_EQ(img_compare(ia, ib), 1);
    img_del(&ia);
    img_del(&ib);
    helix_del(&a);
    helix_del(&b);
}

TEST(Helix, CopyTakesHeaderPositionAndWaveNotTheSize) {
    HELIX *a = quarter_helix(77);
    a->x = 1;
    a->y = 2;
    a->z = 3;
    a->width = 10;
    a->speed = 9;
    HELIX *b = helix_new();
    helix_copy(a, b);
    EXPECT_EQ(b->x, 1);
    EXPECT_EQ(b->y, 2);
    EXPECT_EQ(b->z, 3);
    EXPECT_EQ(b->width, 256);
    EXPECT_EQ(b->spread, 77);
    EXPECT_EQ(b->speed, 9);
    EXPECT_EQ(b->shade, S);
    EXPECT_EQ(helix_compare(a, b), 1);
    helix_del(&a);
    helix_del(&b);
}

TEST(Helix, DupDrawsItsOwnSixValuesThenTakesTheWave) {
    HELIX *a = quarter_helix(77);
    a->x = 5;
    random_srand(3);
    HELIX *b = helix_dup(a);
    ASSERT_NE(b, nullptr);
    Lcg g{3};
    for (int i = 0; i < 6; i++) g.next30();
    EXPECT_EQ(random_rand(), g.next());
    EXPECT_EQ(b->x, 0);  // the header is not taken
    EXPECT_EQ(helix_compare(a, b), 1);
    EXPECT_EQ(b->shade, S);
    EXPECT_EQ(helix_dup(nullptr), nullptr);
    helix_del(&a);
    helix_del(&b);
}

TEST(Helix, CompareIgnoresShadeAndHeader) {
    HELIX *a = quarter_helix(70);
    HELIX *b = quarter_helix(70);
    b->speed = a->speed;  // the one field a new helix still draws at random
    b->shade = 0;
    b->x = 9;
    EXPECT_EQ(helix_compare(a, b), 1);
    b->colour = 0;
    EXPECT_EQ(helix_compare(a, b), 0);
    b->colour = a->colour;
    b->frequency = 3;
    EXPECT_EQ(helix_compare(a, b), 0);
    EXPECT_EQ(helix_compare(a, nullptr), 0);
    helix_del(&a);
    helix_del(&b);
}

TEST(Helix, NullArgumentsChangeNothing) {
    HELIX *h = quarter_helix(512);
    IMG *img = grid_image(4, 4);
    helix_draw_columns(nullptr, img);
    helix_draw_rows(h, nullptr);
    helix_draw_bands(nullptr, img);
    helix_draw_bands_vertical(h, nullptr);
    helix_draw_bands_vertical_back(nullptr, img);
    helix_step(nullptr);
    helix_randomize(nullptr);
    helix_copy(h, nullptr);
    const uint32_t black[16] = {0};
    EXPECT_TRUE(grid_equals(img, 4, 4, black));
    helix_del(&h);
    helix_del(&h);
    EXPECT_EQ(h, nullptr);
    helix_del(nullptr);
    img_del(&img);
}
