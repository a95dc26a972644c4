// Growable array of signed 32-bit values: sounds and tables.
// SAMPLE owns `data` (`capacity` values, `count` in use). Arithmetic wraps at
// 32 bits and never clips unless it says so. Limits: at most 2^29 - 1 values
// (so every byte size fits in 31 bits); a larger or negative size acts as a
// failed allocation. The text and raw readers read only what their input holds.
#include "audio/sample.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "host/int.h"
#include "host/module.h"

RIVO_IDENTITY(sample, "SAMPLE  ", "20150119", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(sample, 0, "SAMPLE error\n");

// Bytes per stored value.
static const size_t sample_element_size = 4;
// Most values a sample can hold: capacity * 4 stays below 2^31.
static const int32_t sample_max_count = 0x1FFFFFFF;
// Longest text form: every size of the text buffer fits in 31 bits.
static const int64_t sample_max_text = 0x7FFFFFFF;
// Text buffer per value: far more than the 12 characters "%ld\n" can need.
static const int64_t sample_text_per_value = 352;

// A sample that operations can work on: present and holding storage.
static bool sample_usable(const SAMPLE *s) {
    return s && s->data;
}

static int32_t sample_min_count(const SAMPLE *a, const SAMPLE *b) {
    return a->count < b->count ? a->count : b->count;
}

// Truncating division that wraps INT32_MIN / -1 instead of trapping.
static int32_t sample_div_wrap(int32_t a, int32_t d) {
    return d == -1 ? wrap_neg(a) : a / d;
}

// Double to int, truncating toward zero; values beyond the 32-bit range
// saturate and NaN gives 0, so no conversion is undefined.
static int32_t sample_from_double(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return (int32_t)v;
}

// Doubles the capacity (0 counts as 1); false after a report when it cannot.
static bool sample_grow(SAMPLE *s) {
    int32_t capacity = s->capacity < 1 ? 1 : s->capacity;
    if (capacity > sample_max_count / 2) {
        sample_error();
        return false;
    }
    sample_reserve(s, capacity * 2);
    return s->capacity == capacity * 2;
}

SAMPLE *sample_new(void) {
    SAMPLE *s = (SAMPLE *)calloc(1, sizeof(SAMPLE));
    if (!s) {
        sample_error();
        return nullptr;
    }
    sample_reserve(s, 32);
    if (!s->data) {
        free(s);
        return nullptr;
    }
    return s;
}

void sample_del(SAMPLE **s) {
    if (!s || !*s) {
        sample_error();
        return;
    }
    free((*s)->data);
    free(*s);
    *s = nullptr;
}

void sample_reserve(SAMPLE *s, int32_t cap) {
    if (!s || cap < 1 || cap > sample_max_count) {
        sample_error();
        return;
    }
    int32_t *data = (int32_t *)calloc((size_t)cap, sample_element_size);
    if (!data) {
        sample_error();
        return;
    }
    if (s->count > cap) s->count = cap;
    if (s->data && s->count > 0) memcpy(data, s->data, (size_t)s->count * sample_element_size);
    free(s->data);
    s->data = data;
    s->capacity = cap;
}

void sample_set_count(SAMPLE *s, int32_t n) {
    if (!s || n < 0) {
        sample_error();
        return;
    }
    if (n > s->capacity) {
        sample_reserve(s, n);
        if (s->capacity < n) return;
    }
    s->count = n;
}

SAMPLE *sample_dup(const SAMPLE *s) {
    if (!sample_usable(s)) {
        sample_error();
        return nullptr;
    }
    SAMPLE *copy = sample_new();
    if (!copy) return nullptr;
    if (s->count > 0) {
        sample_reserve(copy, s->count);
        if (copy->capacity != s->count) {
            sample_del(&copy);
            return nullptr;
        }
        memcpy(copy->data, s->data, (size_t)s->count * sample_element_size);
    }
    copy->count = s->count;
    return copy;
}

bool sample_compare(const SAMPLE *a, const SAMPLE *b) {
    if (!sample_usable(a) || !sample_usable(b) || a->count != b->count) {
        sample_error();
        return false;
    }
    for (int32_t i = a->count - 1; i >= 0; i--) {
        if (a->data[i] != b->data[i]) {
            sample_error();
            return false;
        }
    }
    return true;
}

void sample_clear(SAMPLE *s) {
    if (!sample_usable(s)) {
        sample_error();
        return;
    }
    memset(s->data, 0, (size_t)s->count * sample_element_size);
}

int32_t sample_get(const SAMPLE *s, int32_t i) {
    if (!sample_usable(s) || i < 0 || i >= s->count) {
        sample_error();
        return 0;
    }
    return s->data[i];
}

void sample_set(SAMPLE *s, int32_t i, int32_t v) {
    if (!sample_usable(s) || i < 0 || i >= s->count) {
        sample_error();
        return;
    }
    s->data[i] = v;
}

void sample_push(SAMPLE *s, int32_t v) {
    if (!sample_usable(s)) {
        sample_error();
        return;
    }
    if (s->count >= s->capacity && !sample_grow(s)) return;
    s->data[s->count++] = v;
}

void sample_insert(SAMPLE *s, int32_t v, int32_t pos) {
    if (!sample_usable(s) || pos < 0 || pos > s->count) {
        sample_error();
        return;
    }
    if (s->count >= s->capacity && !sample_grow(s)) return;
    for (int32_t i = s->count; i > pos; i--) s->data[i] = s->data[i - 1];
    s->data[pos] = v;
    s->count++;
}

int32_t sample_remove(SAMPLE *s, int32_t pos) {
    if (!sample_usable(s) || pos < 0 || pos >= s->count) {
        sample_error();
        return 0;
    }
    for (int32_t i = pos; i < s->count - 1; i++) s->data[i] = s->data[i + 1];
    s->count--;
    return s->count;
}

int32_t sample_find(const SAMPLE *s, int32_t v, int32_t start) {
    if (!sample_usable(s) || start < 0 || start >= s->count) {
        sample_error();
        return -1;
    }
    for (int32_t i = start; i < s->count; i++) {
        if (s->data[i] == v) return i;
    }
    return -1;
}

void sample_move(const SAMPLE *src, SAMPLE *dst, int32_t n, int32_t from, int32_t to) {
    if (!sample_usable(src) || !sample_usable(dst) || from < 0 || to < 0 ||
        (int64_t)from + n > src->count || (int64_t)to + n > dst->count) {
        sample_error();
        return;
    }
    // Within one sample a move up over itself runs from the top down.
    if (src == dst && from < to && to < (int64_t)from + n) {
        for (int32_t k = n - 1; k >= 0; k--) dst->data[to + k] = src->data[from + k];
    } else {
        for (int32_t k = 0; k < n; k++) dst->data[to + k] = src->data[from + k];
    }
}

void sample_mul(SAMPLE *s, int32_t k) {
    if (!sample_usable(s)) {
        sample_error();
        return;
    }
    // Locals, so that the stores cannot alias the count and the loop vectorises.
    int32_t n = s->count;
    int32_t *d = s->data;
    for (int32_t i = 0; i < n; i++) d[i] = wrap_mul(d[i], k);
}

void sample_div(SAMPLE *s, int32_t k) {
    if (!sample_usable(s) || k == 0) {
        sample_error();
        return;
    }
    for (int32_t i = 0; i < s->count; i++) s->data[i] = sample_div_wrap(s->data[i], k);
}

void sample_shr(SAMPLE *s, int32_t b) {
    if (!sample_usable(s) || b < 0 || b >= 33) {
        sample_error();
        return;
    }
    // b mod 32: a shift by 32 is a shift by 0 and leaves the values alone.
    int32_t n = s->count, shift = b % 32;
    int32_t *d = s->data;
    for (int32_t i = 0; i < n; i++) d[i] = asr(d[i], shift);
}

void sample_shl(SAMPLE *s, int32_t b) {
    if (!sample_usable(s) || b < 0 || b >= 33) {
        sample_error();
        return;
    }
    for (int32_t i = 0; i < s->count; i++) s->data[i] = shl(s->data[i], b % 32);
}

void sample_add(SAMPLE *a, const SAMPLE *b) {
    if (!sample_usable(a) || !sample_usable(b)) {
        sample_error();
        return;
    }
    int32_t n = sample_min_count(a, b);
    int32_t *d = a->data;
    const int32_t *e = b->data;
    for (int32_t i = 0; i < n; i++) d[i] = wrap_add(d[i], e[i]);
}

void sample_mul_each(SAMPLE *a, const SAMPLE *b) {
    if (!sample_usable(a) || !sample_usable(b)) {
        sample_error();
        return;
    }
    int32_t n = sample_min_count(a, b);
    int32_t *d = a->data;
    const int32_t *e = b->data;
    for (int32_t i = 0; i < n; i++) d[i] = wrap_mul(d[i], e[i]);
}

void sample_add_scaled(SAMPLE *a, const SAMPLE *b, int32_t mul, int32_t div) {
    if (!sample_usable(a) || !sample_usable(b) || div == 0) {
        sample_error();
        return;
    }
    int32_t n = sample_min_count(a, b);
    for (int32_t i = 0; i < n; i++) {
        a->data[i] = wrap_add(a->data[i], sample_div_wrap(wrap_mul(b->data[i], mul), div));
    }
}

void sample_add_fixed(SAMPLE *a, const SAMPLE *b, int32_t mul) {
    if (!sample_usable(a) || !sample_usable(b)) {
        sample_error();
        return;
    }
    int32_t n = sample_min_count(a, b);
    for (int32_t i = 0; i < n; i++) {
        a->data[i] = wrap_add(a->data[i], asr(wrap_mul(b->data[i], mul), 16));
    }
}

void sample_reverse(SAMPLE *s) {
    if (!sample_usable(s)) {
        sample_error();
        return;
    }
    for (int32_t i = 0, j = s->count - 1; i < j; i++, j--) {
        int32_t t = s->data[i];
        s->data[i] = s->data[j];
        s->data[j] = t;
    }
}

int32_t sample_argmin(const SAMPLE *s) {
    if (!sample_usable(s) || s->count < 1) {
        sample_error();
        return 0;
    }
    int32_t best = 0;
    for (int32_t i = 1; i < s->count; i++) {
        if (s->data[i] < s->data[best]) best = i;
    }
    return best;
}

int32_t sample_argmax(const SAMPLE *s) {
    if (!sample_usable(s) || s->count < 1) {
        sample_error();
        return 0;
    }
    int32_t best = 0;
    for (int32_t i = 1; i < s->count; i++) {
        if (s->data[i] > s->data[best]) best = i;
    }
    return best;
}

int32_t sample_min(const SAMPLE *s) {
    if (!sample_usable(s) || s->count < 1) {
        sample_error();
        return 0;
    }
    return s->data[sample_argmin(s)];
}

int32_t sample_max(const SAMPLE *s) {
    if (!sample_usable(s) || s->count < 1) {
        sample_error();
        return 0;
    }
    return s->data[sample_argmax(s)];
}

void sample_fit_range(SAMPLE *s, int32_t lo, int32_t hi) {
    if (!sample_usable(s) || s->count < 1) {
        sample_error();
        return;
    }
    double min = sample_min(s);
    double max = sample_max(s);
    // A constant sample has no range to stretch: every value becomes lo.
    double scale = max > min ? ((double)hi - (double)lo) / (max - min) : 0.0;
    double shift = (double)lo - min * scale;
    for (int32_t i = 0; i < s->count; i++) s->data[i] = sample_from_double(s->data[i] * scale + shift);
}

void sample_normalize(SAMPLE *s, int32_t peak) {
    if (!sample_usable(s) || s->count < 1) {
        sample_error();
        return;
    }
    // Both extremes in one pass that vectorises (the same values as
    // sample_min and sample_max).
    int32_t lo = s->data[0], hi = s->data[0];
    for (int32_t i = 1; i < s->count; i++) {
        lo = s->data[i] < lo ? s->data[i] : lo;
        hi = s->data[i] > hi ? s->data[i] : hi;
    }
    double low = std::fabs((double)lo);
    double high = std::fabs((double)hi);
    double m = low > high ? low : high;
    // Silence has no peak to scale: it stays silent.
    if (m == 0.0) return;
    double scale = (double)peak / m;
    int32_t n = s->count;
    int32_t *d = s->data;
    // |value * scale| is at most about |peak|: below 2^30 no product can leave
    // the 32-bit range, and the plain conversion truncates as the checked one.
    if (peak > -0x40000000 && peak < 0x40000000) {
        for (int32_t i = 0; i < n; i++) d[i] = (int32_t)(d[i] * scale);
        return;
    }
    for (int32_t i = 0; i < n; i++) d[i] = sample_from_double(d[i] * scale);
}

// Fills out[0..n-1] from in[0..m-1] by nearest neighbour, m < n.
static void sample_stretch(const int32_t *in, int32_t m, int32_t *out, int32_t n) {
    int64_t err = (int64_t)m - n;
    int32_t j = 0;
    for (int32_t i = 0; i < n; i++) {
        if (err > 0) {
            err -= n;
            if (j < m - 1) j++;
        }
        out[i] = in[j];
        err += m;
    }
}

// Takes n of in[0..m-1] in order, n < m. The term grows by n per element and
// an element is taken when that makes it positive; it starts at n - m, so
// exactly n elements are taken, the last input element always among them.
static void sample_shrink(const int32_t *in, int32_t m, int32_t *out, int32_t n) {
    int64_t err = (int64_t)n - m;
    int32_t taken = 0;
    for (int32_t k = 0; k < m && taken < n; k++) {
        err += n;
        if (err > 0) {
            out[taken++] = in[k];
            err -= m;
        }
    }
}

void sample_resample(SAMPLE *s, int32_t n) {
    // An empty sample has nothing to pick from.
    if (!sample_usable(s) || n <= 0 || n == s->count || s->count < 1 || n > sample_max_count) {
        sample_error();
        return;
    }
    int32_t *out = (int32_t *)calloc((size_t)n, sample_element_size);
    if (!out) {
        sample_error();
        return;
    }
    if (n > s->count) {
        sample_stretch(s->data, s->count, out, n);
    } else {
        sample_shrink(s->data, s->count, out, n);
    }
    free(s->data);
    s->data = out;
    s->count = n;
    s->capacity = n;
}

// Rotation through a temporary sample whose storage then replaces s's.
// `left` selects new[i] = old[(i + k) mod count], else new[(i + k) mod count] = old[i].
static void sample_rotate(SAMPLE *s, int32_t k, bool left) {
    // Negative turns and empty samples are not rotations this module makes.
    if (!sample_usable(s) || s->count < 1 || k < 0) {
        sample_error();
        return;
    }
    int32_t c = s->count;
    k %= c;
    SAMPLE *t = sample_new();
    if (!t) return;
    sample_set_count(t, c);
    if (t->count != c) {
        sample_del(&t);
        return;
    }
    if (left) {
        sample_move(s, t, c - k, k, 0);
        sample_move(s, t, k, 0, c - k);
    } else {
        sample_move(s, t, c - k, 0, k);
        sample_move(s, t, k, c - k, 0);
    }
    free(s->data);
    s->data = t->data;
    s->capacity = t->capacity;
    t->data = nullptr;
    sample_del(&t);
}

void sample_rotate_left(SAMPLE *s, int32_t k) {
    sample_rotate(s, k, true);
}

void sample_rotate_right(SAMPLE *s, int32_t k) {
    sample_rotate(s, k, false);
}

void sample_line(SAMPLE *s, int32_t i0, int32_t y0, int32_t i1, int32_t y1) {
    if (i0 > i1) {
        int32_t t = i0;
        i0 = i1;
        i1 = t;
    }
    if (!sample_usable(s) || i0 < 0 || i1 >= s->count) {
        sample_error();
        return;
    }
    // 64-bit terms: the rise of a ramp between extreme values needs 33 bits.
    int64_t dx = (int64_t)i1 - i0;
    int64_t dy = (int64_t)y1 - y0;
    int64_t step = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
    if (dy < 0) dy = -dy;
    int64_t v = y0;
    if (dx == 0) {
        s->data[i0] = y0;
        return;
    }
    if (dx > dy) {
        int64_t err = dx >> 1;
        for (int32_t i = i0; i <= i1; i++) {
            s->data[i] = (int32_t)v;
            err -= dy;
            if (err <= 0) {
                err += dx;
                v += step;
            }
        }
    } else {
        int64_t err = dy >> 1;
        for (int32_t i = i0; i <= i1; i++) {
            s->data[i] = (int32_t)v;
            // As many unit steps as it takes to bring err to 0 or below.
            if (err > 0) {
                int64_t q = (err + dx - 1) / dx;
                v += step * q;
                err -= q * dx;
            }
            err += dy;
        }
    }
}

SAMPLE *sample_from_bytes(const int8_t *p, int32_t n) {
    if (!p || n < 0) {
        sample_error();
        return nullptr;
    }
    SAMPLE *s = sample_new();
    if (!s) return nullptr;
    sample_set_count(s, n);
    if (s->count != n) {
        sample_del(&s);
        return nullptr;
    }
    for (int32_t i = 0; i < n; i++) s->data[i] = p[i];
    return s;
}

void sample_insert_sample(SAMPLE *dst, const SAMPLE *src, int32_t pos) {
    if (!sample_usable(dst) || !sample_usable(src) ||
        (int64_t)dst->count + src->count > sample_max_count) {
        sample_error();
        return;
    }
    if ((int64_t)dst->count + src->count == 0) return;
    // Inserting a sample into itself reads a copy taken before anything moves.
    SAMPLE *own = src == dst ? sample_dup(src) : nullptr;
    if (src == dst && !own) return;
    const SAMPLE *from = own ? own : src;
    int32_t old = dst->count;
    int32_t total = old + from->count;
    sample_reserve(dst, total);
    if (dst->capacity == total) {
        dst->count = total;
        // A position outside 0..old moves nothing: the count stays grown,
        // with zeros at the end, and the refusal is reported.
        if (pos < 0 || pos > old) {
            sample_error();
        } else {
            sample_move(dst, dst, old - pos, pos, pos + from->count);
            sample_move(from, dst, from->count, 0, pos);
        }
    }
    if (own) sample_del(&own);
}

SAMPLE *sample_extract(const SAMPLE *s, int32_t from, int32_t to) {
    if (!sample_usable(s) || from > to) {
        sample_error();
        return nullptr;
    }
    if (to > s->count) to = s->count;
    if (from < 0) from = 0;
    if (from > to) from = to;
    SAMPLE *part = sample_new();
    if (!part) return nullptr;
    if (to > from) {
        sample_set_count(part, to - from);
        if (part->count != to - from) {
            sample_del(&part);
            return nullptr;
        }
        memcpy(part->data, s->data + from, (size_t)(to - from) * sample_element_size);
    }
    return part;
}

int32_t sample_match_count(const SAMPLE *a, const SAMPLE *b, int32_t off) {
    if (!sample_usable(a) || !sample_usable(b) || off < 1 - (int64_t)b->count ||
        off > (int64_t)a->count - 1) {
        sample_error();
        return 0;
    }
    int64_t first = off > 0 ? off : 0;
    int64_t end = (int64_t)b->count + off;
    if (end > a->count) end = a->count;
    int32_t matches = 0;
    for (int64_t i = first; i < end; i++) {
        if (a->data[i] == b->data[i - off]) matches++;
    }
    return matches;
}

int32_t sample_best_offset(const SAMPLE *a, const SAMPLE *b) {
    if (!sample_usable(a) || !sample_usable(b)) {
        sample_error();
        return 0;
    }
    int32_t best = -b->count;
    int32_t most = 0;
    for (int32_t off = 1 - b->count; off <= a->count - 1; off++) {
        int32_t matches = sample_match_count(a, b, off);
        if (matches > most) {
            most = matches;
            best = off;
        }
    }
    return best;
}

char *sample_to_text(const SAMPLE *s) {
    if (!s || (s->count > 0 && !s->data)) {
        sample_error();
        return nullptr;
    }
    if (s->count == 0) {
        char *text = (char *)calloc(16, 1);
        if (!text) {
            sample_error();
            return nullptr;
        }
        memcpy(text, "SAMPLE { 0 }\n", 13);
        return text;
    }
    int64_t size = (int64_t)s->count * sample_text_per_value;
    char *text = size <= sample_max_text ? (char *)calloc((size_t)size, 1) : nullptr;
    if (!text) {
        sample_error();
        return nullptr;
    }
    size_t used = (size_t)snprintf(text, (size_t)size, "SAMPLE { %ld\n", (long)s->count);
    for (int32_t i = 0; i < s->count; i++) {
        used += (size_t)snprintf(text + used, (size_t)size - used, "%ld\n", (long)s->data[i]);
    }
    snprintf(text + used, (size_t)size - used, "}\n");
    return text;
}

static bool sample_is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Reads decimal digits at *p into a wrapping 32-bit value, moving *p past them.
static uint32_t sample_read_digits(const char **p) {
    uint32_t value = 0;
    while (sample_is_digit(**p)) {
        value = value * 10u + (uint32_t)(**p - '0');
        (*p)++;
    }
    return value;
}

SAMPLE *sample_from_text(const char *text) {
    if (!text) {
        sample_error();
        return nullptr;
    }
    const char *p = strstr(text, "SAMPLE");
    if (p) p = strchr(p + 3, '{');
    while (p && *p && !sample_is_digit(*p)) p++;
    if (!p || !*p) {
        sample_error();
        return nullptr;
    }
    // The count is read saturating: a text cannot hold more numbers than it
    // has characters, so a larger count is never trusted with an allocation.
    uint64_t count = 0;
    while (sample_is_digit(*p)) {
        if (count < ((uint64_t)1 << 40)) count = count * 10 + (uint64_t)(*p - '0');
        p++;
    }
    size_t rest = strlen(p);
    uint64_t room = count < rest ? count : rest;
    SAMPLE *s = sample_new();
    if (!s) return nullptr;
    if (room > 0) {
        sample_reserve(s, room > (uint64_t)sample_max_count ? sample_max_count + 1 : (int32_t)room);
        if (s->capacity != (int64_t)room) {
            sample_del(&s);
            return nullptr;
        }
    }
    int32_t read = 0;
    while ((uint64_t)read < count) {
        while (*p && *p != '-' && !sample_is_digit(*p)) p++;
        if (!*p) break;
        bool negative = *p == '-';
        if (negative) p++;
        uint32_t value = sample_read_digits(&p);
        s->data[read++] = (int32_t)(negative ? 0u - value : value);
    }
    // A text that ends before its count keeps only the numbers it holds.
    s->count = read;
    return s;
}

SAMPLE *sample_read_raw(FILE *file, int32_t width, char order, char sign) {
    if (!file || (width != 8 && width != 16) || (order != 'l' && order != 'b') ||
        (sign != 's' && sign != 'u')) {
        sample_error();
        return nullptr;
    }
    SAMPLE *s = sample_new();
    if (!s) return nullptr;
    sample_reserve(s, 1024);
    if (s->capacity != 1024) {
        sample_del(&s);
        return nullptr;
    }
    for (;;) {
        int first = fgetc(file);
        if (first == EOF) break;
        int32_t value;
        if (width == 8) {
            value = sign == 's' ? (int32_t)(int8_t)first * 256 : first * 256 - 32768;
        } else {
            int second = fgetc(file);
            if (second == EOF) break;  // a lone last byte is dropped
            int32_t word = order == 'l' ? (second << 8) | first : (first << 8) | second;
            value = sign == 's' ? (int32_t)(int16_t)word : word - 32768;
        }
        if (s->count >= s->capacity && !sample_grow(s)) break;
        s->data[s->count++] = value;
    }
    return s;
}

int32_t sample_write_raw(const SAMPLE *s, FILE *file, int32_t width, char order) {
    if (!sample_usable(s) || !file) {
        sample_error();
        return 0;
    }
    int32_t lo = -32768, hi = 32767, bytes = 2;
    if (width == 8) {
        lo = -128, hi = 127, bytes = 1;
    } else if (width == 24) {
        lo = -8388608, hi = 8388607, bytes = 3;
    } else if (width == 32) {
        lo = -2147483647, hi = INT32_MAX, bytes = 4;
    }
    int32_t written = 0;
    for (int32_t i = 0; i < s->count; i++) {
        int32_t v = s->data[i];
        uint32_t u = (uint32_t)(v < lo ? lo : (v > hi ? hi : v));
        unsigned char out[4];
        for (int32_t k = 0; k < bytes; k++) {
            int32_t shift = order == 'b' ? 8 * (bytes - 1 - k) : 8 * k;
            out[k] = (unsigned char)(u >> shift);
        }
        if (fwrite(out, 1, (size_t)bytes, file) != (size_t)bytes) break;
        written++;
    }
    return written;
}
