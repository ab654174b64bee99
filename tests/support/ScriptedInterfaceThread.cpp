#include "support/ScriptedInterfaceThread.h"

#include "app/OrvaneDoc.h"

namespace {

template <class T>
std::optional<T> takeAnswer(std::deque<std::optional<T>>& script)
{
    if (script.empty())
        return std::nullopt;
    std::optional<T> answer = std::move(script.front());
    script.pop_front();
    return answer;
}

} // namespace

ScriptedInterfaceThread::ScriptedInterfaceThread(OrvaneDoc& document)
    : document_(document), thread_([this] { loop(); })
{
    document_.setInterfaceThread(this);
}

ScriptedInterfaceThread::~ScriptedInterfaceThread()
{
    document_.setInterfaceThread(nullptr);
    {
        std::scoped_lock lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void ScriptedInterfaceThread::answerText(std::optional<std::string> text)
{
    std::scoped_lock lock(mutex_);
    texts_.push_back(std::move(text));
}

void ScriptedInterfaceThread::answerAddress(std::optional<std::uint32_t> address)
{
    std::scoped_lock lock(mutex_);
    addresses_.push_back(address);
}

void ScriptedInterfaceThread::answerPassword(std::optional<std::string> password)
{
    std::scoped_lock lock(mutex_);
    passwords_.push_back(std::move(password));
}

std::vector<std::string> ScriptedInterfaceThread::prompts() const
{
    std::scoped_lock lock(mutex_);
    return prompts_;
}

std::vector<std::string> ScriptedInterfaceThread::passwordTitles() const
{
    std::scoped_lock lock(mutex_);
    return passwordTitles_;
}

std::vector<std::pair<std::string, std::string>> ScriptedInterfaceThread::messages() const
{
    std::scoped_lock lock(mutex_);
    return messages_;
}

int ScriptedInterfaceThread::promptsOffThread() const
{
    std::scoped_lock lock(mutex_);
    return promptsOffThread_;
}

int ScriptedInterfaceThread::posts() const
{
    std::scoped_lock lock(mutex_);
    return posts_;
}

bool ScriptedInterfaceThread::isInterfaceThread() const
{
    return std::this_thread::get_id() == thread_.get_id();
}

void ScriptedInterfaceThread::postExecuteRequests()
{
    {
        std::scoped_lock lock(mutex_);
        ++posts_;
        ++pending_;
    }
    wake_.notify_all();
}

bool ScriptedInterfaceThread::readText(const std::string& caption, std::string& text, BarcodeReader::Reader*)
{
    record("text: " + caption);
    std::scoped_lock lock(mutex_);
    auto answer = takeAnswer(texts_);
    if (!answer)
        return false;
    text = *answer;
    return true;
}

bool ScriptedInterfaceThread::readIpAddress(const std::string& caption, std::uint32_t& address, BarcodeReader::Reader*)
{
    record("address: " + caption);
    std::scoped_lock lock(mutex_);
    auto answer = takeAnswer(addresses_);
    if (!answer)
        return false;
    address = *answer;
    return true;
}

bool ScriptedInterfaceThread::askPassword(const std::string& title, std::string& password)
{
    record("password: " + title);
    std::scoped_lock lock(mutex_);
    passwordTitles_.push_back(title);
    auto answer = takeAnswer(passwords_);
    if (!answer)
        return false;
    password = *answer;
    return true;
}

void ScriptedInterfaceThread::showMessage(const std::string& text, const std::string& caption)
{
    record("message: " + caption + ": " + text);
    std::scoped_lock lock(mutex_);
    messages_.emplace_back(text, caption);
}

void ScriptedInterfaceThread::record(std::string prompt)
{
    bool offThread = !isInterfaceThread();
    std::scoped_lock lock(mutex_);
    prompts_.push_back(std::move(prompt));
    if (offThread)
        ++promptsOffThread_;
}

void ScriptedInterfaceThread::loop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || pending_ > 0; });
        if (stop_)
            return;
        pending_ = 0;
        lock.unlock();
        document_.executeQueuedRequests();
        lock.lock();
    }
}
