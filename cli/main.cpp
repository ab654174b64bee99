// orvane-load: the headless download station. Each port named on the command line gets
// its own download job, exactly as a panel's Download button starts one; the main
// thread is the interface thread.
#include "app/OrvaneDoc.h"
#include "cli/ConsoleInterface.h"
#include "cli/ConsoleLoop.h"
#include "cli/ConsoleOutput.h"
#include "cli/ConsolePanels.h"
#include "cli/ModelListing.h"
#include "cli/StationOptions.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kExitSetupError = 2;

int setupError(const std::string& message)
{
    std::fprintf(stderr, "orvane-load: %s\n", message.c_str());
    return kExitSetupError;
}

// The settings file must exist and be readable: without it there is no terminals
// directory, no applications directory and no model.
bool settingsReadable(const std::string& path, std::string& error)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read settings file " + path + ": " + std::strerror(errno);
        return false;
    }
    char byte;
    bool readable = ::read(fd, &byte, 1) >= 0;
    int readError = errno;
    ::close(fd);
    if (!readable)
        error = "cannot read settings file " + path + ": " + std::strerror(readError);
    return readable;
}

int runDownloads(OrvaneDoc& document, ConsoleLoop& loop, const StationOptions& options)
{
    ConsoleOutput output(stdout);
    ConsolePanels panels(document, loop, output);
    for (const std::string& port : options.ports)
        panels.addPort(port);
    panels.startAll();
    // A cancel wakes the waits in progress at that moment; a job that was between two
    // waits notices the request at its next test. Repeating the wake-up until every job
    // has ended covers a job that began a wait without limit just after the request.
    loop.setSignalHandler([&] {
        panels.cancelAll();
        loop.setTicker(250, [&] { panels.cancelAll(); });
    });
    loop.run([&] { return !panels.anyRunning(); });
    document.waitForLoaderThreads();
    return panels.allSucceeded() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    auto options = parseStationOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "orvane-load: %s\n%s", error.c_str(), kStationUsage);
        return kExitSetupError;
    }
    std::string settingsPath = platform::settingsFilePath(options->settingsFile);
    if (!settingsReadable(settingsPath, error))
        return setupError(error);

    ConsoleLoop loop;
    platform::SettingsStore settings(settingsPath);
    OrvaneDoc document(settings);
    ConsoleInterface interfaceThread(loop, document);
    document.setInterfaceThread(&interfaceThread);
    document.reload();

    if (options->listModels) {
        listModels(document.topLevelNodes(), stdout);
        return 0;
    }
    if (options->modelPath) {
        document.setCurrentNode(document.findNode(*options->modelPath));
        if (!dynamic_cast<TestTree::Model*>(document.currentNode()))
            return setupError("no model at " + *options->modelPath);
    } else if (!dynamic_cast<TestTree::Model*>(document.currentNode())) {
        return setupError("no model selected: CurNode \"" + document.readSetting("CurNode") +
                          "\" names no model; give --model PATH");
    }
    int status = runDownloads(document, loop, *options);
    document.close(false);
    return status;
}
