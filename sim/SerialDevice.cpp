#include "sim/SerialDevice.h"

#include "platform/SystemError.h"
#include "sim/RawMode.h"

#include <cerrno>
#include <fcntl.h>

namespace termsim {

std::optional<TerminalLine> openSerialDevice(const std::string& path, std::string& error)
{
    platform::FileDescriptor device(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!device) {
        error = "cannot open " + path + ": " + platform::systemErrorText(errno);
        return std::nullopt;
    }
    if (!setRawMode(device.get())) {
        error = "cannot use " + path + " as a serial line: " + platform::systemErrorText(errno);
        return std::nullopt;
    }
    return TerminalLine(std::move(device), platform::FileDescriptor(), path);
}

} // namespace termsim
