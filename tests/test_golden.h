// Recorded values: tests/data/<name>.txt holds one "key value" line per case
// (a seed and the record it gives, a note and the CRC of its values, a frame
// and its CRC). Running a test with RIVO_RECORD=1 writes the file from the
// values seen instead of comparing; a changed file shows up in the diff.
// A picture's case keeps the picture of every CRC it matched as a PPM file
// under golden-pictures/ in the test's working directory; a picture that
// differs is written there too, with a picture of where it differs from the
// recorded one, and the failure names both files.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "audio/sample.h"
#include "platform/outputs.h"
#include "imaging/img.h"

class Golden {
public:
    explicit Golden(const char *name)
        : path_(std::string(RIVO_SOURCE_DIR) + "/tests/data/" + name + ".txt"), record_(std::getenv("RIVO_RECORD")) {
        std::ifstream in(path_);
        for (std::string s; std::getline(in, s);) {
            if (!s.empty() && s.back() == '\r') s.pop_back();
            size_t space = s.find(' ');
            if (s.empty() || s[0] == '#' || space == std::string::npos) continue;
            order_.push_back(s.substr(0, space));
            want_[order_.back()] = s.substr(space + 1);
        }
    }
    Golden(const Golden &) = delete;
    Golden &operator=(const Golden &) = delete;
    // Recording keeps the file's other cases (several tests may share a file).
    ~Golden() {
        if (!record_) return;
        for (auto &[key, value] : seen_) {
            if (!want_.count(key)) order_.push_back(key);
            want_[key] = value;
        }
        std::ofstream out(path_);
        for (auto &key : order_) out << key << " " << want_[key] << "\n";
    }

    // Compares (or records) the value of one case.
    void check(const std::string &key, const std::string &value) {
        seen_.emplace_back(key, value);
        if (record_) return;
        auto it = want_.find(key);
        if (it == want_.end())
            ADD_FAILURE() << path_ << ": no recorded value for " << key;
        else
            EXPECT_EQ(value, it->second) << "case " << key << " of " << path_;
    }
    void check(const std::string &key, uint32_t value) { check(key, hex(value)); }
    // Compares (or records) a picture by its CRC (crc_of below).
    void check(const std::string &key, const IMG *image);

    static std::string hex(uint32_t v) {
        char s[12];
        std::snprintf(s, sizeof s, "%08X", v);
        return s;
    }

private:
    std::string path_;
    bool record_;
    std::map<std::string, std::string> want_;
    std::vector<std::string> order_;
    std::vector<std::pair<std::string, std::string>> seen_;
};

// CRC-32 of little-endian 32-bit words.
inline uint32_t crc_of_words(const std::vector<uint32_t> &words) {
    std::vector<uint8_t> bytes;
    for (uint32_t v : words)
        for (int b = 0; b < 32; b += 8) bytes.push_back((uint8_t)(v >> b));
    return outputs_crc32(bytes.data(), bytes.size());
}

// CRC-32 of a sample's values in use, each as four little-endian bytes.
inline uint32_t crc_of(const SAMPLE *s) {
    return crc_of_words(s ? std::vector<uint32_t>(s->data, s->data + s->count) : std::vector<uint32_t>());
}

// CRC-32 of an image's size and pixel words, as little-endian bytes.
inline uint32_t crc_of(const IMG *image) {
    std::vector<uint32_t> words = {(uint32_t)image->width, (uint32_t)image->height};
    if (image->pixels) words.insert(words.end(), image->pixels, image->pixels + image->width * image->height);
    return crc_of_words(words);
}

// ---- Pictures of frame goldens --------------------------------------------------

// Writes w x h 0xRRGGBB words as a binary PPM; false when it cannot.
inline bool golden_write_ppm(const std::string &path, const uint32_t *pixels, int32_t w, int32_t h) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << w << " " << h << "\n255\n";
    for (int64_t i = 0; i < (int64_t)w * h; i++) {
        const char rgb[3] = {(char)(pixels[i] >> 16), (char)(pixels[i] >> 8), (char)pixels[i]};
        out.write(rgb, 3);
    }
    return (bool)out;
}

// Reads a PPM written by golden_write_ppm; empty when there is none of size w x h.
inline std::vector<uint32_t> golden_read_ppm(const std::string &path, int32_t w, int32_t h) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int32_t fw = 0, fh = 0, max = 0;
    in >> magic >> fw >> fh >> max;
    in.get();
    std::vector<uint32_t> pixels;
    if (!in || magic != "P6" || fw != w || fh != h || max != 255) return pixels;
    for (int64_t i = 0; i < (int64_t)w * h; i++) {
        unsigned char rgb[3];
        if (!in.read((char *)rgb, 3)) return {};
        pixels.push_back((uint32_t)rgb[0] << 16 | (uint32_t)rgb[1] << 8 | rgb[2]);
    }
    return pixels;
}

inline void Golden::check(const std::string &key, const IMG *image) {
    std::string got = hex(crc_of(image));
    const uint32_t *pixels = image->pixels;
    int32_t w = image->width, h = image->height;
    auto it = want_.find(key);
    bool differs = !record_ && it != want_.end() && it->second != got;
    check(key, got);
    if (!pixels || w < 1 || h < 1) return;
    // golden-pictures/<file>_<case>_<CRC>.ppm: the picture each CRC stands for.
    std::string file = path_.substr(path_.rfind('/') + 1);
    std::string dir = std::filesystem::current_path().string() + "/golden-pictures", stem = dir + "/" + file.substr(0, file.size() - 4) + "_" + key + "_";
    mkdir(dir.c_str(), 0777);
    std::string kept = stem + got + ".ppm";
    struct stat st;
    if (stat(kept.c_str(), &st) != 0 && !golden_write_ppm(kept, pixels, w, h)) return;
    if (!differs) return;
    std::vector<uint32_t> recorded = golden_read_ppm(stem + it->second + ".ppm", w, h);
    std::string note = "the picture drawn: " + kept;
    if (recorded.empty()) {
        ADD_FAILURE() << note << " (no picture of " << it->second << " is kept here to compare: a passing run keeps one)";
        return;
    }
    // Where the two agree, the picture drawn at a quarter of its brightness; where they differ, white.
    std::vector<uint32_t> diff(recorded.size());
    int64_t count = 0;
    for (size_t i = 0; i < diff.size(); i++) {
        bool same = recorded[i] == (pixels[i] & 0xFFFFFF);
        diff[i] = same ? (pixels[i] >> 2) & 0x3F3F3F : 0xFFFFFF;
        count += !same;
    }
    std::string where = stem + got + "_differs_from_" + it->second + ".ppm";
    golden_write_ppm(where, diff.data(), w, h);
    ADD_FAILURE() << note << "; " << count << " pixels differ, shown white in " << where;
}
