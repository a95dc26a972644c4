// Helpers shared by the fuzz targets: exact-size copies of the input (so that
// AddressSanitizer catches any read past its end) and a scratch file per
// process for the decoders that read files.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The input in a block of exactly `size` bytes (one when empty); free() it.
static inline uint8_t *fuzz_bytes(const uint8_t *data, size_t size) {
    uint8_t *copy = (uint8_t *)malloc(size ? size : 1);
    if (!copy) abort();
    if (size) memcpy(copy, data, size);
    return copy;
}

// The input followed by a terminating zero, in a block of exactly size + 1
// bytes; free() it.
static inline char *fuzz_text(const uint8_t *data, size_t size) {
    char *text = (char *)malloc(size + 1);
    if (!text) abort();
    if (size) memcpy(text, data, size);
    text[size] = '\0';
    return text;
}

// A scratch file made once per process, named after the target.
static inline const char *fuzz_scratch_path(const char *target) {
    static char path[96] = "";
    if (!path[0]) {
        snprintf(path, sizeof path, "/tmp/%s_XXXXXX", target);
        int fd = mkstemp(path);
        if (fd < 0) abort();
        close(fd);
    }
    return path;
}

// Replaces the scratch file's contents with the input.
static inline void fuzz_write(const char *path, const uint8_t *data, size_t size) {
    FILE *f = fopen(path, "wb");
    if (!f) abort();
    if (size) fwrite(data, 1, size, f);
    fclose(f);
}
