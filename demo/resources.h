// The shared objects every scene draws with (fonts, line fonts, palette,
// letter pictures, raster, sound player, music), built once by
// demo_build_resources, and the drawing steps several scenes share: the three
// logo steps, the status overlay and the font tint.
#pragma once

#include <cstdint>

#include "audio/sample.h"

struct FONT;
struct IMG;
struct LFONT;
struct LIST;
struct MUSIC;
struct RASTER;
struct WINSND;

extern WINSND *demo_player;
extern RASTER *demo_raster;       // built, never drawn; destroyed by demo_stop
extern FONT *demo_font;           // 16 x 16 cells on the glyph sheet
extern FONT *demo_font_strip;     // the glyph sheet's first row on a cyan strip
extern LIST *demo_glyphs8;        // OBJ2D glyphs of the 8 x 8 line font, centred
extern LFONT *demo_lfont8;
extern LIST *demo_glyphs16;       // the 16 x 16 wire line font
extern LFONT *demo_lfont16;
extern LIST *demo_shapes;         // the line drawings, used as a font of pictures
extern LFONT *demo_lfont_shapes;
extern SAMPLE *demo_palette;      // 1536 colours: a closed rainbow ring
extern IMG *demo_letters[4];      // the four letter pictures
extern MUSIC *demo_music;         // the music loop generator and its 96-note bank

// The logo word the logo steps and scene 1 draw.
extern const char demo_logo_word[5];

// Builds the objects above in their fixed order (player, raster, fonts, line
// fonts, palette, letters, instrument bank); the last step draws random numbers.
void demo_build_resources(void);
// The same, but the instrument bank is only set aside: its random draws are
// skipped here, and demo_music stays null until demo_bank_ready, which
// builds the bank from the generator's state where it was set aside, so
// every draw before and after is what it would have been.
void demo_build_resources_deferred(void);
// Starts building the set-aside bank on a thread of its own (if it can).
void demo_bank_start(void);
// Makes the set-aside bank demo_music: waits for its thread, or without one
// builds it here. Also run at exit once a thread was started.
void demo_bank_ready(void);

// Entries of the palette ring.
inline constexpr int32_t demo_palette_size = 1536;

// Palette entry i mod 1536 (negative i wrap too). Inline and read in place
// when the ring is there, as meshes and plasmas ask thousands of times a
// frame; sample_get reports when it is not.
inline uint32_t demo_colour(int32_t i) {
    int32_t k = i % demo_palette_size;
    if (k < 0) k += demo_palette_size;
    const SAMPLE *p = demo_palette;
    if (p && p->data && k < p->count) return (uint32_t)p->data[k];
    return (uint32_t)sample_get(p, k);
}
// Fills a 1536-entry sample with the rainbow ring.
void demo_fill_palette(SAMPLE *palette);

// The logo word hopping on the bottom line (letters coloured by the frame count).
void demo_logo_bounce(void);
// The logo word wobbling at the top right.
void demo_logo_wobble(void);
// Now and then (one draw in flash chance) the logo word large at a random place.
void demo_logo_flash(void);
// When the overlay is on: the shown rate and the frame count in hexadecimal.
void demo_status(void);

// Tints demo_font's glyph sheet: + s (blue), then - 0x505000.
void demo_font_tint(uint32_t s);
// Undoes it, inexactly: + 0x505000, then - s; the sheet drifts over loops.
void demo_font_untint(uint32_t s);
