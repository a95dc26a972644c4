// The program: reads the run options, starts the host backend (with its
// captures and recordings when asked) and hands control to the program entry,
// which runs the demo until it ends the process.
#include "host/backend.h"
#include "host/cli.h"
#include "host/midi.h"
#include "host/synth.h"
#include "host/winmain.h"

int main(int argc, char **argv) {
    CLI cli;
    int status = cli_parse(&cli, argc, argv, stdout, stderr);
    if (status != CLI_RUN) return status;
    // A capture or recording that cannot be made has said why.
    int started = backend_start(&cli);
    if (started) {
        midi_out_choose(cli.midi_out);
        synth_set_soundfont(cli.soundfont);
    }
    cli_free(&cli);
    if (!started) return BACKEND_EXIT_WRITE;
    return winmain_entry(nullptr);
}
