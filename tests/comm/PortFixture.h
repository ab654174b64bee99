#pragma once
// A CommPort::Port opened on the slave of a fresh pseudo-terminal, and the small
// waits that the port tests share.
#include "PseudoTerminal.h"

#include "comm/CommPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace commtest {

class PortOnPseudoTerminal : public testing::Test {
protected:
    void openPort(const CommPort::PortSettings& settings = {})
    {
        ASSERT_TRUE(port.open(pty.slavePath(), settings));
    }

    // True once the receive queue holds at least count bytes, false after limitMs.
    bool waitUntilAvailable(std::size_t count, int limitMs = 2000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (port.available() < count) {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    PseudoTerminal pty;
    CommPort::Port port;
};

template <class T>
bool readyWithin(const std::future<T>& result, int limitMs)
{
    return result.wait_for(std::chrono::milliseconds(limitMs)) == std::future_status::ready;
}

// Declared after a future whose task waits in the port: when a test ends early, the
// port is closed first, which ends that wait, so the future can be destroyed.
class CloseOnExit {
public:
    explicit CloseOnExit(CommPort::Port& port) : port_(port) {}
    ~CloseOnExit() { port_.close(false); }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

private:
    CommPort::Port& port_;
};

inline double millisSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace commtest
