// Feeds arbitrary bytes to the headerless raw reader. The first byte picks the
// width, byte order and sign; the rest is the file. The reader must take every
// value the file holds and nothing more.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "audio/sample.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    int32_t width = (data[0] & 1) ? 16 : 8;
    char order = (data[0] & 2) ? 'b' : 'l';
    char sign = (data[0] & 4) ? 'u' : 's';
    size_t body = size - 1;
    FILE *file = body > 0 ? fmemopen((void *)(data + 1), body, "rb") : tmpfile();
    if (!file) return 0;
    SAMPLE *s = sample_read_raw(file, width, order, sign);
    fclose(file);
    if (!s) abort();
    size_t expected = width == 8 ? body : body / 2;
    if ((size_t)s->count != expected) abort();
    for (int32_t i = 0; i < s->count; i++) {
        if (s->data[i] < -32768 || s->data[i] > 32767) abort();
    }
    // Writing at the same width and order and reading back gives the same values.
    if (width == 16 && sign == 's') {
        FILE *out = tmpfile();
        if (out) {
            sample_write_raw(s, out, 16, order);
            rewind(out);
            SAMPLE *back = sample_read_raw(out, 16, order, 's');
            fclose(out);
            if (!back || !sample_compare(s, back)) abort();
            sample_del(&back);
        }
    }
    sample_del(&s);
    return 0;
}
