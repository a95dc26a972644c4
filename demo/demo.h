// RIVO7315, the main program module: start-up with the title frame, the
// endless loop over the seven scenes, the frame loop and its tail (present
// with glow, blur, fade and white; music step; keys; pacing), the key
// commands, pause, fade-out and the shutdown after a failed MIDI query.
#pragma once

#include <cstdint>

struct FPS;
struct IMG;
struct WINDPY;
struct WINKBD;

// Prints "RIVO7315 Error.\n" when the debug switch is on.
void demo_error(void);

// ---- Frame size and the objects built by demo_start ------------------------------

extern int32_t demo_width;   // 256
extern int32_t demo_height;  // 256

extern WINDPY *demo_display;
extern WINKBD *demo_keyboard;
extern IMG *demo_frame;  // every scene draws here
extern IMG *demo_glow;   // work images of demo_present
extern IMG *demo_blur;
extern IMG *demo_logo;   // the decoded logo picture, colours inverted
extern FPS *demo_timer;

// ---- Demo state shared by all scenes (persists from scene to scene) ----------

extern int32_t demo_skip;          // skip request (space)
extern int32_t demo_fade;          // present subtracts demo_fade_colour ('F')
extern uint32_t demo_fade_colour;  // 0x010101 at start
extern int32_t demo_white;         // without fade the frame is cleared white ('W')
extern int32_t demo_glow_on;       // 'G'
extern int32_t demo_blur_on;       // 'B'
extern int32_t demo_paused;        // 'P'
extern int32_t demo_muted;         // 'O'
extern int32_t demo_status_on;     // status overlay ('8')
extern int32_t demo_bench_text;    // benchmark text of scenes 5 and 7 ('S')
extern int32_t demo_flash_chance;  // 1 at start; scene 3 sets 4

// The frame timer's frame count (0 without a timer).
int32_t demo_timer_frames(void);

// Runs demo_start, then scenes 1 to 7 in order, forever.
void demo_main(void);
// Builds everything: window, frame, title frame, work images, shared
// resources, frame timer; the order fixes every later random number.
void demo_start(void);
// The title frame: nested border (pattern from one random draw) and the
// inverted logo added in the middle, presented once.
void demo_title(void);

// One frame's drawing steps of a scene; i counts the scene's frames from 0.
typedef void (*demo_draw_fn)(int32_t i);
// Runs up to n frames: timer start, draw, present, music step (if music),
// keys, skip check, timer end and (if wait) the pacing sleep.
void demo_frames(int32_t n, demo_draw_fn draw, int music, int wait);

// Glow and blur into the work images, upload, then fade or clear the frame.
void demo_present(void);
// Reads the key character, pumps one window message, clears the key, acts.
void demo_key_handler(WINKBD *keyboard);
// While paused: keyboard update and key handler, nothing drawn or presented.
void demo_pause(void);
// 32 rounds of subtracting 0x808080 and presenting.
void demo_fade_out(void);
// The shutdown after a failed MIDI query: fade out, destroy the shared
// objects, say why on standard error and end the run with RUN_NO_MIDI.
void demo_stop(int32_t midi_result);
// The demo's part of the run's end, called by winmain_exit: the instrument
// bank's thread is joined. (Out of memory for the display, the frame or the
// frame timer at start-up ends the run with RUN_NO_MEMORY.)
void demo_end(void);
