// The load of a bootstrap-family terminal: the RAM bootstrap sent as text to the
// terminal's BIOS and woken on its own line settings, then configuration data,
// prekernel, kernel and applications over the link, the closing command and the clock.
#include "app/OrvaneDoc.h"
#include "loader/DownloadJob.h"
#include "loader/Progress.h"

#include <chrono>
#include <climits>
#include <cstdlib>
#include <set>
#include <sys/stat.h>
#include <thread>

namespace {

constexpr std::uint8_t CR = 0x0D;
constexpr std::uint8_t kPromptRequest = '?';
constexpr std::uint8_t kPrompt = '>';
constexpr std::uint8_t kProtocolMode = 'q';
constexpr std::uint8_t kLoadingMark = 'F';
constexpr std::uint8_t ACK = 0x06;
constexpr std::uint32_t kConsoleByteMs = 500;
constexpr const char* kCancelled = "CANCELLED Process.  The equipment has not been loaded.";

// The size of an existing file, or -1 when the file system has no status for it.
long long fileSize(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// A leading decimal integer ("250ms" gives 250); anything else gives 0.
long leadingInteger(const std::string& text)
{
    return std::strtol(text.c_str(), nullptr, 10);
}

void pause(long ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

// The files the description names, checked in order before anything is sent; total
// is the sum of their sizes, each file counted once.
bool DownloadJob::checkBootstrapFamilyFiles(const BootstrapFamilyFiles& files, long long& total)
{
    total = 0;
    std::set<std::string> counted;
    auto sizeOf = [&](const std::string& name) {
        std::string path = applicationPath(name);
        long long size = fileSize(path);
        if (size > 0 && counted.insert(path).second)
            total += size;
        return size;
    };
    struct Check {
        const std::string& name;
        bool required;
        const char* missing;
    } checks[] = {
        {files.ramboot, true, "RAMBOOT file not found."},
        {files.guarantee, false, "Configuration file doesn't found."},
        {files.config, false, "Configuration file doesn't found."},
        {files.prekernel, false, "PreKernel file not found."},
        {files.kernel, false, "Kernel file not found."},
    };
    for (const Check& check : checks) {
        if (check.name.empty() && !check.required)
            continue;
        if (check.name.empty() || sizeOf(check.name) < 0) {
            reportError(check.missing);
            return false;
        }
    }
    for (const ProfileEntry& app : files.apps) {
        if (app.first != "PROGRAM") {
            reportError("Invalid command for CORVANTIS terminals.");
            return false;
        }
        if (sizeOf(app.second) < 0) {
            reportError("Application file doesn't found.");
            return false;
        }
    }
    return true;
}

bool DownloadJob::loadBootstrapFamily()
{
    BootstrapFamilyFiles files;
    files.ramboot = document_.currentModelValue("SYSTEM", "RAMBOOT");
    files.guarantee = document_.currentModelValue("SYSTEM", "GUARANTEE");
    files.config = document_.currentModelValue("SYSTEM", "CONFIG");
    files.prekernel = document_.currentModelValue("SYSTEM", "PREKERNEL");
    files.kernel = document_.currentModelValue("SYSTEM", "KERNEL");
    if (auto section = document_.currentModelSection("APP"))
        files.apps = section->entries;

    long long total = 0;
    if (!checkBootstrapFamilyFiles(files, total))
        return false;
    progress_->setRange(total > INT_MAX ? INT_MAX : static_cast<int>(total));

    if (!loadRamBootstrap(files.ramboot, leadingInteger(document_.currentModelValue("SYSTEM", "RBDELAY"))))
        return false;
    if (!files.guarantee.empty() && !files.config.empty() && !prepareConfigurationData(files.guarantee, files.config))
        return false;
    if (!files.prekernel.empty() && !downloadFile(FileKind::Prekernel, files.prekernel))
        return false;
    if (!files.kernel.empty() && !downloadFile(FileKind::Kernel, files.kernel))
        return false;
    for (const ProfileEntry& app : files.apps) {
        if (progress_->cancelled())
            break;
        if (app.first != "PROGRAM") {
            reportError("Invalid command for CORVANTIS terminals.");
            return false;
        }
        if (!downloadFile(FileKind::Application, app.second))
            return false;
    }
    if (!finishDownload())
        return false;
    if (progress_->cancelled()) {
        reportError(kCancelled);
        return false;
    }
    std::string timeset = document_.currentModelValue("SYSTEM", "TIMESET");
    if (!timeset.empty() && std::toupper(static_cast<unsigned char>(timeset[0])) == 'Y' &&
        !setClock(static_cast<int>(leadingInteger(document_.currentModelValue("SYSTEM", "STDELAY")))))
        return false;
    if (progress_->cancelled()) {
        reportError(kCancelled);
        return false;
    }
    reportInfo("Complete downloading.");
    progress_->complete();
    return true;
}

// CR, a pause, the input thrown away, then '?': the first answer byte.
std::uint8_t DownloadJob::askForPrompt()
{
    writeLogged(CR, 0);
    pause(kConsoleByteMs);
    terminalPort_.discardInput();
    writeLogged(kPromptRequest, 0);
    return readLogged(kConsoleByteMs);
}

// 'q' switches the running RAM bootstrap into protocol mode; it must be echoed.
bool DownloadJob::enterProtocolMode()
{
    writeLogged(kProtocolMode, 0);
    if (readLogged(kConsoleByteMs) != kProtocolMode) {
        reportError("RAMBOOT doesn't echoes 'q' command.");
        return false;
    }
    return true;
}

// The BIOS answers CR with text whose byte 8 or 7 places before its end is 'F' while it
// waits for a load.
bool DownloadJob::biosInLoadingState()
{
    writeLogged(CR, 0);
    std::uint8_t answer[120];
    std::size_t count = terminalPort_.read(answer, sizeof answer, kConsoleByteMs);
    logInput(answer, count);
    return count >= 8 && (answer[count - 8] == kLoadingMark || answer[count - 7] == kLoadingMark);
}

bool DownloadJob::loadRamBootstrap(std::string_view fileName, long waitMs)
{
    reportInfo("Terminal quering...");
    if (askForPrompt() == kPrompt) {
        if (!enterProtocolMode())
            return false;
        reportInfo("Warning: RAM Bootstrap is already downloaded.");
        return true;
    }
    if (!biosInLoadingState()) {
        reportInfo("The terminal isn't in loading state.");
        writeLogged(ACK, 0);
        TerminalResponse response;
        if (sendProbe(response)) {
            reportInfo("Warning: RAM Bootstrap is already downloaded.");
            return true;
        }
        reportError("The terminal isn't in loading state.");
        return false;
    }
    reportInfo("RAMBOOT downloading... (" + std::string(fileName) + ")");
    if (!sendHexFile(fileName, false))
        return false;
    reportInfo("Waiting RAMBOOT start-up...");
    pause(waitMs);

    if (!openTerminalPortAt("RAMBOOT", "Invalid RAMBOOT communication parameters."))
        return false;
    if (askForPrompt() != kPrompt) {
        reportError("The RAMBOOT doesn't answer.");
        return false;
    }
    if (!enterProtocolMode())
        return false;
    terminalPort_.discardInput();
    return true;
}
