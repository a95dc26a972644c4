// PNM reading shared by the IMG and BYTEMAP decoders: the byte source, the
// header parser and its size checks, and the "NAME{" text form (see pnm.h).
// No module framework: the modules calling it report what fails.
#include "imaging/pnm.h"

#include <climits>
#include <cstring>

pnm_reader pnm_reader_memory(const void *data, size_t size) {
    return pnm_reader{(const uint8_t *)data, size, 0, nullptr, -2, false};
}

pnm_reader pnm_reader_file(FILE *file) { return pnm_reader{nullptr, 0, 0, file, -2, true}; }

static bool pnm_is_digit(int c) { return c >= '0' && c <= '9'; }

static int pnm_peek(pnm_reader *r) {
    if (!r->file) return r->pos < r->size ? r->data[r->pos] : -1;
    if (r->ahead == -2) r->ahead = getc(r->file);
    return r->ahead < 0 ? -1 : r->ahead;
}

int pnm_next(pnm_reader *r) {
    int c = pnm_peek(r);
    if (c >= 0) {
        if (r->file)
            r->ahead = -2;
        else
            r->pos++;
    }
    return c;
}

// Bytes left to read, or SIZE_MAX when the source cannot tell (a pipe).
static size_t pnm_remaining(pnm_reader *r) {
    if (!r->file) return r->size - r->pos;
    long here = ftell(r->file);
    if (here < 0 || fseek(r->file, 0, SEEK_END) != 0) return SIZE_MAX;
    long end = ftell(r->file);
    if (fseek(r->file, here, SEEK_SET) != 0 || end < here) return SIZE_MAX;
    return (size_t)(end - here) + (r->ahead >= 0 ? 1 : 0);
}

// A run of digits, capped so it cannot overflow; an empty run gives 0 and
// consumes nothing.
static int64_t pnm_read_number(pnm_reader *r, bool *any) {
    int64_t v = 0;
    *any = false;
    while (pnm_is_digit(pnm_peek(r))) {
        int c = pnm_next(r);
        if (v <= INT32_MAX) v = v * 10 + (c - '0');
        *any = true;
    }
    return v;
}

// Fields a kind needs: P1 and P4 have no maxval.
static int pnm_fields(int kind) { return (kind == '1' || kind == '4') ? 2 : 3; }

static bool pnm_read_fields(pnm_reader *r, pnm_header *h) {
    int seen = 0;  // number of width, height, maxval fields stored
    h->kind = 0;
    while (!h->kind || seen < pnm_fields(h->kind)) {
        int c = pnm_peek(r);
        while (c >= 0 && (c <= 32 || c >= 127)) {
            pnm_next(r);
            c = pnm_peek(r);
        }
        if (c < 0) return false;
        if (c == 'P' && !h->kind) {
            pnm_next(r);
            h->kind = pnm_next(r);
            if (h->kind < '1' || h->kind > '6') return false;
        } else if (c == '#') {
            while (c >= 0 && c != '\n') c = pnm_next(r);
        } else {
            bool any;
            int64_t v = pnm_read_number(r, &any);
            // With all three fields stored before the magic, a byte that is no
            // digit would never be consumed: the header is malformed.
            if (seen >= 3) {
                if (!any) return false;
                continue;
            }
            // In memory a P4 row is taken as whole bytes, so the width grows
            // to the next multiple of 8 and the padding becomes values.
            if (seen == 0 && h->kind == '4' && !r->from_file) v = (v + 7) / 8 * 8;
            h->field[seen++] = v;
        }
    }
    pnm_next(r);  // the one whitespace byte that ends a PNM header
    return true;
}

// The fewest bytes a raster of this kind and size can take.
static uint64_t pnm_min_bytes(int kind, int64_t width, int64_t height, bool from_file) {
    uint64_t n = (uint64_t)width * (uint64_t)height;
    switch (kind) {
    case '3': case '6': return 3 * n;
    case '4': return from_file ? (uint64_t)((width + 7) / 8) * (uint64_t)height : n / 8;
    default: return n;
    }
}

bool pnm_read_header(pnm_reader *r, pnm_header *h) {
    if (!pnm_read_fields(r, h)) return false;
    int64_t width = h->field[0], height = h->field[1];
    if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX) return false;
    if (width * height > INT32_MAX) return false;
    size_t left = pnm_remaining(r);
    return left == SIZE_MAX || pnm_min_bytes(h->kind, width, height, r->from_file) <= left;
}

bool pnm_read_sample(pnm_reader *r, uint32_t *value) {
    int c = pnm_peek(r);
    while (c >= 0 && !pnm_is_digit(c)) {
        pnm_next(r);
        c = pnm_peek(r);
    }
    if (c < 0) return false;
    uint32_t v = 0;
    while (pnm_is_digit(pnm_peek(r))) v = v * 10 + (uint32_t)(pnm_next(r) - '0');
    *value = v;
    return true;
}

bool pnm_read_bit(pnm_reader *r, uint32_t *bit) {
    uint32_t v;
    if (r->from_file) {
        if (!pnm_read_sample(r, &v)) return false;
    } else {
        int c = pnm_next(r);
        while (c >= 0 && !pnm_is_digit(c)) c = pnm_next(r);
        if (c < 0) return false;
        v = (uint32_t)(c - '0');
    }
    *bit = v ? 1u : 0u;
    return true;
}

// ---- The text form ---------------------------------------------------------------

char *pnm_put3(char *s, uint32_t v) {
    s[0] = v >= 100 ? (char)('0' + v / 100) : ' ';
    s[1] = v >= 10 ? (char)('0' + v / 10 % 10) : ' ';
    s[2] = (char)('0' + v % 10);
    return s + 3;
}

int32_t pnm_find(const char *text, const char *pattern) {
    const char *hit = strstr(text, pattern);
    if (!hit) return 0;
    size_t end = (size_t)(hit - text) + strlen(pattern);
    return end > (size_t)INT32_MAX ? 0 : (int32_t)end;
}

// Reads one field of the header (digits, no blanks before them, capped so a
// long run cannot overflow) and skips the character that ends it; false when
// the text ends there or the value does not fit (`value` null: the field is
// passed over and its value ignored, as the maxval is).
static bool pnm_text_field(const char **s, int32_t *value) {
    const char *p = *s;
    int64_t v = 0;
    while (pnm_is_digit(*p)) {
        if (v <= INT32_MAX) v = v * 10 + (*p - '0');
        p++;
    }
    if ((value && v > INT32_MAX) || *p == '\0') return false;
    *s = p + 1;
    if (value) *value = (int32_t)v;
    return true;
}

bool pnm_text_header(const char *text, const char *name, int32_t *width, int32_t *height,
                     const char **samples) {
    int32_t at = pnm_find(text, name);
    int32_t brace = at ? pnm_find(text + at, "{") : 0;
    int32_t magic = brace ? pnm_find(text + at + brace, "P3\n") : 0;
    if (!magic) return false;
    const char *s = text + at + brace + magic;
    if (!pnm_text_field(&s, width) || !pnm_text_field(&s, height)) return false;
    if (!pnm_text_field(&s, nullptr)) return false;
    int64_t n = (int64_t)*width * *height;
    if (n > INT32_MAX || (uint64_t)n > strlen(s) / 3) return false;
    *samples = s;
    return true;
}

bool pnm_text_sample(const char **s, uint32_t *value) {
    const char *p = *s;
    while (*p && !pnm_is_digit(*p)) p++;
    if (!*p) return false;
    uint32_t v = 0;
    while (pnm_is_digit(*p)) v = v * 10 + (uint32_t)(*p++ - '0');
    *s = p;
    *value = v;
    return true;
}
