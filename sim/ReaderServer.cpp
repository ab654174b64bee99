#include "sim/ReaderServer.h"

#include "platform/SystemError.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace readersim {

namespace {

constexpr std::size_t kLongestInput = 1024 * 1024; // a station never sends lines this long
constexpr int kTickMs = 50;

bool number(const std::string& text, int& value)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

// Splits "word rest of the line" at the first blank.
std::pair<std::string, std::string> firstWord(const std::string& line)
{
    std::size_t blank = line.find(' ');
    if (blank == std::string::npos)
        return {line, ""};
    return {line.substr(0, blank), line.substr(blank + 1)};
}

} // namespace

ReaderServer::ReaderServer(ServerSettings settings) : settings_(std::move(settings)), silent_(settings_.silent)
{
    for (const auto& [reader, presence] : settings_.readers)
        network_.setPresence(reader, presence);
}

bool ReaderServer::listen(std::string& error)
{
    listener_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!listener_) {
        error = "socket: " + platform::systemErrorText(errno);
        return false;
    }
    int on = 1;
    ::setsockopt(listener_.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(settings_.port));
    if (::inet_pton(AF_INET, settings_.bindAddress.c_str(), &address.sin_addr) != 1) {
        error = "not an IPv4 address: " + settings_.bindAddress;
        return false;
    }
    if (::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_.get(), 16) != 0) {
        error = "cannot listen on " + settings_.bindAddress + ":" + std::to_string(settings_.port) + ": " +
                platform::systemErrorText(errno);
        return false;
    }
    socklen_t length = sizeof address;
    ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    return true;
}

void ReaderServer::command(const std::string& line)
{
    {
        std::scoped_lock guard(commandsMutex_);
        commands_.push_back(line);
    }
    commandsWaiting_.set();
}

void ReaderServer::log(const std::string& text)
{
    if (log_)
        log_(text);
}

void ReaderServer::run(const platform::WakeEvent& stop, int commandFd)
{
    bool commandsOpen = commandFd >= 0;
    lastCodeAt_ = platform::tickMs();
    while (!stop.isSet()) {
        std::vector<pollfd> fds{{stop.fd(), POLLIN, 0},
                                {commandsWaiting_.fd(), POLLIN, 0},
                                {listener_.get(), POLLIN, 0},
                                {commandsOpen ? commandFd : -1, POLLIN, 0}};
        std::vector<int> ids;
        for (auto& [id, connection] : connections_) {
            short events = POLLIN;
            if (!connection.output.empty())
                events |= POLLOUT;
            fds.push_back({connection.fd.get(), events, 0});
            ids.push_back(id);
        }
        int n = ::poll(fds.data(), fds.size(), kTickMs);
        if (n < 0 && errno != EINTR)
            break;
        if (fds[1].revents) {
            commandsWaiting_.reset();
            std::deque<std::string> work;
            {
                std::scoped_lock guard(commandsMutex_);
                work.swap(commands_);
            }
            for (const std::string& line : work)
                execute(line);
        }
        if (fds[2].revents)
            accept();
        if (commandsOpen && fds[3].revents)
            commandInput(commandFd, commandsOpen);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            short revents = fds[4 + i].revents;
            if (!connections_.count(ids[i]) || !revents)
                continue;
            if (revents & POLLOUT)
                flush(ids[i]);
            if (connections_.count(ids[i]) && (revents & (POLLIN | POLLHUP | POLLERR)))
                receive(ids[i]);
        }
        runTimers();
    }
    while (!connections_.empty())
        closeConnection(connections_.begin()->first, "closed");
}

void ReaderServer::accept()
{
    for (;;) {
        int fd = ::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        int id = nextId_++;
        connections_[id].fd.reset(fd);
        log("C" + std::to_string(id) + " connected");
    }
}

void ReaderServer::receive(int id)
{
    auto current = connections_.find(id);
    if (current == connections_.end())
        return;
    Connection& connection = current->second;
    char buffer[4096];
    ssize_t got = ::recv(connection.fd.get(), buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (got <= 0) {
        closeConnection(id, "closed by the station");
        return;
    }
    connection.input.append(buffer, static_cast<std::size_t>(got));
    for (;;) {
        auto found = connections_.find(id);
        if (found == connections_.end())
            return;
        std::string& input = found->second.input;
        std::size_t end = input.find('\n');
        if (end == std::string::npos)
            break;
        std::string line = input.substr(0, end);
        input.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lineFrom(id, line);
    }
    auto found = connections_.find(id);
    if (found != connections_.end() && found->second.input.size() > kLongestInput)
        closeConnection(id, "dropped: endless line");
}

void ReaderServer::lineFrom(int id, const std::string& line)
{
    log("C" + std::to_string(id) + " < " + line);
    if (silent_)
        return;
    connections_[id].waitingForCodes = line.starts_with("KEEP_ALIVE ") && line != "KEEP_ALIVE 0";
    send(network_.lineFrom(id, line));
}

void ReaderServer::send(const std::vector<Outgoing>& lines)
{
    for (const Outgoing& out : lines)
        send(out.connection, out.line);
}

void ReaderServer::send(int id, const std::string& line)
{
    auto found = connections_.find(id);
    if (found == connections_.end())
        return;
    log("C" + std::to_string(id) + " > " + line);
    found->second.output += line + "\r\n";
    flush(id);
}

void ReaderServer::sendToAll(const std::string& bytes, bool asLine)
{
    std::vector<int> ids;
    for (const auto& entry : connections_)
        ids.push_back(entry.first);
    for (int id : ids) {
        if (!connections_.count(id))
            continue;
        if (asLine) {
            send(id, bytes);
        } else {
            log("C" + std::to_string(id) + " > (" + std::to_string(bytes.size()) + " bytes without a line end)");
            connections_[id].output += bytes;
            flush(id);
        }
    }
}

void ReaderServer::flush(int id)
{
    auto found = connections_.find(id);
    if (found == connections_.end())
        return;
    Connection& connection = found->second;
    while (!connection.output.empty()) {
        ssize_t sent = ::send(connection.fd.get(), connection.output.data(), connection.output.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (sent <= 0) {
            closeConnection(id, "closed by the station");
            return;
        }
        connection.output.erase(0, static_cast<std::size_t>(sent));
    }
}

void ReaderServer::closeConnection(int id, const char* why)
{
    connections_.erase(id);
    log("C" + std::to_string(id) + " " + why);
    send(network_.disconnected(id));
}

void ReaderServer::commandInput(int fd, bool& open)
{
    char buffer[1024];
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (got <= 0) {
        open = false; // no more commands; go on serving
        return;
    }
    commandInput_.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = commandInput_.find('\n')) != std::string::npos;) {
        std::string line = commandInput_.substr(0, end);
        commandInput_.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        execute(line);
    }
}

void ReaderServer::execute(const std::string& command)
{
    auto [word, rest] = firstWord(command);
    int reader = 0;
    if (word == "read") {
        auto [readerText, code] = firstWord(rest);
        if (!number(readerText, reader) || network_.holder(reader) < 0) {
            log("! reader " + readerText + " is not held by any station: code dropped");
            return;
        }
        send(network_.holder(reader), "READ " + readerText + " " + code);
    } else if (word == "line") {
        sendToAll(rest, true);
    } else if (word == "flood") {
        int count = 0;
        if (number(rest, count) && count > 0)
            sendToAll(std::string(static_cast<std::size_t>(count), 'X'), false);
    } else if (word == "fine") {
        sendToAll("FINE?", true);
    } else if (word == "drop") {
        while (!connections_.empty())
            closeConnection(connections_.begin()->first, "dropped");
    } else if (word == "silent") {
        silent_ = rest != "off";
        log(std::string("! ") + (silent_ ? "silent" : "answering"));
    } else if (number(rest, reader) && (word == "present" || word == "absent" || word == "busy" || word == "faulty")) {
        network_.setPresence(reader, word == "present" ? Presence::Present
                                     : word == "absent" ? Presence::Absent
                                     : word == "busy"   ? Presence::Busy
                                                        : Presence::Faulty);
        log("! reader " + rest + " " + word);
    } else if (word == "release" && number(rest, reader)) {
        log("! reader " + rest + " released");
        send(network_.release(reader));
    } else if (!command.empty()) {
        log("! unknown command: " + command);
    }
}

void ReaderServer::runTimers()
{
    platform::Millis now = platform::tickMs();
    if (settings_.busyMs > 0) {
        std::map<int, platform::Millis> since;
        for (int reader : network_.awaited()) {
            auto found = awaitedSince_.find(reader);
            since[reader] = found == awaitedSince_.end() ? now : found->second;
        }
        awaitedSince_ = since;
        for (const auto& [reader, at] : since) {
            if (now - at >= settings_.busyMs && network_.presence(reader) == Presence::Busy) {
                log("! reader " + std::to_string(reader) + " released");
                send(network_.release(reader));
            }
        }
    }
    if (nextCode_ < settings_.codes.size() && now - lastCodeAt_ >= settings_.codeEveryMs) {
        const auto& [reader, code] = settings_.codes[nextCode_];
        auto holder = connections_.find(network_.holder(reader));
        if (holder != connections_.end() && holder->second.waitingForCodes) {
            send(network_.holder(reader), "READ " + std::to_string(reader) + " " + code);
            ++nextCode_;
            lastCodeAt_ = now;
        }
    }
}

} // namespace readersim
