// RECORD: one video file of a run, written through the FFmpeg libraries. A
// ".mkv" holds FFV1 (lossless, every pixel as drawn) and FLAC; a ".mp4" holds
// H.264 (libx264) of the frame scaled three times by nearest neighbour, so
// that 4:2:0 colour does not smear single pixels, and AAC.
#pragma once

#include <cstdint>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

// One encoder and its stream.
struct RECORD_TRACK {
    AVCodecContext *codec;
    AVStream *stream;
    AVFrame *frame;   // the encoder's input
    int64_t next_pts; // in the codec's time base
};

// The recorder: the file is created by record_new; the streams are made and
// the header written by record_begin, once the frame size and the number of
// sound channels are known.
struct RECORD {
    char *path;            // owned
    int mp4;               // 1: H.264 + AAC; 0: FFV1 + FLAC
    int32_t rate;          // video frames per second, constant
    int32_t width, height; // the frame as drawn
    int32_t scale;         // 3 for H.264, 1 for FFV1
    int32_t channels;      // sound channels (1 or 2)
    AVFormatContext *format;
    RECORD_TRACK video;
    RECORD_TRACK sound;
    int32_t *chroma;       // H.264: each pixel's two colour differences, unscaled
    int32_t sound_fill;    // sound frames waiting in sound.frame
    AVPacket *packet;
    int began;             // header written
    int failed;            // a write failed; its message has been printed
    int quiet;             // failures are no longer printed (another output failed first)
    int64_t frames;        // video frames encoded
    int64_t sound_frames;  // sound frames (per channel) encoded
};

// Sound rate of every recording.
constexpr int32_t record_sound_rate = 44100;

// Creates the file (".mkv" or ".mp4", any case) for `rate` frames per second;
// null after printing why when it cannot be made.
RECORD *record_new(const char *path, int32_t rate);
// Makes the streams for w x h frames and 1 or 2 channels and writes the
// header; 0 after printing why it failed.
int record_begin(RECORD *r, int32_t w, int32_t h, int32_t channels);
// Encodes one video frame: w x h 0x00RRGGBB words, top row first, the size
// given to record_begin.
int record_video(RECORD *r, const uint32_t *frame, int32_t w, int32_t h);
// Encodes interleaved 16-bit sound frames of r->channels channels.
int record_sound(RECORD *r, const int16_t *interleaved, int32_t frames);
// Flushes the encoders, writes the index and closes the file; 0 on failure.
int record_finish(RECORD *r);
// Releases everything (finishing first when that has not been done).
void record_del(RECORD **r);
// The file name ends in ".mkv" or ".mp4" (any case).
int record_name_ok(const char *path);
