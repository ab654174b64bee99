// Running a helper program: the argument vector cut from the text without a shell, the
// program looked up in the working directory or on PATH, its exit code, its working
// directory, and the kill at the time limit or on abort.
#include "platform/ProcessRunner.h"
#include "platform/WakeEvent.h"
#include "signing/ScopedEnvironment.h"
#include "signing/ToolRuns.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;
using platform::ProcessRun;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

TEST(SplitArguments, CutsAtBlanksOnly)
{
    struct Case {
        std::string text;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"PORT COM1", {"PORT", "COM1"}},
        {"PASSWORD  BYHSC", {"PASSWORD", "BYHSC"}}, // an empty password leaves no empty argument
        {"  a  b  ", {"a", "b"}},
        {"a;b $HOME `id` |c 'q r' \"s t\"", {"a;b", "$HOME", "`id`", "|c", "'q", "r'", "\"s", "t\""}},
        {"tab\tinside word", {"tab\tinside", "word"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::splitArguments(c.text), c.words) << c.text;
}

TEST(LocateProgram, PrefersTheDirectoryElseTheBareName)
{
    TempDir dir;
    EXPECT_EQ(platform::locateProgram(dir.path(), "sign.exe"), "sign.exe");
    EXPECT_EQ(platform::locateProgram("", "sign.exe"), "sign.exe");
    dir.write("sign.exe", "");
    EXPECT_EQ(platform::locateProgram(dir.path(), "sign.exe"), dir.path() + "/sign.exe");
    EXPECT_EQ(platform::locateProgram(dir.path() + "/", "sign.exe"), dir.path() + "/sign.exe");
    dir.mkdir("tool.exe"); // a folder of that name counts too
    EXPECT_EQ(platform::locateProgram(dir.path(), "tool.exe"), dir.path() + "/tool.exe");
}

// A folder holding the signing tool stand-in as sign.exe, whose runs are logged.
class RunProcess : public ::testing::Test {
protected:
    RunProcess()
    {
        dir.symlink("sign.exe", ORVANE_SIGNER);
        for (const char* name : {"ORVANE_SIGNER_EXIT", "ORVANE_SIGNER_EXIT_PORT", "ORVANE_SIGNER_HANG",
                                 "ORVANE_SIGNER_DELAY_MS"})
            environment.push_back(std::make_unique<ScopedEnvironment>(name, std::nullopt));
        switchOn("ORVANE_SIGNER_LOG", logPath);
    }
    void switchOn(const std::string& name, const std::string& value)
    {
        environment.push_back(std::make_unique<ScopedEnvironment>(name, value));
    }
    ToolRun onlyRun() const
    {
        std::vector<ToolRun> runs = readToolRuns(logPath);
        EXPECT_EQ(runs.size(), 1u);
        return runs.empty() ? ToolRun{} : runs.front();
    }

    TempDir work;
    TempDir dir;
    std::string logPath = work.file("signer.log");
    std::vector<std::unique_ptr<ScopedEnvironment>> environment;
};

TEST_F(RunProcess, HandsTheArgumentsOverWithoutAShell)
{
    ProcessRun run = platform::RunProcess(dir.path(), "sign.exe", "x;y $HOME `id` |z >out *", 5000);
    EXPECT_EQ(run.outcome, ProcessRun::Outcome::Exited);
    EXPECT_EQ(run.exitCode, 2); // a command line the stand-in does not know
    EXPECT_EQ(run.programPath, dir.path() + "/sign.exe");
    ToolRun logged = onlyRun();
    EXPECT_EQ(logged.program, dir.path() + "/sign.exe");
    EXPECT_THAT(logged.arguments, ElementsAre("x;y", "$HOME", "`id`", "|z", ">out", "*"));
    EXPECT_FALSE(fs::exists(dir.file("out")));
}

TEST_F(RunProcess, GivesTheProgramsExitCode)
{
    for (const char* code : {"0", "1", "254", "255"}) {
        ScopedEnvironment exitCode("ORVANE_SIGNER_EXIT", code);
        ProcessRun run = platform::RunProcess(dir.path(), "sign.exe", "PORT COM1", 5000);
        EXPECT_EQ(run.outcome, ProcessRun::Outcome::Exited);
        EXPECT_EQ(run.exitCode, std::stoi(code));
    }
}

TEST_F(RunProcess, ProgramWorksInTheGivenDirectoryAndTheStationStaysInItsOwn)
{
    std::string before = fs::current_path().string();
    std::string sub = dir.mkdir("with blank");
    dir.symlink("with blank/sign.exe", ORVANE_SIGNER);
    ProcessRun run = platform::RunProcess(sub, "sign.exe", "PORT COM1", 5000);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(onlyRun().workingDirectory, fs::canonical(sub).string());
    EXPECT_EQ(fs::current_path().string(), before);
}

TEST_F(RunProcess, DirectoryThatCannotBeUsedLeavesTheProgramInTheStationsDirectory)
{
    switchOn("PATH", dir.path());
    ProcessRun run = platform::RunProcess(dir.file("missing"), "sign.exe", "PORT COM1", 5000);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.programPath, "sign.exe");
    EXPECT_EQ(onlyRun().workingDirectory, fs::current_path().string());
}

TEST_F(RunProcess, WaitsWithoutLimitForAProgramThatEnds)
{
    switchOn("ORVANE_SIGNER_DELAY_MS", "200");
    ProcessRun run = platform::RunProcess(dir.path(), "sign.exe", "PORT COM1", 0);
    EXPECT_EQ(run.outcome, ProcessRun::Outcome::Exited);
    EXPECT_EQ(run.exitCode, 0);
}

TEST_F(RunProcess, KillsAProgramThatOutlivesTheLimit)
{
    switchOn("ORVANE_SIGNER_HANG", "1");
    platform::Millis start = platform::tickMs();
    ProcessRun run = platform::RunProcess(dir.path(), "sign.exe", "PORT COM1", 200);
    EXPECT_LT(platform::tickMs() - start, 5000);
    EXPECT_EQ(run.outcome, ProcessRun::Outcome::TimedOut);
    EXPECT_EQ(run.exitCode, -1);
    ToolRun logged = onlyRun();
    EXPECT_EQ(logged.exitCode, -1);
    EXPECT_TRUE(processGone(logged.pid)); // killed and reaped
}

TEST_F(RunProcess, AbortEventKillsTheProgramAndIsReset)
{
    switchOn("ORVANE_SIGNER_HANG", "1");
    platform::WakeEvent abort;
    std::thread aborter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        abort.set();
    });
    ProcessRun run = platform::RunProcess(dir.path(), "sign.exe", "PORT COM1", 0, &abort);
    aborter.join();
    EXPECT_EQ(run.outcome, ProcessRun::Outcome::Aborted);
    EXPECT_FALSE(abort.isSet());
    EXPECT_TRUE(processGone(onlyRun().pid));
}

TEST_F(RunProcess, ProgramThatCannotStart)
{
    switchOn("PATH", work.mkdir("empty-bin"));
    ProcessRun missing = platform::RunProcess(work.path(), "sign.exe", "PORT COM1", 5000);
    EXPECT_EQ(missing.outcome, ProcessRun::Outcome::NotStarted);
    EXPECT_EQ(missing.errorNumber, ENOENT);
    EXPECT_EQ(missing.programPath, "sign.exe");

    std::string notExecutable = work.write("tool/sign.exe", "not a program");
    ::chmod(notExecutable.c_str(), 0644);
    ProcessRun refused = platform::RunProcess(work.file("tool"), "sign.exe", "PORT COM1", 5000);
    EXPECT_EQ(refused.outcome, ProcessRun::Outcome::NotStarted);
    EXPECT_EQ(refused.errorNumber, EACCES);
    EXPECT_EQ(refused.programPath, notExecutable);
    EXPECT_THAT(readToolRuns(logPath), IsEmpty());
}

} // namespace
