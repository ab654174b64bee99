// Signing configuration data through the document with the signing tool stand-in: the
// command lines of both modes, the signer password, the exit codes the station accepts,
// every failure text, the exchange file's life and one signing at a time.
#include "signing/SigningFixture.h"
#include "platform/SystemError.h"
#include "sim/signer/SignatureTrailer.h"
#include "support/FileSizeLimit.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

namespace {

const std::string configData("\x01\x02 terminal configuration \x00\xff\x7f record", 36);
const std::string portError = "Error, setting signing tool communications port.";
const std::string passwordError = "Error, checking signing tool password. Erroneous password?";
const std::string executingError = "Error, executing signing tool utility.";

std::string currentDirectory()
{
    return fs::current_path().string();
}

class SignConfiguration : public SigningTest {
protected:
    void useKeyFile(const std::string& radio = "2")
    {
        keyFile = work.write("keys/station.key", "key bytes");
        setting("FirmadorRadio", radio);
        setting("FirmadorArchivo", keyFile);
        setting("FirmadorClave", "07");
    }
    void useDevice(const std::string& password)
    {
        setting("FirmadorRadio", "1");
        setting("FirmadorPuerto", "/dev/ttyS3");
        doc.setSignerPassword(password);
    }
    bool isExchangeFile(const std::string& path) const
    {
        std::string name = fs::path(path).filename().string();
        return fs::path(path).parent_path() == fs::path(tmpFolder) && name.size() == 13 && name.rfind("CFG", 0) == 0 &&
               name.substr(9) == ".TMP";
    }
    std::vector<std::vector<std::string>> argumentsOfRuns() const
    {
        std::vector<std::vector<std::string>> all;
        for (const ToolRun& run : toolRuns())
            all.push_back(run.arguments);
        return all;
    }

    std::string keyFile;
    const signer::SigningKey keyFileKey = signer::SigningKey::keyFile("key bytes", "07");
    const std::string keyFileSigned = *signer::signInPlace(configData, keyFileKey);
    const std::string deviceSigned = *signer::signInPlace(configData, signer::SigningKey::device());
};

TEST_F(SignConfiguration, EveryModeButNoneAndDeviceSignsWithTheKeyFile)
{
    useKeyFile();
    for (const char* radio : {"2", "3", "-1"}) {
        SCOPED_TRACE(radio);
        setting("FirmadorRadio", radio);
        Outcome out = signOnLoaderThread(configData, configData.size());
        EXPECT_TRUE(out.signedOk) << out.errorText;
        EXPECT_EQ(out.data, keyFileSigned);
        EXPECT_EQ(out.length, configData.size()); // signed in place
    }
    std::vector<ToolRun> runs = toolRuns();
    ASSERT_EQ(runs.size(), 3u);
    for (const ToolRun& run : runs) {
        ASSERT_EQ(run.arguments.size(), 4u);
        EXPECT_TRUE(isExchangeFile(run.arguments[0])) << run.arguments[0];
        EXPECT_EQ(run.arguments[1], run.arguments[0]);
        EXPECT_EQ(run.arguments[2], keyFile);
        EXPECT_EQ(run.arguments[3], "07");
        // The tool found the data in a file only the user may read.
        EXPECT_EQ(run.inputMode, "600");
        EXPECT_EQ(run.inputSize, static_cast<long long>(configData.size()));
    }
    EXPECT_THAT(exchangeFilesLeft(), IsEmpty());
    EXPECT_THAT(ui.passwordTitles(), IsEmpty());
}

TEST_F(SignConfiguration, ToolRunsInTheTemporaryFolderWhileTheStationStaysWhereItIs)
{
    useKeyFile();
    std::string before = currentDirectory();
    Outcome out = signOnLoaderThread(configData, 1000);
    EXPECT_TRUE(out.signedOk) << out.errorText;
    EXPECT_EQ(currentDirectory(), before);
    std::vector<ToolRun> runs = toolRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].workingDirectory, tmpFolderSeenByTool());
    EXPECT_EQ(runs[0].program, tmpFolder + "/sign.exe");
}

TEST_F(SignConfiguration, ToolIsLookedUpOnThePathWhenTheTemporaryFolderHasNone)
{
    useKeyFile();
    fs::remove(tmpFolder + "/sign.exe");
    work.symlink("bin/sign.exe", signerProgram);
    switchOn("PATH", work.file("bin"));
    Outcome out = signOnLoaderThread(configData, 1000);
    EXPECT_TRUE(out.signedOk) << out.errorText;
    EXPECT_EQ(out.data, keyFileSigned);
    std::vector<ToolRun> runs = toolRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].program, "sign.exe");
    EXPECT_EQ(runs[0].workingDirectory, tmpFolderSeenByTool());
}

TEST_F(SignConfiguration, DeviceModeAsksForThePasswordOnceAndKeepsIt)
{
    useDevice("");
    switchOn("ORVANE_SIGNER_PASSWORD", "s3cret");
    ui.answerPassword("s3cret");
    for (int signing = 0; signing < 2; ++signing) {
        Outcome out = signOnLoaderThread(configData, configData.size());
        EXPECT_TRUE(out.signedOk) << out.errorText;
        EXPECT_EQ(out.data, deviceSigned);
    }
    EXPECT_THAT(ui.passwordTitles(), ElementsAre("Enter Signer password"));
    EXPECT_EQ(doc.signerPassword(), "s3cret");

    std::vector<std::vector<std::string>> runs = argumentsOfRuns();
    ASSERT_EQ(runs.size(), 6u);
    for (std::size_t first : {0u, 3u}) {
        EXPECT_THAT(runs[first], ElementsAre("PORT", "/dev/ttyS3"));
        EXPECT_THAT(runs[first + 1], ElementsAre("PASSWORD", "s3cret", "BYHSC"));
        ASSERT_EQ(runs[first + 2].size(), 3u);
        EXPECT_TRUE(isExchangeFile(runs[first + 2][0]));
        EXPECT_EQ(runs[first + 2][1], runs[first + 2][0]);
        EXPECT_EQ(runs[first + 2][2], "BYHSC");
    }
    EXPECT_THAT(exchangeFilesLeft(), IsEmpty());
}

TEST_F(SignConfiguration, CancelledPasswordFailsWithoutATextAndWithoutTheTool)
{
    useDevice("");
    ui.answerPassword(std::nullopt);
    Outcome out = signOnLoaderThread(configData, 1000, std::nullopt, "left as it was");
    EXPECT_FALSE(out.signedOk);
    EXPECT_EQ(out.errorText, "left as it was");
    EXPECT_EQ(ui.passwordTitles().size(), 1u);
    EXPECT_EQ(doc.signerPassword(), "");
    EXPECT_THAT(toolRuns(), IsEmpty());
    EXPECT_THAT(exchangeFilesLeft(), IsEmpty());
}

TEST_F(SignConfiguration, RejectedPasswordStaysForTheNextSigning)
{
    useDevice("");
    switchOn("ORVANE_SIGNER_PASSWORD", "right");
    ui.answerPassword("wrong");
    for (int signing = 0; signing < 2; ++signing) {
        Outcome out = signOnLoaderThread(configData, 1000);
        EXPECT_FALSE(out.signedOk);
        EXPECT_EQ(out.errorText, passwordError);
        EXPECT_EQ(out.data, configData); // the buffer keeps the unsigned data
    }
    EXPECT_EQ(ui.passwordTitles().size(), 1u);
    EXPECT_EQ(doc.signerPassword(), "wrong");
    EXPECT_EQ(toolRuns().size(), 4u); // port and password, twice; never the signing
}

TEST_F(SignConfiguration, ExitCodesOfEachStep)
{
    struct Case {
        bool device;
        const char* variable;
        const char* exitCode;
        std::string errorText; // empty: signed
        std::size_t runs;
    };
    const Case cases[] = {
        {true, "ORVANE_SIGNER_EXIT_PORT", "1", portError, 1},
        {true, "ORVANE_SIGNER_EXIT_PORT", "254", portError, 1},
        {true, "ORVANE_SIGNER_EXIT_PASSWORD", "254", "", 3},
        {true, "ORVANE_SIGNER_EXIT_PASSWORD", "1", passwordError, 2},
        {true, "ORVANE_SIGNER_EXIT_PASSWORD", "255", passwordError, 2},
        {true, "ORVANE_SIGNER_EXIT_SIGN", "254", executingError, 3},
        {true, "ORVANE_SIGNER_EXIT_SIGN", "1", executingError, 3},
        {false, "ORVANE_SIGNER_EXIT", "254", executingError, 1},
        {false, "ORVANE_SIGNER_EXIT", "3", executingError, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + c.exitCode);
        fs::remove(logPath);
        if (c.device)
            useDevice("pw");
        else
            useKeyFile();
        ScopedEnvironment exitCode(c.variable, c.exitCode);
        Outcome out = signOnLoaderThread(configData, 1000);
        EXPECT_EQ(out.signedOk, c.errorText.empty());
        EXPECT_EQ(out.errorText, c.errorText);
        if (c.errorText.empty()) {
            EXPECT_EQ(out.data, deviceSigned);
        }
        EXPECT_EQ(toolRuns().size(), c.runs);
        EXPECT_THAT(exchangeFilesLeft(), IsEmpty());
    }
    EXPECT_THAT(ui.messages(), IsEmpty());
}

TEST_F(SignConfiguration, FailuresBeforeTheToolRuns)
{
    struct Case {
        const char* name;
        std::string radio; // empty: the key is missing
        std::string tmpdir;
        std::string errorText;
    };
    // The folder's path with its final '/' and a terminating zero must fit in 260.
    const std::string fitsJust = "/" + std::string(257, 'f');
    const std::string oneTooLong = "/" + std::string(258, 'f');
    const Case cases[] = {
        {"no signing tool", "0", tmpFolder, "The Signing tool isn't set."},
        {"setting missing", "", tmpFolder, "The Signing tool isn't set."},
        {"folder path too long", "2", oneTooLong, "Error, opening temporal files folder."},
        {"folder path fits but is missing", "2", fitsJust, "Error, creating temporal file."},
        {"folder missing", "2", work.file("no-such-folder"), "Error, creating temporal file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.radio.empty())
            fs::remove(settings.path());
        else
            setting("FirmadorRadio", c.radio);
        ScopedEnvironment tmpdir("TMPDIR", c.tmpdir);
        Outcome out = signOnLoaderThread(configData, 1000);
        EXPECT_FALSE(out.signedOk);
        EXPECT_EQ(out.errorText, c.errorText);
        EXPECT_EQ(out.data, configData);
    }
    EXPECT_THAT(toolRuns(), IsEmpty());
    EXPECT_THAT(exchangeFilesLeft(), IsEmpty());
}

TEST_F(SignConfiguration, ExchangeFileThatCannotTakeTheDataFails)
{
    useKeyFile();
    Outcome out;
    {
        FileSizeLimit limit(configData.size() / 2);
        ASSERT_TRUE(limit.ok());
        out = signOnLoaderThread(configData, 1000);
    }
    EXPECT_FALSE(out.signedOk);
    EXPECT_EQ(out.errorText, "Error, writing a temporal file.");
    EXPECT_THAT(toolRuns(), IsEmpty());
    EXPECT_THAT(exchangeFilesLeft(), IsEmpty());
}

TEST_F(SignConfiguration, SignedDataMustFitTheCapacity)
{
    // Signed in place the data keeps its length: a capacity of exactly that length does.
    useKeyFile();
    Outcome exact = signOnLoaderThread(configData, configData.size());
    EXPECT_TRUE(exact.signedOk) << exact.errorText;
    EXPECT_EQ(exact.data, keyFileSigned);
    EXPECT_EQ(exact.length, configData.size());

    switchOn("ORVANE_SIGNER_GROW", "1");
    Outcome over = signOnLoaderThread(configData, configData.size());
    EXPECT_FALSE(over.signedOk);
    EXPECT_EQ(over.errorText, "Temporal file max length exceeded.");
    EXPECT_EQ(over.length, configData.size() + 1); // the file's size, for the report
    EXPECT_THAT(exchangeFilesLeft(), IsEmpty());
}

TEST_F(SignConfiguration, DataTooShortToHoldTheSignatureIsNotSigned)
{
    useKeyFile();
    const std::string justFits(signer::trailerSize, 'j');
    Outcome fits = signOnLoaderThread(justFits, justFits.size());
    EXPECT_TRUE(fits.signedOk) << fits.errorText;
    EXPECT_EQ(fits.data, signer::trailerOver("", keyFileKey)); // the signature covers nothing

    const std::string tooShort(signer::trailerSize - 1, 's');
    Outcome refused = signOnLoaderThread(tooShort, 1000);
    EXPECT_FALSE(refused.signedOk);
    EXPECT_EQ(refused.errorText, executingError);
    EXPECT_EQ(refused.data, tooShort); // the buffer keeps the unsigned data
    EXPECT_EQ(refused.length, tooShort.size());

    std::vector<ToolRun> runs = toolRuns();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].exitCode, 0);
    EXPECT_EQ(runs[0].refusal, "");
    EXPECT_EQ(runs[1].exitCode, 5);
    EXPECT_EQ(runs[1].refusal, "data of 26 bytes cannot hold the 27-byte signature");
    EXPECT_THAT(exchangeFilesLeft(), IsEmpty());
}

TEST_F(SignConfiguration, ExchangeFileGoneAfterTheToolFails)
{
    useKeyFile();
    switchOn("ORVANE_SIGNER_REMOVE", "1");
    Outcome out = signOnLoaderThread(configData, 1000);
    EXPECT_FALSE(out.signedOk);
    EXPECT_EQ(out.errorText, "Error, opening temporal file to read.");
}

TEST_F(SignConfiguration, HangingToolIsKilledAtTheTimeLimitAndTheOperatorTold)
{
    struct Case {
        bool device;
        const char* step;
        std::string errorText;
    };
    const Case cases[] = {
        {false, "SIGN", executingError},
        {true, "PORT", portError},
        {true, "PASSWORD", passwordError},
        {true, "SIGN", executingError},
    };
    std::size_t messagesBefore = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        fs::remove(logPath);
        if (c.device)
            useDevice("pw");
        else
            useKeyFile();
        ScopedEnvironment hang("ORVANE_SIGNER_HANG", c.step);
        platform::Millis start = platform::tickMs();
        Outcome out = signOnLoaderThread(configData, 1000, 300);
        EXPECT_LT(platform::tickMs() - start, 5000);
        EXPECT_FALSE(out.signedOk);
        EXPECT_EQ(out.errorText, c.errorText);

        std::vector<ToolRun> runs = toolRuns();
        ASSERT_FALSE(runs.empty());
        EXPECT_EQ(runs.back().exitCode, -1);
        EXPECT_TRUE(processGone(runs.back().pid));
        auto messages = ui.messages();
        ASSERT_EQ(messages.size(), messagesBefore + 1);
        EXPECT_THAT(messages.back(), Pair("Waiting time reached", tmpFolder + "/sign.exe"));
        messagesBefore = messages.size();
        EXPECT_THAT(exchangeFilesLeft(), IsEmpty());
    }
}

TEST_F(SignConfiguration, ToolThatCannotStartIsReportedToTheOperator)
{
    useKeyFile();
    fs::remove(tmpFolder + "/sign.exe");
    switchOn("PATH", work.mkdir("empty-bin"));
    Outcome out = signOnLoaderThread(configData, 1000);
    EXPECT_FALSE(out.signedOk);
    EXPECT_EQ(out.errorText, executingError);
    EXPECT_THAT(ui.messages(), ElementsAre(Pair(platform::systemErrorText(ENOENT), "sign.exe")));
    EXPECT_THAT(exchangeFilesLeft(), IsEmpty());
}

TEST_F(SignConfiguration, TwoPortsSigningAtOnceRunOneAfterTheOther)
{
    // The second port waits for the first signing, its password prompt included, so the
    // operator is asked once (a second prompt would be cancelled by the script).
    useDevice("");
    ui.answerPassword("pw");
    switchOn("ORVANE_SIGNER_DELAY_MS", "100");
    const std::string data[2] = {configData, "the other port's configuration data"};
    std::vector<std::uint8_t> buffers[2];
    std::size_t lengths[2];
    bool signedOk[2] = {false, false};
    std::string errors[2];
    std::vector<std::thread> loaders;
    for (int port = 0; port < 2; ++port) {
        buffers[port].assign(data[port].begin(), data[port].end());
        buffers[port].resize(200);
        lengths[port] = data[port].size();
        loaders.emplace_back([&, port] {
            signedOk[port] = doc.signConfiguration(buffers[port].data(), lengths[port], 200, errors[port]);
        });
    }
    for (std::thread& loader : loaders)
        loader.join();
    for (int port = 0; port < 2; ++port) {
        SCOPED_TRACE(port);
        EXPECT_TRUE(signedOk[port]) << errors[port];
        EXPECT_EQ(std::string(buffers[port].begin(), buffers[port].begin() + static_cast<std::ptrdiff_t>(lengths[port])),
                  *signer::signInPlace(data[port], signer::SigningKey::device()));
    }
    EXPECT_EQ(ui.passwordTitles().size(), 1u);
    EXPECT_TRUE(runsOneAfterAnother(logPath));
    std::vector<std::vector<std::string>> runs = argumentsOfRuns();
    ASSERT_EQ(runs.size(), 6u);
    for (std::size_t first : {0u, 3u}) {
        EXPECT_EQ(runs[first][0], "PORT");
        EXPECT_EQ(runs[first + 1][0], "PASSWORD");
        EXPECT_EQ(runs[first + 2][2], "BYHSC");
    }
}

} // namespace
