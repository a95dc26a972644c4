// The program: reads the run options, starts the host backend (and the sound
// capture when asked) and hands control to the program entry, which runs the
// demo until it ends the process.
#include <cstdio>
#include <string>

#include "audio/winsnd.h"
#include "host/backend.h"
#include "host/cli.h"
#include "host/midi.h"
#include "host/synth.h"
#include "host/winmain.h"

int main(int argc, char **argv) {
    CLI cli;
    int status = cli_parse(&cli, argc, argv, stdout, stderr);
    if (status != CLI_RUN) return status;
    if (!backend_start(&cli)) {
        fprintf(stderr, "rivo7315: cannot use '%s' as capture directory\n", cli.capture ? cli.capture : "");
        cli_free(&cli);
        return 1;
    }
    midi_out_choose(cli.midi_out);
    synth_set_soundfont(cli.soundfont);
    // Started before the demo makes its player, so the capture holds all of it.
    if (cli.capture) winsnd_capture_to((std::string(cli.capture) + "/sound.wav").c_str());
    cli_free(&cli);
    return winmain_entry(nullptr);
}
