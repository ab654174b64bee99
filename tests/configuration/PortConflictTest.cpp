#include "app/PortConflict.h"
#include "app/SerialDeviceList.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(PortConflict, DownloadPortsMatchInAnyLetterCase)
{
    const std::vector<std::string> ports{"/dev/ttyUSB0", "COM3"};
    EXPECT_TRUE(portListUses(ports, "/dev/ttyusb0"));
    EXPECT_TRUE(portListUses(ports, "com3"));
    EXPECT_FALSE(portListUses(ports, "COM3 "));
    EXPECT_FALSE(portListUses({}, "COM3"));
}

TEST(PortConflict, ReaderAndSignerPortsMatchExactlyAndOnlyWhenChosen)
{
    struct Case {
        bool chosen;
        const char* field;
        const char* port;
        bool used;
    };
    const Case cases[] = {
        {true, "/dev/ttyS1", "/dev/ttyS1", true},
        {true, "/dev/ttyS1  ", "/dev/ttyS1", true},
        {true, "/dev/ttys1", "/dev/ttyS1", false},
        {false, "/dev/ttyS1", "/dev/ttyS1", false},
        {true, " /dev/ttyS1", "/dev/ttyS1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(serialOptionUses(c.chosen, c.field, c.port), c.used) << c.field << " / " << c.port;
}

struct FixedUser : PortUser {
    std::string port;
    explicit FixedUser(std::string p) : port(std::move(p)) {}
    bool usesPort(std::string_view asked) const override { return asked == port; }
};

TEST(PortConflict, QueryIgnoresTheAskingPage)
{
    FixedUser general("/dev/ttyS0"), reading("/dev/ttyS1");
    PortConflictQuery query;
    query.add(&general);
    query.add(&reading);
    EXPECT_FALSE(query.usedByOtherPage(&general, "/dev/ttyS0"));
    EXPECT_TRUE(query.usedByOtherPage(&reading, "/dev/ttyS0"));
    query.remove(&general);
    EXPECT_FALSE(query.usedByOtherPage(&reading, "/dev/ttyS0"));
}

TEST(SerialDeviceList, ListsEachKindInNaturalOrder)
{
    TempDir dev, sys;
    for (const char* name : {"ttyS10", "ttyS2", "ttyS3", "ttyUSB1", "ttyUSB0", "ttyACM0", "tty1", "ttyS"})
        dev.write(name, "");
    dev.write("serial/by-id/usb-Maker_Cable-if00-port0", "");
    sys.write("class/tty/ttyS3/type", "0\n");
    sys.write("class/tty/ttyS2/type", "4\n");
    const auto devices = presentSerialDevices(dev.path(), sys.path());
    const std::vector<std::string> expected{
        dev.file("serial/by-id/usb-Maker_Cable-if00-port0"),
        dev.file("ttyS2"),
        dev.file("ttyS10"),
        dev.file("ttyUSB0"),
        dev.file("ttyUSB1"),
        dev.file("ttyACM0"),
    };
    EXPECT_EQ(devices, expected);
}

} // namespace
