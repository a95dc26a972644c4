// Runs of SAMPLE operations on two samples with fuzzed positions, counts,
// ranges, factors and shifts: no argument may overflow, read or write outside
// the storage, or break 0 <= count <= capacity.
#include "audio/sample.h"
#include "fuzz/fuzz_ops.h"

// Counts the module would grant are kept to this many values.
static const int32_t limit = 4096;
// Beyond this the module refuses every size.
static const int32_t honoured = 0x1FFFFFFF;

static void check(const SAMPLE *s) {
    fuzz_check(s->data && s->count >= 0 && s->count <= s->capacity);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_stream in{data, size};
    SAMPLE *s[2] = {sample_new(), sample_new()};
    if (!s[0] || !s[1]) abort();
    for (int op = 0; op < fuzz_max_ops && in.n; op++) {
        uint8_t code = fuzz_byte(&in);
        SAMPLE *a = s[code & 1], *b = s[(code >> 1) & 1];
        int32_t x = fuzz_int(&in), y = fuzz_int(&in);
        switch ((code >> 2) % 30) {
        case 0: sample_set_count(a, fuzz_bound(x, limit, honoured)); break;
        case 1: sample_reserve(a, fuzz_bound(x, limit, honoured)); break;
        case 2: sample_get(a, x); break;
        case 3: sample_set(a, x, y); break;
        case 4:
            if (a->count < limit) sample_push(a, x);
            break;
        case 5:
            if (a->count < limit) sample_insert(a, y, x);
            break;
        case 6: sample_remove(a, x); break;
        case 7: sample_find(a, y, x); break;
        case 8: sample_move(a, b, x, y, fuzz_int(&in)); break;
        case 9: sample_mul(a, x); break;
        case 10:
            if (x) sample_div(a, x);
            break;
        case 11: sample_shr(a, x); break;
        case 12: sample_shl(a, x); break;
        case 13:
            sample_add(a, b);
            sample_mul_each(a, b);
            break;
        case 14:
            if (y) sample_add_scaled(a, b, x, y);
            break;
        case 15: sample_add_fixed(a, b, x); break;
        case 16: sample_reverse(a); break;
        case 17:
            if (a->count) fuzz_check(sample_min(a) <= sample_max(a));
            break;
        case 18:
            if (a->count) sample_fit_range(a, x, y);
            break;
        case 19:
            if (a->count) sample_normalize(a, x);
            break;
        case 20: sample_resample(a, fuzz_bound(x, limit, honoured)); break;
        case 21:
            if (a->count) sample_rotate_left(a, x);
            break;
        case 22:
            if (a->count) sample_rotate_right(a, x);
            break;
        case 23: sample_line(a, x, y, fuzz_int(&in), fuzz_int(&in)); break;
        case 24: {
            SAMPLE *part = sample_extract(a, x, y);
            if (part) {
                check(part);
                sample_del(&part);
            }
            break;
        }
        case 25:
            if ((int64_t)a->count + b->count <= limit) sample_insert_sample(a, b, x);
            break;
        case 26: sample_match_count(a, b, x); break;
        case 27:
            if (a->count <= 64 && b->count <= 64) sample_best_offset(a, b);
            break;
        case 28: {
            if (a->count > limit / 4) break;
            char *text = sample_to_text(a);
            SAMPLE *back = text ? sample_from_text(text) : nullptr;
            fuzz_check(!back || sample_compare(a, back));
            sample_del(&back);
            free(text);
            break;
        }
        default: {
            SAMPLE *copy = sample_dup(a);
            fuzz_check(copy && sample_compare(a, copy));
            sample_clear(copy);
            sample_del(&copy);
            break;
        }
        }
        check(s[0]);
        check(s[1]);
    }
    sample_del(&s[0]);
    sample_del(&s[1]);
    return 0;
}
