// Opening a line: which devices are accepted and what the line is set to.
#include "LineProbe.h"
#include "PortFixture.h"

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <termios.h>
#include <unistd.h>

namespace commtest {
namespace {

using CommPort::PortSettings;

LineState lineOf(int fd)
{
    LineState state;
    EXPECT_TRUE(readLineState(fd, state));
    return state;
}

using LineRates = PortOnPseudoTerminal;

TEST_F(LineRates, EveryBaudIndexGivesItsRateIncludingCustomRates)
{
    const struct {
        int index;
        unsigned rate;
    } cases[] = {{0, 110}, {6, 9600}, {7, 14400}, {10, 56000}, {12, 115200}, {13, 128000}, {14, 256000}};
    for (const auto& c : cases) {
        PortSettings settings;
        settings.baudIndex = c.index;
        ASSERT_TRUE(port.open(pty.slavePath(), settings)) << c.rate;
        const LineState line = lineOf(pty.slave());
        EXPECT_EQ(line.outputRate, c.rate);
        EXPECT_EQ(line.inputRate, c.rate);
        port.close();
    }
}

TEST_F(LineRates, IndexesOutOfRangeKeepTheDevicesSettings)
{
    ASSERT_TRUE(setLineRate(pty.slave(), 4800));
    LineState before = lineOf(pty.slave());
    before.controlFlags |= CSTOPB;
    ASSERT_TRUE(writeLineState(pty.slave(), before));

    PortSettings settings;
    settings.baudIndex = 15;
    settings.stopBitIndex = 3;
    settings.parityIndex = -1;
    openPort(settings);
    const LineState line = lineOf(pty.slave());
    EXPECT_EQ(line.outputRate, 4800u);
    EXPECT_TRUE(line.controlFlags & CSTOPB);
}

using LineMode = PortOnPseudoTerminal;

TEST_F(LineMode, IsRawWhateverTheDeviceHadBefore)
{
    LineState cooked = lineOf(pty.slave());
    cooked.inputFlags |= ICRNL | INLCR | IGNCR | ISTRIP | IXOFF | PARMRK | BRKINT;
    cooked.outputFlags |= OPOST | ONLCR;
    cooked.localFlags |= ICANON | ECHO | ECHONL | ISIG | IEXTEN;
    cooked.minimumBytes = 4;
    cooked.readTimer = 5;
    ASSERT_TRUE(writeLineState(pty.slave(), cooked));

    openPort();
    const LineState line = lineOf(pty.slave());
    EXPECT_EQ(line.inputFlags & (ICRNL | INLCR | IGNCR | ISTRIP | IXOFF | PARMRK | BRKINT), 0u);
    EXPECT_EQ(line.outputFlags & OPOST, 0u);
    EXPECT_EQ(line.localFlags & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
    EXPECT_TRUE(line.controlFlags & CREAD);
    EXPECT_EQ(line.minimumBytes, 1);
    EXPECT_EQ(line.readTimer, 0);
}

TEST_F(LineMode, EveryByteValuePassesUnchangedBothWays)
{
    openPort();
    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);

    ASSERT_TRUE(pty.send(all));
    Bytes received(256);
    EXPECT_EQ(port.read(received.data(), received.size(), 2000), 256u);
    EXPECT_EQ(received, all);

    ASSERT_TRUE(port.write(all.data(), all.size(), 2000));
    EXPECT_EQ(pty.receive(256, 2000), all);
    // Nothing echoed, no CR added after LF.
    EXPECT_TRUE(pty.receive(1, 100).empty());
}

struct FramingCase {
    const char* what;
    std::function<void(PortSettings&)> change;
    unsigned controlSet, controlClear, inputSet, inputClear;
};

void PrintTo(const FramingCase& c, std::ostream* out)
{
    *out << c.what;
}

class LineFraming : public PortOnPseudoTerminal, public testing::WithParamInterface<FramingCase> {};

// A pseudo-terminal forces eight data bits without parity, so the byte size and the
// parity enable bit cannot be seen here; the parity kind, stop bits and flow control
// can.
TEST_P(LineFraming, SettingsReachTheLine)
{
    const FramingCase& c = GetParam();
    PortSettings settings;
    c.change(settings);
    openPort(settings);
    const LineState line = lineOf(pty.slave());
    EXPECT_EQ(line.controlFlags & c.controlSet, c.controlSet);
    EXPECT_EQ(line.controlFlags & c.controlClear, 0u);
    EXPECT_EQ(line.inputFlags & c.inputSet, c.inputSet);
    EXPECT_EQ(line.inputFlags & c.inputClear, 0u);
}

INSTANTIATE_TEST_SUITE_P(Settings, LineFraming,
    testing::Values(
        FramingCase{"defaults", [](PortSettings&) {}, 0, CSTOPB | CRTSCTS | PARODD | CMSPAR, 0, IXON | INPCK | IXOFF},
        FramingCase{"odd", [](PortSettings& s) { s.parityIndex = 0; }, PARODD, CMSPAR, 0, 0},
        FramingCase{"even", [](PortSettings& s) { s.parityIndex = 1; }, 0, PARODD | CMSPAR, 0, 0},
        FramingCase{"mark", [](PortSettings& s) { s.parityIndex = 3; }, PARODD | CMSPAR, 0, 0, 0},
        FramingCase{"space", [](PortSettings& s) { s.parityIndex = 4; }, CMSPAR, PARODD, 0, 0},
        FramingCase{"one and a half stop bits", [](PortSettings& s) { s.stopBitIndex = 1; }, CSTOPB, 0, 0, 0},
        FramingCase{"two stop bits", [](PortSettings& s) { s.stopBitIndex = 2; }, CSTOPB, 0, 0, 0},
        FramingCase{"CTS output flow", [](PortSettings& s) { s.ctsOutputFlow = 1; }, CRTSCTS, 0, 0, 0},
        FramingCase{"RTS handshake", [](PortSettings& s) { s.rtsMode = 3; }, CRTSCTS, 0, 0, 0},
        FramingCase{"RTS toggle", [](PortSettings& s) { s.rtsMode = 2; }, 0, CRTSCTS, 0, 0},
        FramingCase{"XON/XOFF output", [](PortSettings& s) { s.xonXoffOutput = 1; }, 0, 0, IXON, IXOFF},
        FramingCase{"parity check", [](PortSettings& s) { s.parityCheck = 1; }, 0, 0, INPCK, 0}));

TEST(PortOpen, MissingDeviceAndNonSerialFileAreRefused)
{
    CommPort::Port port;
    EXPECT_FALSE(port.open("/dev/orvane-no-such-line", {}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.open("orvane-no-such-line", {})); // below /dev/
    EXPECT_FALSE(port.isOpen());

    char path[] = "/tmp/orvane-not-a-line-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_FALSE(port.open(path, {}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.name(), path);
    std::remove(path);
}

} // namespace
} // namespace commtest
