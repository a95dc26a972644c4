// Libraries loaded when first needed rather than when the program starts:
// FFmpeg and FluidSynth pull in over a hundred shared objects whose loading
// and relocation would cost every run tens of milliseconds before main.
#pragma once

// One function looked up by name into its slot (a function pointer).
struct DYNLIB_SYMBOL {
    const char *name;
    void *slot;  // address of the function pointer to fill
};

// Opens the library `file` (a soname, looked up like the program's own
// libraries) and fills every slot. Returns 1 when the library and every
// symbol were found; otherwise 0, with the reason in *why (static text, or
// the loader's message) and the slots left as they were.
int dynlib_load(const char *file, const DYNLIB_SYMBOL *symbols, int count, const char **why);
