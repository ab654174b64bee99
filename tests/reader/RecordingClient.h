#pragma once
// A reader client for tests: records every notification as text ("opened", "closed",
// "code X") in order, from whatever thread it comes, and lets the test wait for them.
#include "comm/BarcodeReader.h"
#include "platform/Ticks.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

class RecordingClient final : public BarcodeReader::Client {
public:
    void readerOpened(BarcodeReader::Reader&) override { record("opened"); }
    void readerClosed(BarcodeReader::Reader&) override { record("closed"); }
    void codeRead(BarcodeReader::Reader&, const std::string& code) override { record("code " + code); }

    std::vector<std::string> events();
    // Waits (bounded) until the event has been recorded at least `times` times.
    bool waitFor(const std::string& event, std::size_t times = 1, platform::Millis limitMs = 10000);
    std::size_t count(const std::string& event);

private:
    void record(std::string event);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> events_;
};
