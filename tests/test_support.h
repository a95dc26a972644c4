// Helpers shared by the test programs, written once: standard output capture,
// the generator replica (tests/test_lcg.h), temporary files and shell tools,
// images built from literal pixel arrays and compared with them (a hex grid
// of the actual pixels, each differing cell marked with its expected value,
// printed on failure), and line-drawing objects built segment by segment.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/img.h"
#include "tests/test_lcg.h"
#include "tests/test_owned.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

// ---- Standard output ------------------------------------------------------------

// Standard output written while f runs.
template <typename F>
std::string printed(F f) {
    testing::internal::CaptureStdout();
    f();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// ---- Files and tools ----------------------------------------------------------------

// A private temporary directory, removed with its files at the end.
struct TempDir {
    std::string path;
    explicit TempDir(const char *prefix) {
        std::string pattern = std::string("/tmp/") + prefix + "_XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        path = mkdtemp(buf.data());
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string file(const char *name) const { return path + "/" + name; }
};

inline bool have_tool(const char *name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

inline void write_file(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary);
    ASSERT_TRUE(out << bytes) << path;
}

// All that is left to read from a stream (nothing from a null one).
inline std::string slurp(FILE *f) {
    std::string s;
    char buf[65536];
    for (size_t n; f && (n = fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    return s;
}

// The whole file, or "" when it cannot be read.
inline std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a shell command and returns its standard output (empty on failure).
inline std::string run(const std::string &command, int *status = nullptr) {
    FILE *p = popen(command.c_str(), "r");
    std::string out = slurp(p);
    int rc = p ? pclose(p) : -1;
    if (status) *status = rc;
    return out;
}

// ---- Images ------------------------------------------------------------------------

// A new image of the given size, filled from `pixels` (row-major; any left
// over are black) or black.
inline IMG *grid_image(int32_t w, int32_t h, const uint32_t *pixels = nullptr, size_t count = SIZE_MAX) {
    IMG *image = img_new();
    img_resize(image, w, h);
    if (pixels && image->pixels) std::copy_n(pixels, std::min(count, (size_t)w * (size_t)h), image->pixels);
    return image;
}
inline IMG *grid_image(int32_t w, int32_t h, const std::vector<uint32_t> &pixels) {
    return grid_image(w, h, pixels.data(), pixels.size());
}

// A new image of the given size in one colour.
inline IMG *grid_filled(int32_t w, int32_t h, uint32_t colour) {
    IMG *image = grid_image(w, h);
    img_clear(image, colour);
    return image;
}

// Checks size and every pixel of `image` against a literal array; on a
// difference prints the grid, each cell the actual word, a differing cell as
// "actual*" followed by the expected word in brackets.
inline ::testing::AssertionResult grid_equals(const IMG *image, int32_t w, int32_t h,
                                              const uint32_t *expected) {
    if (!image || !image->pixels) return ::testing::AssertionFailure() << "no image";
    if (image->width != w || image->height != h)
        return ::testing::AssertionFailure() << "size " << image->width << "x" << image->height
                                             << ", expected " << w << "x" << h;
    if (std::equal(expected, expected + (size_t)w * (size_t)h, image->pixels)) return ::testing::AssertionSuccess();
    std::string out;
    char cell[40];
    for (int32_t i = 0; i < w * h; i++) {
        uint32_t a = image->pixels[i], e = expected[i];
        if (a == e) snprintf(cell, sizeof cell, " %08X            ", a);
        else snprintf(cell, sizeof cell, "*%08X(%08X)  ", a, e);
        out += cell + std::string(i % w == w - 1 ? "\n" : "");
    }
    return ::testing::AssertionFailure() << "pixels differ (* = actual(expected)):\n" << out;
}

// Every pixel of `image`, at its own size, against a literal array.
inline ::testing::AssertionResult grid_equals(const IMG *image, const uint32_t *expected) {
    if (!image) return ::testing::AssertionFailure() << "no image";
    return grid_equals(image, image->width, image->height, expected);
}

// Every pixel of `image` against a list holding exactly as many.
inline ::testing::AssertionResult grid_equals(const IMG *image, const std::vector<uint32_t> &expected) {
    if (image && (size_t)image->width * (size_t)image->height != expected.size())
        return ::testing::AssertionFailure() << "image has " << image->width * image->height << " pixels, expected "
                                             << expected.size();
    return grid_equals(image, expected.data());
}

// Success when two images are the same size with the same words; otherwise
// the first differing pixels.
inline ::testing::AssertionResult grid_identical(const IMG *a, const IMG *b) {
    if (a->width != b->width || a->height != b->height) return ::testing::AssertionFailure() << "sizes differ";
    std::string diff;
    int shown = 0;
    for (int32_t i = 0; i < a->width * a->height; i++)
        if (a->pixels[i] != b->pixels[i] && shown++ < 8) {
            char line[80];
            snprintf(line, sizeof line, "(%d, %d): %08X vs %08X\n", i % a->width, i / a->width, a->pixels[i], b->pixels[i]);
            diff += line;
        }
    if (shown == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << shown << " pixels differ, first ones:\n" << diff;
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

// One operation on one small image, as a table line: the image before (w x h,
// row-major), the call, the image after.
struct ImageCase {
    const char *name;
    int32_t w, h;
    std::vector<uint32_t> before;
    std::function<void(IMG *)> op;
    std::vector<uint32_t> after;
};

// Runs each case on a fresh image and compares every pixel.
inline void expect_image_cases(const std::vector<ImageCase> &cases) {
    for (const ImageCase &c : cases) {
        Own<img_del> image(grid_image(c.w, c.h, c.before));
        c.op(image);
        EXPECT_TRUE(grid_equals(image, c.after)) << c.name;
    }
}

// ---- Line drawings ---------------------------------------------------------------

// A new segment from (ax, ay) to (bx, by), both ends in colour c.
inline SEG2D *make_segment(int32_t ax, int32_t ay, int32_t bx, int32_t by, uint32_t c) {
    SEG2D *s = seg2d_new();
    *s->a = VEC2D{ax, ay, c};
    *s->b = VEC2D{bx, by, c};
    return s;
}

// Appends such a segment to an object.
inline void add_segment(OBJ2D *o, int32_t ax, int32_t ay, int32_t bx, int32_t by, uint32_t c) {
    obj2d_add_segment(o, make_segment(ax, ay, bx, by, c));
}

// Parsed objects together with their list, released at the end of a test.
struct Parsed {
    LIST *list = nullptr;
    explicit Parsed(const char *text) : list(obj2d_parse(text)) {}
    Parsed(const Parsed &) = delete;
    Parsed &operator=(const Parsed &) = delete;
    ~Parsed() {
        if (!list) return;
        for (int32_t i = 0; i < list->count; i++) {
            OBJ2D *o = (OBJ2D *)list->items[i];
            if (o) obj2d_del(&o);
        }
        list_del(&list);
    }
    int32_t count() const { return list ? list->count : -1; }
    OBJ2D *at(int32_t i) const { return (OBJ2D *)list_get(list, i); }
};

// A line font over 256 empty glyphs with cells of cell x cell pixels, drawing
// into its own image of w x h; the font owns the glyphs.
struct GlyphFont {
    LIST *glyphs = list_new();
    LFONT *font = lfont_new();
    IMG *img = img_new();
    GlyphFont(int32_t w, int32_t h, int32_t cell = 16) {
        for (int i = 0; i < 256; i++) list_push(glyphs, obj2d_new());
        font->glyphs = glyphs;
        font->size->x = cell;
        font->size->y = cell;
        img_resize(img, w, h);
        font->target = img;
    }
    GlyphFont(const GlyphFont &) = delete;
    GlyphFont &operator=(const GlyphFont &) = delete;
    ~GlyphFont() {
        lfont_del(&font);
        list_del(&glyphs);
        img_del(&img);
    }
    OBJ2D *glyph(int32_t code) { return (OBJ2D *)list_get(glyphs, code); }
};
