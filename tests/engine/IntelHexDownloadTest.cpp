// The Intel HEX download against a pseudo-terminal: the exact bytes on the line, the
// progress, every failure message, cancel and a vanished device.
#include "engine/JobFixture.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

const std::string kEof = ":00000001FF";
const std::string kHead = "[MODEL]\nCODE=HX1\n[SYSTEM]\nPROTOCOL=INTELHEX\n";

std::string hexFile(const std::string& tag, bool withEof, const char* lineEnd = "\r\n")
{
    std::string text = ":02000004" + tag + "F0" + lineEnd + ":0400000001020304F2" + lineEnd;
    if (withEof)
        text += kEof + lineEnd;
    return text;
}

// A model with one application of 900 000 bytes: far more than a line holds, so its
// load is still writing long after the line has filled.
void selectModelWithABigApp(JobFixture& f)
{
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += ":10000000000102030405060708090A0B0C0D0E0F78\r\n";
    f.writeApp("a.hex", big);
    f.selectModel("M.app", kHead + "[APP]\nPROGRAM=a.hex\n");
}

struct StreamCase {
    const char* name;
    const char* config;
    std::vector<std::string> apps;
};

class IntelHexStream : public testing::TestWithParam<StreamCase> {};

// The terminal receives every file but the last without its end-of-file record, and the
// last one complete; the bar ends at the sum of the file sizes.
TEST_P(IntelHexStream, OneEndRecordAtTheEndOfTheStream)
{
    const StreamCase& c = GetParam();
    JobFixture f;
    PtyPair pty;
    pty.startCollecting();
    std::string model = kHead;
    std::string expected;
    std::vector<std::string> names;
    if (*c.config)
        names.push_back(c.config);
    names.insert(names.end(), c.apps.begin(), c.apps.end());
    long total = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string content = hexFile(std::to_string(1000 + i), true);
        f.writeApp(names[i], content);
        total += static_cast<long>(content.size());
        expected += i + 1 < names.size() ? hexFile(std::to_string(1000 + i), false) : content;
    }
    if (*c.config)
        model += std::string("CONFIG=") + c.config + "\n";
    if (!c.apps.empty()) {
        model += "[APP]\n";
        for (const auto& app : c.apps)
            model += "PROGRAM=" + app + "\n";
    }
    f.selectModel("M.app", model);
    auto job = f.makeJob(pty.slavePath());
    ASSERT_TRUE(job->run());
    ASSERT_TRUE(pty.waitCollected(expected.size()));
    EXPECT_EQ(pty.collected(), expected);
    EXPECT_EQ(f.progress->upperBound, total);
    EXPECT_EQ(f.progress->position, total);
    auto texts = f.texts();
    EXPECT_EQ(texts[texts.size() - 2], "Complete downloading.");
    EXPECT_EQ(texts.back(), "Carga finalizada.");
}

INSTANTIATE_TEST_SUITE_P(Files, IntelHexStream,
                         testing::Values(StreamCase{"ConfigAndThreeApps", "c.hex", {"a1.hex", "a2.hex", "a3.hex"}},
                                         StreamCase{"ConfigOnly", "c.hex", {}},
                                         StreamCase{"OneAppOnly", "", {"a1.hex"}}),
                         [](const auto& info) { return info.param.name; });

TEST(IntelHexDownload, LinesGoOutAsReadWithCarriageReturnAndLineFeed)
{
    JobFixture f;
    PtyPair pty;
    pty.startCollecting();
    // LF and lone CR line ends, an empty line, end records that are not exact, no final line end.
    f.writeApp("c.hex", ":00000001ff\n\n:00000001FF \r:AB");
    f.writeApp("a.hex", ":01\r\n");
    f.selectModel("M.app", kHead + "CONFIG=c.hex\n[APP]\nPROGRAM=a.hex\n");
    auto job = f.makeJob(pty.slavePath());
    ASSERT_TRUE(job->run());
    std::string expected = ":00000001ff\r\n\r\n:00000001FF \r\n:AB\r\n:01\r\n";
    ASSERT_TRUE(pty.waitCollected(expected.size()));
    EXPECT_EQ(pty.collected(), expected);
    EXPECT_EQ(f.texts()[2], "Configuration downloading... c.hex");
    EXPECT_EQ(f.texts()[3], "Application downloading... a.hex");
}

struct RefusalCase {
    const char* name;
    const char* model;
    const char* message;
};

class IntelHexRefusal : public testing::TestWithParam<RefusalCase> {};

// Every file is checked before the first byte is sent.
TEST_P(IntelHexRefusal, NothingIsSent)
{
    const RefusalCase& c = GetParam();
    JobFixture f;
    PtyPair pty;
    pty.startCollecting();
    f.writeApp("c.hex", hexFile("1000", true));
    f.writeApp("a.hex", hexFile("2000", true));
    f.selectModel("M.app", kHead + c.model);
    auto job = f.makeJob(pty.slavePath());
    EXPECT_FALSE(job->run());
    EXPECT_EQ(f.texts().back(), c.message);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(pty.collected(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntelHexRefusal,
    testing::Values(RefusalCase{"MissingConfig", "CONFIG=none.hex\n[APP]\nPROGRAM=a.hex\n", "Configuration file doesn't found."},
                    RefusalCase{"MissingSecondApp", "CONFIG=c.hex\n[APP]\nPROGRAM=a.hex\nPROGRAM=none.hex\n",
                                "Application file doesn't found."},
                    RefusalCase{"LowerCaseKey", "CONFIG=c.hex\n[APP]\nprogram=a.hex\n",
                                "Invalid command for Halvorin terminals."}),
    [](const auto& info) { return info.param.name; });

TEST(IntelHexDownload, FileThatCannotBeReadWhenItsTurnComes)
{
    JobFixture f;
    PtyPair pty;
    pty.startCollecting();
    f.writeApp("a.hex", hexFile("2000", true));
    f.dir.mkdir("apps/dir.hex");
    f.selectModel("M.app", kHead + "[APP]\nPROGRAM=a.hex\nPROGRAM=dir.hex\n");
    auto job = f.makeJob(pty.slavePath());
    EXPECT_FALSE(job->run());
    EXPECT_EQ(f.texts().back(), "File not found or unreadable.");
    // What was sent stays sent.
    EXPECT_TRUE(pty.waitCollected(hexFile("2000", false).size()));
}

// A terminal that stops reading: the write waits without limit until a cancel wakes it.
TEST(IntelHexDownload, CancelWakesAWriteToAStalledLine)
{
    JobFixture f;
    PtyPair pty; // nobody reads the master
    selectModelWithABigApp(f);
    auto job = f.makeJob(pty.slavePath());
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        f.progress->cancel = true;
        job->progress().port()->abortWaits();
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(job->run());
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(f.texts().back(), "CANCELLED Process.  The equipment has not been loaded.");
}

// The device goes away in the middle of a load: the load fails instead of being
// reported as done.
TEST(IntelHexDownload, VanishedDeviceEndsWithAWriteError)
{
    JobFixture f;
    PtyPair pty;
    selectModelWithABigApp(f);
    auto job = f.makeJob(pty.slavePath());
    std::thread unplug([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pty.vanish();
    });
    EXPECT_FALSE(job->run());
    unplug.join();
    EXPECT_EQ(f.texts().back(), "Error writing to the terminal port.");
}

} // namespace
