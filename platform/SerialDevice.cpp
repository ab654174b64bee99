#include "platform/SerialDevice.h"

#include "platform/SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <optional>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

std::optional<speed_t> standardSpeed(int bitsPerSecond)
{
    switch (bitsPerSecond) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return std::nullopt;
    }
}

void setFlag(tcflag_t& flags, tcflag_t bit, bool on)
{
    if (on)
        flags |= bit;
    else
        flags &= ~bit;
}

// Binary line: bytes pass unchanged both ways, nothing is echoed, no byte raises a
// signal, no error or break is turned into marker bytes, and XOFF is never sent by
// the driver. Every received byte wakes the reader at once (VMIN 1, VTIME 0), which
// the reader thread's poll() relies on.
void makeRaw(termios& line)
{
    line.c_iflag &= ~(BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IXOFF);
    line.c_oflag &= ~OPOST;
    line.c_lflag &= ~(ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN);
    // The receiver must be on; carrier detect must not hang the line up.
    line.c_cflag |= CREAD | CLOCAL;
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
}

void setParity(termios& line, SerialLineSettings::Parity parity)
{
    using Parity = SerialLineSettings::Parity;
    if (parity == Parity::Keep)
        return;
    line.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (parity) {
    case Parity::Odd: line.c_cflag |= PARENB | PARODD; break;
    case Parity::Even: line.c_cflag |= PARENB; break;
    case Parity::Mark: line.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case Parity::Space: line.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
}

void setDataBits(termios& line, int dataBits)
{
    tcflag_t size;
    switch (dataBits) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return;
    }
    line.c_cflag = (line.c_cflag & ~CSIZE) | size;
}

void setStopBits(termios& line, SerialLineSettings::StopBits stopBits)
{
    using StopBits = SerialLineSettings::StopBits;
    if (stopBits == StopBits::Keep)
        return;
    // The driver knows one or two; one and a half (only meaningful with five data
    // bits on a UART) is what CSTOPB gives there.
    setFlag(line.c_cflag, CSTOPB, stopBits != StopBits::One);
}

// USB-serial adapters hold received bytes for up to their latency timer (16 ms by
// default) before passing them on, which slows every stop-and-wait exchange with a
// terminal. Drivers that know the low-latency flag pass bytes on at once; on lines that
// do not (pseudo-terminals, USB-CDC) the request fails and nothing changes.
void requestLowLatency(int fd)
{
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY) != 0)
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ::ioctl(fd, TIOCSSERIAL, &serial);
}

} // namespace

bool SerialDevice::fail()
{
    lastError_ = errno;
    return false;
}

std::string SerialDevice::lastErrorText() const
{
    return systemErrorText(lastError_);
}

bool SerialDevice::open(const std::string& path)
{
    close();
    FileDescriptor fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return fail();
    // TIOCEXCL fails with ENOTTY on anything that is not a terminal line.
    if (::ioctl(fd.get(), TIOCEXCL) != 0)
        return fail();
    requestLowLatency(fd.get());
    fd_ = std::move(fd);
    return true;
}

bool SerialDevice::configure(const SerialLineSettings& settings)
{
    termios line{};
    if (::tcgetattr(fd_.get(), &line) != 0)
        return fail();

    makeRaw(line);
    setParity(line, settings.parity);
    setDataBits(line, settings.dataBits);
    setStopBits(line, settings.stopBits);
    setFlag(line.c_iflag, INPCK, settings.parityCheck);
    setFlag(line.c_iflag, IXON, settings.xonXoffOutput);
    setFlag(line.c_cflag, CRTSCTS, settings.ctsOutputFlow || settings.rtsHandshake);

    const auto speed = standardSpeed(settings.baudRate);
    if (speed) {
        if (::cfsetispeed(&line, *speed) != 0 || ::cfsetospeed(&line, *speed) != 0)
            return fail();
        // A custom input rate left from an earlier open would otherwise stay: no
        // separate input rate means the input runs at the output rate.
        line.c_cflag &= ~CIBAUD;
    }
    if (::tcsetattr(fd_.get(), TCSANOW, &line) != 0)
        return fail();
    if (settings.baudRate > 0 && !speed && !setCustomLineRate(fd_.get(), settings.baudRate))
        return fail();

    // Devices without modem lines (pseudo-terminals) refuse these; the line itself is
    // still usable, so that is not a failure of the configuration.
    using Hold = SerialLineSettings::LineHold;
    if (settings.dtr != Hold::Keep)
        setModemLine(TIOCM_DTR, settings.dtr == Hold::On);
    if (settings.rts != Hold::Keep)
        setModemLine(TIOCM_RTS, settings.rts == Hold::On);
    return true;
}

void SerialDevice::close()
{
    if (!fd_)
        return;
    ::ioctl(fd_.get(), TIOCNXCL);
    fd_.reset();
}

bool SerialDevice::modemLines(int& lines)
{
    if (::ioctl(fd_.get(), TIOCMGET, &lines) != 0)
        return fail();
    return true;
}

bool SerialDevice::setModemLine(int lineBit, bool on)
{
    if (::ioctl(fd_.get(), on ? TIOCMBIS : TIOCMBIC, &lineBit) != 0)
        return fail();
    return true;
}

SerialDevice::ModemWait SerialDevice::waitModemChange()
{
    const int watched = TIOCM_CTS | TIOCM_DSR | TIOCM_CD | TIOCM_RNG;
    if (::ioctl(fd_.get(), TIOCMIWAIT, watched) == 0)
        return ModemWait::Changed;
    fail();
    switch (lastError_) {
    case EINTR: return ModemWait::Interrupted;
    case ENOTTY:
    case EINVAL: return ModemWait::Unsupported;
    default: return ModemWait::Failed;
    }
}

bool SerialDevice::drain(Millis boundMs)
{
    // tcdrain() has no time limit and would hang on a line held by flow control, so
    // the driver's output queue is watched instead.
    const Deadline deadline(boundMs > 0 ? boundMs : 1);
    for (;;) {
        int pending = 0;
        if (::ioctl(fd_.get(), TIOCOUTQ, &pending) != 0)
            return fail();
        if (pending == 0)
            return true;
        if (deadline.expired()) {
            lastError_ = ETIMEDOUT;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool SerialDevice::purgeInput()
{
    if (::tcflush(fd_.get(), TCIFLUSH) != 0)
        return fail();
    return true;
}

bool SerialDevice::purgeOutput()
{
    if (::tcflush(fd_.get(), TCOFLUSH) != 0)
        return fail();
    return true;
}

} // namespace platform
