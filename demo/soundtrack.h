// The demo's music: its 96-note instrument bank and the per-frame music step
// that stamps patterns into the loop and hands the loop to the player.
#pragma once

#include <cstdint>

#include "audio/music.h"
#include "audio/winsnd.h"

struct FPS;

// Notes in the instrument bank.
constexpr int32_t demo_instrument_count = 96;

// Makes the music record (period 256) and synthesises the 96 notes into its
// bank in their fixed order: 48 organ notes, 12 plucked, 12 buzz, 12 noise
// hits, 12 square chords. Draws from the shared random generator (noise).
// Null when the record cannot be made.
MUSIC *demo_build_instruments(void);
// How many draws of random_rand building the bank makes: each noise layer's
// one draw each plus one per change of value. The bank can then be built on
// another thread from the generator's state of the moment while this thread
// goes on from the state after those draws, each drawing what it would have.
uint64_t demo_bank_draws(void);

// One frame of music: draws the style (also while muted), then unless muted
// builds or blends a pattern as the frame count says and feeds the loop to the
// player (queued only while fewer than 4 entries wait). Null parts are skipped.
void demo_music_step(MUSIC *music, WINSND *player, const FPS *fps, int muted);
