// IMG text form, PNM decoders (memory and file) and the binary PPM writer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/random.h"
#include "imaging/img.h"
#include "tests/test_support.h"

// Every byte of a literal, embedded NULs included, without its terminator.
#define BYTES(literal) std::string(literal, sizeof(literal) - 1)

namespace {

const uint32_t W = 0x00FFFFFF;

// Decodes exactly the bytes of `data` from a heap block of that size, so the
// sanitizer catches any read past the end.
IMG *pnm(const std::string &data) {
    char *block = (char *)malloc(data.size() ? data.size() : 1);
    memcpy(block, data.data(), data.size());
    IMG *image = img_from_pnm(block, data.size());
    free(block);
    return image;
}

// Text parsing from a heap copy of exactly strlen + 1 bytes.
IMG *text(const std::string &s) {
    char *copy = strdup(s.c_str());
    IMG *image = img_from_text(copy);
    free(copy);
    return image;
}

std::string temp_path(const char *name) {
    return ::testing::TempDir() + "img_test_" + std::to_string(getpid()) + "_" + name;
}

std::string write_temp(const char *name, const std::string &data) {
    std::string path = temp_path(name);
    FILE *f = fopen(path.c_str(), "wb");
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
    return path;
}

}  // namespace

// ---- Text form ---------------------------------------------------------------

TEST(ImgText, OnePixelText) {
    static const uint32_t px[1] = {0x00FF8000};
    IMG *image = grid_image(1, 1, px);
    char *t = img_to_text(image);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t, "IMG{\nP3\n1 1\n255\n255 128   0\n}\n");
    free(t);
    img_del(&image);
}

TEST(ImgText, EmptyImageText) {
    IMG *image = grid_image(0, 0);
    char *t = img_to_text(image);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t, "IMG{}");
    free(t);
    img_resize(image, 5, 0);
    t = img_to_text(image);
    EXPECT_STREQ(t, "IMG{}");
    free(t);
    img_del(&image);
}

TEST(ImgText, SixPixelsPerLineAndTopByteDropped) {
    static const uint32_t px[7] = {0, 1, 2, 3, 4, 0xFF0A0B0C, 0x00646400};
    IMG *image = grid_image(7, 1, px);
    char *t = img_to_text(image);
    EXPECT_STREQ(t,
                 "IMG{\nP3\n7 1\n255\n"
                 "  0   0   0   0   0   1   0   0   2   0   0   3   0   0   4  10  11  12\n"
                 "100 100   0\n"
                 "}\n");
    free(t);
    img_del(&image);
}

TEST(ImgText, TextOfNullImageIsNull) { EXPECT_EQ(img_to_text(nullptr), nullptr); }

TEST(ImgText, RoundTripOfRandomImages) {
    random_srand(7);
    for (int round = 0; round < 20; round++) {
        int32_t w = random_rand() % 13 + 1, h = random_rand() % 9 + 1;
        IMG *image = grid_image(w, h);
        for (int32_t i = 0; i < w * h; i++) image->pixels[i] = (uint32_t)random_next() & 0xFFFFFF;
        char *t = img_to_text(image);
        ASSERT_NE(t, nullptr);
        IMG *back = img_from_text(t);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(img_compare(image, back), 1) << t;
        EXPECT_EQ(back->x, 0);
        free(t);
        img_del(&image);
        img_del(&back);
    }
}

TEST(ImgText, ParsesLooseSeparatorsAndLeadingText) {
    IMG *image = text("junk IMG {x P3\n2 1\n255\n1,2,3;;4x5y6}");
    static const uint32_t want[2] = {0x00010203, 0x00040506};
    EXPECT_TRUE(grid_equals(image, 2, 1, want));
    img_del(&image);
}

TEST(ImgText, SizesAreReadWithoutSkippingBlanks) {
    // The blank before "2" ends an empty width run (0); height is 2.
    IMG *image = text("IMG{\nP3\n 2 1\n255\n");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 0);
    EXPECT_EQ(image->height, 2);
    img_del(&image);
}

TEST(ImgText, MaxvalIsPassedOverWhateverItsValue) {
    IMG *image = text("IMG{\nP3\n1 1\n99999999999999\n1 2 3\n}\n");
    static const uint32_t want[1] = {0x00010203};
    EXPECT_TRUE(grid_equals(image, 1, 1, want));
    img_del(&image);
}

TEST(ImgText, SamplesAreNotMasked) {
    IMG *image = text("IMG{\nP3\n1 1\n255\n256 0 1\n}\n");
    static const uint32_t want[1] = {0x01000001};
    EXPECT_TRUE(grid_equals(image, 1, 1, want));
    img_del(&image);
}

TEST(ImgText, MissingMarkersGiveNull) {
    EXPECT_EQ(text("IMG{}"), nullptr);
    EXPECT_EQ(text("IMx{\nP3\n1 1\n255\n1 2 3\n}\n"), nullptr);
    EXPECT_EQ(text("IMG\nP3\n1 1\n255\n1 2 3\n}\n"), nullptr);
    EXPECT_EQ(text("IMG{\nP6\n1 1\n255\n1 2 3\n}\n"), nullptr);
    EXPECT_EQ(text(""), nullptr);
    EXPECT_EQ(img_from_text(nullptr), nullptr);
}

TEST(ImgText, TruncatedTextGivesNull) {
    EXPECT_EQ(text("IMG{\nP3\n"), nullptr);
    EXPECT_EQ(text("IMG{\nP3\n2"), nullptr);
    EXPECT_EQ(text("IMG{\nP3\n2 1"), nullptr);
    EXPECT_EQ(text("IMG{\nP3\n2 1\n255"), nullptr);
    EXPECT_EQ(text("IMG{\nP3\n2 1\n255\n1 2 3 4 5"), nullptr);
    EXPECT_EQ(text("IMG{\nP3\n2 1\n255\n1 2 3 4 5 "), nullptr);
}

TEST(ImgText, HugeOrOverflowingSizesGiveNull) {
    EXPECT_EQ(text("IMG{\nP3\n99999 99999\n255\n1 2 3\n}\n"), nullptr);
    EXPECT_EQ(text("IMG{\nP3\n99999999999 1\n255\n1 2 3\n}\n"), nullptr);
    EXPECT_EQ(text("IMG{\nP3\n65536 65536\n255\n1 2 3\n}\n"), nullptr);
}

TEST(ImgText, FindText) {
    EXPECT_EQ(img_find_text("xIMG{", "IMG"), 4);
    EXPECT_EQ(img_find_text("abc", "{"), 0);
    EXPECT_EQ(img_find_text("IMG", "IMG"), 3);
    EXPECT_EQ(img_find_text("aaab", "aab"), 4);
    EXPECT_EQ(img_find_text("ab", "abc"), 0);
    EXPECT_EQ(img_find_text("abc", ""), 0);
    EXPECT_EQ(img_find_text(nullptr, "a"), 0);
    EXPECT_EQ(img_find_text("a", nullptr), 0);
}

// ---- PNM in memory -----------------------------------------------------------

TEST(ImgPnm, P5WithComment) {
    IMG *image = pnm(BYTES("P5\n# any comment\n2 1\n255\n\x10\x20"));
    static const uint32_t want[2] = {0x00101010, 0x00202020};
    EXPECT_TRUE(grid_equals(image, 2, 1, want));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->x, 0);
    EXPECT_EQ(image->y, 0);
    img_del(&image);
}

TEST(ImgPnm, P4RowsRunOnAndWidthGrowsToWholeBytes) {
    IMG *image = pnm(BYTES("P4\n10 2\n\xFF\xC0\x80\x00"));
    std::vector<uint32_t> want(32, 0);
    for (int x = 0; x < 10; x++) want[x] = W;
    want[16] = W;
    EXPECT_TRUE(grid_equals(image, 16, 2, want.data()));
    img_del(&image);
}

TEST(ImgPnm, P1DigitsOneCharacterEach) {
    IMG *image = pnm("P1\n3 2\n1 0 1\n0 1 0\n");
    static const uint32_t want[6] = {W, 0, W, 0, W, 0};
    EXPECT_TRUE(grid_equals(image, 3, 2, want));
    img_del(&image);
    // Without separators each digit is a pixel; any digit but 0 is white.
    image = pnm("P1 # c\n3 2\n102\n090");
    static const uint32_t want2[6] = {W, 0, W, 0, W, 0};
    EXPECT_TRUE(grid_equals(image, 3, 2, want2));
    img_del(&image);
}

TEST(ImgPnm, P2GreyValues) {
    IMG *image = pnm("P2\n2 2\n255\n0 16\n255 128\n");
    static const uint32_t want[4] = {0, 0x00101010, 0x00FFFFFF, 0x00808080};
    EXPECT_TRUE(grid_equals(image, 2, 2, want));
    img_del(&image);
}

TEST(ImgPnm, P3Triples) {
    IMG *image = pnm("P3\n# c\n2 1\n255\n255 0 0  1 2 3\n");
    static const uint32_t want[2] = {0x00FF0000, 0x00010203};
    EXPECT_TRUE(grid_equals(image, 2, 1, want));
    img_del(&image);
}

TEST(ImgPnm, P6Bytes) {
    IMG *image = pnm(BYTES("P6\n2 1\n255\n\x0A\x0B\x0C\xFF\x00\x80"));
    static const uint32_t want[2] = {0x000A0B0C, 0x00FF0080};
    EXPECT_TRUE(grid_equals(image, 2, 1, want));
    img_del(&image);
}

TEST(ImgPnm, CommentsBetweenFieldsAndBinaryNoiseSkipped) {
    IMG *image = pnm(BYTES("\x01P5 2 # c 9 9\n\x80 1 #x\n255\n\x10\x20"));
    static const uint32_t want[2] = {0x00101010, 0x00202020};
    EXPECT_TRUE(grid_equals(image, 2, 1, want));
    img_del(&image);
}

TEST(ImgPnm, RasterStartsOneByteAfterLastNumber) {
    // The second newline is the first raster byte.
    IMG *image = pnm(BYTES("P5\n2 1\n255\n\n\x10"));
    static const uint32_t want[2] = {0x000A0A0A, 0x00101010};
    EXPECT_TRUE(grid_equals(image, 2, 1, want));
    img_del(&image);
}

TEST(ImgPnm, MaxvalIsNotApplied) {
    IMG *image = pnm("P2\n2 1\n15\n15 300\n");
    // 300 * 0x10101 is stored as it stands.
    static const uint32_t want[2] = {0x000F0F0F, 300u * 0x10101u};
    EXPECT_TRUE(grid_equals(image, 2, 1, want));
    img_del(&image);
}

TEST(ImgPnm, BadKindOrZeroSizeGivesNull) {
    EXPECT_EQ(pnm("P7\n1 1\n255\n"), nullptr);
    EXPECT_EQ(pnm("P0\n1 1\n255\n"), nullptr);
    EXPECT_EQ(pnm("P5\n0 4\n255\n"), nullptr);
    EXPECT_EQ(pnm("P5\n4 0\n255\n"), nullptr);
    EXPECT_EQ(pnm("P"), nullptr);
    EXPECT_EQ(pnm(""), nullptr);
    EXPECT_EQ(img_from_pnm(nullptr, 10), nullptr);
}

TEST(ImgPnm, TruncatedInputGivesNull) {
    EXPECT_EQ(pnm("P5\n2 "), nullptr);
    EXPECT_EQ(pnm("P5\n2 2\n255"), nullptr);
    EXPECT_EQ(pnm(BYTES("P5\n2 2\n255\n\x01\x02\x03")), nullptr);
    EXPECT_EQ(pnm(BYTES("P6\n2 1\n255\n\x01\x02\x03\x04\x05")), nullptr);
    EXPECT_EQ(pnm(BYTES("P4\n9 2\n\xFF\xFF\xFF")), nullptr);
    EXPECT_EQ(pnm("P3\n2 1\n255\n1 2 3 4 5"), nullptr);
    EXPECT_EQ(pnm("P2\n2 2\n255\n1 2 3"), nullptr);
    EXPECT_EQ(pnm("P1\n2 2\n1 0 1"), nullptr);
    EXPECT_EQ(pnm("P5 # comment without end"), nullptr);
}

TEST(ImgPnm, SizeArgumentBoundsTheRead) {
    std::string full("P5\n2 1\n255\n\x10\x20", 13);
    IMG *image = pnm(full);
    ASSERT_NE(image, nullptr);
    img_del(&image);
    // The same bytes, but the caller says one fewer: the last pixel is missing.
    EXPECT_EQ(img_from_pnm(full.data(), full.size() - 1), nullptr);
}

TEST(ImgPnm, HugeDeclaredSizeGivesNullWithoutAllocating) {
    EXPECT_EQ(pnm(BYTES("P5\n60000 60000\n255\n\x01\x02")), nullptr);
    EXPECT_EQ(pnm("P3\n40000 40000\n255\n1 2 3\n"), nullptr);
    EXPECT_EQ(pnm("P5\n99999999999 1\n255\n1"), nullptr);
    EXPECT_EQ(pnm("P4\n2147483647 1\n"), nullptr);
}

TEST(ImgPnm, StrayBytesEndTheHeaderInsteadOfLooping) {
    EXPECT_EQ(pnm("abc"), nullptr);
    EXPECT_EQ(pnm("1 2 3 x"), nullptr);
    // A P after the magic reads as an empty number (0) for the next field.
    EXPECT_EQ(pnm("P5 P 1 255\n\x01"), nullptr);
}

TEST(ImgPnm, NumbersBeforeMagicStillFillTheFields) {
    IMG *image = pnm("2 1 255 P5\n\x10\x20");
    static const uint32_t want[2] = {0x00101010, 0x00202020};
    EXPECT_TRUE(grid_equals(image, 2, 1, want));
    img_del(&image);
}

// ---- PNM from a file -----------------------------------------------------------

TEST(ImgLoadPnm, P5FromFile) {
    std::string path = write_temp("p5", BYTES("P5\n# any comment\n2 1\n255\n\x10\x20"));
    IMG *image = img_load_pnm(path.c_str());
    static const uint32_t want[2] = {0x00101010, 0x00202020};
    EXPECT_TRUE(grid_equals(image, 2, 1, want));
    img_del(&image);
    remove(path.c_str());
}

TEST(ImgLoadPnm, P4RowsStartOnFreshBytesAndKeepWidth) {
    std::string path = write_temp("p4", BYTES("P4\n10 2\n\xFF\xC0\x80\x00"));
    IMG *image = img_load_pnm(path.c_str());
    std::vector<uint32_t> want(20, 0);
    for (int x = 0; x < 10; x++) want[x] = W;
    want[10] = W;
    EXPECT_TRUE(grid_equals(image, 10, 2, want.data()));
    img_del(&image);
    remove(path.c_str());
}

TEST(ImgLoadPnm, P1PixelsAreWholeNumbers) {
    std::string path = write_temp("p1", "P1\n3 1\n10 0 1\n");
    IMG *image = img_load_pnm(path.c_str());
    static const uint32_t want[3] = {W, 0, W};
    EXPECT_TRUE(grid_equals(image, 3, 1, want));
    img_del(&image);
    remove(path.c_str());
    // The same bytes in memory take one digit per pixel.
    image = pnm("P1\n3 1\n10 0 1\n");
    static const uint32_t want_mem[3] = {W, 0, 0};
    EXPECT_TRUE(grid_equals(image, 3, 1, want_mem));
    img_del(&image);
}

TEST(ImgLoadPnm, AsciiKindsFromFile) {
    std::string path = write_temp("p3", "P3 2 2 255 1 2 3 4 5 6 7 8 9 250 251 252");
    IMG *image = img_load_pnm(path.c_str());
    static const uint32_t want[4] = {0x010203, 0x040506, 0x070809, 0xFAFBFC};
    EXPECT_TRUE(grid_equals(image, 2, 2, want));
    img_del(&image);
    remove(path.c_str());
    path = write_temp("p2", "P2 2 1 255 7 200");
    image = img_load_pnm(path.c_str());
    static const uint32_t want2[2] = {0x070707, 0xC8C8C8};
    EXPECT_TRUE(grid_equals(image, 2, 1, want2));
    img_del(&image);
    remove(path.c_str());
}

TEST(ImgLoadPnm, ShortOrBadFilesGiveNull) {
    const std::string bad[] = {"",
                               "P",
                               "P5\n2 2\n255\n",
                               BYTES("P5\n2 2\n255\n\x01\x02\x03"),
                               BYTES("P6\n1 1\n255\n\x01\x02"),
                               BYTES("P4\n9 2\n\xFF\xFF\xFF"),
                               "P3 1 1 255 1 2",
                               "P1 2 1 1",
                               "P9 1 1 255 0",
                               "P5 0 1 255 0",
                               "P5 60000 60000 255 0",
                               "abc"};
    int i = 0;
    for (const std::string &data : bad) {
        std::string path = write_temp(("bad" + std::to_string(i++)).c_str(), data);
        EXPECT_EQ(img_load_pnm(path.c_str()), nullptr) << data;
        remove(path.c_str());
    }
}

TEST(ImgLoadPnm, MissingFileOrNullNameGivesNull) {
    EXPECT_EQ(img_load_pnm(temp_path("does_not_exist").c_str()), nullptr);
    EXPECT_EQ(img_load_pnm(nullptr), nullptr);
    EXPECT_EQ(img_load_pnm("/dev/null"), nullptr);
}

// ---- PPM writer ----------------------------------------------------------------

TEST(ImgSavePpm, WritesHeaderCommentAndRawBytes) {
    static const uint32_t px[2] = {0x000A0B0C, 0xFFFFFFFF};
    IMG *image = grid_image(2, 1, px);
    std::string path = temp_path("out.ppm");
    EXPECT_EQ(img_save_ppm(image, path.c_str()), 1);
    std::string data = read_file(path);
    ASSERT_GE(data.size(), 4u);
    EXPECT_EQ(data.substr(0, 4), "P6\n#");
    size_t comment_end = data.find('\n', 3);
    ASSERT_NE(comment_end, std::string::npos);
    EXPECT_EQ(data.substr(comment_end + 1), BYTES("2 1\n255\n\x0A\x0B\x0C\xFF\xFF\xFF"));
    img_del(&image);
    remove(path.c_str());
}

TEST(ImgSavePpm, RoundTripThroughLoader) {
    random_srand(99);
    IMG *image = grid_image(13, 5);
    for (int i = 0; i < 65; i++) image->pixels[i] = (uint32_t)random_next() & 0xFFFFFF;
    std::string path = temp_path("round.ppm");
    ASSERT_EQ(img_save_ppm(image, path.c_str()), 1);
    IMG *back = img_load_pnm(path.c_str());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(img_compare(image, back), 1);
    img_del(&image);
    img_del(&back);
    remove(path.c_str());
}

TEST(ImgSavePpm, BadArgumentsWriteNothing) {
    std::string path = temp_path("never.ppm");
    IMG *image = grid_image(0, 3);
    EXPECT_EQ(img_save_ppm(image, path.c_str()), 0);
    img_resize(image, 3, 0);
    EXPECT_EQ(img_save_ppm(image, path.c_str()), 0);
    img_resize(image, -3, 2);
    EXPECT_EQ(img_save_ppm(image, path.c_str()), 0);
    EXPECT_EQ(img_save_ppm(nullptr, path.c_str()), 0);
    FILE *f = fopen(path.c_str(), "rb");
    EXPECT_EQ(f, nullptr);
    if (f) fclose(f);
    img_resize(image, 1, 1);
    EXPECT_EQ(img_save_ppm(image, nullptr), 0);
    EXPECT_EQ(img_save_ppm(image, "/nonexistent-dir/x/y.ppm"), 0);
    img_del(&image);
}
