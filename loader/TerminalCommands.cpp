// One operation per command of the terminal link: the command's characters and
// parameters (integers little-endian), its time limit for the first byte of the
// response, the retries of sendCommand and the status check.
#include "loader/DownloadJob.h"

#include <vector>

namespace {

class CommandPayload {
public:
    explicit CommandPayload(const char* code) : bytes_{static_cast<std::uint8_t>(code[0]), static_cast<std::uint8_t>(code[1])} {}

    CommandPayload& byte(std::uint8_t value)
    {
        bytes_.push_back(value);
        return *this;
    }
    CommandPayload& word(std::uint16_t value)
    {
        return byte(static_cast<std::uint8_t>(value)).byte(static_cast<std::uint8_t>(value >> 8));
    }
    CommandPayload& dword(std::uint32_t value)
    {
        return word(static_cast<std::uint16_t>(value)).word(static_cast<std::uint16_t>(value >> 16));
    }
    CommandPayload& data(const std::uint8_t* bytes, std::size_t count)
    {
        bytes_.insert(bytes_.end(), bytes, bytes + count);
        return *this;
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

constexpr std::uint32_t kProbeLimitMs = 500;
constexpr std::uint32_t kComponentStartLimitMs = 240000;
constexpr std::uint32_t kCommandLimitMs = 60000;
constexpr std::size_t kLargestBlockData = 4092; // 4 + data must fit in 4096

} // namespace

bool DownloadJob::runCommand(const std::vector<std::uint8_t>& payload, std::uint32_t limitMs, TerminalResponse& response)
{
    response.length = 0;
    if (!sendCommand(payload.data(), payload.size(), limitMs, response.bytes.data(), response.length,
                     response.bytes.size()))
        return false;
    return checkStatus(response.bytes.data(), response.length);
}

bool DownloadJob::blockDataFits(std::size_t count)
{
    if (count <= kLargestBlockData)
        return true;
    reportError("Data block length error.");
    return false;
}

bool DownloadJob::sendProbe(TerminalResponse& response)
{
    return runCommand(CommandPayload("10").bytes(), kProbeLimitMs, response);
}

bool DownloadJob::sendComponentStart(std::uint8_t componentKind, const FileHeader& header, TerminalResponse& response)
{
    return runCommand(CommandPayload("11").byte(componentKind).data(header.data(), header.size()).bytes(),
                      kComponentStartLimitMs, response);
}

bool DownloadJob::sendDataBlock(std::uint16_t blockNumber, const std::uint8_t* data, std::size_t count,
                                TerminalResponse& response)
{
    if (!blockDataFits(count))
        return false;
    return runCommand(CommandPayload("12").word(blockNumber).data(data, count).bytes(), kCommandLimitMs, response);
}

bool DownloadJob::sendDataRequest(std::uint8_t selector, TerminalResponse& response)
{
    return runCommand(CommandPayload("13").byte(selector).bytes(), kCommandLimitMs, response);
}

bool DownloadJob::sendEndOfLoad(TerminalResponse& response)
{
    return runCommand(CommandPayload("14").bytes(), kCommandLimitMs, response);
}

bool DownloadJob::sendApplicationStart(const FileHeader& header, TerminalResponse& response)
{
    return runCommand(CommandPayload("15").data(header.data(), header.size()).bytes(), kCommandLimitMs, response);
}

bool DownloadJob::sendCommand16(std::uint32_t value, TerminalResponse& response)
{
    return runCommand(CommandPayload("16").dword(value).bytes(), kCommandLimitMs, response);
}

bool DownloadJob::sendCommand17(std::uint16_t value, const std::uint8_t* data, std::size_t count,
                                TerminalResponse& response)
{
    if (!blockDataFits(count))
        return false;
    return runCommand(CommandPayload("17").word(value).data(data, count).bytes(), kCommandLimitMs, response);
}

bool DownloadJob::sendCommand18(std::uint32_t value, TerminalResponse& response)
{
    return runCommand(CommandPayload("18").dword(value).bytes(), kCommandLimitMs, response);
}

bool DownloadJob::sendCommand19(std::uint32_t first, std::uint32_t second, std::uint8_t last, TerminalResponse& response)
{
    return runCommand(CommandPayload("19").dword(first).dword(second).byte(last).bytes(), kCommandLimitMs, response);
}
