// Libraries loaded on first use: one dlopen, then every symbol is found
// before any slot is filled, so a caller sees all its functions or none.
#include "platform/dynlib.h"

#include <dlfcn.h>

#include <cstring>

int dynlib_load(const char *file, const DYNLIB_SYMBOL *symbols, int count, const char **why) {
    const char *unused = nullptr;
    if (!why) why = &unused;
    if (!file || (count > 0 && !symbols)) {
        *why = "no library named";
        return 0;
    }
    // Never closed: the functions stay in use until the process ends.
    void *lib = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        *why = dlerror();
        return 0;
    }
    for (int i = 0; i < count; i++) {
        if (!dlsym(lib, symbols[i].name)) {
            *why = dlerror();
            return 0;
        }
    }
    // A function's address copied as bytes: POSIX guarantees that a
    // function pointer and void * have the same form.
    for (int i = 0; i < count; i++) {
        void *f = dlsym(lib, symbols[i].name);
        memcpy(symbols[i].slot, &f, sizeof f);
    }
    return 1;
}
