// The shared random generator: one unsigned 32-bit state for the whole
// program, 1 until the first seed. Single-threaded; not for cryptography.
#include "host/random.h"

#include "host/module.h"

RIVO_IDENTITY(random, "RANDOM  ", "20140418", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(random, 0, "RANDOM error\n");

// Unsigned so the multiply wraps modulo 2^32 by definition.
static uint32_t random_state = 1;

void random_srand(uint32_t seed) { random_state = seed; }

int32_t random_rand(void) {
    random_state = random_state * 214013u + 2531011u;
    // The low 16 bits of an LCG cycle quickly; the draw is bits 16..30.
    return (int32_t)((random_state >> 16) & 0x7FFFu);
}

int32_t random_next(void) {
    // Two separate statements: the first draw must be the high part.
    int32_t first = random_rand();
    int32_t second = random_rand();
    return (first << 15) | second;
}
