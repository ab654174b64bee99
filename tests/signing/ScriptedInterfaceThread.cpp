#include "signing/ScriptedInterfaceThread.h"

#include "app/OrvaneDoc.h"

ScriptedInterfaceThread::ScriptedInterfaceThread(OrvaneDoc& document)
    : document_(document), thread_([this] { loop(); })
{
}

ScriptedInterfaceThread::~ScriptedInterfaceThread()
{
    {
        std::scoped_lock lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void ScriptedInterfaceThread::answerPassword(std::optional<std::string> answer)
{
    std::scoped_lock lock(mutex_);
    answers_.push_back(std::move(answer));
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

bool ScriptedInterfaceThread::isInterfaceThread() const
{
    return std::this_thread::get_id() == thread_.get_id();
}

void ScriptedInterfaceThread::postExecuteRequests()
{
    std::scoped_lock lock(mutex_);
    pending_ = true;
    wake_.notify_all();
}

bool ScriptedInterfaceThread::askPassword(const std::string& title, std::string& password)
{
    std::scoped_lock lock(mutex_);
    passwordTitles_.push_back(title);
    if (answers_.empty())
        return false;
    std::optional<std::string> answer = std::move(answers_.front());
    answers_.pop_front();
    if (!answer)
        return false;
    password = *answer;
    return true;
}

void ScriptedInterfaceThread::showMessage(const std::string& text, const std::string& caption)
{
    std::scoped_lock lock(mutex_);
    messages_.emplace_back(text, caption);
}

void ScriptedInterfaceThread::loop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || pending_; });
        if (stop_)
            return;
        pending_ = false;
        lock.unlock();
        document_.executeQueuedRequests();
        lock.lock();
    }
}
