// Growable array of fixed-size elements stored by value.
// ARRAY keeps `count` elements of `element_size` opaque bytes in `data`
// (`capacity` elements), doubling when full and never shrinking. Storage is
// limited to 2^31 - 1 bytes so that every byte offset fits: a larger size acts
// as a failed allocation. No text reader exists; the text form is write-only.
#include "vector/array.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/module.h"

RIVO_IDENTITY(array, "ARRAY   ", "20150119", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(array, 0, "ARRAY error\n");

// Largest storage in bytes; keeps n * element_size and every offset in range.
static const uint64_t array_max_bytes = 0x7FFFFFFF;

// Bytes for n elements of the given size, or false when that cannot be stored.
static bool array_bytes(int64_t n, uint32_t size, size_t *bytes) {
    if (n < 0 || (uint64_t)n * size > array_max_bytes) return false;
    *bytes = (size_t)((uint64_t)n * size);
    return true;
}

// Byte offset of element i (i within the storage).
static size_t array_offset(const ARRAY *array, int32_t i) {
    return (size_t)i * array->element_size;
}

// An array that can be used at all: present and holding storage.
static bool array_usable(const ARRAY *array) {
    return array && array->data;
}

// Element index i is in use.
static bool array_index_ok(const ARRAY *array, int32_t i) {
    return i >= 0 && i < array->count;
}

ARRAY *array_new(void) {
    ARRAY *array = (ARRAY *)calloc(1, sizeof(ARRAY));
    if (!array) {
        array_error();
        return nullptr;
    }
    array->data = (uint8_t *)calloc(2, 4);
    if (!array->data) {
        free(array);
        array_error();
        return nullptr;
    }
    array->element_size = 4;
    array->capacity = 2;
    return array;
}

void array_del(ARRAY **array) {
    if (!array || !*array) {
        array_error();
        return;
    }
    free((*array)->data);
    free(*array);
    *array = nullptr;
}

void array_set_element_size(ARRAY *array, uint32_t size) {
    size_t bytes = 0;
    if (!array || size == 0 || !array_bytes(array->capacity, size, &bytes)) {
        array_error();
        return;
    }
    free(array->data);
    // Without storage the array must be given a size again before any use.
    array->data = (uint8_t *)calloc(bytes > 0 ? bytes : 1, 1);
    if (!array->data) {
        array_error();
        return;
    }
    array->element_size = size;
    array->count = 0;
}

bool array_grow(ARRAY *array) {
    if (!array_usable(array)) {
        array_error();
        return false;
    }
    int32_t capacity = array->capacity < 1 ? 1 : array->capacity;
    size_t bytes = 0;
    if (!array_bytes((int64_t)capacity * 2, array->element_size, &bytes)) {
        array_error();
        return false;
    }
    uint8_t *data = (uint8_t *)calloc(bytes > 0 ? bytes : 1, 1);
    if (!data) {
        array_error();
        return false;
    }
    memcpy(data, array->data, array_offset(array, array->count));
    free(array->data);
    array->data = data;
    array->capacity = capacity * 2;
    return true;
}

void array_set_count(ARRAY *array, int32_t n) {
    // A count whose bytes could never be stored is refused before any growth.
    size_t bytes = 0;
    if (!array_usable(array) || !array_bytes(n, array->element_size, &bytes)) {
        array_error();
        return;
    }
    // A count beyond the storage grows it first, so every counted byte exists.
    while (array->capacity < n) {
        if (!array_grow(array)) return;
    }
    array->count = n;
}

void array_push(ARRAY *array, const void *element) {
    if (!array_usable(array) || !element) {
        array_error();
        return;
    }
    if (array->count >= array->capacity && !array_grow(array)) return;
    memcpy(array->data + array_offset(array, array->count), element, array->element_size);
    array->count++;
}

void *array_pop(ARRAY *array) {
    if (!array_usable(array)) {
        array_error();
        return nullptr;
    }
    if (array->count < 1) return nullptr;
    void *copy = calloc(array->element_size, 1);
    if (!copy) {
        array_error();
        return nullptr;
    }
    array->count--;
    memcpy(copy, array->data + array_offset(array, array->count), array->element_size);
    return copy;
}

void array_insert(ARRAY *array, const void *element, int32_t index) {
    if (!array_usable(array) || !element || index < 0 || index > array->count) {
        array_error();
        return;
    }
    while (array->capacity <= array->count) {
        if (!array_grow(array)) return;
    }
    // The tail moves up one slot starting from its last byte, so the
    // overlapping source bytes are read before they are overwritten.
    size_t size = array->element_size;
    size_t first = array_offset(array, index);
    for (size_t k = array_offset(array, array->count); k > first; k--) {
        array->data[k - 1 + size] = array->data[k - 1];
    }
    memcpy(array->data + first, element, size);
    array->count++;
}

void array_remove(ARRAY *array, int32_t index) {
    if (!array_usable(array) || !array_index_ok(array, index)) {
        array_error();
        return;
    }
    size_t size = array->element_size;
    size_t end = array_offset(array, array->count - 1);
    for (size_t k = array_offset(array, index); k < end; k++) array->data[k] = array->data[k + size];
    array->count--;
}

void array_get(const ARRAY *array, void *destination, int32_t index) {
    if (!array_usable(array) || !destination || !array_index_ok(array, index)) {
        array_error();
        return;
    }
    memcpy(destination, array->data + array_offset(array, index), array->element_size);
}

void array_set(ARRAY *array, const void *source, int32_t index) {
    if (!array_usable(array) || !source || !array_index_ok(array, index)) {
        array_error();
        return;
    }
    memcpy(array->data + array_offset(array, index), source, array->element_size);
}

void *array_get_copy(const ARRAY *array, int32_t index) {
    if (!array_usable(array) || !array_index_ok(array, index)) {
        array_error();
        return nullptr;
    }
    void *copy = calloc(array->element_size, 1);
    if (!copy) {
        array_error();
        return nullptr;
    }
    memcpy(copy, array->data + array_offset(array, index), array->element_size);
    return copy;
}

bool array_equals_at(const ARRAY *array, const void *element, int32_t index) {
    if (!array_usable(array) || !element || !array_index_ok(array, index)) {
        array_error();
        return false;
    }
    return memcmp(array->data + array_offset(array, index), element, array->element_size) == 0;
}

int32_t array_find(const ARRAY *array, const void *element) {
    if (!array_usable(array) || !element) {
        array_error();
        return -1;
    }
    for (int32_t i = 0; i < array->count; i++) {
        if (memcmp(array->data + array_offset(array, i), element, array->element_size) == 0) return i;
    }
    return -1;
}

bool array_compare(const ARRAY *a, const ARRAY *b) {
    if (a == b) return true;
    if (!a || !b) return false;
    if (a->count != b->count || a->element_size != b->element_size) return false;
    size_t bytes = array_offset(a, a->count);
    if (bytes == 0) return true;
    if (!a->data || !b->data) return false;
    return memcmp(a->data, b->data, bytes) == 0;
}

ARRAY *array_dup(const ARRAY *source) {
    if (!array_usable(source)) {
        array_error();
        return nullptr;
    }
    ARRAY *copy = array_new();
    if (!copy) return nullptr;
    array_set_element_size(copy, source->element_size);
    if (!copy->data) {
        array_del(&copy);
        return nullptr;
    }
    for (int32_t i = 0; i < source->count; i++) {
        array_push(copy, source->data + array_offset(source, i));
        if (copy->count != i + 1) {
            array_del(&copy);
            return nullptr;
        }
    }
    return copy;
}

void array_copy(const ARRAY *source, ARRAY *target) {
    if (!array_usable(source) || !array_usable(target)) {
        array_error();
        return;
    }
    int32_t n = source->count < target->count ? source->count : target->count;
    size_t bytes = array_offset(source, n);
    // With different element sizes the source's bytes could overrun the
    // target's storage: copy only what the target holds.
    size_t room = array_offset(target, target->capacity);
    if (bytes > room) bytes = room;
    memcpy(target->data, source->data, bytes);
}

ARRAY *array_extract(const ARRAY *array, int32_t from, int32_t to) {
    if (!array_usable(array) || from < 0 || from >= to || to > array->count) {
        array_error();
        return nullptr;
    }
    ARRAY *part = array_new();
    if (!part) return nullptr;
    array_set_element_size(part, array->element_size);
    if (!part->data) {
        array_del(&part);
        return nullptr;
    }
    array_set_count(part, to - from);
    if (part->count != to - from) {
        array_del(&part);
        return nullptr;
    }
    memcpy(part->data, array->data + array_offset(array, from), array_offset(array, to - from));
    return part;
}

void array_remove_range(ARRAY *array, int32_t from, int32_t to) {
    if (!array_usable(array) || from < 0 || from >= to || to > array->count) {
        array_error();
        return;
    }
    size_t start = array_offset(array, from);
    size_t shift = array_offset(array, to - from);
    size_t end = array_offset(array, array->count) - shift;
    for (size_t k = start; k < end; k++) array->data[k] = array->data[k + shift];
    array->count -= to - from;
}

void array_insert_range(const ARRAY *source, ARRAY *target, int32_t from, int32_t to, int32_t at) {
    if (!array_usable(source) || !array_usable(target) || from < 0 || from >= to ||
        to > source->count || at < 0 || at > target->count ||
        source->element_size != target->element_size) {
        array_error();
        return;
    }
    int32_t n = to - from;
    size_t bytes = array_offset(source, n);
    // The range is set aside first: source and target may be the same array.
    uint8_t *range = (uint8_t *)calloc(bytes, 1);
    if (!range || n > INT32_MAX - target->count) {
        free(range);
        array_error();
        return;
    }
    memcpy(range, source->data + array_offset(source, from), bytes);
    bool room = true;
    while (room && target->capacity < target->count + n) room = array_grow(target);
    if (room) {
        size_t first = array_offset(target, at);
        for (size_t k = array_offset(target, target->count); k > first; k--) {
            target->data[k - 1 + bytes] = target->data[k - 1];
        }
        memcpy(target->data + first, range, bytes);
        target->count += n;
    }
    free(range);
}

char *array_to_text(const ARRAY *array) {
    size_t bytes = 0;
    // A count and size beyond any storage this module makes cannot be trusted.
    if (!array_usable(array) || !array_bytes(array->count, array->element_size, &bytes)) {
        array_error();
        return nullptr;
    }
    char *text = (char *)calloc(bytes + 21, 1);
    if (!text) {
        array_error();
        return nullptr;
    }
    memcpy(text, "ARRAY{\n", 7);
    memcpy(text + 7, array->data, bytes);
    memcpy(text + 7 + bytes, "\n}\n", 3);
    return text;
}

// Prints the text form and releases it (a failed text prints as empty).
static void array_print_text(const ARRAY *array) {
    char *text = array_to_text(array);
    printf("%s\n", text ? text : "");
    free(text);
}

void array_self_test(void) {
    printf("Creation of new ARRAY...");
    ARRAY *array = array_new();
    if (!array) {
        printf("failed\n");
        return;
    }
    printf("done!\n");
    printf("Setting size of element...");
    array_set_element_size(array, 5);
    printf("done!\n");
    printf("Pushing 4 elements...");
    array_push(array, "RIVO ");
    array_push(array, "array");
    array_push(array, "RIVO ");
    array_push(array, "array");
    printf("done!\n");
    array_print_text(array);
    printf("Inserting 1 element at 0...");
    array_insert(array, "Hello", 0);
    printf("done!\n");
    array_print_text(array);
    printf("Deleting 1 element at 2...");
    array_remove(array, 2);
    printf("done!\n");
    array_print_text(array);
    array_del(&array);
}
