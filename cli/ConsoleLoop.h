#pragma once
// The headless station's interface thread: the main thread waits here for work posted
// by other threads, for SIGINT/SIGTERM and, while the operator is asked something, for
// a line on standard input, and handles them one at a time.
#include "platform/FileDescriptor.h"
#include "platform/WakeEvent.h"

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class ConsoleLoop {
public:
    // Blocks SIGINT and SIGTERM in the calling thread (and so in every thread it starts
    // later) and receives them through a descriptor instead.
    ConsoleLoop();
    ConsoleLoop(const ConsoleLoop&) = delete;
    ConsoleLoop& operator=(const ConsoleLoop&) = delete;

    bool isLoopThread() const { return std::this_thread::get_id() == owner_; }
    // Queues work for the loop thread; any thread, never blocks.
    void post(std::function<void()> work);
    // Called on the loop thread for each SIGINT/SIGTERM.
    void setSignalHandler(std::function<void()> onSignal) { onSignal_ = std::move(onSignal); }
    // While set (ms > 0), onTick runs whenever that long passed without anything to do.
    void setTicker(int ms, std::function<void()> onTick);

    // Handles posted work, signals and ticks until finished() answers true.
    void run(const std::function<bool()>& finished);
    // Reads one line from the descriptor (without its line end) while going on handling
    // posted work, as a dialog's own message loop does. Nothing at the end of input or
    // when a signal came while waiting.
    std::optional<std::string> readLine(int fd);
    // The same, but a text that takeOther hands out ends the wait too, whichever comes
    // first; takeOther is asked on this thread after each run of posted work, so work
    // posted by another thread can supply the answer.
    std::optional<std::string> readLine(int fd, const std::function<std::optional<std::string>()>& takeOther);

private:
    enum class Event { Work, Signal, Tick, Input, Failed };
    Event waitOnce(int inputFd);
    void runPosted();
    bool takeSignals();

    std::thread::id owner_;
    platform::FileDescriptor signals_;
    platform::WakeEvent wake_;
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    std::function<void()> onSignal_;
    std::function<void()> onTick_;
    int tickMs_ = 0;
    std::string pendingInput_; // bytes read past the last line given out
};
