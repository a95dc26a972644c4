// The framework pieces every module carries: an identity record that marks the
// module inside the built program, a debug switch fixed at build time, and an
// error reporter that prints the module's message when the switch is on.
#pragma once

#include <cstdio>

// Identity record: separate NUL-terminated strings, never read at run time.
// `used` keeps them in the program even though nothing refers to them.
#define RIVO_IDENTITY(module, ...) \
    [[gnu::used]] static const char *const module##_identity[] = {__VA_ARGS__}

#define RIVO_DEBUG_SWITCH(module, value) \
    [[maybe_unused]] static const unsigned char module##_debug = (value)

// The reporter writes its message only when the module's switch is on.
#define RIVO_REPORTER(module, value, message)              \
    RIVO_DEBUG_SWITCH(module, value);                       \
    void module##_error(void) {                             \
        if (module##_debug) std::printf("%s", message);     \
    }                                                       \
    static_assert(true, "")
