// Whole-program runs for the tests: the built program run with arguments,
// its exit status, standard output and standard error, and the frame hash
// lines of --hash read back. Runs may go on in several threads at once.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/test_support.h"

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
    static std::atomic<int> runs;
    ProgramRun r;
    std::string err_file = testing::TempDir() + "rivo_run_" + std::to_string(getpid()) + "_" +
                           std::to_string(runs++) + ".err";
    FILE *p = popen((prefix + " '" + RIVO_PROGRAM + "' " + args + " 2>'" + err_file + "'").c_str(), "r");
    if (!p) return r;
    r.out = slurp(p);
    int st = pclose(p);
    if (WIFEXITED(st)) r.status = WEXITSTATUS(st);
    if (FILE *e = fopen(err_file.c_str(), "rb")) r.err = slurp(e), fclose(e);
    std::remove(err_file.c_str());
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        unsigned f = 0, c = 0;
        char extra;
        if (line.size() == 15 && sscanf(line.c_str(), "%6u %8x%c", &f, &c, &extra) == 2)
            r.frame.push_back(f), r.crc.push_back(c);
        else
            r.other.push_back(line);
    }
    return r;
}
