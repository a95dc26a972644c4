// Whole-program runs for the tests: the built program run with arguments,
// its exit status, standard output and standard error, and the frame hash
// lines of --hash read back.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct ProgramRun {
    int status = -1;               // exit code; -1 when it did not exit normally
    std::string out, err;          // standard output and error
    std::vector<uint32_t> frame;   // frame number of each hash line
    std::vector<uint32_t> crc;     // its CRC-32
    std::vector<std::string> other;  // any other output line
};

// Runs `prefix PROGRAM args` through the shell ("prefix" may set variables
// or limits); stdout is read as it comes, stderr through a file.
inline ProgramRun run_program(const std::string &args, const std::string &prefix = "") {
    ProgramRun r;
    static int runs = 0;
    std::string err_file = testing::TempDir() + "rivo_run_" + std::to_string(getpid()) + "_" +
                           std::to_string(runs++) + ".err";
    std::string cmd = prefix + " '" + RIVO_PROGRAM + "' " + args + " 2>'" + err_file + "'";
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    if (WIFEXITED(st)) r.status = WEXITSTATUS(st);
    FILE *e = fopen(err_file.c_str(), "rb");
    if (e) {
        while ((n = fread(buf, 1, sizeof buf, e)) > 0) r.err.append(buf, n);
        fclose(e);
    }
    std::remove(err_file.c_str());
    size_t at = 0;
    while (at < r.out.size()) {
        size_t end = r.out.find('\n', at);
        if (end == std::string::npos) end = r.out.size();
        std::string line = r.out.substr(at, end - at);
        unsigned f = 0, c = 0;
        char extra;
        if (line.size() == 15 && sscanf(line.c_str(), "%6u %8x%c", &f, &c, &extra) == 2) {
            r.frame.push_back(f);
            r.crc.push_back(c);
        } else {
            r.other.push_back(line);
        }
        at = end + 1;
    }
    return r;
}
