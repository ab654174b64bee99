#pragma once
// An interface thread of the tests' own: a thread that runs command 104 whenever it is
// posted and answers the operator's prompts from a script. An answer left out of the
// script, or given as nothing, is a Cancel. Every prompt and message is recorded.
#include "app/InterfaceThread.h"

#include <condition_variable>
#include <cstdint>
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
    // Starts the thread and makes it the document's interface thread.
    explicit ScriptedInterfaceThread(OrvaneDoc& document);
    ~ScriptedInterfaceThread() override;
    ScriptedInterfaceThread(const ScriptedInterfaceThread&) = delete;
    ScriptedInterfaceThread& operator=(const ScriptedInterfaceThread&) = delete;

    // The next answers, in order; nothing stands for Cancel.
    void answerText(std::optional<std::string> text);
    void answerAddress(std::optional<std::uint32_t> address);
    void answerPassword(std::optional<std::string> password);

    // Each prompt as "text: caption", "address: caption", "password: title" or
    // "message: caption: text", in the order they came.
    std::vector<std::string> prompts() const;
    // The titles of the password prompts, in order.
    std::vector<std::string> passwordTitles() const;
    // (text, caption) of every message shown, in order.
    std::vector<std::pair<std::string, std::string>> messages() const;
    // Prompts that were made on some other thread than this one.
    int promptsOffThread() const;
    int posts() const;

    bool isInterfaceThread() const override;
    void postExecuteRequests() override;
    bool readText(const std::string& caption, std::string& text, BarcodeReader::Reader* reader) override;
    bool readIpAddress(const std::string& caption, std::uint32_t& address, BarcodeReader::Reader* reader) override;
    bool askPassword(const std::string& title, std::string& password) override;
    void showMessage(const std::string& text, const std::string& caption) override;

private:
    void loop();
    void record(std::string prompt);

    OrvaneDoc& document_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    int pending_ = 0;
    int posts_ = 0;
    bool stop_ = false;
    std::deque<std::optional<std::string>> texts_;
    std::deque<std::optional<std::uint32_t>> addresses_;
    std::deque<std::optional<std::string>> passwords_;
    std::vector<std::string> prompts_;
    std::vector<std::string> passwordTitles_;
    std::vector<std::pair<std::string, std::string>> messages_;
    int promptsOffThread_ = 0;
    std::thread thread_; // last: started once everything above exists
};
