#include "comm/PortSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using CommPort::PortSettings;

// Settings that differ from the defaults everywhere, so that a field the text must
// not touch shows up when it changes.
PortSettings startingSettings()
{
    PortSettings s;
    s.baudIndex = 3;
    s.parityIndex = 1;
    s.dataBits = 6;
    s.stopBitIndex = 2;
    s.dtrMode = 2;
    s.rtsMode = 3;
    s.parityCheck = 1;
    s.ctsOutputFlow = 1;
    s.dsrOutputFlow = 1;
    s.xonXoffOutput = 1;
    s.dsrSensitivity = 1;
    return s;
}

struct ParseCase {
    std::string text;
    bool accepted;
    int baudIndex;
    int parityIndex;
    int dataBits;
    int stopBitIndex;
};

void PrintTo(const ParseCase& c, std::ostream* out)
{
    *out << '"' << c.text << '"';
}

class ParseLineSettings : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseLineSettings, SetsOnlyTheFieldsGiven)
{
    const ParseCase& c = GetParam();
    PortSettings s = startingSettings();
    EXPECT_EQ(CommPort::parseLineSettings(c.text, s), c.accepted);
    EXPECT_EQ(s.baudIndex, c.baudIndex);
    EXPECT_EQ(s.parityIndex, c.parityIndex);
    EXPECT_EQ(s.dataBits, c.dataBits);
    EXPECT_EQ(s.stopBitIndex, c.stopBitIndex);

    const PortSettings start = startingSettings();
    EXPECT_EQ(s.dtrMode, start.dtrMode);
    EXPECT_EQ(s.rtsMode, start.rtsMode);
    EXPECT_EQ(s.parityCheck, start.parityCheck);
    EXPECT_EQ(s.ctsOutputFlow, start.ctsOutputFlow);
    EXPECT_EQ(s.dsrOutputFlow, start.dsrOutputFlow);
    EXPECT_EQ(s.xonXoffOutput, start.xonXoffOutput);
    EXPECT_EQ(s.dsrSensitivity, start.dsrSensitivity);
}

// Starting point of every case: baud 3, parity 1, data 6, stop 2.
INSTANTIATE_TEST_SUITE_P(Texts, ParseLineSettings,
    testing::Values(
        ParseCase{"115200,N,8,1", true, 12, 2, 8, 0},
        ParseCase{"9600", true, 6, 1, 6, 2},
        ParseCase{"9600,,7", true, 6, 1, 7, 2},
        ParseCase{"", true, 3, 1, 6, 2},
        ParseCase{",,,", true, 3, 1, 6, 2},
        ParseCase{"9600,n,8,1", false, 6, 1, 6, 2},
        ParseCase{" 9600,N,8,1", false, 3, 1, 6, 2},
        ParseCase{"9600, N,8,1", false, 6, 1, 6, 2},
        ParseCase{"1200,E,7,1.5", true, 3, 1, 7, 1},
        ParseCase{"1200,E,7,15", true, 3, 1, 7, 1},
        ParseCase{"1200,O,5,1'5", true, 3, 0, 5, 1},
        ParseCase{"1200,M,5,5", true, 3, 3, 5, 1},
        ParseCase{"300,S,8,2", true, 1, 4, 8, 2},
        ParseCase{"115200,N,8,1,X", true, 12, 2, 8, 0},
        ParseCase{"115200,N,8,1,X,Y", true, 12, 2, 8, 0},
        ParseCase{"19200 \t,N\t,8 ,1\n", true, 8, 2, 8, 0},
        ParseCase{"19200,N,8,1\r\n", false, 8, 2, 8, 2},
        ParseCase{"14400,N,8,1", true, 7, 2, 8, 0},
        ParseCase{"56000,N,8,1", true, 10, 2, 8, 0},
        ParseCase{"128000,N,8,1", true, 13, 2, 8, 0},
        ParseCase{"256000,N,8,1", true, 14, 2, 8, 0},
        ParseCase{"110", true, 0, 1, 6, 2},
        ParseCase{"9601,N,8,1", false, 3, 1, 6, 2},
        ParseCase{"09600", false, 3, 1, 6, 2},
        ParseCase{"9600,NO", false, 6, 1, 6, 2},
        ParseCase{"9600,N,9", false, 6, 2, 6, 2},
        ParseCase{"9600,N,4", false, 6, 2, 6, 2},
        ParseCase{"9600,N,8,3", false, 6, 2, 8, 2},
        ParseCase{"9600,N,8,1.0", false, 6, 2, 8, 2}));

TEST(BaudRateOfIndex, CoversTheFifteenRatesAndNothingElse)
{
    const int expected[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400,
                            56000, 57600, 115200, 128000, 256000};
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(CommPort::baudRateOfIndex(i), expected[i]) << i;
    EXPECT_EQ(CommPort::baudRateOfIndex(-1), 0);
    EXPECT_EQ(CommPort::baudRateOfIndex(15), 0);
}

TEST(PortSettingsDefaults, AreNineteenTwoHundredNoParityEightOne)
{
    const PortSettings s;
    EXPECT_EQ(s.baudIndex, 8);
    EXPECT_EQ(s.parityIndex, 2);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBitIndex, 0);
    EXPECT_EQ(s.dtrMode, 1);
    EXPECT_EQ(s.rtsMode, 1);
}

} // namespace
