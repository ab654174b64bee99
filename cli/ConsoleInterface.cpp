#include "cli/ConsoleInterface.h"

#include "app/IdentitySteps.h"
#include "app/OrvaneDoc.h"
#include "cli/ConsoleLoop.h"
#include "comm/BarcodeReader.h"
#include "data/TerminalTree.h"
#include "platform/CodePage.h"

#include <charconv>
#include <cstdio>
#include <deque>
#include <memory>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace {

// Turns the terminal's echo off while a password is typed, and back on afterwards.
class EchoOff {
public:
    explicit EchoOff(int fd) : fd_(fd)
    {
        if (::isatty(fd_) && ::tcgetattr(fd_, &saved_) == 0) {
            termios quiet = saved_;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            active_ = ::tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
        }
    }
    ~EchoOff()
    {
        if (active_)
            ::tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;
    bool active() const { return active_; }

private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

// The bar-code reader's side of one reading on the console. The reader calls from its
// own thread while holding its lock, so each notification is only handed to the console
// loop as posted work: the loop thread prints the reader's state and collects the codes,
// which end the reading as a typed line does. Attached for the reading's lifetime.
class ConsoleReading final : public BarcodeReader::Client {
public:
    ConsoleReading(ConsoleLoop& loop, BarcodeReader::Reader* reader, const std::string& prompt)
        : loop_(loop), reader_(reader), shared_(std::make_shared<Shared>())
    {
        shared_->prompt = prompt;
        if (reader_)
            reader_->setClient(this);
    }
    ~ConsoleReading() override
    {
        if (reader_)
            reader_->setClient(nullptr);
        shared_->active = false; // state changes still queued are no longer news
    }
    ConsoleReading(const ConsoleReading&) = delete;
    ConsoleReading& operator=(const ConsoleReading&) = delete;

    void readerOpened(BarcodeReader::Reader&) override { postState("bar-code reader ready"); }
    void readerClosed(BarcodeReader::Reader&) override { postState("bar-code reader not ready"); }
    void codeRead(BarcodeReader::Reader&, const std::string& code) override
    {
        loop_.post([shared = shared_, code] { shared->codes.push_back(code); });
    }

    // The next code read, on the loop thread; shown after the prompt as if typed.
    std::optional<std::string> takeCode()
    {
        if (shared_->codes.empty())
            return std::nullopt;
        std::string code = std::move(shared_->codes.front());
        shared_->codes.pop_front();
        std::fprintf(stderr, "%s (scanned)\n", platform::cp1252ToUtf8(code).c_str());
        return code;
    }

private:
    struct Shared {
        std::string prompt;
        std::deque<std::string> codes;
        bool active = true;
    };

    void postState(const char* state)
    {
        loop_.post([shared = shared_, state] {
            if (shared->active)
                std::fprintf(stderr, "\n[%s]\n%s", state, shared->prompt.c_str());
        });
    }

    ConsoleLoop& loop_;
    BarcodeReader::Reader* reader_;
    std::shared_ptr<Shared> shared_; // outlives this reading in work still queued
};

} // namespace

bool ConsoleInterface::isInterfaceThread() const
{
    return loop_.isLoopThread();
}

void ConsoleInterface::postExecuteRequests()
{
    loop_.post([this] { document_.executeQueuedRequests(); });
}

bool ConsoleInterface::ask(const std::string& caption, std::string& answer, bool echo)
{
    std::fprintf(stderr, "%s: ", platform::cp1252ToUtf8(caption).c_str());
    std::fflush(stderr);
    std::optional<std::string> line;
    {
        EchoOff guard(echo ? -1 : STDIN_FILENO);
        line = loop_.readLine(STDIN_FILENO);
        if (guard.active())
            std::fputc('\n', stderr);
    }
    if (!line)
        return false;
    answer = platform::toCp1252FromUtf8IfValid(*line);
    return true;
}

bool ConsoleInterface::askOrScan(const std::string& caption, BarcodeReader::Reader* reader, std::string& answer,
                                 bool& scanned)
{
    scanned = false;
    if (!reader)
        return ask(caption, answer, true);
    const std::string prompt = platform::cp1252ToUtf8(caption) + ": ";
    std::fputs(prompt.c_str(), stderr);
    std::fflush(stderr);
    ConsoleReading reading(loop_, reader, prompt);
    bool fromReader = false;
    std::optional<std::string> line = loop_.readLine(STDIN_FILENO, [&]() -> std::optional<std::string> {
        std::optional<std::string> code = reading.takeCode();
        fromReader = code.has_value();
        return code;
    });
    if (!line)
        return false;
    scanned = fromReader;
    // A scanned code is already in the station's code page; a typed line may be UTF-8.
    answer = scanned ? *line : platform::toCp1252FromUtf8IfValid(*line);
    return true;
}

bool ConsoleInterface::readText(const std::string& caption, std::string& text, BarcodeReader::Reader* reader)
{
    bool scanned = false;
    return askOrScan(caption, reader, text, scanned);
}

bool ConsoleInterface::readIpAddress(const std::string& caption, std::uint32_t& address, BarcodeReader::Reader* reader)
{
    std::string line;
    bool scanned = false;
    while (askOrScan(caption + " (a.b.c.d)", reader, line, scanned)) {
        // A scanned code may also carry the address as a hexadecimal number.
        if (readDottedAddress(line, address) || (scanned && readHexNumber(line, address)))
            return true;
        std::fputs("Not an IPv4 address.\n", stderr);
    }
    return false;
}

bool ConsoleInterface::askPassword(const std::string& title, std::string& password)
{
    return ask(title, password, false);
}

void ConsoleInterface::showMessage(const std::string& text, const std::string& caption)
{
    std::fprintf(stderr, "%s: %s\n", platform::cp1252ToUtf8(caption).c_str(), platform::cp1252ToUtf8(text).c_str());
}

namespace {

// A number from 1 to count, as typed (blanks around it allowed); 0 when it is not one.
std::size_t listNumber(const std::string& line, std::size_t count)
{
    const std::size_t first = line.find_first_not_of(" \t\r");
    const std::size_t last = line.find_last_not_of(" \t\r");
    if (first == std::string::npos)
        return 0;
    std::size_t number = 0;
    const char* end = line.data() + last + 1;
    auto [stop, error] = std::from_chars(line.data() + first, end, number);
    if (error != std::errc{} || stop != end || number > count)
        return 0;
    return number;
}

} // namespace

bool ConsoleInterface::chooseModel(const std::vector<TestTree::Model*>& candidates, std::size_t& chosenIndex)
{
    std::fputs("Choose the model to select:\n", stderr);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        TestTree::Model& model = *candidates[i];
        std::fprintf(stderr, "%zu. %s  %s  %s\n", i + 1,
                     platform::cp1252ToUtf8(model.relativeDir + model.fileName).c_str(),
                     platform::cp1252ToUtf8(model.profile.value("MODEL", "CODE")).c_str(),
                     platform::cp1252ToUtf8(model.profile.value("MODEL", "DESC")).c_str());
    }
    std::string line;
    while (ask("Model number", line, true)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            return false;
        if (std::size_t number = listNumber(line, candidates.size()); number != 0) {
            chosenIndex = number - 1;
            return true;
        }
        std::fprintf(stderr, "Not a number from 1 to %zu.\n", candidates.size());
    }
    return false;
}
