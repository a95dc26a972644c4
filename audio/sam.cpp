// SAM: sample files. The record binds a SAMPLE (owned) to a file name and the
// storage layout of its values; the file is open only during one read or
// write. Readers: canonical PCM WAV, the SAM header format, headerless data;
// writers: 16-bit PCM WAV, the SAM text/binary format and its binary variant.
// The WAV reader walks the RIFF chunks as other programs write them (LIST,
// fact and others skipped; WAVE_FORMAT_EXTENSIBLE with a PCM sub-format).
// Every reader reads only what the file holds, and sizes in headers never
// decide an allocation larger than the file itself.
#include "audio/sam.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "audio/sample.h"
#include "host/int.h"
#include "host/module.h"

RIVO_IDENTITY(sam, "SAM     ", "20131111", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(sam, 0, "SAM error.\n");

// ---- Record -------------------------------------------------------------------------

SAM *sam_new(void) {
    SAM *s = (SAM *)calloc(1, sizeof(SAM));
    if (!s) {
        sam_error();
        return nullptr;
    }
    return s;
}

void sam_del(SAM **s) {
    if (!s || !*s) {
        sam_error();
        return;
    }
    if ((*s)->file) fclose((*s)->file);
    free((*s)->name);
    if ((*s)->sample) sample_del(&(*s)->sample);
    free(*s);
    *s = nullptr;
}

void sam_set_sample(SAM *s, SAMPLE *sample) {
    if (!s || !sample) {
        sam_error();
        return;
    }
    if (s->sample && s->sample != sample) sample_del(&s->sample);
    s->sample = sample;
}

void sam_set_name(SAM *s, const char *name) {
    if (!s || !name) {
        sam_error();
        return;
    }
    size_t n = strlen(name);
    char *copy = (char *)calloc(n + 1, 1);
    if (!copy) {
        sam_error();
        return;
    }
    memcpy(copy, name, n);
    free(s->name);
    s->name = copy;
}

static int sam_lower(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

bool sam_ends_with(const char *name, const char *ending) {
    if (!name || !ending) {
        sam_error();
        return false;
    }
    size_t n = strlen(name), e = strlen(ending);
    if (e > n) return false;
    for (size_t i = 0; i < e; i++)
        if (sam_lower((unsigned char)name[n - e + i]) != sam_lower((unsigned char)ending[i]))
            return false;
    return true;
}

char *sam_to_text(const SAM *s) {
    if (!s) sam_error();
    return nullptr;
}

int sam_compare(const SAM *a, const SAM *b) {
    if (!a || !b) {
        sam_error();
        return 0;
    }
    return 1;
}

void sam_copy(const SAM *source, SAM *target) {
    if (!source || !target) sam_error();
}

// ---- Files ----------------------------------------------------------------------------

// Opens `name` unless a file is already open; false when neither is there.
static bool sam_open(SAM *s, const char *mode) {
    if (s->file) return true;
    if (!s->name) return false;
    s->file = fopen(s->name, mode);
    return s->file != nullptr;
}

// Closes the file; true when everything written reached it.
static bool sam_close(SAM *s) {
    if (!s->file) return true;
    bool ok = !ferror(s->file);
    ok = fclose(s->file) == 0 && ok;
    s->file = nullptr;
    return ok;
}

// Closes the file, reports and gives false: the common end of a failed read.
static bool sam_fail(SAM *s) {
    sam_close(s);
    sam_error();
    return false;
}

// Bytes from the current position to the end of the file, or -1 when the
// file cannot tell (a pipe).
static int64_t sam_remaining(FILE *file) {
    long here = ftell(file);
    if (here < 0 || fseek(file, 0, SEEK_END) != 0) return -1;
    long end = ftell(file);
    if (fseek(file, here, SEEK_SET) != 0 || end < here) return -1;
    return (int64_t)(end - here);
}

// A value of `bytes` bytes (1..4) in the given order, sign-extended from its
// top bit when `extend`.
static int32_t sam_decode(const uint8_t *b, int bytes, char order, bool extend) {
    uint32_t u = 0;
    for (int k = 0; k < bytes; k++) {
        int at = order == 'm' ? k : bytes - 1 - k;
        u = u << 8 | b[at];
    }
    int free_bits = 32 - 8 * bytes;
    if (extend && free_bits > 0) return asr(shl((int32_t)u, free_bits), free_bits);
    return (int32_t)u;
}

// Reads up to `limit` values (negative: no limit) of `bytes` bytes each and
// appends them to `out`, stopping early at the end of the file; a partial
// value at the end is dropped. The storage is reserved ahead only up to what
// the file can hold. False when the storage cannot grow.
static bool sam_read_values(FILE *file, SAMPLE *out, int64_t limit, int bytes, char order,
                            bool extend) {
    int64_t left = sam_remaining(file);
    int64_t fits = left < 0 ? 0 : left / bytes;
    if (limit >= 0 && fits > limit) fits = limit;
    if (fits > INT32_MAX) return false;
    if (fits > out->capacity) {
        sample_reserve(out, (int32_t)fits);
        if (out->capacity < fits) return false;
    }
    uint8_t buffer[4096];
    size_t have = 0, used = 0;
    for (int64_t i = 0; limit < 0 || i < limit; i++) {
        if (have - used < (size_t)bytes) {
            memmove(buffer, buffer + used, have - used);
            have -= used;
            used = 0;
            have += fread(buffer + have, 1, sizeof buffer - have, file);
            if (have < (size_t)bytes) break;
        }
        if (out->count == INT32_MAX) return false;
        int32_t before = out->count;
        sample_push(out, sam_decode(buffer + used, bytes, order, extend));
        if (out->count == before) return false;
        used += (size_t)bytes;
    }
    return true;
}

// Replaces the record's sample with a freshly read one.
static void sam_take(SAM *s, SAMPLE *sample) {
    if (s->sample) sample_del(&s->sample);
    s->sample = sample;
}

// ---- WAV reader --------------------------------------------------------------------------

// The tail every WAVE_FORMAT_EXTENSIBLE sub-format GUID shares; its first two
// bytes are the plain format tag (1 for PCM).
static const uint8_t sam_guid_tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                          0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// What the "fmt " chunk says.
struct sam_wav_format {
    uint32_t tag, channels, width;
};

// Reads `n` bytes, or skips them when `to` is null; false when the file ends first.
static bool sam_take_bytes(FILE *file, uint8_t *to, uint32_t n) {
    uint8_t scrap[4096];
    while (n > 0) {
        uint32_t k = to ? n : (n < sizeof scrap ? n : (uint32_t)sizeof scrap);
        if (fread(to ? to : scrap, 1, k, file) != k) return false;
        if (to) to += k;
        n -= k;
    }
    return true;
}

// The format chunk's body of `size` bytes: tag, channels and width, the tag of
// an extensible format replaced by its sub-format's when the GUID is one of
// the standard ones.
static bool sam_wav_fmt(FILE *file, uint32_t size, sam_wav_format *f) {
    uint8_t b[40] = {};
    uint32_t keep = size < sizeof b ? size : (uint32_t)sizeof b;
    if (size < 16 || !sam_take_bytes(file, b, keep) || !sam_take_bytes(file, nullptr, size - keep))
        return false;
    f->tag = le_get16(b);
    f->channels = le_get16(b + 2);
    f->width = le_get16(b + 14);
    if (f->tag == 0xFFFE) {
        // cbSize 22: valid bits, channel mask, then the sub-format GUID.
        bool standard = size >= 40 && le_get16(b + 16) >= 22 && memcmp(b + 26, sam_guid_tail, 14) == 0;
        f->tag = standard ? le_get16(b + 24) : 0xFFFE;
    }
    return true;
}

// Walks the RIFF chunks up to "data", reading "fmt " on the way and skipping
// every other chunk (a chunk of odd size is followed by a pad byte). Leaves
// the file at the first data byte; *size is the data chunk's stated size.
static bool sam_wav_chunks(FILE *file, sam_wav_format *f, uint32_t *size) {
    uint8_t h[12];
    if (fread(h, 1, 12, file) != 12 || memcmp(h, "RIFF", 4) != 0 || memcmp(h + 8, "WAVE", 4) != 0)
        return false;
    bool have_format = false;
    for (;;) {
        int64_t left = sam_remaining(file);
        if (fread(h, 1, 8, file) != 8) return false;
        uint32_t chunk = le_get32(h + 4);
        if (memcmp(h, "data", 4) == 0) {
            *size = chunk;
            return have_format;
        }
        // A stated size beyond the file is a broken file, not a chunk to skip.
        if (left >= 0 && (int64_t)chunk + (chunk & 1) > left - 8) return false;
        if (memcmp(h, "fmt", 3) == 0) {
            if (have_format || !sam_wav_fmt(file, chunk, f)) return false;
            have_format = true;
            if (!sam_take_bytes(file, nullptr, chunk & 1)) return false;
        } else if (!sam_take_bytes(file, nullptr, chunk + (chunk & 1))) {
            return false;
        }
    }
}

bool sam_read_wav(SAM *s) {
    if (!s) {
        sam_error();
        return false;
    }
    if (!sam_open(s, "rb")) return sam_fail(s);
    sam_wav_format f = {0, 0, 0};
    uint32_t size = 0;
    // Only PCM; a width that is no whole number of bytes (or 0) would divide
    // by zero or misread every value; no channel means no values.
    if (!sam_wav_chunks(s->file, &f, &size) || f.tag != 1 || f.channels == 0 ||
        (f.width != 8 && f.width != 16 && f.width != 24 && f.width != 32))
        return sam_fail(s);
    int bytes = (int)f.width / 8;
    SAMPLE *sample = sample_new();
    // The data size only bounds the read: reading stops early at the end of
    // the file, and nothing is reserved beyond what the file holds.
    if (!sample || !sam_read_values(s->file, sample, size / (uint32_t)bytes, bytes, 'l', f.width != 8)) {
        if (sample) sample_del(&sample);
        return sam_fail(s);
    }
    sam_close(s);
    sam_take(s, sample);
    s->channels = (int32_t)f.channels;
    s->sample_width = (int32_t)f.width;
    s->sign = f.width == 8 ? 'u' : 's';
    s->order = 'l';
    return true;
}

// ---- SAM reader --------------------------------------------------------------------------

// What a SAM header names; `have` marks the six things seen so far.
struct sam_header {
    bool sam, encoding, sign;
    bool number[3];      // width, count, channels
    int64_t value[3];
    char enc, sgn, order;
    int label;           // slot named by the word before a number, or -1
};

static bool sam_header_done(const sam_header *h) {
    return h->sam && h->encoding && h->sign && h->number[0] && h->number[1] && h->number[2];
}

static bool sam_is_letter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
static bool sam_is_digit(int c) { return c >= '0' && c <= '9'; }

// Acts on one header word. Whole words are matched without regard to case:
// the writer's "binary", "signed", "bits 16", "little endian", "chanels 1"
// name what they say, and single letters a, b, s, u still serve as the
// encoding and sign letters. Every thing is taken only once.
static void sam_header_word(sam_header *h, const char *word, char first) {
    if (!strcmp(word, "sam")) {
        h->sam = true;
    } else if (!strcmp(word, "ascii") || !strcmp(word, "a") || !strcmp(word, "binary") ||
               !strcmp(word, "b")) {
        if (!h->encoding) h->enc = first;
        h->encoding = true;
    } else if (!strcmp(word, "signed") || !strcmp(word, "s") || !strcmp(word, "unsigned") ||
               !strcmp(word, "u")) {
        if (!h->sign) h->sgn = word[0];
        h->sign = true;
    } else if (!strcmp(word, "bits")) {
        h->label = 0;
    } else if (!strcmp(word, "chanels") || !strcmp(word, "channels")) {
        h->label = 2;
    } else if (!strcmp(word, "little")) {
        h->order = 'l';
    } else if (!strcmp(word, "big")) {
        h->order = 'm';
    }
}

// Stores a number in the slot its label names, else in the first free one of
// width, count and channels.
static void sam_header_number(sam_header *h, int64_t v) {
    int slot = h->label;
    if (slot < 0 || h->number[slot])
        for (slot = 0; slot < 3 && h->number[slot]; slot++) {}
    h->label = -1;
    if (slot >= 3) return;
    h->number[slot] = true;
    h->value[slot] = v;
}

// Reads header words and numbers until all six things are seen. The byte
// that ends the last number is consumed: the body starts after it.
static bool sam_header_read(FILE *file, sam_header *h) {
    int c = getc(file);
    while (!sam_header_done(h)) {
        if (c == EOF) return false;
        if (c == '#') {
            while (c != EOF && c != '\n') c = getc(file);
        } else if (sam_is_digit(c)) {
            int64_t v = 0;
            for (; sam_is_digit(c); c = getc(file))
                if (v <= INT32_MAX) v = v * 10 + (c - '0');
            sam_header_number(h, v);
            if (sam_header_done(h)) return true;
            continue;  // c already holds the byte after the number
        } else if (sam_is_letter(c)) {
            char word[16];
            size_t n = 0;
            char first = (char)c;
            for (; sam_is_letter(c); c = getc(file))
                if (n + 1 < sizeof word) word[n++] = (char)sam_lower(c);
            word[n] = '\0';
            sam_header_word(h, word, first);
            continue;
        }
        c = getc(file);
    }
    return true;
}

// The fixed layout of sam_write_sam_binary: "SAM\nbinary\n<count>\n<width>\n".
// Leaves the file where it was and gives false for anything else.
static bool sam_header_binary(FILE *file, sam_header *h) {
    long start = ftell(file);
    if (start < 0) return false;
    char line[4][24];
    bool ok = true;
    for (int k = 0; k < 4 && ok; k++) {
        size_t n = 0;
        int c;
        while ((c = getc(file)) != EOF && c != '\n' && n + 1 < sizeof line[k]) line[k][n++] = (char)c;
        line[k][n] = '\0';
        ok = c == '\n';
    }
    if (ok) {
        ok = !strcmp(line[0], "SAM") && !strcmp(line[1], "binary") && line[2][0] &&
             strspn(line[2], "0123456789") == strlen(line[2]) &&
             (!strcmp(line[3], "8") || !strcmp(line[3], "16") || !strcmp(line[3], "24") ||
              !strcmp(line[3], "32"));
    }
    if (!ok) {
        fseek(file, start, SEEK_SET);
        return false;
    }
    int64_t count = 0;
    for (const char *p = line[2]; *p; p++)
        if (count <= INT32_MAX) count = count * 10 + (*p - '0');
    *h = sam_header{true, true, true, {true, true, true}, {atoi(line[3]), count, 1},
                    'b', 's', 'm', -1};
    return true;
}

// Appends up to `count` decimal numbers (an optional '-' before the digits),
// stopping early at the end of the file.
static bool sam_read_text_values(FILE *file, SAMPLE *out, int64_t count) {
    int c = getc(file);
    for (int64_t i = 0; i < count; i++) {
        bool minus = false;
        while (c != EOF && !sam_is_digit(c)) {
            minus = c == '-';
            c = getc(file);
        }
        if (c == EOF) break;
        uint32_t v = 0;
        for (; sam_is_digit(c); c = getc(file)) v = v * 10 + (uint32_t)(c - '0');
        if (out->count == INT32_MAX) return false;
        int32_t before = out->count;
        sample_push(out, minus ? wrap_neg((int32_t)v) : (int32_t)v);
        if (out->count == before) return false;
    }
    return true;
}

bool sam_read_sam(SAM *s) {
    if (!s) {
        sam_error();
        return false;
    }
    if (!sam_open(s, "rb")) return sam_fail(s);
    sam_header h = {false, false, false, {false, false, false}, {0, 0, 0}, 0, 0, 'm', -1};
    if (!sam_header_binary(s->file, &h) && !sam_header_read(s->file, &h)) return sam_fail(s);
    int64_t width = h.value[0], count = h.value[1];
    if (width < 1 || width > 32 || count > INT32_MAX || h.value[2] > INT32_MAX) return sam_fail(s);
    SAMPLE *sample = sample_new();
    bool text = h.enc == 'a' || h.enc == 'A';
    bool ok = sample && (text ? sam_read_text_values(s->file, sample, count)
                              : sam_read_values(s->file, sample, count, (int)(width + 7) / 8,
                                                h.order, h.sgn == 's' || h.sgn == 'S'));
    if (!ok) {
        if (sample) sample_del(&sample);
        return sam_fail(s);
    }
    sam_close(s);
    sam_take(s, sample);
    s->sample_width = (int32_t)width;
    s->channels = (int32_t)h.value[2];
    s->sign = (h.sgn == 'u' || h.sgn == 'U') ? 'u' : 's';
    s->encoding = h.enc;
    s->order = h.order;
    return true;
}

// ---- Headerless reader ---------------------------------------------------------------------

bool sam_read_headerless(SAM *s) {
    if (!s) {
        sam_error();
        return false;
    }
    int32_t w = s->sample_width;
    if ((w != 8 && w != 16 && w != 24 && w != 32) || (s->order != 'l' && s->order != 'm'))
        return sam_fail(s);
    if (!sam_open(s, "r")) return sam_fail(s);
    SAMPLE *sample = sample_new();
    if (!sample || !sam_read_values(s->file, sample, -1, w / 8, s->order, s->sign == 's')) {
        if (sample) sample_del(&sample);
        return sam_fail(s);
    }
    sam_close(s);
    sam_take(s, sample);
    return true;
}

bool sam_load(SAM *s) {
    if (!s || (!s->name && !s->file)) {
        sam_error();
        return false;
    }
    bool (*const readers[3])(SAM *) = {sam_read_wav, sam_read_sam, sam_read_headerless};
    int first = -1;
    if (s->name && (sam_ends_with(s->name, "wav") || sam_ends_with(s->name, "raw"))) first = 0;
    if (s->name && sam_ends_with(s->name, "sam")) first = 1;
    if (first >= 0 && readers[first](s)) return true;
    for (int k = 0; k < 3; k++)
        if (k != first && readers[k](s)) return true;
    sam_error();
    return false;
}

// ---- Writers ----------------------------------------------------------------------------------

// Checks the record and opens the file for writing.
static bool sam_write_begin(SAM *s) {
    if (!s || !s->sample || !s->sample->data || s->sample->count < 0) {
        sam_error();
        return false;
    }
    if (!sam_open(s, "wb")) {
        sam_error();
        return false;
    }
    return true;
}

// Closes the file; reports when anything failed on the way.
static bool sam_write_end(SAM *s, bool ok) {
    ok = sam_close(s) && ok;
    if (!ok) sam_error();
    return ok;
}

// Writes v in `bytes` bytes (1..4), most significant first when `high_first`.
static void sam_put(FILE *file, int32_t v, int bytes, bool high_first) {
    uint8_t b[4];
    uint32_t u = (uint32_t)v;
    for (int k = 0; k < bytes; k++) {
        uint8_t byte = (uint8_t)(u >> (8 * k));
        b[high_first ? bytes - 1 - k : k] = byte;
    }
    fwrite(b, 1, (size_t)bytes, file);
}

// True when every value lies in the signed range of `bits` bits.
static bool sam_fits(const SAMPLE *sample, int bits) {
    int64_t lo = -((int64_t)1 << (bits - 1)), hi = ((int64_t)1 << (bits - 1)) - 1;
    for (int32_t i = 0; i < sample->count; i++)
        if (sample->data[i] < lo || sample->data[i] > hi) return false;
    return true;
}

bool sam_write_width(SAM *s) {
    if (!sam_write_begin(s)) return false;
    const SAMPLE *sample = s->sample;
    int bytes = sam_fits(sample, 8) ? 1 : sam_fits(sample, 16) ? 2 : 0;
    if (bytes == 0) return sam_write_end(s, false);
    fputs(bytes == 1 ? "8\n" : "16\n", s->file);
    for (int32_t i = 0; i < sample->count; i++) sam_put(s->file, sample->data[i], bytes, true);
    return sam_write_end(s, true);
}

bool sam_write_sam(SAM *s) {
    if (!sam_write_begin(s)) return false;
    const SAMPLE *sample = s->sample;
    fputs("SAM\n", s->file);
    bool text = s->encoding == 'a' || s->encoding == 'A';
    if (!text && s->encoding != 'b' && s->encoding != 'B') return sam_write_end(s, false);
    fputs(text ? "ASCII\n" : "binary\n", s->file);
    fputs("signed\nbits 16\nlittle endian\nchanels 1\n", s->file);
    fprintf(s->file, "%li\n", (long)sample->count);
    for (int32_t i = 0; i < sample->count; i++) {
        if (text)
            fprintf(s->file, "%d\n", sample->data[i]);
        else
            sam_put(s->file, sample->data[i], 2, false);
    }
    return sam_write_end(s, true);
}

bool sam_write_sam_binary(SAM *s) {
    if (!sam_write_begin(s)) return false;
    const SAMPLE *sample = s->sample;
    int bytes = sam_fits(sample, 8) ? 1 : sam_fits(sample, 16) ? 2 : sam_fits(sample, 24) ? 3 : 4;
    fprintf(s->file, "SAM\nbinary\n%li\n%d\n", (long)sample->count, 8 * bytes);
    for (int32_t i = 0; i < sample->count; i++) sam_put(s->file, sample->data[i], bytes, true);
    return sam_write_end(s, true);
}

// The format chunk says PCM (1), the channels, the rate, the bytes a second
// and a frame (block align), and the bits a value.
uint32_t sam_wav_header(uint8_t *out, uint32_t channels, uint32_t rate, uint32_t bits, uint32_t data_bytes,
                        const uint8_t *extra, uint32_t extra_bytes) {
    if (!out) return 0;
    if (!extra) extra_bytes = 0;
    const uint32_t align = channels * bits / 8;
    memcpy(out, "RIFF", 4);
    le_put32(out + 4, 36 + extra_bytes + data_bytes);
    memcpy(out + 8, "WAVEfmt ", 8);
    le_put32(out + 16, 16);
    le_put16(out + 20, 1);
    le_put16(out + 22, channels);
    le_put32(out + 24, rate);
    le_put32(out + 28, rate * align);
    le_put16(out + 32, align);
    le_put16(out + 34, bits);
    if (extra_bytes) memcpy(out + 36, extra, extra_bytes);
    memcpy(out + 36 + extra_bytes, "data", 4);
    le_put32(out + 40 + extra_bytes, data_bytes);
    return 44 + extra_bytes;
}

static void sam_write_wav_header(FILE *file, uint32_t channels, uint32_t data_size) {
    uint8_t h[44];
    fwrite(h, 1, sam_wav_header(h, channels, 44100, 16, data_size, nullptr, 0), file);
}

bool sam_write_wav(SAM *s) {
    if (!s || !s->sample) {
        sam_error();
        return false;
    }
    // A record that never named its channels is mono; the block align of a
    // WAV file is 16 bits, so at most 32767 channels of two bytes.
    int64_t channels = s->channels > 0 ? s->channels : 1;
    int64_t count = s->sample->count;
    int64_t frames = (count + channels - 1) / channels;
    int64_t data_size = frames * channels * 2;
    if (channels > 32767 || data_size > (int64_t)UINT32_MAX - 36) {
        sam_error();
        return false;
    }
    if (!sam_write_begin(s)) return false;
    sam_write_wav_header(s->file, (uint32_t)channels, (uint32_t)data_size);
    // Values saturate to 16 bits; a last partial frame is padded with silence.
    for (int64_t i = 0; i < frames * channels; i++) {
        int32_t v = i < count ? s->sample->data[i] : 0;
        sam_put(s->file, v < -32768 ? -32768 : v > 32767 ? 32767 : v, 2, false);
    }
    return sam_write_end(s, true);
}

bool sam_save(SAM *s) {
    if (!s || !s->sample) {
        sam_error();
        return false;
    }
    if (s->name && sam_ends_with(s->name, "wav")) return sam_write_wav(s);
    if (s->name && sam_ends_with(s->name, "raw")) return sam_write_sam_binary(s);
    return sam_write_sam(s);
}

// ---- Playing ------------------------------------------------------------------------------------

bool sam_finished(const SAM *s) {
    if (!s) {
        sam_error();
        return false;
    }
    int32_t count = s->sample ? s->sample->count : 0;
    return s->mode != 'l' && s->mode != 'p' && s->position >= count;
}

void sam_render(SAM *s, SAMPLE *out, int32_t n) {
    if (!s || !s->sample || !s->sample->data || !out || n <= 0) {
        sam_error();
        return;
    }
    if (out->count < n) sample_set_count(out, n);
    if (!out->data || out->count < n) {
        sam_error();
        return;
    }
    s->mode = 'l';
    const SAMPLE *in = s->sample;
    // The loop range, kept inside the sample; an empty range means no loop.
    int32_t start = s->loop_start < 0 ? 0 : s->loop_start;
    int32_t end = s->loop_end > in->count ? in->count : s->loop_end;
    bool loops = start < end;
    int32_t pos = s->position;
    for (int32_t k = 0; k < n; k++) {
        // Once loop_end is reached the next value is loop_start's.
        if (loops && pos >= end) pos = start;
        out->data[k] = (pos >= 0 && pos < in->count) ? in->data[pos] : 0;
        if (pos < INT32_MAX) pos++;
    }
    s->position = pos;
}

void sam_normalize(SAMPLE **sample) {
    if (!sample || !*sample || !(*sample)->data) {
        sam_error();
        return;
    }
    SAMPLE *t = *sample;
    if (t->count < 1) return;
    int64_t lo = sample_min(t), hi = sample_max(t);
    int64_t m = -lo > hi ? -lo : hi;
    if (m == 0) return;  // silence stays silence rather than dividing by zero
    int32_t k = (int32_t)(0x3FFF8000 / m);
    for (int32_t i = 0; i < t->count; i++) t->data[i] = wrap_mul(t->data[i], k);
}
