#pragma once
// A bar-code reader of the tests' own: the test says when its device comes up or goes
// down and which codes it reads, and the reader tells its client from a thread of its
// own while holding its lock, as the station's readers do. Codes read while no client
// is attached wait for the next one.
#include "comm/BarcodeReader.h"

#include <deque>
#include <mutex>
#include <string>

class ReaderDouble final : public BarcodeReader::Reader {
public:
    ReaderDouble() : Reader("double") {}

    bool start() override { return true; }
    void setClient(BarcodeReader::Client* client) override;
    bool enable() override { return true; }
    void disable() override {}
    void stop() override {}

    // Each runs on a thread of the reader's and returns once the client was told.
    void deviceUp();
    void deviceDown();
    void scan(const std::string& code);

    BarcodeReader::Client* client();

private:
    template <class Work>
    void onReaderThread(Work work);

    std::mutex mutex_;
    BarcodeReader::Client* client_ = nullptr;
    bool up_ = false;
    std::deque<std::string> pending_;
};
