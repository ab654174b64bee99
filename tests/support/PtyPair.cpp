#include "support/PtyPair.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0)
        throw std::runtime_error("ptsname failed");
    slavePath_ = name;
    slaveKeeper_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    ::tcgetattr(slaveKeeper_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slaveKeeper_, TCSANOW, &t);
}

PtyPair::~PtyPair()
{
    vanish();
}

void PtyPair::vanish()
{
    stop_ = true;
    if (collector_.joinable())
        collector_.join();
    if (slaveKeeper_ >= 0)
        ::close(slaveKeeper_);
    if (master_ >= 0)
        ::close(master_);
    slaveKeeper_ = master_ = -1;
}

void PtyPair::startCollecting()
{
    collector_ = std::thread([this] { collect(); });
}

void PtyPair::collect()
{
    char buffer[4096];
    while (!stop_) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        std::scoped_lock lock(mutex_);
        bytes_.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string PtyPair::collected()
{
    std::scoped_lock lock(mutex_);
    return bytes_;
}

bool PtyPair::waitCollected(std::size_t count, int limitMs)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (std::chrono::steady_clock::now() < end) {
        if (collected().size() >= count)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return collected().size() >= count;
}
