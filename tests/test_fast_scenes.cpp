// Scene-level drawing against its straightforward versions in
// bench/reference_scenes.cpp: the wave mesh of scene 2, drawn from a plain
// grid with lines that skip the clip when both ends are inside, against the
// mesh kept as an OBJ2D and drawn through obj2d_draw, frame by frame over two
// runs; scene 4's averaging blit and centred mosaic against pixel-by-pixel
// versions on random pictures at every position and block size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bench/reference_scenes.h"
#include "demo/demo.h"
#include "demo/resources.h"
#include "demo/scenes.h"
#include "host/backend.h"
#include "host/cli.h"
#include "host/fps.h"
#include "host/random.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "tests/test_support.h"

namespace {

void start_demo(void) {
    static bool started = false;
    if (started) return;
    started = true;
    CLI cli;
    std::memset(&cli, 0, sizeof cli);
    cli.headless = 1;
    ASSERT_EQ(backend_start(&cli), 1);
    demo_start();
}

std::vector<uint32_t> frame_pixels(void) {
    return std::vector<uint32_t>(demo_frame->pixels, demo_frame->pixels + 256 * 256);
}

// Lines whose ends are both inside draw the same points without the clip.
TEST(FastScenes, UnclippedLinesDrawWhatClippedOnesDraw) {
    IMG *a = img_new(), *b = img_new();
    img_resize(a, 64, 64);
    img_resize(b, 64, 64);
    Lcg g{21};
    for (int n = 0; n < 20000; n++) {
        int32_t x0 = g.next() & 63, y0 = g.next() & 63, x1 = g.next() & 63, y1 = g.next() & 63;
        if (n % 2) x1 = x0 + (x1 & 7) - 3 < 0 ? 0 : (x0 + (x1 & 7) - 3 > 63 ? 63 : x0 + (x1 & 7) - 3);
        uint32_t c = (uint32_t)n + 1;
        img_line(a, x0, y0, x1, y1, c);
        img_line_unclipped(b, x0, y0, x1, y1, c);
        ASSERT_EQ(0, std::memcmp(a->pixels, b->pixels, 64 * 64 * 4)) << x0 << "," << y0 << " " << x1 << "," << y1;
    }
    img_del(&a);
    img_del(&b);
}

IMG *random_picture(Lcg &g, int32_t w, int32_t h) {
    IMG *p = img_new();
    img_resize(p, w, h);
    // One pixel in four transparent (0), the rest any colour.
    for (int32_t i = 0; i < w * h; i++) p->pixels[i] = (g.next() & 3) ? (uint32_t)g.next30() & 0xFFFFFF : 0;
    return p;
}

TEST(FastScenes, AveragingBlitMatchesPixelByPixelAtEveryPosition) {
    Lcg g{31};
    IMG *letter = random_picture(g, 40, 60);
    for (int32_t y : {-70, -59, -3, 0, 17, 190, 199, 250}) {
        for (int32_t x : {-50, -39, -1, 0, 5, 216, 255, 300}) {
            IMG *a = random_picture(g, 256, 256);
            IMG *b = img_dup(a);
            letter->x = x, letter->y = y;
            imgfx_draw_blend(letter, a);
            reference_draw_blend(letter, b);
            ASSERT_EQ(0, std::memcmp(a->pixels, b->pixels, 256 * 256 * 4)) << x << "," << y;
            img_del(&a);
            img_del(&b);
        }
    }
    img_del(&letter);
}

TEST(FastScenes, CentredMosaicMatchesBlockByBlockForEveryBlockSize) {
    Lcg g{32};
    for (int32_t size = 1; size <= 64; size++) {
        IMG *a = random_picture(g, 256, 256);
        IMG *b = img_dup(a);
        imgfx_pixelate_average_centred(a, size, size);
        reference_pixelate_average_centred(b, size, size);
        ASSERT_EQ(0, std::memcmp(a->pixels, b->pixels, 256 * 256 * 4)) << size;
        img_del(&a);
        img_del(&b);
    }
}

TEST(FastScenes, WaveMeshMatchesTheObjectDrawnMeshOverTwoRuns) {
    start_demo();
    // The overlay's colour is whatever the logo step set last: left off here.
    int saved_status = demo_status_on;
    demo_status_on = 0;
    for (uint32_t seed : {0x1234u, 0xBEEFu}) {
        random_srand(seed);
        demo_scene_mesh.setup();
        random_srand(seed);
        reference_mesh_setup();
        for (int32_t k = 0; k < 40; k++) {
            demo_timer->frames = 1000 + 37 * k;
            img_clear(demo_frame, 0);
            demo_scene_mesh.frame(k);
            std::vector<uint32_t> fast = frame_pixels();
            // From the second frame of the first run on, the mesh fills most of the frame.
            if (k > 0) {
                EXPECT_GT(256 * 256 - std::count(fast.begin(), fast.end(), 0u), 10000) << k;
            }
            img_clear(demo_frame, 0);
            reference_mesh_frame(demo_frame, demo_timer->frames);
            demo_logo_wobble();
            ASSERT_EQ(fast, frame_pixels()) << "seed " << seed << " frame " << k;
        }
    }
    demo_status_on = saved_status;
}

}  // namespace
