// The reception of a terminal's response from a line that delivers any bytes: the
// buffer is never overrun, what is stored and logged is what the line delivered, and a
// well-formed frame followed by anything is read up to its check byte and no further.
#include "FuzzCheck.h"
#include "MemoryPort.h"
#include "loader/LinkFrame.h"
#include "loader/Progress.h"
#include "loader/ResponseReception.h"

#include <algorithm>
#include <memory>
#include <vector>

using namespace TerminalLink;

namespace {

// Cancelled from the given test of the cancel request on (0: never).
class CancelAfter final : public Progress {
public:
    explicit CancelAfter(int tests) : cancelAt_(tests) {}
    bool cancelled() override { return cancelAt_ != 0 && ++tests_ >= cancelAt_; }
    bool wasCancelled() const { return cancelAt_ != 0 && tests_ >= cancelAt_; }
    void setRange(int) override {}
    void setPos(int) override {}
    void step(int) override {}
    void complete() override {}
    void setText(const std::string&) override {}
    void finish(bool) override {}

private:
    int cancelAt_;
    int tests_ = 0;
};

struct Reception {
    std::vector<std::vector<std::uint8_t>> logs;
    bool answered = false;
    std::size_t length = 0;
    std::unique_ptr<std::uint8_t[]> buffer;
};

Reception receive(MemoryPort& port, Progress& progress, std::size_t capacity)
{
    Reception r;
    r.buffer.reset(new std::uint8_t[capacity]); // exactly capacity: an overrun is caught
    ResponseReception reception(port, progress, [&r](const std::uint8_t* bytes, std::size_t count) {
        r.logs.emplace_back(bytes, bytes + count);
    });
    r.answered = reception.receive(r.buffer.get(), capacity, 500, r.length);
    return r;
}

std::vector<std::uint8_t> joined(const std::vector<std::vector<std::uint8_t>>& logs)
{
    std::vector<std::uint8_t> all;
    for (const auto& log : logs)
        all.insert(all.end(), log.begin(), log.end());
    return all;
}

bool equalBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// Whatever the line delivers.
void anyBytes(std::span<const std::uint8_t> line, std::size_t capacity, int cancelAt)
{
    MemoryPort port(line);
    CancelAfter progress(cancelAt);
    Reception r = receive(port, progress, capacity);
    FUZZ_CHECK(port.foreignPutBacks() == 0);
    FUZZ_CHECK(port.written().empty());
    FUZZ_CHECK(r.length <= capacity);
    const auto consumed = port.consumed();
    // One response: a buffer's worth, and a drain of at most one more buffer.
    FUZZ_CHECK(consumed.size() <= capacity + kBufferSize);
    FUZZ_CHECK(equalBytes(consumed.first(std::min(r.length, consumed.size())), {r.buffer.get(), r.length}));
    if (progress.wasCancelled()) {
        FUZZ_CHECK(!r.answered);
        return;
    }
    if (line.empty()) {
        FUZZ_CHECK(!r.answered && r.logs.empty());
        return;
    }
    const bool frameStart = consumed.size() >= 2 && consumed[0] == DLE && consumed[1] == STX;
    if (frameStart && r.logs.size() == 2) {
        // The buffer filled up before the end of the frame: the rest was drained from the
        // last byte stored on, and logged before the stored bytes.
        FUZZ_CHECK(r.answered && r.length == capacity);
        FUZZ_CHECK(equalBytes(r.logs[0], consumed.subspan(capacity - 1)));
        FUZZ_CHECK(equalBytes(r.logs[1], consumed.first(capacity)));
        return;
    }
    // Every byte received is logged once, in order.
    FUZZ_CHECK(equalBytes(joined(r.logs), consumed));
    if (frameStart) {
        FUZZ_CHECK(r.answered);
        FUZZ_CHECK(r.length == consumed.size());
    }
}

// A well-formed frame of the payload, then more bytes: exactly the frame is taken.
void wellFormed(std::span<const std::uint8_t> payload, std::span<const std::uint8_t> after)
{
    std::vector<std::uint8_t> line(kBufferSize);
    std::size_t frameLength = 0;
    if (!encodeFrame(payload.data(), payload.size(), line.data(), line.size(), frameLength))
        return;
    line.resize(frameLength);
    line.insert(line.end(), after.begin(), after.end());
    MemoryPort port(line);
    CancelAfter progress(0);
    Reception r = receive(port, progress, kBufferSize);
    FUZZ_CHECK(r.answered);
    FUZZ_CHECK(r.length == frameLength);
    FUZZ_CHECK(equalBytes(port.remaining(), after));
    std::vector<std::uint8_t> decoded(kBufferSize);
    std::size_t decodedLength = 0;
    FUZZ_CHECK(decodeFrame(r.buffer.get(), r.length, decoded.data(), decoded.size(), decodedLength));
    FUZZ_CHECK(equalBytes({decoded.data(), decodedLength}, payload));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::FuzzInput input(data, size);
    const std::size_t capacity = 2 + input.word() % (kBufferSize - 1); // 2 to 4096
    const int cancelAt = input.byte() % 8;
    const std::size_t split = input.word();
    const auto line = input.rest();
    anyBytes(line, capacity, cancelAt);
    const std::size_t payloadLength = std::min<std::size_t>(split, line.size());
    wellFormed(line.first(payloadLength), line.subspan(payloadLength));
    return 0;
}
