#include "signing/SigningFixture.h"

#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

const char* const switches[] = {"ORVANE_SIGNER_EXIT",  "ORVANE_SIGNER_EXIT_PORT", "ORVANE_SIGNER_EXIT_PASSWORD",
                                "ORVANE_SIGNER_EXIT_SIGN", "ORVANE_SIGNER_HANG", "ORVANE_SIGNER_DELAY_MS",
                                "ORVANE_SIGNER_GROW",  "ORVANE_SIGNER_REMOVE", "ORVANE_SIGNER_PASSWORD"};

} // namespace

SigningTest::SigningTest()
    : tmpFolder(work.mkdir("tmp")),
      logPath(work.file("signer.log")),
      settings(work.write("orvane.conf", "[Settings]\n")),
      doc(settings),
      ui(doc)
{
    work.symlink("tmp/sign.exe", signerProgram);
    environment.push_back(std::make_unique<ScopedEnvironment>("TMPDIR", tmpFolder));
    environment.push_back(std::make_unique<ScopedEnvironment>("ORVANE_SIGNER_LOG", logPath));
    for (const char* name : switches)
        environment.push_back(std::make_unique<ScopedEnvironment>(name, std::nullopt));
}

SigningTest::~SigningTest()
{
    while (!environment.empty())
        environment.pop_back(); // last set, first restored: a variable set twice gets its first value back
}

void SigningTest::switchOn(const std::string& name, const std::string& value)
{
    environment.push_back(std::make_unique<ScopedEnvironment>(name, value));
}

SigningTest::Outcome SigningTest::signOnLoaderThread(std::string_view data, std::size_t capacity,
                                                     std::optional<platform::Millis> toolTimeLimitMs,
                                                     std::string errorText)
{
    std::vector<std::uint8_t> buffer(std::max(capacity, data.size()));
    std::copy(data.begin(), data.end(), buffer.begin());
    Outcome outcome;
    outcome.length = data.size();
    outcome.errorText = std::move(errorText);
    std::thread loader([&] {
        outcome.signedOk = toolTimeLimitMs
                               ? SigningRunner(doc, *toolTimeLimitMs).sign(buffer.data(), outcome.length, capacity,
                                                                           outcome.errorText)
                               : doc.signConfiguration(buffer.data(), outcome.length, capacity, outcome.errorText);
    });
    loader.join();
    outcome.data.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(std::min(outcome.length, buffer.size())));
    return outcome;
}

std::vector<std::string> SigningTest::exchangeFilesLeft() const
{
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(tmpFolder))
        if (entry.path().filename().string().rfind("CFG", 0) == 0)
            left.push_back(entry.path().string());
    return left;
}

std::string SigningTest::tmpFolderSeenByTool() const
{
    return fs::canonical(tmpFolder).string();
}
