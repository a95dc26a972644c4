// Runs of ARRAY and LIST operations with fuzzed indices, counts, ranges and
// element sizes: nothing may touch memory outside the storage or leave the
// count outside 0 .. capacity.
#include <cstring>

#include "fuzz/fuzz_ops.h"
#include "vector/array.h"
#include "vector/list.h"

static const int32_t limit = 4096;

static void check(const ARRAY *a) {
    fuzz_check(a->data && a->count >= 0 && a->count <= a->capacity);
}

static void check(const LIST *l) {
    fuzz_check(l->items && l->count >= 0 && l->count <= l->capacity);
}

static int objects[8];

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_stream in{data, size};
    ARRAY *arrays[2] = {array_new(), array_new()};
    LIST *lists[2] = {list_new(), list_new()};
    if (!arrays[0] || !arrays[1] || !lists[0] || !lists[1]) abort();
    uint8_t element[64] = {0};
    for (int op = 0; op < fuzz_max_ops && in.n; op++) {
        uint8_t code = fuzz_byte(&in);
        ARRAY *a = arrays[code & 1], *b = arrays[(code >> 1) & 1];
        LIST *l = lists[code & 1], *m = lists[(code >> 1) & 1];
        int32_t x = fuzz_int(&in), y = fuzz_int(&in);
        memset(element, (int)x, sizeof element);
        void *handle = &objects[(uint32_t)y % 8];
        switch ((code >> 2) % 24) {
        case 0: {
            // Element sizes up to 64 bytes are used, larger ones must be refused.
            uint32_t es = (uint32_t)x;
            if (es > 64 && (uint64_t)es * (uint64_t)a->capacity <= 0x7FFFFFFF) es %= 65;
            array_set_element_size(a, es);
            break;
        }
        case 1: array_set_count(a, fuzz_bound(x, limit, INT32_MAX)); break;
        case 2:
            if (a->count < limit && a->element_size <= 64) array_push(a, element);
            break;
        case 3: free(array_pop(a)); break;
        case 4:
            if (a->count < limit && a->element_size <= 64) array_insert(a, element, x);
            break;
        case 5: array_remove(a, x); break;
        case 6:
            if (a->element_size <= 64) array_get(a, element, x);
            break;
        case 7:
            if (a->element_size <= 64) array_set(a, element, x);
            break;
        case 8: free(array_get_copy(a, x)); break;
        case 9:
            if (a->element_size <= 64) array_equals_at(a, element, x);
            array_find(a, element);
            break;
        case 10: {
            ARRAY *part = array_extract(a, x, y);
            if (part) {
                check(part);
                array_del(&part);
            }
            break;
        }
        case 11: array_remove_range(a, x, y); break;
        case 12:
            if (b->count <= limit) array_insert_range(a, b, x, y, fuzz_int(&in));
            break;
        case 13: {
            array_copy(a, b);
            ARRAY *copy = array_dup(a);
            fuzz_check(copy && array_compare(a, copy));
            array_del(&copy);
            free(array_to_text(a));
            break;
        }
        case 14: list_set_count(l, fuzz_bound(x, limit, INT32_MAX)); break;
        case 15: list_reserve(l, fuzz_bound(x, limit, INT32_MAX)); break;
        case 16:
            if (l->count < limit) list_push(l, handle);
            list_pop(m);
            break;
        case 17:
            if (l->count < limit) list_insert(l, handle, x);
            break;
        case 18: list_remove(l, x); break;
        case 19:
            list_get(l, x);
            list_set(l, handle, x);
            list_find(l, handle);
            break;
        case 20: {
            LIST *part = list_extract(l, x, y);
            if (part) {
                check(part);
                list_del(&part);
            }
            break;
        }
        case 21: list_remove_range(l, x, y); break;
        case 22:
            if (m->count <= limit) list_insert_range(l, m, x, y, fuzz_int(&in));
            break;
        default: {
            LIST *copy = list_dup(l);
            fuzz_check(copy && list_compare(l, copy));
            list_del(&copy);
            break;
        }
        }
        check(arrays[0]);
        check(arrays[1]);
        check(lists[0]);
        check(lists[1]);
    }
    array_del(&arrays[0]);
    array_del(&arrays[1]);
    list_del(&lists[0]);
    list_del(&lists[1]);
    return 0;
}
