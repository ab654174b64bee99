#include "comm/SerialReader.h"

#include "comm/SerialReaderWorker.h"

namespace BarcodeReader {

SerialReader::SerialReader(std::string portName, RetryPause retryPause)
    : Reader(std::move(portName)), retryPause_(retryPause)
{
}

SerialReader::~SerialReader() = default;

bool SerialReader::start()
{
    stop();
    worker_ = std::make_unique<SerialReaderWorker>(*this, retryPause_);
    return true;
}

void SerialReader::setClient(Client* client)
{
    if (worker_)
        worker_->setClient(client);
}

bool SerialReader::enable()
{
    disable();
    if (worker_)
        worker_->startReading();
    return true;
}

void SerialReader::disable()
{
    if (worker_)
        worker_->endReading();
}

void SerialReader::stop()
{
    worker_.reset();
}

} // namespace BarcodeReader
