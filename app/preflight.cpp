// Checks of the run options against the machine, before anything is drawn,
// so that a bad choice ends the run at once with status 2 and one line
// instead of surfacing minutes later in scene 3 or as silence.
#include "app/preflight.h"

#include <cstring>

#include "platform/capture.h"
#include "platform/midi.h"
#include "platform/player.h"
#include "platform/synth.h"

static int preflight_headless(const RUN_OPTIONS *o) { return o->headless || o->capture || o->record; }

static int preflight_sound(const RUN_OPTIONS *o, FILE *err) {
    player_set_volume(o->volume);
    if (!o->audio_device) return PREFLIGHT_RUN;
    if (!preflight_headless(o) && !player_has_device(o->audio_device)) {
        fprintf(err, "rivo7315: --audio-device '%s': no such sound output device (see --list-audio)\n",
                o->audio_device);
        return RUN_BAD_OPTION;
    }
    player_use_device(o->audio_device);
    return PREFLIGHT_RUN;
}

static int preflight_midi(const RUN_OPTIONS *o, FILE *err) {
    if (o->soundfont) {
        const char *problem = synth_soundfont_problem(o->soundfont);
        if (problem) {
            fprintf(err, "rivo7315: --soundfont '%s': %s\n", o->soundfont, problem);
            return RUN_BAD_OPTION;
        }
    }
    synth_set_soundfont(o->soundfont);
    midi_out_choose(o->midi_out);
    return midi_out_check(preflight_headless(o), err) ? (int)PREFLIGHT_RUN : (int)RUN_BAD_OPTION;
}

// F12 saves into the --screenshot-dir: it is made now, parents too, so that
// a folder that cannot be made is said before the window opens.
static int preflight_screenshots(const RUN_OPTIONS *o, FILE *err) {
    int error = o->screenshot_dir ? capture_make_dirs(o->screenshot_dir) : 0;
    if (!error) return PREFLIGHT_RUN;
    fprintf(err, "rivo7315: --screenshot-dir '%s': cannot make it: %s\n", o->screenshot_dir, strerror(error));
    return RUN_BAD_OPTION;
}

int preflight(const RUN_OPTIONS *options, FILE *out, FILE *err) {
    if (options->list_audio) {
        player_list_devices(out);
        return RUN_OK;
    }
    int status = preflight_midi(options, err);
    if (status != PREFLIGHT_RUN) return status;
    if (options->list_midi) {
        midi_out_list(out);
        return RUN_OK;
    }
    status = preflight_screenshots(options, err);
    return status != PREFLIGHT_RUN ? status : preflight_sound(options, err);
}
