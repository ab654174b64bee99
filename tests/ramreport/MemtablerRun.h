#pragma once
// Runs the memtabler program in a working directory and collects what it prints.
#include <string>

namespace ramtest {

struct MemtablerResult {
    bool started = false;
    bool ended = false;  // false: still running after the limit, then killed
    int exitStatus = -1; // -1 unless it ended normally
    std::string output;  // standard output
};

// workingDirectory is where the program starts (it reads ../files/ from there);
// outputFile receives its standard output.
MemtablerResult runMemtabler(const std::string& workingDirectory, const std::string& outputFile);

} // namespace ramtest
