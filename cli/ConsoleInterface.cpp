#include "cli/ConsoleInterface.h"

#include "app/IdentitySteps.h"
#include "app/OrvaneDoc.h"
#include "cli/ConsoleLoop.h"
#include "platform/CodePage.h"

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

// Turns the terminal's echo off while a password is typed, and back on afterwards.
class EchoOff {
public:
    explicit EchoOff(int fd) : fd_(fd)
    {
        if (::isatty(fd_) && ::tcgetattr(fd_, &saved_) == 0) {
            termios quiet = saved_;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            active_ = ::tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
        }
    }
    ~EchoOff()
    {
        if (active_)
            ::tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;
    bool active() const { return active_; }

private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

} // namespace

bool ConsoleInterface::isInterfaceThread() const
{
    return loop_.isLoopThread();
}

void ConsoleInterface::postExecuteRequests()
{
    loop_.post([this] { document_.executeQueuedRequests(); });
}

bool ConsoleInterface::ask(const std::string& caption, std::string& answer, bool echo)
{
    std::fprintf(stderr, "%s: ", platform::cp1252ToUtf8(caption).c_str());
    std::fflush(stderr);
    std::optional<std::string> line;
    {
        EchoOff guard(echo ? -1 : STDIN_FILENO);
        line = loop_.readLine(STDIN_FILENO);
        if (guard.active())
            std::fputc('\n', stderr);
    }
    if (!line)
        return false;
    answer = platform::toCp1252FromUtf8IfValid(*line);
    return true;
}

bool ConsoleInterface::readText(const std::string& caption, std::string& text, BarcodeReader::Reader*)
{
    return ask(caption, text, true);
}

bool ConsoleInterface::readIpAddress(const std::string& caption, std::uint32_t& address, BarcodeReader::Reader*)
{
    std::string line;
    while (ask(caption + " (a.b.c.d)", line, true)) {
        if (readDottedAddress(line, address))
            return true;
        std::fputs("Not an IPv4 address.\n", stderr);
    }
    return false;
}

bool ConsoleInterface::askPassword(const std::string& title, std::string& password)
{
    return ask(title, password, false);
}

void ConsoleInterface::showMessage(const std::string& text, const std::string& caption)
{
    std::fprintf(stderr, "%s: %s\n", platform::cp1252ToUtf8(caption).c_str(), platform::cp1252ToUtf8(text).c_str());
}
