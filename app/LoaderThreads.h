#pragma once
// The loader threads of the running downloads. Each thread cleans up after itself; the
// owner only reaps threads that have already ended and, when it goes, waits for the
// rest, so no loader thread outlives the document it uses.
#include <condition_variable>
#include <cstddef>
#include <list>
#include <mutex>
#include <thread>

class LoaderThreads {
public:
    LoaderThreads() = default;
    ~LoaderThreads();
    LoaderThreads(const LoaderThreads&) = delete;
    LoaderThreads& operator=(const LoaderThreads&) = delete;

    // Starts a thread running routine (any callable, move-only ones included) at once.
    template <class Routine>
    void start(Routine routine)
    {
        std::unique_lock lock(mutex_);
        reapEnded(lock);
        Entry& entry = threads_.emplace_back();
        entry.thread = std::thread([this, &entry, routine = std::move(routine)]() mutable {
            routine();
            markEnded(entry);
        });
    }
    std::size_t running();
    // Waits until every thread has ended; true when they all did within limitMs
    // (0: without limit).
    bool waitAll(long limitMs = 0);

private:
    struct Entry {
        std::thread thread;
        bool ended = false;
    };
    void reapEnded(std::unique_lock<std::mutex>& lock);
    void markEnded(Entry& entry);

    std::mutex mutex_;
    std::condition_variable ended_;
    std::list<Entry> threads_;
};
