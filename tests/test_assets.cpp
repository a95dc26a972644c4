// The built-in assets: the embedded bytes are the files under demo/assets/,
// the pictures have the kinds, sizes and comment lines the demo relies on,
// the info text has its shape and only characters both fonts draw, and the
// brace texts give 256 glyphs on their grids (87 shapes) in their colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <string>

#include "demo/infotext.h"
#include "demo/linefonts.h"
#include "demo/pictures.h"
#include "imaging/img.h"
#include "tests/test_support.h"

namespace {

const std::string asset_dir = std::string(RIVO_SOURCE_DIR) + "/demo/assets/";

int32_t segments(const OBJ2D *o) { return o && o->segments ? o->segments->count : -1; }
SEG2D *segment(const OBJ2D *o, int32_t i) { return (SEG2D *)list_get(o->segments, i); }

// The bounding box of a glyph: x0, y0, x1, y1.
std::array<int32_t, 4> box_of(const OBJ2D *o) {
    std::array<int32_t, 4> b{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
    for (int32_t i = 0; i < segments(o); i++)
        for (const VEC2D *v : {segment(o, i)->a, segment(o, i)->b})
            b = {std::min(b[0], v->x), std::min(b[1], v->y), std::max(b[2], v->x), std::max(b[3], v->y)};
    return b;
}

// Ink of cell c of the glyph sheet (pixels above 0).
int cell_ink(const IMG *sheet, int c) {
    int ink = 0;
    for (int32_t y = 0; y < 16; y++)
        for (int32_t x = 0; x < 16; x++) ink += img_get_pixel(sheet, c % 16 * 16 + x, c / 16 * 16 + y) != 0;
    return ink;
}

}  // namespace

// Each picture: its file, kind, size and comment lines; the embedded bytes
// are the file's bytes, exactly the header and the raster, and decode.
TEST(Assets, PicturesAreTheirFilesWithTheirHeaders) {
    const struct {
        const char *file;
        const unsigned char *data;
        size_t size;
        const char *magic;
        int32_t w, h;
        int comments;
    } cases[] = {
        {"logo.pbm", demo_logo_pnm, demo_logo_pnm_size, "P4", 128, 64, 1},
        {"glyphs.pgm", demo_glyphs_pnm, demo_glyphs_pnm_size, "P5", 256, 256, 1},
        {"letter1.pgm", demo_letter_pnm[0], *demo_letter_pnm_size[0], "P5", 128, 192, 1},
        {"letter2.pgm", demo_letter_pnm[1], *demo_letter_pnm_size[1], "P5", 128, 192, 1},
        {"letter3.pgm", demo_letter_pnm[2], *demo_letter_pnm_size[2], "P5", 128, 192, 1},
        {"letter4.pgm", demo_letter_pnm[3], *demo_letter_pnm_size[3], "P5", 128, 192, 0},
    };
    for (auto &c : cases) {
        std::string bytes((const char *)c.data, c.size);
        EXPECT_EQ(bytes, read_file(asset_dir + c.file)) << c.file;
        std::string header = std::string(c.magic) + "\n";
        size_t at = header.size();
        for (int k = 0; k < c.comments; k++) {
            ASSERT_EQ(bytes[at], '#') << c.file;
            at = bytes.find('\n', at) + 1;
        }
        bool bits = std::string(c.magic) == "P4";
        std::string sizes = std::to_string(c.w) + " " + std::to_string(c.h) + (bits ? "\n" : "\n255\n");
        EXPECT_EQ(bytes.substr(0, 3), header) << c.file;
        EXPECT_EQ(bytes.substr(at, sizes.size()), sizes) << c.file;
        EXPECT_EQ(bytes.size(), at + sizes.size() + (bits ? (size_t)(c.w + 7) / 8 * c.h : (size_t)c.w * c.h));
        Own<img_del> image(img_from_pnm(c.data, c.size));
        ASSERT_NE(image.get(), nullptr) << c.file;
        EXPECT_EQ(image->width, c.w);
        EXPECT_EQ(image->height, c.h);
    }
}

TEST(Assets, TextsAreTheirFiles) {
    EXPECT_EQ(read_file(asset_dir + "font8.txt"), demo_font8_text);
    EXPECT_EQ(read_file(asset_dir + "font16.txt"), demo_font16_text);
    EXPECT_EQ(read_file(asset_dir + "shapes.txt"), demo_shapes_text);
    EXPECT_EQ(read_file(asset_dir + "info.txt"), demo_info_text);
}

// The letters hold three greys only (black, the body 0xCCCCCC the demo
// replaces by exact match, a white rim); their edges stay black.
TEST(Assets, LetterPicturesAreBodyGreyRimWhiteOnBlack) {
    for (int k = 0; k < 4; k++) {
        Own<img_del> letter(img_from_pnm(demo_letter_pnm[k], *demo_letter_pnm_size[k]));
        int count[3] = {0, 0, 0};
        for (int32_t y = 0; y < 192; y++)
            for (int32_t x = 0; x < 128; x++) {
                uint32_t p = img_get_pixel(letter, x, y);
                ASSERT_TRUE(p == 0 || p == 0xCCCCCC || p == 0xFFFFFF) << k << ": " << x << "," << y;
                count[p == 0 ? 0 : p == 0xCCCCCC ? 1 : 2]++;
                if (x == 0 || y == 0 || x == 127 || y == 191) {
                    ASSERT_EQ(p, 0u);
                }
            }
        EXPECT_GT(count[1], 128 * 192 / 8) << "letter " << k;
        EXPECT_GT(count[2], count[1] / 8) << "letter " << k;
    }
}

// Info text: 1761 characters in 91 lines of at most 33, the first two empty,
// most ending in a blank, each character drawn by the sheet and the wire font.
TEST(Assets, InfoTextHasItsShapeAndOnlyDrawnCharacters) {
    const std::string text = demo_info_text;
    EXPECT_EQ(text.size(), 1761u);
    EXPECT_EQ(text.substr(0, 2), "\n\n");
    int lines = 0, blank_ends = 0;
    for (size_t at = 0; at < text.size(); lines++) {
        size_t end = text.find('\n', at);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - at, 33u) << "line " << lines;
        blank_ends += end > at && text[end - 1] == ' ';
        at = end + 1;
    }
    EXPECT_EQ(lines, 91);
    EXPECT_GE(blank_ends, 85);
    for (const char *key : {"ESC -", "SPACE -", "5 -", "6 -", "8 -", "B -", "F -", "G -", "O -", "P -", "S -", "W -"})
        EXPECT_NE(text.find(std::string("\n") + key), std::string::npos) << key;
    Own<img_del> sheet(img_from_pnm(demo_glyphs_pnm, demo_glyphs_pnm_size));
    Parsed wire(demo_font16_text);
    for (unsigned char c : text) {
        if (c == '\n' || c == ' ') continue;
        EXPECT_TRUE(std::isupper(c) || std::isdigit(c) || std::strchr(".,:!-'()/?", c)) << (int)c;
        EXPECT_GT(cell_ink(sheet, c), 0) << c;
        EXPECT_GT(segments(wire.at(c)), 0) << c;
    }
    for (int c = 33; c < 127; c++) EXPECT_GE(cell_ink(sheet, c), 4) << "glyph " << c;
    for (int c = 0; c < 16; c++) EXPECT_GE(cell_ink(sheet, c), 64) << "tile " << c;
    EXPECT_EQ(cell_ink(sheet, ' '), 0);
}

// Both line fonts: 256 blocks, printable codes named and inside the grid,
// every glyph from the colour code on in the font's colour.
TEST(Assets, LineFontsHoldOneGlyphPerCodeOnTheirGrids) {
    const struct {
        const char *text;
        int32_t grid, colour_from;
        uint32_t colour;
        int32_t x0, x1;  // the columns printable glyphs keep to
    } fonts[] = {{demo_font8_text, 8, 32, 0x00AACCEE, 1, 7}, {demo_font16_text, 16, 33, 0x00FFFFFF, 2, 13}};
    for (auto &f : fonts) {
        Parsed p(f.text);
        ASSERT_EQ(p.count(), 256);
        for (int32_t code = 0; code < 256; code++) {
            OBJ2D *g = p.at(code);
            ASSERT_NE(g, nullptr);
            bool printable = code > 32 && code < 128;
            const char *want = code == 32 ? "space" : code == 127 ? "esc" : nullptr;
            std::string name = g->name ? g->name : "";
            EXPECT_EQ(name, want ? want : printable ? std::string(1, (char)code) : "") << code;
            EXPECT_EQ(segments(g) > 0, printable) << code;
            if (!printable) continue;
            auto b = box_of(g);
            EXPECT_TRUE(b[0] >= f.x0 && b[1] >= 0 && b[2] <= f.x1 && b[3] < f.grid) << code;
            for (int32_t i = 0; i < segments(g); i++)
                EXPECT_TRUE(segment(g, i)->a->color == f.colour && segment(g, i)->b->color == f.colour) << code;
        }
    }
    Parsed small(demo_font8_text), wire(demo_font16_text);
    for (int32_t c = 'a'; c <= 'z'; c++) {  // the 8 x 8 font repeats its capitals, the wire font does not
        EXPECT_EQ(segments(small.at(c)), segments(small.at(c - 32)));
        for (int32_t i = 0; i < segments(small.at(c)); i++)
            EXPECT_TRUE(seg2d_compare(segment(small.at(c), i), segment(small.at(c - 32), i))) << (char)c;
        EXPECT_TRUE(box_of(wire.at(c)) != box_of(wire.at(c - 32)) || segments(wire.at(c)) != segments(wire.at(c - 32)))
            << (char)c;
    }
    for (const char *s = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"; *s; s++) {
        EXPECT_EQ(box_of(small.at(*s))[1], 0) << *s;
        EXPECT_EQ(box_of(small.at(*s))[3], 6) << *s;
        EXPECT_EQ(box_of(wire.at(*s))[1], 1) << *s;
        EXPECT_EQ(box_of(wire.at(*s))[3], 12) << *s;
    }
}

TEST(Assets, ShapesAreEightySevenWhitePicturesWithTheirNames) {
    Parsed p(demo_shapes_text);
    ASSERT_EQ(p.count(), 87);
    std::string names = "|";
    int unnamed = 0;
    for (int32_t k = 0; k < 87; k++) {
        OBJ2D *o = p.at(k);
        auto b = box_of(o);
        EXPECT_GE(segments(o), 3) << k;
        EXPECT_TRUE(b[0] >= 0 && b[1] >= 0 && b[2] <= 15 && b[3] <= 15) << k;
        EXPECT_GE(std::max(b[2] - b[0], b[3] - b[1]), 12) << k;
        for (int32_t i = 0; i < segments(o); i++) EXPECT_EQ(segment(o, i)->a->color, 0x00FFFFFFu) << k;
        if (!o->name) unnamed++;
        else names += std::string(o->name) + "|";
    }
    EXPECT_TRUE(unnamed >= 2 && unnamed <= 8);
    for (const char *want : {"apple", "ball", "bird", "brick", "candle", "car", "circle", "cloud", "cube", "droplet",
                             "flower", "fruit", "heart", "house", "lips", "lolipop", "smile", "square", "star", "sun",
                             "sweet", "tree", "triangle", "wheel"}) {
        std::string key = std::string("|") + want + "|";
        size_t at = names.find(key);
        EXPECT_NE(at, std::string::npos) << want;
        EXPECT_EQ(names.find(key, at + 1), std::string::npos) << want << " twice";
    }
    // The texts leave no minus sign pending for the next parse.
    Parsed after("{\ns 1 2 3 4\n}\n");
    EXPECT_EQ(segment(after.at(0), 0)->a->x, 1);
}
