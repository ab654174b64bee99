#include "sim/SimTestSupport.h"

#include "support/TempDir.h"

#include <cerrno>
#include <fcntl.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace simtest {

platform::FileDescriptor openStationSide(const std::string& path, bool nonBlocking)
{
    platform::FileDescriptor fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | (nonBlocking ? O_NONBLOCK : 0)));
    termios settings{};
    if (fd && ::tcgetattr(fd.get(), &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(fd.get(), TCSANOW, &settings);
    }
    return fd;
}

bool setLine(int fd, speed_t speed, tcflag_t parityAndSize)
{
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    settings.c_cflag |= parityAndSize;
    ::cfsetispeed(&settings, speed);
    ::cfsetospeed(&settings, speed);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

bool writeText(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t count = ::write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

bool waitUntil(const std::function<bool()>& condition, platform::Millis limitMs)
{
    platform::Deadline deadline(limitMs);
    while (!condition()) {
        if (deadline.expired())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

namespace {

// User plus system time of the process in clock ticks, -1 when unreadable.
long cpuTicks(int pid)
{
    std::string stat = readWholeFile("/proc/" + std::to_string(pid) + "/stat");
    auto afterName = stat.rfind(')');
    if (afterName == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(afterName + 2));
    std::string field;
    long utime = 0, stime = 0;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int index = 3; index <= 15 && fields >> field; ++index) {
        if (index == 14)
            utime = std::stol(field);
        if (index == 15)
            stime = std::stol(field);
    }
    return utime + stime;
}

} // namespace

bool staysIdle(int pid, platform::Millis periodMs, double share)
{
    long before = cpuTicks(pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
    long after = cpuTicks(pid);
    if (before < 0 || after < 0)
        return false;
    double usedMs = static_cast<double>(after - before) * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
    return usedMs < share * static_cast<double>(periodMs);
}

} // namespace simtest
