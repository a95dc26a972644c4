// WORDZOOM: splitting texts into words (a table; never past the terminator),
// starting words (place, random height, index wrap, capacity), the landing
// rhythm of the step, the eight-copy flight drawn with a font of one-pixel
// glyphs, the fixed mode "i", and refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>

#include "host/random.h"
#include "tests/test_support.h"
#include "text/wordzoom.h"

namespace {

// A line font of `cell`-wide cells whose glyphs for 'A' to 'Z' are a single
// zero-length segment at the origin: each letter plots its pen position.
struct DotFont : GlyphFont {
    explicit DotFont(int32_t cell, int32_t w = 64, int32_t h = 64) : GlyphFont(w, h, cell) {
        for (int c = 'A'; c <= 'Z'; c++) add_segment(glyph(c), 0, 0, 0, 0, 0);
    }
};

// A zoom of 64 x 64 on a dot font with the given words; frees its words.
struct Zoom {
    Own<wordzoom_del> z{wordzoom_new()};
    Zoom(const char *words, DotFont &f) {
        z->width = z->height = 64;
        z->font = f.font;
        z->target = f.img;
        wordzoom_add_words(z, words);
    }
    ~Zoom() { wordzoom_del_words(z); }
};

// "count:word|word|...".
std::string words_of(const WORDZOOM *z) {
    std::string s = std::to_string(z->words ? z->words->count : -1) + ":";
    for (int32_t i = 0; z->words && i < z->words->count; i++) s += std::string(i ? "|" : "") + (const char *)z->words->items[i];
    return s;
}

}  // namespace

TEST(Wordzoom, AddWordsCutsAtLineFeeds) {
    const char *cases[][2] = {
        {"AB\nC", "2:AB|C"}, {"AB\n", "1:AB"}, {"X\n\nY\n", "3:X||Y"}, {"\n", "1:"}, {"", "0:"}, {"RUN", "1:RUN"},
    };
    for (const auto &c : cases) {
        Own<wordzoom_del> z(wordzoom_new());
        wordzoom_add_words(z, c[0]);
        EXPECT_EQ(words_of(z), c[1]) << c[0];
        wordzoom_del_words(z);
        EXPECT_EQ(z->words, nullptr);
    }
    Own<wordzoom_del> z(wordzoom_new());
    char text[8] = {'A', 'B', 0, '\n', 'Z', 'Z', '\n', 0};  // nothing after the zero is read
    wordzoom_add_words(z, text);
    wordzoom_add_words(z, "C\nD");  // appended to the same list
    EXPECT_EQ(words_of(z), "3:AB|C|D");
    wordzoom_del_words(z);
}

TEST(Wordzoom, DefaultListHasTwentySixWordsInOrder) {
    Own<wordzoom_del> z(wordzoom_new());
    wordzoom_add_words(z, wordzoom_default_words);
    // The event and the country (one upper-case word each) are the two [A-Z]+.
    EXPECT_TRUE(std::regex_match(words_of(z), std::regex("26:RIVO\\|DEMO\\|5187\\|[A-Z]+\\|PARTY\\|20130321\\|[A-Z]+\\|"
        "2013\\|NOVEMBER\\|COMPETITION\\|ASSEMBLER\\|PROGRAM\\|WINTER\\|HOLYDAYS\\|SNOW\\|RAIN\\|COLD\\|ICE\\|SKII\\|"
        "SNOWBOARD\\|SPORTS\\|HEALTH\\|LOVE\\|PEACE\\|JUSTICE\\|EARTH"))) << words_of(z);
    EXPECT_EQ(wordzoom_default_words[strlen(wordzoom_default_words) - 1], '\n');
    wordzoom_del_words(z);
}

TEST(Wordzoom, StartWordPlacesTheWordCentredAtScaleTwo) {
    DotFont f(16);
    Zoom zoom("RIVO\nHELLO\nAB", f);
    WORDZOOM *z = zoom.z;
    z->width = z->height = 256;
    z->color = 0;
    random_srand(45429);
    std::strcpy(z->shown, "XYZ");
    z->revealed = 3;
    wordzoom_start_word(z, 4);  // 4 mod 3 = 1
    EXPECT_EQ(z->countdown, 16);  // 256 / 16
    EXPECT_STREQ(z->word, "HELLO");
    EXPECT_EQ(z->length, 5);
    EXPECT_EQ(z->word_x, 64);       // (256 - 160) / 2 + 16
    EXPECT_EQ(z->word_y, 149);      // 128 + 17318 mod 85 - 42
    EXPECT_EQ(z->shown[0], 0);
    EXPECT_EQ(z->revealed, 0);
    wordzoom_next_word(z);
    wordzoom_next_word(z);  // the list repeats
    EXPECT_EQ(z->word_index, 0);
    z->capacity = 3;
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->length, 3);
    EXPECT_EQ(z->word_x, (256 - 96) / 2 + 16);
    z->capacity = 100000;  // more than `shown` holds: held to 256
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->length, 4);
}

TEST(Wordzoom, StartWordRefusesBadArgumentsWithoutDrawing) {
    DotFont f(16);
    Own<wordzoom_del> z(wordzoom_new());
    random_srand(21);
    wordzoom_start_word(z, 0);  // no words, no font
    z->font = f.font;
    wordzoom_start_word(z, 0);  // no words
    wordzoom_add_words(z, "AB\nCD");
    wordzoom_start_word(z, -1);
    f.font->size->x = 0;  // a cell width of 0 would divide by zero
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->word, nullptr);
    EXPECT_EQ(random_rand(), Lcg{21}.next());
    f.font->size->x = 1;
    z->height = 2;  // a third of 2 is 0: no random lift, but the draw is made
    random_srand(8);
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->word_y, 1);
    Lcg g{8};
    g.next();
    EXPECT_EQ(random_rand(), g.next());
    wordzoom_del_words(z);
}

TEST(Wordzoom, CountdownFallsByTwoAndTheEighthStepLands) {
    DotFont f(16);
    Zoom zoom("HI", f);
    WORDZOOM *z = zoom.z;
    z->width = 256;
    wordzoom_start_word(z, 0);
    for (int32_t want = 14; want >= 2; want -= 2) {
        wordzoom_step(z);
        EXPECT_EQ(z->countdown, want);
    }
    EXPECT_EQ(z->revealed, 0);
    random_srand(45429);
    wordzoom_step(z);
    EXPECT_EQ(z->countdown, 16);
    EXPECT_STREQ(z->shown, "H");
    EXPECT_EQ(z->color, 0x80C3A6u);  // 17318: a new light colour
    for (int i = 0; i < 8; i++) wordzoom_step(z);
    EXPECT_EQ(wordzoom_done(z), 1);
    // A done word, mode "i" or another mode, no font or a cell width of 0:
    // stepping changes nothing (and draws nothing).
    for (int k = 0; k < 5; k++) {
        if (k == 1) z->revealed = 1, z->mode = 'i';
        if (k == 2) z->mode = 'x';
        if (k == 3) z->mode = 'o', f.font->size->x = 0;
        if (k == 4) z->font = nullptr;
        WORDZOOM before;
        std::memcpy(&before, z, sizeof before);
        random_srand(4);
        for (int i = 0; i < 20; i++) wordzoom_step(z);
        EXPECT_EQ(std::memcmp(&before, z, sizeof before), 0) << k;
        EXPECT_EQ(random_rand(), Lcg{4}.next()) << k;
    }
}

TEST(Wordzoom, DrawFliesEightCopiesTowardsTheLettersPlace) {
    DotFont f(8);
    Zoom zoom("AB", f);
    WORDZOOM *z = zoom.z;
    wordzoom_start_word(z, 0);
    EXPECT_EQ(std::make_pair(z->countdown, z->word_x), std::make_pair(8, 24));  // 64 / 8; (64 - 32) / 2 + 8
    z->word_x = 23;
    z->word_y = 41;
    z->color = 0x80A0C0;
    wordzoom_draw(z);
    // k = 8, centre (32, 32): x = 32 - (9 * 56) / 64 + 8 + i = 33 + i;
    // y = 32 - (-9 * 56) / 64 + 8 + i = 47 + i (the quotient truncates to -7).
    std::vector<uint32_t> want(64 * 64, 0);
    for (int i = 0; i < 8; i++) want[(47 + i) * 64 + 33 + i] = 0x80A0C0;
    EXPECT_TRUE(grid_equals(f.img, want));
    EXPECT_EQ(f.font->scale->x, 15);  // the last copy's scale
    EXPECT_EQ(f.font->code, 'A');
}

TEST(Wordzoom, DrawShowsLandedLettersAndTheNextInFlight) {
    DotFont f(8);
    Zoom zoom("ABC", f);
    WORDZOOM *z = zoom.z;
    wordzoom_start_word(z, 0);
    z->word_x = 10;
    z->word_y = 20;
    for (int i = 0; i < 10; i++) wordzoom_step(z);  // two letters land, then k = 4
    z->color = 0xFFFFFF;
    wordzoom_draw(z);
    // A at (10, 20), B at (26, 20); C's place (42, 20) at k = 4:
    // x = 32 + 600 / 64 + 4 + i = 45 + i; y = 32 - 720 / 64 + 4 + i = 25 + i.
    std::vector<uint32_t> want(64 * 64, 0);
    want[20 * 64 + 10] = want[20 * 64 + 26] = 0xFFFFFF;
    for (int i = 0; i < 8; i++) want[(25 + i) * 64 + 45 + i] = 0xFFFFFF;
    EXPECT_TRUE(grid_equals(f.img, want));
    for (int i = 0; i < 2; i++) wordzoom_step(z);  // C lands: the word alone
    img_clear(f.img, 0);
    wordzoom_draw(z);
    want.assign(64 * 64, 0);
    want[20 * 64 + 10] = want[20 * 64 + 26] = want[20 * 64 + 42] = z->color;
    EXPECT_TRUE(grid_equals(f.img, want));
}

TEST(Wordzoom, AFullWordOfTheWholeCapacityStaysTerminated) {
    DotFont f(1, 8, 8);
    std::string long_word(300, 'Q');
    Zoom zoom(long_word.c_str(), f);
    WORDZOOM *z = zoom.z;
    z->width = 4;  // countdown 4: two steps per letter
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->length, 256);
    for (int i = 0; i < 2 * 256; i++) wordzoom_step(z);
    EXPECT_EQ(z->revealed, 256);
    EXPECT_EQ(strlen(z->shown), 256u);
    wordzoom_draw(z);  // reads the 256 letters and their terminator only
}

TEST(Wordzoom, DrawRefusesMissingTargetOrFont) {
    DotFont f(8, 4, 4);
    Zoom zoom("A", f);
    WORDZOOM *z = zoom.z;
    wordzoom_start_word(z, 0);
    z->target = nullptr;
    f.font->scale->x = 5;
    wordzoom_draw(z);  // no target: the font is not touched
    EXPECT_EQ(f.font->scale->x, 5);
    z->target = f.img;
    z->font = nullptr;
    wordzoom_draw(z);
    EXPECT_TRUE(grid_equals(f.img, std::vector<uint32_t>(16, 0)));
}

TEST(Wordzoom, CompareCopyAndDupCoverThePlaceAndCounters) {
    Own<wordzoom_del> a(wordzoom_new()), b(wordzoom_new());
    a->word_x = 5;
    a->word_y = 6;
    a->length = 3;
    a->revealed = 1;
    a->word_index = 2;
    a->countdown = 40;  // not content
    a->mode = 'i';      // not content
    EXPECT_EQ(wordzoom_compare(a, b), 0);
    wordzoom_copy(a, b);
    EXPECT_EQ(wordzoom_compare(a, b), 1);
    EXPECT_EQ(b->color, a->color);
    EXPECT_NE(b->countdown, 40);
    EXPECT_EQ(b->mode, 'o');
    b->capacity = 9;
    EXPECT_EQ(wordzoom_compare(a, b), 0);
    Own<wordzoom_del> c(wordzoom_dup(a));
    EXPECT_EQ(wordzoom_compare(a, c), 1);
}
