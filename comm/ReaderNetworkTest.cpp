#include "comm/ReaderNetworkTest.h"

#include "comm/TcpSocket.h"

#include <optional>

namespace BarcodeReader {

namespace {

constexpr platform::Millis kAnswerMs = 2000;
constexpr platform::Millis kConnectLimitMs = 20000; // the page waits no longer than this
constexpr std::size_t kReplyLimit = 511;

using Verdict = ReaderNetworkVerdict;

Verdict failed(std::string message, std::string caption, Verdict::Field focus)
{
    return {Verdict::Outcome::Failed, std::move(message), std::move(caption), focus};
}

Verdict serverSilent(Verdict::Field focus)
{
    return failed("The server doesn't answer", "The server doesn't answer", focus);
}

Verdict sendFailed(Verdict::Field focus)
{
    return failed("Error sending a command to the server.", "Link out of service", focus);
}

// The server's reply up to its line end (CR or LF), received within the answer time.
// A reply split over several segments is joined; nothing when no byte came in time or
// the server closed the connection first.
std::optional<std::string> awaitReply(TcpSocket& socket)
{
    platform::WakeEvent never;
    platform::Deadline deadline(kAnswerMs);
    std::string reply;
    while (reply.size() < kReplyLimit) {
        if (deadline.expired())
            break;
        if (socket.waitReadable(deadline.remainingMs(), {&never}) != SocketWait::Ready)
            break;
        char chunk[kReplyLimit];
        long got = socket.receive(chunk, kReplyLimit - reply.size());
        if (got == -2)
            continue;
        if (got <= 0)
            break;
        reply.append(chunk, static_cast<std::size_t>(got));
        if (reply.find_first_of("\r\n") != std::string::npos)
            break;
    }
    if (reply.empty())
        return std::nullopt;
    return reply.substr(0, reply.find_first_of("\r\n"));
}

bool sendLine(TcpSocket& socket, const std::string& text)
{
    std::string line = text + "\r\n";
    return socket.send(line) == line.size();
}

} // namespace

ReaderNetworkVerdict testReaderNetwork(const std::string& server, int readerNumber, int tcpPort)
{
    using Field = Verdict::Field;
    std::optional<sockaddr_in> address = resolveIpv4(server, tcpPort);
    if (!address)
        return failed("Unknown the IP address of the server.", "Server unknown", Field::Server);
    TcpSocket socket;
    if (!socket.create())
        return failed("TCP/IP access error", "The server cannot be accessed", Field::Server);
    platform::WakeEvent never;
    if (!socket.connect(*address, kConnectLimitMs, {&never}))
        return failed("Server linking error.", "The server cannot be accessed", Field::Server);

    if (!sendLine(socket, "FINE?"))
        return sendFailed(Field::Server);
    std::optional<std::string> reply = awaitReply(socket);
    if (!reply || *reply != "ACK")
        return serverSilent(Field::Server);

    if (!sendLine(socket, "STATUS " + std::to_string(readerNumber)))
        return sendFailed(Field::ReaderNumber);
    reply = awaitReply(socket);
    if (!reply)
        return serverSilent(Field::ReaderNumber);
    if (*reply == "PRESENT")
        return {Verdict::Outcome::Passed, "", "", Field::None};
    if (*reply == "ABSENT")
        return {Verdict::Outcome::AskAcceptAbsent, "The Reader N\xBA cannot be acesses. Accept anyway?",
                "Reader not found", Field::ReaderNumber};
    return failed("Error in the RS485 network when the specified Reader N\xBA is addressed.",
                  "Error in the RS485 network", Field::ReaderNumber);
}

} // namespace BarcodeReader
