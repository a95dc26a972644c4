// Fuzzes the PNM file decoder of BYTEMAP: the input is written to a temporary
// file, which must decode to null or a well-formed map without reading past
// its end or looping on a short file.
#include "fuzz/fuzz_support.h"
#include "imaging/bytemap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const char *path = fuzz_scratch_path("fuzz_bytemap_load_pnm");
    fuzz_write(path, data, size);
    BYTEMAP *map = bytemap_load_pnm(path);
    if (map) {
        if (!map->pixels || map->width <= 0 || map->height <= 0) abort();
        uint32_t sum = 0;
        for (int32_t y = 0; y < map->height; y++)
            for (int32_t x = 0; x < map->width; x++) sum += bytemap_get_pixel(map, x, y);
        (void)sum;
        bytemap_del(&map);
    }
    return 0;
}
