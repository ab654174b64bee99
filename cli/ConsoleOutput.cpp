#include "cli/ConsoleOutput.h"

#include "platform/CodePage.h"

#include <unistd.h>

ConsoleOutput::ConsoleOutput(std::FILE* stream) : stream_(stream), live_(::isatty(::fileno(stream)) == 1)
{
}

void ConsoleOutput::printLine(std::string_view port, std::string_view text)
{
    if (barsShown_)
        std::fputs("\r\033[K", stream_);
    std::string line = platform::cp1252ToUtf8(port) + ": " + platform::cp1252ToUtf8(text) + "\n";
    std::fputs(line.c_str(), stream_);
    barsShown_ = false;
    std::fflush(stream_);
}

void ConsoleOutput::drawBars(const std::vector<PortBar>& bars)
{
    if (!live_ || bars.empty())
        return;
    std::string line = "\r\033[K";
    for (const PortBar& bar : bars) {
        long percent = bar.upperBound > 0 ? 100L * bar.position / bar.upperBound : 0;
        constexpr int width = 20;
        int filled = static_cast<int>(percent * width / 100);
        line += platform::cp1252ToUtf8(bar.port) + " [" + std::string(static_cast<std::size_t>(filled), '#') +
                std::string(static_cast<std::size_t>(width - filled), ' ') + "] " + std::to_string(percent) + "%  ";
    }
    std::fputs(line.c_str(), stream_);
    std::fflush(stream_);
    barsShown_ = true;
}

void ConsoleOutput::clearBars()
{
    if (barsShown_) {
        std::fputs("\r\033[K", stream_);
        std::fflush(stream_);
        barsShown_ = false;
    }
}
