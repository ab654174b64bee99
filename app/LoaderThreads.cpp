#include "app/LoaderThreads.h"

#include <chrono>

LoaderThreads::~LoaderThreads()
{
    waitAll();
}

void LoaderThreads::markEnded(Entry& entry)
{
    std::scoped_lock lock(mutex_);
    entry.ended = true;
    ended_.notify_all();
}

std::size_t LoaderThreads::running()
{
    std::unique_lock lock(mutex_);
    reapEnded(lock);
    return threads_.size();
}

bool LoaderThreads::waitAll(long limitMs)
{
    std::unique_lock lock(mutex_);
    auto allEnded = [this] {
        for (const Entry& e : threads_)
            if (!e.ended)
                return false;
        return true;
    };
    if (limitMs > 0) {
        if (!ended_.wait_for(lock, std::chrono::milliseconds(limitMs), allEnded))
            return false;
    } else {
        ended_.wait(lock, allEnded);
    }
    reapEnded(lock);
    return true;
}

void LoaderThreads::reapEnded(std::unique_lock<std::mutex>& lock)
{
    // Joining an ended thread returns at once; it is done outside the lock because the
    // thread's last act was to take it.
    std::list<Entry> ended;
    for (auto it = threads_.begin(); it != threads_.end();) {
        auto next = std::next(it);
        if (it->ended)
            ended.splice(ended.end(), threads_, it);
        it = next;
    }
    lock.unlock();
    for (Entry& e : ended)
        e.thread.join();
    lock.lock();
}
