// BYTEMAP tests: lifecycle, the text form, PNM decoding from memory and file,
// the PGM writer (also against netpbm and ImageMagick), blits, drawing and
// value operations. Expected values are worked out by hand from the rules.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sample.h"
#include "host/random.h"
#include "imaging/bytemap.h"
#include "imaging/img.h"
#include "tests/test_support.h"

namespace {

// A new map of the given size, filled from `values` (row-major) or zeros.
BYTEMAP *make_map(int32_t w, int32_t h, const std::vector<uint8_t> &values = {}) {
    BYTEMAP *map = bytemap_new();
    bytemap_resize(map, w, h);
    for (size_t i = 0; i < values.size(); i++) map->pixels[i] = values[i];
    return map;
}

// Compares a map with an expected array; on mismatch prints the grid of
// actual values with differing cells marked as actual*(expected).
::testing::AssertionResult map_equals(const BYTEMAP *map, int32_t w, int32_t h,
                                      const std::vector<uint8_t> &expected) {
    if (!map) return ::testing::AssertionFailure() << "null map";
    if (map->width != w || map->height != h)
        return ::testing::AssertionFailure()
               << "size " << map->width << "x" << map->height << ", expected " << w << "x" << h;
    bool same = true;
    std::string grid;
    char cell[24];
    for (int32_t y = 0; y < h; y++) {
        for (int32_t x = 0; x < w; x++) {
            uint8_t a = map->pixels[y * w + x], e = expected[(size_t)(y * w + x)];
            if (a == e)
                snprintf(cell, sizeof cell, "  %02X     ", a);
            else
                snprintf(cell, sizeof cell, " *%02X(%02X) ", a, e);
            same = same && a == e;
            grid += cell;
        }
        grid += "\n";
    }
    if (same) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\n" << grid;
}

BYTEMAP *from_pnm(const std::string &bytes) { return bytemap_from_pnm(bytes.data(), bytes.size()); }

}  // namespace

// ---- Lifecycle and access -------------------------------------------------------------

TEST(Bytemap, NewIsSixteenBySixteenZerosAtOrigin) {
    BYTEMAP *map = bytemap_new();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->x, 0);
    EXPECT_EQ(map->y, 0);
    EXPECT_TRUE(map_equals(map, 16, 16, std::vector<uint8_t>(256, 0)));
    bytemap_del(&map);
    EXPECT_EQ(map, nullptr);
    bytemap_del(&map);  // only reports
    bytemap_del(nullptr);
}

TEST(Bytemap, ResizeLosesContentsAndNegativeOrHugeSizesActAsFailedAllocation) {
    BYTEMAP *map = make_map(3, 2, {1, 2, 3, 4, 5, 6});
    bytemap_resize(map, 2, 2);
    EXPECT_TRUE(map_equals(map, 2, 2, {0, 0, 0, 0}));
    bytemap_resize(map, -1, 4);
    EXPECT_EQ(map->pixels, nullptr);
    EXPECT_EQ(map->width, -1);
    bytemap_set_pixel(map, 0, 0, 1);  // reports, writes nothing
    EXPECT_EQ(bytemap_get_pixel(map, 0, 0), 0);
    bytemap_resize(map, 65536, 65536);  // 2^32 values: more than a map may hold
    EXPECT_EQ(map->pixels, nullptr);
    EXPECT_EQ(bytemap_dup(map), nullptr);
    EXPECT_EQ(bytemap_to_text(map), nullptr);
    bytemap_resize(map, 0, 5);
    EXPECT_NE(map->pixels, nullptr);
    bytemap_del(&map);
}

TEST(Bytemap, PixelsOutsideAreDroppedAndReadAsZero) {
    BYTEMAP *map = make_map(3, 2);
    bytemap_set_pixel(map, 2, 1, 77);
    for (auto xy : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 2}}) {
        bytemap_set_pixel(map, xy.first, xy.second, 9);
        EXPECT_EQ(bytemap_get_pixel(map, xy.first, xy.second), 0);
    }
    EXPECT_TRUE(map_equals(map, 3, 2, {0, 0, 0, 0, 0, 77}));
    EXPECT_EQ(bytemap_get_pixel(nullptr, 0, 0), 0);
    bytemap_set_pixel(nullptr, 0, 0, 1);
    bytemap_del(&map);
}

TEST(Bytemap, DupCopyCompareAndClear) {
    BYTEMAP *a = make_map(2, 2, {1, 2, 3, 4});
    a->x = 5;
    BYTEMAP *b = bytemap_dup(a);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->x, 0);
    EXPECT_TRUE(bytemap_compare(a, b));
    bytemap_set_pixel(b, 1, 1, 9);
    EXPECT_FALSE(bytemap_compare(a, b));
    bytemap_copy(a, b);
    EXPECT_TRUE(map_equals(b, 2, 2, {1, 2, 3, 4}));
    BYTEMAP *c = make_map(2, 1, {7, 7});
    bytemap_copy(a, c);  // size mismatch: reported, unchanged
    EXPECT_TRUE(map_equals(c, 2, 1, {7, 7}));
    EXPECT_FALSE(bytemap_compare(a, c));
    bytemap_clear(a);
    EXPECT_TRUE(map_equals(a, 2, 2, {0, 0, 0, 0}));
    bytemap_resize(c, -1, -1);
    EXPECT_FALSE(bytemap_compare(c, c));  // absent pixels: reported, false
    EXPECT_FALSE(bytemap_compare(a, nullptr));
    EXPECT_EQ(bytemap_dup(nullptr), nullptr);
    bytemap_del(&a);
    bytemap_del(&b);
    bytemap_del(&c);
}

// ---- Text form -------------------------------------------------------------------------

TEST(BytemapText, OnePixelTextAndBack) {
    BYTEMAP *map = make_map(1, 1, {200});
    char *text = bytemap_to_text(map);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "BYTEMAP{\nP3\n1 1\n255\n200 200 200\n}\n");
    BYTEMAP *back = bytemap_from_text(text);
    EXPECT_TRUE(map_equals(back, 1, 1, {200}));
    free(text);
    bytemap_del(&map);
    bytemap_del(&back);
}

TEST(BytemapText, SixPixelsALineAndRightAlignedFields) {
    BYTEMAP *map = make_map(7, 1, {0, 5, 10, 99, 100, 255, 7});
    char *text = bytemap_to_text(map);
    EXPECT_STREQ(text,
                 "BYTEMAP{\nP3\n7 1\n255\n"
                 "  0   0   0   5   5   5  10  10  10  99  99  99 100 100 100 255 255 255\n"
                 "  7   7   7\n}\n");
    BYTEMAP *back = bytemap_from_text(text);
    EXPECT_TRUE(bytemap_compare(map, back));
    free(text);
    bytemap_del(&map);
    bytemap_del(&back);
}

TEST(BytemapText, EmptyMapHasTheShortFormWhichDoesNotParse) {
    BYTEMAP *map = make_map(0, 3);
    char *text = bytemap_to_text(map);
    EXPECT_STREQ(text, "BYTEMAP{}");
    EXPECT_EQ(bytemap_from_text(text), nullptr);
    free(text);
    bytemap_del(&map);
}

TEST(BytemapText, ReaderTakesTheMeanOfEachTriple) {
    // (10 + 20 + 31) / 3 = 20; (0 + 0 + 2) / 3 = 0; (255 + 255 + 254) / 3 = 254.
    BYTEMAP *map = bytemap_from_text("junk BYTEMAP { P3\n3 1\n255\n10 20 31\n0 0 2 255 255 254}");
    EXPECT_TRUE(map_equals(map, 3, 1, {20, 0, 254}));
    bytemap_del(&map);
}

TEST(BytemapText, MalformedOrShortTextsGiveNull) {
    EXPECT_EQ(bytemap_from_text(nullptr), nullptr);
    EXPECT_EQ(bytemap_from_text("IMG{\nP3\n1 1\n255\n1 1 1\n}\n"), nullptr);    // no BYTEMAP
    EXPECT_EQ(bytemap_from_text("BYTEMAP\nP3\n1 1\n255\n1 1 1\n"), nullptr);   // no brace
    EXPECT_EQ(bytemap_from_text("BYTEMAP{\nP2\n1 1\n255\n1 1 1\n}\n"), nullptr);
    EXPECT_EQ(bytemap_from_text("BYTEMAP{\nP3\n2 1\n255\n1 1 1\n}\n"), nullptr);  // one pixel short
    EXPECT_EQ(bytemap_from_text("BYTEMAP{\nP3\n2 1"), nullptr);                   // ends in the header
    EXPECT_EQ(bytemap_from_text("BYTEMAP{\nP3\n99999 99999\n255\n1 2 3\n}"), nullptr);
    EXPECT_EQ(bytemap_from_text("BYTEMAP{\nP3\n99999999999 1\n255\n1 2 3\n}"), nullptr);
}

TEST(BytemapText, FindTextGivesTheIndexAfterTheMatch) {
    EXPECT_EQ(bytemap_find_text("xBYTEMAP{", "BYTEMAP"), 8);
    EXPECT_EQ(bytemap_find_text("abc", "{"), 0);
    EXPECT_EQ(bytemap_find_text("IMG", "IMG"), 3);
    EXPECT_EQ(bytemap_find_text(nullptr, "a"), 0);
}

// ---- PNM from memory -------------------------------------------------------------------------

TEST(BytemapPnm, P6PixelBecomesTheMeanOfItsChannels) {
    BYTEMAP *map = from_pnm(std::string("P6\n1 1\n255\n") + "\x1e\x3c\x5a");  // 30 60 90
    EXPECT_TRUE(map_equals(map, 1, 1, {60}));
    bytemap_del(&map);
}

TEST(BytemapPnm, P4InMemoryWidensRowsToWholeBytesAndSetBitsAre255) {
    BYTEMAP *map = from_pnm(std::string("P4\n1 1\n") + "\x80");
    EXPECT_TRUE(map_equals(map, 8, 1, {255, 0, 0, 0, 0, 0, 0, 0}));
    bytemap_del(&map);
    // Width 10 becomes 16: row 0 set in columns 0..9, row 1 in column 0 only.
    map = from_pnm(std::string("P4\n10 2\n") + std::string("\xFF\xC0\x80\x00", 4));
    std::vector<uint8_t> expected(32, 0);
    for (int x = 0; x < 10; x++) expected[(size_t)x] = 255;
    expected[16] = 255;
    EXPECT_TRUE(map_equals(map, 16, 2, expected));
    bytemap_del(&map);
}

TEST(BytemapPnm, P5WithCommentAndP2P3P1Values) {
    BYTEMAP *map = from_pnm("P5\n# any comment\n2 1\n255\n\x10\x20");
    EXPECT_TRUE(map_equals(map, 2, 1, {0x10, 0x20}));
    bytemap_del(&map);
    map = from_pnm("P2\n3 1\n255\n0 17 255\n");
    EXPECT_TRUE(map_equals(map, 3, 1, {0, 17, 255}));
    bytemap_del(&map);
    map = from_pnm("P3 2 1 255 30 60 90 1 1 2\n");  // means 60 and 1
    EXPECT_TRUE(map_equals(map, 2, 1, {60, 1}));
    bytemap_del(&map);
    map = from_pnm("P1\n3 2\n010\n201\n");  // in memory one digit per pixel, non-zero set
    EXPECT_TRUE(map_equals(map, 3, 2, {0, 255, 0, 255, 0, 255}));
    bytemap_del(&map);
}

TEST(BytemapPnm, BadKindZeroSizeAndShortDataGiveNull) {
    EXPECT_EQ(from_pnm("P7\n1 1\n255\n"), nullptr);
    EXPECT_EQ(from_pnm("P5\n0 4\n255\n"), nullptr);
    EXPECT_EQ(from_pnm("P5\n2 2\n255\n\x01\x02\x03"), nullptr);          // one byte short
    EXPECT_EQ(from_pnm("P6\n1 1\n255\n\x01\x02"), nullptr);
    EXPECT_EQ(from_pnm("P2\n2 1\n255\n7"), nullptr);
    EXPECT_EQ(from_pnm("P5\n2 1"), nullptr);                              // ends in the header
    EXPECT_EQ(from_pnm("P5\n99999 99999\n255\n\x01"), nullptr);           // refused before allocating
    EXPECT_EQ(from_pnm("P5 4294967297 1 255 x"), nullptr);                // size beyond 32 bits
    EXPECT_EQ(from_pnm("1 2 3 x"), nullptr);                              // stray byte, no magic
    EXPECT_EQ(bytemap_from_pnm(nullptr, 4), nullptr);
    EXPECT_EQ(from_pnm(""), nullptr);
}

TEST(BytemapPnm, ReadsNoFurtherThanTheGivenLength) {
    // The buffer holds both raster bytes but the length given ends after one.
    const char data[] = "P5\n2 1\n255\n\x10\x20";
    EXPECT_EQ(bytemap_from_pnm(data, sizeof data - 2), nullptr);
    BYTEMAP *map = bytemap_from_pnm(data, sizeof data - 1);
    EXPECT_TRUE(map_equals(map, 2, 1, {0x10, 0x20}));
    bytemap_del(&map);
}

// ---- Files ------------------------------------------------------------------------------------

TEST(BytemapFile, SavePgmWritesTheHeaderAndTheBytes) {
    TempDir dir("test_bytemap");
    BYTEMAP *map = make_map(3, 2, {0, 10, 13, 255, 128, 1});
    std::string path = dir.file("m.pgm");
    EXPECT_TRUE(bytemap_save_pgm(map, path.c_str()));
    EXPECT_EQ(read_file(path), std::string("P5\n3 2\n255\n\x00\x0a\x0d\xff\x80\x01", 17));
    BYTEMAP *back = bytemap_load_pnm(path.c_str());
    EXPECT_TRUE(bytemap_compare(map, back));
    bytemap_del(&map);
    bytemap_del(&back);
}

TEST(BytemapFile, SavePgmRefusesEmptyOrMissingMapsAndUnwritableFiles) {
    TempDir dir("test_bytemap");
    std::string path = dir.file("x.pgm");
    BYTEMAP *map = make_map(0, 2);
    EXPECT_FALSE(bytemap_save_pgm(map, path.c_str()));
    EXPECT_EQ(access(path.c_str(), F_OK), -1);
    bytemap_resize(map, -3, 2);
    EXPECT_FALSE(bytemap_save_pgm(map, path.c_str()));
    bytemap_resize(map, 2, 2);
    EXPECT_FALSE(bytemap_save_pgm(map, (dir.path + "/no/such/dir.pgm").c_str()));
    EXPECT_FALSE(bytemap_save_pgm(nullptr, path.c_str()));
    EXPECT_FALSE(bytemap_save_pgm(map, nullptr));
    bytemap_del(&map);
}

TEST(BytemapFile, LoadP4RowsStartOnFreshBytesAndP1ValuesAreNumbers) {
    TempDir dir("test_bytemap");
    std::string p4 = dir.file("a.pbm"), p1 = dir.file("b.pbm");
    write_file(p4, std::string("P4\n10 2\n") + std::string("\xFF\xC0\x80\x00", 4));
    BYTEMAP *map = bytemap_load_pnm(p4.c_str());
    std::vector<uint8_t> expected(20, 255);
    for (int x = 1; x < 10; x++) expected[(size_t)(10 + x)] = 0;
    EXPECT_TRUE(map_equals(map, 10, 2, expected));
    bytemap_del(&map);
    write_file(p1, "P1\n3 1\n10 0 01\n");
    map = bytemap_load_pnm(p1.c_str());
    EXPECT_TRUE(map_equals(map, 3, 1, {255, 0, 255}));
    bytemap_del(&map);
}

TEST(BytemapFile, TruncatedCorruptAndMissingFilesGiveNull) {
    TempDir dir("test_bytemap");
    std::string path = dir.file("t.pgm");
    EXPECT_EQ(bytemap_load_pnm(dir.file("absent.pgm").c_str()), nullptr);
    EXPECT_EQ(bytemap_load_pnm(nullptr), nullptr);
    write_file(path, "P5\n4 4\n255\n0123456789");  // 10 of 16 bytes
    EXPECT_EQ(bytemap_load_pnm(path.c_str()), nullptr);
    write_file(path, "P6\n2 1\n255\n\x01\x02\x03\x04\x05");
    EXPECT_EQ(bytemap_load_pnm(path.c_str()), nullptr);
    write_file(path, "P3\n1 1\n255\n1 2");
    EXPECT_EQ(bytemap_load_pnm(path.c_str()), nullptr);
    write_file(path, "P4\n9 2\n\xff\x80\xff");  // rows of two bytes: one byte short
    EXPECT_EQ(bytemap_load_pnm(path.c_str()), nullptr);
    write_file(path, "P9\n1 1\n255\n\x01");
    EXPECT_EQ(bytemap_load_pnm(path.c_str()), nullptr);
    write_file(path, "P5\n65536 65536\n255\n\x01");
    EXPECT_EQ(bytemap_load_pnm(path.c_str()), nullptr);
    write_file(path, "");
    EXPECT_EQ(bytemap_load_pnm(path.c_str()), nullptr);
}

TEST(BytemapFile, TextRoundTripThroughAFile) {
    TempDir dir("test_bytemap");
    BYTEMAP *map = make_map(4, 3);
    for (int i = 0; i < 12; i++) map->pixels[i] = (uint8_t)(i * 23);
    char *text = bytemap_to_text(map);
    std::string path = dir.file("m.txt");
    write_file(path, text);
    std::string read = read_file(path);
    BYTEMAP *back = bytemap_from_text(read.c_str());
    EXPECT_TRUE(bytemap_compare(map, back));
    free(text);
    bytemap_del(&map);
    bytemap_del(&back);
}

// ---- Files made by other tools, and other tools reading ours ----------------------------------

TEST(BytemapTools, NetpbmRawPgmAndPpmLoad) {
    if (!have_tool("pnmtopnm") || !have_tool("ppmmake")) GTEST_SKIP() << "netpbm missing";
    TempDir dir("test_bytemap");
    std::string plain = dir.file("plain.pgm"), raw = dir.file("raw.pgm"), ppm = dir.file("c.ppm");
    write_file(plain, "P2\n3 2\n255\n0 128 255\n1 2 3\n");
    ASSERT_EQ(std::system(("pnmtopnm '" + plain + "' > '" + raw + "' 2>/dev/null").c_str()), 0);
    EXPECT_EQ(read_file(raw).substr(0, 2), "P5");
    BYTEMAP *map = bytemap_load_pnm(raw.c_str());
    EXPECT_TRUE(map_equals(map, 3, 2, {0, 128, 255, 1, 2, 3}));
    bytemap_del(&map);
    // rgb:1e/3c/5a is 30, 60, 90: the mean is 60.
    ASSERT_EQ(std::system(("ppmmake rgb:1e/3c/5a 2 2 > '" + ppm + "' 2>/dev/null").c_str()), 0);
    map = bytemap_load_pnm(ppm.c_str());
    EXPECT_TRUE(map_equals(map, 2, 2, {60, 60, 60, 60}));
    bytemap_del(&map);
}

TEST(BytemapTools, NetpbmGreyAndPlainFilesLoad) {
    if (!have_tool("pgmmake") || !have_tool("pnmtopnm") || !have_tool("ppmmake"))
        GTEST_SKIP() << "netpbm missing";
    TempDir dir("test_bytemap");
    std::string white = dir.file("w.pgm"), black = dir.file("k.pgm");
    // Grey level 1 is the maxval 255, grey level 0 is 0.
    ASSERT_EQ(std::system(("pgmmake 1 4 2 > '" + white + "' 2>/dev/null").c_str()), 0);
    ASSERT_EQ(std::system(("pgmmake 0 2 3 > '" + black + "' 2>/dev/null").c_str()), 0);
    BYTEMAP *map = bytemap_load_pnm(white.c_str());
    EXPECT_TRUE(map_equals(map, 4, 2, std::vector<uint8_t>(8, 255)));
    bytemap_del(&map);
    map = bytemap_load_pnm(black.c_str());
    EXPECT_TRUE(map_equals(map, 2, 3, std::vector<uint8_t>(6, 0)));
    bytemap_del(&map);
    // Plain (ASCII) forms: P2 from a grey file, P3 from rgb:0a/14/1f = 10, 20, 31.
    std::string ours = dir.file("ours.pgm"), plain = dir.file("plain.pgm");
    std::string ppm = dir.file("c.ppm"), plain_ppm = dir.file("plain.ppm");
    BYTEMAP *src = make_map(3, 1, {7, 70, 250});
    ASSERT_TRUE(bytemap_save_pgm(src, ours.c_str()));
    ASSERT_EQ(std::system(("pnmtopnm -plain '" + ours + "' > '" + plain + "' 2>/dev/null").c_str()), 0);
    EXPECT_EQ(read_file(plain).substr(0, 2), "P2");
    map = bytemap_load_pnm(plain.c_str());
    EXPECT_TRUE(bytemap_compare(src, map));
    bytemap_del(&map);
    ASSERT_EQ(std::system(("ppmmake rgb:0a/14/1f 1 2 > '" + ppm + "' && pnmtopnm -plain '" + ppm +
                           "' > '" + plain_ppm + "' 2>/dev/null").c_str()), 0);
    EXPECT_EQ(read_file(plain_ppm).substr(0, 2), "P3");
    map = bytemap_load_pnm(plain_ppm.c_str());
    EXPECT_TRUE(map_equals(map, 1, 2, {20, 20}));  // (10 + 20 + 31) / 3
    bytemap_del(&map);
    bytemap_del(&src);
}

TEST(BytemapTools, NetpbmBitmapReadsSetBitsAs255) {
    if (!have_tool("pbmmake")) GTEST_SKIP() << "netpbm missing";
    TempDir dir("test_bytemap");
    std::string pbm = dir.file("b.pbm");
    // A black PBM has every bit set; each 10-pixel row is padded to 2 bytes.
    ASSERT_EQ(std::system(("pbmmake -black 10 2 > '" + pbm + "' 2>/dev/null").c_str()), 0);
    BYTEMAP *map = bytemap_load_pnm(pbm.c_str());
    EXPECT_TRUE(map_equals(map, 10, 2, std::vector<uint8_t>(20, 255)));
    bytemap_del(&map);
    std::string data = read_file(pbm);
    map = bytemap_from_pnm(data.data(), data.size());  // in memory rows are taken as 16 wide
    std::vector<uint8_t> expected(32, 0);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 10; x++) expected[(size_t)(y * 16 + x)] = 255;
    EXPECT_TRUE(map_equals(map, 16, 2, expected));
    bytemap_del(&map);
}

TEST(BytemapTools, ImageMagickPpmAndPbmLoad) {
    if (!have_tool("convert")) GTEST_SKIP() << "ImageMagick missing";
    TempDir dir("test_bytemap");
    std::string ppm = dir.file("c.ppm"), src = dir.file("s.pgm"), pbm = dir.file("t.pbm");
    ASSERT_EQ(std::system(("convert -size 3x2 'xc:rgb(30,60,90)' -depth 8 '" + ppm + "' 2>/dev/null").c_str()), 0);
    BYTEMAP *map = bytemap_load_pnm(ppm.c_str());
    EXPECT_TRUE(map_equals(map, 3, 2, std::vector<uint8_t>(6, 60)));
    bytemap_del(&map);
    // Thresholded at half: dark pixels become black, which PBM stores as 1,
    // and a set bit reads as 255 here.
    write_file(src, "P2\n3 2\n255\n0 200 10\n255 255 0\n");
    ASSERT_EQ(std::system(("convert '" + src + "' -threshold 50% '" + pbm + "' 2>/dev/null").c_str()), 0);
    map = bytemap_load_pnm(pbm.c_str());
    EXPECT_TRUE(map_equals(map, 3, 2, {255, 0, 255, 0, 0, 255}));
    bytemap_del(&map);
}

TEST(BytemapTools, OurPgmIsAcceptedByNetpbmAndImageMagick) {
    if (!have_tool("pamfile") || !have_tool("identify")) GTEST_SKIP() << "netpbm or ImageMagick missing";
    TempDir dir("test_bytemap");
    BYTEMAP *map = make_map(5, 3);
    for (int i = 0; i < 15; i++) map->pixels[i] = (uint8_t)(i * 17);
    std::string path = dir.file("ours.pgm");
    ASSERT_TRUE(bytemap_save_pgm(map, path.c_str()));
    int status = -1;
    std::string info = run("pamfile '" + path + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << info;
    EXPECT_NE(info.find("PGM raw, 5 by 3  maxval 255"), std::string::npos) << info;
    info = run("identify -format '%m %w %h %[fx:maxima*255]' '" + path + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << info;
    EXPECT_EQ(info, "PGM 5 3 238") << info;  // the largest value is 14 * 17
    // And what ImageMagick writes back of it is the same map.
    std::string copy = dir.file("copy.pgm");
    ASSERT_EQ(std::system(("convert '" + path + "' -depth 8 '" + copy + "' 2>/dev/null").c_str()), 0);
    BYTEMAP *back = bytemap_load_pnm(copy.c_str());
    EXPECT_TRUE(bytemap_compare(map, back));
    bytemap_del(&map);
    bytemap_del(&back);
}

// ---- Blits ----------------------------------------------------------------------------------------

TEST(BytemapBlit, ClipsAtTheTopLeftAndSkipsZeros) {
    BYTEMAP *src = make_map(4, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 12, 13, 14, 15, 16});
    BYTEMAP *dst = make_map(4, 4, std::vector<uint8_t>(16, 99));
    bytemap_blit(src, dst, 0, 0, -2, -2, 4, 4);
    // The bottom-right 2 x 2 (0, 12, 15, 16) lands top left; 0 is skipped.
    EXPECT_TRUE(map_equals(dst, 4, 4,
                           {99, 12, 99, 99, 15, 16, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99}));
    bytemap_blit_opaque(src, dst, 0, 0, 2, 2, 4, 4);  // clipped at the bottom right, 0 copied
    EXPECT_TRUE(map_equals(dst, 4, 4,
                           {99, 12, 99, 99, 15, 16, 99, 99, 99, 99, 1, 2, 99, 99, 5, 6}));
    bytemap_blit(src, dst, -1, 0, 0, 0, 3, 1);  // sx = -1, w = 3: two columns, the first at dx + 1
    EXPECT_TRUE(map_equals(dst, 4, 4,
                           {99, 1, 2, 99, 15, 16, 99, 99, 99, 99, 1, 2, 99, 99, 5, 6}));
    bytemap_blit(src, dst, 0, 0, 4, 0, 4, 4);  // wholly outside: nothing
    EXPECT_TRUE(map_equals(dst, 4, 4,
                           {99, 1, 2, 99, 15, 16, 99, 99, 99, 99, 1, 2, 99, 99, 5, 6}));
    // A huge rectangle is clipped to both maps; the source 0 at (2, 2) keeps the 1 there.
    bytemap_blit(src, dst, 0, 0, 0, 0, INT32_MAX, INT32_MAX);
    EXPECT_TRUE(map_equals(dst, 4, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 12, 13, 14, 15, 16}));
    bytemap_blit(nullptr, dst, 0, 0, 0, 0, 1, 1);
    bytemap_del(&src);
    bytemap_del(&dst);
}

TEST(BytemapBlit, SpacedPlacesEveryValueStepsApart) {
    BYTEMAP *src = make_map(2, 2, {1, 0, 3, 4});
    BYTEMAP *dst = make_map(5, 3);
    bytemap_blit_spaced(src, dst, 0, 0, 1, 0, 2, 2, 3, 2);
    EXPECT_TRUE(map_equals(dst, 5, 3, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 4}));
    bytemap_blit_spaced(src, dst, 0, 0, -3, 0, 2, 2, 3, 2);  // first column falls off the left
    EXPECT_TRUE(map_equals(dst, 5, 3, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 4, 3, 0, 0, 4}));
    bytemap_blit_spaced(src, dst, 0, 0, 0, 0, 2, 2, 0, 1);  // step 0: reported
    EXPECT_EQ(bytemap_get_pixel(dst, 0, 0), 0);
    bytemap_del(&src);
    bytemap_del(&dst);
}

TEST(BytemapBlit, RowAndColumnWrapCopies) {
    BYTEMAP *src = make_map(3, 3, {1, 2, 0, 4, 5, 6, 7, 0, 9});
    BYTEMAP *dst = make_map(8, 3, std::vector<uint8_t>(24, 0x10));
    bytemap_blit_row_wrap(src, dst, 0, 1, -1);  // pixel 0 at column 7, 1 at column 0, 0 skipped
    EXPECT_EQ(bytemap_get_pixel(dst, 7, 1), 1);
    EXPECT_EQ(bytemap_get_pixel(dst, 0, 1), 2);
    EXPECT_EQ(bytemap_get_pixel(dst, 1, 1), 0x10);
    bytemap_or_row_wrap(src, dst, 1, 2, 6);  // columns 6, 7, 0 OR 4, 5, 6
    EXPECT_EQ(bytemap_get_pixel(dst, 6, 2), 0x14);
    EXPECT_EQ(bytemap_get_pixel(dst, 7, 2), 0x15);
    EXPECT_EQ(bytemap_get_pixel(dst, 0, 2), 0x16);
    bytemap_blit_column_wrap(src, dst, 1, 3, 2);  // 2, 5, 0 to rows 2, 0, (1 skipped)
    EXPECT_EQ(bytemap_get_pixel(dst, 3, 2), 2);
    EXPECT_EQ(bytemap_get_pixel(dst, 3, 0), 5);
    EXPECT_EQ(bytemap_get_pixel(dst, 3, 1), 0x10);
    BYTEMAP *before = bytemap_dup(dst);
    bytemap_blit_row_wrap(src, dst, 3, 0, 0);   // source row outside: reported
    bytemap_blit_row_wrap(src, dst, 0, -1, 0);  // target row outside
    bytemap_blit_column_wrap(src, dst, 0, 8, 0);
    EXPECT_TRUE(bytemap_compare(before, dst));
    bytemap_del(&src);
    bytemap_del(&dst);
    bytemap_del(&before);
}

TEST(BytemapBlit, WrapIntoATargetWithoutColumnsOrRowsTakesNothing) {
    // The wrap position is taken modulo the target's width (height): a target
    // of width (height) 0 must take nothing rather than divide by zero.
    BYTEMAP *src = make_map(2, 2, {1, 2, 3, 4});
    BYTEMAP *no_columns = make_map(0, 3);
    bytemap_blit_row_wrap(src, no_columns, 0, 1, 5);
    bytemap_or_row_wrap(src, no_columns, 1, 2, -3);
    EXPECT_TRUE(map_equals(no_columns, 0, 3, {}));
    BYTEMAP *no_rows = make_map(3, 0);
    bytemap_blit_column_wrap(src, no_rows, 1, 2, 7);
    EXPECT_TRUE(map_equals(no_rows, 3, 0, {}));
    bytemap_del(&src);
    bytemap_del(&no_columns);
    bytemap_del(&no_rows);
}

TEST(BytemapBlit, DrawBlendAveragesZerosToo) {
    BYTEMAP *src = make_map(2, 2, {0, 255, 100, 3});
    BYTEMAP *dst = make_map(3, 3, std::vector<uint8_t>(9, 50));
    bytemap_draw_blend(src, dst, 1, 1);
    // (0 + 50) / 2 = 25, (255 + 50) / 2 = 152, (100 + 50) / 2 = 75, (3 + 50) / 2 = 26.
    EXPECT_TRUE(map_equals(dst, 3, 3, {50, 50, 50, 50, 25, 152, 50, 75, 26}));
    bytemap_draw_blend(src, dst, -1, -1);  // only the bottom-right value is covered
    EXPECT_TRUE(map_equals(dst, 3, 3, {26, 50, 50, 50, 25, 152, 50, 75, 26}));
    bytemap_draw_blend(src, dst, -2, 0);  // x + width < 1: nothing
    bytemap_draw_blend(src, dst, 3, 0);   // x >= width: nothing
    EXPECT_TRUE(map_equals(dst, 3, 3, {26, 50, 50, 50, 25, 152, 50, 75, 26}));
    bytemap_del(&src);
    bytemap_del(&dst);
}

TEST(BytemapBlit, AndMasksSameSizedMapsOnly) {
    BYTEMAP *mask = make_map(2, 1, {0x0F, 0xF0});
    BYTEMAP *dst = make_map(2, 1, {0xAB, 0xAB});
    bytemap_and(mask, dst);
    EXPECT_TRUE(map_equals(dst, 2, 1, {0x0B, 0xA0}));
    BYTEMAP *other = make_map(1, 2, {0xFF, 0xFF});
    bytemap_and(mask, other);  // different size: reported
    EXPECT_TRUE(map_equals(other, 1, 2, {0xFF, 0xFF}));
    bytemap_del(&mask);
    bytemap_del(&dst);
    bytemap_del(&other);
}

TEST(BytemapResample, ScaleDoublesAndHalves) {
    BYTEMAP *small = make_map(2, 2, {1, 2, 3, 4});
    BYTEMAP *big = make_map(4, 4);
    bytemap_scale(small, big);
    EXPECT_TRUE(map_equals(big, 4, 4, {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
    BYTEMAP *src = make_map(4, 4);
    for (int i = 0; i < 16; i++) src->pixels[i] = (uint8_t)i;
    bytemap_scale(src, small);  // takes (1, 1), (3, 1), (1, 3), (3, 3)
    EXPECT_TRUE(map_equals(small, 2, 2, {5, 7, 13, 15}));
    bytemap_resize(big, -1, 2);
    bytemap_scale(src, big);  // target without pixels: reported
    bytemap_del(&small);
    bytemap_del(&big);
    bytemap_del(&src);
}

TEST(BytemapResample, RotateByZeroIsAHalfTurnOnALargerMap) {
    BYTEMAP *src = make_map(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    // New size (3 * 92667) >> 16 = 4. With c = table[768] = -32766 and s = 0,
    // column x reads source column 1 + ((x - 2) * -32766 >> 15): 2, 1, 1, 0.
    BYTEMAP *turned = bytemap_rotate(src, 0);
    EXPECT_TRUE(map_equals(turned, 4, 4, {9, 8, 8, 7, 6, 5, 5, 4, 6, 5, 5, 4, 3, 2, 2, 1}));
    bytemap_del(&turned);
    // A quarter (256): source x = 1 - f(y - 2), source y = 1 + f(x - 2).
    turned = bytemap_rotate(src, 256);
    EXPECT_TRUE(map_equals(turned, 4, 4, {7, 4, 4, 1, 8, 5, 5, 2, 8, 5, 5, 2, 9, 6, 6, 3}));
    bytemap_del(&turned);
    BYTEMAP *wide = make_map(100, 50);
    turned = bytemap_rotate(wide, 17);
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(turned->width, 141);
    EXPECT_EQ(turned->height, 70);
    EXPECT_EQ(bytemap_rotate(nullptr, 0), nullptr);
    bytemap_del(&turned);
    bytemap_del(&wide);
    bytemap_del(&src);
}

TEST(BytemapResample, RunLengthsAndLinePointsAsForImages) {
    int32_t *runs = bytemap_run_lengths(5, 3);
    ASSERT_NE(runs, nullptr);
    EXPECT_EQ(runs[0], 2);
    EXPECT_EQ(runs[1], 2);
    EXPECT_EQ(runs[2], 1);
    free(runs);
    int32_t *points = bytemap_line_points(0, 0, 2, 1);
    ASSERT_NE(points, nullptr);
    const int32_t expected[] = {6, 0, 0, 1, 1, 2, 1};
    for (int i = 0; i < 7; i++) EXPECT_EQ(points[i], expected[i]) << i;
    free(points);
}

// ---- Drawing ---------------------------------------------------------------------------------------

TEST(BytemapDraw, FillRectWithNegativeWidthAndClipping) {
    BYTEMAP *map = make_map(6, 2);
    bytemap_fill_rect(map, 5, 0, -3, 1, 7);  // columns 2, 3, 4
    EXPECT_TRUE(map_equals(map, 6, 2, {0, 0, 7, 7, 7, 0, 0, 0, 0, 0, 0, 0}));
    bytemap_fill_rect(map, -5, 1, 6, 5, 9);  // x = -5, w = 6: column 0 only; rows clipped
    EXPECT_TRUE(map_equals(map, 6, 2, {0, 0, 7, 7, 7, 0, 9, 0, 0, 0, 0, 0}));
    bytemap_fill_rect(map, -5, 0, 5, 2, 1);  // x + w < 1: nothing
    bytemap_fill_rect(map, 0, 2, 6, 1, 1);   // y >= height: nothing
    EXPECT_TRUE(map_equals(map, 6, 2, {0, 0, 7, 7, 7, 0, 9, 0, 0, 0, 0, 0}));
    // h = INT32_MIN moves y to 1 - 2^31 with height 2^31: the rows up to 0,
    // worked out without overflow.
    bytemap_fill_rect(map, 4, 1, INT32_MAX, INT32_MIN, 3);
    EXPECT_TRUE(map_equals(map, 6, 2, {0, 0, 7, 7, 3, 3, 9, 0, 0, 0, 0, 0}));
    bytemap_del(&map);
}

TEST(BytemapDraw, FillRectInsideAndRectDrawOnlyWhollyInside) {
    BYTEMAP *map = make_map(4, 3);
    bytemap_fill_rect_inside(map, 1, 1, 3, 2, 5);
    EXPECT_TRUE(map_equals(map, 4, 3, {0, 0, 0, 0, 0, 5, 5, 5, 0, 5, 5, 5}));
    bytemap_fill_rect_inside(map, 2, 0, 3, 1, 6);  // one past the right edge: reported
    bytemap_fill_rect_inside(map, 0, 0, 0, 1, 6);  // w = 0: reported
    bytemap_rect(map, 0, 0, 4, 4, 8);              // one past the bottom: reported
    EXPECT_TRUE(map_equals(map, 4, 3, {0, 0, 0, 0, 0, 5, 5, 5, 0, 5, 5, 5}));
    bytemap_rect(map, 0, 0, 4, 3, 8);
    EXPECT_TRUE(map_equals(map, 4, 3, {8, 8, 8, 8, 8, 5, 5, 8, 8, 8, 8, 8}));
    bytemap_del(&map);
}

TEST(BytemapDraw, HlineAndVlineIncludeBothEnds) {
    BYTEMAP *map = make_map(7, 3);
    bytemap_hline(map, 2, 0, 3, 1);   // columns 2..5
    bytemap_hline(map, -2, 1, 3, 2);  // columns 0 and 1
    bytemap_hline(map, 5, 2, 10, 3);  // columns 5 and 6
    EXPECT_TRUE(map_equals(map, 7, 3,
                           {0, 0, 1, 1, 1, 1, 0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 3}));
    BYTEMAP *before = bytemap_dup(map);
    bytemap_hline(map, 0, 3, 2, 9);    // row outside: reported
    bytemap_hline(map, -4, 0, 3, 9);   // x + len < 0
    bytemap_hline(map, 7, 0, 1, 9);    // x >= width
    bytemap_vline(map, 7, 0, 1, 9);    // column outside
    bytemap_vline(map, 0, -5, 2, 9);   // y + len < 0
    EXPECT_TRUE(bytemap_compare(before, map));
    bytemap_vline(map, 6, -1, 1, 4);   // rows 0 and (-1 dropped)
    bytemap_vline(map, 0, 1, 8, 5);    // rows 1 and 2
    EXPECT_TRUE(map_equals(map, 7, 3,
                           {0, 0, 1, 1, 1, 1, 4, 5, 2, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 3, 3}));
    bytemap_del(&map);
    bytemap_del(&before);
}

TEST(BytemapDraw, LineLeavesOutItsEndPointInEitherDirection) {
    BYTEMAP *map = make_map(4, 4);
    bytemap_line(map, 0, 0, 3, 0, 1);
    bytemap_line(map, 3, 1, 0, 1, 2);
    EXPECT_TRUE(map_equals(map, 4, 4, {1, 1, 1, 0, 2, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    bytemap_del(&map);
}

TEST(BytemapDraw, LineSlopesInSixteenDotSixteen) {
    BYTEMAP *map = make_map(5, 4);
    // Shallow, step 2/4 = 0x8000 from y = 0x8000: rows 0, 1, 1, 2.
    bytemap_line(map, 0, 0, 4, 2, 1);
    EXPECT_TRUE(map_equals(map, 5, 4, {1, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
    bytemap_clear(map);
    // Rising: step -0x8000 from 0x38000: rows 3, 3, 2, 2.
    bytemap_line(map, 0, 3, 4, 1, 2);
    EXPECT_TRUE(map_equals(map, 5, 4, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 0, 2, 2, 0, 0, 0}));
    bytemap_clear(map);
    // Steep: x step 65536 / 3 = 21845 from 0x8000: columns 0, 0, 1 on rows 0, 1, 2.
    bytemap_line(map, 0, 0, 1, 3, 3);
    EXPECT_TRUE(map_equals(map, 5, 4, {3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0}));
    bytemap_clear(map);
    bytemap_line(map, 2, 2, 2, 2, 4);  // both ends equal: the one point
    EXPECT_EQ(bytemap_get_pixel(map, 2, 2), 4);
    bytemap_del(&map);
}

TEST(BytemapDraw, LongLinesFromFarOutsideAreClippedExactly) {
    BYTEMAP *map = make_map(4, 4);
    bytemap_line(map, -1000000, 0, 3, 0, 1);   // columns 0, 1, 2
    bytemap_line(map, 3, -1000000, 3, 2, 2);   // rows 0 and 1 of column 3
    // (0, -6) to (2, 3): step 131072 / 9 = 14563; at row 0 x = 0x8000 + 6 * 14563
    // = 120146 (column 1), row 1 134709 (2), row 2 149272 (2).
    bytemap_line(map, 0, -6, 2, 3, 3);
    EXPECT_TRUE(map_equals(map, 4, 4, {1, 3, 1, 2, 0, 0, 3, 2, 0, 0, 3, 0, 0, 0, 0, 0}));
    BYTEMAP *before = bytemap_dup(map);
    bytemap_line(map, -5, 0, -1, 3, 9);  // x1 < 0: reported
    bytemap_line(map, 4, 0, 9, 3, 9);    // x0 >= width
    bytemap_line(map, 0, -1, 3, -9, 9);  // both rows above
    bytemap_line(map, 0, 4, 3, 9, 9);    // both rows below
    EXPECT_TRUE(bytemap_compare(before, map));
    bytemap_line(map, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 5);  // the diagonal, no overflow
    EXPECT_EQ(bytemap_get_pixel(map, 0, 0), 5);
    EXPECT_EQ(bytemap_get_pixel(map, 3, 3), 5);
    bytemap_del(&map);
    bytemap_del(&before);
}

TEST(BytemapDraw, CircleSineOfRadiusOneAndTwo) {
    BYTEMAP *map = make_map(5, 5);
    // Radius 1: every table value times 1 shifts to 0, so a = b = 0 and the
    // points are (cx - 1, cy) and (cx, cy).
    bytemap_circle_sine(map, 2, 2, 1, 1);
    std::vector<uint8_t> expected(25, 0);
    expected[11] = expected[12] = 1;
    EXPECT_TRUE(map_equals(map, 5, 5, expected));
    bytemap_clear(map);
    // Radius 2: a = 1 from index 86 (table value 16498 >= 16384), b = 1 up
    // to index 169; the points fill columns cx - 1 and cx on rows cy - 1..cy + 1.
    bytemap_circle_sine(map, 2, 2, 2, 2);
    expected.assign(25, 0);
    for (int y = 1; y <= 3; y++) expected[(size_t)(y * 5 + 1)] = expected[(size_t)(y * 5 + 2)] = 2;
    EXPECT_TRUE(map_equals(map, 5, 5, expected));
    bytemap_circle_sine(map, 5, 2, 2, 9);  // centre outside: reported
    bytemap_circle_sine(map, 2, 2, 0, 9);  // r = 0: reported
    EXPECT_TRUE(map_equals(map, 5, 5, expected));
    bytemap_del(&map);
}

// ---- Value operations -----------------------------------------------------------------------------

TEST(BytemapValues, AddWrapsSubStopsAtZeroReplaceAndInvert) {
    BYTEMAP *map = make_map(3, 1, {250, 5, 0});
    bytemap_add_value(map, 10);
    EXPECT_TRUE(map_equals(map, 3, 1, {4, 15, 10}));
    bytemap_sub_value(map, 10);
    EXPECT_TRUE(map_equals(map, 3, 1, {0, 5, 0}));
    bytemap_add_value(map, -1);  // -1 wraps like 255
    EXPECT_TRUE(map_equals(map, 3, 1, {255, 4, 255}));
    bytemap_replace_value(map, 255, 7);
    EXPECT_TRUE(map_equals(map, 3, 1, {7, 4, 7}));
    bytemap_invert(map);
    EXPECT_TRUE(map_equals(map, 3, 1, {248, 251, 248}));
    bytemap_sub_value(map, INT32_MIN);  // subtracting a huge negative saturates at 255
    EXPECT_TRUE(map_equals(map, 3, 1, {255, 255, 255}));
    bytemap_add_value(nullptr, 1);
    bytemap_del(&map);
}

TEST(BytemapValues, RemapThroughATableOfAtLeast256) {
    BYTEMAP *map = make_map(3, 1, {0, 1, 255});
    BYTEMAP *table = make_map(16, 16);
    for (int i = 0; i < 256; i++) table->pixels[i] = (uint8_t)(255 - i / 2);
    bytemap_remap(map, table);
    EXPECT_TRUE(map_equals(map, 3, 1, {255, 255, 128}));
    BYTEMAP *short_table = make_map(15, 17);  // 255 values: reported
    bytemap_remap(map, short_table);
    EXPECT_TRUE(map_equals(map, 3, 1, {255, 255, 128}));
    bytemap_del(&map);
    bytemap_del(&table);
    bytemap_del(&short_table);
}

TEST(BytemapValues, NoiseDrawsFromTheLastValueToTheFirst) {
    // The generator: state = state * 214013 + 2531011, draw = (state >> 16) &
    // 0x7FFF, and random_next = first draw << 15 | second draw.
    uint32_t state = 1234;
    auto draw = [&] {
        state = state * 214013u + 2531011u;
        return (int32_t)((state >> 16) & 0x7FFF);
    };
    int32_t n[3];
    for (int k = 0; k < 3; k++) {
        int32_t hi = draw();
        n[k] = hi << 15 | draw();
    }
    BYTEMAP *map = make_map(3, 1);
    random_srand(1234);
    bytemap_noise(map, 100, 0x3F);
    EXPECT_TRUE(map_equals(map, 3, 1,
                           {(uint8_t)(100 + (n[2] & 0x3F)), (uint8_t)(100 + (n[1] & 0x3F)),
                            (uint8_t)(100 + (n[0] & 0x3F))}));
    random_srand(1234);
    bytemap_noise(map, 250, 0xFF);  // wraps mod 256
    EXPECT_EQ(map->pixels[2], (uint8_t)(250 + (n[0] & 0xFF)));
    bytemap_noise(nullptr, 0, 0);
    bytemap_del(&map);
}

TEST(BytemapValues, ToImgColoursThroughAPalette) {
    BYTEMAP *map = make_map(2, 1, {0, 255});
    IMG *image = img_new();
    img_resize(image, 2, 1);
    SAMPLE *palette = sample_new();
    sample_set_count(palette, 256);
    for (int i = 0; i < 256; i++) sample_set(palette, i, i * 0x010203);
    bytemap_to_img(map, image, palette);
    EXPECT_EQ(image->pixels[0], 0u);
    EXPECT_EQ(image->pixels[1], 255u * 0x010203u);
    sample_set_count(palette, 255);  // too small: reported, nothing drawn
    image->pixels[0] = 7;
    bytemap_to_img(map, image, palette);
    EXPECT_EQ(image->pixels[0], 7u);
    sample_set_count(palette, 256);
    img_resize(image, 1, 2);  // different shape
    bytemap_to_img(map, image, palette);
    EXPECT_EQ(image->pixels[0], 0u);
    bytemap_del(&map);
    img_del(&image);
    sample_del(&palette);
}
