// Scenes 3 and 4: the info scroller with random MIDI messages and the MIDI
// device report, and the raster letters. The scroller, the ground raster and
// the letters' work image are made on a scene's first run and kept; the
// letter raster is made anew on every run of scene 4 and destroyed after it.
#include "demo/demo.h"
#include "demo/infotext.h"
#include "demo/resources.h"
#include "demo/scenes.h"

#include "effects/raster.h"
#include "host/int.h"
#include "platform/midi.h"
#include "host/random.h"
#include "host/simd.h"
#include "host/windpy.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "imaging/rgb888.h"
#include "text/lscroll.h"
#include "vector/lfont.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

// ---- Scene 3: info scroller and MIDI ---------------------------------------------

static LSCROLL *info_scroller = nullptr;
static MIDI_OUT *info_midi = nullptr;
static uint32_t info_noise = 0;  // the last random message sent

static void info_setup(void) {
    demo_flash_chance = 4;
    random_next();  // drawn, not used
    demo_fade_colour = 0x505050;
    demo_blur_on = 0;
    demo_glow_on = 0;
    demo_fade = 1;
    lfont_set_color(demo_lfont8, 0xFFFFFF);
    if (!info_scroller) {
        info_scroller = lscroll_new();
        lscroll_set(info_scroller, demo_info_text, demo_lfont16, demo_frame);
    }
    if (info_scroller) {
        info_scroller->y = 128;
        info_scroller->speed = 3;
    }
    midi_out_open(&info_midi, 0);
}

static void info_pen(int32_t x, int32_t y) {
    LFONT *f = demo_lfont8;
    if (!f || !f->position || !f->scale) return;
    f->position->x = x;
    f->position->y = y;
    f->scale->x = 1;
    f->scale->y = 1;
}

void demo_midi_info(void) {
    LFONT *f = demo_lfont8;
    info_pen(4, 52);
    lfont_draw_decimal(f, midi_out_get_num_devs());
    MIDI_CAPS caps = {};
    int32_t result = midi_out_get_dev_caps(0, &caps, sizeof caps);
    if (result == MIDI_BADDEVICEID || result == MIDI_NODRIVER || result == MIDI_NOMEM ||
        result == MIDI_INVALPARAM)
        demo_stop(result);
    char name[sizeof caps.name + 1] = {};
    for (size_t i = 0; i < sizeof caps.name; i++) name[i] = caps.name[i];
    info_pen(4, 4);
    lfont_draw_line(f, name);
    info_pen(4, 12);
    lfont_draw_decimal(f, caps.voices);
    info_pen(4, 20);
    lfont_draw_decimal(f, caps.notes);
    info_pen(4, 28);
    lfont_draw_hex32(f, caps.channel_mask);
    info_pen(4, 36);
    lfont_draw_decimal(f, caps.mid);
    info_pen(4, 44);
    lfont_draw_decimal(f, caps.pid);
    uint32_t volume = 0;
    midi_out_get_volume(info_midi, &volume);
    info_pen(4, 60);
    lfont_draw_hex32(f, volume);
    info_pen(4, 68);
    lfont_draw_hex32(f, info_noise);
    windpy_present(demo_display, demo_frame);
}

static void info_frame(int32_t i) {
    int32_t c = DEMO_FRAMES_INFO - i;  // the counter runs from 1000 down to 1
    img_clear(demo_frame, rgb888_sub(demo_colour(5 * c), 0x808080));
    lscroll_step(info_scroller);
    lscroll_draw_color(info_scroller, 0xFFFFFF);
    demo_logo_bounce();
    demo_logo_flash();
    demo_logo_wobble();
    // Random noise for the MIDI device; the volume is set anew every frame.
    midi_out_set_volume(info_midi, 0x03FF03FF);
    info_noise = (uint32_t)random_rand() & 0xFFFFFF;
    midi_out_short_msg(info_midi, info_noise);
    demo_midi_info();
    demo_status();
}

static void info_tidy(void) {
    midi_out_reset(info_midi);
    midi_out_close(info_midi);
    info_midi = nullptr;
}

// No music step and no wait: the scene runs as fast as it can draw.
const DEMO_SCENE demo_scene_midi = {
    "info scroller and MIDI", DEMO_FRAMES_INFO, info_setup, info_frame, info_tidy, 1, 0, 0,
};


// ---- Scene 4: raster letters ------------------------------------------------------

static const int32_t letters_ground_rows = 1536;
static const int32_t letters_width = 128;
static const int32_t letters_height = 192;
static const uint32_t letters_tint = 0x20;

// A grey ramp up and back down, mixed into the ground raster's rainbow.
static const uint32_t letters_ramp[16] = {
    0x404040, 0x606060, 0x707070, 0x808080, 0x909090, 0xA0A0A0, 0xA8A8A8, 0xC0C0C0,
    0xC8C8C8, 0xD0D0D0, 0xD8D8D8, 0xE0E0E0, 0xE8E8E8, 0xF0F0F0, 0xF8F8F8, 0xFFFFFF,
};

static RASTER *letters_ground = nullptr;
static RASTER *letters_plasma = nullptr;
static IMG *letters_work = nullptr;
static int32_t letters_mode = 'n';
static int32_t letters_bob = 0;
static int32_t letters_phase[3], letters_speed[3], letters_step[3];

static void letters_build_ground(void) {
    letters_ground = raster_new();
    raster_set_size(letters_ground, letters_ground_rows);
    if (!letters_ground || !letters_ground->colours) return;
    for (int32_t i = 0; i < letters_ground_rows; i += 32) {
        for (int32_t k = 0; k < 32; k++) {
            uint32_t grey = letters_ramp[k < 16 ? k : 31 - k];
            letters_ground->colours[i + k] =
                rgb888_average(grey, rgb888_brighten(demo_colour(i + 16 * k), 128));
        }
    }
    letters_ground->speed = 0x20000;  // two rows per frame
}

static void letters_setup(void) {
    demo_fade_colour = (uint32_t)((random_next() & 63) + 64) * 0x010101u;
    demo_blur_on = 0;
    demo_glow_on = 0;
    demo_fade = 0;
    letters_mode = (random_next() & 1) ? 'y' : 'n';
    if (!letters_ground) letters_build_ground();
    // One plasma row per row of a letter picture.
    letters_plasma = raster_new();
    raster_set_size(letters_plasma, demo_letters[0] ? demo_letters[0]->height : letters_height);
    letters_phase[0] = random_next() & 1023;
    letters_speed[0] = (random_next() & 31) - 16;
    letters_step[0] = (random_next() & 7) - 4;
    letters_phase[1] = random_next() & 1023;
    letters_speed[1] = (random_next() & 31) - 16;
    letters_step[1] = (random_next() % 10) - 5;
    letters_phase[2] = random_next() & 1023;
    letters_speed[2] = (random_next() & 31) - 16;
    letters_step[2] = (random_next() % 12) - 6;
    if (!letters_work) {
        letters_work = img_new();
        img_resize(letters_work, letters_width, letters_height);
    }
    demo_font_tint(letters_tint);
}

static void letters_fill_plasma(void) {
    int32_t p[3] = {letters_phase[0], letters_phase[1], letters_phase[2]};
    RASTER *r = letters_plasma;
    int32_t rows = (r && r->colours) ? r->count : 0;
    for (int32_t y = 0; y < rows; y++) {
        int32_t sum = sine_table[p[0]] * 192 + sine_table[p[1]] * 192 + sine_table[p[2]] * 192;
        r->colours[y] = demo_colour(asr(sum, 14) + 384);
        for (int32_t k = 0; k < 3; k++) p[k] = (p[k] + letters_step[k]) & 1023;
    }
    for (int32_t k = 0; k < 3; k++) letters_phase[k] = (letters_phase[k] + letters_speed[k]) & 1023;
}

// One row of a letter: each picture word ANDed with the row's colour and,
// where that is not 0, drawn (blend: averaged with the target). Every target
// word is stored back, unchanged where the AND is 0, so the loop runs as
// vectors; it is compiled for every level.
template <bool blend>
static inline void letters_row(const uint32_t *p, uint32_t *t, int64_t n, uint32_t colour) {
    for (int64_t i = 0; i < n; i++) {
        const uint32_t v = p[i] & colour;
        const uint32_t drawn = blend ? ((t[i] >> 1) & 0x7F7F7Fu) + ((v >> 1) & 0x7F7F7Fu) : v;
        t[i] = v != 0 ? drawn : t[i];
    }
}

template <int Level>
static void letters_row_either(const uint32_t *p, uint32_t *t, int64_t n, uint32_t colour, int blend) {
    blend ? letters_row<true>(p, t, n, colour) : letters_row<false>(p, t, n, colour);
}

SIMD_CLONES(letters_row_fast, letters_row_either, void,
            (const uint32_t *p, uint32_t *t, int64_t n, uint32_t colour, int blend), (p, t, n, colour, blend))

// The work image's rows take the plasma's colours in turn, as
// raster_draw_rows paints them; only the pixels that the picture leaves
// non-zero after the AND are drawn, so the work image itself need not be written.
void demo_letters_draw(const IMG *picture, const RASTER *plasma, IMG *target, int32_t x, int32_t y, int blend) {
    const int64_t w = picture->width, h = picture->height, tw = target->width, th = target->height;
    const int64_t i0 = x < 0 ? -(int64_t)x : 0, i1 = (int64_t)x + w > tw ? tw - x : w;
    const int64_t j0 = y < 0 ? -(int64_t)y : 0, j1 = (int64_t)y + h > th ? th - y : h;
    const auto row = letters_row_fast_clone();
    for (int64_t j = j0; j < j1 && i0 < i1; j++) {
        int64_t entry = ((int64_t)(plasma->position >> 16) + j) % plasma->count;
        const uint32_t colour = plasma->colours[entry < 0 ? entry + plasma->count : entry];
        row(picture->pixels + j * w + i0, target->pixels + (y + j) * tw + x + i0, i1 - i0, colour, blend);
    }
}

// True when a letter can be drawn in one pass: the picture fits the work
// image exactly (otherwise img_and refuses it) and the plasma and frame are there.
static bool letters_fused(const IMG *letter) {
    return letter && letter->pixels && letters_work && letters_work->pixels && letter->width == letters_work->width &&
           letter->height == letters_work->height && letters_plasma && letters_plasma->colours &&
           letters_plasma->count >= 1 && demo_frame && demo_frame->pixels;
}

int32_t demo_mosaic_block(int32_t i) { return (i >= 0 && i < 256) ? 64 - i / 4 : 0; }

static void letters_frame(int32_t i) {
    raster_step(letters_ground);
    raster_draw_rows(letters_ground, demo_frame);
    letters_bob = (letters_bob + 20) & 1023;
    letters_fill_plasma();
    for (int32_t k = 3; k >= 0; k--) {
        const IMG *letter = demo_letters[k];
        const bool fused = letters_fused(letter);
        if (!fused) {  // the plain steps, which also report what is missing
            raster_draw_rows(letters_plasma, letters_work);
            img_and(letter, letters_work);
        }
        if (!letters_work) continue;
        letters_work->x = (256 - letters_width) * k / 3;
        letters_work->y = (256 - letters_height) / 2 +
                          asr(sine_table[(letters_bob - 80 * k) & 1023] * 128, 16);
        if (fused)
            demo_letters_draw(letter, letters_plasma, demo_frame, letters_work->x, letters_work->y, letters_mode == 'y');
        else if (letters_mode == 'y')
            imgfx_draw_blend(letters_work, demo_frame);
        else
            img_draw(letters_work, demo_frame);
    }
    demo_status();
    demo_logo_wobble();
    int32_t block = demo_mosaic_block(i);
    if (block > 0) imgfx_pixelate_average_centred(demo_frame, block, block);
}

static void letters_tidy(void) {
    raster_del(&letters_plasma);
    demo_font_untint(letters_tint);
}

const DEMO_SCENE demo_scene_letters = {
    "raster letters", DEMO_FRAMES_RASTER_LETTERS, letters_setup, letters_frame, letters_tidy, 1, 1, 1,
};

