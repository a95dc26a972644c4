// The program in a browser: the page passes its query as arguments (--hash,
// --frames N, --headless, --bench), the session takes them over, and the
// program entry runs the demo until it ends. --hash and --bench time the
// frames as the desktop's --headless does, so they draw the desktop's frames;
// --bench runs one pass of the seven scenes and hands the page the scene
// table, by which it sums the time of each frame-timer frame.
#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include "demo/scenes.h"
#include "host/winmain.h"
#include "platform/backend.h"
#include "platform/options.h"
#include "platform/web/bench.h"

// Tells the page the scenes' names and frame counts, in loop order.
static void main_web_scene_table(void) {
    for (const DEMO_SCENE *scene : demo_scene_table)
        EM_ASM({ Module.rivoScene(UTF8ToString($0), $1); }, scene->name, scene->frames);
}

int main(int argc, char **argv) {
    RUN_OPTIONS options;
    memset(&options, 0, sizeof options);
    int bench = 0;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--hash")) options.hash = options.headless = 1;
        else if (!strcmp(argv[i], "--headless")) options.headless = 1;
        else if (!strcmp(argv[i], "--bench")) bench = options.headless = 1;
        else if (!strcmp(argv[i], "--frames") && i + 1 < argc) options.frames = atoi(argv[++i]);
    }
    if (bench) {
        main_web_scene_table();
        if (options.frames <= 0)
            for (const DEMO_SCENE *scene : demo_scene_table) options.frames += scene->frames;
    }
    web_bench(bench);
    int status = backend_start(&options);
    if (status != RUN_OK) {
        backend_stop();
        return status;
    }
    return winmain_entry(nullptr);
}
