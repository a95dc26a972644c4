// The program: reads the run options, starts the host backend (with its
// captures and recordings when asked) and hands control to the program entry,
// which runs the demo until the run ends in winmain_exit. Exit statuses
// (platform/options.h): 0 escape, closed window or --frames; 2 bad option;
// 3 no MIDI output; 4 a capture, recording or other write failed; 5 no
// display; 6 out of memory for what the demo needs; 1 a pause that nothing
// can end (headless); 128 + signal after SIGHUP, SIGINT or SIGTERM.
#include "app/cli.h"
#include "app/preflight.h"
#include "demo/scenes.h"
#include "host/winmain.h"
#include "platform/backend.h"
#include "platform/midi.h"
#include "platform/options.h"
#include "platform/synth.h"

// Frames of one pass of the seven scenes: how long a recording runs
// without --frames.
static int32_t main_one_pass(void) {
    int32_t n = 0;
    for (const DEMO_SCENE *scene : demo_scene_table) n += scene->frames;
    return n;
}

int main(int argc, char **argv) {
    RUN_OPTIONS cli;
    int status = cli_parse(&cli, argc, argv, stdout, stderr);
    if (status != CLI_RUN) return status;
    if (cli.record && cli.frames <= 0) cli.frames = main_one_pass();
    status = preflight(&cli, stdout, stderr);
    if (status != PREFLIGHT_RUN) {
        cli_free(&cli);
        return status;
    }
    // Caught first, so that neither SDL nor a library installs its own.
    backend_catch_signals();
    // A capture or recording that cannot be made, or no display, has said why.
    status = backend_start(&cli);
    if (status != RUN_OK) {
        backend_stop();
        cli_free(&cli);
        return status;
    }
    cli_free(&cli);
    return winmain_entry(nullptr);
}
