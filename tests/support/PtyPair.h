#pragma once
// A pseudo-terminal for tests: the station opens the slave path like a serial device,
// the test plays the terminal on the master. A second descriptor on the slave is kept
// open so that the master never sees a hang-up when the station closes its side.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_; }

    // Collects everything the station sends, on a thread of its own.
    void startCollecting();
    std::string collected();
    // Waits (bounded) until at least count bytes were collected.
    bool waitCollected(std::size_t count, int limitMs = 5000);
    // Closes both ends: the device is gone.
    void vanish();

private:
    void collect();

    int master_ = -1;
    int slaveKeeper_ = -1;
    std::string slavePath_;
    std::thread collector_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::string bytes_;
};
