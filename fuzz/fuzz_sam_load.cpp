// Fuzzes sam_load in every form. The first input byte picks the file name's
// ending (WAV, SAM, the binary variant, or none for headerless data) and the
// headerless width, order and sign; the rest is written to a temporary file.
// A successful load must hold a consistent sample that survives a round trip
// through the lossless binary variant.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "audio/sam.h"
#include "audio/sample.h"

static const char *fuzz_sam_dir() {
    static char dir[64] = "";
    if (!dir[0]) {
        snprintf(dir, sizeof dir, "/tmp/fuzz_sam_load_XXXXXX");
        if (!mkdtemp(dir)) abort();
    }
    return dir;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    static const char *const endings[4] = {"in.wav", "in.sam", "in.raw", "in.dat"};
    static const int32_t widths[4] = {8, 16, 24, 32};
    uint8_t mode = data[0];
    char path[128];
    snprintf(path, sizeof path, "%s/%s", fuzz_sam_dir(), endings[mode & 3]);
    FILE *f = fopen(path, "wb");
    if (!f) abort();
    if (size > 1) fwrite(data + 1, 1, size - 1, f);
    fclose(f);
    SAM *s = sam_new();
    sam_set_name(s, path);
    s->sample_width = widths[(mode >> 2) & 3];
    s->order = (mode & 16) ? 'm' : 'l';
    s->sign = (mode & 32) ? 's' : 'u';
    if (sam_load(s)) {
        if (s->file || !s->sample || !s->sample->data || s->sample->count < 0 ||
            s->sample->count > s->sample->capacity)
            abort();
        // The input file holds at least one byte per value.
        if ((size_t)s->sample->count > size) abort();
        SAMPLE *first = sample_dup(s->sample);
        char back[128];
        snprintf(back, sizeof back, "%s/back.raw", fuzz_sam_dir());
        sam_set_name(s, back);
        if (!sam_save(s) || !sam_load(s)) abort();
        if (first->count != s->sample->count) abort();
        for (int32_t i = 0; i < first->count; i++)
            if (first->data[i] != s->sample->data[i]) abort();
        sample_del(&first);
    } else if (s->file) {
        abort();
    }
    sam_del(&s);
    return 0;
}
