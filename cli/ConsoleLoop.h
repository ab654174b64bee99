#pragma once
// The headless station's interface thread: the main thread waits here for work posted
// by other threads and for SIGINT/SIGTERM, and runs both one at a time.
#include "platform/FileDescriptor.h"
#include "platform/WakeEvent.h"

#include <deque>
#include <functional>
#include <mutex>
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
    // Runs posted work and calls onSignal for each SIGINT/SIGTERM until finished()
    // answers true after a round of work. While a tick interval is set, onTick runs
    // whenever that long passed without anything else to do.
    void run(const std::function<bool()>& finished, const std::function<void()>& onSignal,
             const std::function<void()>& onTick = {});
    // 0 (the start): no ticks. Loop thread only.
    void setTickInterval(int ms) { tickMs_ = ms; }

private:
    void runPosted();
    void takeSignals(const std::function<void()>& onSignal);

    std::thread::id owner_;
    int tickMs_ = 0;
    platform::FileDescriptor signals_;
    platform::WakeEvent wake_;
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
};
