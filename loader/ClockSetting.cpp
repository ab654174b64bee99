// Setting the terminal's clock after a load: the restarted terminal announces itself
// with 'T', is woken with '?' until it answers 'K', takes "D" and the station's local
// time as 14 digits, and confirms with 'Y'.
#include "app/OrvaneDoc.h"
#include "loader/DownloadJob.h"
#include "loader/Progress.h"
#include "platform/Ticks.h"

#include <cctype>
#include <ctime>

namespace {

constexpr const char* kCancelled = "CANCELLED Process.  The equipment has not been loaded.";
constexpr int kQueries = 3;

} // namespace

std::uint8_t DownloadJob::readLogged(std::uint32_t limitMs)
{
    std::uint8_t b = terminalPort_.readByte(limitMs);
    if (b != 0)
        logInput(b);
    return b;
}

void DownloadJob::writeLogged(std::uint8_t b, std::uint32_t limitMs)
{
    terminalPort_.writeByte(b, limitMs);
    logOutput(b);
}

// Waits for 'T' and wakes the terminal with '?' until it answers 'K', all before the
// deadline. 1: awake, 0: not before the deadline, -1: cancelled (reported).
int DownloadJob::wakeTerminal(platform::Millis limitMs)
{
    const platform::Millis deadline = platform::tickMs() + limitMs;
    for (;;) {
        platform::Millis left = deadline - platform::tickMs();
        if (left <= 0)
            return 0;
        std::uint8_t b = readLogged(static_cast<std::uint32_t>(left));
        if (progress_->cancelled())
            return -1;
        if (b != 'T')
            continue;
        std::uint8_t answer = 0;
        for (int query = 0; query < kQueries && answer != 'K'; ++query) {
            writeLogged('?', 500);
            answer = readLogged(500);
            if (progress_->cancelled())
                return -1;
            answer = static_cast<std::uint8_t>(std::toupper(answer));
        }
        if (answer == 'K')
            return 1;
    }
}

bool DownloadJob::setClock(int seconds)
{
    if (seconds < 1)
        seconds = 10;
    if (!openTerminalPortAt("TIMESET", "BIOS communications parameters invalid."))
        return false;
    int awake = wakeTerminal(static_cast<platform::Millis>(seconds) * 1000);
    if (awake <= 0) {
        reportError(awake < 0 ? kCancelled : "The terminal does not awake to assign the date.");
        return false;
    }
    ::tzset(); // the time zone as the environment sets it now
    writeLogged('D', 500);
    std::uint8_t echo = readLogged(1000);
    if (progress_->cancelled()) {
        reportError(kCancelled);
        return false;
    }
    if (echo != 'D') {
        reportError("The terminal does not understand the commando to assign the date.");
        return false;
    }
    char digits[40] = {};
    std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    std::strftime(digits, sizeof digits, "%Y%m%d%H%M%S\r", &local);
    auto bytes = reinterpret_cast<const std::uint8_t*>(digits);
    terminalPort_.write(bytes, 14, 1000); // the digits only, not the carriage return
    logOutput(bytes, 14);
    std::uint8_t confirmation = readLogged(3000);
    if (progress_->cancelled()) {
        reportError(kCancelled);
        return false;
    }
    if (confirmation != 'Y') {
        reportError("The terminal has not been able to assign the date.");
        return false;
    }
    return true;
}
