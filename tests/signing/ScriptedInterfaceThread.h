#pragma once
// An interface thread of its own for signing tests: it runs the document's queued
// requests whenever they are posted, answers password prompts from a script (an answer,
// or nothing for Cancel) and records every prompt and message.
#include "app/InterfaceThread.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class OrvaneDoc;

class ScriptedInterfaceThread final : public InterfaceThread {
public:
    explicit ScriptedInterfaceThread(OrvaneDoc& document);
    ~ScriptedInterfaceThread() override;

    // The next password prompt gets this answer; nothing means Cancel. A prompt without
    // a scripted answer is cancelled.
    void answerPassword(std::optional<std::string> answer);
    std::vector<std::string> passwordTitles() const;
    // (text, caption) of every message shown.
    std::vector<std::pair<std::string, std::string>> messages() const;

    bool isInterfaceThread() const override;
    void postExecuteRequests() override;
    bool readText(const std::string&, std::string&, BarcodeReader::Reader*) override { return false; }
    bool readIpAddress(const std::string&, std::uint32_t&, BarcodeReader::Reader*) override { return false; }
    bool askPassword(const std::string& title, std::string& password) override;
    void showMessage(const std::string& text, const std::string& caption) override;

private:
    void loop();

    OrvaneDoc& document_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool pending_ = false;
    bool stop_ = false;
    std::deque<std::optional<std::string>> answers_;
    std::vector<std::string> passwordTitles_;
    std::vector<std::pair<std::string, std::string>> messages_;
    std::thread thread_; // last: it starts once everything above exists
};
