#pragma once
// Bytes a terminal behaviour has to send to the station, waiting for the line.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace termsim {

class Outbox {
public:
    void send(std::string_view bytes) { pending_ += bytes; }
    bool empty() const { return pending_.empty(); }
    // Up to limit of the oldest bytes not yet sent.
    std::span<const char> front(std::size_t limit) const
    {
        return {pending_.data(), limit < pending_.size() ? limit : pending_.size()};
    }
    void sent(std::size_t count) { pending_.erase(0, count); }

private:
    std::string pending_;
};

} // namespace termsim
