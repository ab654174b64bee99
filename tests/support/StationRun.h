#pragma once
// orvane-load as a child process of a test: its standard output and error go to files,
// its standard input comes from /dev/null unless a file is given.
#include "platform/Ticks.h"
#include "support/ChildProcess.h"

#include <string>
#include <vector>

class StationRun {
public:
    StationRun(std::vector<std::string> arguments, const std::string& outputDir, const std::string& inputFile = "/dev/null");
    ~StationRun();
    StationRun(const StationRun&) = delete;
    StationRun& operator=(const StationRun&) = delete;

    void signal(int signalNumber);
    // The exit code once it ended within limitMs; -1 when it was killed by a signal or
    // did not end in time (it is then killed).
    int wait(platform::Millis limitMs = 60000);
    std::string output() const;
    std::string errors() const;
    // Waits (bounded) until standard output holds the text.
    bool waitForOutput(const std::string& text, platform::Millis limitMs = 10000) const;

private:
    ChildProcess child_;
    std::string outputFile_;
    std::string errorFile_;
};
