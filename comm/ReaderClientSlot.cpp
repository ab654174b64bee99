#include "comm/ReaderClientSlot.h"

namespace BarcodeReader {

void ClientSlot::attach(Client* client, bool up)
{
    if (client == client_)
        return;
    if (client_ && up)
        client_->readerClosed(reader_);
    client_ = client;
    if (!client_)
        return; // the pending codes wait for the next client
    if (up)
        client_->readerOpened(reader_);
    while (!pending_.empty()) {
        std::string code = std::move(pending_.front());
        pending_.pop_front();
        client_->codeRead(reader_, code);
    }
}

void ClientSlot::opened()
{
    if (client_)
        client_->readerOpened(reader_);
}

void ClientSlot::closed()
{
    if (client_)
        client_->readerClosed(reader_);
}

void ClientSlot::deliver(const std::string& code)
{
    if (client_)
        client_->codeRead(reader_, code);
    else
        pending_.push_back(code);
}

} // namespace BarcodeReader
