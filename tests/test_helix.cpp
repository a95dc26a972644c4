// HELIX: the six random_next draws of a new helix (recorded), the step, the
// ribbon across columns and down rows, the band's back and front passes with
// their darkening and the transposed bands as pictures, copy and compare.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "effects/helix.h"
#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"

namespace {

// A quarter turn per pixel and a swing of 2: the edges go 0, +1, 0, -2 pixels.
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

// front, back, front darkened by 127, back darkened by 64.
const char *keys = "CSDB";
const std::vector<uint32_t> colours = {0xC08040, 0x604020, 0x410100, 0x200000};

}  // namespace

TEST(Helix, NewHelicesMatchTheirRecording) {
    Golden g("helix");
    for (uint32_t seed : {45429u, 3u, 0x31756A22u}) {
        random_srand(seed);
        Own<helix_del> h(helix_new());
        std::ostringstream s;
        s << h->phase << "," << h->speed << "," << h->frequency << "," << h->amplitude << "," << h->spread << ","
          << Golden::hex(h->colour) << "," << Golden::hex(h->shade) << " next " << random_rand();
        g.check("new" + std::to_string(seed), s.str());
    }
    random_srand(45429);  // by hand: the first random_next is 567497329
    Own<helix_del> h(helix_new());
    EXPECT_EQ(h->phase, 567497329 & 1023);
    EXPECT_EQ(h->shade, (h->colour & 0xFEFEFE) >> 1);
    const int32_t steps[][3] = {{1020, 10, 6}, {6, -10, 1020}, {0, 1024, 0}};
    for (const auto &s : steps) {
        h->phase = s[0];
        h->speed = s[1];
        helix_step(h);
        EXPECT_EQ(h->phase, s[2]) << s[0] << " + " << s[1];
    }
}

TEST(Helix, DrawsAsPictures) {
    using Draw = void (*)(const HELIX *, IMG *);
    struct Case { const char *name; Draw draw; int32_t spread, phase, amplitude, w, h; const char *want; } cases[] = {
        // c = 4. Column 0: y1 = y2, front. Column 1: y1 = 5 > y2 = 2, back from
        // 5 down 32 (clipped). Column 2: front. Column 3: y1 = 2, y2 = 5.
        {"columns", helix_draw_columns, 512, 0, 2, 4, 8, "....|....|...C|...C|C.CC|.S.C|.S..|.S.."},
        {"rows", helix_draw_rows, 512, 0, 2, 8, 4, "....C...|..SSSS..|....C...|..CCCC.."},
        // c = 3, x runs -1 .. 4: rising steps are front spans darkened by
        // |sin >> 8|, falling ones back spans darkened by |sin >> 9|, drawn first.
        {"bands", helix_draw_bands, 1, 0, 2, 4, 6, "....|.BCC|.BCC|DBCD|DS.D|...."},
        {"vertical", helix_draw_bands_vertical, 1, 0, 2, 6, 4, "...DD.|......|.CCC..|.CCDD."},
        {"vertical back", helix_draw_bands_vertical_back, 1, 0, 2, 6, 4, "...SS.|.BBBS.|.BBB..|......"},
        // Swings far outside the image are clipped; the front covers the back.
        {"far", helix_draw_bands, 3, 0, 1 << 15, 5, 5, "CCCCC|CCCCC|CDDDC|DDDDD|DDDDD"},
        {"stray phase", helix_draw_columns, 512, 2048, 2, 4, 8, "....|....|...C|...C|C.CC|.S.C|.S..|.S.."},
    };
    for (const Case &c : cases) {
        Own<helix_del> h(quarter_helix(c.spread));
        h->phase = c.phase;
        h->amplitude = c.amplitude;
        Own<img_del> img(grid_image(c.w, c.h));
        c.draw(h, img);
        EXPECT_TRUE(grid_equals(img, picture(c.want, keys, colours))) << c.name;
    }
    Own<helix_del> h(quarter_helix(512));
    h->phase = 256;  // column 0: y1 = c + 1 > y2 = c - 2; c = 30: back rows 31 .. 63
    Own<img_del> img(grid_image(1, 60));
    helix_draw_columns(h, img);
    for (int y = 0; y < 60; y++) EXPECT_EQ(img->pixels[y], y >= 31 ? 0x604020u : 0u) << y;
}

TEST(Helix, RibbonEdgesAreHalfATurnApartWithSpread512) {
    random_srand(77);
    Own<helix_del> h(helix_new());
    h->spread = 512;
    Own<img_del> img(grid_image(64, 256));
    helix_draw_columns(h, img);
    for (int x = 0; x < 64; x++) {  // each column: the front or a back of 33 pixels
        int front = 0, back = 0;
        for (int y = 0; y < 256; y++) {
            front += img->pixels[y * 64 + x] == h->colour;
            back += img->pixels[y * 64 + x] == h->shade;
        }
        EXPECT_TRUE(front > 0 ? back == 0 : back == 33) << "column " << x;
    }
}

TEST(Helix, CopyDupAndCompare) {
    Own<helix_del> a(quarter_helix(77)), b(helix_new());
    a->x = 1, a->y = 2, a->z = 3, a->width = 10, a->speed = 9;
    helix_copy(a, b);
    EXPECT_EQ(std::tuple(b->z, b->width, b->spread, b->speed, b->shade), std::tuple(3, 256, 77, 9, 0x604020u));
    EXPECT_EQ(helix_compare(a, b), 1);
    b->shade = 0;  // shade and header are not compared
    b->x = 9;
    EXPECT_EQ(helix_compare(a, b), 1);
    b->frequency = 3;
    EXPECT_EQ(helix_compare(a, b), 0);
    random_srand(3);
    Own<helix_del> d(helix_dup(a));  // draws its own six values, then takes the wave
    Lcg g{3};
    for (int i = 0; i < 6; i++) g.next30();
    EXPECT_EQ(random_rand(), g.next());
    EXPECT_EQ(d->x, 0);
    EXPECT_EQ(helix_compare(a, d), 1);
}

TEST(Helix, NullArgumentsChangeNothing) {
    Own<helix_del> h(quarter_helix(512));
    Own<img_del> img(grid_image(4, 4));
    for (auto draw : {helix_draw_columns, helix_draw_rows, helix_draw_bands, helix_draw_bands_vertical,
                      helix_draw_bands_vertical_back}) {
        draw(nullptr, img);
        draw(h, nullptr);
    }
    helix_step(nullptr);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(16, 0)));
    EXPECT_EQ(h->phase, 0);
}
