// Growable array of fixed-size elements stored by value.
// ARRAY: `capacity` elements of `element_size` bytes each, `count` in use;
// the storage doubles when full and never shrinks. Elements are opaque bytes.
#pragma once

#include "host/export.h"

#include <cstdint>

// A growable array of fixed-size elements held by value.
struct ARRAY {
    uint32_t element_size;  // bytes per element; 4 after array_new
    int32_t capacity;       // elements the storage holds; 2 after array_new
    int32_t count;          // elements in use
    uint8_t *data;          // owned, capacity * element_size bytes
};

// Prints this module's error message when its debug switch is on.
RIVO_API void array_error(void);

// New array: 2 elements of 4 bytes, count 0; null on failure.
RIVO_API ARRAY *array_new(void);
// Frees the storage and the record and clears the handle.
RIVO_API void array_del(ARRAY **array);
// New zeroed storage for capacity elements of size bytes; drops every element.
RIVO_API void array_set_element_size(ARRAY *array, uint32_t size);
// Doubles the capacity (a capacity below 1 counts as 1) keeping the elements.
RIVO_API bool array_grow(ARRAY *array);
// count = n (n >= 0); the storage is not touched. Used to empty an array.
RIVO_API void array_set_count(ARRAY *array, int32_t n);

// Appends element_size bytes from element, growing first when full.
RIVO_API void array_push(ARRAY *array, const void *element);
// New buffer holding the last element (caller frees); null when empty.
RIVO_API void *array_pop(ARRAY *array);
// Inserts element before index (0..count).
RIVO_API void array_insert(ARRAY *array, const void *element, int32_t index);
// Removes the element at index (0..count-1).
RIVO_API void array_remove(ARRAY *array, int32_t index);
// Copies element index into destination (element_size bytes).
RIVO_API void array_get(const ARRAY *array, void *destination, int32_t index);
// Overwrites element index with element_size bytes from source.
RIVO_API void array_set(ARRAY *array, const void *source, int32_t index);
// New buffer holding element index (caller frees); null on a bad index.
RIVO_API void *array_get_copy(const ARRAY *array, int32_t index);
// True when element index equals the given bytes.
RIVO_API bool array_equals_at(const ARRAY *array, const void *element, int32_t index);
// Lowest index whose element equals the given bytes, or -1.
RIVO_API int32_t array_find(const ARRAY *array, const void *element);

// True when both null or the same array, or sizes, counts and bytes are equal.
RIVO_API bool array_compare(const ARRAY *a, const ARRAY *b);
// A new array with the same element size and elements; null on failure.
RIVO_API ARRAY *array_dup(const ARRAY *source);
// Copies min(source count, target count) elements' bytes; counts unchanged.
RIVO_API void array_copy(const ARRAY *source, ARRAY *target);
// New array of the elements at from..to-1 (0 <= from < to <= count).
RIVO_API ARRAY *array_extract(const ARRAY *array, int32_t from, int32_t to);
// Removes the elements at from..to-1.
RIVO_API void array_remove_range(ARRAY *array, int32_t from, int32_t to);
// Inserts source's elements from..to-1 into target before position at.
RIVO_API void array_insert_range(const ARRAY *source, ARRAY *target, int32_t from, int32_t to, int32_t at);

// "ARRAY{\n", every byte in use as one character, "\n}\n"; caller frees.
RIVO_API char *array_to_text(const ARRAY *array);
// Builds and edits a small array, printing each step to standard output.
RIVO_API void array_self_test(void);
