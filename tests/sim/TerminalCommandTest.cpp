// The commands of the link and the terminal's answers byte for byte, and the block
// download of components reassembled into files.
#include "sim/TerminalFixture.h"

using namespace simtest;

namespace {

// A 256-byte header as the station builds it: 0x6A, the tag, and bytes that differ.
std::string headerWithTag(const std::string& tag)
{
    std::string header = "\x6A" + tag;
    for (int i = 4; i < 256; ++i)
        header += static_cast<char>(i * 7);
    return header;
}

// File content with every byte value, DLE and the control bytes included.
std::string componentData(std::size_t size)
{
    std::string data;
    for (std::size_t i = 0; i < size; ++i)
        data += static_cast<char>((i * 31 + i / 256) & 0xFF);
    return data;
}

class TerminalCommands : public TerminalFixture {
protected:
    // Guarantee and configuration data with DLE bytes inside, so their answers are stuffed.
    const std::string guarantee = bytes({0xFF, 0x5E, 0x06, 0xDF, 0x57, 0x01, 0x10, 0x10, 0x00});
    const std::string configData = bytes({0xFF, 0x79, 0x00, 0x03, 0x10, 0x02, 0x03});

    void startWithData(std::vector<std::string> more = {})
    {
        std::vector<std::string> arguments = {"--protocol-running",
                                              "--files",
                                              files,
                                              "--guarantee",
                                              scratch.write("guarantee.bin", guarantee),
                                              "--config-data",
                                              scratch.write("config.bin", configData)};
        arguments.insert(arguments.end(), more.begin(), more.end());
        start(arguments);
    }

    // Sends the blocks of data with the given length, then the closing block 0, and
    // expects every echo.
    void sendBlocks(const std::string& data, std::size_t blockLength)
    {
        unsigned number = 1;
        for (std::size_t at = 0; at < data.size(); at += blockLength, ++number) {
            std::string block = data.substr(at, blockLength);
            ASSERT_EQ(hex(station->exchange("12" + le16(number) + block)), hex(ACK + frameOf("0012" + le16(number))))
                << "block " << number;
        }
        ASSERT_EQ(hex(station->exchange("12" + le16(0))), hex(ACK + frameOf("0012" + le16(0))));
    }
};

TEST_F(TerminalCommands, EachCommandIsAnsweredWithItsStatusEchoAndData)
{
    ASSERT_NO_FATAL_FAILURE(startWithData());
    struct Step {
        const char* what;
        std::string command;
        std::string response;
    };
    const Step steps[] = {
        {"probe", "10", "0010"},
        {"probe with a parameter", "10" + bytes({0}), "5010"},
        {"guarantee data after 8 filler bytes", "13" + bytes({4}), "0013" + std::string(8, '\0') + guarantee},
        {"configuration data", "13" + bytes({5}), "0013" + configData},
        {"unknown selector", "13" + bytes({6}), "5113"},
        {"selector missing", "13", "5013"},
        {"block without a download", "12" + le16(1) + "data", "?>12"},
        {"open a kernel", "11" + bytes({2}) + headerWithTag("KKK"), "0011" + le16(2045)},
        {"unknown component kind", "11" + bytes({3}) + headerWithTag("KKK"), "5111"},
        {"header too short", "15" + headerWithTag("L--").substr(1), "5015"},
        {"open an application", "15" + headerWithTag("L--"), "0015" + le16(2045)},
        {"block number other than the next", "12" + le16(2) + "data", "5412"},
        {"block longer than offered", "12" + le16(1) + std::string(2046, 'x'), "5312"},
        {"32-bit value", "16" + bytes({0x78, 0x56, 0x34, 0x12}), "0016"},
        {"value and data", "17" + le16(7) + "abc", "0017"},
        {"another 32-bit value", "18" + bytes({1, 0, 0, 0}), "0018"},
        {"two values and a byte", "19" + bytes({2, 0, 0, 0, 3, 0, 0, 0, 9}), "0019"},
        {"wrong length", "19" + bytes({2, 0, 0, 0}), "5019"},
        {"unknown command", "99", "??99"},
        {"close the load", "14", "0014"},
    };
    for (const auto& step : steps)
        EXPECT_EQ(hex(station->exchange(step.command)), hex(ACK + frameOf(step.response))) << step.what;

    EXPECT_TRUE(logHas("command 16 value 305419896"));
    EXPECT_TRUE(logHas("command 17 value 7 len 3"));
    EXPECT_TRUE(logHas("command 18 value 1"));
    EXPECT_TRUE(logHas("command 19 values 2 3 9"));
    EXPECT_TRUE(logHas("command 13 selector 4"));
    EXPECT_TRUE(logHas("answer 12 status 54"));
}

TEST_F(TerminalCommands, StoredDataNotGivenIsNotAvailable)
{
    ASSERT_NO_FATAL_FAILURE(start({"--protocol-running"}));
    EXPECT_EQ(hex(station->exchange("13" + bytes({4}))), hex(ACK + frameOf("5513")));
    EXPECT_EQ(hex(station->exchange("13" + bytes({5}))), hex(ACK + frameOf("5513")));
}

TEST_F(TerminalCommands, DownloadedComponentsAreWrittenByteForByteWithTheirHeaders)
{
    ASSERT_NO_FATAL_FAILURE(startWithData({"--block-length", "1000"}));
    struct Component {
        std::string open;
        std::string header;
        std::string data;
        std::string name;
    };
    const std::string kernelHeader = headerWithTag("KKK");
    const std::string appHeader = headerWithTag("L--");
    const Component components[] = {
        {"11" + bytes({2}) + kernelHeader, kernelHeader, componentData(2500), "01-kernel"},
        {"15" + appHeader, appHeader, componentData(2000), "02-app"},
        {"11" + bytes({0}) + kernelHeader, kernelHeader, "", "03-config"},
    };
    for (const auto& c : components) {
        ASSERT_EQ(hex(station->exchange(c.open)), hex(ACK + frameOf("00" + c.open.substr(0, 2) + le16(1000))));
        ASSERT_NO_FATAL_FAILURE(sendBlocks(c.data, 1000));
        EXPECT_EQ(readWholeFile(files + "/" + c.name + ".bin"), c.data) << c.name;
        EXPECT_EQ(readWholeFile(files + "/" + c.name + ".hdr"), c.header) << c.name;
    }
    EXPECT_TRUE(logHas("command 12 block 3 len 500"));
    EXPECT_TRUE(logHas("header kernel tag KKK"));
    EXPECT_TRUE(logHas("component 01-kernel 2500 bytes"));
    EXPECT_EQ(hex(station->exchange("12" + le16(1) + "more")), hex(ACK + frameOf("?>12")))
        << "no download open after the closing block";
}

TEST_F(TerminalCommands, BlockSentAgainAfterALostAnswerIsNotStoredTwice)
{
    ASSERT_NO_FATAL_FAILURE(startWithData());
    const std::string header = headerWithTag("K--");
    ASSERT_EQ(hex(station->exchange("11" + bytes({1}) + header)), hex(ACK + frameOf("0011" + le16(2045))));
    // The station did not get the answers to block 2 and to the closing block and
    // sends each again.
    for (const auto& block : {"12" + le16(1) + "first", "12" + le16(2) + "second", "12" + le16(2) + "second"})
        EXPECT_EQ(hex(station->exchange(block)), hex(ACK + frameOf("0012" + block.substr(2, 2))));
    EXPECT_EQ(hex(station->exchange("12" + le16(2) + "other")), hex(ACK + frameOf("5412")))
        << "the same number with other data is not a repetition";
    for (int sending = 0; sending < 2; ++sending)
        EXPECT_EQ(hex(station->exchange("12" + le16(0))), hex(ACK + frameOf("0012" + le16(0))));
    EXPECT_EQ(readWholeFile(files + "/01-prekernel.bin"), "firstsecond");
}

} // namespace
