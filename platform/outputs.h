// OUTPUTS: what a run leaves behind besides the window: frame numbers and the
// --hash lines, the kept frame on screen and its F12 screenshot, the --capture
// directory (platform/capture), the --record file (platform/record) and the
// progress bar of a recording. backend.cpp drives it for every backend: it
// says when a frame is shown or replaced, when the clock has moved, and when
// the run ends. Frames come as 0x00RRGGBB words, top row first.
#pragma once

#include <cstddef>
#include <cstdint>

struct RUN_OPTIONS;

// Video frames per second of recordings and captures: the frame timer's rate
// when the demo starts.
constexpr int32_t outputs_video_rate = 50;

// Takes over the hash switch, the screenshot directory and the files to
// write; RUN_OK, or RUN_WRITE_FAILED after saying why a file cannot be made.
int outputs_start(const RUN_OPTIONS *options);
// Writes what the clock (ms) still owes, prints the last hash line and closes
// the files; 0 when a write failed at any time (said on stderr). Forgets
// everything, so outputs_start can run again.
int outputs_finish(uint32_t clock);
// Non-zero once a write has failed: the files are closed and the run should end.
int outputs_failed(void);

// The frame shown so far is final: its hash line goes out, the next is numbered.
void outputs_new_frame(void);
// The frame on screen can no longer be replaced: its hash line goes out now.
void outputs_settle(void);
// Keeps a copy of the frame being shown as the current numbered frame (a
// later call before outputs_new_frame replaces it).
void outputs_keep(const uint32_t *frame, int32_t w, int32_t h);
// Brings the sound and the pictures of the files up to the clock (ms).
void outputs_catch_up(uint32_t clock);
// `done` of `total` frame-timer frames have ended (total 0: no limit).
void outputs_frame_ended(int32_t done, int32_t total);
// Sound as played, and the player's catch-up: see backend_sound_played.
void outputs_sound_played(const int16_t *interleaved, int32_t frames, int32_t channels);
void outputs_sound_source(void (*catch_up)(void));

// The current frame number (see platform/options.h for how frames are numbered).
uint32_t outputs_frame(void);
// The last frame shown (words), its size in *w, *h; null if none.
const uint32_t *outputs_last_frame(int32_t *w, int32_t *h);
// Writes the last frame shown as a PNG file; 1 on success, otherwise 0 with
// errno telling why.
int outputs_save_shown(const char *path);
// F12: the frame on screen as rivo7315_NNNNNN.png in the screenshot
// directory (made on first use); its path on standard output.
void outputs_screenshot(void);
// CRC-32 (IEEE 802.3, reflected, as in zip and PNG) of n bytes.
uint32_t outputs_crc32(const uint8_t *data, size_t n);
// The hash of a frame: the CRC-32 of its w x h pixels as 24-bit bytes blue,
// green, red, bottom row first, rows unpadded (the display's frame bytes).
uint32_t outputs_frame_crc32(const uint32_t *frame, int32_t w, int32_t h);
