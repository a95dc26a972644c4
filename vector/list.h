// Growable list of handles it does not own.
// LIST: `capacity` handle slots, `count` in use; doubles when full. Destroying
// the list, removing or popping never touches the objects. Handles may be null.
#pragma once

#include "host/export.h"

#include <cstdint>

// A growable list of handles it does not own.
struct LIST {
    int32_t capacity;  // slots in `items`; 2 after list_new
    int32_t count;     // slots in use
    void **items;      // owned storage, zero-filled when allocated
};

// Prints this module's error message when its debug switch is on.
RIVO_API void list_error(void);

// New list with capacity 2, count 0; null on failure.
RIVO_API LIST *list_new(void);
// Frees the storage and the record, clears the handle; the objects stay alive.
RIVO_API void list_del(LIST **list);
// Replaces the storage by n zeroed slots keeping the handles in use.
RIVO_API bool list_reserve(LIST *list, int32_t n);
// list_reserve with twice the capacity (a capacity below 1 counts as 1).
RIVO_API bool list_grow(LIST *list);
// Reserves n when needed, then count = n; a null list is ignored silently.
RIVO_API void list_set_count(LIST *list, int32_t n);

// Appends a handle, growing first when full.
RIVO_API void list_push(LIST *list, void *handle);
// Removes and returns the last handle (its slot is not cleared); null when empty.
RIVO_API void *list_pop(LIST *list);
// Inserts a handle before index (0..count).
RIVO_API void list_insert(LIST *list, void *handle, int32_t index);
// Removes the handle at index; the slot past the new count becomes null.
RIVO_API void list_remove(LIST *list, int32_t index);
// The handle at index (0..count-1); null after a report otherwise.
RIVO_API void *list_get(const LIST *list, int32_t index);
// Replaces the handle at index (0..count-1).
RIVO_API void list_set(LIST *list, void *handle, int32_t index);
// Lowest index holding that handle, or -1.
RIVO_API int32_t list_find(const LIST *list, const void *handle);

// True when both null or the same list, or counts and handles are equal.
RIVO_API bool list_compare(const LIST *a, const LIST *b);
// Shallow copy: the same handles in the same order.
RIVO_API LIST *list_dup(const LIST *source);
// New list of the handles at from..to-1 (0 <= from < to <= count).
RIVO_API LIST *list_extract(const LIST *list, int32_t from, int32_t to);
// Removes the handles at from..to-1.
RIVO_API void list_remove_range(LIST *list, int32_t from, int32_t to);
// Inserts source's handles from..to-1 into target before position at.
RIVO_API void list_insert_range(const LIST *source, LIST *target, int32_t from, int32_t to, int32_t at);
