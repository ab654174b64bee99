// The link operations of the job against the simulated terminal on a pseudo-terminal:
// whole files reassembled by the terminal, its faults, the closing command and the
// clock dialogue after its restart.
#include "engine/JobFixture.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

namespace {

std::string fileOf(std::size_t size, int seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((seed * 131 + i * 17 + (i >> 9)) & 0xFF);
    return bytes;
}

// A job whose port is open on a simulated terminal already in protocol mode.
struct SimLink {
    explicit SimLink(std::vector<std::string> faults, const std::string& timeset = "")
    {
        std::vector<std::string> args = {"--mode", "terminal", "--protocol-running", "--files", f.dir.file("got"),
                                         "--log", f.dir.file("events.log"), "--restart-ms", "50"};
        args.insert(args.end(), faults.begin(), faults.end());
        sim = std::make_unique<TermSim>(args);
        f.selectModel("M.app", "[SYSTEM]\nPROTOCOL=CORVANTIS\n[COMMUNICATION]\nTIMESET=" + timeset + "\n");
        f.set("RegistroNivel", "1");
        job = f.makeJob(sim->slavePath());
        job->readSettings();
        EXPECT_TRUE(job->openTerminalPort());
    }
    int count(const std::string& text)
    {
        auto texts = f.texts();
        return static_cast<int>(std::count(texts.begin(), texts.end(), text));
    }
    std::string events() { return readWholeFile(f.dir.file("events.log")); }

    JobFixture f;
    std::unique_ptr<TermSim> sim;
    std::unique_ptr<DownloadJob> job;
};

TEST(TerminalLinkE2E, KernelAndApplicationReassembledByTheTerminal)
{
    SimLink t({"--block-length", "4000"});
    std::string kernel = fileOf(5000, 1), app = fileOf(70000, 2), prekernel = fileOf(290, 3);
    t.f.writeApp("k.bin", kernel);
    t.f.writeApp("a.bin", app);
    t.f.writeApp("p.bin", prekernel);
    ASSERT_TRUE(t.job->downloadFile(FileKind::Prekernel, "p.bin"));
    ASSERT_TRUE(t.job->downloadFile(FileKind::Kernel, "k.bin"));
    ASSERT_TRUE(t.job->downloadFile(FileKind::Application, "a.bin"));
    ASSERT_TRUE(t.job->finishDownload());
    EXPECT_EQ(readWholeFile(t.f.dir.file("got/01-prekernel.bin")), prekernel);
    EXPECT_EQ(readWholeFile(t.f.dir.file("got/02-kernel.bin")), kernel);
    EXPECT_EQ(readWholeFile(t.f.dir.file("got/03-app.bin")), app);
    std::string header = readWholeFile(t.f.dir.file("got/02-kernel.hdr"));
    ASSERT_EQ(header.size(), 256u);
    EXPECT_EQ(header.substr(0, 4), "\x6AKKK");
    EXPECT_EQ(header.substr(4, 103), kernel.substr(7, 103));
    EXPECT_EQ(header.substr(128), kernel.substr(153, 128));
    // Blocks of 2045 however much the terminal offers; the 5000-byte kernel ends with 910.
    std::string events = t.events();
    EXPECT_NE(events.find("command 12 block 3 len 910"), std::string::npos) << events;
    EXPECT_EQ(events.find("len 4000"), std::string::npos);
}

struct FaultCase {
    const char* name;
    std::vector<std::string> faults;
    bool loads;
    const char* message; // must have been reported
    int times;
};

class TerminalFault : public testing::TestWithParam<FaultCase> {};

TEST_P(TerminalFault, KernelDownloadMeetsTheFault)
{
    const FaultCase& c = GetParam();
    SimLink t(c.faults);
    std::string kernel = fileOf(5000, 4);
    t.f.writeApp("k.bin", kernel);
    EXPECT_EQ(t.job->downloadFile(FileKind::Kernel, "k.bin"), c.loads);
    EXPECT_EQ(t.count(c.message), c.times) << c.message;
    if (c.loads) {
        ASSERT_TRUE(t.job->finishDownload());
        EXPECT_EQ(readWholeFile(t.f.dir.file("got/01-kernel.bin")), kernel);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TerminalFault,
    testing::Values(
        FaultCase{"TwoNaks", {"--nak-frames", "2"}, true, "NAK received.", 2},
        FaultCase{"ThreeNaks", {"--nak-frames", "3"}, true, "Retrying message process", 1},
        FaultCase{"NineNaks", {"--nak-frames", "9"}, false, "Max command retries reached.", 1},
        FaultCase{"BadCheckByte", {"--bad-lcr", "2"}, true, "Asking for a response resend (NAK).", 2},
        FaultCase{"BadCheckByteThreeTimes", {"--bad-lcr", "3"}, true, "Erroneous response from the terminal.", 1},
        FaultCase{"LostAck", {"--lose-acks", "1"}, true, "ACK/NAK not received. Supposing ACK losing.", 1},
        FaultCase{"DleForAck", {"--dle-for-ack", "2"}, true, "ACK/NAK not received. Supposing ACK losing.", 2},
        FaultCase{"WrongEcho", {"--wrong-echo", "1"}, false, "Unexpected block number.", 1},
        FaultCase{"OtherCommandEchoed", {"--echo-cmd", "1"}, true, "The terminal's response doesn't match the command sent.", 1},
        FaultCase{"SignatureRefused", {"--status", "11=52"}, false, "Digital signature error.", 1},
        FaultCase{"BlockNumberRefused", {"--status", "12=54"}, false, "Erroneous block number.", 1},
        FaultCase{"OddStatus", {"--status", "12=0x81,0x35"}, false, "Unknown error.", 1},
        FaultCase{"NoBlockLength", {"--short-open"}, false, "Erroneous response from the terminal.", 1},
        FaultCase{"ZeroBlockLength", {"--block-length", "0"}, false, "Erroneous response from the terminal.", 1},
        FaultCase{"SmallBlocks", {"--block-length", "100"}, true, "Kernel downloading... (k.bin)", 1}),
    [](const auto& info) { return info.param.name; });

// A response cut in half: the rest never comes, the station waits out the 10 s gap,
// finds it does not decode and asks for it again.
TEST(TerminalLinkE2E, TruncatedResponseIsAskedAgain)
{
    SimLink t({"--truncate", "1"});
    TerminalResponse response;
    EXPECT_TRUE(t.job->sendProbe(response));
    EXPECT_EQ(t.count("Asking for a response resend (NAK)."), 1);
}

std::string localDigits(std::time_t when)
{
    char text[16];
    std::tm local{};
    ::localtime_r(&when, &local);
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
    return text;
}

TEST(TerminalLinkE2E, ClockIsSetAfterTheRestart)
{
    SimLink t({"--clock-line", "9600,N,8,1"}, "9600");
    ASSERT_TRUE(t.job->finishDownload());
    std::time_t before = std::time(nullptr);
    ASSERT_TRUE(t.job->setClock(5));
    std::time_t after = std::time(nullptr);
    std::string events = t.events();
    auto at = events.find("clock " + localDigits(before).substr(0, 2)); // the line with the digits
    ASSERT_NE(at, std::string::npos) << events;
    std::string digits = events.substr(at + 6, 14);
    EXPECT_TRUE(digits >= localDigits(before) && digits <= localDigits(after)) << digits;
}

TEST(TerminalLinkE2E, LowerCaseWakeCharacterNeverWakesTheStation)
{
    SimLink t({"--wake-char", "t"});
    ASSERT_TRUE(t.job->finishDownload());
    EXPECT_FALSE(t.job->setClock(1));
    EXPECT_EQ(t.f.texts().back(), "The terminal does not awake to assign the date.");
}

} // namespace
