// Expected pictures written as one text, rows separated by '|': '.' is black,
// any other character is looked up in `keys` and takes the colour at the same
// place in `colours` (so a small expected image fits on one table line).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline std::vector<uint32_t> picture(const std::string &rows, const char *keys = "#",
                                     const std::vector<uint32_t> &colours = {0xFFFFFF}) {
    std::vector<uint32_t> out;
    for (char c : rows) {
        if (c == '|') continue;
        uint32_t v = 0;
        for (size_t k = 0; keys[k]; k++)
            if (keys[k] == c) v = colours[k];
        out.push_back(v);
    }
    return out;
}
