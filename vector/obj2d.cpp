// 2D line object and its brace text format.
// OBJ2D owns its three vectors, its two lists, its segments (and through
// them the endpoints, which `points` lists again) and its texts.
// obj2d_parse reads a zero-terminated text byte by byte as signed characters
// and never looks past the terminating zero; its reader state lives in this
// module, so only one parse may run at a time, and a pending minus sign
// outlasts the parse that read it. Numbers wrap at 32 bits.
#include "vector/obj2d.h"

#include <cstdlib>
#include <cstring>

#include "audio/sample.h"
#include "host/int.h"
#include "host/module.h"
#include "imaging/img.h"
#include "vector/list.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

RIVO_IDENTITY(obj2d, "OBJ2D   ", "20140827", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(obj2d, 0, "OBJ2D error\n");

// ---- Lifecycle --------------------------------------------------------------

static VEC2D *obj2d_vector(int32_t x, int32_t y) {
    VEC2D *v = vec2d_new();
    if (v) {
        v->x = x;
        v->y = y;
    }
    return v;
}

OBJ2D *obj2d_new(void) {
    OBJ2D *o = (OBJ2D *)calloc(1, sizeof(OBJ2D));
    if (!o) {
        obj2d_error();
        return nullptr;
    }
    o->points = list_new();
    o->segments = list_new();
    o->position = obj2d_vector(0, 0);
    o->size = obj2d_vector(16, 16);
    o->scale = obj2d_vector(1, 1);
    o->farthest = -1;
    if (!o->points || !o->segments || !o->position || !o->size || !o->scale) {
        obj2d_del(&o);
        obj2d_error();
        return nullptr;
    }
    return o;
}

static void obj2d_free_texts(OBJ2D *o) {
    free(o->name);
    free(o->version);
    free(o->author);
    free(o->extra);
    free(o->type);
    o->name = o->version = o->author = o->extra = o->type = nullptr;
}

void obj2d_del(OBJ2D **handle) {
    if (!handle || !*handle) {
        obj2d_error();
        return;
    }
    OBJ2D *o = *handle;
    // The segments belong to the object; their endpoints are the points.
    if (o->segments) {
        for (int32_t i = 0; i < o->segments->count; i++) {
            SEG2D *s = (SEG2D *)o->segments->items[i];
            if (s) seg2d_del(&s);
        }
        list_del(&o->segments);
    }
    if (o->points) list_del(&o->points);
    if (o->position) vec2d_del(&o->position);
    if (o->size) vec2d_del(&o->size);
    if (o->scale) vec2d_del(&o->scale);
    obj2d_free_texts(o);
    free(o);
    *handle = nullptr;
}

// ---- Points and segments ----------------------------------------------------

static int32_t obj2d_point_count(const OBJ2D *o) {
    return o->points ? o->points->count : 0;
}

static VEC2D *obj2d_point(const OBJ2D *o, int32_t i) {
    return (VEC2D *)list_get(o->points, i);
}

static int32_t obj2d_segment_count(const OBJ2D *o) {
    return o->segments ? o->segments->count : 0;
}

static SEG2D *obj2d_segment(const OBJ2D *o, int32_t i) {
    return (SEG2D *)list_get(o->segments, i);
}

int obj2d_is_farther(OBJ2D *o, int32_t index) {
    if (!o || !o->points) {
        obj2d_error();
        return 0;
    }
    VEC2D *p = obj2d_point(o, index);
    if (!p) return 0;
    int32_t n = obj2d_point_count(o);
    if (o->farthest < 0 || o->farthest >= n ||
        vec2d_length2(p) > vec2d_length2(obj2d_point(o, o->farthest))) {
        o->farthest = index;
        return 1;
    }
    return 0;
}

void obj2d_add_segment(OBJ2D *o, SEG2D *s) {
    if (!o || !s || !o->points || !o->segments) {
        obj2d_error();
        return;
    }
    list_push(o->segments, s);
    list_push(o->points, s->a);
    list_push(o->points, s->b);
    int32_t n = obj2d_point_count(o);
    obj2d_is_farther(o, n - 2);
    obj2d_is_farther(o, n - 1);
}

void obj2d_find_farthest(OBJ2D *o) {
    if (!o || !o->points) {
        obj2d_error();
        return;
    }
    int32_t best = 0;
    for (int32_t i = obj2d_point_count(o) - 1; i >= 0; i--) {
        VEC2D *p = obj2d_point(o, i);
        if (!p) continue;
        int32_t l = vec2d_length2(p);
        if (l > best) {
            best = l;
            o->farthest = i;
        }
    }
}

// A zero-filled copy of length bytes; lengths that do not fit act as a failed allocation.
static char *obj2d_text_copy(const char *start, size_t length) {
    if (length >= (size_t)INT32_MAX) {
        obj2d_error();
        return nullptr;
    }
    char *t = (char *)calloc(length + 1, 1);
    if (!t) {
        obj2d_error();
        return nullptr;
    }
    memcpy(t, start, length);
    return t;
}

static char *obj2d_text_dup(const char *text) {
    return text ? obj2d_text_copy(text, strlen(text)) : nullptr;
}

void obj2d_copy(OBJ2D *source, OBJ2D *target) {
    if (!source || !target || !source->points || !target->points ||
        obj2d_point_count(source) != obj2d_point_count(target)) {
        obj2d_error();
        return;
    }
    if (source == target) return;
    for (int32_t i = obj2d_point_count(source) - 1; i >= 0; i--)
        vec2d_copy(obj2d_point(source, i), obj2d_point(target, i));
    vec2d_copy(source->position, target->position);
    vec2d_copy(source->size, target->size);
    vec2d_copy(source->scale, target->scale);
    target->angle = source->angle;
    target->color = source->color;
    // Each object owns its texts, so the target gets its own copies.
    obj2d_free_texts(target);
    target->name = obj2d_text_dup(source->name);
    target->version = obj2d_text_dup(source->version);
    target->author = obj2d_text_dup(source->author);
    target->extra = obj2d_text_dup(source->extra);
    target->type = obj2d_text_dup(source->type);
    target->farthest = source->farthest;
}

OBJ2D *obj2d_dup(OBJ2D *source) {
    if (!source || !source->segments) {
        obj2d_error();
        return nullptr;
    }
    OBJ2D *o = obj2d_new();
    if (!o) return nullptr;
    for (int32_t i = 0; i < obj2d_segment_count(source); i++) {
        SEG2D *s = seg2d_new();
        if (!s) {
            obj2d_del(&o);
            obj2d_error();
            return nullptr;
        }
        obj2d_add_segment(o, s);
    }
    obj2d_copy(source, o);
    return o;
}

void obj2d_set_color(OBJ2D *o, uint32_t color) {
    if (!o || !o->points) {
        obj2d_error();
        return;
    }
    o->color = color;
    // Straight through the list's storage: fonts recolour every glyph's
    // points several times a frame.
    void **items = o->points->items;
    int32_t n = obj2d_point_count(o);
    for (int32_t i = 0; i < n; i++) {
        VEC2D *p = items ? (VEC2D *)items[i] : nullptr;
        if (p) p->color = color;
    }
}

void obj2d_translate_segments(OBJ2D *o) {
    if (!o || !o->segments || !o->position) {
        obj2d_error();
        return;
    }
    for (int32_t i = 0; i < obj2d_segment_count(o); i++)
        seg2d_translate(obj2d_segment(o, i), o->position);
}

// ---- Drawing ----------------------------------------------------------------

static bool obj2d_ready(const OBJ2D *o, const IMG *image) {
    if (!o || !image || !o->segments || !o->points || !o->position || !o->scale) {
        obj2d_error();
        return false;
    }
    return true;
}

// A copy of segment i scaled, rotated and moved as the object says, kept in
// caller storage so drawing allocates nothing.
static bool obj2d_transformed(const OBJ2D *o, int32_t i, VEC2D *a, VEC2D *b, SEG2D *t) {
    SEG2D *s = obj2d_segment(o, i);
    if (!s || !s->a || !s->b) {
        obj2d_error();
        return false;
    }
    *a = *s->a;
    *b = *s->b;
    t->a = a;
    t->b = b;
    seg2d_mul(t, o->scale);
    seg2d_rotate(t, o->angle);
    seg2d_translate(t, o->position);
    return true;
}

void obj2d_draw(OBJ2D *o, IMG *image) {
    if (!obj2d_ready(o, image)) return;
    for (int32_t i = obj2d_segment_count(o) - 1; i >= 0; i--) {
        VEC2D a, b;
        SEG2D t;
        if (obj2d_transformed(o, i, &a, &b, &t)) seg2d_draw(&t, image);
    }
}

void obj2d_draw_plain(OBJ2D *o, IMG *image) {
    if (!obj2d_ready(o, image)) return;
    for (int32_t i = obj2d_segment_count(o) - 1; i >= 0; i--)
        seg2d_draw(obj2d_segment(o, i), image);
}

void obj2d_draw_average(OBJ2D *o, IMG *image) {
    if (!obj2d_ready(o, image)) return;
    for (int32_t i = obj2d_segment_count(o) - 1; i >= 0; i--)
        seg2d_draw_average(obj2d_segment(o, i), image);
}

void obj2d_draw_add(OBJ2D *o, IMG *image) {
    if (!obj2d_ready(o, image)) return;
    for (int32_t i = obj2d_segment_count(o) - 1; i >= 0; i--)
        seg2d_draw_add(obj2d_segment(o, i), image);
}

void obj2d_plot_points(OBJ2D *o, IMG *image) {
    if (!obj2d_ready(o, image)) return;
    for (int32_t i = obj2d_point_count(o) - 1; i >= 0; i--)
        vec2d_plot(obj2d_point(o, i), image);
}

void obj2d_plot_transformed(OBJ2D *o, IMG *image) {
    if (!obj2d_ready(o, image)) return;
    for (int32_t i = obj2d_point_count(o) - 1; i >= 0; i--) {
        VEC2D *p = obj2d_point(o, i);
        if (!p) continue;
        VEC2D q = *p;
        vec2d_mul(&q, o->scale);
        vec2d_rotate(&q, o->angle);
        vec2d_add(o->position, &q);
        vec2d_plot(&q, image);
    }
}

// ---- In-place changes of every point ----------------------------------------

void obj2d_apply_transform(OBJ2D *o) {
    if (!o || !o->points || !o->position || !o->scale) {
        obj2d_error();
        return;
    }
    for (int32_t i = 0; i < obj2d_point_count(o); i++) {
        VEC2D *p = obj2d_point(o, i);
        if (!p) continue;
        vec2d_mul(p, o->scale);
        vec2d_rotate(p, o->angle);
        vec2d_add(o->position, p);
    }
}

void obj2d_scale(OBJ2D *o, int32_t k) {
    if (!o || !o->points) {
        obj2d_error();
        return;
    }
    for (int32_t i = 0; i < obj2d_point_count(o); i++) {
        VEC2D *p = obj2d_point(o, i);
        if (p) vec2d_scale(p, k);
    }
}

void obj2d_divide(OBJ2D *o, int32_t d) {
    if (!o || !o->points || d == 0) {
        obj2d_error();
        return;
    }
    for (int32_t i = 0; i < obj2d_point_count(o); i++) {
        VEC2D *p = obj2d_point(o, i);
        if (p) vec2d_divide(p, d);
    }
}

void obj2d_export_coords(OBJ2D *o, SAMPLE *sample) {
    if (!o || !sample || !o->segments || !o->position || !o->scale) {
        obj2d_error();
        return;
    }
    for (int32_t i = obj2d_segment_count(o) - 1; i >= 0; i--) {
        VEC2D a, b;
        SEG2D t;
        if (!obj2d_transformed(o, i, &a, &b, &t)) continue;
        sample_push(sample, a.x);
        sample_push(sample, a.y);
        sample_push(sample, b.x);
        sample_push(sample, b.y);
    }
}

// ---- Proximity --------------------------------------------------------------

static int32_t obj2d_distance2(const VEC2D *p, const VEC2D *q) {
    int32_t dx = wrap_sub(p->x, q->x);
    int32_t dy = wrap_sub(p->y, q->y);
    return wrap_add(wrap_mul(dx, dx), wrap_mul(dy, dy));
}

// Squared distance from the position to the farthest point; false when unknown.
static bool obj2d_radius2(const OBJ2D *o, int32_t *r) {
    if (!o->points || !o->position || obj2d_point_count(o) < 1 || o->farthest < 0 ||
        o->farthest >= obj2d_point_count(o))
        return false;
    VEC2D *p = obj2d_point(o, o->farthest);
    if (!p) return false;
    *r = obj2d_distance2(o->position, p);
    return true;
}

int obj2d_near(OBJ2D *s, OBJ2D *t) {
    int32_t r1 = 0, r2 = 0;
    if (!s || !t || !obj2d_radius2(s, &r1) || !obj2d_radius2(t, &r2)) {
        obj2d_error();
        return 0;
    }
    int32_t d = obj2d_distance2(s->position, t->position);
    return d <= wrap_add(wrap_add(r1, r2), wrap_mul(r1, r2));
}

int obj2d_collide(OBJ2D *s, OBJ2D *t) {
    if (!obj2d_near(s, t)) return 0;
    if (!s->segments || !t->segments) return 0;
    for (int32_t i = 0; i < obj2d_segment_count(s); i++) {
        SEG2D *u = obj2d_segment(s, i);
        for (int32_t j = 0; j < obj2d_segment_count(t); j++) {
            if (seg2d_boxes_overlap(u, obj2d_segment(t, j))) return 1;
        }
    }
    return 0;
}

// ---- Parser -----------------------------------------------------------------

// The longest word; a longer run is cut and its rest read as further tokens.
enum { OBJ2D_WORD_MAX = 255 };

// Reader state shared by the whole module. `sign` is deliberately never
// reset at the start of a parse: a "-" read last by one parse negates the
// first number of the next.
static struct {
    const char *text;
    size_t position;
    int32_t sign;
    char token[OBJ2D_WORD_MAX + 1];
    int32_t length;
    uint32_t number;
} obj2d_reader = {nullptr, 0, 1, {0}, 0, 0};

// What one parse builds up between tokens.
struct Obj2dBuild {
    LIST *result;
    OBJ2D *open;         // the object between "{" and "}"
    SEG2D *segment;      // the segment waiting for its numbers
    int32_t coordinate;  // which of a.x, a.y, b.x, b.y comes next
    uint32_t colour;     // current colour, 0 at the start of every parse
    bool colour_pending;
    bool failed;         // an allocation failed: the result would lack a part
};

// Bytes are signed: 128..255 read as negative and so count as blanks.
static int obj2d_peek(void) {
    return (signed char)obj2d_reader.text[obj2d_reader.position];
}

static bool obj2d_at_end(void) {
    return obj2d_reader.text[obj2d_reader.position] == 0;
}

static bool obj2d_is_separator(int c) {
    return c <= 32 || c == 127 || c == ',' || c == ';';
}

static bool obj2d_is_mark(int c) {
    return (c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) ||
           (c >= 123 && c <= 126);
}

static bool obj2d_is_word_char(int c) {
    return c >= 33 && c <= 126 && c != ',' && c != ';';
}

static int obj2d_hex_digit(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

static void obj2d_skip_separators(void) {
    while (!obj2d_at_end() && obj2d_is_separator(obj2d_peek())) obj2d_reader.position++;
}

// A mark is a token by itself; a word starts with a digit or a letter.
static void obj2d_read_token(void) {
    int32_t n = 0;
    int c = obj2d_peek();
    if (obj2d_is_mark(c)) {
        obj2d_reader.token[n++] = (char)c;
        obj2d_reader.position++;
    } else {
        while (n < OBJ2D_WORD_MAX && obj2d_is_word_char(obj2d_peek())) {
            obj2d_reader.token[n++] = obj2d_reader.text[obj2d_reader.position];
            obj2d_reader.position++;
        }
    }
    obj2d_reader.token[n] = 0;
    obj2d_reader.length = n;
}

// Hex digits from s until the first other character; more than eight digits
// shift the first ones out of the 32-bit word.
static uint32_t obj2d_hex_value(const char *s) {
    uint32_t v = 0;
    for (int d; (d = obj2d_hex_digit((signed char)*s)) >= 0; s++) v = (v << 4) | (uint32_t)d;
    return v;
}

// After "$": everything up to the next separator is consumed, its leading
// hex digits are the value.
static uint32_t obj2d_read_dollar(void) {
    uint32_t v = 0;
    bool digits = true;
    while (!obj2d_at_end() && !obj2d_is_separator(obj2d_peek())) {
        int d = obj2d_hex_digit(obj2d_peek());
        if (digits && d >= 0)
            v = (v << 4) | (uint32_t)d;
        else
            digits = false;
        obj2d_reader.position++;
    }
    return v;
}

// The rest of the line, byte for byte, without its line feed; null when empty.
static char *obj2d_read_rest_of_line(void) {
    size_t start = obj2d_reader.position;
    while (!obj2d_at_end() && obj2d_reader.text[obj2d_reader.position] != '\n')
        obj2d_reader.position++;
    size_t length = obj2d_reader.position - start;
    if (length == 0) return nullptr;
    return obj2d_text_copy(obj2d_reader.text + start, length);
}

// A name skips blanks (line breaks too) but stops at "," and ";".
static char *obj2d_read_name(void) {
    while (!obj2d_at_end()) {
        int c = obj2d_peek();
        if (!(c <= 32 || c == 127)) break;
        obj2d_reader.position++;
    }
    return obj2d_read_rest_of_line();
}

static bool obj2d_token_is(const char *word) {
    size_t n = strlen(word);
    if ((size_t)obj2d_reader.length != n) return false;
    for (size_t i = 0; i < n; i++) {
        char c = obj2d_reader.token[i];
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
        if (c != word[i]) return false;
    }
    return true;
}

// Leading digits of the word, wrapping at 32 bits, times the pending sign.
static int32_t obj2d_decimal(void) {
    uint32_t v = 0;
    for (const char *s = obj2d_reader.token; *s >= '0' && *s <= '9'; s++)
        v = v * 10u + (uint32_t)(*s - '0');
    obj2d_reader.number = v;
    int32_t n = obj2d_reader.sign < 0 ? wrap_neg((int32_t)v) : (int32_t)v;
    obj2d_reader.sign = 1;
    return n;
}

static void obj2d_take_colour(Obj2dBuild *b, uint32_t value) {
    if (b->colour_pending) {
        b->colour = value;
        b->colour_pending = false;
    }
}

static void obj2d_take_number(Obj2dBuild *b, int32_t n) {
    SEG2D *s = b->segment;
    if (!s) return;
    switch (b->coordinate++) {
    case 0:
        s->a->x = n;
        break;
    case 1:
        s->a->y = n;
        s->a->color = b->colour;
        break;
    case 2:
        s->b->x = n;
        break;
    default:
        s->b->y = n;
        s->b->color = b->colour;
        b->segment = nullptr;
        if (b->open) {
            int32_t had = b->open->segments ? b->open->segments->count : -1;
            obj2d_add_segment(b->open, s);
            if (!b->open->segments || b->open->segments->count != had + 1) b->failed = true;
        } else {
            obj2d_error();  // a segment outside any object is dropped
            seg2d_del(&s);
        }
        break;
    }
}

static void obj2d_keyword(Obj2dBuild *b, char **field) {
    obj2d_skip_separators();
    char *value = obj2d_read_rest_of_line();
    // Only an existing value is replaced; a parsed object never holds one.
    if (b->open && *field && value) {
        free(*field);
        *field = value;
    } else {
        free(value);
    }
}

static void obj2d_act(Obj2dBuild *b) {
    const char *t = obj2d_reader.token;
    char c = t[0];
    if (obj2d_reader.length == 1 && c == '#') {
        while (!obj2d_at_end() && obj2d_reader.text[obj2d_reader.position] != '\n')
            obj2d_reader.position++;
    } else if (obj2d_reader.length == 1 && c == '{') {
        if (!b->open) b->open = obj2d_new();
        if (!b->open) b->failed = true;
    } else if (obj2d_reader.length == 1 && c == '}') {
        int32_t had = b->result->count;
        list_push(b->result, b->open);
        if (b->result->count != had + 1) {
            b->failed = true;
            if (b->open) obj2d_del(&b->open);
        }
        b->open = nullptr;
    } else if (obj2d_reader.length == 1 && (c == '"' || c == '=')) {
        // ignored
    } else if (obj2d_reader.length == 1 && c == '-') {
        obj2d_reader.sign = -1;
    } else if (obj2d_reader.length == 1 && c == '$') {
        obj2d_take_colour(b, obj2d_read_dollar());
    } else if (obj2d_token_is("name")) {
        char *value = obj2d_read_name();
        if (b->open && value) {
            free(b->open->name);
            b->open->name = value;
        } else {
            free(value);
        }
    } else if (obj2d_token_is("version")) {
        obj2d_keyword(b, b->open ? &b->open->version : nullptr);
    } else if (obj2d_token_is("author")) {
        obj2d_keyword(b, b->open ? &b->open->author : nullptr);
    } else if (obj2d_token_is("type")) {
        obj2d_keyword(b, b->open ? &b->open->type : nullptr);
    } else if (c >= '0' && c <= '9') {
        obj2d_take_number(b, obj2d_decimal());
    } else if (c == 'x' || c == 'X' || c == 'h' || c == 'H') {
        obj2d_take_colour(b, obj2d_hex_value(t + 1));
    } else if (c == 'c' || c == 'C') {
        b->colour_pending = true;
    } else if (c == 's' || c == 'S') {
        if (!b->segment) {
            b->segment = seg2d_new();
            b->coordinate = 0;
            if (!b->segment) b->failed = true;
        }
    }
}

LIST *obj2d_parse(const char *text) {
    if (!text) {
        obj2d_error();
        return nullptr;
    }
    Obj2dBuild b = {};
    b.result = list_new();
    if (!b.result) {
        obj2d_error();
        return nullptr;
    }
    obj2d_reader.text = text;
    obj2d_reader.position = 0;
    for (;;) {
        obj2d_skip_separators();
        if (obj2d_at_end()) break;
        obj2d_read_token();
        // The very last token of the text is never acted on.
        if (obj2d_at_end()) break;
        obj2d_act(&b);
        if (obj2d_at_end()) break;
    }
    // Neither an unclosed object nor an unfinished segment reaches the result.
    if (b.open) obj2d_del(&b.open);
    if (b.segment) seg2d_del(&b.segment);
    obj2d_reader.text = nullptr;
    // A failed allocation gives no result rather than one with parts missing.
    if (b.failed) {
        for (int32_t i = 0; i < b.result->count; i++) {
            OBJ2D *o = (OBJ2D *)b.result->items[i];
            if (o) obj2d_del(&o);
        }
        list_del(&b.result);
        obj2d_error();
    }
    return b.result;
}
