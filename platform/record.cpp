// Recorder: the run as one video file through libavformat and libavcodec.
// Video frames come at a constant rate, one call per frame, sound as
// interleaved 16-bit frames in whatever stretches the player delivers; the
// sound is cut into the encoder's frame size here. Every FFmpeg call that can
// fail is checked: the first failure prints one message naming the file and
// the reason, and every later call does nothing but report failure.
#include "platform/record.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/dynlib.h"

// The FFmpeg functions the recorder calls, loaded with libavformat (which
// brings libavcodec and libavutil) when the first recording is made, so a
// run without one never loads them.
#define RECORD_FFMPEG(X) \
    X(av_strerror) \
    X(av_log_set_level) \
    X(av_dict_set) \
    X(av_dict_free) \
    X(av_frame_alloc) \
    X(av_frame_get_buffer) \
    X(av_frame_free) \
    X(av_frame_make_writable) \
    X(av_channel_layout_default) \
    X(av_channel_layout_copy) \
    X(av_packet_alloc) \
    X(av_packet_free) \
    X(av_packet_rescale_ts) \
    X(avcodec_open2) \
    X(avcodec_parameters_from_context) \
    X(avcodec_find_encoder) \
    X(avcodec_find_encoder_by_name) \
    X(avcodec_alloc_context3) \
    X(avcodec_send_frame) \
    X(avcodec_receive_packet) \
    X(avcodec_free_context) \
    X(avformat_alloc_output_context2) \
    X(avio_open) \
    X(avformat_new_stream) \
    X(avformat_write_header) \
    X(av_interleaved_write_frame) \
    X(av_write_trailer) \
    X(avio_flush) \
    X(avio_closep) \
    X(avformat_free_context)
#define RECORD_SLOT(name) decltype(&::name) name;
static struct {
    RECORD_FFMPEG(RECORD_SLOT)
} ff;
#undef RECORD_SLOT

// 1 once the functions are there; 0 after saying why they are not.
static int record_load_ffmpeg(const char *path) {
    static int loaded;
    if (loaded) return 1;
#define RECORD_SYMBOL(name) {#name, &ff.name},
    static const DYNLIB_SYMBOL symbols[] = {RECORD_FFMPEG(RECORD_SYMBOL)};
#undef RECORD_SYMBOL
    const char *why = nullptr;
    loaded = dynlib_load(RIVO_AVFORMAT_SO, symbols, (int)(sizeof symbols / sizeof symbols[0]), &why);
    if (!loaded) fprintf(stderr, "rivo7315: cannot write '%s': cannot load FFmpeg: %s\n", path, why);
    return loaded;
}

// Prints the message of the first failure; always 0, for `return record_fail(...)`.
static int record_fail(RECORD *r, int error) {
    if (r->failed) return 0;
    r->failed = 1;
    if (r->quiet) return 0;
    char reason[AV_ERROR_MAX_STRING_SIZE] = "";
    ff.av_strerror(error, reason, sizeof reason);
    fprintf(stderr, "rivo7315: cannot write '%s': %s\n", r->path, reason);
    return 0;
}

static int record_ends_with(const char *path, const char *suffix) {
    size_t n = strlen(path), m = strlen(suffix);
    return n > m && strcasecmp(path + n - m, suffix) == 0;
}

int record_name_ok(const char *path) {
    return path && (record_ends_with(path, ".mkv") || record_ends_with(path, ".mp4"));
}

RECORD *record_new(const char *path, int32_t rate) {
    if (!record_name_ok(path) || rate < 1) return nullptr;
    if (!record_load_ffmpeg(path)) return nullptr;
    RECORD *r = (RECORD *)calloc(1, sizeof(RECORD));
    if (!r) return nullptr;
    r->path = strdup(path);
    r->mp4 = record_ends_with(path, ".mp4");
    r->rate = rate;
    r->scale = r->mp4 ? 3 : 1;
    r->packet = ff.av_packet_alloc();
    // The libraries' own chatter stays off the terminal; failures print one line here.
    ff.av_log_set_level(AV_LOG_QUIET);
    int ok = r->path && r->packet;
    int error = ok ? ff.avformat_alloc_output_context2(&r->format, nullptr, r->mp4 ? "mp4" : "matroska", path)
                   : AVERROR(ENOMEM);
    if (ok && error >= 0) error = ff.avio_open(&r->format->pb, path, AVIO_FLAG_WRITE);
    if (!ok || error < 0) {
        if (r->path) record_fail(r, error);
        else fprintf(stderr, "rivo7315: cannot write '%s': out of memory\n", path);
        r->failed = 1;
        record_del(&r);
        return nullptr;
    }
    return r;
}

// ---- Streams ------------------------------------------------------------------

// Opens the encoder of a track and its stream; 0 after a printed failure.
static int record_open_track(RECORD *r, RECORD_TRACK *t, AVDictionary **options) {
    if (r->format->oformat->flags & AVFMT_GLOBALHEADER) t->codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int error = ff.avcodec_open2(t->codec, t->codec->codec, options);
    ff.av_dict_free(options);
    if (error < 0) return record_fail(r, error);
    t->stream = ff.avformat_new_stream(r->format, nullptr);
    if (!t->stream) return record_fail(r, AVERROR(ENOMEM));
    t->stream->time_base = t->codec->time_base;
    error = ff.avcodec_parameters_from_context(t->stream->codecpar, t->codec);
    if (error < 0) return record_fail(r, error);
    return 1;
}

// A picture buffer of the given format and size.
static AVFrame *record_picture(int format, int32_t w, int32_t h) {
    AVFrame *f = ff.av_frame_alloc();
    if (!f) return nullptr;
    f->format = format;
    f->width = w;
    f->height = h;
    if (ff.av_frame_get_buffer(f, 0) < 0) ff.av_frame_free(&f);
    return f;
}

static int record_open_video(RECORD *r) {
    const AVCodec *codec = r->mp4 ? ff.avcodec_find_encoder_by_name("libx264") : ff.avcodec_find_encoder(AV_CODEC_ID_FFV1);
    if (!codec) return record_fail(r, AVERROR_ENCODER_NOT_FOUND);
    AVCodecContext *c = r->video.codec = ff.avcodec_alloc_context3(codec);
    if (!c) return record_fail(r, AVERROR(ENOMEM));
    c->width = r->width * r->scale;
    c->height = r->height * r->scale;
    c->time_base = AVRational{1, r->rate};
    c->framerate = AVRational{r->rate, 1};
    c->gop_size = r->rate;
    AVDictionary *options = nullptr;
    if (r->mp4) {
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->color_range = AVCOL_RANGE_MPEG;
        c->colorspace = AVCOL_SPC_SMPTE170M;
        c->color_primaries = AVCOL_PRI_SMPTE170M;
        c->color_trc = AVCOL_TRC_SMPTE170M;
        c->gop_size = 5 * r->rate;
        // Fast enough for a loop in a minute on two cores, in well under 100 MB.
        c->thread_count = 2;
        ff.av_dict_set(&options, "preset", "ultrafast", 0);
        ff.av_dict_set(&options, "crf", "20", 0);
    } else {
        // Blue, green, red and a spare byte: the frame's own bytes, kept exactly.
        c->pix_fmt = AV_PIX_FMT_BGR0;
        c->level = 3;
        c->slices = 4;
        c->thread_count = 2;
        ff.av_dict_set(&options, "slicecrc", "0", 0);
    }
    if (!record_open_track(r, &r->video, &options)) return 0;
    r->video.frame = record_picture(c->pix_fmt, c->width, c->height);
    if (r->mp4) r->chroma = (int32_t *)calloc((size_t)r->width * r->height * 2, sizeof(int32_t));
    if (!r->video.frame || (r->mp4 && !r->chroma)) return record_fail(r, AVERROR(ENOMEM));
    return 1;
}

static int record_open_sound(RECORD *r) {
    const AVCodec *codec = ff.avcodec_find_encoder(r->mp4 ? AV_CODEC_ID_AAC : AV_CODEC_ID_FLAC);
    if (!codec) return record_fail(r, AVERROR_ENCODER_NOT_FOUND);
    AVCodecContext *c = r->sound.codec = ff.avcodec_alloc_context3(codec);
    if (!c) return record_fail(r, AVERROR(ENOMEM));
    c->sample_rate = record_sound_rate;
    c->time_base = AVRational{1, record_sound_rate};
    c->sample_fmt = r->mp4 ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
    ff.av_channel_layout_default(&c->ch_layout, r->channels);
    if (r->mp4) c->bit_rate = 96000 * r->channels;
    else c->compression_level = 2;  // the sound is a small part of the file; speed counts more
    AVDictionary *options = nullptr;
    if (!record_open_track(r, &r->sound, &options)) return 0;
    AVFrame *f = r->sound.frame = ff.av_frame_alloc();
    if (!f) return record_fail(r, AVERROR(ENOMEM));
    f->format = c->sample_fmt;
    f->sample_rate = c->sample_rate;
    // An encoder that takes any size gets a tenth of a second at a time.
    f->nb_samples = c->frame_size > 0 ? c->frame_size : record_sound_rate / 10;
    int error = ff.av_channel_layout_copy(&f->ch_layout, &c->ch_layout);
    if (error >= 0) error = ff.av_frame_get_buffer(f, 0);
    if (error < 0) return record_fail(r, error);
    return 1;
}

int record_begin(RECORD *r, int32_t w, int32_t h, int32_t channels) {
    if (!r || r->failed) return 0;
    if (r->began) return 1;
    if (w < 1 || h < 1 || channels < 1 || channels > 2) return record_fail(r, AVERROR(EINVAL));
    r->width = w;
    r->height = h;
    r->channels = channels;
    if (!record_open_video(r) || !record_open_sound(r)) return 0;
    AVDictionary *options = nullptr;
    // The index goes in front, so browsers can start playing before the end arrives.
    if (r->mp4) ff.av_dict_set(&options, "movflags", "+faststart", 0);
    int error = ff.avformat_write_header(r->format, &options);
    ff.av_dict_free(&options);
    if (error < 0) return record_fail(r, error);
    r->began = 1;
    return 1;
}

// ---- Encoding ------------------------------------------------------------------

// Sends a frame (null: the end) and writes every packet the encoder gives back.
static int record_send(RECORD *r, RECORD_TRACK *t, AVFrame *frame) {
    int error = ff.avcodec_send_frame(t->codec, frame);
    if (error < 0) return record_fail(r, error);
    for (;;) {
        error = ff.avcodec_receive_packet(t->codec, r->packet);
        if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return 1;
        if (error < 0) return record_fail(r, error);
        // An intra-only picture carries no duration of its own: it lasts one frame.
        if (r->packet->duration == 0 && t == &r->video) r->packet->duration = 1;
        ff.av_packet_rescale_ts(r->packet, t->codec->time_base, t->stream->time_base);
        r->packet->stream_index = t->stream->index;
        error = ff.av_interleaved_write_frame(r->format, r->packet);
        if (error < 0) return record_fail(r, error);
    }
}

// The words into the BGR0 picture, as they are (the top byte cleared).
static void record_fill_bgr0(const RECORD *r, const uint32_t *frame, AVFrame *to) {
    for (int32_t y = 0; y < r->height; y++) {
        const uint32_t *in = frame + (size_t)y * (size_t)r->width;
        uint8_t *out = to->data[0] + (size_t)y * to->linesize[0];
        for (int32_t x = 0; x < r->width; x++, out += 4) {
            uint32_t p = in[x] & 0xFFFFFFu;  // little-endian: blue, green, red, 0
            memcpy(out, &p, 4);
        }
    }
}

// 0x00RRGGBB words into 4:2:0 studio-range BT.601 (as players expect), the
// picture enlarged `scale` times by nearest neighbour: each pixel's luma fills
// scale x scale samples; each chroma sample, covering 2 x 2 enlarged pixels,
// is the mean of the colours of the pixels under it.
static void record_fill_yuv(RECORD *r, const uint32_t *frame, AVFrame *to) {
    const int32_t w = r->width, h = r->height, s = r->scale;
    int32_t *u = r->chroma, *v = r->chroma + (size_t)w * h;
    for (int32_t y = 0; y < h; y++) {
        const uint32_t *in = frame + (size_t)y * w;
        uint8_t *luma = to->data[0] + (size_t)y * s * to->linesize[0];
        for (int32_t x = 0; x < w; x++) {
            int32_t b = in[x] & 0xFF, g = (in[x] >> 8) & 0xFF, red = (in[x] >> 16) & 0xFF;
            uint8_t l = (uint8_t)(((66 * red + 129 * g + 25 * b + 128) >> 8) + 16);
            for (int32_t k = 0; k < s; k++) luma[x * s + k] = l;
            u[y * w + x] = -38 * red - 74 * g + 112 * b;
            v[y * w + x] = 112 * red - 94 * g - 18 * b;
        }
        for (int32_t k = 1; k < s; k++)
            memcpy(luma + (size_t)k * to->linesize[0], luma, (size_t)w * s);
    }
    const int32_t cw = w * s / 2, ch = h * s / 2;
    for (int32_t cy = 0; cy < ch; cy++) {
        const int32_t *u0 = u + (2 * cy / s) * w, *u1 = u + ((2 * cy + 1) / s) * w;
        const int32_t *v0 = v + (2 * cy / s) * w, *v1 = v + ((2 * cy + 1) / s) * w;
        uint8_t *cb = to->data[1] + (size_t)cy * to->linesize[1];
        uint8_t *cr = to->data[2] + (size_t)cy * to->linesize[2];
        for (int32_t cx = 0; cx < cw; cx++) {
            int32_t a = 2 * cx / s, b = (2 * cx + 1) / s;
            // Four weighted sums of at most 4 * 112 * 255 in size: the offset keeps them positive.
            cb[cx] = (uint8_t)((u0[a] + u0[b] + u1[a] + u1[b] + 512 + (128 << 10)) >> 10);
            cr[cx] = (uint8_t)((v0[a] + v0[b] + v1[a] + v1[b] + 512 + (128 << 10)) >> 10);
        }
    }
}

int record_video(RECORD *r, const uint32_t *frame, int32_t w, int32_t h) {
    if (!r || !r->began || r->failed || !frame) return 0;
    if (w != r->width || h != r->height) return record_fail(r, AVERROR(EINVAL));
    AVFrame *f = r->video.frame;
    int error = ff.av_frame_make_writable(f);
    if (error < 0) return record_fail(r, error);
    if (r->mp4)
        record_fill_yuv(r, frame, f);
    else
        record_fill_bgr0(r, frame, f);
    f->pts = r->video.next_pts++;
    r->frames++;
    return record_send(r, &r->video, f);
}

// Sends the sound frame when it is full (or, at the end, whatever it holds).
static int record_flush_sound(RECORD *r) {
    AVFrame *f = r->sound.frame;
    if (r->sound_fill == 0) return 1;
    f->nb_samples = r->sound_fill;
    f->pts = r->sound.next_pts;
    r->sound.next_pts += r->sound_fill;
    r->sound_fill = 0;
    return record_send(r, &r->sound, f);
}

int record_sound(RECORD *r, const int16_t *interleaved, int32_t frames) {
    if (!r || !r->began || r->failed || !interleaved || frames < 0) return 0;
    AVFrame *f = r->sound.frame;
    int32_t size = r->sound.codec->frame_size > 0 ? r->sound.codec->frame_size : record_sound_rate / 10;
    while (frames > 0) {
        if (r->sound_fill == 0) {
            f->nb_samples = size;
            int error = ff.av_frame_make_writable(f);
            if (error < 0) return record_fail(r, error);
        }
        int32_t n = size - r->sound_fill;
        if (n > frames) n = frames;
        if (r->mp4) {
            // Planar floats: one plane per channel.
            for (int32_t c = 0; c < r->channels; c++) {
                float *out = (float *)f->data[c] + r->sound_fill;
                for (int32_t i = 0; i < n; i++) out[i] = (float)interleaved[i * r->channels + c] / 32768.0f;
            }
        } else {
            memcpy((int16_t *)f->data[0] + (size_t)r->sound_fill * r->channels, interleaved,
                   sizeof(int16_t) * (size_t)n * r->channels);
        }
        r->sound_fill += n;
        r->sound_frames += n;
        interleaved += (size_t)n * r->channels;
        frames -= n;
        if (r->sound_fill == size && !record_flush_sound(r)) return 0;
    }
    return 1;
}

int record_finish(RECORD *r) {
    if (!r || !r->format) return 0;
    if (r->began && !r->failed) {
        // The encoders still hold frames: drain them, then write the index.
        if (record_flush_sound(r) && record_send(r, &r->video, nullptr) && record_send(r, &r->sound, nullptr)) {
            int error = ff.av_write_trailer(r->format);
            if (error < 0) record_fail(r, error);
        }
    } else if (r->began) {
        // After a failure: still try to close the file as a readable one.
        ff.av_write_trailer(r->format);
    }
    if (r->format->pb) {
        ff.avio_flush(r->format->pb);
        if (r->format->pb->error < 0) record_fail(r, r->format->pb->error);
        int error = ff.avio_closep(&r->format->pb);
        if (error < 0) record_fail(r, error);
    }
    ff.avformat_free_context(r->format);
    r->format = nullptr;
    return !r->failed;
}

static void record_free_track(RECORD_TRACK *t) {
    ff.avcodec_free_context(&t->codec);
    ff.av_frame_free(&t->frame);
}

void record_del(RECORD **handle) {
    if (!handle || !*handle) return;
    RECORD *r = *handle;
    if (r->format) record_finish(r);
    record_free_track(&r->video);
    record_free_track(&r->sound);
    free(r->chroma);
    ff.av_packet_free(&r->packet);
    free(r->path);
    free(r);
    *handle = nullptr;
}
