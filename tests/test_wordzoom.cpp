// WORDZOOM tests: splitting texts into words (never past the terminator),
// starting words (place, random height, countdown), the landing rhythm of
// the step, the eight-copy flight drawn with a line font of one-pixel glyphs,
// the fixed modes, and refused arguments.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "host/random.h"
#include "imaging/img.h"
#include "test_support.h"
#include "text/wordzoom.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

namespace {

// A line font of `cell`-wide cells whose glyphs for 'A' to 'Z' are a single
// zero-length segment at the origin: each letter plots exactly its pen position.
LFONT *dot_font(int32_t cell) {
    LFONT *font = lfont_new();
    font->size->x = cell;
    font->size->y = cell;
    font->glyphs = list_new();
    list_set_count(font->glyphs, 128);
    for (int c = 'A'; c <= 'Z'; c++) {
        OBJ2D *o = obj2d_new();
        SEG2D *s = seg2d_new();
        s->a->x = s->a->y = s->b->x = s->b->y = 0;
        obj2d_add_segment(o, s);
        list_set(font->glyphs, o, c);
    }
    return font;
}

void free_font(LFONT **font) {
    LIST *glyphs = (*font)->glyphs;
    lfont_del(font);
    list_del(&glyphs);
}

std::string word_at(const WORDZOOM *z, int32_t i) {
    return std::string((const char *)z->words->items[i]);
}

// A zoom of 64 x 64 with an 8-wide dot font and the given words.
WORDZOOM *small_zoom(const char *words, LFONT *font, IMG *target) {
    WORDZOOM *z = wordzoom_new();
    z->width = 64;
    z->height = 64;
    z->font = font;
    z->target = target;
    wordzoom_add_words(z, words);
    return z;
}

}  // namespace

TEST(Wordzoom, NewIsResetWithALightColour) {
    random_srand(45429);
    WORDZOOM *z = wordzoom_new();
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(z->width, 256);
    EXPECT_EQ(z->height, 256);
    EXPECT_EQ(z->depth, 256);
    EXPECT_EQ(z->mode, 'o');
    EXPECT_EQ(z->capacity, 256);
    EXPECT_EQ(z->length, 0);
    EXPECT_EQ(z->revealed, 0);
    EXPECT_EQ(z->word_index, 0);
    // 17318 = 0x43A6: (0x43A6 & 0x7F7F7F) + 0x808080.
    EXPECT_EQ(z->color, 0x80C3A6u);
    EXPECT_EQ(z->words, nullptr);
    EXPECT_EQ(wordzoom_done(z), 1);
    wordzoom_del(&z);
    EXPECT_EQ(z, nullptr);
}

TEST(Wordzoom, ResetKeepsWordsFontTargetAndCountdown) {
    WORDZOOM *z = wordzoom_new();
    LFONT *font = dot_font(16);
    IMG *img = grid_image(2, 2);
    z->font = font;
    z->target = img;
    wordzoom_add_words(z, "AB\n");
    z->countdown = 9;
    z->width = 3;
    z->mode = 'i';
    z->word_x = 5;
    z->capacity = 7;
    z->length = 2;
    wordzoom_reset(z);
    EXPECT_EQ(z->width, 256);
    EXPECT_EQ(z->mode, 'o');
    EXPECT_EQ(z->word_x, 0);
    EXPECT_EQ(z->capacity, 256);
    EXPECT_EQ(z->length, 0);
    EXPECT_EQ(z->countdown, 9);
    EXPECT_EQ(z->font, font);
    EXPECT_EQ(z->target, img);
    ASSERT_NE(z->words, nullptr);
    EXPECT_EQ(z->words->count, 1);
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
    img_del(&img);
}

TEST(Wordzoom, AddWordsCutsAtLineFeedsKeepingAFinalPiece) {
    WORDZOOM *z = wordzoom_new();
    wordzoom_add_words(z, "AB\nC");
    ASSERT_NE(z->words, nullptr);
    ASSERT_EQ(z->words->count, 2);
    EXPECT_EQ(word_at(z, 0), "AB");
    EXPECT_EQ(word_at(z, 1), "C");
    wordzoom_del_words(z);
    EXPECT_EQ(z->words, nullptr);
    wordzoom_del(&z);
}

TEST(Wordzoom, AddWordsTrailingLineFeedGivesNoEmptyWordButTwoInARowDo) {
    WORDZOOM *z = wordzoom_new();
    wordzoom_add_words(z, "AB\n");
    ASSERT_EQ(z->words->count, 1);
    wordzoom_add_words(z, "X\n\nY\n");  // appended to the same list
    ASSERT_EQ(z->words->count, 4);
    EXPECT_EQ(word_at(z, 0), "AB");
    EXPECT_EQ(word_at(z, 1), "X");
    EXPECT_EQ(word_at(z, 2), "");
    EXPECT_EQ(word_at(z, 3), "Y");
    wordzoom_add_words(z, "\n");  // one empty line
    ASSERT_EQ(z->words->count, 5);
    EXPECT_EQ(word_at(z, 4), "");
    wordzoom_add_words(z, "");  // nothing at all
    EXPECT_EQ(z->words->count, 5);
    wordzoom_del_words(z);
    wordzoom_del(&z);
}

TEST(Wordzoom, AddWordsStopsAtTheTerminator) {
    // The text's buffer holds bytes after its zero; none of them is read.
    char text[8] = {'A', 'B', 0, '\n', 'Z', 'Z', '\n', 0};
    WORDZOOM *z = wordzoom_new();
    wordzoom_add_words(z, text);
    ASSERT_EQ(z->words->count, 1);
    EXPECT_EQ(word_at(z, 0), "AB");
    // An exact-size heap text without a line feed: ASan sees any overread.
    char *exact = (char *)malloc(4);
    memcpy(exact, "RUN", 4);
    wordzoom_add_words(z, exact);
    free(exact);
    ASSERT_EQ(z->words->count, 2);
    EXPECT_EQ(word_at(z, 1), "RUN");
    wordzoom_del_words(z);
    wordzoom_del(&z);
}

TEST(Wordzoom, DefaultListHasTwentySixWordsInOrder) {
    WORDZOOM *z = wordzoom_new();
    wordzoom_add_words(z, wordzoom_default_words);
    ASSERT_EQ(z->words->count, 26);
    const char *fixed[26] = {"RIVO",     "DEMO",      "5187",    nullptr,     "PARTY",
                             "20130321", nullptr,     "2013",    "NOVEMBER",  "COMPETITION",
                             "ASSEMBLER", "PROGRAM",  "WINTER",  "HOLYDAYS",  "SNOW",
                             "RAIN",     "COLD",      "ICE",     "SKII",      "SNOWBOARD",
                             "SPORTS",   "HEALTH",    "LOVE",    "PEACE",     "JUSTICE",
                             "EARTH"};
    for (int i = 0; i < 26; i++) {
        std::string w = word_at(z, i);
        if (fixed[i]) {
            EXPECT_EQ(w, fixed[i]) << "word " << i;
        } else {
            // The event and the country: one upper-case word each.
            ASSERT_FALSE(w.empty()) << "word " << i;
            for (char c : w) EXPECT_TRUE(c >= 'A' && c <= 'Z') << "word " << i << ": " << w;
        }
    }
    size_t n = strlen(wordzoom_default_words);
    EXPECT_EQ(wordzoom_default_words[n - 1], '\n');
    wordzoom_del_words(z);
    wordzoom_del(&z);
}

TEST(Wordzoom, StartWordPlacesTheWordCentredAtScaleTwo) {
    LFONT *font = dot_font(16);
    WORDZOOM *z = wordzoom_new();
    z->font = font;
    wordzoom_add_words(z, "RIVO\nHELLO\n");
    random_srand(45429);
    wordzoom_start_word(z, 1);
    EXPECT_EQ(z->countdown, 16);  // 256 / 16
    EXPECT_EQ(z->word_index, 1);
    EXPECT_STREQ(z->word, "HELLO");
    EXPECT_EQ(z->length, 5);
    EXPECT_EQ(z->word_x, 64);     // (256 - 160) / 2 + 16
    // 128 + 17318 mod 85 - 42 = 128 + 63 - 42.
    EXPECT_EQ(z->word_y, 149);
    EXPECT_EQ(z->revealed, 0);
    EXPECT_EQ(wordzoom_done(z), 0);
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
}

TEST(Wordzoom, StartWordWrapsTheIndexAndClearsShown) {
    LFONT *font = dot_font(16);
    WORDZOOM *z = wordzoom_new();
    z->font = font;
    wordzoom_add_words(z, "RIVO\nHELLO\nAB");
    strcpy(z->shown, "XYZ");
    z->revealed = 3;
    wordzoom_start_word(z, 3);  // 3 mod 3 = 0
    EXPECT_EQ(z->word_index, 0);
    EXPECT_STREQ(z->word, "RIVO");
    for (int i = 0; i < 256; i++) EXPECT_EQ(z->shown[i], 0) << i;
    EXPECT_EQ(z->revealed, 0);
    wordzoom_start_word(z, 7);
    EXPECT_EQ(z->word_index, 1);
    wordzoom_next_word(z);
    EXPECT_EQ(z->word_index, 2);
    wordzoom_next_word(z);  // the list repeats
    EXPECT_EQ(z->word_index, 0);
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
}

TEST(Wordzoom, StartWordLengthIsHeldToTheCapacity) {
    LFONT *font = dot_font(16);
    WORDZOOM *z = wordzoom_new();
    z->font = font;
    wordzoom_add_words(z, "ABCDEFG");
    z->capacity = 3;
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->length, 3);
    EXPECT_EQ(z->word_x, (256 - 96) / 2 + 16);
    z->capacity = 100000;  // more than `shown` holds: held to 256
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->length, 7);
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
}

TEST(Wordzoom, StartWordHeightWithoutRoomStillDraws) {
    LFONT *font = dot_font(1);
    WORDZOOM *z = wordzoom_new();
    z->font = font;
    z->height = 2;  // a third of 2 is 0: no random lift
    wordzoom_add_words(z, "A");
    random_srand(8);
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->word_y, 1);
    Lcg g{8};
    g.next();
    EXPECT_EQ(random_rand(), g.next());
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
}

TEST(Wordzoom, StartWordRefusesBadArgumentsWithoutDrawing) {
    LFONT *font = dot_font(16);
    WORDZOOM *z = wordzoom_new();
    random_srand(21);
    wordzoom_start_word(z, 0);  // no words, no font
    z->font = font;
    wordzoom_start_word(z, 0);  // no words
    wordzoom_add_words(z, "AB\nCD");
    wordzoom_start_word(z, -1);
    font->size->x = 0;  // a cell width of 0 would divide by zero
    wordzoom_start_word(z, 0);
    z->font = nullptr;
    wordzoom_start_word(z, 0);
    wordzoom_start_word(nullptr, 0);
    wordzoom_next_word(nullptr);
    EXPECT_EQ(z->word, nullptr);
    EXPECT_EQ(z->length, 0);
    Lcg g{21};
    EXPECT_EQ(random_rand(), g.next());
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
}

TEST(Wordzoom, CountdownFallsByTwoAndTheEighthStepLands) {
    LFONT *font = dot_font(16);
    WORDZOOM *z = wordzoom_new();
    z->font = font;
    wordzoom_add_words(z, "HI");
    wordzoom_start_word(z, 0);
    const int32_t seen[7] = {14, 12, 10, 8, 6, 4, 2};
    for (int i = 0; i < 7; i++) {
        wordzoom_step(z);
        EXPECT_EQ(z->countdown, seen[i]);
        EXPECT_EQ(z->revealed, 0);
    }
    random_srand(45429);
    wordzoom_step(z);
    EXPECT_EQ(z->countdown, 16);
    EXPECT_EQ(z->revealed, 1);
    EXPECT_STREQ(z->shown, "H");
    EXPECT_EQ(z->color, 0x80C3A6u);  // a new light colour from the next draw
    for (int i = 0; i < 8; i++) wordzoom_step(z);
    EXPECT_STREQ(z->shown, "HI");
    EXPECT_EQ(wordzoom_done(z), 1);
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
}

TEST(Wordzoom, StepAfterTheWordIsDoneChangesNothing) {
    LFONT *font = dot_font(16);
    WORDZOOM *z = wordzoom_new();
    z->font = font;
    wordzoom_add_words(z, "I");
    wordzoom_start_word(z, 0);
    for (int i = 0; i < 8; i++) wordzoom_step(z);
    ASSERT_EQ(wordzoom_done(z), 1);
    WORDZOOM before;
    memcpy(&before, z, sizeof before);  // padding included, for the memcmp below
    random_srand(4);
    for (int i = 0; i < 20; i++) wordzoom_step(z);
    EXPECT_EQ(memcmp(&before, z, sizeof before), 0);
    Lcg g{4};
    EXPECT_EQ(random_rand(), g.next());
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
}

TEST(Wordzoom, ModeIStepLeavesEveryFieldAndThePicture) {
    LFONT *font = dot_font(8);
    IMG *img = grid_image(64, 64);
    WORDZOOM *z = small_zoom("AB", font, img);
    wordzoom_start_word(z, 0);
    wordzoom_step(z);
    z->mode = 'i';
    wordzoom_draw(z);
    IMG *first = img_dup(img);
    WORDZOOM before;
    memcpy(&before, z, sizeof before);  // padding included, for the memcmp below
    for (int i = 0; i < 10; i++) wordzoom_step(z);
    EXPECT_EQ(memcmp(&before, z, sizeof before), 0);
    img_clear(img, 0);
    wordzoom_draw(z);
    EXPECT_EQ(img_compare(first, img), 1);
    z->mode = 'x';  // other modes are ignored too
    before.mode = 'x';
    wordzoom_step(z);
    EXPECT_EQ(memcmp(&before, z, sizeof before), 0);
    img_del(&first);
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
    img_del(&img);
}

TEST(Wordzoom, StepNeedsAFontInModeO) {
    WORDZOOM *z = wordzoom_new();
    LFONT *font = dot_font(16);
    z->font = font;
    wordzoom_add_words(z, "AB");
    wordzoom_start_word(z, 0);
    z->font = nullptr;
    wordzoom_step(z);
    EXPECT_EQ(z->countdown, 16);
    z->font = font;
    font->size->x = 0;  // the landing would divide by the cell width
    for (int i = 0; i < 10; i++) wordzoom_step(z);
    EXPECT_EQ(z->countdown, 16);
    EXPECT_EQ(z->revealed, 0);
    font->size->x = 16;
    wordzoom_step(nullptr);
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
}

TEST(Wordzoom, DrawFliesEightCopiesTowardsTheLettersPlace) {
    LFONT *font = dot_font(8);
    IMG *img = grid_image(64, 64);
    WORDZOOM *z = small_zoom("AB", font, img);
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->countdown, 8);   // 64 / 8
    EXPECT_EQ(z->word_x, 24);     // (64 - 32) / 2 + 8
    z->word_x = 23;
    z->word_y = 41;
    z->color = 0x80A0C0;
    wordzoom_draw(z);
    // k = 8, centre (32, 32): x = 32 - (9 * 56) / 64 + 8 + i = 33 + i;
    // y = 32 - (-9 * 56) / 64 + 8 + i = 47 + i (the quotient truncates to -7).
    int lit = 0;
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) {
            bool on = x - 33 >= 0 && x - 33 < 8 && y - 47 == x - 33;
            EXPECT_EQ(img->pixels[y * 64 + x], on ? 0x80A0C0u : 0u) << x << "," << y;
            lit += on;
        }
    EXPECT_EQ(lit, 8);
    // The font is left with the last copy's scale and the letter's code.
    EXPECT_EQ(font->scale->x, 15);
    EXPECT_EQ(font->scale->y, 15);
    EXPECT_EQ(font->code, 'A');
    EXPECT_EQ(font->angle, 0);
    EXPECT_EQ(font->target, img);
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
    img_del(&img);
}

TEST(Wordzoom, DrawShowsLandedLettersAtTwiceTheCellAndTheNextInFlight) {
    LFONT *font = dot_font(8);
    IMG *img = grid_image(64, 64);
    WORDZOOM *z = small_zoom("ABC", font, img);
    wordzoom_start_word(z, 0);
    z->word_x = 10;
    z->word_y = 20;
    for (int i = 0; i < 8; i++) wordzoom_step(z);  // two letters land, 4 steps each
    ASSERT_EQ(z->revealed, 2);
    for (int i = 0; i < 2; i++) wordzoom_step(z);  // k = 4
    ASSERT_EQ(z->countdown, 4);
    z->color = 0xFFFFFF;
    wordzoom_draw(z);
    // Landed: A at (10, 20), B at (26, 20). In flight: C, place (42, 20), k = 4:
    // x = 32 - (-10 * 60) / 64 + 4 + i = 32 + 9 + 4 + i = 45 + i;
    // y = 32 - (12 * 60) / 64 + 4 + i = 32 - 11 + 4 + i = 25 + i.
    uint32_t want[64 * 64] = {0};
    want[20 * 64 + 10] = want[20 * 64 + 26] = 0xFFFFFF;
    for (int i = 0; i < 8; i++) want[(25 + i) * 64 + 45 + i] = 0xFFFFFF;
    EXPECT_TRUE(grid_equals(img, 64, 64, want));
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
    img_del(&img);
}

TEST(Wordzoom, DrawOfADoneWordShowsOnlyTheWord) {
    LFONT *font = dot_font(8);
    IMG *img = grid_image(64, 64);
    WORDZOOM *z = small_zoom("AB", font, img);
    wordzoom_start_word(z, 0);
    z->word_x = 1;
    z->word_y = 2;
    for (int i = 0; i < 8; i++) wordzoom_step(z);
    ASSERT_EQ(wordzoom_done(z), 1);
    z->color = 0x808080;
    wordzoom_draw(z);
    uint32_t want[64 * 64] = {0};
    want[2 * 64 + 1] = want[2 * 64 + 17] = 0x808080;
    EXPECT_TRUE(grid_equals(img, 64, 64, want));
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
    img_del(&img);
}

TEST(Wordzoom, AFullWordOfTheWholeCapacityStaysTerminated) {
    LFONT *font = dot_font(1);
    IMG *img = grid_image(8, 8);
    WORDZOOM *z = wordzoom_new();
    z->font = font;
    z->target = img;
    z->width = 4;  // countdown 4: two steps per letter
    std::string long_word(300, 'Q');
    wordzoom_add_words(z, long_word.c_str());
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->length, 256);
    for (int i = 0; i < 2 * 256 + 10; i++) wordzoom_step(z);
    EXPECT_EQ(z->revealed, 256);
    EXPECT_EQ(strlen(z->shown), 256u);
    wordzoom_draw(z);  // reads the 256 letters and their terminator only
    wordzoom_del_words(z);
    wordzoom_del(&z);
    free_font(&font);
    img_del(&img);
}

TEST(Wordzoom, DrawRefusesMissingTargetOrFont) {
    LFONT *font = dot_font(8);
    IMG *img = grid_image(4, 4);
    WORDZOOM *z = small_zoom("A", font, nullptr);
    wordzoom_start_word(z, 0);
    font->scale->x = 5;
    wordzoom_draw(z);  // no target: the font is not touched
    EXPECT_EQ(font->scale->x, 5);
    z->target = img;
    z->font = nullptr;
    wordzoom_draw(z);
    wordzoom_draw(nullptr);
    const uint32_t black[16] = {0};
    EXPECT_TRUE(grid_equals(img, 4, 4, black));
    EXPECT_EQ(wordzoom_done(nullptr), 0);
    wordzoom_add_words(nullptr, "A");
    wordzoom_add_words(z, nullptr);
    wordzoom_del_words(z);
    wordzoom_del(&z);
    wordzoom_del(&z);
    EXPECT_EQ(z, nullptr);
    wordzoom_del(nullptr);
    free_font(&font);
    img_del(&img);
}

TEST(Wordzoom, CompareCopyAndDupCoverThePlaceAndCounters) {
    WORDZOOM *a = wordzoom_new();
    a->word_x = 5;
    a->word_y = 6;
    a->length = 3;
    a->revealed = 1;
    a->word_index = 2;
    a->countdown = 40;  // not content
    a->mode = 'i';      // not content
    WORDZOOM *b = wordzoom_new();
    EXPECT_EQ(wordzoom_compare(a, b), 0);
    wordzoom_copy(a, b);
    EXPECT_EQ(wordzoom_compare(a, b), 1);
    EXPECT_EQ(b->word_x, 5);
    EXPECT_EQ(b->color, a->color);
    EXPECT_NE(b->countdown, 40);
    EXPECT_EQ(b->mode, 'o');
    b->capacity = 9;
    EXPECT_EQ(wordzoom_compare(a, b), 0);
    WORDZOOM *c = wordzoom_dup(a);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(wordzoom_compare(a, c), 1);
    EXPECT_EQ(wordzoom_compare(a, nullptr), 0);
    EXPECT_EQ(wordzoom_dup(nullptr), nullptr);
    wordzoom_del(&a);
    wordzoom_del(&b);
    wordzoom_del(&c);
}
