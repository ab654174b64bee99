#include "sim/RunStats.h"

#include "platform/FileDescriptor.h"
#include "sim/WriteAll.h"

#include <fcntl.h>

namespace termsim {

std::string RunStats::text() const
{
    std::string text = "bytes-in " + std::to_string(bytesIn_) + "\nbytes-out " + std::to_string(bytesOut_) +
                       "\nframes " + std::to_string(frames_) + '\n';
    for (auto micros : turnarounds_)
        text += "turnaround-us " + std::to_string(micros) + '\n';
    return text;
}

bool RunStats::writeTo(const std::string& path) const
{
    platform::FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file)
        return false;
    std::string content = text();
    return writeAll(file.get(), content.data(), content.size());
}

} // namespace termsim
