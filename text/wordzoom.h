// WORDZOOM: a list of words shown one at a time with a line font. Each new
// letter flies in from the middle of the target, large and shrinking, drawn
// eight times growing and shifting so it looks extruded, and lands at its
// place in the word, which is drawn at twice the font's scale.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;
struct LFONT;
struct LIST;

// Letters `shown` can hold; one zero word after them keeps a full line terminated.
constexpr int32_t wordzoom_shown_size = 256;

// Words zooming in letter by letter with a line font.
struct WORDZOOM {
    int32_t x;             // 0; not used
    int32_t y;             // 0; not used
    int32_t z;             // 0; not used
    int32_t width;         // target area; the zoom centre is (width / 2, height / 2)
    int32_t height;        // target area; the zoom centre is (width / 2, height / 2)
    int32_t depth;         // not used
    int32_t countdown;     // zoom counter of the letter in flight, falls by 2 per step
    int32_t word_x;        // place of the word's first letter
    int32_t word_y;        // place of the word's first letter
    int32_t capacity;      // 256: the letters of `shown` in use
    char shown[wordzoom_shown_size + 4];  // letters landed so far, zero-terminated
    int32_t length;        // letters of the current word
    int32_t revealed;      // letters landed
    const char *word;      // current word (a text of `words`)
    int32_t word_index;    // index of `word` in `words`
    LIST *words;           // texts made by wordzoom_add_words
    char mode;             // 'o' letters zoom in, 'i' stepping does nothing
    uint32_t color;        // letter colour, a random light colour
    IMG *target;           // drawn into; not owned
    LFONT *font;           // drawn with; not owned, its pen, scale, angle, code,
                           // target and glyph colours are overwritten
};

// The default words, one per line, each ended by a line feed (26 words).
// No operation reads them; hand them to wordzoom_add_words.
RIVO_API extern const char wordzoom_default_words[];

// Prints "WORDZOOM error\n" when the debug switch is on.
RIVO_API void wordzoom_error(void);

// A zeroed record after wordzoom_reset (one rand draw); null on failure.
RIVO_API WORDZOOM *wordzoom_new(void);
// Frees the record (not the word list), clears the handle.
RIVO_API void wordzoom_del(WORDZOOM **zoom);
// Frees every text of the word list and the list itself; no current word after.
RIVO_API void wordzoom_del_words(WORDZOOM *zoom);
// Header, 256 x 256, mode 'o', word place 0, capacity 256, counters 0, new colour.
// The word list, font, target and countdown are kept.
RIVO_API void wordzoom_reset(WORDZOOM *zoom);
// 1 when x..depth, word_x, word_y, capacity, length, revealed, word_index, color are equal.
RIVO_API int wordzoom_compare(const WORDZOOM *s, const WORDZOOM *t);
// Copies the fields that wordzoom_compare looks at.
RIVO_API void wordzoom_copy(const WORDZOOM *source, WORDZOOM *target);
// wordzoom_new, then wordzoom_copy.
RIVO_API WORDZOOM *wordzoom_dup(const WORDZOOM *source);

// Appends every line of the text (line feeds cut, an empty line gives an
// empty word, a final piece without a line feed counts) as a new text.
RIVO_API void wordzoom_add_words(WORDZOOM *zoom, const char *text);
// Starts word n mod the number of words (n >= 0): new place, nothing shown.
RIVO_API void wordzoom_start_word(WORDZOOM *zoom, int32_t n);
// wordzoom_start_word with the next index; the list repeats.
RIVO_API void wordzoom_next_word(WORDZOOM *zoom);
// Mode 'o': the letter in flight comes one step closer, or lands.
RIVO_API void wordzoom_step(WORDZOOM *zoom);
// 1 when every letter of the word has landed.
RIVO_API int wordzoom_done(const WORDZOOM *zoom);
// Draws the landed letters and the letter in flight into the target.
RIVO_API void wordzoom_draw(WORDZOOM *zoom);
