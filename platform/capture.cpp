// Capture into a directory: PNG frames encoded with libpng into memory and
// then written whole, and a WAV file written as the sound arrives. Every
// write is checked; the first failure prints one message naming the file and
// the reason and leaves what was written complete: a frame file that could
// not be finished is removed, and sound.wav is cut back to whole sound frames
// with a header that matches.
#include "platform/capture.h"

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/sam.h"

// WAV sizes are 32-bit: sound.wav stops short of 4 GiB.
static const uint64_t capture_wav_limit = 0xFFFFFF00u - 44u;

static int capture_report(CAPTURE *c, const char *path, const char *reason) {
    if (c && c->failed) return 0;
    if (c) c->failed = 1;
    if (c && c->quiet) return 0;
    fprintf(stderr, "rivo7315: cannot write '%s': %s\n", path, reason);
    return 0;
}

char *capture_join(const char *dir, const char *name) {
    size_t a = strlen(dir), b = strlen(name);
    char *path = (char *)malloc(a + b + 2);
    if (!path) return nullptr;
    memcpy(path, dir, a);
    path[a] = '/';
    memcpy(path + a + 1, name, b + 1);
    return path;
}

// Writes all n bytes, going on after short writes; 0 or the errno value.
static int capture_write_all(int fd, const uint8_t *data, size_t n) {
    while (n > 0) {
        ssize_t done = write(fd, data, n);
        if (done < 0 && errno == EINTR) continue;
        if (done < 0) return errno;
        if (done == 0) return EIO;
        data += done;
        n -= (size_t)done;
    }
    return 0;
}

// ---- PNG -------------------------------------------------------------------------

struct capture_png_out {
    uint8_t *data;
    size_t size, room;
};

static void capture_png_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }

static void capture_png_warning(png_structp, png_const_charp) {}

static void capture_png_append(png_structp png, png_bytep data, size_t n) {
    capture_png_out *out = (capture_png_out *)png_get_io_ptr(png);
    if (out->size + n > out->room) {
        size_t room = (out->room ? out->room : 65536);
        while (room < out->size + n) room *= 2;
        uint8_t *grown = (uint8_t *)realloc(out->data, room);
        if (!grown) png_error(png, "out of memory");
        out->data = grown;
        out->room = room;
    }
    memcpy(out->data + out->size, data, n);
    out->size += n;
}

static void capture_png_flush(png_structp) {}

// Encodes 0x00RRGGBB words, top row first, as an RGB PNG into out (which it
// may grow); 0 when memory ran out.
static int capture_encode_png(const uint32_t *frame, int32_t w, int32_t h, capture_png_out *out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, capture_png_error, capture_png_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return 0;
    }
    out->size = 0;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_set_write_fn(png, out, capture_png_append, capture_png_flush);
    png_set_IHDR(png, info, (png_uint_32)w, (png_uint_32)h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Flat colours and sharp edges: a light setting packs them nearly as well, much faster.
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    // A little-endian word is blue, green, red and a byte to drop.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int32_t y = 0; y < h; y++) png_write_row(png, (png_const_bytep)(frame + (size_t)y * (size_t)w));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return 1;
}

// Writes n bytes as the whole file; 0 or the errno value (the file removed).
static int capture_write_file(const char *path, const uint8_t *data, size_t n) {
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    int error = capture_write_all(fd, data, n);
    if (close(fd) != 0 && error == 0) error = errno;
    if (error) unlink(path);
    return error;
}

int capture_save_png(const char *path, const uint32_t *frame, int32_t w, int32_t h) {
    if (!path || !frame || w < 1 || h < 1) return EINVAL;
    capture_png_out out = {nullptr, 0, 0};
    int error = capture_encode_png(frame, w, h, &out) ? capture_write_file(path, out.data, out.size) : ENOMEM;
    free(out.data);
    return error;
}

// ---- WAV ---------------------------------------------------------------------------

// Rewrites the 44-byte header for the sound written so far.
static int capture_wav_header(CAPTURE *c) {
    uint8_t h[44];
    sam_wav_header(h, (uint32_t)(c->channels ? c->channels : 1), 44100, 16, (uint32_t)c->wav_bytes, nullptr, 0);
    ssize_t done = pwrite(c->wav, h, sizeof h, 0);
    if (done == (ssize_t)sizeof h) return 0;
    return done < 0 ? errno : EIO;
}

CAPTURE *capture_new(const char *dir) {
    if (!dir) return nullptr;
    CAPTURE *c = (CAPTURE *)calloc(1, sizeof(CAPTURE));
    if (!c) return nullptr;
    c->wav = -1;
    c->dir = strdup(dir);
    c->wav_path = capture_join(dir, "sound.wav");
    struct stat st;
    const char *why = nullptr;
    if (!c->dir || !c->wav_path) {
        why = strerror(ENOMEM);
    } else if (mkdir(dir, 0777) != 0 && errno != EEXIST) {
        why = strerror(errno);
    } else if (stat(dir, &st) != 0) {
        why = strerror(errno);
    } else if (!S_ISDIR(st.st_mode)) {
        why = strerror(ENOTDIR);
    }
    if (why) {
        capture_report(c, dir, why);
        capture_del(&c);
        return nullptr;
    }
    c->dir_device = (uint64_t)st.st_dev;
    c->dir_inode = (uint64_t)st.st_ino;
    c->wav = open(c->wav_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    int error = c->wav < 0 ? errno : capture_wav_header(c);
    if (error) {
        capture_report(c, c->wav_path, strerror(error));
        capture_del(&c);
        return nullptr;
    }
    return c;
}

// Was the directory moved away or replaced since the capture began?
static int capture_dir_moved(const CAPTURE *c) {
    struct stat st;
    if (stat(c->dir, &st) != 0) return 1;
    return !S_ISDIR(st.st_mode) || (uint64_t)st.st_dev != c->dir_device || (uint64_t)st.st_ino != c->dir_inode;
}

int capture_frame(CAPTURE *c, uint32_t index, const uint32_t *frame, int32_t w, int32_t h, int repeat) {
    if (!c || c->failed || !frame || w < 1 || h < 1) return 0;
    char name[32];
    snprintf(name, sizeof name, "frame_%06u.png", index);
    char *path = capture_join(c->dir, name);
    if (!path) return capture_report(c, c->dir, strerror(ENOMEM));
    // Moved away, the writes would fail; replaced by another directory, they
    // would go on into the wrong one.
    int error = capture_dir_moved(c) ? -1 : 0;
    if (!error && (!repeat || !c->png)) {
        capture_png_out out = {c->png, 0, c->png_room};
        if (!capture_encode_png(frame, w, h, &out)) error = ENOMEM;
        c->png = out.data;
        c->png_room = out.room;
        c->png_size = error ? 0 : out.size;
    }
    if (!error) error = capture_write_file(path, c->png, c->png_size);
    if (error && (error < 0 || capture_dir_moved(c)))
        capture_report(c, path, "the capture directory was moved or replaced");
    else if (error)
        capture_report(c, path, strerror(error));
    free(path);
    return !error;
}

// Gives up on sound.wav after a failed write: whole sound frames only, and a
// header that says so (neither needs new room on the disk).
static int capture_wav_failed(CAPTURE *c, int error) {
    uint64_t frame = 2u * (uint64_t)(c->channels ? c->channels : 1);
    c->wav_bytes -= c->wav_bytes % frame;
    if (ftruncate(c->wav, (off_t)(44 + c->wav_bytes)) == 0) capture_wav_header(c);
    capture_report(c, c->wav_path, strerror(error));
    close(c->wav);
    c->wav = -1;
    return 0;
}

int capture_sound(CAPTURE *c, const int16_t *interleaved, int32_t frames, int32_t channels) {
    if (!c || c->failed || c->wav < 0 || !interleaved || frames < 0 || channels < 1 || channels > 2) return 0;
    if (c->channels == 0) c->channels = channels;
    if (channels != c->channels) return capture_wav_failed(c, EINVAL);
    size_t n = (size_t)frames * 2u * (size_t)channels;
    if (c->wav_bytes + n > capture_wav_limit) return capture_wav_failed(c, EFBIG);
    // Little-endian 16-bit values: on this machine the samples' own bytes.
    const uint8_t *bytes = (const uint8_t *)interleaved;
    size_t done = 0;
    int error = 0;
    while (done < n) {
        ssize_t k = pwrite(c->wav, bytes + done, n - done, (off_t)(44 + c->wav_bytes + done));
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) {
            error = k < 0 ? errno : EIO;
            break;
        }
        done += (size_t)k;
    }
    c->wav_bytes += done;
    if (!error) error = capture_wav_header(c);
    if (error) return capture_wav_failed(c, error);
    return 1;
}

int capture_finish(CAPTURE *c) {
    if (!c) return 0;
    if (c->wav >= 0) {
        int error = capture_wav_header(c);
        if (close(c->wav) != 0 && !error) error = errno;
        c->wav = -1;
        if (error) capture_report(c, c->wav_path, strerror(error));
    }
    return !c->failed;
}

void capture_del(CAPTURE **handle) {
    if (!handle || !*handle) return;
    CAPTURE *c = *handle;
    capture_finish(c);
    free(c->png);
    free(c->wav_path);
    free(c->dir);
    free(c);
    *handle = nullptr;
}

int capture_make_dirs(const char *dir) {
    if (!dir || !*dir) return EINVAL;
    char *path = strdup(dir);
    if (!path) return ENOMEM;
    int error = 0;
    // Each parent in turn, then the folder itself: "a/b/c" makes a, a/b, a/b/c.
    for (char *p = path + 1;; p++) {
        if (*p != '/' && *p != 0) continue;
        char was = *p;
        *p = 0;
        struct stat st;
        if (mkdir(path, 0777) != 0 && !(errno == EEXIST && stat(path, &st) == 0 && S_ISDIR(st.st_mode)))
            error = errno == EEXIST ? ENOTDIR : errno;
        *p = was;
        if (error || was == 0) break;
    }
    free(path);
    return error;
}
