// SAM: a SAMPLE bound to a file name, with the way its values are stored
// (channels, width, sign, text or binary, byte order). Reads WAV files, the
// program's own "SAM" files and headerless data; writes WAV and SAM files;
// keeps a play position with a loop for rendering piece by piece.
#pragma once

#include <cstdint>
#include <cstdio>

struct SAMPLE;

struct SAM {
    SAMPLE *sample;        // the values (channels interleaved); owned
    char *name;            // file name; owned
    FILE *file;            // open only during a read or write
    int32_t channels;      // as named by a WAV or SAM header
    int32_t sample_width;  // 8, 16, 24 or 32
    char sign;             // 's' signed, 'u' unsigned
    char encoding;         // 'a'/'A' ASCII text, 'b'/'B' binary
    char order;            // 'l' low byte first, 'm' high byte first
    int32_t position;      // play position (index into sample)
    char mode;             // play mode; sam_render sets 'l'
    int32_t loop_start;    // first looped index
    int32_t loop_end;      // one past the last looped index
};

// Prints this module's error message when its debug switch is on.
void sam_error(void);

// A zero-filled record; null after a report when it cannot be allocated.
SAM *sam_new(void);
// Closes the file, frees the name, destroys the sample and the record; clears the handle.
void sam_del(SAM **s);
// Attaches a sample, which the record then owns (a different previous one is destroyed).
void sam_set_sample(SAM *s, SAMPLE *sample);
// Stores a copy of the file name (replacing any previous one).
void sam_set_name(SAM *s, const char *name);
// 1 when name ends in `ending`, letter case ignored.
bool sam_ends_with(const char *name, const char *ending);

// Reads the file `name` (or the already open `file`): the reader chosen by the
// ending ("wav"/"raw": WAV, "sam": SAM), then WAV, SAM and headerless in turn.
// A successful read replaces `sample`. False when no reader succeeds.
bool sam_load(SAM *s);
// A PCM WAV file (format 1, or WAVE_FORMAT_EXTENSIBLE with the PCM sub-format;
// chunks before "data" other than "fmt " skipped): widths 8 (unsigned, as
// stored), 16, 24 and 32 (signed), little-endian; sets channels,
// sample_width, sign, order.
bool sam_read_wav(SAM *s);
// The SAM header (words and numbers in any order, '#' comments) and its ASCII
// or binary body; also the fixed layout sam_write_sam_binary writes.
bool sam_read_sam(SAM *s);
// Values until end of file by the record's own sample_width (8, 16, 24, 32),
// order ('l' or 'm') and sign ('s' sign-extends).
bool sam_read_headerless(SAM *s);

// Writes `sample` to `name` (or the open `file`) and closes it: ending "wav"
// a 16-bit PCM WAV file, "raw" sam_write_sam_binary, otherwise sam_write_sam.
bool sam_save(SAM *s);
// A canonical 16-bit PCM WAV file at 44100 values per second with `channels`
// channels (1 when unset); values saturate to the 16-bit range.
bool sam_write_wav(SAM *s);
// The one WAV header writer (files, the capture's sound.wav, the player's
// image): "RIFF", the size of all that follows, "WAVE", a 16-byte "fmt "
// chunk of PCM with `channels`, `rate` and `bits` per value, then `extra`
// (whole chunks, their ids and sizes included, `extra_bytes` long; null for
// none), then "data" and `data_bytes`. Writes and returns 44 + extra_bytes.
uint32_t sam_wav_header(uint8_t *out, uint32_t channels, uint32_t rate, uint32_t bits, uint32_t data_bytes,
                        const uint8_t *extra, uint32_t extra_bytes);
// "8\n" and one byte per value, or "16\n" and two bytes high first, for the
// smallest of those ranges that holds every value; otherwise nothing (false).
bool sam_write_width(SAM *s);
// "SAM\n", "binary\n" or "ASCII\n" by `encoding`, the fixed lines "signed",
// "bits 16", "little endian", "chanels 1", the count, then the values ("%d\n"
// each, or their low 16 bits low byte first).
bool sam_write_sam(SAM *s);
// "SAM\n", "binary\n", the count, the width line of the smallest of the 8-,
// 16-, 24- and 32-bit signed ranges holding every value, then each value in
// that many bytes, most significant first.
bool sam_write_sam_binary(SAM *s);

// True when mode is neither 'l' nor 'p' and position has reached the sample's count.
bool sam_finished(const SAM *s);
// Copies the next n values from `position` into the first n of `out` (grown
// to n when shorter), continuing from loop_start each time loop_end is
// reached; without a loop range, values past the sample are 0. Sets mode 'l'.
void sam_render(SAM *s, SAMPLE *out, int32_t n);
// Multiplies every value by 0x3FFF8000 / m, m the larger magnitude of min and
// max, so the peak becomes about 32767 * 32768 (an all-zero sample is left).
void sam_normalize(SAMPLE **sample);

// The empty record operations: no text form (null), equal when both are
// present, copying does nothing.
char *sam_to_text(const SAM *s);
int sam_compare(const SAM *a, const SAM *b);
void sam_copy(const SAM *source, SAM *target);
