// Straightforward frame conversion, written plainly from the rule: walk the
// pixels in memory order, write blue, green, red from the start of the last
// stored row, and step back two rows' worth of bytes after every image row.
// It is the yardstick windpy_convert is measured against and must equal.
#pragma once

#include <cstdint>

void reference_windpy_convert(const uint32_t *pixels, int32_t w, int32_t h, uint8_t *bytes);
