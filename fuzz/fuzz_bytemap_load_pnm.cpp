// Fuzzes the PNM file decoder of BYTEMAP: the input is written to a temporary
// file, which must decode to null or a well-formed map without reading past
// its end or looping on a short file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "imaging/bytemap.h"

static const char *fuzz_bytemap_path() {
    static char path[64] = "";
    if (!path[0]) {
        snprintf(path, sizeof path, "/tmp/fuzz_bytemap_load_pnm_XXXXXX");
        int fd = mkstemp(path);
        if (fd < 0) abort();
        close(fd);
    }
    return path;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const char *path = fuzz_bytemap_path();
    FILE *f = fopen(path, "wb");
    if (!f) abort();
    if (size) fwrite(data, 1, size, f);
    fclose(f);
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
