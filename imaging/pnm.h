// PNM reading shared by the IMG and BYTEMAP decoders: one byte source over a
// bounded memory block or an open file, the header parser with its size
// checks, and the raster walk for P1 to P6; and the "NAME{" text form both
// write and read (a plain P3 body in braces). Not a module of its own (no
// identity, no reporter): the modules that call it report the failures.
// Limits: never reads past its input; every maxval is taken as 255; a raster
// holds at most 2^31 - 1 values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// A bounded memory block or an open file. A read past the end gives -1.
struct pnm_reader {
    const uint8_t *data;
    size_t size;
    size_t pos;
    FILE *file;
    int ahead;       // file: the byte peeked but not yet taken, or -2 for none
    bool from_file;  // file rules: P4 rows start on fresh bytes, P1 values are numbers
};

pnm_reader pnm_reader_memory(const void *data, size_t size);
pnm_reader pnm_reader_file(FILE *file);

// The next byte, taken, or -1 at the end.
int pnm_next(pnm_reader *r);

struct pnm_header {
    int kind;          // '1' .. '6'
    int64_t field[3];  // width, height, maxval
};

// Reads the header up to and including the single byte that ends it. False
// when it is malformed, when the size is not positive or its value count does
// not fit a signed 32-bit index, or when the input left cannot hold the raster
// it announces (checked before anyone allocates for it).
bool pnm_read_header(pnm_reader *r, pnm_header *h);

// Skips to the next digit and reads its run (wrapping like the unsigned value
// it becomes). False at the end.
bool pnm_read_sample(pnm_reader *r, uint32_t *value);

// One P1 value as 0 or 1: in memory a single digit character, in a file a
// whole number (any non-zero number is 1). False at the end.
bool pnm_read_bit(pnm_reader *r, uint32_t *bit);

// How a raster value arrives.
enum pnm_channels { PNM_BIT, PNM_GREY, PNM_RGB };

// Walks the raster of a `kind` image of width x height values in row-major
// order, giving each to put(index, channels, a, b, c): a bit in `a` (P1, P4),
// a grey sample in `a` (P2, P5) or the red, green and blue samples (P3, P6).
// Packed P4 bytes run on across rows in memory (the header already rounded
// the width up to whole bytes); from a file each row starts a fresh byte.
// False when the input ends first.
template <class Put>
bool pnm_read_raster(pnm_reader *r, int kind, int32_t width, int32_t height, Put put) {
    if (kind == '4') {
        int c = 0;
        size_t i = 0;
        for (int32_t y = 0; y < height; y++) {
            for (int32_t x = 0; x < width; x++, i++) {
                if (x % 8 == 0 && (c = pnm_next(r)) < 0) return false;
                put(i, PNM_BIT, (uint32_t)(c >> (7 - x % 8)) & 1u, 0u, 0u);
            }
        }
        return true;
    }
    size_t n = (size_t)width * (size_t)height;
    for (size_t i = 0; i < n; i++) {
        uint32_t a, b, c;
        int k0, k1, k2;
        switch (kind) {
        case '1':
            if (!pnm_read_bit(r, &a)) return false;
            put(i, PNM_BIT, a, 0u, 0u);
            break;
        case '2':
            if (!pnm_read_sample(r, &a)) return false;
            put(i, PNM_GREY, a, 0u, 0u);
            break;
        case '3':
            if (!pnm_read_sample(r, &a) || !pnm_read_sample(r, &b) || !pnm_read_sample(r, &c))
                return false;
            put(i, PNM_RGB, a, b, c);
            break;
        case '5':
            if ((k0 = pnm_next(r)) < 0) return false;
            put(i, PNM_GREY, (uint32_t)k0, 0u, 0u);
            break;
        default:  // '6'
            k0 = pnm_next(r);
            k1 = pnm_next(r);
            k2 = pnm_next(r);
            if (k2 < 0) return false;
            put(i, PNM_RGB, (uint32_t)k0, (uint32_t)k1, (uint32_t)k2);
            break;
        }
    }
    return true;
}

// ---- The text form ---------------------------------------------------------------
// "NAME{\nP3\nW H\n255\n", then each value as a red, green, blue triple of
// right-aligned three-column numbers, six values to a line, then "}\n". An
// empty raster is "NAME{}".

// Writes v (0..255) right-aligned in three columns.
char *pnm_put3(char *s, uint32_t v);

// The end of the first `pattern` in `text` as an offset, or 0 when it is
// absent or lies past a signed 32-bit offset.
int32_t pnm_find(const char *text, const char *pattern);

// The text form of a w x h raster of n = w * h values, value i given by
// colour(i) as 0x00RRGGBB; null when it cannot be allocated.
template <class Colour>
char *pnm_text_write(const char *name, int32_t w, int32_t h, size_t n, Colour colour) {
    size_t name_length = strlen(name);
    if (n == 0) {
        char *empty = (char *)calloc(name_length + 3, 1);
        if (empty) {
            memcpy(empty, name, name_length);
            memcpy(empty + name_length, "{}", 2);
        }
        return empty;
    }
    // 12 characters per value plus the header and "}\n"; the n / 6 spare
    // bytes cover the longer size fields of larger rasters.
    size_t size = 12 * n + n / 6 + 26 + name_length;
    char *text = (char *)calloc(size, 1);
    if (!text) return nullptr;
    char *s = text + snprintf(text, size, "%s{\nP3\n%d %d\n255\n", name, w, h);
    for (size_t i = 0; i < n; i++) {
        uint32_t p = colour(i);
        s = pnm_put3(s, (p >> 16) & 0xFF);
        *s++ = ' ';
        s = pnm_put3(s, (p >> 8) & 0xFF);
        *s++ = ' ';
        s = pnm_put3(s, p & 0xFF);
        *s++ = ((i + 1) % 6 == 0 || i + 1 == n) ? '\n' : ' ';
    }
    memcpy(s, "}\n", 2);
    return text;
}

// Finds "NAME", then "{", then "P3\n" in `text` and reads the sizes and the
// maxval (passed over: values are taken as they stand). False when any is
// missing, when a size does not fit 31 bits, when the value count does not,
// or when the rest of the text cannot hold that many values (three digits at
// least each), checked before anyone allocates. *samples is then the text
// after the maxval.
bool pnm_text_header(const char *text, const char *name, int32_t *width, int32_t *height,
                     const char **samples);

// Skips to the next digit and reads its run; values are not masked (they
// wrap modulo 2^32 like the unsigned words they become). False at the end.
bool pnm_text_sample(const char **s, uint32_t *value);
