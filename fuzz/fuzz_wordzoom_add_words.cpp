// Feeds arbitrary bytes, zero-terminated in a buffer of exactly that size, to
// the word splitter, checks the words against the text (one per line feed,
// plus a final piece without one, each the bytes between), then shows every
// word through a few steps and draws of a small zoom. The splitter must never
// look past the terminating zero; the zoom must never read past a word.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "imaging/img.h"
#include "text/wordzoom.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

// A line font whose every glyph is one short stroke, so that all 256 codes draw.
static LFONT *fuzz_font(void) {
    LFONT *font = lfont_new();
    font->size->x = font->size->y = 4;
    font->glyphs = list_new();
    list_set_count(font->glyphs, 256);
    for (int32_t c = 0; c < 256; c++) {
        OBJ2D *o = obj2d_new();
        SEG2D *s = seg2d_new();
        s->a->x = s->a->y = 0;
        s->b->x = c & 3;
        s->b->y = (c >> 2) & 3;
        obj2d_add_segment(o, s);
        list_set(font->glyphs, o, c);
    }
    return font;
}

// The splitter's contract, checked against a plain walk over the text.
static void fuzz_check_words(const WORDZOOM *zoom, const char *text) {
    int32_t expected = 0;
    const char *start = text;
    for (const char *p = text;; p++) {
        if (*p == '\n' || (*p == 0 && p > start)) {
            const char *word = (const char *)list_get(zoom->words, expected);
            size_t n = (size_t)(p - start);
            if (!word || strlen(word) != n || memcmp(word, start, n) != 0) abort();
            expected++;
            start = p + 1;
        }
        if (*p == 0) break;
    }
    int32_t count = zoom->words ? zoom->words->count : 0;
    if (count != expected) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    char *text = (char *)malloc(size + 1);
    if (!text) return 0;
    memcpy(text, data, size);
    text[size] = 0;
    WORDZOOM *zoom = wordzoom_new();
    if (!zoom) {
        free(text);
        return 0;
    }
    wordzoom_add_words(zoom, text);
    fuzz_check_words(zoom, text);
    free(text);

    static LFONT *font = fuzz_font();
    IMG *img = img_new();
    img_resize(img, 48, 48);
    zoom->width = zoom->height = 48;  // countdown 12: six steps per letter
    zoom->font = font;
    zoom->target = img;
    int32_t words = zoom->words ? zoom->words->count : 0;
    for (int32_t w = 0; w < words && w < 8; w++) {
        wordzoom_start_word(zoom, w);
        for (int32_t step = 0; step < 64 && !wordzoom_done(zoom); step++) {
            wordzoom_step(zoom);
            wordzoom_draw(zoom);
        }
        wordzoom_draw(zoom);
    }
    if (zoom->words) wordzoom_del_words(zoom);
    wordzoom_del(&zoom);
    img_del(&img);
    return 0;
}
