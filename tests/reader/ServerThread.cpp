#include "reader/ServerThread.h"

#include <algorithm>
#include <stdexcept>

readersim::ServerSettings localServer(std::map<int, readersim::Presence> readers)
{
    readersim::ServerSettings settings;
    settings.bindAddress = "127.0.0.1";
    settings.port = 0;
    settings.readers = std::move(readers);
    return settings;
}

ServerThread::ServerThread(readersim::ServerSettings settings) : server_(std::move(settings))
{
    std::string error;
    if (!server_.listen(error))
        throw std::runtime_error(error);
    server_.setLog([this](const std::string& line) { record(line); });
    thread_ = std::thread([this] { server_.run(stop_); });
}

ServerThread::~ServerThread()
{
    stop_.set();
    thread_.join();
}

void ServerThread::record(const std::string& line)
{
    {
        std::scoped_lock guard(mutex_);
        log_.push_back(line);
    }
    changed_.notify_all();
}

std::vector<std::string> ServerThread::log()
{
    std::scoped_lock guard(mutex_);
    return log_;
}

std::size_t ServerThread::count(const std::string& line)
{
    std::scoped_lock guard(mutex_);
    return static_cast<std::size_t>(std::count(log_.begin(), log_.end(), line));
}

bool ServerThread::waitFor(const std::string& line, std::size_t times, platform::Millis limitMs)
{
    std::unique_lock guard(mutex_);
    return changed_.wait_for(guard, std::chrono::milliseconds(limitMs), [&] {
        return static_cast<std::size_t>(std::count(log_.begin(), log_.end(), line)) >= times;
    });
}

std::vector<std::string> ServerThread::received(int connection)
{
    const std::string prefix = "C" + std::to_string(connection) + " < ";
    std::vector<std::string> lines;
    for (const std::string& line : log())
        if (line.starts_with(prefix))
            lines.push_back(line.substr(prefix.size()));
    return lines;
}
