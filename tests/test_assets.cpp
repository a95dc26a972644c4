// The built-in assets: the embedded bytes are the files under demo/assets/
// (which tests/assets.sh holds to their generators), the pictures have the
// kinds, sizes and comment lines the demo relies on, and the info text only
// characters both fonts draw. What the demo draws with them (the letters'
// grey body included) is held by the whole-run frame hashes.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "demo/infotext.h"
#include "demo/linefonts.h"
#include "demo/pictures.h"
#include "tests/test_support.h"

namespace {

const std::string asset_dir = std::string(RIVO_SOURCE_DIR) + "/demo/assets/";

// Ink of cell c of the glyph sheet (pixels above 0).
int cell_ink(const IMG *sheet, int c) {
    int ink = 0;
    for (int32_t y = 0; y < 16; y++)
        for (int32_t x = 0; x < 16; x++) ink += img_get_pixel(sheet, c % 16 * 16 + x, c / 16 * 16 + y) != 0;
    return ink;
}

}  // namespace

// Each picture is its file: the header with its comment lines (one each but
// the fourth letter's), exactly the raster after it, and it decodes.
TEST(Assets, PicturesAndTextsAreTheirFilesWithTheirHeaders) {
    const struct { const char *file; const unsigned char *data; size_t size; const char *header; size_t raster; } cases[] = {
        {"logo.pbm", demo_logo_pnm, demo_logo_pnm_size, "P4\n#\n128 64\n", 16 * 64},
        {"glyphs.pgm", demo_glyphs_pnm, demo_glyphs_pnm_size, "P5\n#\n256 256\n255\n", 256 * 256},
        {"letter1.pgm", demo_letter_pnm[0], *demo_letter_pnm_size[0], "P5\n#\n128 192\n255\n", 128 * 192},
        {"letter2.pgm", demo_letter_pnm[1], *demo_letter_pnm_size[1], "P5\n#\n128 192\n255\n", 128 * 192},
        {"letter3.pgm", demo_letter_pnm[2], *demo_letter_pnm_size[2], "P5\n#\n128 192\n255\n", 128 * 192},
        {"letter4.pgm", demo_letter_pnm[3], *demo_letter_pnm_size[3], "P5\n128 192\n255\n", 128 * 192},
    };
    for (auto &c : cases) {
        std::string bytes((const char *)c.data, c.size), header = c.header;
        EXPECT_EQ(bytes, read_file(asset_dir + c.file)) << c.file;
        if (size_t hash = header.find('#'); hash != std::string::npos)  // the comment's words are free
            header.insert(hash + 1, bytes.substr(hash + 1, bytes.find('\n', hash) - hash - 1));
        EXPECT_EQ(bytes.substr(0, header.size()), header) << c.file;
        EXPECT_EQ(bytes.size(), header.size() + c.raster) << c.file;
        EXPECT_NE(Own<img_del>(img_from_pnm(c.data, c.size)).get(), nullptr) << c.file;
    }
    const std::pair<const char *, const char *> texts[] = {
        {"font8.txt", demo_font8_text}, {"font16.txt", demo_font16_text},
        {"shapes.txt", demo_shapes_text}, {"info.txt", demo_info_text}};
    for (auto [file, text] : texts) EXPECT_EQ(read_file(asset_dir + file), text) << file;
}

// Every character of the info text is drawn by the sheet and the wire font;
// the texts leave no minus sign pending for the next parse.
TEST(Assets, InfoTextHasOnlyDrawnCharacters) {
    const std::string text = demo_info_text;
    Own<img_del> sheet(img_from_pnm(demo_glyphs_pnm, demo_glyphs_pnm_size));
    Parsed wire(demo_font16_text), small(demo_font8_text), shapes(demo_shapes_text);
    EXPECT_EQ(std::make_pair(small.count(), shapes.count()), std::make_pair(256, 87));
    for (unsigned char c : text) {
        if (c == '\n' || c == ' ') continue;
        EXPECT_TRUE(std::isupper(c) || std::isdigit(c) || std::strchr(".,:!-'()/?", c)) << (int)c;
        EXPECT_GT(cell_ink(sheet, c), 0) << c;
        EXPECT_GT(wire.at(c)->segments->count, 0) << c;
    }
    for (int c = 33; c < 127; c++) EXPECT_GE(cell_ink(sheet, c), 4) << "glyph " << c;
    for (int c = 0; c < 16; c++) EXPECT_GE(cell_ink(sheet, c), 64) << "tile " << c;
    EXPECT_EQ(cell_ink(sheet, ' '), 0);
    Parsed after("{\ns 1 2 3 4\n}\n");
    EXPECT_EQ(((SEG2D *)list_get(after.at(0)->segments, 0))->a->x, 1);
}
