#include "support/StationRun.h"

#include "support/TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

StationRun::StationRun(std::vector<std::string> arguments, const std::string& outputDir, const std::string& inputFile)
    : outputFile_(outputDir + "/station.out"), errorFile_(outputDir + "/station.err")
{
    child_.redirect(STDIN_FILENO, inputFile, O_RDONLY);
    child_.redirect(STDOUT_FILENO, outputFile_, O_WRONLY | O_CREAT | O_TRUNC);
    child_.redirect(STDERR_FILENO, errorFile_, O_WRONLY | O_CREAT | O_TRUNC);
    child_.start(ORVANE_LOAD, arguments);
}

StationRun::~StationRun()
{
    wait(10000);
}

void StationRun::signal(int signalNumber)
{
    child_.signal(signalNumber);
}

int StationRun::wait(platform::Millis limitMs)
{
    if (child_.pid() <= 0)
        return -1;
    std::optional<int> status = child_.waitForExit(limitMs);
    if (!status) {
        child_.signal(SIGKILL);
        status = child_.waitForExit(0);
    }
    return *status >= 0 && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

std::string StationRun::output() const
{
    return readWholeFile(outputFile_);
}

std::string StationRun::errors() const
{
    return readWholeFile(errorFile_);
}

bool StationRun::waitForOutput(const std::string& text, platform::Millis limitMs) const
{
    platform::Deadline deadline(limitMs);
    while (output().find(text) == std::string::npos) {
        if (deadline.expired())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
