#include "comm/SerialReaderWorker.h"

namespace BarcodeReader {

namespace {

constexpr std::uint8_t kCodeEnd = 13; // CR

// The reading thread reads in slices of this length so that it sees the stop flag even
// when the port's wake-up came just before its read began.
constexpr std::uint32_t kReadSliceMs = 500;

CommPort::PortSettings readerLineSettings()
{
    CommPort::PortSettings settings; // DTR and RTS on, no flow control
    settings.baudIndex = 6;          // 9600
    settings.parityIndex = 2;        // none
    settings.dataBits = 8;
    settings.stopBitIndex = 0; // one
    return settings;
}

} // namespace

SerialReaderWorker::SerialReaderWorker(Reader& owner, RetryPause retryPause)
    : owner_(owner), client_(owner), retryPauses_(retryPause)
{
}

SerialReaderWorker::~SerialReaderWorker()
{
    endReading();
}

void SerialReaderWorker::setClient(Client* client)
{
    std::scoped_lock guard(lock_);
    client_.attach(client, portOpen_);
}

void SerialReaderWorker::startReading()
{
    std::scoped_lock guard(lock_);
    if (thread_.joinable())
        return;
    stop_ = false;
    thread_ = std::thread([this] { readingThread(); });
}

void SerialReaderWorker::endReading()
{
    std::thread ending;
    {
        std::scoped_lock guard(lock_);
        if (thread_.joinable()) {
            stop_ = true;
            stopEvent_.set();
            port_.abortWaits();
            ending = std::move(thread_);
        }
    }
    if (ending.joinable())
        ending.join();
    std::scoped_lock guard(lock_);
    stop_ = false;
    portOpen_ = false;
    stopEvent_.reset();
    line_.clear();
    client_.dropPending();
}

void SerialReaderWorker::readingThread()
{
    for (;;) {
        {
            std::scoped_lock guard(lock_);
            if (stop_)
                return;
        }
        portCycle();
        {
            std::scoped_lock guard(lock_);
            if (stop_)
                return;
        }
        platform::sleepUnlessWoken(retryPauses_.next(), stopEvent_);
    }
}

void SerialReaderWorker::portCycle()
{
    if (!port_.open(owner_.address(), readerLineSettings()))
        return;
    {
        std::scoped_lock guard(lock_);
        portOpen_ = true;
        client_.opened();
    }
    for (;;) {
        {
            std::scoped_lock guard(lock_);
            if (stop_)
                break;
        }
        std::uint8_t byte = 0;
        std::size_t count = port_.read(&byte, 1, kReadSliceMs);
        {
            std::scoped_lock guard(lock_);
            if (stop_)
                break;
        }
        if (count == 1)
            byteReceived(byte);
    }
    {
        std::scoped_lock guard(lock_);
        portOpen_ = false;
        client_.closed();
    }
    port_.close(false);
}

void SerialReaderWorker::byteReceived(std::uint8_t byte)
{
    if (byte == kCodeEnd) {
        if (!line_.empty()) {
            std::scoped_lock guard(lock_);
            client_.deliver(line_);
        }
        line_.clear();
    } else if (byte != 0) {
        // Line feeds and other control bytes stay in the code.
        line_.push_back(static_cast<char>(byte));
    }
}

} // namespace BarcodeReader
