// Effects: RASTER steps, draws and smoothing; LRADIAL rings and LSTAR
// outlines; LRAIN wraps and drops; HELIX ribbons and bands; BACKMOVE tiles;
// ARCHPATH arcs and sprites. Random set-ups and long runs are checked against
// recordings in tests/data/<module>.txt, the rest against small hand pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "effects/archpath.h"
#include "effects/backmove.h"
#include "effects/helix.h"
#include "effects/lradial.h"
#include "effects/lrain.h"
#include "effects/lstar.h"
#include "effects/raster.h"
#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"
#include "text/font.h"

namespace {

// Fields joined by commas.
template <typename... T>
std::string rec(const T &...v) {
    std::ostringstream s;
    ((s << v << ","), ...);
    return s.str();
}

// The generator's next draw after `draws` 15-bit draws from `seed`.
int32_t after(uint32_t seed, int draws) {
    Lcg g{seed};
    for (int i = 0; i < draws; i++) g.next();
    return g.next();
}

constexpr int32_t px(int32_t p) { return p * 65536; }

}  // namespace

// The random draws of each set-up, per seed, recorded with the generator's
// next draw (one draw more or fewer shows).
TEST(Effects, SetUpsMatchTheirRecording) {
    const struct { const char *file; std::vector<uint32_t> seeds; std::function<std::string()> make; } setups[] = {
        {"lradial", {45429, 7, 0x31756A22}, [] {
             Own<lradial_del> r(lradial_new());
             return rec(r->spin, r->radius, Golden::hex((uint32_t)r->colour), r->x, r->y, r->lines, r->spacing);
         }},
        {"lstar", {1234, 0x31756A22}, [] {
             Own<lstar_del> s(lstar_new());
             LRADIAL *a = s->ring_a, *b = s->ring_b;
             return rec(a->spin, a->radius, Golden::hex((uint32_t)a->colour), a->angle, b->spin, b->radius, Golden::hex((uint32_t)b->colour), b->angle);
         }},
        {"helix", {45429, 3, 0x31756A22}, [] {
             Own<helix_del> h(helix_new());
             return rec(h->phase, h->speed, h->frequency, h->amplitude, h->spread, Golden::hex(h->colour), Golden::hex(h->shade));
         }},
    };
    for (auto &s : setups) {
        Golden g(s.file);
        for (uint32_t seed : s.seeds) {
            random_srand(seed);
            std::string made = s.make();
            g.check("new" + std::to_string(seed), made + " next " + std::to_string(random_rand()));
        }
    }
}

// ---- RASTER ------------------------------------------------------------------

namespace {

const uint32_t A = 0x0000AA, B = 0x00BB00, C = 0xCC0000, D = 0xDDDDDD;

RASTER *table(std::vector<uint32_t> colours) {
    RASTER *r = raster_new();
    raster_set_size(r, (int32_t)colours.size());
    std::copy(colours.begin(), colours.end(), r->colours);
    return r;
}

std::vector<uint32_t> colours_of(const RASTER *r) { return std::vector<uint32_t>(r->colours, r->colours + r->count); }

}  // namespace

TEST(Raster, NewSetSizeAndStepWrapsIntoTheTable) {
    random_srand(0);  // the first draw of seed 0 is 2531011 >> 16 = 38
    Own<raster_del> r(raster_new());
    EXPECT_EQ(std::make_tuple(r->speed, random_rand(), r->count), std::make_tuple(65536 + 38, after(0, 1), 256));
    r->position = 0x18000;
    raster_set_size(r, 3);
    for (int32_t n : {0, -3, 32768}) raster_set_size(r, n);  // 32768 would put the limit past 2^31
    EXPECT_EQ(std::make_tuple(r->count, r->position, r->speed), std::make_tuple(3, 0, 65536 + 38));
    // count (32767 the largest taken), position, speed -> position.
    const int32_t cases[][4] = {
        {4, 0, 0x18000, 0x18000}, {4, 0x30000, 0x18000, 0x8000}, {4, 0, -0x18000, 163840}, {4, 163840, -0x18000, 65536},
        {4, 0, -0x40000, 0x40000},  // a whole table back lands on the limit
        {1536, 767 * 0x20000, 0x20000, 0}, {4, 0x3FFFF, 1, 0},
        {32767, 2147418111, 0x7FFFFFFF, 65534},  // no overflow near the top
    };
    for (auto &c : cases) {
        Own<raster_del> r(raster_new());
        raster_set_size(r, c[0]);
        r->position = c[1], r->speed = c[2];
        raster_step(r);
        EXPECT_EQ(r->position, c[3]) << c[0] << " " << c[1] << " " << c[2];
    }
}
TEST(Raster, DrawsPaintWholeRowsOrColumnsFromThePosition) {
    const struct { int32_t position, w, h; std::function<void(RASTER *, IMG *)> draw; std::vector<uint32_t> before, want; } cases[] = {
        {0x18000, 2, 5, raster_draw_rows, {}, {B, B, C, C, D, D, A, A, B, B}},  // position 1.5: B, C, D, A, B
        {0x30000, 5, 2, raster_draw_columns, {}, {D, A, B, C, D, D, A, B, C, D}},
        {-0x10000, 1, 3, raster_draw_rows, {}, {D, A, B}},  // written below 0 by a caller: entry -1 is D
        {0x40000, 1, 2, raster_draw_rows, {}, {A, B}},
        // per channel (0x22 * 128 + 0xAA * 128) >> 8 = 0x66, and the same in green
        {0, 2, 2, [](RASTER *r, IMG *i) { raster_draw_rows_alpha(r, i, 128); }, {0x22, 0x22, 0x1100, 0x1100}, {0x66, 0x66, 0x6600, 0x6600}},
    };
    for (auto &c : cases) {
        Own<raster_del> r(table({A, B, C, D}));
        r->position = c.position;
        Own<img_del> img(c.before.empty() ? grid_filled(c.w, c.h, 0x123456) : grid_image(c.w, c.h, c.before));
        c.draw(r, img);
        EXPECT_TRUE(grid_equals(img, c.want)) << c.position;
    }
}

TEST(Raster, SmoothIsABoxBlurWithTheCentreTwice) {
    const struct { std::vector<uint32_t> in; int32_t radius; std::vector<uint32_t> want; } cases[] = {
        {{0, 0x000300, 0}, 1, {0x000100, 0x000100, 0}},   // index 2 wraps to 0 and reflects to 1
        {{0x804020, 0x0008FF}, 1, {0x40248F, 0x40248F}},  // each channel apart
        {{0xFFFFFF, 0, 0, 0, 0}, 2, {0x555555, 0x2A2A2A, 0x2A2A2A, 0x2A2A2A, 0x2A2A2A}},  // 2 reflects to 0
    };
    for (auto &c : cases) {
        Own<raster_del> r(table(c.in));
        raster_smooth(r, c.radius);
        for (int32_t bad : {0, -2}) raster_smooth(r, bad);
        EXPECT_EQ(colours_of(r), c.want);
    }
}

TEST(Raster, CompareCopyDupClearAndRefusals) {
    Own<raster_del> r(table({A, B, C, D})), other(raster_new());
    r->position = 0x10000, r->speed = 77;
    Own<raster_del> d(raster_dup(r));
    EXPECT_TRUE(raster_compare(r, d) && d->position == 0x10000 && d->speed == 77);
    d->colours[2] = 0, d->position = 0;  // position and speed are not content
    EXPECT_FALSE(raster_compare(r, d));
    raster_copy(r, d);
    other->speed = 5;
    raster_copy(r, other);  // counts differ: nothing copied
    EXPECT_TRUE(raster_compare(r, d) && other->speed == 5);
    raster_clear(r);
    EXPECT_EQ(colours_of(r), std::vector<uint32_t>(4, 0));
    Own<raster_del> loaded(raster_load(RIVO_SOURCE_DIR "/tests/data/lstar.txt"));  // opened, nothing read: a new raster
    EXPECT_TRUE(loaded && loaded->count == 256 && !raster_load(RIVO_SOURCE_DIR "/tests/none") && !raster_save(r, nullptr));
    IMG bare = {0, 0, 2, 2, nullptr};  // bad arguments change nothing
    raster_draw_rows(r, &bare), raster_draw_columns(r, &bare), raster_draw_rows_alpha(r, &bare, 10);
    Own<img_del> img(grid_filled(1, 1, 0x55));
    RASTER empty = {0, 0x10000, 0, nullptr};
    raster_step(&empty), raster_draw_rows(&empty, img), raster_smooth(&empty, 1);
    EXPECT_EQ(std::make_pair(empty.position, img->pixels[0]), std::make_pair(0, 0x55u));
}

// ---- LRADIAL and LSTAR -------------------------------------------------------

namespace {

const uint32_t RING = 0xC0FFEE, RA = 0xAAAAAA, RB = 0xBBBBBB;

LRADIAL *ring(int32_t cx, int32_t cy, int32_t radius, int32_t lines) {
    LRADIAL *r = lradial_new();
    r->x = cx, r->y = cy, r->radius = radius, r->colour = (int32_t)RING, r->angle = 0;
    lradial_set_lines(r, lines);
    return r;
}

// A star round (2, 2) whose rings both have radius 2 and two points, ring_b a
// quarter turn ahead: A0 (2, 4), B0 (4, 2), A1 (2, 0), B1 (0, 2), rounded down.
LSTAR *small_star() {
    LSTAR *s = lstar_new();
    s->x = s->y = 2;
    lradial_set_lines(s->ring_a, 2), lradial_set_lines(s->ring_b, 2);
    s->ring_a->angle = 0, s->ring_b->angle = 256 << 16;
    s->ring_a->radius = s->ring_b->radius = 2;
    s->ring_a->colour = (int32_t)RA, s->ring_b->colour = (int32_t)RB;
    return s;
}

}  // namespace

TEST(Lradial, PaletteSpacingStepAndPoints) {
    const uint32_t entries[][2] = {{0, 0x00FF00}, {1, 0x00FF01}, {255, 0x00FFFF}, {256, 0x00FFFF}, {511, 0x0000FF}, {512, 0x0000FF},
                                   {767, 0xFF00FF}, {768, 0xFF00FF}, {1023, 0xFF0000}, {1024, 0xFF0000}, {1279, 0xFFFF00},
                                   {1280, 0xFFFF00}, {1535, 0x00FF00}, {1536, 0}, {(uint32_t)-1, 0}};
    Own<lradial_del> r(lradial_new());  // builds the palette
    for (auto &e : entries) EXPECT_EQ(lradial_palette_colour((int32_t)e[0]), e[1]) << (int32_t)e[0];
    const int32_t lines[][2] = {{4, 256 << 16}, {0, 256 << 16}, {-3, 256 << 16}, {3, 22369621}, {1, 1024 << 16}};
    for (auto &l : lines) {
        lradial_set_lines(r, l[0]);
        EXPECT_EQ(r->spacing, l[1]) << l[0];
    }
    const int32_t steps[][3] = {{0x3FFFFFF - 5, 10, 4}, {4, -8, 0x3FFFFFC}, {0, 0x7FFFFFFF, 0x3FFFFFF}};
    for (auto &s : steps) {
        r->angle = s[0], r->spin = s[1];
        lradial_step(r);
        EXPECT_EQ(r->angle, s[2]) << s[0] << " + " << s[1];
    }
    // Radius 100 around (128, 128): +99.99 rounds down to +99, -99.99 to -100.
    const int32_t points[][3] = {{0, 128, 227}, {256, 227, 128}, {512, 128, 28}, {768, 28, 128}, {1024 + 256, 227, 128}};
    for (auto &p : points) {
        int32_t x, y;
        lradial_point(128, 128, p[0] << 16, 100, &x, &y);
        EXPECT_EQ(std::make_pair(x, y), std::make_pair(p[1], p[2])) << p[0];
    }
}

// Every draw of a ring and of a star as a 5 x 5 picture; drawing takes the
// image's size and turns nothing.
TEST(Lradial, DrawsAsPictures) {
    using Draw = void (*)(LRADIAL *, IMG *);
    const struct { const char *name; Draw draw; int32_t cx, cy, radius, lines; const char *want; } cases[] = {
        {"points", lradial_draw_points, 2, 2, 2, 4, "..#..|.....|#..#.|..#..|....."},
        {"clipped", lradial_draw_points, 1, 1, 2, 4, ".....|..#..|.#...|.....|....."},
        {"spokes", lradial_draw_spokes, 2, 2, 2, 4, "..#..|..#..|####.|..#..|....."},
        {"origin", lradial_draw_spokes_origin, 2, 2, 2, 4, ".#...|##...|..#..|.....|....."},
        {"thick", [](LRADIAL *r, IMG *i) { lradial_draw_spokes_thick(r, i, 3); }, 2, 2, 2, 1, ".....|.....|.###.|.###.|....."},
        {"thick 0", [](LRADIAL *r, IMG *i) { lradial_draw_spokes_thick(r, i, 0); }, 2, 2, 2, 1, ".....|.....|.....|.....|....."},
        // k = 2 runs palette[0] to palette[192] down to (2, 3); k = 1
        // palette[768] to palette[960] up to (2, 0), over the first's centre.
        {"dither", lradial_draw_spokes_dither, 2, 2, 2, 2, "..a..|..m..|..m..|..g..|....."},
    };
    for (auto &c : cases) {
        Own<img_del> img(grid_image(5, 5));
        Own<lradial_del> r(ring(c.cx, c.cy, c.radius, c.lines));
        c.draw(r, img);
        EXPECT_TRUE(grid_equals(img, picture(c.want, "#amg", {RING, 0xFF003F, 0xFF00FF, 0x00FFC0}))) << c.name;
        EXPECT_EQ(std::make_pair(r->width, r->angle), std::make_pair(5, 0)) << c.name;
    }
    using StarDraw = void (*)(LSTAR *, IMG *);
    const struct { const char *name; StarDraw draw; int32_t lines, radius_a, angle_b; const char *want; } stars[] = {
        // A0->B0 in A, A1->B0 in B; A1->B1 in A, A2 (= A0)->B1 in B.
        {"outline", lstar_draw, 2, 2, 256, "..a..|.a.b.|bb.b.|..b..|....."},
        // one point per ring, A (2, 4), B (2, 0): A A A B B up from row 4, then B B B A A down.
        {"dither", [](LSTAR *s, IMG *i) { lstar_draw_dither(s, i, 1); }, 1, 3, 512, "..b..|..b..|..b..|..a..|..a.."},
    };
    for (auto &c : stars) {
        Own<img_del> img(grid_image(5, 5));
        Own<lstar_del> s(small_star());
        s->ring_a->x = 100, s->ring_b->y = -40;  // the rings' own centres are not used
        lradial_set_lines(s->ring_a, c.lines), lradial_set_lines(s->ring_b, c.lines);
        s->ring_a->radius = c.radius_a, s->ring_b->angle = c.angle_b << 16;
        c.draw(s, img);
        EXPECT_TRUE(grid_equals(img, picture(c.want, "ab", {RA, RB}))) << c.name;
        EXPECT_EQ(std::tuple(s->width, s->height, s->ring_b->angle), std::tuple(5, 5, c.angle_b << 16));
    }
}

TEST(Lstar, SetPointsSyncAndStep) {
    Own<lstar_del> s(lstar_new());  // 8 points: spacing 128 entries, ring_b 64 ahead
    EXPECT_EQ(std::make_pair(s->ring_a->spacing, s->ring_b->angle), std::make_pair(128 << 16, 64 << 16));
    // ring_b's angle before, points -> after (a refused call keeps it).
    const int32_t cases[][3] = {{64 << 16, 8, 128 << 16}, {0x3FFFFFF, 3, (0x3FFFFFF + 11184810) & 0x3FFFFFF}, {5, 0, 5}, {5, -5, 5}, {0, 1, 512 << 16}};
    for (auto &c : cases) {
        s->ring_b->angle = c[0];
        lstar_set_points(s, c[1]);
        EXPECT_EQ(std::make_pair(s->ring_b->angle, s->ring_a->angle), std::make_pair(c[2], 0)) << c[1];
    }
    lstar_set_points(s, 16);  // spacing 64 entries
    s->ring_a->angle = 0x3FF0000, s->ring_a->spin = 0x12345, s->ring_b->spin = -7;
    lstar_sync(s);
    EXPECT_EQ(std::make_pair(s->ring_b->spin, s->ring_b->angle), std::make_pair(0x12345, (0x3FF0000 + (32 << 16)) & 0x3FFFFFF));
    for (int i = 0; i < 100; i++) lstar_step(s);  // turning together keeps the shape
    EXPECT_EQ(s->ring_a->angle, (0x3FF0000 + 100 * 0x12345) & 0x3FFFFFF);
    EXPECT_EQ((s->ring_b->angle - s->ring_a->angle) & 0x3FFFFFF, 32 << 16);
}

TEST(Lstar, BigStarsInThreePensMatchTheirRecording) {
    Golden g("lstar");
    random_srand(77);
    Own<lstar_del> s(lstar_new());
    lstar_set_points(s, 13);
    s->ring_a->radius = 100, s->ring_b->radius = 40;
    for (int k = 0; k < 14; k++) lstar_step(s);
    const std::pair<const char *, std::function<void(IMG *)>> pens[] = {
        {"plain2", [&](IMG *i) { lstar_draw(s, i); }}, {"thick2", [&](IMG *i) { lstar_draw_thick(s, i, 4); }},
        {"dither2", [&](IMG *i) { lstar_draw_dither(s, i, 5); }}};
    for (auto &[name, draw] : pens) {
        Own<img_del> img(grid_image(256, 256));
        draw(img);
        g.check(name, crc_of(img));
    }
}

TEST(Lradial, BadArgumentsDrawNothingAndTheEmptyOperations) {
    Own<img_del> img(grid_image(4, 4));
    Own<lradial_del> r(ring(2, 2, 1, 4));
    for (auto draw : {lradial_draw_points, lradial_draw_spokes, lradial_draw_spokes_origin, lradial_draw_spokes_dither}) draw(nullptr, img), draw(r, nullptr);
    lradial_draw_spokes_thick(r, nullptr, 2);
    Own<lstar_del> s(small_star());
    lstar_draw(nullptr, img), lstar_draw_thick(s, nullptr, 2), lstar_draw_dither(s, nullptr, 2);
    LRADIAL *kept = std::exchange(s->ring_b, nullptr);
    lstar_draw(s, img), lstar_step(s), lstar_sync(s), lstar_set_points(s, 4);
    s->ring_b = kept;
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(16, 0)));
    EXPECT_EQ(std::make_pair(r->width, s->ring_a->lines), std::make_pair(256, 2));  // no image, so no size was copied
    Own<lradial_del> d(lradial_dup(r));
    Own<lstar_del> ds(lstar_dup(s));
    lradial_copy(r, d);  // copies nothing: a fresh default ring
    EXPECT_TRUE(d->x == 128 && d->radius != 1 && ds->ring_a != s->ring_a);
    EXPECT_TRUE(!lradial_compare(r, r) && !lstar_compare(s, s) && !lradial_to_text(r) && !lstar_to_text(s));
}

// ---- LRAIN -------------------------------------------------------------------

namespace {

// A rain of the given drops (16.16).
LRAIN *rain_of(std::vector<int32_t> xy) {
    LRAIN *r = lrain_new();
    lrain_set_count(r, (int32_t)xy.size() / 2);
    std::copy(xy.begin(), xy.end(), r->drops);
    return r;
}

// A font of 2 x 2 cells on a 128 x 2 sheet: glyph k is a single pixel k + 1
// at its top-left corner (or fills its cell with k + 1).
FONT *marker_font(bool full) {
    FONT *font = font_new();
    font->cell_width = font->cell_height = 2;
    font->sheet = grid_image(128, 2);
    for (int k = 0; k < 64; k++)
        for (int j = 0; j < 2; j++)
            for (int i = 0; i < 2; i++)
                if (full || (i == 0 && j == 0)) font->sheet->pixels[j * 128 + 2 * k + i] = (uint32_t)(k + 1);
    return font;
}

}  // namespace

TEST(Lrain, ScattersMatchTheirRecordingAndRefusals) {
    Golden g("lrain");
    random_srand(45429);
    Own<lrain_del> r(lrain_new());
    EXPECT_EQ(std::make_pair(r->drops[30], r->drops[31]), std::make_pair(px(17318 % 256), px(21105 % 256)));  // drop 15 first, x before y
    for (uint32_t seed : {45429u, 2u}) {
        random_srand(seed);
        r->width = 10 + (int32_t)seed, r->height = 7;
        lrain_set_count(r, 5);
        std::ostringstream s;
        for (int i = 0; i < 10; i++) s << (r->drops[i] >> 16) << ",";
        g.check("scatter" + std::to_string(seed), s.str() + " next " + std::to_string(random_rand()));
    }
    std::vector<int32_t> before(r->drops, r->drops + 10);
    random_srand(11);
    for (int32_t n : {0, -1}) lrain_set_count(r, n);
    lrain_scatter(r, -1), lrain_scatter(r, 5);
    r->width = 0;
    lrain_scatter(r, 0), lrain_scatter_all(r);
    r->width = 256, r->height = -4;
    lrain_scatter_all(r);
    EXPECT_EQ(std::vector<int32_t>(r->drops, r->drops + 10), before);
    EXPECT_EQ(std::make_pair(r->count, random_rand()), std::make_pair(5, after(11, 0)));  // nothing was drawn
}

TEST(Lrain, StepWrapsADropOnceItIsOutByItsStreak) {
    // vx, vy, height, drop before -> drop after (x, y in 16.16).
    const struct { int32_t vx, vy, height, x, y, wx, wy; } cases[] = {
        // my = 2: 257 stays, 258 wraps to -1; the stored size counts until a draw.
        {0, 0x10000, 256, px(5), px(256), px(5), px(257)}, {0, 0x10000, 256, px(6), px(257), px(6), px(-1)}, {0, 0x10000, 10, 0, px(11), 0, px(-1)},
        // mx = 3: 257.5 stays, 259.0 goes back to 1 - 3, -8.5 to 256 + 3 - 1, -3.0 stays, -4.0 wraps.
        {0x18000, 0, 256, px(256), 0, px(257) + 0x8000, 0}, {0x18000, 0, 256, px(257) + 0x8000, 0, px(-2), 0},
        {0x18000, 0, 256, px(-10), 0, px(258), 0}, {0x18000, 0, 256, px(-5) + 0x8000, 0, px(-3), 0}, {0x18000, 0, 256, px(-6) + 0x8000, 0, px(258), 0},
        // upwards: my = -2, rows 2 .. 253 stay.
        {0, -0x10000, 256, 0, px(3), 0, px(2)}, {0, -0x10000, 256, 0, px(2), 0, px(253)}, {0, -0x10000, 256, 0, px(255), 0, px(3)},
    };
    for (auto &c : cases) {
        Own<lrain_del> r(rain_of({c.x, c.y}));
        r->vx = c.vx, r->vy = c.vy, r->height = c.height;
        lrain_step(r);
        EXPECT_EQ(std::make_pair(r->drops[0], r->drops[1]), std::make_pair(c.wx, c.wy)) << c.x / 65536.0 << "," << c.y / 65536.0;
    }
}

// Drops as points (clipped; -1 in 16.16 is pixel -1), streaks trailing two
// steps back (drawn last drop first), and glyphs chosen by height.
TEST(Lrain, PointsStreaksGlyphsAndRefusals) {
    const struct { const char *name; std::vector<int32_t> drops; int32_t vx, w, h; int font; void (*draw)(LRAIN *, IMG *); std::string want; } cases[] = {
        {"points", {px(1), px(0), px(3) + 0xFFFF, px(2), -1, px(1), px(4), px(1)}, 0, 4, 3, 0, lrain_draw_points, ".#..|....|...#"},
        {"streaks", {px(1), px(3), px(3), px(5)}, 0x8000, 5, 7, 0, lrain_draw_streaks, ".....|#....|#....|.##..|..#..|...#.|....."},
        {"down", {px(1), px(2)}, 0, 3, 4, 0, lrain_draw_streaks, ".#.|.#.|.#.|..."},
        // glyph 6 (70 mod 64) at (5 - 4, 70 - 4) drawn as 7.
        {"glyph", {px(5), px(70)}, 0, 3, 68, 1, lrain_draw_glyphs, std::string(66 * 3, '.') + ".7...."},
        {"later wins", {px(4), px(4), px(5), px(5)}, 0, 4, 4, 2, lrain_draw_glyphs, "55..|566.|.66.|...."},
        {"above", {px(4), px(-1)}, 0, 4, 4, 1, lrain_draw_glyphs, "....|....|....|...."},  // code -1: no glyph
    };
    Own<font_del> dot(marker_font(false)), full(marker_font(true));
    for (auto &c : cases) {
        Own<lrain_del> r(rain_of(c.drops));
        r->vx = c.vx, r->colour = 0x00AA00, r->font = c.font == 1 ? dot.get() : full.get();
        Own<img_del> img(grid_image(c.w, c.h));
        c.draw(r, img);
        EXPECT_TRUE(grid_equals(img, picture(c.want, "#567", {0x00AA00, 5, 6, 7}))) << c.name;
        EXPECT_EQ(std::make_pair(r->width, r->height), std::make_pair(c.w, c.h)) << c.name;
    }
    EXPECT_EQ(std::make_tuple(dot->code, dot->x, dot->y), std::make_tuple(-1, 2, -5));  // C remainder; the pen moves on from (0, -5)
    Own<lrain_del> r(rain_of({px(1), px(1)}));
    Own<img_del> img(grid_image(3, 3));
    lrain_draw_glyphs(r, img);  // no font
    EXPECT_EQ(r->width, 256);   // a refused draw does not take the size
    lrain_draw_points(r, nullptr);
    std::free(r->drops);
    r->drops = nullptr;
    lrain_draw_points(r, img), lrain_draw_streaks(r, img), lrain_step(r), lrain_scatter_all(r);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(9, 0)));
}

// ---- HELIX -------------------------------------------------------------------

namespace {

// A quarter turn per pixel and a swing of 2: the edges go 0, +1, 0, -2 pixels.
HELIX *quarter_helix(int32_t spread) {
    HELIX *h = helix_new();
    h->phase = 0, h->frequency = 256, h->amplitude = 2, h->spread = spread, h->colour = 0xC08040, h->shade = 0x604020;
    return h;
}

}  // namespace

TEST(Helix, StepCopyDupCompareAndRefusals) {
    Own<helix_del> h(helix_new());
    const int32_t steps[][3] = {{1020, 10, 6}, {6, -10, 1020}, {0, 1024, 0}, {500, 20, 520}};
    for (auto &s : steps) {
        h->phase = s[0], h->speed = s[1];
        helix_step(h);
        EXPECT_EQ(h->phase, s[2]) << s[0] << " + " << s[1];
    }
    Own<helix_del> a(quarter_helix(77)), b(helix_new());
    a->x = 1, a->y = 2, a->z = 3, a->width = 10, a->speed = 9;
    helix_copy(a, b);
    b->shade = 0, b->x = 9;  // shade and header are not compared
    EXPECT_EQ(std::tuple(b->z, b->width, b->spread, b->speed, helix_compare(a, b)), std::tuple(3, 256, 77, 9, 1));
    b->frequency = 3;
    EXPECT_EQ(helix_compare(a, b), 0);
    random_srand(3);
    Own<helix_del> d(helix_dup(a));  // draws its own six values, then takes the wave
    EXPECT_EQ(std::make_tuple(random_rand(), d->x, helix_compare(a, d)), std::make_tuple(after(3, 12), 0, 1));
    Own<img_del> img(grid_image(4, 4));
    for (auto draw : {helix_draw_columns, helix_draw_rows, helix_draw_bands, helix_draw_bands_vertical, helix_draw_bands_vertical_back})
        draw(nullptr, img), draw(a, nullptr);
    helix_step(nullptr);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(16, 0)));
}

TEST(Helix, DrawsAsPictures) {
    using Draw = void (*)(const HELIX *, IMG *);
    const struct { const char *name; Draw draw; int32_t spread, phase, amplitude, w, h; const char *want; } cases[] = {
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
        // column 0: y1 = c + 1 > y2 = c - 2; c = 30: the back fills rows 31 .. 59 of 60.
        {"long back", helix_draw_columns, 512, 256, 2, 1, 60, "..............................." "SSSSSSSSSSSSSSSSSSSSSSSSSSSSS"},
    };
    for (auto &c : cases) {
        Own<helix_del> h(quarter_helix(c.spread));
        h->phase = c.phase, h->amplitude = c.amplitude;
        Own<img_del> img(grid_image(c.w, c.h));
        c.draw(h, img);
        EXPECT_TRUE(grid_equals(img, picture(c.want, "CSDB", {0xC08040, 0x604020, 0x410100, 0x200000}))) << c.name;
    }
}

// A band across a side of INT32_MIN (a record set by hand) has no line to
// draw on; the last line's index lies below the 32-bit range.
TEST(Helix, BandsAcrossNoLinesDrawNothing) {
    Own<helix_del> h(quarter_helix(1));
    Own<img_del> img(grid_image(4, 4));
    for (auto draw : {helix_draw_bands, helix_draw_bands_vertical, helix_draw_bands_vertical_back}) {
        for (int side = 0; side < 2; side++) {
            (side ? img->width : img->height) = INT32_MIN;
            draw(h, img);
            img->width = img->height = 4;
        }
    }
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(16, 0)));
}

// Empty images whose other side is two thousand million lines long (they
// have a pixel block, but no pixel): helix, raster and moving background
// return at once instead of walking every line.
TEST(EmptyImages, EffectsReturnAtOnce) {
    Own<helix_del> h(quarter_helix(64));
    Own<raster_del> r(raster_new());
    raster_set_size(r, 4);
    Own<backmove_del> b(backmove_new());
    Own<img_del> tile(grid_filled(2, 2, 7));
    for (auto [w, h2] : {std::pair{0, INT32_MAX}, {INT32_MAX, 0}}) {
        Own<img_del> empty(img_new());
        img_resize(empty, w, h2);
        ASSERT_NE(empty->pixels, nullptr);
        for (auto draw : {helix_draw_columns, helix_draw_rows, helix_draw_bands, helix_draw_bands_vertical, helix_draw_bands_vertical_back})
            draw(h, empty);
        raster_draw_rows(r, empty), raster_draw_rows_alpha(r, empty, 128), raster_draw_columns(r, empty);
        b->tile = tile, b->target = empty, b->tile_width = b->tile_height = 2;
        backmove_draw(b);
        b->tile = empty, b->target = tile;
        backmove_draw(b);
        EXPECT_EQ(std::make_pair(empty->width, empty->height), std::make_pair(w, h2));
    }
    EXPECT_TRUE(grid_equals(tile, std::vector<uint32_t>(4, 7)));
}

// ---- BACKMOVE ----------------------------------------------------------------

namespace {

struct Tiles {
    Own<img_del> tile{grid_image(16, 16)}, target{grid_image(32, 32)};
    Own<backmove_del> b{backmove_new()};
    Tiles() { b->tile = tile, b->target = target; }
};

}  // namespace

TEST(Backmove, NewDrawsDxFirstAndStepsWrapTheOffset) {
    random_srand(45429);  // draws 17318 and 21105
    Own<backmove_del> n(backmove_new());
    EXPECT_EQ(std::make_tuple(n->dx, n->dy, n->tile_width, n->tile_height), std::make_tuple(17318 % 9 - 4, 21105 % 9 - 4, 16, 16));
    // offset x, dx, offset y, dy -> offset x, offset y (repeat 16).
    const int32_t cases[][6] = {{-15, 4, -2, 4, -11, -14}, {-14, -4, 0, 0, -2, 0}, {-4, 4, -15, -1, 0, 0}, {0, -1, -1, 1, -1, 0}};
    for (auto &c : cases) {
        Tiles r;
        r.b->offset_x = c[0], r.b->dx = c[1], r.b->offset_y = c[2], r.b->dy = c[3];
        random_srand(1);  // the first draws (41, 18467) are not multiples of 256
        backmove_step(r.b);
        EXPECT_EQ(std::make_tuple(r.b->offset_x, r.b->offset_y, r.b->dx, r.b->dy), std::make_tuple(c[4], c[5], c[1], c[3])) << c[0] << " " << c[2];
    }
}

TEST(Backmove, VelocityChangesMatchTheirRecording) {
    Golden g("backmove");
    Tiles r;
    random_srand(5);
    std::ostringstream changes;
    int32_t dx = r.b->dx = 9, dy = r.b->dy = 9;
    for (int32_t step = 0; step < 3000; step++) {
        backmove_step(r.b);
        if (r.b->dx != dx || r.b->dy != dy) changes << step << ":" << r.b->dx << "," << r.b->dy << " ";
        dx = r.b->dx, dy = r.b->dy;
        EXPECT_TRUE(dx == 9 || (dx >= -3 && dx <= 4)) << dx;
    }
    g.check("changes5", changes.str() + "next " + std::to_string(random_rand()));
}

// Tiles from the offset, black skipped; a repeat larger than the tile leaves
// gaps; a larger tile raises the repeat on the first draw, and it never shrinks.
TEST(Backmove, DrawTilesFromTheOffset) {
    Tiles r;
    Own<img_del> small(grid_image(2, 2, {0x11, 0x00, 0x21, 0x22})), dot(grid_filled(1, 1, 0x44)), frame(grid_filled(5, 3, 0x99));
    r.b->tile = small, r.b->target = frame, r.b->tile_width = r.b->tile_height = 2, r.b->offset_x = -1;
    backmove_draw(r.b);
    const std::vector<uint32_t> tiled = {0x99, 0x11, 0x99, 0x11, 0x99, 0x22, 0x21, 0x22, 0x21, 0x22, 0x99, 0x11, 0x99, 0x11, 0x99};
    EXPECT_TRUE(grid_equals(frame, tiled));
    EXPECT_EQ(std::make_pair(small->x, small->y), std::make_pair(3, 2));  // left at the last place
    // An offset a thousand million tiles off draws the same in a few steps.
    img_clear(frame, 0x99);
    r.b->offset_x = INT32_MIN + 1, r.b->offset_y = INT32_MIN;
    backmove_draw(r.b);
    EXPECT_TRUE(grid_equals(frame, tiled));
    EXPECT_EQ(std::make_pair(small->x, small->y), std::make_pair(3, 2));
    img_clear(frame, 0);
    r.b->tile = dot, r.b->offset_x = 0;
    backmove_draw(r.b);
    EXPECT_TRUE(grid_equals(frame, {0x44, 0, 0x44, 0, 0x44, 0, 0, 0, 0, 0, 0x44, 0, 0x44, 0, 0x44}));
    Tiles big;
    img_resize(big.tile, 20, 18);
    backmove_draw(big.b);
    img_resize(big.tile, 4, 4);
    backmove_draw(big.b);
    EXPECT_EQ(std::make_pair(big.b->tile_width, big.b->tile_height), std::make_pair(20, 18));
}

TEST(Backmove, RefusalsCopyCompareAndDup) {
    Tiles r;
    r.b->offset_x = -3, r.b->dx = 1;
    random_srand(5);
    r.b->tile = nullptr;
    backmove_step(r.b), backmove_draw(r.b);
    r.b->tile = r.tile, r.b->target = nullptr;
    backmove_step(r.b);
    r.b->target = r.target;
    img_resize(r.tile, 0, 0);  // no repeat distance: refused, not looped on
    r.b->tile_width = r.b->tile_height = 0;
    backmove_draw(r.b), backmove_step(r.b);
    EXPECT_EQ(std::make_pair(r.b->offset_x, random_rand()), std::make_pair(-3, after(5, 0)));  // the refused steps drew nothing
    r.b->tile_width = r.b->tile_height = 16;
    Own<backmove_del> c(backmove_new());
    c->z = 1, c->depth = 2;
    backmove_copy(r.b, c);  // all but z and depth, which compare sees
    EXPECT_EQ(std::tuple(c->offset_x, c->dx, c->tile_width, c->target, backmove_compare(r.b, c)), std::tuple(-3, 1, 16, r.target.get(), 0));
    c->z = 0, c->depth = 256, c->tile_height = 17;
    EXPECT_FALSE(backmove_compare(r.b, c));
    random_srand(77);
    Own<backmove_del> d(backmove_dup(r.b));
    EXPECT_EQ(std::make_pair(random_rand(), backmove_compare(r.b, d)), std::make_pair(after(77, 2), 1));
}

// ---- ARCHPATH ----------------------------------------------------------------

namespace {

// A path at a known place: centre (100, 100), radius 20.
ARCHPATH *known_path(int32_t angle, int32_t turn, int32_t length, int32_t frame) {
    ARCHPATH *a = archpath_new();
    a->x = a->y = 100, a->radius = 20, a->angle = angle, a->turn = turn, a->arc_length = length, a->arc_frame = frame;
    return a;
}

std::string record_of(const ARCHPATH *a) {
    return rec(a->x, a->y, a->angle, a->turn, a->radius, a->arc_length, a->arc_frame) + Golden::hex(a->colour);
}

// A path whose point P sits at (px, py) in an area of the given size, with a
// sprite_b of w x h pixels of value 1.
ARCHPATH *path_at(int32_t px, int32_t py, int32_t area, int32_t w, int32_t h) {
    ARCHPATH *a = known_path(256, 1, 10, 0);  // P = (x + 19, y)
    a->x = px - 19, a->y = py, a->width = a->height = area;
    img_resize(a->sprite_b, w, h);
    img_clear(a->sprite_b, 1);
    return a;
}

}  // namespace

TEST(Archpath, CreationAndStepVariantsMatchTheirRecording) {
    Golden g("archpath");
    void (*variants[])(ARCHPATH *) = {archpath_step, archpath_step_vary, archpath_step_vary_long, archpath_step_loop};
    for (uint32_t seed : {4242u, 0x31756A22u}) {
        random_srand(seed);
        Own<archpath_del> a(archpath_new());
        g.check("new" + std::to_string(seed), record_of(a));
        for (int v = 0; v < 4; v++) {
            for (int i = 0; i < 700; i++) variants[v](a);
            g.check("variant" + std::to_string(v) + "_" + std::to_string(seed), record_of(a));
        }
        g.check("next" + std::to_string(seed), std::to_string(random_rand()));
    }
    random_srand(4242);  // randomize sets every field as a new path does
    Own<archpath_del> a(archpath_new()), b(known_path(0, 0, 0, 0));
    b->width = 100;
    random_srand(4242);
    archpath_randomize(b);
    EXPECT_TRUE(archpath_compare(a, b));
}

// angle -> P for centre (100, 100) and radius 20 (the peak 32766 rounds down);
// the point is plotted wrapped into the area.
TEST(Archpath, PointLiesOnTheCircleAndPlotsWrapped) {
    const int32_t cases[][3] = {{0, 100, 119}, {256, 119, 100}, {512, 100, 80}, {768, 80, 100}, {768 + 1024, 80, 100}};
    Own<archpath_del> a(known_path(0, 1, 10, 0));
    for (auto &c : cases) {
        a->angle = c[0];
        int32_t x, y;
        ASSERT_TRUE(archpath_point(a, &x, &y));
        EXPECT_EQ(std::make_pair(x, y), std::make_pair(c[1], c[2])) << c[0];
    }
    a->angle = 0, a->x = -3, a->y = 260 - 19, a->colour = 0xABCDEF;  // P = (-3, 260)
    Own<img_del> frame(grid_image(256, 256));
    archpath_draw_point(a, frame);
    EXPECT_EQ(img_get_pixel(frame, 253, 4), 0xABCDEFu);
}

TEST(Archpath, ArcEndsKeepThePointAndWrapTheCentre) {
    // angle, turn, length, frame, y before -> x, y, angle, turn, frame after.
    const int32_t cases[][10] = {
        {1020, 3, 10, 0, 100, 100, 100, 1023, 3, 1}, {1023, 3, 10, 0, 100, 100, 100, 2, 3, 1},  // within the arc: only turns
        {1023, 1, 5, 4, 100, 100, 139, 512, -1, 0}, {1023, 1, 1, 0, 250, 100, 289 - 256, 512, -1, 0},  // 32766 * 40 >> 15 = 39 down
        {767, 1, 1, 0, 100, 100 - 40, 100, 256, -1, 0},
    };
    for (auto &c : cases) {
        Own<archpath_del> a(known_path((c[0] + c[1]) & 1023, c[1], c[2], c[3]));
        a->y = c[4];
        int32_t px0, py0, px, py;
        archpath_point(a, &px0, &py0);  // the point after the turn
        a->angle = c[0];
        random_srand(3);
        archpath_step(a);
        archpath_point(a, &px, &py);
        EXPECT_EQ(std::vector<int32_t>({a->x, a->y, a->angle, a->turn, a->arc_frame}), std::vector<int32_t>(c + 5, c + 10)) << c[0];
        // The point stays, up to the table's rounding (and the area's wrap).
        EXPECT_TRUE(std::abs((px - px0 + 384) % 256 - 128) <= 1 && std::abs((py - py0 + 384) % 256 - 128) <= 1) << c[0];
        EXPECT_EQ(random_rand(), after(3, 0));  // the plain step draws nothing
    }
}

TEST(Archpath, VariantsDrawRadiusThenLengthWithTheOldTurn) {
    // variant, turn -> radius, length, turn from the seed's first two draws (r1, r2).
    const int32_t r1 = after(11, 0), r2 = after(11, 1);
    const struct { void (*step)(ARCHPATH *); int32_t turn, radius, length, new_turn; } cases[] = {
        {archpath_step_vary, -3, (r1 & 31) + 16, ((r2 & 1023) + 256) / 3, 3},
        {archpath_step_vary, 0, (r1 & 31) + 16, (r2 & 1023) + 256, 0},  // standing still: a finite arc
        {archpath_step_vary_long, 2, (r1 & 15) + 8, ((r2 & 2047) + 2048) / 2, -2},
        {archpath_step_loop, -4, (r1 & 15) + 8, (r2 % 768 + 256) / 4, -4},
    };
    for (auto &c : cases) {
        Own<archpath_del> a(known_path(1023, c.turn, 1, 0));
        random_srand(11);
        c.step(a);
        EXPECT_EQ(std::make_tuple(a->radius, a->arc_length, a->turn), std::make_tuple(c.radius, c.length, c.new_turn)) << c.turn;
    }
}

// Sprite b added at P and at its wrapped places (P, area, size -> the pixels
// of value 1 in a 16 x 16 frame, and where the sprite is left).
TEST(Archpath, SpriteBIsAddedAtItsWrappedPlaces) {
    const struct { int32_t px, py, area, w, h; void (*draw)(ARCHPATH *, IMG *); std::vector<std::pair<int, int>> lit; int32_t sx, sy; } cases[] = {
        {14, 1, 16, 4, 2, archpath_draw_b, {{14, 1}, {15, 1}, {0, 1}, {1, 1}, {14, 2}, {15, 2}, {0, 2}, {1, 2}}, 14, 1},  // again at -2
        {-1, -1, 16, 2, 2, archpath_draw_b, {{0, 0}, {15, 0}, {15, 15}}, -1, -1},  // a corner: three copies, not four
        {3, 4, 256, 1, 1, archpath_draw_b, {{3, 4}}, 3, 4},
        {3, 4, 256, 1, 1, archpath_draw_b_mirrored, {{3, 4}, {13, 4}, {13, 12}, {3, 12}}, 3, 12},
    };
    for (auto &c : cases) {
        Own<archpath_del> a(path_at(c.px, c.py, c.area, c.w, c.h));
        Own<img_del> frame(grid_image(16, 16));
        c.draw(a, frame);
        std::vector<uint32_t> want(256, 0);
        for (auto [x, y] : c.lit) want[y * 16 + x] = 1;
        EXPECT_TRUE(grid_equals(frame, want)) << c.px << "," << c.py;
        EXPECT_EQ(std::make_pair(a->sprite_b->x, a->sprite_b->y), std::make_pair(c.sx, c.sy));
    }
}

TEST(Archpath, SprinkledDrawsMatchTheirRecording) {
    Golden g("archpath");
    Own<archpath_del> s(path_at(250, 3, 256, 0, 0));
    img_resize(s->sprite_a, 20, 6);
    for (int32_t i = 0; i < 120; i++) s->sprite_a->pixels[i] = 0x1000 + (uint32_t)i;
    Own<img_del> wide(grid_image(256, 16));
    random_srand(22);
    archpath_draw_a(s, wide);
    EXPECT_EQ(std::make_pair(s->sprite_a->x, s->sprite_a->y), std::make_pair(-6, 3));  // the last place drawn
    g.check("sprinkled", crc_of(wide));
    archpath_draw_a_mirrored(s, wide);
    EXPECT_EQ(std::make_pair(s->sprite_a->x, s->sprite_a->y), std::make_pair(-6, 13));  // (250, 16 - 3) wrapped
    g.check("sprinkled_mirrored", crc_of(wide));
    g.check("sprinkled_next", std::to_string(random_rand()));
}

TEST(Archpath, DrawsNeedTheirSpriteAndDupOwnsItsOwn) {
    Own<archpath_del> a(path_at(5, 5, 16, 1, 1));
    Own<img_del> frame(grid_image(16, 16));
    img_del(&a->sprite_b), img_del(&a->sprite_a);
    for (auto draw : {archpath_draw_a, archpath_draw_b, archpath_draw_a_mirrored, archpath_draw_b_mirrored}) draw(a, frame);
    archpath_draw_b(a, nullptr);
    EXPECT_TRUE(grid_equals(frame, std::vector<uint32_t>(256, 0)));
    random_srand(31);
    Own<archpath_del> p(archpath_new());
    img_set_pixel(p->sprite_a, 1, 1, 0x123456);
    Own<archpath_del> d(archpath_dup(p));
    EXPECT_TRUE(archpath_compare(p, d) && d->sprite_a != p->sprite_a);
    img_set_pixel(d->sprite_a, 1, 1, 0);  // the sprites' pixels are compared
    EXPECT_FALSE(archpath_compare(p, d));
    d->radius++;
    EXPECT_FALSE(archpath_compare(p, d));
    archpath_copy(p, d);
    EXPECT_TRUE(archpath_compare(p, d));
}
