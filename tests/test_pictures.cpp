// The built-in assets: each picture keeps its PNM kind, size and comment
// lines and decodes to what the demo expects; every printable character has
// a legible, anti-aliased glyph; the letter pictures use only black, the body
// grey and the white rim; the info text keeps its shape.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "demo/infotext.h"
#include "demo/linefonts.h"
#include "demo/pictures.h"
#include "imaging/img.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "tests/test_owned.h"

// The header of a PNM picture as written: magic, comment lines, sizes and
// where the raster starts.
struct PnmHeader {
    std::string magic;
    int comments = 0;
    int width = 0, height = 0, maxval = 0;
    size_t raster = 0;
};

static PnmHeader pnm_header(const unsigned char *data, size_t size) {
    PnmHeader h;
    size_t i = 0;
    auto line = [&]() {
        std::string s;
        while (i < size && data[i] != '\n') s += (char)data[i++];
        i++;
        return s;
    };
    h.magic = line();
    std::string s = line();
    while (!s.empty() && s[0] == '#') {
        h.comments++;
        s = line();
    }
    std::sscanf(s.c_str(), "%d %d", &h.width, &h.height);
    if (h.magic != "P4") h.maxval = std::atoi(line().c_str());
    h.raster = i;
    return h;
}

static void expect_picture(const unsigned char *data, size_t size, const char *magic, int w, int h,
                           int comments) {
    PnmHeader head = pnm_header(data, size);
    EXPECT_EQ(head.magic, magic);
    EXPECT_EQ(head.comments, comments);
    EXPECT_EQ(head.width, w);
    EXPECT_EQ(head.height, h);
    size_t raster = std::string(magic) == "P4" ? (size_t)(w + 7) / 8 * h : (size_t)w * h;
    if (std::string(magic) != "P4") {
        EXPECT_EQ(head.maxval, 255);
    }
    EXPECT_EQ(size, head.raster + raster) << "the data must hold exactly the header and the raster";
    Own<img_del> image(img_from_pnm(data, size));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, w);
    EXPECT_EQ(image->height, h);
}

TEST(Pictures, LogoIsAOneBitPictureOf128By64) {
    expect_picture(demo_logo_pnm, demo_logo_pnm_size, "P4", 128, 64, 1);
}

TEST(Pictures, GlyphSheetIsAGreyPictureOf256By256) {
    expect_picture(demo_glyphs_pnm, demo_glyphs_pnm_size, "P5", 256, 256, 1);
}

TEST(Pictures, LetterPicturesAre128By192AndOnlyTheLastHasNoComment) {
    expect_picture(demo_letter1_pnm, demo_letter1_pnm_size, "P5", 128, 192, 1);
    expect_picture(demo_letter2_pnm, demo_letter2_pnm_size, "P5", 128, 192, 1);
    expect_picture(demo_letter3_pnm, demo_letter3_pnm_size, "P5", 128, 192, 1);
    expect_picture(demo_letter4_pnm, demo_letter4_pnm_size, "P5", 128, 192, 0);
    EXPECT_EQ(demo_letter_pnm[0], demo_letter1_pnm);
    EXPECT_EQ(demo_letter_pnm[3], demo_letter4_pnm);
    EXPECT_EQ(*demo_letter_pnm_size[2], demo_letter3_pnm_size);
}

TEST(Pictures, LogoHasLettersOnAFramedGround) {
    Own<img_del> logo(img_from_pnm(demo_logo_pnm, demo_logo_pnm_size));
    ASSERT_NE(logo, nullptr);
    int white = 0;
    for (int32_t i = 0; i < 128 * 64; i++) {
        uint32_t p = logo->pixels[i];
        ASSERT_TRUE(p == 0 || p == 0xFFFFFF);
        white += p != 0;
    }
    EXPECT_GT(white, 128 * 64 / 5);
    EXPECT_LT(white, 128 * 64 / 2);
    // The outermost ring is ground, the frame lies inside it.
    EXPECT_EQ(img_get_pixel(logo, 0, 0), 0u);
    EXPECT_EQ(img_get_pixel(logo, 127, 63), 0u);
    EXPECT_EQ(img_get_pixel(logo, 2, 2), 0xFFFFFFu);
}

// Cell c of the decoded sheet: ink count, the brightest value and whether
// some edge pixel lies between black and white.
struct CellInk {
    int ink = 0;
    uint32_t brightest = 0;
    bool grey = false;
};

static CellInk cell_ink(const IMG *sheet, int c) {
    CellInk k;
    for (int32_t y = 0; y < 16; y++)
        for (int32_t x = 0; x < 16; x++) {
            uint32_t p = img_get_pixel(sheet, (c % 16) * 16 + x, (c / 16) * 16 + y);
            uint32_t g = p & 0xFF;
            EXPECT_EQ(p, g * 0x10101u) << "grey pixels only";
            if (g) k.ink++;
            if (g > k.brightest) k.brightest = g;
            if (g > 0 && g < 0xFF) k.grey = true;
        }
    return k;
}

TEST(Pictures, EveryPrintableCharacterHasAnAntiAliasedGlyph) {
    Own<img_del> sheet(img_from_pnm(demo_glyphs_pnm, demo_glyphs_pnm_size));
    ASSERT_NE(sheet, nullptr);
    bool any_grey = false;
    for (int c = 33; c < 127; c++) {
        CellInk k = cell_ink(sheet, c);
        EXPECT_GE(k.ink, 4) << "code " << c;
        EXPECT_LT(k.ink, 16 * 16 / 2) << "code " << c;
        EXPECT_EQ(k.brightest, 0xFFu) << "code " << c;
        any_grey = any_grey || k.grey;
    }
    EXPECT_TRUE(any_grey);
    EXPECT_EQ(cell_ink(sheet, ' ').ink, 0);
}

TEST(Pictures, NoTwoPrintableGlyphsAreAlike) {
    Own<img_del> sheet(img_from_pnm(demo_glyphs_pnm, demo_glyphs_pnm_size));
    ASSERT_NE(sheet, nullptr);
    for (int a = 33; a < 127; a++)
        for (int b = a + 1; b < 127; b++) {
            int differ = 0;
            for (int32_t y = 0; y < 16; y++)
                for (int32_t x = 0; x < 16; x++) {
                    uint32_t pa = img_get_pixel(sheet, (a % 16) * 16 + x, (a / 16) * 16 + y) & 0xFF;
                    uint32_t pb = img_get_pixel(sheet, (b % 16) * 16 + x, (b / 16) * 16 + y) & 0xFF;
                    differ += (pa > 0x80) != (pb > 0x80);
                }
            EXPECT_GE(differ, 3) << "codes " << a << " and " << b;
        }
}

TEST(Pictures, FirstRowHoldsSixteenTiles) {
    Own<img_del> sheet(img_from_pnm(demo_glyphs_pnm, demo_glyphs_pnm_size));
    ASSERT_NE(sheet, nullptr);
    for (int c = 0; c < 16; c++) EXPECT_GE(cell_ink(sheet, c).ink, 64) << "tile " << c;
}

TEST(Pictures, LetterPicturesAreBodyGreyWithAWhiteRimOnBlack) {
    for (int k = 0; k < 4; k++) {
        IMG *letter = img_from_pnm(demo_letter_pnm[k], *demo_letter_pnm_size[k]);
        ASSERT_NE(letter, nullptr);
        int body = 0, rim = 0;
        for (int32_t y = 0; y < 192; y++)
            for (int32_t x = 0; x < 128; x++) {
                uint32_t p = img_get_pixel(letter, x, y);
                ASSERT_TRUE(p == 0 || p == 0xCCCCCC || p == 0xFFFFFF) << k << ": " << x << "," << y;
                if (x == 0 || y == 0 || x == 127 || y == 191) {
                    EXPECT_EQ(p, 0u) << "the edge stays black";
                }
                if (p == 0xCCCCCC) {
                    body++;
                    // The rim closes the body off: no body pixel touches black.
                    EXPECT_NE(img_get_pixel(letter, x - 1, y), 0u);
                    EXPECT_NE(img_get_pixel(letter, x + 1, y), 0u);
                    EXPECT_NE(img_get_pixel(letter, x, y - 1), 0u);
                    EXPECT_NE(img_get_pixel(letter, x, y + 1), 0u);
                }
                if (p == 0xFFFFFF) rim++;
            }
        EXPECT_GT(body, 128 * 192 / 8) << "letter " << k;
        EXPECT_GT(rim, body / 8) << "letter " << k;
        img_del(&letter);
    }
}

static std::string info_line(int n) {
    const char *p = demo_info_text;
    for (int i = 0; i < n; i++) p = std::strchr(p, '\n') + 1;
    return std::string(p, std::strchr(p, '\n'));
}

TEST(InfoText, Has1761CharactersIn91Lines) {
    EXPECT_EQ(std::strlen(demo_info_text), 1761u);
    int lines = 0;
    for (const char *p = demo_info_text; *p; p++) lines += *p == '\n';
    EXPECT_EQ(lines, 91);
    EXPECT_EQ(demo_info_text[1760], '\n');
}

TEST(InfoText, LinesAreShortAndMostEndInABlank) {
    int blank_ends = 0;
    for (int n = 0; n < 91; n++) {
        std::string line = info_line(n);
        EXPECT_LE(line.size(), 33u) << "line " << n;
        if (!line.empty() && line.back() == ' ') blank_ends++;
    }
    EXPECT_TRUE(info_line(0).empty());
    EXPECT_TRUE(info_line(1).empty());
    EXPECT_GE(blank_ends, 85);
}

TEST(InfoText, UsesUpperCaseDigitsAndPunctuationThatTheSheetDraws) {
    Own<img_del> sheet(img_from_pnm(demo_glyphs_pnm, demo_glyphs_pnm_size));
    ASSERT_NE(sheet, nullptr);
    for (const char *p = demo_info_text; *p; p++) {
        unsigned char c = (unsigned char)*p;
        if (c == '\n' || c == ' ') continue;
        EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || std::strchr(".,:!-'()/?", c))
            << "character " << (int)c;
        EXPECT_GT(cell_ink(sheet, c).ink, 0) << "character " << (int)c;
    }
}

TEST(InfoText, NamesEveryKey) {
    std::string text = demo_info_text;
    for (const char *key : {"ESC -", "SPACE -", "5 -", "6 -", "8 -", "B -", "F -", "G -", "O -", "P -",
                            "S -", "W -"})
        EXPECT_NE(text.find(std::string("\n") + key), std::string::npos) << key;
}

TEST(InfoText, EveryCharacterHasAGlyphInTheWireFontThatScrollsIt) {
    Own<list_del> glyphs(obj2d_parse(demo_font16_text));
    ASSERT_NE(glyphs, nullptr);
    ASSERT_GE(glyphs->count, 128);
    for (const char *p = demo_info_text; *p; p++) {
        if (*p == '\n' || *p == ' ') continue;
        OBJ2D *g = (OBJ2D *)list_get(glyphs, (unsigned char)*p);
        ASSERT_NE(g, nullptr) << "character " << *p;
        EXPECT_GT(g->segments->count, 0) << "character " << *p;
    }
    for (int32_t i = 0; i < glyphs->count; i++) {
        OBJ2D *g = (OBJ2D *)list_get(glyphs, i);
        if (g) obj2d_del(&g);  // the object owns its segments
    }
}
