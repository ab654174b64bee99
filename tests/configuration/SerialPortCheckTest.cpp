#include "app/SerialPortCheck.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using Outcome = SerialPortVerdict::Outcome;

TEST(SerialPortCheck, MissingDeviceAsksWithTheSystemsWording)
{
    const auto verdict = checkSerialPort("/dev/orvane-no-such-port");
    EXPECT_EQ(verdict.outcome, Outcome::AskAccept);
    EXPECT_EQ(verdict.message, "Error opening port: No such file or directory\nAdd anyway?");
    EXPECT_EQ(verdict.caption, "Error abriendo el puerto");
}

TEST(SerialPortCheck, PseudoTerminalIsNamedAndAskedAbout)
{
    PtyPair pty;
    const auto verdict = checkSerialPort(pty.slavePath());
    EXPECT_EQ(verdict.outcome, Outcome::AskAccept);
    EXPECT_EQ(verdict.message, "Specified port is a 'Pseudo-terminal'. Serial port expected. Accept anyway?");
    EXPECT_EQ(verdict.caption, "Is not a serial port");
}

TEST(SerialPortCheck, LeavesTheLineFreeForTheNextUser)
{
    PtyPair pty;
    checkSerialPort(pty.slavePath());
    // The exclusive mark is cleared when the check closes the line.
    const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ::close(fd);
}

TEST(SerialPortCheck, LineHeldExclusivelyElsewhereCannotBeOpened)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser ignores exclusive lines";
    PtyPair pty;
    const int holder = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::ioctl(holder, TIOCEXCL), 0);
    const auto verdict = checkSerialPort(pty.slavePath());
    ::ioctl(holder, TIOCNXCL);
    ::close(holder);
    EXPECT_EQ(verdict.outcome, Outcome::AskAccept);
    EXPECT_EQ(verdict.message, "Error opening port: Device or resource busy\nAdd anyway?");
}

TEST(SerialPortCheck, DeviceThatIsNoLineIsRefused)
{
    const auto verdict = checkSerialPort("/dev/null");
    EXPECT_EQ(verdict.outcome, Outcome::Refuse);
    EXPECT_EQ(verdict.message, "Serial port unavailable.");
    EXPECT_EQ(verdict.caption, "Error del Puerto de Comunicaciones");
}

TEST(SerialPortCheck, ProviderNamesCarryTheirQuotes)
{
    EXPECT_EQ(serialProviderName(1), "'RS-232 serial port'");
    EXPECT_EQ(serialProviderName(0x103), "'X.25: standards'");
    EXPECT_EQ(serialProviderName(7), "");
}

} // namespace
