// Helpers for the IMG tests: build small images from literal pixel arrays and
// compare an image with an expected array, printing a hex grid of the actual
// pixels with every differing cell marked (and its expected value) on failure.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/img.h"

// A new image of the given size, filled from `pixels` (row-major) or black.
inline IMG *grid_image(int32_t w, int32_t h, const uint32_t *pixels = nullptr) {
    IMG *image = img_new();
    img_resize(image, w, h);
    if (pixels)
        for (int32_t i = 0; i < w * h; i++) image->pixels[i] = pixels[i];
    return image;
}

// The grid text: each cell the actual word; a differing cell is shown as
// "actual*" followed by the expected word in brackets.
inline std::string grid_diff(const IMG *image, const uint32_t *expected) {
    std::string out;
    char cell[40];
    for (int32_t y = 0; y < image->height; y++) {
        for (int32_t x = 0; x < image->width; x++) {
            uint32_t a = image->pixels[y * image->width + x], e = expected[y * image->width + x];
            if (a == e)
                snprintf(cell, sizeof cell, " %08X            ", a);
            else
                snprintf(cell, sizeof cell, "*%08X(%08X)  ", a, e);
            out += cell;
        }
        out += "\n";
    }
    return out;
}

// Checks size and every pixel of `image` against a literal array.
inline ::testing::AssertionResult grid_equals(const IMG *image, int32_t w, int32_t h,
                                              const uint32_t *expected) {
    if (!image || !image->pixels) return ::testing::AssertionFailure() << "no image";
    if (image->width != w || image->height != h)
        return ::testing::AssertionFailure() << "size " << image->width << "x" << image->height
                                             << ", expected " << w << "x" << h;
    for (int32_t i = 0; i < w * h; i++)
        if (image->pixels[i] != expected[i])
            return ::testing::AssertionFailure() << "pixels differ (* = actual(expected)):\n"
                                                 << grid_diff(image, expected);
    return ::testing::AssertionSuccess();
}

// Builds an expected array from a picture of characters: '.' is `background`,
// any other character is looked up in `keys` / `colours`.
inline std::vector<uint32_t> grid_picture(const char *const *rows, int32_t h,
                                          uint32_t background, const char *keys = "#",
                                          std::vector<uint32_t> colours = {0x00FFFFFF}) {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < h; y++)
        for (const char *c = rows[y]; *c; c++) {
            uint32_t v = background;
            for (size_t k = 0; keys[k]; k++)
                if (keys[k] == *c) v = colours[k];
            out.push_back(v);
        }
    return out;
}
