#pragma once
// A request that a loader thread hands to the interface thread and waits for. The
// request lives on the requesting thread's stack; the document's queue only points to it.
#include <condition_variable>
#include <mutex>

class RPC {
public:
    virtual ~RPC() = default;
    virtual void execute() = 0;

    // The request's auto-reset event, created not signalled.
    void signal();
    // Waits until signal() and resets the event.
    void waitSignalled();

private:
    std::mutex mutex_;
    std::condition_variable signalled_;
    bool set_ = false;
};
