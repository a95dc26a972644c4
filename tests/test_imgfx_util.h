// Helpers shared by the imaging effect tests: images from literal pixel
// lists, and a comparison that prints the image as a hex grid with the
// differing cells marked.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "imaging/img.h"

// A new width x height image holding the given pixels row by row (or black).
inline IMG *fx_image(int32_t width, int32_t height, std::vector<uint32_t> pixels = {}) {
    IMG *image = img_new();
    img_resize(image, width, height);
    for (size_t i = 0; i < pixels.size() && i < (size_t)width * (size_t)height; i++)
        image->pixels[i] = pixels[i];
    return image;
}

// Every pixel as a list, row by row.
inline std::vector<uint32_t> fx_pixels(const IMG *image) {
    return std::vector<uint32_t>(image->pixels, image->pixels + (size_t)image->width * image->height);
}

// Success when the image holds exactly the expected pixels; otherwise the grid
// of actual pixels, with the expected value beside each differing cell.
inline testing::AssertionResult fx_same(const IMG *image, const std::vector<uint32_t> &expected) {
    const size_t n = (size_t)image->width * (size_t)image->height;
    if (n != expected.size())
        return testing::AssertionFailure() << "image has " << n << " pixels, expected " << expected.size();
    bool same = true;
    std::string grid;
    char cell[40];
    for (int32_t y = 0; y < image->height; y++) {
        for (int32_t x = 0; x < image->width; x++) {
            size_t i = (size_t)y * image->width + x;
            if (image->pixels[i] == expected[i]) {
                std::snprintf(cell, sizeof cell, " %08X          ", image->pixels[i]);
            } else {
                same = false;
                std::snprintf(cell, sizeof cell, "*%08X(%08X)", image->pixels[i], expected[i]);
            }
            grid += cell;
        }
        grid += "\n";
    }
    if (same) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "pixels differ (* actual(expected)):\n" << grid;
}

// Success when two images are the same size with the same words; otherwise
// the first differing pixels.
inline testing::AssertionResult fx_identical(const IMG *a, const IMG *b) {
    if (a->width != b->width || a->height != b->height)
        return testing::AssertionFailure() << "sizes differ";
    std::string diff;
    int shown = 0;
    for (int32_t y = 0; y < a->height; y++)
        for (int32_t x = 0; x < a->width; x++) {
            size_t i = (size_t)y * a->width + x;
            if (a->pixels[i] != b->pixels[i] && shown++ < 8) {
                char line[80];
                std::snprintf(line, sizeof line, "(%d, %d): %08X vs %08X\n", x, y, a->pixels[i], b->pixels[i]);
                diff += line;
            }
        }
    if (shown == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << shown << " pixels differ, first ones:\n" << diff;
}
