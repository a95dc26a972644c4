// effects_reel: a short reel of the effects library written to files. A note
// is synthesised (SOUND) and its waveform scrolls behind everything (SAM,
// SAMDRAW); a helix band (HELIX), a mirrored sine chain (SINELINE), a palette
// scan line (SINESCAN) and a rain of bitmap glyphs (LRAIN, FONT) move over
// it, and the default words zoom in letter by letter with the 16x16 line
// font (WORDZOOM, LFONT). Usage: effects_reel <folder>; writes frame_000.ppm
// ... and note.wav into the folder, which must exist. Exit code 0 on success,
// 1 when a file could not be written, 2 on a usage error.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "audio/sam.h"
#include "audio/samdraw.h"
#include "audio/sample.h"
#include "audio/sound.h"
#include "demo/linefonts.h"
#include "demo/pictures.h"
#include "effects/helix.h"
#include "effects/lrain.h"
#include "host/random.h"
#include "imaging/img.h"
#include "text/font.h"
#include "text/sineline.h"
#include "text/sinescan.h"
#include "text/wordzoom.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/vec2d.h"

// Frames in the reel: enough for the first word to land and the next to start.
static const int32_t reel_frames = 40;
static const int32_t reel_size = 256;
// Half a second of A4 (note 45 from C1), 440 Hz.
static const int32_t reel_note = 45;
static const int32_t reel_note_values = sound_rate / 2;
// Values of the note shown across the frame, and how far they scroll per frame.
static const int32_t reel_window = 1024;
static const int32_t reel_scroll = (reel_note_values - reel_window) / reel_frames;

// Everything the reel draws with; the reel owns all of it.
struct REEL {
    IMG *frame;
    SAM *sam;            // owns the note
    SAMDRAW *scope;
    HELIX *helix;
    SINELINE *chain;
    SINESCAN *scan;
    LRAIN *rain;
    FONT *glyphs;        // 16 x 16 cells on the demo's glyph sheet
    LIST *line_glyphs;   // the 16x16 line font's objects (the font destroys them)
    LFONT *line_font;
    WORDZOOM *zoom;
};

static SAMPLE *reel_make_note(void) {
    SAMPLE *note = sample_new();
    if (!note) return nullptr;
    sample_set_count(note, reel_note_values);
    sound_sine(note, sound_note(reel_note));
    sound_decay(note);
    return note;
}

static bool reel_build(REEL *r, const char *folder) {
    char name[4096];
    r->frame = img_new();
    img_resize(r->frame, reel_size, reel_size);
    r->sam = sam_new();
    SAMPLE *note = reel_make_note();
    if (!r->frame || !r->frame->pixels || !note) {
        if (note) sample_del(&note);
        return false;
    }
    sam_set_sample(r->sam, note);
    snprintf(name, sizeof name, "%s/note.wav", folder);
    sam_set_name(r->sam, name);

    r->scope = samdraw_new();
    r->scope->sam = r->sam;
    r->scope->target = r->frame;
    r->scope->background = 0x000010;
    r->scope->wave = 0x3070B0;

    r->helix = helix_new();
    r->chain = sineline_new();
    r->chain->color = 0x305070;
    r->scan = sinescan_new();
    r->rain = lrain_new();
    r->glyphs = font_new();
    r->line_glyphs = obj2d_parse(demo_font16_text);
    r->line_font = lfont_new();
    r->zoom = wordzoom_new();
    if (!r->helix || !r->chain || !r->scan || !r->rain || !r->glyphs || !r->line_glyphs ||
        !r->line_font || !r->zoom)
        return false;

    r->glyphs->sheet = img_from_pnm(demo_glyphs_pnm, demo_glyphs_pnm_size);
    r->glyphs->cell_width = r->glyphs->cell_height = 16;
    r->rain->font = r->glyphs;
    r->rain->vy = 0x28000;  // 2.5 pixels a frame
    lrain_set_count(r->rain, 24);

    r->line_font->glyphs = r->line_glyphs;
    r->zoom->font = r->line_font;
    r->zoom->target = r->frame;
    wordzoom_add_words(r->zoom, wordzoom_default_words);
    wordzoom_start_word(r->zoom, 0);
    return true;
}

static void reel_destroy(REEL *r) {
    if (r->zoom) {
        if (r->zoom->words) wordzoom_del_words(r->zoom);
        wordzoom_del(&r->zoom);
    }
    if (r->line_font) lfont_del(&r->line_font);  // destroys the glyph objects
    if (r->line_glyphs) list_del(&r->line_glyphs);
    if (r->glyphs) font_del(&r->glyphs);
    if (r->rain) lrain_del(&r->rain);
    if (r->scan) sinescan_del(&r->scan);
    if (r->chain) sineline_del(&r->chain);
    if (r->helix) helix_del(&r->helix);
    if (r->scope) samdraw_del(&r->scope);
    if (r->sam) sam_del(&r->sam);
    if (r->frame) img_del(&r->frame);
}

// One frame: the scrolling waveform, the band, the chain, three scan lines,
// the rain and the word, each drawn over the last.
static void reel_draw(REEL *r, int32_t f) {
    r->scope->first = f * reel_scroll;
    r->scope->last = r->scope->first + reel_window - 1;
    samdraw_draw(r->scope);

    helix_draw_bands(r->helix, r->frame);
    helix_step(r->helix);

    sineline_update(r->chain);
    sineline_draw_mirror4(r->chain, r->frame);

    sinescan_update(r->scan);
    for (int32_t y = 0; y < 3; y++) {
        r->scan->y = reel_size - 3 + y;
        sinescan_draw_palette(r->scan, r->frame);
    }

    lrain_step(r->rain);
    lrain_draw_glyphs(r->rain, r->frame);

    if (wordzoom_done(r->zoom)) wordzoom_next_word(r->zoom);
    wordzoom_step(r->zoom);
    wordzoom_draw(r->zoom);
}

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s <folder>\n", argc > 0 ? argv[0] : "effects_reel");
        return 2;
    }
    random_srand(0x31756A22);
    REEL reel = {};
    int status = 0;
    if (!reel_build(&reel, argv[1])) {
        fprintf(stderr, "effects_reel: could not build the reel\n");
        status = 1;
    }
    char name[4096];
    for (int32_t f = 0; status == 0 && f < reel_frames; f++) {
        reel_draw(&reel, f);
        snprintf(name, sizeof name, "%s/frame_%03d.ppm", argv[1], (int)f);
        if (!img_save_ppm(reel.frame, name)) {
            fprintf(stderr, "effects_reel: could not write %s\n", name);
            status = 1;
        }
    }
    if (status == 0 && !sam_save(reel.sam)) {
        fprintf(stderr, "effects_reel: could not write the note\n");
        status = 1;
    }
    reel_destroy(&reel);
    return status;
}
