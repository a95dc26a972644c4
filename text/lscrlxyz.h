// Line font scroller with depth: as LSCROLL, with three sine waves moving
// each character sideways, up and down and in size.
#pragma once

#include <cstdint>

struct CURSOR;
struct LFONT;
struct IMG;

struct LSCRLXYZ {
    int32_t x, y, z;
    int32_t width;
    int32_t height;
    int32_t depth;
    int32_t speed;
    int32_t offset;
    const char *text;    // not owned
    CURSOR *cursor;      // owned
    LFONT *font;         // not owned
    IMG *target;         // not owned
    // Phases are sine-table angles kept in 0..1023.
    int32_t x_phase, x_speed, x_spread, x_amplitude;
    int32_t y_phase, y_speed, y_spread, y_amplitude;
    int32_t z_phase, z_speed, z_spread, z_amplitude;
};

// Prints this module's error message when its debug switch is on.
void lscrlxyz_error(void);

// As lscroll_new; the wave speeds, spreads and amplitudes take nine random_rand draws.
LSCRLXYZ *lscrlxyz_new(void);
void lscrlxyz_del(LSCRLXYZ **s);
void lscrlxyz_set(LSCRLXYZ *s, const char *text, LFONT *font, IMG *target);
// As lscroll_step; the phases also move by their spreads per whole character
// and by their speeds every step.
void lscrlxyz_step(LSCRLXYZ *s);

void lscrlxyz_draw(LSCRLXYZ *s);
void lscrlxyz_draw_random(LSCRLXYZ *s);
void lscrlxyz_draw_color(LSCRLXYZ *s, uint32_t color);
void lscrlxyz_draw_spiral(LSCRLXYZ *s, int32_t k);
// Each character rides the x, y and size waves; the font's scale is restored after.
void lscrlxyz_draw_wave(LSCRLXYZ *s);
