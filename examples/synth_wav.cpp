// synth_wav: sound synthesis and sample files. Eight notes of a scale are
// made from sines with an octave of square wave mixed in, each shaped by a
// decay; a burst of held noise, faded in and out, plays under them. The
// sound is written as a 16-bit WAV file with SAM, and its waveform drawn
// with SAMDRAW into a picture.
// Usage: synth_wav [out.wav] [out.ppm]   (defaults synth_wav.wav and
// synth_wav.ppm). Exit code 0 on success, 1 when a file cannot be written.
#include <cstdint>
#include <cstdio>

#include "audio/sam.h"
#include "audio/samdraw.h"
#include "audio/sample.h"
#include "audio/sound.h"
#include "host/random.h"
#include "imaging/img.h"

static const int32_t note_values = sound_rate / 4;  // a quarter of a second each
static const int32_t notes[8] = {36, 38, 40, 41, 43, 45, 47, 48};  // C4 major, from C1 = 0

// A new sample of n values made by `make` at frequency f, then decayed `times` times.
static SAMPLE *voice(void (*make)(SAMPLE *, int32_t), int32_t n, int32_t f, int times) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    make(s, f);
    sound_decay_times(s, times);
    return s;
}

int main(int argc, char **argv) {
    const char *out_wav = argc > 1 ? argv[1] : "synth_wav.wav";
    const char *out_ppm = argc > 2 ? argv[2] : "synth_wav.ppm";
    random_srand(44100);  // the noise is random
    SAMPLE *song = sample_new();
    sample_set_count(song, note_values * 8);
    for (int32_t k = 0; k < 8; k++) {
        SAMPLE *tone = voice(sound_sine, note_values, sound_note(notes[k]), 1);
        SAMPLE *edge = voice(sound_square, note_values, sound_note(notes[k] + 12), 2);
        sample_add_scaled(tone, edge, 1, 4);  // the square a quarter as loud
        sample_div(tone, 2);
        sample_move(tone, song, note_values, 0, k * note_values);
        sample_del(&edge);
        sample_del(&tone);
    }
    SAMPLE *noise = sample_new();
    sample_set_count(noise, note_values * 8);
    sound_noise(noise, 2000);  // a new random value about every 22 values
    sound_fade_in(noise);
    sound_fade_out(noise);
    sample_add_scaled(song, noise, 1, 8);
    sample_del(&noise);

    SAM *file = sam_new();
    sam_set_sample(file, song);  // the file record owns the song from here
    sam_set_name(file, out_wav);
    int status = sam_save(file) ? 0 : 1;

    IMG *picture = img_new();
    img_resize(picture, 256, 128);
    SAMDRAW *scope = samdraw_new();
    scope->sam = file;
    scope->target = picture;
    scope->background = 0x101828;
    scope->wave = 0x60E0A0;
    scope->marker = 0xFF4040;
    scope->first = 0;
    scope->last = note_values * 8 - 1;
    samdraw_draw(scope);
    samdraw_draw_peaks(scope);
    if (!img_save_ppm(picture, out_ppm)) status = 1;
    if (status) fprintf(stderr, "synth_wav: cannot write %s or %s\n", out_wav, out_ppm);
    samdraw_del(&scope);
    img_del(&picture);
    sam_del(&file);
    return status;
}
