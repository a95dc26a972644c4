// Line font scroller with depth: as LSCROLL, with three sine waves moving
// each character sideways, up and down and in size.
#pragma once

#include "host/export.h"

#include <cstdint>

struct CURSOR;
struct LFONT;
struct IMG;

// A line font scroller whose characters ride three sine waves.
struct LSCRLXYZ {
    int32_t x, y, z;  // strip origin, as in LSCROLL; z unused
    int32_t width;    // strip width: the target's width after lscrlxyz_set
    int32_t height;   // the line font's size.y
    int32_t depth;    // 1; unused
    int32_t speed;    // pixels per step; negative scrolls the other way
    int32_t offset;   // pixels of the first visible character scrolled out
    const char *text;    // not owned
    CURSOR *cursor;      // owned
    LFONT *font;         // not owned
    IMG *target;         // not owned
    // Phases are sine-table angles kept in 0..1023.
    int32_t x_phase, x_speed, x_spread, x_amplitude;  // sideways wave: phase, its change per step and per character, pixels
    int32_t y_phase, y_speed, y_spread, y_amplitude;  // up-and-down wave, as the sideways one
    int32_t z_phase, z_speed, z_spread, z_amplitude;  // size wave, as the sideways one; amplitude in scale steps
};

// Prints this module's error message when its debug switch is on.
RIVO_API void lscrlxyz_error(void);

// As lscroll_new; the wave speeds, spreads and amplitudes take nine random_rand draws.
RIVO_API LSCRLXYZ *lscrlxyz_new(void);
// Destroys the cursor and the record; clears *s.
RIVO_API void lscrlxyz_del(LSCRLXYZ **s);
// As lscroll_set: text, font and target attached, the strip as wide as the target.
RIVO_API void lscrlxyz_set(LSCRLXYZ *s, const char *text, LFONT *font, IMG *target);
// As lscroll_step; the phases also move by their spreads per whole character
// and by their speeds every step.
RIVO_API void lscrlxyz_step(LSCRLXYZ *s);

// As lscroll_draw (the waves leave the plain draws alone).
RIVO_API void lscrlxyz_draw(LSCRLXYZ *s);
// As lscroll_draw_random.
RIVO_API void lscrlxyz_draw_random(LSCRLXYZ *s);
// As lscroll_draw_color.
RIVO_API void lscrlxyz_draw_color(LSCRLXYZ *s, uint32_t color);
// As lscroll_draw_spiral.
RIVO_API void lscrlxyz_draw_spiral(LSCRLXYZ *s, int32_t k);
// Each character rides the x, y and size waves; the font's scale is restored after.
RIVO_API void lscrlxyz_draw_wave(LSCRLXYZ *s);
