// Recorded values: tests/data/<name>.txt holds one "key value" line per case
// (a seed and the record it gives, a note and the CRC of its values, a frame
// and its CRC). Running a test with RIVO_RECORD=1 writes the file from the
// values seen instead of comparing; a changed file shows up in the diff.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
