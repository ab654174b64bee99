#include "loader/ResponseReception.h"

#include "comm/TareaPort.h"
#include "loader/LinkFrame.h"
#include "loader/Progress.h"

#include <array>
#include <utility>

using namespace TerminalLink;

namespace {

constexpr std::uint32_t kByteGapMs = 10000;

// Follows DLE pairs in a received byte stream to find the end of a frame: the byte that
// follows a DLE ETX pair is the LCR. A DLE DLE pair is one payload byte.
class FrameEndTracker {
public:
    // Feeds one byte; true when that byte is the one after DLE ETX.
    bool feed(std::uint8_t b)
    {
        if (etxSeen_)
            return true;
        if (afterDle_) {
            afterDle_ = false;
            etxSeen_ = b == ETX;
        } else if (b == DLE) {
            afterDle_ = true;
        }
        return false;
    }

private:
    bool afterDle_ = false;
    bool etxSeen_ = false;
};

} // namespace

ResponseReception::ResponseReception(Tarea::Port& port, Progress& progress, InputLog logInput)
    : port_(port), progress_(progress), logInput_(std::move(logInput))
{
}

bool ResponseReception::drain(std::uint8_t first)
{
    std::array<std::uint8_t, kBufferSize> scratch;
    std::size_t count = 0;
    scratch[count++] = first;
    FrameEndTracker tracker;
    tracker.feed(first);
    bool frameEnded = false;
    while (count < scratch.size()) {
        std::uint8_t b;
        if (port_.read(&b, 1, kByteGapMs) != 1)
            break;
        scratch[count++] = b;
        if (progress_.cancelled())
            return false;
        if (tracker.feed(b)) {
            frameEnded = true;
            break;
        }
    }
    logInput_(scratch.data(), count);
    return frameEnded || count > 3;
}

bool ResponseReception::receive(std::uint8_t* buffer, std::size_t capacity, std::uint32_t firstLimitMs,
                                std::size_t& length)
{
    length = 0;
    if (capacity < 2 || port_.read(&buffer[0], 1, firstLimitMs) != 1)
        return false;
    length = 1;
    if (progress_.cancelled()) {
        logInput_(buffer, length);
        return false;
    }
    if (buffer[0] != DLE)
        return drain(buffer[0]);
    if (port_.read(&buffer[1], 1, kByteGapMs) != 1) {
        logInput_(buffer, length);
        return false;
    }
    if (progress_.cancelled()) {
        logInput_(buffer, 2);
        return false;
    }
    if (buffer[1] != STX) {
        port_.putBackByte(buffer[1]);
        return drain(DLE);
    }
    length = 2;
    FrameEndTracker tracker;
    bool frameEnded = false;
    while (length < capacity) {
        std::uint8_t b;
        if (port_.read(&b, 1, kByteGapMs) != 1)
            break; // a truncated response still counts as an answer
        buffer[length++] = b;
        if (progress_.cancelled())
            return false;
        if (tracker.feed(b)) {
            frameEnded = true;
            break;
        }
    }
    if (length == capacity && !frameEnded) {
        drain(buffer[length - 1]);
        if (progress_.cancelled())
            return false;
    }
    logInput_(buffer, length);
    return true;
}
