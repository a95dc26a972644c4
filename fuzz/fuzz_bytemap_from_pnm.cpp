// Fuzzes the in-memory PNM decoder of BYTEMAP: any bytes of any length give
// null or a well-formed map, never a read past the given size; a decoded map
// written as PGM reads back to the same values.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imaging/bytemap.h"

static const char *fuzz_bytemap_path() {
    static char path[64] = "";
    if (!path[0]) {
        snprintf(path, sizeof path, "/tmp/fuzz_bytemap_from_pnm_XXXXXX");
        int fd = mkstemp(path);
        if (fd < 0) abort();
        close(fd);
    }
    return path;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // An exact-size copy, so that any read past `size` is caught.
    uint8_t *copy = (uint8_t *)malloc(size ? size : 1);
    if (size) memcpy(copy, data, size);
    BYTEMAP *map = bytemap_from_pnm(copy, size);
    free(copy);
    if (!map) return 0;
    if (!map->pixels || map->width <= 0 || map->height <= 0) abort();
    // Small maps make the round trip through a PGM file.
    if ((int64_t)map->width * map->height <= 4096) {
        const char *path = fuzz_bytemap_path();
        if (!bytemap_save_pgm(map, path)) abort();
        BYTEMAP *back = bytemap_load_pnm(path);
        if (!back || !bytemap_compare(map, back)) abort();
        bytemap_del(&back);
    }
    bytemap_del(&map);
    return 0;
}
