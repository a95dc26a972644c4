// WORDZOOM: words shown letter by letter with a line font, each letter zooming
// in from the middle of the target. The record owns nothing: the word list
// (made by wordzoom_add_words) outlives it, the font and target are the
// caller's. Limits: words of up to 256 letters; sizes are taken as given, a
// font whose cell width is 0 is refused; a step after the word is done does
// nothing.
#include "text/wordzoom.h"

#include <cstdlib>
#include <cstring>

#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/vec2d.h"

RIVO_IDENTITY(wordzoom, "WORDZOOM", "20130321", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(wordzoom, 0, "WORDZOOM error\n");

const char wordzoom_default_words[] =
    "RIVO\n"
    "DEMO\n"
    "5187\n"
    "POLARBYTE\n"
    "PARTY\n"
    "20130321\n"
    "ICELAND\n"
    "2013\n"
    "NOVEMBER\n"
    "COMPETITION\n"
    "ASSEMBLER\n"
    "PROGRAM\n"
    "WINTER\n"
    "HOLYDAYS\n"
    "SNOW\n"
    "RAIN\n"
    "COLD\n"
    "ICE\n"
    "SKII\n"
    "SNOWBOARD\n"
    "SPORTS\n"
    "HEALTH\n"
    "LOVE\n"
    "PEACE\n"
    "JUSTICE\n"
    "EARTH\n";

// A light colour: rand() stays below 32768, so red is always 0x80.
static uint32_t wordzoom_light_colour(void) {
    return ((uint32_t)random_rand() & 0x7F7F7Fu) + 0x808080u;
}

// Truncating quotient that wraps where 32 bits cannot hold it (the minimum by -1).
static int32_t wordzoom_div(int32_t a, int32_t b) { return (int32_t)(uint32_t)((int64_t)a / b); }

// The capacity a caller left in the record, held to the room `shown` has.
static int32_t wordzoom_room(const WORDZOOM *zoom) {
    if (zoom->capacity < 0) return 0;
    return zoom->capacity > wordzoom_shown_size ? wordzoom_shown_size : zoom->capacity;
}

WORDZOOM *wordzoom_new(void) {
    WORDZOOM *zoom = (WORDZOOM *)calloc(1, sizeof(WORDZOOM));
    if (!zoom) {
        wordzoom_error();
        return nullptr;
    }
    wordzoom_reset(zoom);
    return zoom;
}

void wordzoom_del(WORDZOOM **zoom) {
    if (!zoom || !*zoom) {
        wordzoom_error();
        return;
    }
    free(*zoom);
    *zoom = nullptr;
}

void wordzoom_del_words(WORDZOOM *zoom) {
    if (!zoom || !zoom->words) {
        wordzoom_error();
        return;
    }
    for (int32_t i = 0; i < zoom->words->count; i++) free(zoom->words->items[i]);
    list_del(&zoom->words);
    // The current word was one of those texts.
    zoom->word = nullptr;
    zoom->length = 0;
    zoom->revealed = 0;
}

void wordzoom_reset(WORDZOOM *zoom) {
    if (!zoom) {
        wordzoom_error();
        return;
    }
    zoom->x = zoom->y = zoom->z = 0;
    zoom->width = zoom->height = zoom->depth = 256;
    zoom->mode = 'o';
    zoom->word_x = zoom->word_y = 0;
    zoom->capacity = wordzoom_shown_size;
    zoom->length = zoom->revealed = zoom->word_index = 0;
    zoom->color = wordzoom_light_colour();
}

int wordzoom_compare(const WORDZOOM *s, const WORDZOOM *t) {
    if (!s || !t) {
        wordzoom_error();
        return 0;
    }
    return s->x == t->x && s->y == t->y && s->z == t->z && s->width == t->width &&
           s->height == t->height && s->depth == t->depth && s->word_x == t->word_x &&
           s->word_y == t->word_y && s->capacity == t->capacity && s->length == t->length &&
           s->revealed == t->revealed && s->word_index == t->word_index && s->color == t->color;
}

void wordzoom_copy(const WORDZOOM *source, WORDZOOM *target) {
    if (!source || !target) {
        wordzoom_error();
        return;
    }
    target->x = source->x;
    target->y = source->y;
    target->z = source->z;
    target->width = source->width;
    target->height = source->height;
    target->depth = source->depth;
    target->word_x = source->word_x;
    target->word_y = source->word_y;
    target->capacity = source->capacity;
    target->length = source->length;
    target->revealed = source->revealed;
    target->word_index = source->word_index;
    target->color = source->color;
}

WORDZOOM *wordzoom_dup(const WORDZOOM *source) {
    if (!source) {
        wordzoom_error();
        return nullptr;
    }
    WORDZOOM *zoom = wordzoom_new();
    if (zoom) wordzoom_copy(source, zoom);
    return zoom;
}

void wordzoom_add_words(WORDZOOM *zoom, const char *text) {
    if (!zoom || !text) {
        wordzoom_error();
        return;
    }
    if (!zoom->words) {
        zoom->words = list_new();
        if (!zoom->words) {
            wordzoom_error();
            return;
        }
    }
    // Each piece ends at a line feed or at the terminating zero, and the scan
    // never looks beyond that zero.
    const char *start = text;
    while (*start) {
        size_t n = strcspn(start, "\n");
        char *word = (char *)calloc(n + 1, 1);
        if (!word) {
            wordzoom_error();
            return;
        }
        memcpy(word, start, n);
        int32_t before = zoom->words->count;
        list_push(zoom->words, word);
        if (zoom->words->count != before + 1) {
            free(word);
            wordzoom_error();
            return;
        }
        start += n;
        if (*start == '\n') start++;
    }
}

// The font with the vectors the zoom writes, and a cell width to divide by.
static bool wordzoom_font_ready(const LFONT *font) {
    return font && font->position && font->size && font->scale && font->size->x != 0;
}

void wordzoom_start_word(WORDZOOM *zoom, int32_t n) {
    if (!zoom || n < 0 || !zoom->words || zoom->words->count <= 0 ||
        !wordzoom_font_ready(zoom->font)) {
        wordzoom_error();
        return;
    }
    int32_t index = n % zoom->words->count;
    const char *word = (const char *)zoom->words->items[index];
    if (!word) {
        wordzoom_error();
        return;
    }
    int32_t w = zoom->width, h = zoom->height;
    int32_t cw = wrap_mul(zoom->font->size->x, 2);  // the word is drawn at scale 2
    zoom->countdown = wordzoom_div(w, zoom->font->size->x);
    zoom->word_index = index;
    zoom->word = word;
    int32_t room = wordzoom_room(zoom);
    int32_t length = 0;
    while (length < room && word[length] && word[length] != '\n') length++;
    zoom->length = length;
    // Centred at scale 2: the first letter's origin half a cell in.
    zoom->word_x = wrap_add(wordzoom_div(wrap_sub(w, wrap_mul(cw, length)), 2), cw / 2);
    // A random height within a third of the middle; the draw is made even when
    // the height leaves no room, so the sequence of draws stays the same.
    int32_t r = random_rand();
    int32_t third = h / 3;
    int32_t lift = third != 0 ? r % third : 0;
    zoom->word_y = wrap_sub(wrap_add(h / 2, lift), h / 6);
    memset(zoom->shown, 0, sizeof zoom->shown);
    zoom->revealed = 0;
}

void wordzoom_next_word(WORDZOOM *zoom) {
    if (!zoom) {
        wordzoom_error();
        return;
    }
    wordzoom_start_word(zoom, wrap_add(zoom->word_index, 1));
}

int wordzoom_done(const WORDZOOM *zoom) {
    if (!zoom) {
        wordzoom_error();
        return 0;
    }
    return zoom->revealed >= zoom->length;
}

void wordzoom_step(WORDZOOM *zoom) {
    if (!zoom) {
        wordzoom_error();
        return;
    }
    if (zoom->mode != 'o') return;
    if (!wordzoom_font_ready(zoom->font)) {
        wordzoom_error();
        return;
    }
    // Past the end of the word there is no letter to land: the caller moves on.
    if (!zoom->word || zoom->revealed < 0 || zoom->revealed >= zoom->length ||
        zoom->revealed >= wordzoom_room(zoom)) {
        wordzoom_error();
        return;
    }
    zoom->countdown = wrap_sub(zoom->countdown, 2);
    if (zoom->countdown >= 2) return;
    zoom->countdown = wordzoom_div(zoom->width, zoom->font->size->x);
    zoom->shown[zoom->revealed] = zoom->word[zoom->revealed];
    zoom->revealed++;
    zoom->color = wordzoom_light_colour();
}

// One step of the flight: where copy i of the letter goes on one axis. While
// k is large the letter sits near the centre; at k = 2 it is 62/64 of the way
// to its place, offset by its own scale.
static int32_t wordzoom_flight(int32_t centre, int32_t place, int32_t k, int32_t i) {
    int32_t travelled = wordzoom_div(wrap_mul(wrap_sub(centre, place), wrap_sub(64, k)), 64);
    return wrap_add(wrap_sub(centre, travelled), wrap_add(i, k));
}

void wordzoom_draw(WORDZOOM *zoom) {
    if (!zoom || !zoom->target || !wordzoom_font_ready(zoom->font)) {
        wordzoom_error();
        return;
    }
    LFONT *font = zoom->font;
    font->angle = 0;
    lfont_set_color(font, zoom->color);
    font->scale->x = font->scale->y = 2;
    font->position->x = zoom->word_x;
    font->position->y = zoom->word_y;
    font->target = zoom->target;
    lfont_draw_line(font, zoom->shown);
    if (wordzoom_done(zoom) || !zoom->word || zoom->revealed < 0) return;

    int32_t cw = wrap_mul(font->size->x, 2);
    int32_t px = wrap_add(zoom->word_x, wrap_mul(zoom->revealed, cw));
    int32_t py = zoom->word_y;
    int32_t k = zoom->countdown;
    int32_t cx = zoom->width / 2, cy = zoom->height / 2;
    // Eight copies, each one pixel larger and one further right and down,
    // give the letter its depth.
    for (int32_t i = 0; i < 8; i++) {
        font->scale->x = font->scale->y = wrap_add(i, k);
        font->position->x = wordzoom_flight(cx, px, k, i);
        font->position->y = wordzoom_flight(cy, py, k, i);
        font->code = (signed char)zoom->word[zoom->revealed];
        lfont_draw_char(font);
    }
}
