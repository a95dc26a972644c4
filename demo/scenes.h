// The seven scenes of the demo's loop, each a set-up, a fade (but for the
// wave mesh), a frame loop of a fixed number of frames and a tidy-up.
#pragma once

#include <cstdint>

struct IMG;
struct RASTER;

// Frames of each scene when it is not skipped.
enum {
    DEMO_FRAMES_LOGO_COLUMNS = 750,
    DEMO_FRAMES_WAVE_MESH = 501,  // its counter runs from 500 down to 0
    DEMO_FRAMES_INFO = 1000,
    DEMO_FRAMES_RASTER_LETTERS = 900,
    DEMO_FRAMES_ELLIPSES = 750,
    DEMO_FRAMES_STARS = 750,
    DEMO_FRAMES_FILLED_ELLIPSES = 750,
};

// One scene: its set-up, its drawing steps for frame i (from 0), its tidy-up
// (null when it has none), and the flags of its row in the scene table.
struct DEMO_SCENE {
    const char *name;
    int32_t frames;
    void (*setup)(void);
    void (*frame)(int32_t i);
    void (*tidy)(void);
    int fade;   // demo_fade_out after the set-up
    int music;  // the music step runs every frame
    int wait;   // the frame timer sleeps the rest of each period
};

// The scenes' records, defined beside their drawing steps:
// 1 columns: a sprinkle of line shapes behind ten rows of the logo word
//   stretched by three sine phases into moving columns;
// 2 mesh: a 64 x 64 wave mesh of line segments, sheared and mirrored;
// 3 midi: the info scroller over a cycling ground, random MIDI messages and
//   the MIDI device's report; unpaced;
// 4 letters: a raster over the frame and the four letter pictures filled with
//   a sine plasma, bobbing, resolving from coarse blocks;
// 5 outline and 7 filled: as many random ellipses per frame as fit its period;
// 6 star layers: four star layers.
extern const DEMO_SCENE demo_scene_columns, demo_scene_mesh, demo_scene_midi, demo_scene_letters,
    demo_scene_outline, demo_scene_star_layers, demo_scene_filled;

// The seven scenes in loop order.
extern const DEMO_SCENE *const demo_scene_table[7];

// Set-up, fade, frame loop, tidy-up.
void demo_run_scene(const DEMO_SCENE *scene);

// The MIDI report of scene 3 written on the frame, then presented once more;
// a failed capability query ends the demo through demo_stop.
void demo_midi_info(void);

// Block size of scene 4's mosaic on frame i: 64 - i / 4 while i < 256, else 0 (none).
int32_t demo_mosaic_block(int32_t i);
// Scene 4's letter step in one pass: the plasma's rows painted over a
// picture-sized work image, ANDed with the picture and drawn at (x, y) of
// target, transparently or (blend) averaging; the picture is not null.
void demo_letters_draw(const IMG *picture, const RASTER *plasma, IMG *target, int32_t x, int32_t y, int blend);
// The benchmark count after one frame: one less when the last wait did not
// sleep (sleep_ms below 1), else one more; never below 0.
int32_t demo_bench_adapt(int32_t count, int32_t sleep_ms);
// Current benchmark counts of scenes 5 and 7.
int32_t demo_bench_count(int filled);
