#pragma once
// A forked child of the test process that runs one job and sends back the text the job
// wrote to the descriptor it was given. Fork while the test process has no other
// threads. The destructor kills a child that still runs and reaps it.
#include "platform/FileDescriptor.h"

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

class ForkedWorker {
public:
    // job(output) runs in the child; its answer is the child's exit status (true: 0).
    explicit ForkedWorker(const std::function<bool(int output)>& job);
    ~ForkedWorker();
    ForkedWorker(const ForkedWorker&) = delete;
    ForkedWorker& operator=(const ForkedWorker&) = delete;

    bool started() const { return pid_ > 0; }
    // Everything the child wrote, once it has ended with success within the limit;
    // nothing otherwise.
    std::optional<std::string> finish(long limitMs = 120'000);

private:
    pid_t pid_ = -1;
    platform::FileDescriptor output_;
};

// Writes all of the text to the descriptor; false when it could not.
bool writeText(int fd, const std::string& text);
