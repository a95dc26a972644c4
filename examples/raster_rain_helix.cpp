// raster_rain_helix: three effects over one picture. Raster bars (RASTER):
// a table of colours, three bars of rising and falling brightness, smoothed
// and stepped so that every row takes the next colour; a twisting helix
// ribbon (HELIX) across the image; and rain (LRAIN) falling at a slant as
// short streaks. The picture after a number of frames is kept.
// Usage: raster_rain_helix [out.ppm]   (default raster_rain_helix.ppm).
// Exit code 0 on success, 1 when the file cannot be written.
#include <cstdint>
#include <cstdio>

#include "effects/helix.h"
#include "effects/lrain.h"
#include "effects/raster.h"
#include "host/random.h"
#include "imaging/img.h"

static const int32_t frames = 40;

// Bar b (0..2) of 64 entries at 80 * b: red, green, blue brightness going
// up and down in steps of 8; the rest of the table stays black.
static void paint_bars(RASTER *raster) {
    for (int32_t b = 0; b < 3; b++)
        for (int32_t i = 0; i < 64; i++) {
            uint32_t level = (uint32_t)(i < 32 ? i * 8 : (63 - i) * 8);
            raster->colours[80 * b + i] = level << (16 - 8 * b);
        }
}

int main(int argc, char **argv) {
    const char *out = argc > 1 ? argv[1] : "raster_rain_helix.ppm";
    random_srand(1987);  // the raster's speed, the helix and the drops are drawn at creation
    IMG *image = img_new();
    img_resize(image, 256, 256);
    RASTER *raster = raster_new();
    HELIX *helix = helix_new();
    LRAIN *rain = lrain_new();
    if (!image || !raster || !helix || !rain) return 1;

    raster_set_size(raster, 256);
    paint_bars(raster);
    raster_smooth(raster, 3);
    helix->amplitude = 60;
    helix->spread = 300;     // the second edge 300 table steps behind the first
    helix->frequency = 3;
    helix->colour = 0xE0C040;
    helix->shade = 0x706020;
    lrain_set_count(rain, 96);
    rain->vx = 0x8000;       // half a pixel right and three down per step
    rain->vy = 0x30000;
    rain->colour = 0xA0D0FF;

    for (int32_t f = 0; f < frames; f++) {
        raster_step(raster);
        raster_draw_rows(raster, image);
        helix_step(helix);
        helix_draw_columns(helix, image);
        lrain_step(rain);
        lrain_draw_streaks(rain, image);
    }
    int status = img_save_ppm(image, out) ? 0 : 1;
    if (status) fprintf(stderr, "raster_rain_helix: cannot write %s\n", out);
    lrain_del(&rain);
    helix_del(&helix);
    raster_del(&raster);
    img_del(&image);
    return status;
}
