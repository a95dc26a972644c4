// CAPTURE: a run written into a directory, every video frame as a PNG file
// "frame_NNNNNN.png" and the sound as "sound.wav" (16-bit PCM, 44100 per
// second), plus the PNG writer that F12 uses. Paths are built to any length;
// a name the system cannot take is an error like any other failed write.
#pragma once

#include <cstddef>
#include <cstdint>

// The capture; the directory is made if missing.
struct CAPTURE {
    char *dir;              // owned
    char *wav_path;         // dir/sound.wav, owned
    uint64_t dir_device;    // identity of the directory when the capture began,
    uint64_t dir_inode;     //   to notice it being moved or replaced
    int wav;                // file descriptor of sound.wav; -1 once closed
    int32_t channels;       // of sound.wav; 0 until the first sound
    uint64_t wav_bytes;     // sound bytes in sound.wav
    uint8_t *png;           // the last frame, encoded; written again for a repeat
    size_t png_size;        // bytes of it
    size_t png_room;        // bytes allocated
    int failed;             // a write failed; its message has been printed
    int quiet;              // failures are no longer printed (another output failed first)
};

// Makes the directory (if missing) and sound.wav; null after printing why not.
CAPTURE *capture_new(const char *dir);
// Writes video frame `index` (w x h 0x00RRGGBB words, top row first); with
// `repeat`, the same picture as the previous frame. 0 after a printed failure.
int capture_frame(CAPTURE *c, uint32_t index, const uint32_t *frame, int32_t w, int32_t h, int repeat);
// Appends interleaved 16-bit sound frames of 1 or 2 channels to sound.wav;
// the header is brought up to date after every write.
int capture_sound(CAPTURE *c, const int16_t *interleaved, int32_t frames, int32_t channels);
// Closes sound.wav; 0 when closing failed.
int capture_finish(CAPTURE *c);
// Finishes if needed and releases everything.
void capture_del(CAPTURE **c);

// Writes w x h 0x00RRGGBB words, top row first, as a PNG file. 0 on success,
// otherwise the errno value of what failed (a partial file is removed).
int capture_save_png(const char *path, const uint32_t *frame, int32_t w, int32_t h);
// "dir/name" in new memory (null when out of memory).
char *capture_join(const char *dir, const char *name);
// Makes the folder and any missing parents, as `mkdir -p` does; 0, or the
// errno of the step that failed (ENOTDIR when a part is not a folder).
int capture_make_dirs(const char *dir);
