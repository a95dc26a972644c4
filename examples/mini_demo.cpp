// mini_demo: a windowed demo in miniature. A 256 x 256 window (WINDPY) shows
// orbiting ellipses with fading trails at 50 frames a second (FPS), a loop of
// synthesised notes plays through the sound player (WINSND), space changes
// the colours and escape ends it (WINMAIN's message pump, WINKBD).
// Usage: mini_demo [--headless [frames]]. Headless (no window, no sound
// device, a virtual clock) it runs `frames` frames (default 150), then writes
// the last frame to mini_demo.png and the loop to mini_demo.wav. Exit code 0
// on success, 1 when something cannot be made or written, 5 without a display
// (another status of platform/options.h when the backend cannot start).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio/sam.h"
#include "audio/sample.h"
#include "audio/sound.h"
#include "audio/winsnd.h"
#include "host/fps.h"
#include "host/windpy.h"
#include "host/winkbd.h"
#include "host/winmain.h"
#include "imaging/img.h"
#include "platform/backend.h"
#include "platform/options.h"
#include "vector/list.h"
#include "vector/seg2d.h"

// Twelve notes of a quarter second: the three-second loop the player repeats.
static SAMPLE *make_loop(void) {
    static const int32_t tune[12] = {24, 31, 36, 31, 27, 34, 39, 34, 22, 29, 34, 41};
    const int32_t n = winsnd_length / 12;
    SAMPLE *loop = sample_new(), *note = sample_new();  // zero-filled: silence between notes
    sample_set_count(loop, winsnd_length);
    sample_set_count(note, n);
    for (int32_t k = 0; k < 12; k++) {
        sound_sine(note, sound_note(tune[k]));
        sound_decay(note);
        sample_move(note, loop, n, 0, k * n);
    }
    sample_del(&note);
    sample_div(loop, 3);  // leave room for the player's synthesiser
    return loop;
}

// Seven ellipses on a turning circle; the fade leaves their trails behind.
static void draw(IMG *frame, int32_t t, uint32_t palette) {
    img_scale_colour(frame, 7, 8);
    for (int32_t i = 0; i < 7; i++) {
        int32_t a = (t * 6 + i * 146) & sine_mask;  // 146: a seventh of the 1024-step turn
        int32_t x = 128 + (sine_table[(a + 256) & sine_mask] * 90 >> 15);
        int32_t y = 128 + (sine_table[a] * 90 >> 15);
        uint32_t colour = (palette >> (i % 3 * 8) | palette << (24 - i % 3 * 8)) & 0xFFFFFF;
        img_fill_ellipse(frame, x, y, 10 + i * 2, 6 + i, colour);
    }
}

int main(int argc, char **argv) {
    RUN_OPTIONS options = {};
    options.headless = argc > 1 && strcmp(argv[1], "--headless") == 0;
    int32_t frames = options.headless ? (argc > 2 ? atoi(argv[2]) : 150) : 0;
    int started = backend_start(&options);  // RUN_NO_DISPLAY (5) without a display
    if (started != RUN_OK) return started;
    WINDPY *display = windpy_new();  // opens the window
    WINKBD *keys = winkbd_new();
    FPS *timer = fps_new();
    IMG *frame = img_new();
    img_resize(frame, 256, 256);
    WINSND *player = winsnd_new();   // starts the player on a silent loop
    SAMPLE *loop = make_loop();
    if (!display || !keys || !timer || !frame || !frame->pixels || !player || !loop) return 1;
    timer->target = 50;
    list_push(player->queue, loop);

    uint32_t palette = 0x40A0FF;
    for (int32_t t = 0; frames == 0 || t < frames; t++) {
        fps_start(timer);
        draw(frame, t, palette);
        windpy_present(display, frame);
        winsnd_feed(player);
        winmain_pump();
        winkbd_update(keys);
        if (keys->keys[0] == 27) break;                 // escape
        if (keys->keys[0] == ' ') palette ^= 0xC0E040;  // space: other colours
        keys->keys[0] = 0;                              // each key acts once
        fps_end(timer);
        fps_wait(timer);
    }
    int status = options.headless && !backend_save_shown("mini_demo.png") ? 1 : 0;
    winsnd_del(&player);  // the queue goes, the loop stays ours
    SAM *file = sam_new();
    sam_set_sample(file, loop);
    sam_set_name(file, "mini_demo.wav");
    if (options.headless && !sam_save(file)) status = 1;
    sam_del(&file);
    img_del(&frame);
    fps_del(&timer);
    winkbd_del(&keys);
    windpy_del(&display);
    backend_stop();
    return status;
}
