// RIVO7315, the main program module: start-up and title frame, the scene
// loop, the frame loop with its tail, keys, pause, fade-out and the shutdown
// after a failed MIDI query. Every object lives in a module-level global for
// the whole process. Only the display, the frame and the frame timer are
// checked (the demo stops without them); any other null object is reported
// (silently) by its own module wherever it is used.
#include "demo/demo.h"

#include <cstdio>
#include <cstdlib>

#include "audio/music.h"
#include "audio/winsnd.h"
#include "demo/pictures.h"
#include "demo/resources.h"
#include "demo/scenes.h"
#include "demo/soundtrack.h"
#include "effects/raster.h"
#include "host/fps.h"
#include "platform/midi.h"
#include "platform/options.h"
#include "host/module.h"
#include "host/random.h"
#include "host/windpy.h"
#include "host/winkbd.h"
#include "host/winmain.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"

RIVO_IDENTITY(demo, "RIVO7315", "20150119", "Ostrevik", "C       ", "PROGRAM ");
RIVO_REPORTER(demo, 0, "RIVO7315 Error.\n");

int32_t demo_width = 256;
int32_t demo_height = 256;

WINDPY *demo_display = nullptr;
WINKBD *demo_keyboard = nullptr;
IMG *demo_frame = nullptr;
IMG *demo_glow = nullptr;
IMG *demo_blur = nullptr;
IMG *demo_logo = nullptr;
FPS *demo_timer = nullptr;

int32_t demo_skip = 0;
int32_t demo_fade = 1;
uint32_t demo_fade_colour = 0x010101;
int32_t demo_white = 0;
int32_t demo_glow_on = 0;
int32_t demo_blur_on = 0;
int32_t demo_paused = 0;
int32_t demo_muted = 0;
int32_t demo_status_on = 0;
int32_t demo_bench_text = 1;
int32_t demo_flash_chance = 1;

// Seeds of the two start-up phases: the title border, then everything after.
static const uint32_t demo_title_seed = 45429;
static const uint32_t demo_run_seed = 0x31756A22;

// Bands of the title border, one per random pattern; band i steps inwards.
static uint32_t demo_title_colour(int32_t k, int32_t i) {
    switch (k) {
    case 0: return 0xFFFFFFu - (uint32_t)i * 0x080402u;
    case 1: return 0xFFFFFFu - (uint32_t)i * 0x040201u;
    case 2: return (uint32_t)i * 0x010408u;
    default: return (uint32_t)i * 0x080401u;
    }
}

void demo_title(void) {
    random_srand(demo_title_seed);
    int32_t k = random_next() % 4;
    for (int32_t i = 0; i < 64; i++)
        img_fill_rect(demo_frame, i, i, demo_width - 2 * i, demo_height - 2 * i,
                      demo_title_colour(k, i));
    demo_logo = img_from_pnm(demo_logo_pnm, demo_logo_pnm_size);
    img_invert(demo_logo);
    if (demo_logo)
        img_blit_add_sat(demo_logo, demo_frame, 0, 0, (demo_width - demo_logo->width) / 2,
                         (demo_height - demo_logo->height) / 2, demo_logo->width,
                         demo_logo->height);
    windpy_present(demo_display, demo_frame);
}

// The display, the frame and the frame timer: without any of them there is
// no run to go on with (no picture, or no pacing and no frame count), so the
// demo says why on standard error and stops.
static void demo_require(bool made, const char *what) {
    if (made) return;
    fprintf(stderr, "rivo7315: cannot make the %s (out of memory)\n", what);
    winmain_exit(RUN_NO_MEMORY);
}

static IMG *demo_new_image(int32_t w, int32_t h) {
    IMG *img = img_new();
    img_resize(img, w, h);
    return img;
}

void demo_start(void) {
    demo_display = windpy_new();
    demo_keyboard = winkbd_new();
    windpy_open(demo_display, demo_width, demo_height);
    demo_require(demo_display && windpy_frame_bytes(), "display");
    demo_frame = demo_new_image(demo_display->width, demo_display->height);
    demo_require(demo_frame && demo_frame->pixels, "frame");
    demo_title();
    demo_glow = demo_new_image(demo_width, demo_height);
    demo_blur = demo_new_image(demo_width, demo_height);
    random_srand(demo_run_seed);
    demo_build_resources_deferred();
    demo_timer = fps_new();
    demo_require(demo_timer, "frame timer");
    demo_timer->target = 50;
}

int32_t demo_timer_frames(void) { return demo_timer ? demo_timer->frames : 0; }

void demo_main(void) {
    demo_start();
    // The bank is built beside the title, the fade and the first frame; the
    // first music step waits for it.
    demo_bank_start();
    for (;;)
        for (const DEMO_SCENE *scene : demo_scene_table) demo_run_scene(scene);
}

const DEMO_SCENE *const demo_scene_table[7] = {
    &demo_scene_columns, &demo_scene_mesh,        &demo_scene_midi,   &demo_scene_letters,
    &demo_scene_outline, &demo_scene_star_layers, &demo_scene_filled,
};

void demo_run_scene(const DEMO_SCENE *scene) {
    if (!scene) return;
    scene->setup();
    if (scene->fade) demo_fade_out();
    demo_frames(scene->frames, scene->frame, scene->music, scene->wait);
    if (scene->tidy) scene->tidy();
}

void demo_frames(int32_t n, demo_draw_fn draw, int music, int wait) {
    for (int32_t i = 0; i < n; i++) {
        fps_start(demo_timer);
        draw(i);
        demo_present();
        if (music) {
            demo_bank_ready();
            demo_music_step(demo_music, demo_player, demo_timer, demo_muted);
        }
        winkbd_update(demo_keyboard);
        demo_key_handler(demo_keyboard);
        if (demo_skip) {
            // A skipped frame leaves at once, without its pacing.
            demo_skip = 0;
            return;
        }
        fps_end(demo_timer);
        if (wait) fps_wait(demo_timer);
    }
}

void demo_present(void) {
    // A pass that is off would only copy its input forward, so the next pass
    // reads that input directly: two frame copies fewer on a plain frame.
    IMG *shown = demo_frame;
    if (demo_glow_on) {
        imgfx_glow_h5(shown, demo_glow, 3);
        shown = demo_glow;
    }
    if (demo_blur_on) {
        imgfx_blur_h_rgb(shown, demo_blur, 2, 2, 2);
        shown = demo_blur;
    }
    windpy_present(demo_display, shown);
    // The fade leaves a trail that dims a little every frame.
    if (demo_fade) img_sub_colour(demo_frame, demo_fade_colour);
    else img_clear(demo_frame, demo_white ? 0xFFFFFFu : 0x000000u);
}

void demo_key_handler(WINKBD *keyboard) {
    int32_t c = (keyboard && keyboard->keys) ? keyboard->keys[0] : 0;
    winmain_pump();
    if (keyboard && keyboard->keys) keyboard->keys[0] = 0;
    switch (c) {
    case 27:
        demo_fade_out();
        winmain_exit(RUN_OK);
    case ' ': demo_skip = 1; break;
    case '5': if (demo_timer) demo_timer->target = 25; break;
    case '6': if (demo_timer) demo_timer->target = 50; break;
    case '8': demo_status_on = !demo_status_on; break;
    case 'B': demo_blur_on = !demo_blur_on; break;
    case 'G': demo_glow_on = !demo_glow_on; break;
    case 'F': demo_fade = !demo_fade; break;
    case 'W': demo_white = !demo_white; break;
    case 'S': demo_bench_text = !demo_bench_text; break;
    case 'O':
        // Silence at once: the loop, frozen while muted, and the synthesiser.
        demo_muted = !demo_muted;
        winsnd_mute(demo_muted);
        break;
    case 'P':
        demo_paused = !demo_paused;
        demo_pause();
        break;
    default: break;
    }
}

void demo_pause(void) {
    while (demo_paused) {
        winkbd_update(demo_keyboard);
        demo_key_handler(demo_keyboard);
    }
}

void demo_fade_out(void) {
    for (int32_t i = 0; i < 32; i++) {
        img_sub_colour(demo_frame, 0x808080);
        windpy_present(demo_display, demo_frame);
    }
}

void demo_stop(int32_t midi_result) {
    demo_fade_out();
    demo_bank_ready();
    music_del(&demo_music);
    raster_del(&demo_raster);
    img_del(&demo_frame);
    winkbd_del(&demo_keyboard);
    winsnd_del(&demo_player);
    windpy_del(&demo_display);
    fps_del(&demo_timer);
    std::fprintf(stderr, "rivo7315: stopped: cannot query MIDI output device 0: %s\n",
                 midi_out_result_text(midi_result));
    std::fflush(stderr);
    winmain_exit(RUN_NO_MIDI);
}

// The demo's part of the run's end (winmain_exit): no thread outlives it.
void demo_end(void) { demo_bank_ready(); }
