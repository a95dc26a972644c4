// Fuzzes the in-memory PNM decoder of BYTEMAP: any bytes of any length give
// null or a well-formed map, never a read past the given size; a decoded map
// written as PGM reads back to the same values.
#include "fuzz/fuzz_support.h"
#include "imaging/bytemap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    uint8_t *copy = fuzz_bytes(data, size);
    BYTEMAP *map = bytemap_from_pnm(copy, size);
    free(copy);
    if (!map) return 0;
    if (!map->pixels || map->width <= 0 || map->height <= 0) abort();
    // Small maps make the round trip through a PGM file.
    if ((int64_t)map->width * map->height <= 4096) {
        const char *path = fuzz_scratch_path("fuzz_bytemap_from_pnm");
        if (!bytemap_save_pgm(map, path)) abort();
        BYTEMAP *back = bytemap_load_pnm(path);
        if (!back || !bytemap_compare(map, back)) abort();
        bytemap_del(&back);
    }
    bytemap_del(&map);
    return 0;
}
