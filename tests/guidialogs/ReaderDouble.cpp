#include "guidialogs/ReaderDouble.h"

#include <thread>

template <class Work>
void ReaderDouble::onReaderThread(Work work)
{
    std::thread reader([this, &work] {
        std::scoped_lock lock(mutex_);
        work();
    });
    reader.join();
}

void ReaderDouble::setClient(BarcodeReader::Client* client)
{
    std::scoped_lock lock(mutex_);
    if (client == client_)
        return;
    if (client_ && up_)
        client_->readerClosed(*this);
    client_ = client;
    if (!client_)
        return;
    if (up_)
        client_->readerOpened(*this);
    for (const std::string& code : pending_)
        client_->codeRead(*this, code);
    pending_.clear();
}

void ReaderDouble::deviceUp()
{
    onReaderThread([this] {
        up_ = true;
        if (client_)
            client_->readerOpened(*this);
    });
}

void ReaderDouble::deviceDown()
{
    onReaderThread([this] {
        up_ = false;
        if (client_)
            client_->readerClosed(*this);
    });
}

void ReaderDouble::scan(const std::string& code)
{
    onReaderThread([this, &code] {
        if (client_)
            client_->codeRead(*this, code);
        else
            pending_.push_back(code);
    });
}

BarcodeReader::Client* ReaderDouble::client()
{
    std::scoped_lock lock(mutex_);
    return client_;
}
