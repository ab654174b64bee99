#pragma once
// The signing tool stand-in's log (ORVANE_SIGNER_LOG) read back as one record per run.
#include <string>
#include <vector>

struct ToolRun {
    int pid = 0;
    std::string workingDirectory;
    std::string program; // as started: a path or the bare name
    std::vector<std::string> arguments;
    std::string inputMode; // octal mode of the file to sign, when the run signed
    long long inputSize = -1;
    std::string refusal;  // why it did not sign, when it refused
    int exitCode = -1; // -1: the run never ended by itself
};

std::vector<ToolRun> readToolRuns(const std::string& logPath);

// True when no run started before the previous one had ended.
bool runsOneAfterAnother(const std::string& logPath);

// True when no process with that id exists any more.
bool processGone(int pid);
