#include "comm/NetReaderWorker.h"

#include "comm/NetReader.h"
#include "comm/ReadMessage.h"

namespace BarcodeReader {

namespace {

constexpr platform::Millis kConnectLimitMs = 20000;
constexpr platform::Millis kLivenessAnswerMs = 10000;
constexpr platform::Millis kAnswerMs = 2000;
constexpr platform::Millis kKeepAliveMs = 30000;
constexpr std::size_t kReceiveChunk = 511;

} // namespace

NetReaderWorker::NetReaderWorker(NetReader& owner, RetryPause reconnectPause)
    : owner_(owner), client_(owner), reconnectPauses_(reconnectPause)
{
    thread_ = std::thread([this] { connectionThread(); });
}

NetReaderWorker::~NetReaderWorker()
{
    {
        std::scoped_lock guard(lock_);
        stop_ = true;
    }
    stopEvent_.set();
    wake_.set();
    thread_.join();
}

void NetReaderWorker::setClient(Client* client)
{
    std::scoped_lock guard(lock_);
    client_.attach(client, readerOpen_);
}

void NetReaderWorker::requestReading()
{
    std::scoped_lock guard(lock_);
    if (readingRequested_)
        return;
    readingRequested_ = true;
    wake_.set();
}

void NetReaderWorker::endReadingRequest()
{
    std::scoped_lock guard(lock_);
    if (!readingRequested_)
        return;
    readingRequested_ = false;
    wake_.set();
}

bool NetReaderWorker::stopping()
{
    std::scoped_lock guard(lock_);
    return stop_;
}

void NetReaderWorker::connectionThread()
{
    for (;;) {
        if (stopping())
            return;
        connectionCycle();
        if (stopping())
            return;
        // enable and disable end the pause early, as stop does.
        if (!platform::sleepUnlessWoken(reconnectPauses_.next(), wake_))
            wake_.reset();
    }
}

void NetReaderWorker::connectionCycle()
{
    received_.clear();
    {
        std::scoped_lock guard(lock_);
        client_.dropPending();
    }
    std::optional<sockaddr_in> address = resolveIpv4(owner_.address(), owner_.tcpPort());
    if (!address)
        return;
    if (!socket_.create())
        return;
    if (!socket_.connect(*address, kConnectLimitMs, {&stopEvent_})) {
        socket_.close();
        return;
    }
    serveConnection();
    if (socket_.isOpen()) {
        socket_.shutdownSending();
        socket_.close();
    }
    std::scoped_lock guard(lock_);
    if (readerOpen_)
        client_.closed();
    readerOpen_ = false;
}

void NetReaderWorker::serveConnection()
{
    for (;;) {
        if (stopping() || !socket_.isOpen())
            return;
        if (!livenessCheck())
            return;
        bool openNow = false;
        bool closeNow = false;
        {
            std::scoped_lock guard(lock_);
            if (stop_)
                return;
            // The flags are taken into account here: a wake-up from a change made before
            // now is spent, so it must not end the next keep-alive period at once.
            wake_.reset();
            openNow = readingRequested_ && !readerOpen_;
            closeNow = !readingRequested_ && readerOpen_;
            if (closeNow) {
                readerOpen_ = false;
                client_.closed();
            }
        }
        if (closeNow) {
            if (!sendCommandLine("CLOSE " + owner_.readerNumber()))
                return;
            std::optional<std::string> answer = receiveLine(kAnswerMs, Wait::ForAnswer);
            if (!answer || answer->empty())
                return;
        }
        if (openNow && !openExchange())
            return;
        keepAlivePeriod();
    }
}

bool NetReaderWorker::livenessCheck()
{
    if (!sendCommandLine("FINE?"))
        return false;
    std::optional<std::string> answer = receiveLine(kLivenessAnswerMs, Wait::ForAnswer);
    return answer && *answer == "ACK";
}

bool NetReaderWorker::openExchange()
{
    if (!sendCommandLine("OPEN " + owner_.readerNumber() + " READ WRITE DENY_WRITE"))
        return false;
    std::optional<std::string> answer = receiveLine(kAnswerMs, Wait::ForAnswer);
    if (!answer || answer->empty())
        return false;
    if (answer->starts_with("ACK OPEN")) {
        readerClaimed();
        return true;
    }
    // Held by someone else: the server says ACK OPEN later, during a keep-alive period.
    return *answer == "BUSY";
}

void NetReaderWorker::readerClaimed()
{
    std::scoped_lock guard(lock_);
    client_.opened();
    readerOpen_ = true;
}

void NetReaderWorker::keepAlivePeriod()
{
    sendCommandLine("KEEP_ALIVE 10000");
    std::optional<std::string> answer = receiveLine(kAnswerMs, Wait::ForAnswer);
    if (!answer || *answer != "ACK")
        return;
    for (;;) {
        std::optional<std::string> line = receiveLine(kKeepAliveMs, Wait::ForEvents);
        if (!line)
            break;
        if (line->starts_with("ACK OPEN")) {
            readerClaimed();
        } else if (*line == "FINE?") {
            if (!sendCommandLine("ACK"))
                break;
        } else if (line->starts_with("READ")) {
            if (std::optional<std::string> code = parseReadMessage(*line)) {
                std::scoped_lock guard(lock_);
                client_.deliver(*code);
            }
        } else {
            // Something this client does not know: make sure the server still answers.
            if (!sendCommandLine("FINE?"))
                break;
            std::optional<std::string> check = receiveLine(kLivenessAnswerMs, Wait::ForAnswer);
            if (!check || *check != "ACK")
                break;
        }
    }
    releaseReader();
}

void NetReaderWorker::releaseReader()
{
    {
        std::scoped_lock guard(lock_);
        if (readerOpen_)
            client_.closed();
        readerOpen_ = false;
    }
    // The answers are awaited without the lock, so that enable, disable and setClient
    // never wait for the server.
    if (!sendCommandLine("CLOSE " + owner_.readerNumber()))
        return;
    std::optional<std::string> answer = receiveLine(kAnswerMs, Wait::ForAnswer);
    if (answer && !answer->empty()) {
        sendCommandLine("KEEP_ALIVE 0");
        receiveLine(kAnswerMs, Wait::ForAnswer);
    }
}

bool NetReaderWorker::sendCommandLine(std::string_view text)
{
    if (!socket_.isOpen())
        return false;
    std::string line(text);
    line += "\r\n";
    if (socket_.send(line) < line.size()) {
        dropConnection();
        return false;
    }
    return true;
}

std::optional<std::string> NetReaderWorker::takeBufferedLine()
{
    std::size_t end = received_.find('\n');
    if (end == std::string::npos)
        return std::nullopt;
    std::string line = received_.substr(0, end);
    received_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::optional<std::string> NetReaderWorker::receiveLine(platform::Millis limitMs, Wait wait)
{
    for (;;) {
        if (std::optional<std::string> line = takeBufferedLine())
            return line;
        if (!socket_.isOpen())
            return std::nullopt;
        if (received_.size() > kLongestLine) {
            // No line end in sight: a broken or hostile server. Start afresh.
            dropConnection();
            return std::nullopt;
        }
        const platform::WakeEvent* wokenBy = nullptr;
        SocketWait result = wait == Wait::ForEvents
                                ? socket_.waitReadable(limitMs, {&stopEvent_, &wake_}, &wokenBy)
                                : socket_.waitReadable(limitMs, {&stopEvent_}, &wokenBy);
        if (result == SocketWait::Woken && wokenBy == &wake_)
            wake_.reset();
        if (result != SocketWait::Ready)
            return std::nullopt;
        char chunk[kReceiveChunk];
        long got = socket_.receive(chunk, sizeof chunk);
        if (got == -2)
            continue; // nothing after all; wait again
        if (got <= 0) {
            dropConnection();
            return std::nullopt;
        }
        received_.append(chunk, static_cast<std::size_t>(got));
    }
}

void NetReaderWorker::dropConnection()
{
    socket_.close();
}

} // namespace BarcodeReader
