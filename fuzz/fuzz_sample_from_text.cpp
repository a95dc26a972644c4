// Feeds arbitrary text to the lenient SAMPLE text reader: it must stop at the
// terminating zero, never trust the count with an allocation, and whatever it
// returns must survive a trip back through the text form.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio/sample.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    char *text = (char *)calloc(size + 1, 1);
    if (!text) return 0;
    memcpy(text, data, size);
    SAMPLE *s = sample_from_text(text);
    if (s) {
        if (s->count > s->capacity) abort();
        char *again = sample_to_text(s);
        SAMPLE *back = again ? sample_from_text(again) : nullptr;
        if (back && !sample_compare(s, back)) abort();
        sample_del(&back);
        free(again);
        sample_del(&s);
    }
    free(text);
    return 0;
}
