// Intel HEX download: configuration and application files streamed as text lines, with
// a single end-of-file record at the very end of the stream.
#include "app/OrvaneDoc.h"
#include "loader/DownloadJob.h"
#include "loader/Progress.h"
#include "loader/TextLineReader.h"

#include <climits>
#include <sys/stat.h>

namespace {

constexpr const char* kEndRecord = ":00000001FF";

// The size of an existing file, or -1 when there is none.
long long fileSize(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return -1;
    return static_cast<long long>(st.st_size);
}

int clampToInt(long long value)
{
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

} // namespace

bool DownloadJob::downloadIntelHex()
{
    std::string config = document_.currentModelValue("SYSTEM", "CONFIG");
    std::vector<ProfileEntry> apps;
    if (auto section = document_.currentModelSection("APP"))
        apps = section->entries;

    long long total = 0;
    if (!config.empty()) {
        long long size = fileSize(applicationPath(config));
        if (size < 0) {
            reportError("Configuration file doesn't found.");
            return false;
        }
        total += size;
    }
    for (const ProfileEntry& app : apps) {
        if (app.first != "PROGRAM") {
            reportError("Invalid command for Halvorin terminals.");
            return false;
        }
        long long size = fileSize(applicationPath(app.second));
        if (size < 0) {
            reportError("Application file doesn't found.");
            return false;
        }
        total += size;
    }
    progress_->setRange(clampToInt(total));

    if (!config.empty()) {
        reportInfo("Configuration downloading... " + config);
        if (!sendHexFile(config, !apps.empty()))
            return false;
    }
    for (std::size_t i = 0; i < apps.size(); ++i) {
        if (progress_->cancelled())
            break;
        if (apps[i].first != "PROGRAM") {
            reportError("Invalid command for Halvorin terminals.");
            return false;
        }
        reportInfo("Application downloading... " + apps[i].second);
        if (!sendHexFile(apps[i].second, i + 1 < apps.size()))
            return false;
    }

    if (progress_->cancelled()) {
        reportError("CANCELLED Process.  The equipment has not been loaded.");
        return false;
    }
    reportInfo("Complete downloading.");
    progress_->complete();
    return true;
}

bool DownloadJob::sendHexFile(std::string_view fileName, bool stopAtEndRecord)
{
    TextLineReader reader;
    if (!reader.open(applicationPath(fileName))) {
        reportError("File not found or unreadable.");
        return false;
    }
    std::string line;
    while (reader.next(line)) {
        if (progress_->cancelled())
            return false;
        progress_->step(clampToInt(static_cast<long long>(line.size()) + 2));
        if (stopAtEndRecord && line == kEndRecord)
            return true;
        line += "\r\n";
        auto bytes = reinterpret_cast<const std::uint8_t*>(line.data());
        if (!terminalPort_.write(bytes, line.size(), 0)) {
            // A cancel woke the write: the caller's cancel test reports it. Anything
            // else means the bytes never reached the terminal.
            if (progress_->cancelled())
                return false;
            reportError("Error writing to the terminal port.");
            return false;
        }
        logOutput(bytes, line.size());
    }
    return true;
}
