// The shared random generator: one unsigned 32-bit state per thread, 1 until
// the first seed. Not for cryptography.
#include "host/random.h"

#include "host/module.h"

RIVO_IDENTITY(random, "RANDOM  ", "20140418", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(random, 0, "RANDOM error\n");

// Unsigned so the multiply wraps modulo 2^32 by definition. A thread's own:
// the program draws on one thread, apart from the instrument bank.
static thread_local uint32_t random_state = 1;

static const uint32_t random_mul = 214013u, random_add = 2531011u;

void random_srand(uint32_t seed) { random_state = seed; }

int32_t random_rand(void) {
    random_state = random_state * random_mul + random_add;
    // The low 16 bits of an LCG cycle quickly; the draw is bits 16..30.
    return (int32_t)((random_state >> 16) & 0x7FFFu);
}

int32_t random_next(void) {
    // Two separate statements: the first draw must be the high part.
    int32_t first = random_rand();
    int32_t second = random_rand();
    return (first << 15) | second;
}

uint32_t random_state_now(void) { return random_state; }

uint32_t random_state_after(uint32_t state, uint64_t draws) {
    // One step is x -> a x + c; two steps of (a, c) make one of
    // (a a, c a + c). The bits of `draws` say which powers to apply.
    uint32_t a = random_mul, c = random_add;
    for (; draws; draws >>= 1) {
        if (draws & 1) state = state * a + c;
        c = c * a + c;
        a = a * a;
    }
    return state;
}
