// The shared random generator: a 32-bit state stepped as a linear
// congruential generator, 15-bit draws and their 30-bit join. Every picture
// and note of the demo follows from the order of draws on this state. Each
// thread has its own state, so work handed to another thread can draw the
// same numbers it would have drawn in line (see random_state_after).
#pragma once

#include "host/export.h"

#include <cstdint>

// Prints this module's error message when its debug switch is on.
RIVO_API void random_error(void);

// Sets the shared state to the seed (the state is 1 until the first call).
RIVO_API void random_srand(uint32_t seed);
// Steps the state (state * 214013 + 2531011 mod 2^32); returns bits 16..30: 0..32767.
RIVO_API int32_t random_rand(void);
// Two draws joined as (first << 15) | second: 0..2^30 - 1.
RIVO_API int32_t random_next(void);

// The calling thread's state as it is now.
RIVO_API uint32_t random_state_now(void);
// The state `draws` draws of random_rand after `state`: where a generator
// seeded with `state` stands once it has drawn that many (log2 steps).
RIVO_API uint32_t random_state_after(uint32_t state, uint64_t draws);
