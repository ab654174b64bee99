#include "sim/ReaderNetwork.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace readersim {

namespace {

std::vector<std::string> words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

bool readerNumber(const std::string& text, int& number)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc{} && end == text.data() + text.size() && number >= 0;
}

} // namespace

void ReaderNetwork::setPresence(int reader, Presence presence)
{
    readers_[reader].presence = presence;
}

Presence ReaderNetwork::presence(int reader) const
{
    auto found = readers_.find(reader);
    return found == readers_.end() ? Presence::Absent : found->second.presence;
}

int ReaderNetwork::holder(int reader) const
{
    auto found = readers_.find(reader);
    return found == readers_.end() ? -1 : found->second.holder;
}

std::vector<int> ReaderNetwork::awaited() const
{
    std::vector<int> numbers;
    for (const auto& [number, reader] : readers_)
        if (!reader.waiting.empty())
            numbers.push_back(number);
    return numbers;
}

std::vector<Outgoing> ReaderNetwork::lineFrom(int connection, const std::string& line)
{
    std::vector<std::string> w = words(line);
    auto reply = [&](std::string text) { return std::vector<Outgoing>{{connection, std::move(text)}}; };
    if (w.empty())
        return reply("ERROR");
    if (w[0] == "ACK" && w.size() == 1)
        return {}; // the answer to our own liveness check
    if (w[0] == "FINE?" || w[0] == "KEEP_ALIVE")
        return reply("ACK");
    int number = 0;
    if (w.size() < 2 || !readerNumber(w[1], number))
        return reply("ERROR");
    if (w[0] == "OPEN")
        return open(connection, number);
    if (w[0] == "CLOSE")
        return close(connection, number);
    if (w[0] == "STATUS") {
        switch (presence(number)) {
        case Presence::Present:
        case Presence::Busy:
            return reply("PRESENT");
        case Presence::Absent:
            return reply("ABSENT");
        case Presence::Faulty:
            return reply("ERROR");
        }
    }
    return reply("ERROR");
}

std::vector<Outgoing> ReaderNetwork::open(int connection, int number)
{
    const std::string claimed = "ACK OPEN " + std::to_string(number);
    auto found = readers_.find(number);
    if (found == readers_.end() || found->second.presence == Presence::Absent ||
        found->second.presence == Presence::Faulty)
        return {{connection, "ERROR"}};
    Reader& reader = found->second;
    if (reader.presence == Presence::Present && (reader.holder == -1 || reader.holder == connection)) {
        reader.holder = connection;
        return {{connection, claimed}};
    }
    if (std::find(reader.waiting.begin(), reader.waiting.end(), connection) == reader.waiting.end())
        reader.waiting.push_back(connection);
    return {{connection, "BUSY"}};
}

std::vector<Outgoing> ReaderNetwork::close(int connection, int number)
{
    std::vector<Outgoing> out{{connection, "ACK CLOSE " + std::to_string(number)}};
    if (readers_.contains(number))
        leave(connection, number, out);
    return out;
}

std::vector<Outgoing> ReaderNetwork::disconnected(int connection)
{
    std::vector<Outgoing> out;
    for (const auto& entry : readers_)
        leave(connection, entry.first, out);
    return out;
}

void ReaderNetwork::leave(int connection, int number, std::vector<Outgoing>& out)
{
    Reader& reader = readers_[number];
    std::erase(reader.waiting, connection);
    if (reader.holder != connection)
        return;
    reader.holder = -1;
    for (Outgoing& next : handOver(number))
        out.push_back(std::move(next));
}

std::vector<Outgoing> ReaderNetwork::release(int number)
{
    Reader& reader = readers_[number];
    if (reader.presence == Presence::Busy)
        reader.presence = Presence::Present;
    return handOver(number);
}

std::vector<Outgoing> ReaderNetwork::handOver(int number)
{
    Reader& reader = readers_[number];
    if (reader.presence != Presence::Present || reader.holder != -1 || reader.waiting.empty())
        return {};
    reader.holder = reader.waiting.front();
    reader.waiting.pop_front();
    return {{reader.holder, "ACK OPEN " + std::to_string(number)}};
}

} // namespace readersim
