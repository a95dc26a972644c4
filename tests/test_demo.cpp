// The demo program in-process on the headless backend: the palette and
// resources, the flash chance and status overlay, the present step (fade,
// white, glow, blur) and the key commands as tables,
// the mosaic sizes and the benchmark count (the font tint's drift is held by
// the whole-run hashes, scene 1 tinting the font every later scene uses). Start-up
// runs once for the whole program; each test puts back what it changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "bench/reference_scenes.h"
#include "demo/demo.h"
#include "demo/resources.h"
#include "demo/scenes.h"
#include "effects/raster.h"
#include "platform/backend.h"
#include "platform/options.h"
#include "platform/outputs.h"
#include "app/cli.h"
#include "host/fps.h"
#include "host/random.h"
#include "host/simd.h"
#include "host/winkbd.h"
#include "imaging/imgfx.h"
#include "tests/test_support.h"
#include "text/font.h"

namespace {

// The shown frame's pixel (x, y) as 0x00RRGGBB.
uint32_t shown(int32_t x, int32_t y) {
    int32_t w = 0, h = 0;
    return outputs_last_frame(&w, &h)[y * w + x] & 0xFFFFFFu;
}

// The present flags, put back when the test ends.
struct SavedFlags {
    int32_t fade = demo_fade, white = demo_white, glow = demo_glow_on, blur = demo_blur_on;
    int32_t status = demo_status_on, bench = demo_bench_text, muted = demo_muted;
    uint32_t fade_colour = demo_fade_colour;
    ~SavedFlags() {
        demo_fade = fade, demo_white = white, demo_glow_on = glow, demo_blur_on = blur;
        demo_status_on = status, demo_bench_text = bench, demo_muted = muted, demo_fade_colour = fade_colour;
    }
};

// Types a character straight into the key buffer and runs one handler round.
void press(int32_t c) {
    demo_keyboard->keys[0] = (uint8_t)c;
    demo_key_handler(demo_keyboard);
    EXPECT_EQ(demo_keyboard->keys[0], 0) << "the handler clears the key";
}

}  // namespace

class Demo : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static bool started = false;
        if (started) return;
        started = true;
        RUN_OPTIONS cli;
        std::memset(&cli, 0, sizeof cli);
        cli.headless = 1;
        ASSERT_EQ(backend_start(&cli), RUN_OK);
        demo_start();
    }
};

// The palette is a closed rainbow.
TEST_F(Demo, Palette) {
    const int32_t colours[][2] = {{0, 0x00FF00},    {255, 0x00FFFF},  {511, 0x0000FF},  {768, 0xFF00FF},
                                  {1024, 0xFF0000}, {1280, 0xFFFF00}, {1535, 0x00FF00}, {1536 + 768, 0xFF00FF},
                                  {-1, 0x00FF00},   {-768, 0xFF00FF}};
    for (const auto &c : colours) EXPECT_EQ(demo_colour(c[0]), (uint32_t)c[1]) << c[0];
}

// The title, logo steps, mesh and scenes are covered frame by frame by the
// whole-run hashes (test_demo_run, which also turns the status overlay on);
// these are the switches a plain run leaves off.
TEST_F(Demo, PresentShowsTheFrameThenFadesOrClearsIt) {
    SavedFlags saved;
    // fade, white, glow, blur, pixel at (100, 50) -> shown at x = 97..103, frame after at (100, 50).
    struct Case { int32_t fade, white, glow, blur; uint32_t pixel; std::vector<uint32_t> shown; uint32_t after; } cases[] = {
        {1, 0, 0, 0, 0x808080, {0, 0, 0, 0x808080, 0, 0, 0}, 0x7F7F7F},
        {1, 0, 0, 0, 0x000001, {0, 0, 0, 1, 0, 0, 0}, 0},  // the fade stops at 0
        {0, 0, 0, 0, 0x123456, {0, 0, 0, 0x123456, 0, 0, 0}, 0},
        {0, 1, 0, 0, 0x123456, {0, 0, 0, 0x123456, 0, 0, 0}, 0xFFFFFF},
        // Glow: neighbours 1 and 2 away get 0x80 >> 3 per channel.
        {0, 0, 1, 0, 0x808080, {0, 0x101010, 0x101010, 0x808080, 0x101010, 0x101010, 0}, 0},
        // Blur: radius 2, every pixel within two columns shows 0xA0 / 5.
        {0, 0, 0, 1, 0xA0A0A0, {0, 0x202020, 0x202020, 0x202020, 0x202020, 0x202020, 0}, 0},
    };
    for (const Case &c : cases) {
        demo_fade = c.fade, demo_white = c.white, demo_glow_on = c.glow, demo_blur_on = c.blur;
        demo_fade_colour = 0x010101;
        img_clear(demo_frame, 0);
        img_set_pixel(demo_frame, 100, 50, c.pixel);
        demo_present();
        for (int32_t x = 97; x <= 103; x++) EXPECT_EQ(shown(x, 50), c.shown[x - 97]) << c.pixel << " at " << x;
        EXPECT_EQ(shown(100, 49), 0u);  // nothing spreads across rows
        EXPECT_EQ(img_get_pixel(demo_frame, 100, 50), c.after) << c.pixel;
        EXPECT_EQ(img_get_pixel(demo_frame, 255, 255), c.white ? 0xFFFFFFu : 0u);
    }
}

TEST_F(Demo, KeysToggleTheirFlags) {
    SavedFlags saved;
    struct Case { char key; int32_t *flag; } cases[] = {
        {'G', &demo_glow_on}, {'B', &demo_blur_on},   {'F', &demo_fade},  {'W', &demo_white},
        {'8', &demo_status_on}, {'S', &demo_bench_text}, {'O', &demo_muted},
    };
    for (const Case &c : cases) {
        int32_t before = *c.flag;
        press(c.key);
        EXPECT_EQ(*c.flag, !before) << c.key;
        press(c.key);
        EXPECT_EQ(*c.flag, before) << c.key;
    }
    press('5');
    EXPECT_EQ(demo_timer->target, 25);
    press('6');
    EXPECT_EQ(demo_timer->target, 50);
    press('Q');
    press('b');  // only the upper-case characters are commands
    EXPECT_EQ(demo_blur_on, saved.blur);
    EXPECT_EQ(demo_skip, 0);
    press(' ');
    EXPECT_EQ(demo_skip, 1);
    demo_skip = 0;
}

TEST_F(Demo, EscapeFadesAndExitsWithZero) { EXPECT_EXIT(press(27), testing::ExitedWithCode(0), ""); }

TEST(DemoScenes, MosaicBlockAndBenchmarkCount) {
    const int32_t blocks[][2] = {{0, 64}, {3, 64}, {4, 63}, {128, 32}, {251, 2}, {252, 1}, {255, 1}, {256, 0}, {899, 0}};
    for (const auto &b : blocks) EXPECT_EQ(demo_mosaic_block(b[0]), b[1]) << b[0];
    // count, sleep -> count: one more with time to spare, one less without, never below 0.
    const int32_t adapts[][3] = {{5, 13, 6}, {5, 1, 6}, {5, 0, 4}, {5, -20, 4}, {0, 0, 0}, {0, -1, 0}, {0, 19, 1}, {1, 0, 0}};
    for (const auto &a : adapts) EXPECT_EQ(demo_bench_adapt(a[0], a[1]), a[2]) << a[0] << " " << a[1];
}

// ---- Scene drawing against the straightforward versions in bench/reference_scenes.cpp

// w x h, one pixel in four transparent (0), the rest any colour.
static IMG *random_picture(Lcg &g, int32_t w, int32_t h) {
    IMG *p = grid_image(w, h);
    for (int32_t i = 0; i < w * h; i++) p->pixels[i] = (g.next() & 3) ? (uint32_t)g.next30() & 0xFFFFFF : 0;
    return p;
}

// Lines whose ends are both inside draw the same points without the clip (the
// mesh's lines); scene 4's averaging blit and one-pass letter step (both
// modes) at positions clipped on every side, and its centred mosaic for every
// block size.
TEST(DemoScenes, UnclippedLinesAveragingBlitAndCentredMosaicMatchTheirPlainVersions) {
    Own<img_del> a(grid_image(64, 64)), b(grid_image(64, 64));
    Lcg g{21};
    for (int n = 0; n < 20000; n++) {
        int32_t x0 = g.next() & 63, y0 = g.next() & 63, x1 = g.next() & 63, y1 = g.next() & 63;
        if (n % 2) x1 = std::clamp(x0 + (x1 & 7) - 3, 0, 63);
        img_line(a, x0, y0, x1, y1, (uint32_t)n + 1);
        img_line_unclipped(b, x0, y0, x1, y1, (uint32_t)n + 1);
        ASSERT_TRUE(img_compare(a, b)) << x0 << "," << y0 << " " << x1 << "," << y1;
    }
    Own<img_del> letter(random_picture(g, 40, 60));
    Own<raster_del> plasma(raster_new());
    raster_set_size(plasma, 7);  // rows wrap round the table, from a position past its start
    for (int32_t e = 0; e < 7; e++) plasma->colours[e] = (uint32_t)g.next30() & 0xFFFFFF;
    plasma->position = 3 << 16;
    for (int32_t y : {-70, -59, -3, 0, 17, 190, 199, 250})
        for (int32_t x : {-50, -39, -1, 0, 5, 216, 255, 300}) {
            Own<img_del> c(random_picture(g, 256, 256)), d(img_dup(c));
            letter->x = x, letter->y = y;
            imgfx_draw_blend(letter, c);
            reference_draw_blend(letter, d);
            ASSERT_TRUE(img_compare(c, d)) << x << "," << y;
            for (int level = SIMD_PLAIN; level <= simd_best(); level++)  // every instruction set, both modes
                for (int blend : {0, 1}) {
                    simd_limit((simd_level)level);
                    demo_letters_draw(letter, plasma, c, x, y, blend);
                    reference_letters_draw(letter, plasma, d, x, y, blend);
                    ASSERT_TRUE(img_compare(c, d)) << x << "," << y << " blend " << blend << " level " << level;
                }
            simd_limit(SIMD_AVX512);
        }
    for (int32_t size = 1; size <= 64; size++) {
        Own<img_del> c(random_picture(g, 256, 256)), d(img_dup(c));
        imgfx_pixelate_average_centred(c, size, size);
        reference_pixelate_average_centred(d, size, size);
        ASSERT_TRUE(img_compare(c, d)) << size;
    }
    Own<img_del> wide(random_picture(g, 700, 3));  // bright blocks with rows over 256 pixels
    for (int32_t i = 0; i < 700 * 3; i++) wide->pixels[i] |= 0xC0C0C0;
    Own<img_del> wide_plain(img_dup(wide));
    imgfx_pixelate_average_centred(wide, 700, 3), reference_pixelate_average_centred(wide_plain, 700, 3);
    EXPECT_TRUE(img_compare(wide, wide_plain));
}

// Scene 2's mesh from a plain grid against the mesh kept as an OBJ2D and drawn
// through obj2d_draw, frame by frame over two runs.
TEST_F(Demo, WaveMeshMatchesTheObjectDrawnMeshOverTwoRuns) {
    SavedFlags saved;
    demo_status_on = 0;  // the overlay's colour is whatever the logo step set last
    for (uint32_t seed : {0x1234u, 0xBEEFu}) {
        random_srand(seed);
        demo_scene_mesh.setup();
        random_srand(seed);
        reference_mesh_setup();
        for (int32_t k = 0; k < 40; k++) {
            demo_timer->frames = 1000 + 37 * k;
            img_clear(demo_frame, 0);
            demo_scene_mesh.frame(k);
            std::vector<uint32_t> fast(demo_frame->pixels, demo_frame->pixels + 256 * 256);
            // From the second frame of the first run on, the mesh fills most of the frame.
            EXPECT_TRUE(k == 0 || 256 * 256 - std::count(fast.begin(), fast.end(), 0u) > 10000) << k;
            img_clear(demo_frame, 0);
            reference_mesh_frame(demo_frame, demo_timer->frames);
            demo_logo_wobble();
            ASSERT_TRUE(std::equal(fast.begin(), fast.end(), demo_frame->pixels)) << "seed " << seed << " frame " << k;
        }
    }
}
