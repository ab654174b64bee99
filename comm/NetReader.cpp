#include "comm/NetReader.h"

#include "comm/NetReaderWorker.h"

namespace BarcodeReader {

NetReader::NetReader(std::string server, int tcpPort, std::string readerNumber, RetryPause reconnectPause)
    : Reader(std::move(server)), tcpPort_(tcpPort), readerNumber_(std::move(readerNumber)),
      reconnectPause_(reconnectPause)
{
}

NetReader::~NetReader() = default;

bool NetReader::start()
{
    stop();
    worker_ = std::make_unique<NetReaderWorker>(*this, reconnectPause_);
    return true;
}

void NetReader::setClient(Client* client)
{
    if (worker_)
        worker_->setClient(client);
}

bool NetReader::enable()
{
    if (!worker_)
        return false;
    worker_->requestReading();
    return true;
}

void NetReader::disable()
{
    if (worker_)
        worker_->endReadingRequest();
}

void NetReader::stop()
{
    worker_.reset();
}

} // namespace BarcodeReader
