// Fuzzes the IMG{ text parser: any NUL-terminated text must give null or a
// well-formed image, never a read past the terminator; a parsed image must
// write a text that parses back to an equal image when its top bytes are 0.
#include "fuzz/fuzz_support.h"
#include "imaging/img.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    char *text = fuzz_text(data, size);
    IMG *image = img_from_text(text);
    free(text);
    if (!image) return 0;
    if (!image->pixels || image->width < 0 || image->height < 0) abort();
    bool plain = true;
    size_t n = (size_t)image->width * (size_t)image->height;
    for (size_t i = 0; i < n; i++) plain = plain && (image->pixels[i] >> 24) == 0;
    char *again = img_to_text(image);
    if (!again) abort();
    if (plain && n > 0) {
        IMG *back = img_from_text(again);
        if (!back || !img_compare(image, back)) abort();
        img_del(&back);
    }
    free(again);
    img_del(&image);
    return 0;
}
