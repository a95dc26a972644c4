// Growable list of handles it does not own.
// LIST keeps `count` handles in `items`, doubling the storage when it is full;
// it never frees, copies or compares the objects, only the handles. Storage
// stops below 2^31 bytes: a larger size acts as a failed allocation.
#include "vector/list.h"

#include <cstdlib>
#include <cstring>

#include "host/module.h"

RIVO_IDENTITY(list, "LIST    ", "20131014", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(list, 1, "LIST error\n");

// Most slots a list holds: their bytes stay below 2^31.
static const int32_t list_max_slots = (int32_t)(0x7FFFFFFF / sizeof(void *));

// Range check shared by extract and remove_range: 0 <= from < to <= count.
static bool list_range_ok(const LIST *list, int32_t from, int32_t to) {
    return list && from >= 0 && from < to && to <= list->count;
}

// Makes room for `extra` more handles, doubling; false (already reported) on failure.
static bool list_make_room(LIST *list, int32_t extra) {
    if (extra > INT32_MAX - list->count) {
        list_error();
        return false;
    }
    while (list->capacity < list->count + extra) {
        if (!list_grow(list)) return false;
    }
    return true;
}

LIST *list_new(void) {
    LIST *list = (LIST *)calloc(1, sizeof(LIST));
    if (!list) {
        list_error();
        return nullptr;
    }
    if (!list_reserve(list, 2)) {
        free(list);
        return nullptr;
    }
    return list;
}

void list_del(LIST **list) {
    if (!list || !*list) {
        list_error();
        return;
    }
    free((*list)->items);
    memset(*list, 0, sizeof(LIST));
    free(*list);
    *list = nullptr;
}

bool list_reserve(LIST *list, int32_t n) {
    // Fewer slots than handles in use would lose handles, and more than
    // 2^31 - 1 bytes of slots is more than any list is given: both fail.
    if (!list || n < 0 || n < list->count || n > list_max_slots) {
        list_error();
        return false;
    }
    void **items = (void **)calloc(n > 0 ? (size_t)n : 1, sizeof(void *));
    if (!items) {
        list_error();
        return false;
    }
    if (list->count > 0) memcpy(items, list->items, (size_t)list->count * sizeof(void *));
    free(list->items);
    list->items = items;
    list->capacity = n;
    return true;
}

bool list_grow(LIST *list) {
    if (!list) {
        list_error();
        return false;
    }
    int32_t capacity = list->capacity < 1 ? 1 : list->capacity;
    if (capacity > list_max_slots / 2) {
        list_error();
        return false;
    }
    return list_reserve(list, capacity * 2);
}

void list_set_count(LIST *list, int32_t n) {
    if (!list) return;
    if (n < 0) {
        list_error();
        return;
    }
    if (list->capacity < n && !list_reserve(list, n)) return;
    list->count = n;
}

void list_push(LIST *list, void *handle) {
    if (!list) {
        list_error();
        return;
    }
    if (list->count >= list->capacity && !list_grow(list)) return;
    list->items[list->count++] = handle;
}

void *list_pop(LIST *list) {
    if (!list || list->count < 1) {
        list_error();
        return nullptr;
    }
    list->count--;
    return list->items[list->count];
}

void list_insert(LIST *list, void *handle, int32_t index) {
    if (!list || index < 0 || index > list->count) {
        list_error();
        return;
    }
    while (list->capacity <= list->count) {
        if (!list_grow(list)) return;
    }
    // Upwards moves start at the top so nothing is overwritten before it moves.
    for (int32_t i = list->count; i > index; i--) list->items[i] = list->items[i - 1];
    list->items[index] = handle;
    list->count++;
}

void list_remove(LIST *list, int32_t index) {
    if (!list || index < 0 || index >= list->count) {
        list_error();
        return;
    }
    for (int32_t i = index; i < list->count - 1; i++) list->items[i] = list->items[i + 1];
    list->items[list->count - 1] = nullptr;
    list->count--;
}

void *list_get(const LIST *list, int32_t index) {
    if (!list || index < 0 || index >= list->count) {
        list_error();
        return nullptr;
    }
    return list->items[index];
}

void list_set(LIST *list, void *handle, int32_t index) {
    if (!list || index < 0 || index >= list->count) {
        list_error();
        return;
    }
    list->items[index] = handle;
}

int32_t list_find(const LIST *list, const void *handle) {
    if (!list || !handle) {
        list_error();
        return -1;
    }
    for (int32_t i = 0; i < list->count; i++) {
        if (list->items[i] == handle) return i;
    }
    return -1;
}

bool list_compare(const LIST *a, const LIST *b) {
    if (a == b) return true;
    if (!a || !b) return false;
    if (a->count != b->count) return false;
    for (int32_t i = 0; i < a->count; i++) {
        if (a->items[i] != b->items[i]) return false;
    }
    return true;
}

LIST *list_dup(const LIST *source) {
    if (!source) {
        list_error();
        return nullptr;
    }
    return source->count > 0 ? list_extract(source, 0, source->count) : list_new();
}

LIST *list_extract(const LIST *list, int32_t from, int32_t to) {
    if (!list_range_ok(list, from, to)) {
        list_error();
        return nullptr;
    }
    LIST *part = list_new();
    if (!part) return nullptr;
    if (!list_make_room(part, to - from)) {
        list_del(&part);
        return nullptr;
    }
    memcpy(part->items, list->items + from, (size_t)(to - from) * sizeof(void *));
    part->count = to - from;
    return part;
}

void list_remove_range(LIST *list, int32_t from, int32_t to) {
    if (!list_range_ok(list, from, to)) {
        list_error();
        return;
    }
    int32_t n = to - from;
    for (int32_t i = from; i < list->count - n; i++) list->items[i] = list->items[i + n];
    list->count -= n;
}

void list_insert_range(const LIST *source, LIST *target, int32_t from, int32_t to, int32_t at) {
    if (!target || !list_range_ok(source, from, to) || at < 0 || at > target->count) {
        list_error();
        return;
    }
    int32_t n = to - from;
    // The range is set aside first: source and target may be the same list.
    void **range = (void **)calloc((size_t)n, sizeof(void *));
    if (!range) {
        list_error();
        return;
    }
    memcpy(range, source->items + from, (size_t)n * sizeof(void *));
    if (list_make_room(target, n)) {
        for (int32_t i = target->count - 1; i >= at; i--) target->items[i + n] = target->items[i];
        memcpy(target->items + at, range, (size_t)n * sizeof(void *));
        target->count += n;
    }
    free(range);
}
