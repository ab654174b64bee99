// Prekernel, kernel and application files: a start command with the file's header, the
// file in numbered blocks whose numbers the terminal echoes, and an empty block 0.
#include "loader/DownloadJob.h"
#include "loader/Progress.h"
#include "platform/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct FileKindRules {
    const char* tag;
    std::size_t leastFirstRead;
    const char* stepMessage;
};

FileKindRules rulesOf(FileKind kind)
{
    switch (kind) {
    case FileKind::Prekernel: return {"K--", 288, "PreKernel downloading..."};
    case FileKind::Kernel: return {"KKK", 303, "Kernel downloading..."};
    case FileKind::Application: break;
    }
    return {"L--", 303, "Application downloading..."};
}

constexpr std::size_t kReadBuffer = 16384;
constexpr int kLargestBlockLength = 2045;
constexpr long long kMostBlocks = 65535; // numbers 1 to 65535; 0 closes the download

// Reads until count bytes came or the file ended; -1 on a read error.
long readSome(int fd, std::uint8_t* into, std::size_t count)
{
    std::size_t got = 0;
    while (got < count) {
        ssize_t n = ::read(fd, into + got, count - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<long>(got);
}

} // namespace

bool DownloadJob::startFileDownload(FileKind kind, const FileHeader& header, TerminalResponse& response)
{
    switch (kind) {
    case FileKind::Prekernel: return sendComponentStart(1, header, response);
    case FileKind::Kernel: return sendComponentStart(2, header, response);
    case FileKind::Application: break;
    }
    return sendApplicationStart(header, response);
}

int DownloadJob::offeredBlockLength(const TerminalResponse& response)
{
    int offered = response.firstDataValue16();
    if (offered <= 0) {
        // Without a usable length the blocks would never advance through the data.
        reportError("Erroneous response from the terminal.");
        return 0;
    }
    return std::min(offered, kLargestBlockLength);
}

bool DownloadJob::sendBlock(std::uint16_t number, const std::uint8_t* data, std::size_t count)
{
    TerminalResponse response;
    if (!sendDataBlock(number, data, count, response))
        return false;
    if (response.firstDataValue16() != number) {
        reportError("Unexpected block number.");
        return false;
    }
    return true;
}

bool DownloadJob::downloadFile(FileKind kind, std::string_view fileName)
{
    if (progress_->cancelled())
        return false;
    const FileKindRules rules = rulesOf(kind);
    reportInfo(std::string(rules.stepMessage) + " (" + std::string(fileName) + ")");

    platform::FileDescriptor file(::open(applicationPath(fileName).c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!file || ::fstat(file.get(), &st) != 0 || S_ISDIR(st.st_mode)) {
        reportError("File not found");
        return false;
    }
    std::vector<std::uint8_t> buffer(kReadBuffer);
    long lastRead = readSome(file.get(), buffer.data(), buffer.size());
    // A file of 65536 blocks or more would wrap its block numbers to the closing 0.
    if (lastRead < static_cast<long>(rules.leastFirstRead) || st.st_size > kMostBlocks * kLargestBlockLength) {
        reportError("File reading error.");
        return false;
    }
    FileHeader header = buildFileHeader(rules.tag, buffer.data());
    if (progress_->cancelled())
        return false;
    TerminalResponse response;
    if (!startFileDownload(kind, header, response))
        return false;
    const int blockLength = offeredBlockLength(response);
    if (blockLength == 0)
        return false;
    if ((st.st_size + blockLength - 1) / blockLength > kMostBlocks) {
        reportError("File reading error.");
        return false;
    }

    std::uint16_t number = 1;
    std::size_t carry = 0;
    while (lastRead > 0) {
        std::size_t fill = carry + static_cast<std::size_t>(lastRead);
        std::size_t at = 0;
        for (; fill - at >= static_cast<std::size_t>(blockLength); at += static_cast<std::size_t>(blockLength)) {
            if (progress_->cancelled() || !sendBlock(number, buffer.data() + at, static_cast<std::size_t>(blockLength)))
                return false;
            progress_->step(blockLength);
            ++number;
        }
        carry = fill - at;
        std::copy(buffer.begin() + static_cast<long>(at), buffer.begin() + static_cast<long>(fill), buffer.begin());
        lastRead = readSome(file.get(), buffer.data() + carry, buffer.size() - carry);
        if (lastRead < 0)
            lastRead = 0; // a failed read ends the file
    }
    if (carry > 0) {
        if (progress_->cancelled() || !sendBlock(number, buffer.data(), carry))
            return false;
        progress_->step(static_cast<int>(carry));
        ++number;
    }
    if (progress_->cancelled())
        return false;
    return sendBlock(0, nullptr, 0);
}
