#pragma once
// A bar-code reader on a serial port of the station (9600,N,8,1, each code ended by CR).
#include "comm/BarcodeReader.h"
#include "comm/RetryPause.h"

#include <memory>

namespace BarcodeReader {

class SerialReaderWorker;

class SerialReader final : public Reader {
public:
    // How long the reading thread waits before it tries a port that could not be
    // opened again: 1 to 5 s. Tests may pass a shorter range.
    static constexpr RetryPause defaultRetryPause{1000, 5000};

    explicit SerialReader(std::string portName, RetryPause retryPause = defaultRetryPause);
    ~SerialReader() override;

    bool start() override;
    void setClient(Client* client) override;
    bool enable() override;
    void disable() override;
    void stop() override;

private:
    RetryPause retryPause_;
    std::unique_ptr<SerialReaderWorker> worker_;
};

} // namespace BarcodeReader
