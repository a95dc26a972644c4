// SAM tests: WAV reading (hand-built files and files made by sox), the WAV
// writer (checked byte for byte and by sox and ffprobe), the SAM text and
// binary formats in both directions, headerless data, the reader fallback,
// truncated and corrupt files, rendering with a loop and normalising.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sam.h"
#include "audio/sample.h"
#include "tests/test_support.h"

namespace {

std::string le16(uint32_t v) { return std::string{(char)(v & 0xFF), (char)((v >> 8) & 0xFF)}; }
std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

// A canonical 44-byte WAV header with the given fields, then `data`.
std::string wav(uint32_t format, uint32_t channels, uint32_t bits, uint32_t data_size,
                const std::string &data) {
    uint32_t align = channels * bits / 8;
    return "RIFF" + le32(36 + data_size) + "WAVEfmt " + le32(16) + le16(format) + le16(channels) +
           le32(44100) + le32(44100 * align) + le16(align) + le16(bits) + "data" + le32(data_size) +
           data;
}

SAMPLE *make_sample(const std::vector<int32_t> &values) {
    SAMPLE *s = sample_new();
    for (int32_t v : values) sample_push(s, v);
    return s;
}

std::vector<int32_t> values_of(const SAMPLE *s) {
    std::vector<int32_t> out;
    if (s)
        for (int32_t i = 0; i < s->count; i++) out.push_back(s->data[i]);
    return out;
}

// A record named `path`, optionally holding `values`.
SAM *sam_for(const std::string &path, const std::vector<int32_t> *values = nullptr) {
    SAM *s = sam_new();
    sam_set_name(s, path.c_str());
    if (values) sam_set_sample(s, make_sample(*values));
    return s;
}

// Loads `path` into a fresh record; the values, or {-999} when loading fails.
std::vector<int32_t> load(const std::string &path) {
    SAM *s = sam_for(path);
    std::vector<int32_t> out = sam_load(s) ? values_of(s->sample) : std::vector<int32_t>{-999};
    EXPECT_EQ(s->file, nullptr);
    sam_del(&s);
    return out;
}

}  // namespace

// ---- Record ------------------------------------------------------------------------------

TEST(Sam, NewRecordIsZeroAndDelClearsTheHandle) {
    SAM *s = sam_new();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->sample, nullptr);
    EXPECT_EQ(s->name, nullptr);
    EXPECT_EQ(s->file, nullptr);
    EXPECT_EQ(s->position, 0);
    sam_set_sample(s, make_sample({1}));
    sam_set_sample(s, make_sample({2, 3}));  // the first one is destroyed
    sam_set_name(s, "a.wav");
    sam_set_name(s, "b.sam");
    EXPECT_STREQ(s->name, "b.sam");
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{2, 3}));
    sam_set_sample(s, nullptr);  // reported; the sample stays
    EXPECT_NE(s->sample, nullptr);
    sam_del(&s);
    EXPECT_EQ(s, nullptr);
    sam_del(&s);
    sam_del(nullptr);
}

TEST(Sam, EmptyRecordOperations) {
    SAM *a = sam_new(), *b = sam_new();
    EXPECT_EQ(sam_to_text(a), nullptr);
    EXPECT_EQ(sam_to_text(nullptr), nullptr);
    EXPECT_TRUE(sam_compare(a, b));
    EXPECT_FALSE(sam_compare(a, nullptr));
    a->position = 7;
    sam_copy(a, b);
    EXPECT_EQ(b->position, 0);
    sam_del(&a);
    sam_del(&b);
}

TEST(Sam, EndsWithIgnoresLetterCase) {
    EXPECT_TRUE(sam_ends_with("LOOP.WAV", "wav"));
    EXPECT_TRUE(sam_ends_with("x.Sam", "sam"));
    EXPECT_TRUE(sam_ends_with("wav", "wav"));
    EXPECT_FALSE(sam_ends_with("av", "wav"));
    EXPECT_FALSE(sam_ends_with("x.wave", "wav"));
    EXPECT_FALSE(sam_ends_with(nullptr, "wav"));
}

// ---- WAV reader ------------------------------------------------------------------------------

TEST(SamWav, SixteenBitMonoGivesTheSignedValues) {
    TempDir dir("test_sam");
    std::string path = dir.file("a.wav");
    write_file(path, wav(1, 1, 16, 8, std::string("\x01\x00\xff\xff\x00\x80\xff\x7f", 8)));
    SAM *s = sam_for(path);
    ASSERT_TRUE(sam_load(s));
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{1, -1, -32768, 32767}));
    EXPECT_EQ(s->channels, 1);
    EXPECT_EQ(s->sample_width, 16);
    EXPECT_EQ(s->sign, 's');
    EXPECT_EQ(s->order, 'l');
    EXPECT_EQ(s->file, nullptr);
    sam_del(&s);
}

TEST(SamWav, EightBitValuesAreNotRecentred) {
    TempDir dir("test_sam");
    std::string path = dir.file("b.wav");
    write_file(path, wav(1, 2, 8, 4, std::string("\x00\x7f\x80\xff", 4)));
    SAM *s = sam_for(path);
    ASSERT_TRUE(sam_read_wav(s));
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{0, 127, 128, 255}));
    EXPECT_EQ(s->channels, 2);
    EXPECT_EQ(s->sign, 'u');
    sam_del(&s);
}

TEST(SamWav, TwentyFourAndThirtyTwoBitValuesAreDecoded) {
    TempDir dir("test_sam");
    std::string p24 = dir.file("c.wav"), p32 = dir.file("d.wav");
    write_file(p24, wav(1, 1, 24, 9, std::string("\x01\x00\x00\xff\xff\xff\x00\x00\x80", 9)));
    EXPECT_EQ(load(p24), (std::vector<int32_t>{1, -1, -8388608}));
    write_file(p32, wav(1, 1, 32, 8, std::string("\x01\x00\xff\xff\x00\x80\xff\x7f", 8)));
    // 0xFFFF0001 and 0x7FFF8000.
    EXPECT_EQ(load(p32), (std::vector<int32_t>{-65535, 2147450880}));
}

TEST(SamWav, FormatThreeIsRefusedAndLeavesNoFileOpen) {
    TempDir dir("test_sam");
    std::string path = dir.file("f.wav");
    write_file(path, wav(3, 1, 32, 4, std::string("\0\0\x80\x3f", 4)));
    SAM *s = sam_for(path);
    sam_set_sample(s, make_sample({42}));
    EXPECT_FALSE(sam_read_wav(s));
    EXPECT_EQ(s->file, nullptr);
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{42}));  // untouched
    sam_del(&s);
}

TEST(SamWav, HeadersThatWouldDivideByZeroOrReadPastTheFileAreRefused) {
    TempDir dir("test_sam");
    std::string path = dir.file("h.wav");
    auto refused = [&](const std::string &bytes) {
        write_file(path, bytes);
        SAM *s = sam_for(path);
        bool ok = sam_read_wav(s);
        EXPECT_EQ(s->file, nullptr);
        sam_del(&s);
        return !ok;
    };
    EXPECT_TRUE(refused(wav(1, 1, 0, 4, "abcd")));    // width 0
    EXPECT_TRUE(refused(wav(1, 1, 4, 4, "abcd")));    // width / 8 would be 0
    EXPECT_TRUE(refused(wav(1, 1, 12, 4, "abcd")));   // no whole number of bytes
    EXPECT_TRUE(refused(wav(1, 0, 16, 4, "abcd")));   // no channel
    EXPECT_TRUE(refused(wav(1, 1, 16, 4, "abcd").substr(0, 43)));  // header cut short
    std::string no_data = wav(1, 1, 16, 4, "abcd");
    no_data[36] = 'D';
    EXPECT_TRUE(refused(no_data));
    std::string not_riff = wav(1, 1, 16, 4, "abcd");
    not_riff[0] = 'X';
    EXPECT_TRUE(refused(not_riff));
    EXPECT_TRUE(refused(""));
}

TEST(SamWav, DataSizeBeyondTheFileReadsOnlyWhatIsThere) {
    TempDir dir("test_sam");
    std::string path = dir.file("t.wav");
    // The header claims 4 GiB; the file holds two values and half of a third.
    write_file(path, wav(1, 1, 16, 0xFFFFFFF0u, std::string("\x05\x00\x06\x00\x07", 5)));
    SAM *s = sam_for(path);
    ASSERT_TRUE(sam_load(s));
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{5, 6}));
    EXPECT_LE(s->sample->capacity, 64);  // nothing reserved for the claimed size
    sam_del(&s);
    // A data size smaller than the file stops there.
    write_file(path, wav(1, 1, 16, 2, std::string("\x05\x00\x06\x00", 4)));
    EXPECT_EQ(load(path), (std::vector<int32_t>{5}));
}

TEST(SamWav, FilesMadeBySoxLoad) {
    if (!have_tool("sox")) GTEST_SKIP() << "sox missing";
    TempDir dir("test_sam");
    std::string raw = dir.file("in.raw"), w16 = dir.file("s16.wav"), w24 = dir.file("s24.wav"),
                w32 = dir.file("s32.wav");
    write_file(raw, std::string("\x01\x00\xff\xff\x00\x80\xff\x7f\x01\x00\x00\xff", 12));
    std::string in = "sox -t raw -r 44100 -e signed -c 1 -L ";
    ASSERT_EQ(std::system((in + "-b 16 '" + raw + "' '" + w16 + "'").c_str()), 0);
    EXPECT_EQ(load(w16), (std::vector<int32_t>{1, -1, -32768, 32767, 1, -256}));
    ASSERT_EQ(std::system((in + "-b 24 '" + raw + "' -t wavpcm '" + w24 + "'").c_str()), 0);
    // 01 00 ff, ff 00 80, ff 7f 01, 00 00 ff.
    EXPECT_EQ(load(w24), (std::vector<int32_t>{-65535, -8388353, 98303, -65536}));
    ASSERT_EQ(std::system((in + "-b 32 '" + raw + "' -t wavpcm '" + w32 + "'").c_str()), 0);
    EXPECT_EQ(load(w32), (std::vector<int32_t>{-65535, 2147450880, -16777215}));
}

// ---- WAV writer ---------------------------------------------------------------------------------

TEST(SamWavWrite, SavingToAWavNameWritesACanonicalPcmFile) {
    TempDir dir("test_sam");
    std::string path = dir.file("out.WAV");
    std::vector<int32_t> values = {1, -2};
    SAM *s = sam_for(path, &values);
    ASSERT_TRUE(sam_save(s));
    EXPECT_EQ(s->file, nullptr);
    std::string expected = std::string("RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0", 24) +
                           std::string("\x44\xac\0\0\x88\x58\x01\0\x02\0\x10\0data\x04\0\0\0", 20) +
                           std::string("\x01\x00\xfe\xff", 4);
    EXPECT_EQ(read_file(path), expected);
    sam_del(&s);
    EXPECT_EQ(load(path), values);
}

TEST(SamWavWrite, ValuesSaturateAndChannelsPadTheLastFrame) {
    TempDir dir("test_sam");
    std::string path = dir.file("st.wav");
    std::vector<int32_t> values = {40000, -40000, 7};
    SAM *s = sam_for(path, &values);
    s->channels = 2;
    ASSERT_TRUE(sam_save(s));
    sam_del(&s);
    std::string bytes = read_file(path);
    ASSERT_EQ(bytes.size(), 44u + 8u);
    EXPECT_EQ(bytes.substr(22, 2), le16(2));          // channels
    EXPECT_EQ(bytes.substr(28, 4), le32(44100 * 4));  // byte rate
    EXPECT_EQ(bytes.substr(32, 2), le16(4));          // block align
    EXPECT_EQ(bytes.substr(40, 4), le32(8));          // two frames
    s = sam_for(path);
    ASSERT_TRUE(sam_load(s));
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{32767, -32768, 7, 0}));
    EXPECT_EQ(s->channels, 2);
    sam_del(&s);
}

TEST(SamWavWrite, SoxAndFfprobeAcceptOurWav) {
    if (!have_tool("sox") || !have_tool("ffprobe")) GTEST_SKIP() << "sox or ffprobe missing";
    TempDir dir("test_sam");
    std::string path = dir.file("ours.wav");
    std::vector<int32_t> values;
    for (int i = 0; i < 441; i++) values.push_back((i % 50) * 600 - 15000);
    SAM *s = sam_for(path, &values);
    ASSERT_TRUE(sam_save(s));
    sam_del(&s);
    int status = -1;
    std::string info = run("sox --i '" + path + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << info;
    EXPECT_NE(info.find("Channels       : 1"), std::string::npos) << info;
    EXPECT_NE(info.find("Sample Rate    : 44100"), std::string::npos) << info;
    EXPECT_NE(info.find("441 samples"), std::string::npos) << info;
    EXPECT_NE(info.find("16-bit Signed Integer PCM"), std::string::npos) << info;
    info = run("ffprobe -v error -show_entries stream=codec_name,channels,sample_rate,duration_ts "
               "-of default=nw=1 '" + path + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << info;
    EXPECT_EQ(info, "codec_name=pcm_s16le\nsample_rate=44100\nchannels=1\nduration_ts=441\n");
    // sox reads back exactly our values: turn the file into raw 16-bit data.
    std::string raw = dir.file("back.raw");
    ASSERT_EQ(std::system(("sox '" + path + "' -t raw -e signed -b 16 -L '" + raw + "'").c_str()), 0);
    std::string bytes = read_file(raw);
    ASSERT_EQ(bytes.size(), 882u);
    for (int i = 0; i < 441; i++) {
        int16_t v = (int16_t)((uint8_t)bytes[(size_t)(2 * i)] | (uint8_t)bytes[(size_t)(2 * i + 1)] << 8);
        EXPECT_EQ(v, values[(size_t)i]) << i;
    }
}

TEST(SamWavWrite, NothingToWriteOrAnUnwritableFileFails) {
    TempDir dir("test_sam");
    SAM *s = sam_for(dir.file("x.wav"));
    EXPECT_FALSE(sam_save(s));  // no sample
    std::vector<int32_t> values = {1};
    sam_del(&s);
    s = sam_for(dir.path + "/missing/dir/x.wav", &values);
    EXPECT_FALSE(sam_save(s));
    EXPECT_EQ(s->file, nullptr);
    s->channels = 40000;  // beyond the 16-bit block align of a WAV file
    sam_set_name(s, dir.file("y.wav").c_str());
    EXPECT_FALSE(sam_save(s));
    EXPECT_FALSE(sam_save(nullptr));
    sam_del(&s);
}

// ---- SAM format ---------------------------------------------------------------------------------

TEST(SamFormat, AsciiFileIsWrittenAsGivenAndReadsBack) {
    TempDir dir("test_sam");
    std::string path = dir.file("t.sam");
    std::vector<int32_t> values = {5, -7, 0, 123456};
    SAM *s = sam_for(path, &values);
    s->encoding = 'A';
    ASSERT_TRUE(sam_save(s));
    sam_del(&s);
    EXPECT_EQ(read_file(path),
              "SAM\nASCII\nsigned\nbits 16\nlittle endian\nchanels 1\n4\n5\n-7\n0\n123456\n");
    s = sam_for(path);
    ASSERT_TRUE(sam_load(s));
    EXPECT_EQ(values_of(s->sample), values);
    EXPECT_EQ(s->sample_width, 16);
    EXPECT_EQ(s->channels, 1);
    EXPECT_EQ(s->sign, 's');
    EXPECT_EQ(s->encoding, 'A');
    EXPECT_EQ(s->order, 'l');
    sam_del(&s);
}

TEST(SamFormat, BinaryFileIsLowByteFirstAndReadsBack) {
    TempDir dir("test_sam");
    std::string path = dir.file("b.dat");
    std::vector<int32_t> values = {1, -2, 32767, -32768, 70000};
    SAM *s = sam_for(path, &values);
    s->encoding = 'b';
    ASSERT_TRUE(sam_save(s));
    sam_del(&s);
    EXPECT_EQ(read_file(path),
              std::string("SAM\nbinary\nsigned\nbits 16\nlittle endian\nchanels 1\n5\n") +
                  std::string("\x01\x00\xfe\xff\xff\x7f\x00\x80\x70\x11", 10));
    // 70000 keeps its low 16 bits, 0x1170 = 4464.
    EXPECT_EQ(load(path), (std::vector<int32_t>{1, -2, 32767, -32768, 4464}));
}

TEST(SamFormat, UnknownEncodingWritesOnlyTheFirstLine) {
    TempDir dir("test_sam");
    std::string path = dir.file("u.sam");
    std::vector<int32_t> values = {1};
    SAM *s = sam_for(path, &values);
    s->encoding = 'x';
    EXPECT_FALSE(sam_save(s));
    EXPECT_EQ(s->file, nullptr);
    sam_del(&s);
    EXPECT_EQ(read_file(path), "SAM\n");
}

TEST(SamFormat, BinaryVariantPicksTheSmallestWidthAndReadsBack) {
    TempDir dir("test_sam");
    std::string path = dir.file("v.raw");
    std::vector<int32_t> values = {1, -1};
    SAM *s = sam_for(path, &values);
    ASSERT_TRUE(sam_save(s));
    sam_del(&s);
    EXPECT_EQ(read_file(path), std::string("SAM\nbinary\n2\n8\n\x01\xff", 17));
    EXPECT_EQ(load(path), values);
    struct Case { std::vector<int32_t> values; const char *width; std::string body; };
    const Case cases[] = {
        {{128, -129}, "16", std::string("\x00\x80\xff\x7f", 4)},
        {{-32769}, "24", std::string("\xff\x7f\xff", 3)},
        {{8388608, INT32_MIN}, "32", std::string("\x00\x80\x00\x00\x80\x00\x00\x00", 8)},
    };
    for (const Case &c : cases) {
        s = sam_for(path, &c.values);
        ASSERT_TRUE(sam_write_sam_binary(s));
        sam_del(&s);
        EXPECT_EQ(read_file(path), "SAM\nbinary\n" + std::to_string(c.values.size()) + "\n" +
                                       c.width + "\n" + c.body);
        EXPECT_EQ(load(path), c.values);
    }
}

TEST(SamFormat, WidthLineWriterUsesHighByteFirst) {
    TempDir dir("test_sam");
    std::string path = dir.file("w.bin");
    std::vector<int32_t> small = {1, -1}, medium = {1000, -2}, large = {40000};
    SAM *s = sam_for(path, &small);
    ASSERT_TRUE(sam_write_width(s));
    EXPECT_EQ(read_file(path), std::string("8\n\x01\xff", 4));
    sam_set_sample(s, make_sample(medium));
    ASSERT_TRUE(sam_write_width(s));
    EXPECT_EQ(read_file(path), std::string("16\n\x03\xe8\xff\xfe", 7));
    sam_set_sample(s, make_sample(large));
    EXPECT_FALSE(sam_write_width(s));
    EXPECT_EQ(read_file(path), "");
    EXPECT_EQ(s->file, nullptr);
    sam_del(&s);
}

TEST(SamFormat, HeaderWordsAndNumbersInAnyOrderWithComments) {
    TempDir dir("test_sam");
    std::string path = dir.file("h.sam");
    // Letters and three numbers: width, count, channels in that order.
    write_file(path, "# made by hand\nsam a s 16 3 2\n10 -20\n30 40\n");
    SAM *s = sam_for(path);
    ASSERT_TRUE(sam_load(s));
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{10, -20, 30}));
    EXPECT_EQ(s->sample_width, 16);
    EXPECT_EQ(s->channels, 2);
    EXPECT_EQ(s->order, 'm');
    sam_del(&s);
    // Binary without an order word is high byte first.
    write_file(path, std::string("SAM\nB\nS\n16 2 1\n") + std::string("\x01\x02\xff\xfe", 4));
    EXPECT_EQ(load(path), (std::vector<int32_t>{258, -2}));
    // Unsigned values are not sign-extended; labels place the numbers.
    write_file(path, std::string("SAM binary unsigned chanels 1 bits 16 2\n") +
                          std::string("\x01\x02\xff\xfe", 4));
    EXPECT_EQ(load(path), (std::vector<int32_t>{258, 65534}));
    write_file(path, std::string("SAM b s little endian bits 24 2 chanels 1\n") +
                          std::string("\x01\x00\x80\xff\xff\xff", 6));
    EXPECT_EQ(load(path), (std::vector<int32_t>{-8388607, -1}));
}

TEST(SamFormat, TruncatedAndCorruptSamFiles) {
    TempDir dir("test_sam");
    std::string path = dir.file("c.sam");
    SAM *s = sam_for(path);
    write_file(path, "SAM\nASCII\nsigned\nbits 16\n");  // ends before the count
    EXPECT_FALSE(sam_read_sam(s));
    EXPECT_EQ(s->file, nullptr);
    write_file(path, "SAM a s 0 2 1\n1 2\n");  // width 0
    EXPECT_FALSE(sam_read_sam(s));
    write_file(path, "SAM a s 33 2 1\n1 2\n");  // width beyond 32 bits
    EXPECT_FALSE(sam_read_sam(s));
    write_file(path, "SAM a s 16 99999999999 1\n1 2\n");  // count beyond 32 bits
    EXPECT_FALSE(sam_read_sam(s));
    EXPECT_EQ(s->sample, nullptr);
    // A body shorter than its count: reading stops at the end of the file.
    write_file(path, "SAM a s 16 2000000000 1\n1 2\n");
    ASSERT_TRUE(sam_read_sam(s));
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{1, 2}));
    write_file(path, std::string("SAM\nbinary\nsigned\nbits 16\nlittle endian\nchanels 1\n3\n") +
                          std::string("\x01\x00\x02", 3));
    ASSERT_TRUE(sam_read_sam(s));
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{1}));
    EXPECT_LE(s->sample->capacity, 32);
    sam_del(&s);
}

// ---- Headerless data and the reader fallback ---------------------------------------------------

TEST(SamHeaderless, ValuesByTheRecordsOwnWidthOrderAndSign) {
    TempDir dir("test_sam");
    std::string path = dir.file("d.pcm");
    write_file(path, std::string("\x01\x02\xff\xfe\x07", 5));
    SAM *s = sam_for(path);
    s->sample_width = 16;
    s->order = 'm';
    s->sign = 's';
    ASSERT_TRUE(sam_load(s));  // no known ending: WAV and SAM fail, headerless reads
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{258, -2}));  // the odd byte is dropped
    s->order = 'l';
    s->sign = 'u';
    ASSERT_TRUE(sam_read_headerless(s));
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{513, 65279}));
    s->sample_width = 8;
    s->sign = 's';
    ASSERT_TRUE(sam_read_headerless(s));
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{1, 2, -1, -2, 7}));
    s->sample_width = 24;
    ASSERT_TRUE(sam_read_headerless(s));
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{-65023}));  // 0xFF0201 sign-extended
    s->sample_width = 12;
    EXPECT_FALSE(sam_read_headerless(s));
    s->sample_width = 16;
    s->order = 'x';
    EXPECT_FALSE(sam_read_headerless(s));
    EXPECT_EQ(s->file, nullptr);
    sam_del(&s);
}

TEST(SamLoad, TheEndingChoosesFirstAndTheOthersFollow) {
    TempDir dir("test_sam");
    std::string path = dir.file("really_sam.wav");
    write_file(path, "SAM a s 16 2 1\n4 5\n");
    EXPECT_EQ(load(path), (std::vector<int32_t>{4, 5}));
    std::string wav_path = dir.file("really_wav.sam");
    write_file(wav_path, wav(1, 1, 16, 2, std::string("\x09\x00", 2)));
    EXPECT_EQ(load(wav_path), (std::vector<int32_t>{9}));
    std::string junk = dir.file("junk.bin");
    write_file(junk, "nothing here");
    EXPECT_EQ(load(junk), (std::vector<int32_t>{-999}));  // headerless needs a width
    EXPECT_EQ(load(dir.file("absent.wav")), (std::vector<int32_t>{-999}));
    SAM *s = sam_new();
    EXPECT_FALSE(sam_load(s));  // neither a name nor a file
    EXPECT_FALSE(sam_load(nullptr));
    sam_del(&s);
}

TEST(SamLoad, AnAlreadyOpenFileIsReadAndClosed) {
    TempDir dir("test_sam");
    std::string path = dir.file("open.wav");
    write_file(path, wav(1, 1, 16, 4, std::string("\x03\x00\x04\x00", 4)));
    SAM *s = sam_new();
    s->file = fopen(path.c_str(), "rb");
    ASSERT_TRUE(sam_load(s));
    EXPECT_EQ(values_of(s->sample), (std::vector<int32_t>{3, 4}));
    EXPECT_EQ(s->file, nullptr);
    sam_del(&s);
}

// ---- Rendering ------------------------------------------------------------------------------------

TEST(SamRender, CopiesAheadWhileValuesRemainBeforeLoopEnd) {
    std::vector<int32_t> values = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    SAM *s = sam_for("x", &values);
    s->loop_start = 2;
    s->loop_end = 6;
    SAMPLE *out = sample_new();
    sam_render(s, out, 3);
    EXPECT_EQ(values_of(out), (std::vector<int32_t>{0, 10, 20}));
    EXPECT_EQ(s->position, 3);
    EXPECT_EQ(s->mode, 'l');
    sam_del(&s);
    sample_del(&out);
}

TEST(SamRender, ContinuesFromLoopStartOnceLoopEndIsReached) {
    std::vector<int32_t> values = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    SAM *s = sam_for("x", &values);
    s->loop_start = 2;
    s->loop_end = 6;
    s->position = 4;
    SAMPLE *out = make_sample({-1, -1, -1, -1, -1, -1, -1, -1, -1});
    // Two values remain before index 6, then whole loops of 20, 30, 40, 50
    // and a final part.
    sam_render(s, out, 7);
    EXPECT_EQ(values_of(out), (std::vector<int32_t>{40, 50, 20, 30, 40, 50, 20, -1, -1}));
    EXPECT_EQ(s->position, 3);
    sam_render(s, out, 4);  // 30, 40, 50 remain, then the loop starts again
    EXPECT_EQ(values_of(out), (std::vector<int32_t>{30, 40, 50, 20, 40, 50, 20, -1, -1}));
    EXPECT_EQ(s->position, 3);
    EXPECT_FALSE(sam_finished(s));
    sam_del(&s);
    sample_del(&out);
}

TEST(SamRender, WithoutALoopRangeValuesPastTheEndAreSilence) {
    std::vector<int32_t> values = {7, 8, 9};
    SAM *s = sam_for("x", &values);
    s->position = 1;
    SAMPLE *out = sample_new();
    sam_render(s, out, 4);
    EXPECT_EQ(values_of(out), (std::vector<int32_t>{8, 9, 0, 0}));
    EXPECT_EQ(s->position, 5);
    s->loop_start = 1;
    s->loop_end = 100;  // beyond the sample: loops at its end
    s->position = 2;
    sam_render(s, out, 4);
    EXPECT_EQ(values_of(out), (std::vector<int32_t>{9, 8, 9, 8}));
    sam_render(s, out, 0);   // rejected
    sam_render(s, out, -3);  // rejected
    sam_render(s, nullptr, 2);
    EXPECT_EQ(values_of(out), (std::vector<int32_t>{9, 8, 9, 8}));
    sam_del(&s);
    sample_del(&out);
}

TEST(SamRender, FinishedOnlyOutsideThePlayModesAtTheEnd) {
    std::vector<int32_t> values = {1, 2};
    SAM *s = sam_for("x", &values);
    EXPECT_FALSE(sam_finished(s));
    s->position = 2;
    EXPECT_TRUE(sam_finished(s));
    s->mode = 'p';
    EXPECT_FALSE(sam_finished(s));
    s->mode = 'l';
    EXPECT_FALSE(sam_finished(s));
    s->mode = 's';
    EXPECT_TRUE(sam_finished(s));
    EXPECT_FALSE(sam_finished(nullptr));
    sam_del(&s);
}

TEST(SamNormalize, PeakBecomesAbout32767Times32768) {
    // m = 200; 0x3FFF8000 / 200 = 1073709056 / 200 = 5368545.
    SAMPLE *s = make_sample({100, -200, 50});
    sam_normalize(&s);
    EXPECT_EQ(values_of(s), (std::vector<int32_t>{536854500, -1073709000, 268427250}));
    sample_del(&s);
    s = make_sample({0, 0});
    sam_normalize(&s);  // silence stays silence
    EXPECT_EQ(values_of(s), (std::vector<int32_t>{0, 0}));
    sample_del(&s);
    sam_normalize(&s);  // null handle: reported
    sam_normalize(nullptr);
}
