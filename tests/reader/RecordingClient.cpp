#include "reader/RecordingClient.h"

#include <algorithm>

void RecordingClient::record(std::string event)
{
    {
        std::scoped_lock guard(mutex_);
        events_.push_back(std::move(event));
    }
    changed_.notify_all();
}

std::vector<std::string> RecordingClient::events()
{
    std::scoped_lock guard(mutex_);
    return events_;
}

std::size_t RecordingClient::count(const std::string& event)
{
    std::scoped_lock guard(mutex_);
    return static_cast<std::size_t>(std::count(events_.begin(), events_.end(), event));
}

bool RecordingClient::waitFor(const std::string& event, std::size_t times, platform::Millis limitMs)
{
    std::unique_lock guard(mutex_);
    return changed_.wait_for(guard, std::chrono::milliseconds(limitMs), [&] {
        return static_cast<std::size_t>(std::count(events_.begin(), events_.end(), event)) >= times;
    });
}
