#include "app/RPC.h"

void RPC::signal()
{
    std::scoped_lock lock(mutex_);
    set_ = true;
    signalled_.notify_all();
}

void RPC::waitSignalled()
{
    std::unique_lock lock(mutex_);
    // No time limit: the interface thread runs every queued request, also while the
    // station shuts down, so the wait always ends.
    signalled_.wait(lock, [this] { return set_; });
    set_ = false;
}
