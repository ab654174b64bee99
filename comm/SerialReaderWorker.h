#pragma once
// The serial bar-code reader's state and reading thread. The thread opens the port,
// collects the bytes of each code up to its CR and hands the code to the attached
// client (or keeps it until one is attached); while the port cannot be opened it tries
// again after a random pause.
#include "comm/CommPort.h"
#include "comm/ReaderClientSlot.h"
#include "comm/RetryPause.h"
#include "platform/WakeEvent.h"

#include <mutex>
#include <string>
#include <thread>

namespace BarcodeReader {

class SerialReaderWorker {
public:
    SerialReaderWorker(Reader& owner, RetryPause retryPause);
    ~SerialReaderWorker(); // ends the reading thread first
    SerialReaderWorker(const SerialReaderWorker&) = delete;
    SerialReaderWorker& operator=(const SerialReaderWorker&) = delete;

    void setClient(Client* client);
    // Starts the reading thread unless one runs.
    void startReading();
    // Ends the reading thread (promptly, even while it waits for a byte) and forgets the
    // code being received and the pending codes.
    void endReading();

private:
    void readingThread();
    // Opens the port, reads codes until told to stop, closes the port.
    void portCycle();
    void byteReceived(std::uint8_t byte);

    Reader& owner_;
    std::mutex lock_;
    std::thread thread_;
    bool stop_ = false;
    bool portOpen_ = false;
    ClientSlot client_;
    platform::WakeEvent stopEvent_;
    RetryPauses retryPauses_;
    std::string line_; // the code being received; reading thread only
    CommPort::Port port_;
};

} // namespace BarcodeReader
