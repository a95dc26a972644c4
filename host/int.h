// Integer helpers: the wrapping 32-bit arithmetic and arithmetic shifts the
// system relies on, written through unsigned types so no sanitizer objects.
#pragma once

#include "host/export.h"

#include <cstdint>

// Prints "INT: ERROR.\n" always (INT has no debug switch).
RIVO_API void int_error(void);

// Two's-complement wrap of 32-bit sums, differences and products.
inline int32_t wrap_add(int32_t a, int32_t b) { return (int32_t)((uint32_t)a + (uint32_t)b); }
// a - b, wrapping at 32 bits.
inline int32_t wrap_sub(int32_t a, int32_t b) { return (int32_t)((uint32_t)a - (uint32_t)b); }
// a * b, wrapping at 32 bits.
inline int32_t wrap_mul(int32_t a, int32_t b) { return (int32_t)((uint32_t)a * (uint32_t)b); }
// -a, wrapping at 32 bits (the negative of INT32_MIN is itself).
inline int32_t wrap_neg(int32_t a) { return (int32_t)(0u - (uint32_t)a); }

// Arithmetic shift right (rounds toward minus infinity, as the hardware does).
inline int32_t asr(int32_t v, int s) { return v >> s; }
// Shift left without the undefined behaviour of shifting negative values.
inline int32_t shl(int32_t v, int s) { return (int32_t)((uint32_t)v << s); }

// Little-endian 16- and 32-bit fields, as RIFF files store them.
inline void le_put16(uint8_t *p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}
// Stores the 32-bit value v at p, low byte first.
inline void le_put32(uint8_t *p, uint32_t v) {
    le_put16(p, v);
    le_put16(p + 2, v >> 16);
}
// The 16-bit value stored at p, low byte first.
inline uint32_t le_get16(const uint8_t *p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }
// The 32-bit value stored at p, low byte first.
inline uint32_t le_get32(const uint8_t *p) { return le_get16(p) | le_get16(p + 2) << 16; }
