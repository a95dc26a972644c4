// Fuzzes the PNM file decoder: the input is written to a temporary file,
// which must decode to null or a well-formed image without reading past its
// end or looping on a short file.
#include "fuzz/fuzz_support.h"
#include "imaging/img.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const char *path = fuzz_scratch_path("fuzz_img_load_pnm");
    fuzz_write(path, data, size);
    IMG *image = img_load_pnm(path);
    if (image) {
        if (!image->pixels || image->width <= 0 || image->height <= 0) abort();
        uint32_t sum = 0;
        for (int32_t y = 0; y < image->height; y++)
            for (int32_t x = 0; x < image->width; x++) sum += img_get_pixel(image, x, y);
        (void)sum;
        img_del(&image);
    }
    return 0;
}
