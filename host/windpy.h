// WINDPY: the display. One window whose client area is the frame size, and
// the upload of a finished frame image into it as 24-bit bottom-up bytes.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;

// The display record; one current instance at a time.
struct WINDPY {
    int32_t width;   // frame width, equal to the client-area width
    int32_t height;  // frame height, equal to the client-area height
};

// Prints this module's error message when its debug switch is on.
RIVO_API void windpy_error(void);

// Clears the module state, makes a new current display and opens it at 256 x 256.
RIVO_API WINDPY *windpy_new(void);
// Stores the size, creates the window on the first call, makes its client area
// w x h and centres it, then replaces the frame bytes (w * h * 3, zeroed).
RIVO_API void windpy_open(WINDPY *display, int32_t width, int32_t height);
// Converts the image into the frame bytes and shows them; draws nothing when
// the image's size differs from the display's.
RIVO_API void windpy_present(WINDPY *display, const IMG *image);
// Forgets the window and frees the current display; reports for any other.
RIVO_API void windpy_del(WINDPY **display);

// The conversion of windpy_present: w x h pixels 0x00RRGGBB, top row first,
// into w * h * 3 bytes blue, green, red, bottom row first, rows unpadded.
RIVO_API void windpy_convert(const uint32_t *pixels, int32_t w, int32_t h, uint8_t *bytes);
// The frame bytes of the current display (null before windpy_open).
RIVO_API const uint8_t *windpy_frame_bytes(void);
