// The sound device: one process-wide player that loops one 16-bit PCM WAV image
// held in memory, as the platform's asynchronous looping player does, and mixes
// the built-in synthesiser after it. Its output is 16-bit stereo at 44100 frames
// per second, to an SDL audio device in a window run; headless, a virtual
// player advances with the backend's virtual clock and hands what it played to
// the backend. The image stays the caller's: writes to it go between
// player_lock and player_unlock while it plays.
#pragma once

#include <cstdint>
#include <cstdio>

struct SYNTH;

// What the player plays: 16-bit stereo frames, 44100 per second.
constexpr int32_t player_rate = 44100;
constexpr int32_t player_channels = 2;

// Starts looping a RIFF WAVE image of `size` bytes (16-bit PCM, mono or stereo,
// 44100 per second) from its beginning; silence when it cannot play. Without a
// sound device the program says so once on stderr and runs silent.
void player_start(const uint8_t *image, int64_t size);
// Stops whatever plays; the device is closed, which joins its thread.
void player_stop(void);
// The image that plays, or null.
const uint8_t *player_image(void);
// Serialise writes to the playing image with the device's thread.
void player_lock(void);
void player_unlock(void);
// Headless: plays everything the virtual clock says is due, so that a change
// to the image made afterwards is heard only from now on.
void player_catch_up(void);
// The player's sample position now (frames since the process started): where a
// sound asked for now begins. -1 when nothing plays.
int64_t player_now(void);
// Mixes the synthesiser's sound after the loop from now on (null: no longer).
// The synthesiser must stay alive until it is detached.
void player_mix_synth(SYNTH *synth);
// Muted, the player plays digital silence; the loop and the synthesiser go on
// in time, so unmuting resumes the loop where it is.
void player_mute(int muted);
// Every value played from now on times percent / 100 (0..100; 100 at start),
// truncated toward zero: 100 leaves the sound as it is, 0 is digital silence.
void player_set_volume(int32_t percent);
// The SDL output device to open from now on, by name (null: the system's
// default).
void player_use_device(const char *name);
// Prints the names of the sound output devices, one per line.
void player_list_devices(FILE *out);
// 1 when a sound output device has this name.
int player_has_device(const char *name);
