// The demo program in-process on the headless backend: the title frame, the
// palette, the present step (fade, white, glow, blur), the key commands, the
// font tint's drift, the mosaic sizes and the benchmark count. Start-up runs
// once for the whole program; each test puts back what it changes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "audio/sample.h"
#include "demo/demo.h"
#include "demo/pictures.h"
#include "demo/resources.h"
#include "demo/scenes.h"
#include "host/backend.h"
#include "host/cli.h"
#include "host/fps.h"
#include "host/random.h"
#include "host/winkbd.h"
#include "imaging/img.h"
#include "text/font.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

// The title frame as presented, read back from the backend's copy of it.
static uint32_t title_pixel[256 * 256];

class Demo : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static bool started = false;
        if (started) return;
        started = true;
        CLI cli;
        std::memset(&cli, 0, sizeof cli);
        cli.headless = 1;
        ASSERT_EQ(backend_start(&cli), 1);
        demo_start();
        int32_t w = 0, h = 0;
        const uint8_t *bgr = backend_last_frame(&w, &h);
        ASSERT_NE(bgr, nullptr);
        ASSERT_EQ(w, 256);
        ASSERT_EQ(h, 256);
        // Stored row s is image row 255 - s, each pixel blue, green, red.
        for (int32_t s = 0; s < 256; s++)
            for (int32_t x = 0; x < 256; x++) {
                const uint8_t *p = bgr + (s * 256 + x) * 3;
                title_pixel[(255 - s) * 256 + x] = p[0] | p[1] << 8 | p[2] << 16;
            }
    }
};

// The shown frame's pixel (x, y) as 0x00RRGGBB.
static uint32_t shown(int32_t x, int32_t y) {
    int32_t w = 0, h = 0;
    const uint8_t *bgr = backend_last_frame(&w, &h);
    const uint8_t *p = bgr + ((h - 1 - y) * w + x) * 3;
    return p[0] | p[1] << 8 | p[2] << 16;
}

static uint32_t add_sat(uint32_t a, uint32_t b) {
    uint32_t r = 0;
    for (int s = 0; s < 24; s += 8) {
        uint32_t c = ((a >> s) & 0xFF) + ((b >> s) & 0xFF);
        r |= (c > 255 ? 255 : c) << s;
    }
    return r;
}

TEST_F(Demo, FrameSizeAndObjects) {
    EXPECT_EQ(demo_width, 256);
    EXPECT_EQ(demo_height, 256);
    ASSERT_NE(demo_frame, nullptr);
    EXPECT_EQ(demo_frame->width, 256);
    EXPECT_EQ(demo_frame->height, 256);
    ASSERT_NE(demo_glow, nullptr);
    ASSERT_NE(demo_blur, nullptr);
    EXPECT_EQ(demo_glow->width, 256);
    EXPECT_EQ(demo_blur->height, 256);
    ASSERT_NE(demo_timer, nullptr);
    EXPECT_EQ(demo_timer->target, 50);
    EXPECT_NE(demo_keyboard, nullptr);
    EXPECT_NE(demo_display, nullptr);
}

TEST_F(Demo, TitleBorderIsPatternOne) {
    // Outermost band white, band i = 0xFFFFFF - i * 0x040201, innermost 0x0381C0.
    EXPECT_EQ(title_pixel[0], 0xFFFFFFu);
    EXPECT_EQ(title_pixel[255 * 256 + 255], 0xFFFFFFu);
    EXPECT_EQ(title_pixel[1 * 256 + 1], 0xFFFFFFu - 0x040201u);
    EXPECT_EQ(title_pixel[63 * 256 + 63], 0x0381C0u);
    EXPECT_EQ(title_pixel[128 * 256 + 63], 0x0381C0u);  // left of the logo
    EXPECT_EQ(title_pixel[70 * 256 + 128], 0x0381C0u);  // above the logo
    for (int32_t i = 0; i < 64; i++) {
        uint32_t band = 0xFFFFFFu - (uint32_t)i * 0x040201u;
        EXPECT_EQ(title_pixel[i * 256 + 128], band) << "top band " << i;
        EXPECT_EQ(title_pixel[128 * 256 + (255 - i)], band) << "right band " << i;
        EXPECT_EQ(title_pixel[(255 - i) * 256 + 40], i < 40 ? band : 0xFFFFFFu - 40u * 0x040201u)
            << "bottom band " << i;
    }
}

TEST_F(Demo, TitleLogoIsInvertedAndCentred) {
    IMG *logo = img_from_pnm(demo_logo_pnm, demo_logo_pnm_size);
    ASSERT_NE(logo, nullptr);
    ASSERT_EQ(logo->width, 128);
    ASSERT_EQ(logo->height, 64);
    int differing = 0;
    for (int32_t y = 0; y < 64; y++)
        for (int32_t x = 0; x < 128; x++) {
            uint32_t inverted = ~img_get_pixel(logo, x, y) & 0xFFFFFFu;
            uint32_t want = add_sat(0x0381C0u, inverted);
            if (title_pixel[(96 + y) * 256 + 64 + x] != want) differing++;
        }
    EXPECT_EQ(differing, 0) << "the logo should sit at (64, 96)";
    img_del(&logo);
}

TEST_F(Demo, PaletteIsAClosedRainbow) {
    ASSERT_NE(demo_palette, nullptr);
    EXPECT_EQ(demo_palette->count, 1536);
    EXPECT_EQ(sample_get(demo_palette, 0), 0x00FF00);
    EXPECT_EQ(sample_get(demo_palette, 1535), 0x00FF00);
    EXPECT_EQ(sample_get(demo_palette, 768), 0xFF00FF);
    EXPECT_EQ(sample_get(demo_palette, 255), 0x00FFFF);
    EXPECT_EQ(sample_get(demo_palette, 511), 0x0000FF);
    EXPECT_EQ(sample_get(demo_palette, 1024), 0xFF0000);
    EXPECT_EQ(sample_get(demo_palette, 1280), 0xFFFF00);
    EXPECT_EQ(demo_colour(1536 + 768), 0xFF00FFu);
    EXPECT_EQ(demo_colour(-1), 0x00FF00u);
    EXPECT_EQ(demo_colour(-768), 0xFF00FFu);
}

TEST_F(Demo, LettersTakeTheirGreys) {
    const uint32_t tones[4] = {0x747474, 0xE0E0E0, 0xC0C0C0, 0x7F7F7F};
    for (int k = 0; k < 4; k++) {
        ASSERT_NE(demo_letters[k], nullptr);
        EXPECT_EQ(demo_letters[k]->width, 128);
        EXPECT_EQ(demo_letters[k]->height, 192);
        int grey = 0, tone = 0;
        for (int32_t i = 0; i < 128 * 192; i++) {
            grey += demo_letters[k]->pixels[i] == 0xCCCCCCu;
            tone += demo_letters[k]->pixels[i] == tones[k];
        }
        EXPECT_EQ(grey, 0) << "letter " << k;
        EXPECT_GT(tone, 0) << "letter " << k;
    }
}

TEST_F(Demo, FontsAreSixteenBySixteen) {
    ASSERT_NE(demo_font, nullptr);
    ASSERT_NE(demo_font_strip, nullptr);
    EXPECT_EQ(demo_font->cell_width, 16);
    EXPECT_EQ(demo_font->cell_height, 16);
    EXPECT_EQ(demo_font->target, demo_frame);
    ASSERT_NE(demo_font_strip->sheet, nullptr);
    EXPECT_EQ(demo_font_strip->sheet->width, 256);
    EXPECT_EQ(demo_font_strip->sheet->height, 16);
    // Where the glyph row is transparent the cyan shows, lightened by 0x808080.
    int cyan = 0;
    for (int32_t i = 0; i < 256 * 16; i++) {
        uint32_t g = demo_font->sheet->pixels[i];
        if (g == 0) {
            EXPECT_EQ(demo_font_strip->sheet->pixels[i], 0xC4FFFFu);
            cyan++;
        } else {
            EXPECT_EQ(demo_font_strip->sheet->pixels[i], add_sat(g, 0x808080u));
        }
    }
    EXPECT_GT(cyan, 0);
}

TEST_F(Demo, LineFontsAreBuiltWithTheirCellSizes) {
    ASSERT_NE(demo_lfont8, nullptr);
    ASSERT_NE(demo_lfont16, nullptr);
    ASSERT_NE(demo_lfont_shapes, nullptr);
    EXPECT_EQ(demo_lfont8->size->x, 8);
    EXPECT_EQ(demo_lfont8->size->y, 8);
    EXPECT_EQ(demo_lfont16->size->x, 16);
    EXPECT_EQ(demo_lfont_shapes->size->y, 16);
    EXPECT_EQ(demo_lfont8->glyphs, demo_glyphs8);
    EXPECT_EQ(demo_lfont16->target, demo_frame);
    EXPECT_EQ(demo_lfont_shapes->target, demo_frame);
    ASSERT_NE(demo_glyphs8, nullptr);
    EXPECT_EQ(demo_glyphs8->count, 256);
    ASSERT_NE(demo_shapes, nullptr);
    EXPECT_EQ(demo_shapes->count, 87);
}

TEST_F(Demo, EightByEightGlyphsAreCentredOnTheirOrigin) {
    // Moved from the 0..7 grid by (-4, -4): every end lies in -4..3.
    int ends = 0;
    for (int32_t code = 0; code < demo_glyphs8->count; code++) {
        OBJ2D *g = (OBJ2D *)list_get(demo_glyphs8, code);
        if (!g) continue;
        for (int32_t k = 0; k < g->segments->count; k++) {
            SEG2D *seg = (SEG2D *)list_get(g->segments, k);
            for (VEC2D *v : {seg->a, seg->b}) {
                EXPECT_GE(v->x, -4) << "code " << code;
                EXPECT_LE(v->x, 3) << "code " << code;
                EXPECT_GE(v->y, -4) << "code " << code;
                EXPECT_LE(v->y, 3) << "code " << code;
                ends++;
            }
        }
    }
    EXPECT_GT(ends, 0);
}

// Pixels below row 40 that are not black: the wobbling logo stays above it.
static int lit_below_logo(void) {
    int lit = 0;
    for (int32_t y = 40; y < 256; y++)
        for (int32_t x = 0; x < 256; x++) lit += img_get_pixel(demo_frame, x, y) != 0;
    return lit;
}

TEST_F(Demo, WaveMeshFirstFrameShowsTheSegmentsAsCreated) {
    // Made on the scene's first run, every segment runs from (0, 0) to (1, 1);
    // mirrored and moved to (512, -64) they all fall outside the frame.
    demo_scene_mesh.setup();
    img_clear(demo_frame, 0);
    demo_scene_mesh.frame(0);
    EXPECT_EQ(lit_below_logo(), 0);
    // The frame after draws the mesh computed during the first one.
    img_clear(demo_frame, 0);
    demo_scene_mesh.frame(1);
    EXPECT_GT(lit_below_logo(), 1000);
}

// The box holding every lit pixel of the frame; false when nothing is lit.
static bool lit_box(int32_t *x0, int32_t *y0, int32_t *x1, int32_t *y1) {
    *x0 = *y0 = 256;
    *x1 = *y1 = -1;
    for (int32_t y = 0; y < 256; y++)
        for (int32_t x = 0; x < 256; x++)
            if (img_get_pixel(demo_frame, x, y)) {
                if (x < *x0) *x0 = x;
                if (y < *y0) *y0 = y;
                if (x > *x1) *x1 = x;
                if (y > *y1) *y1 = y;
            }
    return *x1 >= 0;
}

TEST_F(Demo, LogoBounceHopsAboveTheBottomLine) {
    int32_t frames = demo_timer->frames;
    for (int32_t f = 0; f < 64; f += 3) {
        demo_timer->frames = f;
        img_clear(demo_frame, 0);
        demo_logo_bounce();
        int32_t x0, y0, x1, y1;
        ASSERT_TRUE(lit_box(&x0, &y0, &x1, &y1));
        // Four 16-pixel cells from x = 16; each letter at most 31 pixels above 240.
        EXPECT_GE(x0, 16);
        EXPECT_LT(x1, 16 + 64);
        EXPECT_GE(y0, 240 - 31);
        EXPECT_LT(y1, 256);
    }
    demo_timer->frames = frames;
}

TEST_F(Demo, LogoWobbleStaysTopRight) {
    int32_t frames = demo_timer->frames;
    for (int32_t f = 0; f < 64; f += 5) {
        demo_timer->frames = f;
        img_clear(demo_frame, 0);
        demo_logo_wobble();
        int32_t x0, y0, x1, y1;
        ASSERT_TRUE(lit_box(&x0, &y0, &x1, &y1));
        // x = 176 + (-8..7) + 16k - 8, y = 32 + (-8..7) - 24, 16-pixel cells.
        EXPECT_GE(x0, 176 - 8 - 8);
        EXPECT_LT(x1, 176 + 7 + 48 - 8 + 16);
        EXPECT_GE(y0, 0);
        EXPECT_LT(y1, 32 + 7 - 24 + 16);
    }
    demo_timer->frames = frames;
}

TEST_F(Demo, LogoFlashesOnAboutOneDrawInFour) {
    int32_t chance = demo_flash_chance;
    demo_flash_chance = 4;
    int flashes = 0;
    for (int n = 0; n < 400; n++) {
        img_clear(demo_frame, 0);
        demo_logo_flash();
        int32_t x0, y0, x1, y1;
        if (!lit_box(&x0, &y0, &x1, &y1)) continue;
        flashes++;
        EXPECT_GE(x0, 0);
        EXPECT_GE(y0, 0);
    }
    EXPECT_GT(flashes, 60);
    EXPECT_LT(flashes, 140);
    demo_flash_chance = 1;  // every draw is divisible by 1
    for (int n = 0; n < 20; n++) {
        img_clear(demo_frame, 0);
        demo_logo_flash();
        int32_t x0, y0, x1, y1;
        EXPECT_TRUE(lit_box(&x0, &y0, &x1, &y1));
    }
    demo_flash_chance = chance;
}

TEST_F(Demo, StatusOverlayOnlyWhenSwitchedOn) {
    int32_t on = demo_status_on;
    demo_status_on = 0;
    img_clear(demo_frame, 0);
    demo_status();
    int32_t x0, y0, x1, y1;
    EXPECT_FALSE(lit_box(&x0, &y0, &x1, &y1));
    demo_status_on = 1;
    demo_status();
    ASSERT_TRUE(lit_box(&x0, &y0, &x1, &y1));
    // Two digits at (0, 0), eight at (0, 16), 16-pixel cells.
    EXPECT_GE(x0, 0);
    EXPECT_LT(x1, 8 * 16);
    EXPECT_LT(y1, 32);
    demo_status_on = on;
}

// How many lit pixels of `text` drawn with demo_font at (0, y) the frame shows.
static int text_pixels_shown(const char *text, int32_t y, int *lit) {
    IMG *probe = img_new();
    img_resize(probe, 256, 256);
    IMG *target = demo_font->target;
    demo_font->target = probe;
    demo_font->x = 0;
    demo_font->y = y;
    font_draw_line(demo_font, text);
    demo_font->target = target;
    int shown_here = 0;
    *lit = 0;
    for (int32_t i = 0; i < 256 * 256; i++) {
        if (!probe->pixels[i]) continue;
        (*lit)++;
        shown_here += demo_frame->pixels[i] == probe->pixels[i];
    }
    img_del(&probe);
    return shown_here;
}

TEST_F(Demo, BenchmarkTextIsWrittenOnlyWhenSwitchedOn) {
    int32_t text = demo_bench_text;
    demo_scene_outline.setup();
    int32_t count = demo_bench_count(0);
    int32_t sleep_ms = demo_timer->sleep_ms;
    demo_timer->sleep_ms = 13;  // the last wait had time to spare
    demo_bench_text = 1;
    img_clear(demo_frame, 0xFFFFFF);
    demo_scene_outline.frame(0);
    int lit = 0;
    EXPECT_EQ(text_pixels_shown("ELLIPSES\n", 32, &lit), lit);
    EXPECT_GT(lit, 0);
    EXPECT_EQ(text_pixels_shown("BENCHMARK\n", 48, &lit), lit);
    demo_bench_text = 0;
    img_clear(demo_frame, 0xFFFFFF);
    demo_scene_outline.frame(1);
    EXPECT_LT(text_pixels_shown("ELLIPSES\n", 32, &lit), lit);
    // The count adapts all the same: one more per frame with time to spare,
    // one less after a frame that used up its period.
    EXPECT_EQ(demo_bench_count(0), count + 2);
    demo_timer->sleep_ms = 0;
    demo_scene_outline.frame(2);
    EXPECT_EQ(demo_bench_count(0), count + 1);
    demo_timer->sleep_ms = sleep_ms;
    demo_scene_outline.tidy();
    demo_bench_text = text;
}

// Runs fn with the present flags set as given, then puts the old ones back.
struct Flags {
    int32_t fade, white, glow, blur;
    uint32_t fade_colour;
};
static Flags save_flags() { return {demo_fade, demo_white, demo_glow_on, demo_blur_on, demo_fade_colour}; }
static void restore_flags(const Flags &f) {
    demo_fade = f.fade;
    demo_white = f.white;
    demo_glow_on = f.glow;
    demo_blur_on = f.blur;
    demo_fade_colour = f.fade_colour;
}

TEST_F(Demo, PresentWithFadeDimsByTheFadeColour) {
    Flags old = save_flags();
    demo_fade = 1;
    demo_glow_on = demo_blur_on = 0;
    demo_fade_colour = 0x010101;
    img_clear(demo_frame, 0);
    img_set_pixel(demo_frame, 10, 20, 0x808080);
    img_set_pixel(demo_frame, 11, 20, 0x000001);
    demo_present();
    EXPECT_EQ(shown(10, 20), 0x808080u);  // shown as drawn
    EXPECT_EQ(img_get_pixel(demo_frame, 10, 20), 0x7F7F7Fu);
    EXPECT_EQ(img_get_pixel(demo_frame, 11, 20), 0x000000u);  // floor at 0
    restore_flags(old);
}

TEST_F(Demo, PresentWithoutFadeClearsBlackOrWhite) {
    Flags old = save_flags();
    demo_fade = 0;
    demo_white = 0;
    demo_glow_on = demo_blur_on = 0;
    img_clear(demo_frame, 0x123456);
    demo_present();
    EXPECT_EQ(shown(0, 0), 0x123456u);
    EXPECT_EQ(img_get_pixel(demo_frame, 0, 0), 0u);
    EXPECT_EQ(img_get_pixel(demo_frame, 255, 255), 0u);
    demo_white = 1;
    demo_present();
    EXPECT_EQ(img_get_pixel(demo_frame, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(img_get_pixel(demo_frame, 255, 255), 0xFFFFFFu);
    restore_flags(old);
}

TEST_F(Demo, PresentGlowAddsShiftedNeighbours) {
    Flags old = save_flags();
    demo_fade = 0;
    demo_white = 0;
    demo_glow_on = 1;
    demo_blur_on = 0;
    img_clear(demo_frame, 0);
    img_set_pixel(demo_frame, 100, 50, 0x808080);
    demo_present();
    // Neighbours 1 and 2 away get 0x80 >> 3 per channel; the pixel keeps its own.
    EXPECT_EQ(shown(100, 50), 0x808080u);
    EXPECT_EQ(shown(99, 50), 0x101010u);
    EXPECT_EQ(shown(98, 50), 0x101010u);
    EXPECT_EQ(shown(101, 50), 0x101010u);
    EXPECT_EQ(shown(102, 50), 0x101010u);
    EXPECT_EQ(shown(97, 50), 0u);
    EXPECT_EQ(shown(103, 50), 0u);
    EXPECT_EQ(shown(100, 49), 0u);
    restore_flags(old);
}

TEST_F(Demo, PresentBlurAveragesFiveAcross) {
    Flags old = save_flags();
    demo_fade = 0;
    demo_white = 0;
    demo_glow_on = 0;
    demo_blur_on = 1;
    img_clear(demo_frame, 0);
    img_set_pixel(demo_frame, 100, 50, 0xA0A0A0);
    demo_present();
    // Radius 2: every pixel within two columns shows 0xA0 / 5 = 0x20.
    for (int32_t x = 98; x <= 102; x++) EXPECT_EQ(shown(x, 50), 0x202020u) << x;
    EXPECT_EQ(shown(97, 50), 0u);
    EXPECT_EQ(shown(103, 50), 0u);
    restore_flags(old);
}

TEST_F(Demo, FadeOutPresentsThirtyTwoTimesToBlack) {
    img_clear(demo_frame, 0xFFFFFF);
    uint32_t before = backend_frame();
    demo_fade_out();
    EXPECT_EQ(backend_frame() - before, 32u);
    EXPECT_EQ(img_get_pixel(demo_frame, 7, 7), 0u);
    EXPECT_EQ(shown(7, 7), 0u);
}

// Types a character straight into the key buffer and runs one handler round.
static void press(int32_t c) {
    demo_keyboard->keys[0] = (uint8_t)c;
    demo_key_handler(demo_keyboard);
    EXPECT_EQ(demo_keyboard->keys[0], 0) << "the handler clears the key";
}

TEST_F(Demo, KeysToggleTheirFlags) {
    Flags old = save_flags();
    int32_t status = demo_status_on, bench = demo_bench_text, muted = demo_muted;
    press('G');
    EXPECT_EQ(demo_glow_on, !old.glow);
    press('G');
    EXPECT_EQ(demo_glow_on, old.glow);
    press('B');
    EXPECT_EQ(demo_blur_on, !old.blur);
    press('F');
    EXPECT_EQ(demo_fade, !old.fade);
    press('W');
    EXPECT_EQ(demo_white, !old.white);
    press('8');
    EXPECT_EQ(demo_status_on, !status);
    press('S');
    EXPECT_EQ(demo_bench_text, !bench);
    press('O');
    EXPECT_EQ(demo_muted, !muted);
    press('8');
    press('S');
    press('O');
    EXPECT_EQ(demo_status_on, status);
    EXPECT_EQ(demo_bench_text, bench);
    EXPECT_EQ(demo_muted, muted);
    restore_flags(old);
}

TEST_F(Demo, KeysFiveAndSixSetTheTarget) {
    press('5');
    EXPECT_EQ(demo_timer->target, 25);
    press('6');
    EXPECT_EQ(demo_timer->target, 50);
}

TEST_F(Demo, SpaceRequestsASkipAndOtherKeysDoNothing) {
    Flags old = save_flags();
    press('Q');
    press('b');  // only the upper-case characters are commands
    EXPECT_EQ(demo_skip, 0);
    EXPECT_EQ(demo_blur_on, old.blur);
    press(' ');
    EXPECT_EQ(demo_skip, 1);
    demo_skip = 0;
}

TEST_F(Demo, EscapeFadesAndExitsWithZero) {
    EXPECT_EXIT(press(27), testing::ExitedWithCode(0), "");
}

TEST_F(Demo, FontTintDriftsAfterUndo) {
    IMG *sheet = demo_font->sheet;
    IMG *probe = img_new();
    img_resize(probe, 2, 1);
    img_set_pixel(probe, 0, 0, 0x000000);
    img_set_pixel(probe, 1, 0, 0xFFFFFF);
    demo_font->sheet = probe;
    demo_font_tint(0x50);
    EXPECT_EQ(img_get_pixel(probe, 0, 0), 0x000050u);
    EXPECT_EQ(img_get_pixel(probe, 1, 0), 0xAFAFFFu);
    demo_font_untint(0x50);
    EXPECT_EQ(img_get_pixel(probe, 0, 0), 0x505000u);
    EXPECT_EQ(img_get_pixel(probe, 1, 0), 0xFFFFAFu);
    img_clear(probe, 0x102030);
    demo_font_tint(0x20);
    demo_font_untint(0x20);
    EXPECT_EQ(img_get_pixel(probe, 0, 0), 0x505030u);
    demo_font->sheet = sheet;
    img_del(&probe);
}

TEST(DemoScenes, MosaicBlockShrinksFromSixtyFourToNone) {
    EXPECT_EQ(demo_mosaic_block(0), 64);
    EXPECT_EQ(demo_mosaic_block(3), 64);
    EXPECT_EQ(demo_mosaic_block(4), 63);
    EXPECT_EQ(demo_mosaic_block(128), 32);
    EXPECT_EQ(demo_mosaic_block(251), 2);
    EXPECT_EQ(demo_mosaic_block(252), 1);
    EXPECT_EQ(demo_mosaic_block(255), 1);
    EXPECT_EQ(demo_mosaic_block(256), 0);
    EXPECT_EQ(demo_mosaic_block(899), 0);
}

TEST(DemoScenes, BenchmarkCountAdaptsAndNeverGoesNegative) {
    EXPECT_EQ(demo_bench_adapt(5, 13), 6);
    EXPECT_EQ(demo_bench_adapt(5, 1), 6);
    EXPECT_EQ(demo_bench_adapt(5, 0), 4);
    EXPECT_EQ(demo_bench_adapt(5, -20), 4);
    EXPECT_EQ(demo_bench_adapt(0, 0), 0);
    EXPECT_EQ(demo_bench_adapt(0, -1), 0);
    EXPECT_EQ(demo_bench_adapt(0, 19), 1);
    int32_t count = 3;
    for (int i = 0; i < 10; i++) count = demo_bench_adapt(count, 0);  // a slow machine
    EXPECT_EQ(count, 0);
}
