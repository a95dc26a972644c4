// Sound playback of a looping WAV image. WINSND owns a three-second, 16-bit
// mono WAV image in memory that one process-wide player loops from creation
// to destruction; winsnd_feed rewrites the image's data area from a queue of
// SAMPLEs while it plays. The player's output is 16-bit stereo at 44100
// frames per second: the loop in both channels, the built-in synthesiser
// added after it (platform/player.h).
#pragma once

#include "host/export.h"

#include <cstdint>

#include "audio/sample.h"
#include "vector/list.h"

// The sound player record: the looping WAV image and the queue that feeds it.
struct WINSND {
    int32_t rate;        // values per second: 44100
    int32_t resolution;  // binary digits per value in the image: 16
    char sign;           // 's': signed values
    char order;          // 'l': little-endian
    LIST *queue;         // SAMPLEs waiting to be fed, oldest first; not owned
    SAMPLE *current;     // the head of the queue when last fed; not owned
    int32_t position;    // next value of `current` to feed
    uint8_t *image;      // the WAV image, 56 + 2 * length bytes; owned
    int32_t length;      // 16-bit values in the image's data area: 132300
    int32_t total;       // running count of values fed
};

// Size of the image's header; the data area starts right after it.
constexpr int32_t winsnd_header_size = 56;
// Values in the data area: three seconds at 44100 per second.
constexpr int32_t winsnd_length = 132300;

// Prints "WINSND error\n" when the debug switch is on.
RIVO_API void winsnd_error(void);

// New record and image; starts looping the image unless a sound already plays.
RIVO_API WINSND *winsnd_new(void);
// Stops the image if it plays, frees it, the queue (not the queued samples)
// and the record; clears the handle.
RIVO_API void winsnd_del(WINSND **w);
// Copies the next stretch of the queue into the data area; true while the
// queue still holds samples afterwards.
RIVO_API bool winsnd_feed(WINSND *w);
// The same copy, then plays the image from its beginning again (replacing any
// other sound); true while `position` is not 0 afterwards.
RIVO_API bool winsnd_feed_restart(WINSND *w);

// A shared, empty text (not to be freed); null for a null handle.
RIVO_API const char *winsnd_to_text(const WINSND *w);
// Always null: there is no text form.
RIVO_API WINSND *winsnd_from_text(const char *text);
// True when both are present.
RIVO_API bool winsnd_compare(const WINSND *a, const WINSND *b);
// Always null: a sound player is not duplicated.
RIVO_API WINSND *winsnd_dup(const WINSND *w);

// Muted, the player plays digital silence; the loop and the synthesiser go on
// in time, so unmuting resumes the loop where it is.
RIVO_API void winsnd_mute(int muted);
