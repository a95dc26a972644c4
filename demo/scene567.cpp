// Scenes 5, 6 and 7: the outline and filled ellipse benchmarks, and the star
// layers. Each benchmark keeps its own count for the whole process and its
// own moving background (made on its first run, only to use up the random
// numbers its making draws; never drawn).
#include "demo/demo.h"
#include "demo/resources.h"
#include "demo/scenes.h"

#include <cstdlib>

#include "effects/backmove.h"
#include "effects/lradial.h"
#include "effects/lstar.h"
#include "host/fps.h"
#include "host/random.h"
#include "imaging/img.h"
#include "text/font.h"

// ---- Scenes 5 and 7: ellipse benchmarks ------------------------------------------

static const uint32_t bench_tint = 0x20;

struct demo_bench {
    int32_t count;          // ellipses per frame, adapted by one every frame
    BACKMOVE *background;   // made once; never drawn
    int filled;
};

static demo_bench bench_outline = {0, nullptr, 0};
static demo_bench bench_filled = {0, nullptr, 1};
static demo_bench *bench_current = &bench_outline;

int32_t demo_bench_adapt(int32_t count, int32_t sleep_ms) {
    if (sleep_ms < 1) count -= 1;  // the frame used up its whole period
    else count += 1;
    return count < 0 ? 0 : count;
}

int32_t demo_bench_count(int filled) { return filled ? bench_filled.count : bench_outline.count; }

static void bench_setup(demo_bench *b) {
    bench_current = b;
    demo_fade_colour = (uint32_t)((random_next() & 63) + 64) * 0x010101u;
    demo_blur_on = 0;
    demo_glow_on = 0;
    demo_fade = 0;
    demo_white = 1;
    demo_font_tint(bench_tint);
    if (!b->background) {
        b->background = backmove_new();
        if (b->background) {
            b->background->target = demo_frame;
            b->background->tile = img_new();
        }
    }
    int32_t x = (random_next() % 6 + 1) * 16;
    IMG *tile = b->background ? b->background->tile : nullptr;
    IMG *sheet = demo_font_strip ? demo_font_strip->sheet : nullptr;
    img_blit_opaque(sheet, tile, x, 0, 0, 0, 16, 16);
}

static void bench_write(const char *name) {
    FONT *f = demo_font;
    if (!f) return;
    f->target = demo_frame;
    f->x = 0;
    f->y = 32;
    font_draw_line(f, name);
    f->x = 0;
    f->y = 48;
    font_draw_line(f, "BENCHMARK\n");
    f->x = 0;
    f->y = 256 - 64;
    font_draw_line(f, name);
    f->x = 0;
    f->y = 256 - 48;
    font_draw_line(f, "PER FRAME:\n");
    f->x = 0;
    f->y = 256 - 32;
    font_draw_decimal(f, (uint32_t)bench_current->count);
}

// The frame's filled ellipses, drawn as one list (each pixel is then stored
// once, however often they cover it); kept from frame to frame of a run.
static IMG_ELLIPSE *bench_list;
static int64_t bench_room;

// Room for n ellipses, or null when it cannot be had.
static IMG_ELLIPSE *bench_list_for(int64_t n) {
    if (n > bench_room) {
        IMG_ELLIPSE *grown = (IMG_ELLIPSE *)calloc((size_t)(2 * n), sizeof(IMG_ELLIPSE));
        if (!grown) return nullptr;
        free(bench_list);
        bench_list = grown;
        bench_room = 2 * n;
    }
    return bench_list;
}

static void bench_frame(int32_t) {
    demo_bench *b = bench_current;
    const int64_t count = (int64_t)b->count + 1;
    IMG_ELLIPSE *list = b->filled && count <= INT32_MAX ? bench_list_for(count) : nullptr;
    for (int64_t n = 0; n < count; n++) {
        IMG_ELLIPSE e;
        e.x = random_next() % 256;
        e.y = random_next() % 256;
        e.rx = random_next() & 63;
        e.ry = random_next() & 63;
        e.colour = demo_colour(random_next() % 1536);
        if (list) list[n] = e;
        else if (b->filled) img_fill_ellipse(demo_frame, e.x, e.y, e.rx, e.ry, e.colour);
        else img_ellipse(demo_frame, e.x, e.y, e.rx, e.ry, e.colour);
    }
    if (list) img_fill_ellipses(demo_frame, list, (int32_t)count);
    b->count = demo_bench_adapt(b->count, demo_timer ? demo_timer->sleep_ms : 0);
    if (demo_bench_text) bench_write(b->filled ? "FILLED ELLIPSES\n" : "ELLIPSES\n");
    demo_status();
    demo_logo_bounce();
}

static void bench_setup_outline(void) { bench_setup(&bench_outline); }
static void bench_setup_filled(void) { bench_setup(&bench_filled); }
static void bench_tidy(void) {
    demo_font_untint(bench_tint);
    free(bench_list);
    bench_list = nullptr;
    bench_room = 0;
}

const DEMO_SCENE demo_scene_outline = {
    "outline ellipse benchmark", DEMO_FRAMES_ELLIPSES, bench_setup_outline, bench_frame, bench_tidy, 1, 0, 1,
};
const DEMO_SCENE demo_scene_filled = {
    "filled ellipse benchmark", DEMO_FRAMES_FILLED_ELLIPSES, bench_setup_filled, bench_frame, bench_tidy, 1, 0, 1,
};



// ---- Scene 6: star layers ------------------------------------------------------------

static const int32_t stars_layers = 4;
static const int32_t stars_thickness[4] = {16, 12, 8, 4};
static LSTAR *stars[4] = {nullptr, nullptr, nullptr, nullptr};

static void stars_setup(void) {
    demo_fade_colour = (uint32_t)((random_next() & 31) + 16) * 0x010101u;
    demo_blur_on = 1;
    demo_glow_on = 0;
    if (random_next() & 1) {
        demo_white = 1;
        demo_fade = 0;
    } else {
        demo_white = 0;
        demo_fade = 1;
    }
    // The layers of the previous run are released rather than kept: nothing
    // draws them again, and keeping them would grow the process every loop.
    for (int32_t k = 0; k < stars_layers; k++) {
        if (stars[k]) lstar_del(&stars[k]);
        stars[k] = lstar_new();
    }
    int32_t points = random_next() % 17 + 13;
    for (int32_t k = 0; k < stars_layers; k++) lstar_set_points(stars[k], points);
    int32_t sx = (random_next() & 1) ? 1 : -1;
    int32_t sy = (random_next() & 1) ? 1 : -1;
    for (int32_t k = 0; k < stars_layers; k++) {
        if (!stars[k] || !stars[k]->ring_a || !stars[k]->ring_b) continue;
        stars[k]->ring_a->spin *= sx;
        stars[k]->ring_b->spin *= sy;
    }
    if (random_next() & 1)
        for (int32_t k = 0; k < stars_layers; k++) lstar_sync(stars[k]);
}

static void stars_frame(int32_t) {
    for (int32_t k = 0; k < stars_layers; k++) lstar_step(stars[k]);
    for (int32_t k = 0; k < stars_layers; k++) lstar_draw_dither(stars[k], demo_frame, stars_thickness[k]);
    demo_status();
    demo_logo_bounce();
}

const DEMO_SCENE demo_scene_star_layers = {
    "star layers", DEMO_FRAMES_STARS, stars_setup, stars_frame, nullptr, 1, 1, 1,
};

