// The info text scrolled by scene 3: plain upper-case text, 1761 characters
// in 91 newline-terminated lines, zero-terminated.
#pragma once

extern const char demo_info_text[];
