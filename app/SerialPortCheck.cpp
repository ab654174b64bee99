#include "app/SerialPortCheck.h"

#include "platform/FileDescriptor.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr const char* kPortErrorCaption = "Error del Puerto de Comunicaciones";

// Pseudo-terminal slaves and USB modem-class lines have device numbers of their own.
constexpr unsigned kPtySlaveFirstMajor = 136;
constexpr unsigned kPtySlaveLastMajor = 143;
constexpr unsigned kUsbAcmMajor = 166;

// The system's wording of an error, "????" when it has none. On the station's original
// platform that wording ends with a line end, which separates it from the question.
std::string errorWording(int errorNumber)
{
    std::string text = errorNumber != 0 ? platform::systemErrorText(errorNumber) : std::string();
    if (text.empty())
        text = "????";
    return text + "\n";
}

std::string replacePlaceholder(std::string pattern, const std::string& value)
{
    const auto at = pattern.find("%s");
    if (at != std::string::npos)
        pattern.replace(at, 2, value);
    return pattern;
}

SerialProviderKind kindOfLine(int fd)
{
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) == 0)
        return SerialProviderKind::Rs232;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISCHR(status.st_mode)) {
        const unsigned devMajor = major(status.st_rdev);
        if (devMajor >= kPtySlaveFirstMajor && devMajor <= kPtySlaveLastMajor)
            return SerialProviderKind::PseudoTerminal;
        if (devMajor == kUsbAcmMajor)
            return SerialProviderKind::Modem;
    }
    return SerialProviderKind::Unspecified;
}

} // namespace

std::string serialProviderName(int kind)
{
    switch (kind) {
    case 0: return "'Unspecified'";
    case 1: return "'RS-232 serial port'";
    case 2: return "'Parallel port'";
    case 3: return "'RS-422 port'";
    case 4: return "'RS-423 port'";
    case 5: return "'RS-449 port'";
    case 6: return "'Modem device'";
    case 0x21: return "'FAX device'";
    case 0x22: return "'Scanner device'";
    case 0x100: return "'Unspecified network bridge'";
    case 0x101: return "'LAT protocol'";
    case 0x102: return "'TCP/IP Telnet\xAE protocol'"; // CP1252 registered sign
    case 0x103: return "'X.25: standards'";
    case static_cast<int>(SerialProviderKind::PseudoTerminal): return "'Pseudo-terminal'";
    default: return "";
    }
}

SerialPortVerdict checkSerialPort(std::string_view port)
{
    using Outcome = SerialPortVerdict::Outcome;
    const std::string path = platform::devicePath(port);
    platform::FileDescriptor fd(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd)
        return {Outcome::AskAccept, replacePlaceholder("Error opening port: %sAdd anyway?", errorWording(errno)),
                "Error abriendo el puerto"};

    termios line{};
    if (::tcgetattr(fd.get(), &line) != 0) {
        if (errno == ENOTTY)
            return {Outcome::Refuse, "Serial port unavailable.", kPortErrorCaption};
        const int error = errno;
        std::string wording = errorWording(error);
        wording.pop_back(); // nothing follows the wording in this message
        return {Outcome::Refuse, replacePlaceholder("Communication port properties unavailable: %s", wording),
                kPortErrorCaption};
    }
    // Someone else holding the line exclusively makes the open above fail; the mark
    // keeps others out while the line is examined and is cleared before closing.
    const bool marked = ::ioctl(fd.get(), TIOCEXCL) == 0;
    const SerialProviderKind kind = kindOfLine(fd.get());
    if (marked)
        ::ioctl(fd.get(), TIOCNXCL);
    if (kind == SerialProviderKind::Rs232)
        return {Outcome::Accept, {}, {}};
    return {Outcome::AskAccept,
            replacePlaceholder("Specified port is a %s. Serial port expected. Accept anyway?",
                               serialProviderName(static_cast<int>(kind))),
            "Is not a serial port"};
}
