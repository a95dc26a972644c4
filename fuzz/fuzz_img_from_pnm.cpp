// Fuzzes the in-memory PNM decoder: any bytes of any length must give null or
// a well-formed image, never a read past the given size.
#include "fuzz/fuzz_support.h"
#include "imaging/img.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    uint8_t *copy = fuzz_bytes(data, size);
    IMG *image = img_from_pnm(copy, size);
    free(copy);
    if (image) {
        if (!image->pixels || image->width <= 0 || image->height <= 0) abort();
        // Touch every pixel once through the public accessors.
        uint32_t sum = 0;
        for (int32_t y = 0; y < image->height; y++)
            for (int32_t x = 0; x < image->width; x++) sum += img_get_pixel(image, x, y);
        (void)sum;
        img_del(&image);
    }
    return 0;
}
