// FPS: the frame timer. Measures each frame with the millisecond tick count
// and sleeps the rest of the frame period.
#pragma once

#include "host/export.h"

#include <cstdint>

// The frame-timing record; all fields signed 32-bit but the ticks.
struct FPS {
    int32_t target;       // frames per second aimed at; below 1 becomes 25 at the next wait
    int32_t measured;     // 1000 / frame_ms of the last ended frame
    int32_t shown;        // target when the last wait slept, else 1000 / frame_ms
    int32_t sleep_ms;     // 1000 / target - frame_ms of the last wait (<= 0: no sleep)
    uint32_t start_tick;  // tick count at the last fps_start
    uint32_t end_tick;    // tick count at the last fps_end
    int32_t frame_ms;     // end_tick - start_tick, at least 1
    int32_t frames;       // fps_end calls since creation
};

// FPS has no message: its reporter does nothing.
RIVO_API void fps_error(void);

// A zero-filled record (no defaults).
RIVO_API FPS *fps_new(void);
// Frees the record and clears the handle.
RIVO_API void fps_del(FPS **timer);
// Notes the tick count at the top of a frame.
RIVO_API void fps_start(FPS *timer);
// Counts the frame and measures it (a frame shorter than 1 ms counts as 1 ms).
RIVO_API void fps_end(FPS *timer);
// Sleeps 1000 / target - frame_ms milliseconds when that is positive.
RIVO_API void fps_wait(FPS *timer);
