// The reading settings' check of a reader network server and reader number: each
// verdict with its message, caption and the field that gets the focus.
#include "comm/ReaderNetworkTest.h"
#include "platform/FileDescriptor.h"
#include "platform/WakeEvent.h"
#include "reader/ServerThread.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>

namespace {

using BarcodeReader::ReaderNetworkVerdict;
using BarcodeReader::testReaderNetwork;
using Outcome = ReaderNetworkVerdict::Outcome;
using Field = ReaderNetworkVerdict::Field;
using readersim::Presence;

void expectVerdict(const ReaderNetworkVerdict& verdict, Outcome outcome, const std::string& message,
                   const std::string& caption, Field focus)
{
    EXPECT_EQ(verdict.outcome, outcome);
    EXPECT_EQ(verdict.message, message);
    EXPECT_EQ(verdict.caption, caption);
    EXPECT_EQ(verdict.focus, focus);
}

TEST(ReaderNetworkCheck, AnswersOfTheServerAboutTheReader)
{
    ServerThread server(localServer({{3, Presence::Present}, {4, Presence::Busy}, {5, Presence::Faulty}}));
    expectVerdict(testReaderNetwork("127.0.0.1", 3, server.port()), Outcome::Passed, "", "", Field::None);
    expectVerdict(testReaderNetwork("localhost", 4, server.port()), Outcome::Passed, "", "", Field::None);
    expectVerdict(testReaderNetwork("127.0.0.1", 7, server.port()), Outcome::AskAcceptAbsent,
                  "The Reader N\xBA cannot be acesses. Accept anyway?", "Reader not found", Field::ReaderNumber);
    expectVerdict(testReaderNetwork("127.0.0.1", 5, server.port()), Outcome::Failed,
                  "Error in the RS485 network when the specified Reader N\xBA is addressed.",
                  "Error in the RS485 network", Field::ReaderNumber);
    EXPECT_EQ(server.received(1), (std::vector<std::string>{"FINE?", "STATUS 3"}));
    EXPECT_EQ(server.received(3), (std::vector<std::string>{"FINE?", "STATUS 7"}));
}

TEST(ReaderNetworkCheck, AServerThatDoesNotAnswer)
{
    readersim::ServerSettings settings = localServer({{3, Presence::Present}});
    settings.silent = true;
    ServerThread server(settings);
    expectVerdict(testReaderNetwork("127.0.0.1", 3, server.port()), Outcome::Failed, "The server doesn't answer",
                  "The server doesn't answer", Field::Server);
    EXPECT_EQ(server.received(1), (std::vector<std::string>{"FINE?"}));
}

TEST(ReaderNetworkCheck, NoServerAtTheAddress)
{
    int port;
    {
        ServerThread vanished(localServer({}));
        port = vanished.port();
    }
    expectVerdict(testReaderNetwork("127.0.0.1", 3, port), Outcome::Failed, "Server linking error.",
                  "The server cannot be accessed", Field::Server);
    expectVerdict(testReaderNetwork("", 3, port), Outcome::Failed, "Unknown the IP address of the server.",
                  "Server unknown", Field::Server);
    expectVerdict(testReaderNetwork("no-such-host.invalid", 3, port), Outcome::Failed,
                  "Unknown the IP address of the server.", "Server unknown", Field::Server);
}

// A peer that answers the check's lines from a script: reply i is sent, as raw bytes,
// when line i arrives; kHangUp closes the connection; after the script it stays silent.
class ScriptedPeer {
public:
    static constexpr const char* kHangUp = "<hang up>";

    explicit ScriptedPeer(std::vector<std::string> replies) : replies_(std::move(replies))
    {
        listener_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_.get(), 1) != 0 ||
            ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no listening socket");
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~ScriptedPeer()
    {
        stop_.set();
        thread_.join();
    }
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    int port() const { return port_; }

private:
    // Waits for the descriptor to be readable; false once the test is over.
    bool readable(int fd)
    {
        pollfd waits[2] = {{fd, POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
        return ::poll(waits, 2, 10000) > 0 && !waits[1].revents && waits[0].revents;
    }
    void serve()
    {
        if (!readable(listener_.get()))
            return;
        platform::FileDescriptor peer(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        std::string received;
        for (const std::string& reply : replies_) {
            while (received.find('\n') == std::string::npos) {
                char chunk[256];
                ssize_t got = readable(peer.get()) ? ::recv(peer.get(), chunk, sizeof chunk, 0) : 0;
                if (got <= 0)
                    return;
                received.append(chunk, static_cast<std::size_t>(got));
            }
            received.erase(0, received.find('\n') + 1);
            if (reply == kHangUp)
                return;
            ::send(peer.get(), reply.data(), reply.size(), MSG_NOSIGNAL);
        }
        readable(stop_.fd()); // silent until the test ends
    }

    std::vector<std::string> replies_;
    platform::FileDescriptor listener_;
    int port_ = 0;
    platform::WakeEvent stop_;
    std::thread thread_;
};

// Answers that are missing or wrong: before STATUS the server field gets the focus,
// after it the reader number field.
TEST(ReaderNetworkCheck, MissingOrWrongAnswersAndWhereTheFocusGoes)
{
    const std::string silent = "The server doesn't answer";
    const std::string rs485 = "Error in the RS485 network when the specified Reader N\xBA is addressed.";
    struct Case {
        std::vector<std::string> replies;
        Outcome outcome;
        std::string message;
        std::string caption;
        Field focus;
    } cases[] = {
        {{}, Outcome::Failed, silent, silent, Field::Server},
        {{ScriptedPeer::kHangUp}, Outcome::Failed, silent, silent, Field::Server},
        {{"NAK\r\n"}, Outcome::Failed, silent, silent, Field::Server},
        {{"ACK \r\n"}, Outcome::Failed, silent, silent, Field::Server},
        {{"ACK\r\n"}, Outcome::Failed, silent, silent, Field::ReaderNumber},
        {{"ACK\r\n", ScriptedPeer::kHangUp}, Outcome::Failed, silent, silent, Field::ReaderNumber},
        {{"ACK\r\n", "present\r\n"}, Outcome::Failed, rs485, "Error in the RS485 network", Field::ReaderNumber},
        {{"ACK\r\n", "PRESENT\r\n"}, Outcome::Passed, "", "", Field::None},
    };
    for (const Case& c : cases) {
        ScriptedPeer peer(c.replies);
        SCOPED_TRACE(c.replies.empty() ? "no reply" : c.replies.back());
        expectVerdict(testReaderNetwork("127.0.0.1", 3, peer.port()), c.outcome, c.message, c.caption, c.focus);
    }
}

} // namespace
