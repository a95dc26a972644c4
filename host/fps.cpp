// FPS: the frame timer. One record serves the demo; the ticks come from the
// host backend (the real millisecond clock, or the virtual one when headless).
// A frame's time is what passed between fps_start and fps_end; the wait is not
// counted and no deficit carries over to the next frame.
#include "host/fps.h"

#include <cstdlib>

#include "host/winmain.h"
#include "platform/backend.h"
#include "platform/options.h"
#include "host/int.h"
#include "host/module.h"

RIVO_IDENTITY(fps, "FPS     ", "20140328", "Ostrevik", "C       ", "CODE    ");
RIVO_DEBUG_SWITCH(fps, 0);

// FPS has no message: its reporter does nothing at all.
void fps_error(void) {}

FPS *fps_new(void) { return (FPS *)calloc(1, sizeof(FPS)); }

void fps_del(FPS **timer) {
    if (!timer || !*timer) return;
    free(*timer);
    *timer = nullptr;
}

void fps_start(FPS *timer) {
    if (!timer) return;
    // A new round of the frame loop: headless, the last one gets its full period first.
    backend_frame_start(timer->target);
    timer->start_tick = backend_ticks();
}

void fps_end(FPS *timer) {
    if (!timer) return;
    timer->frames = wrap_add(timer->frames, 1);
    timer->end_tick = backend_ticks();
    // Unsigned difference: right across the wrap of the tick count at 2^32.
    timer->frame_ms = (int32_t)(timer->end_tick - timer->start_tick);
    if (timer->frame_ms < 1) timer->frame_ms = 1;
    timer->measured = 1000 / timer->frame_ms;
    // The last frame of a run with a frame limit ends it here.
    if (backend_frame_end()) winmain_exit(RUN_OK);
}

void fps_wait(FPS *timer) {
    if (!timer) return;
    if (timer->target < 1) timer->target = 25;  // repaired rather than divided by
    if (timer->frame_ms < 1) timer->frame_ms = 1;
    timer->sleep_ms = 1000 / timer->target - timer->frame_ms;
    if (timer->sleep_ms > 0) {
        backend_sleep((uint32_t)timer->sleep_ms);
        timer->shown = timer->target;
    } else {
        timer->shown = 1000 / timer->frame_ms;
    }
}
