// The terminal link seen from the job: frames acknowledged with ACK or NAK, responses
// received through ResponseReception, two levels of retries, and the terminal's status
// codes.
#include "loader/DownloadJob.h"
#include "loader/LinkFrame.h"
#include "loader/LinkStatus.h"
#include "loader/Progress.h"
#include "loader/ResponseReception.h"

#include <array>

using namespace TerminalLink;

namespace {

constexpr std::uint32_t kAckLimitMs = 10000;
constexpr int kSendings = 3;
constexpr int kResendRequests = 2;
constexpr int kCommandAttempts = 3;

} // namespace

bool DownloadJob::waitAckNak(std::uint32_t limitMs, std::uint8_t& received)
{
    std::uint8_t b;
    if (terminalPort_.read(&b, 1, limitMs) != 1)
        return false;
    if (b == ACK || b == NAK) {
        logInput(b);
        received = b;
        return true;
    }
    terminalPort_.putBackByte(b); // the first byte of the response
    return false;
}

bool DownloadJob::receiveResponse(std::uint8_t* buffer, std::size_t capacity, std::uint32_t firstLimitMs,
                                  std::size_t& length)
{
    ResponseReception reception(terminalPort_, *progress_,
                                [this](const std::uint8_t* bytes, std::size_t count) { logInput(bytes, count); });
    return reception.receive(buffer, capacity, firstLimitMs, length);
}

bool DownloadJob::exchange(const std::uint8_t* payload, std::size_t payloadLength, std::uint32_t limitMs,
                           std::uint8_t* response, std::size_t& responseLength, std::size_t capacity)
{
    responseLength = 0;
    std::array<std::uint8_t, kBufferSize> frame;
    std::size_t frameLength = 0;
    if (!encodeFrame(payload, payloadLength, frame.data(), frame.size(), frameLength)) {
        reportError("Ciphering message error.");
        return false;
    }
    if (!sendFrame(frame.data(), frameLength))
        return false;

    std::size_t rawLength = 0;
    if (!receiveResponse(response, capacity, limitMs, rawLength)) {
        reportError("The terminal doesn't answer to the command.");
        return false;
    }
    std::size_t decoded = 0;
    bool valid = decodeFrame(response, rawLength, response, capacity, decoded);
    for (int request = 0; !valid && request < kResendRequests; ++request) {
        if (progress_->cancelled())
            break;
        reportError("Asking for a response resend (NAK).");
        terminalPort_.writeByte(NAK, 0);
        logOutput(NAK);
        if (!receiveResponse(response, capacity, limitMs, rawLength)) {
            reportError("The terminal doesn't answer to the NAK.");
            return false;
        }
        valid = decodeFrame(response, rawLength, response, capacity, decoded);
    }
    terminalPort_.writeByte(ACK, 0);
    logOutput(ACK);
    if (!valid) {
        reportError("Erroneous response from the terminal.");
        return false;
    }
    if (decoded < 4 || response[2] != payload[0] || (payloadLength > 1 && response[3] != payload[1])) {
        reportError("The terminal's response doesn't match the command sent.");
        return false;
    }
    responseLength = decoded;
    return true;
}

bool DownloadJob::sendFrame(const std::uint8_t* frame, std::size_t frameLength)
{
    for (int sending = 0; sending < kSendings; ++sending) {
        if (progress_->cancelled())
            return false;
        terminalPort_.discardInput();
        terminalPort_.write(frame, frameLength, 0);
        logOutput(frame, frameLength);
        std::uint8_t answer = 0;
        if (!waitAckNak(kAckLimitMs, answer)) {
            reportError("ACK/NAK not received. Supposing ACK losing.");
            return true;
        }
        if (answer == ACK)
            return true;
        reportError("NAK received.");
    }
    reportError("Max message retries reached.");
    return false;
}

bool DownloadJob::sendCommand(const std::uint8_t* payload, std::size_t payloadLength, std::uint32_t limitMs,
                              std::uint8_t* response, std::size_t& responseLength, std::size_t capacity)
{
    for (int attempt = 0; attempt < kCommandAttempts; ++attempt) {
        if (progress_->cancelled())
            return false;
        if (attempt > 0)
            reportInfo("Retrying message process");
        if (exchange(payload, payloadLength, limitMs, response, responseLength, capacity))
            return true;
    }
    reportError("Max command retries reached.");
    return false;
}

bool DownloadJob::checkStatus(const std::uint8_t* payload, std::size_t payloadLength)
{
    int status = payloadLength >= 2 ? responseValue16(payload[0], payload[1]) : -1;
    if (status == kStatusOk)
        return true;
    reportError(statusMessage(status));
    return false;
}
