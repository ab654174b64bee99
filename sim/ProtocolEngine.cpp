#include "sim/ProtocolEngine.h"

namespace termsim {

ProtocolEngine::ProtocolEngine(CommandHandlers& commands, FaultPlan& faults, Outbox& line, TerminalLog& log,
                               RunStats& stats)
    : commands_(commands), faults_(faults), line_(line), log_(log), stats_(stats)
{
}

void ProtocolEngine::receive(char byte)
{
    bool wasInFrame = reader_.inFrame();
    auto result = reader_.take(byte);
    if (!wasInFrame && reader_.inFrame() && awaitingAck_) {
        // The station has moved on to its next frame: it took the response.
        awaitingAck_ = false;
    }
    switch (result) {
    case FrameReader::Result::Pending:
        return;
    case FrameReader::Result::Frame:
        onFrame(reader_.payload());
        return;
    case FrameReader::Result::BadCheck:
        onBrokenFrame("bad check byte");
        return;
    case FrameReader::Result::BadStuffing:
        onBrokenFrame("bad stuffing");
        return;
    case FrameReader::Result::TooLong:
        onBrokenFrame("frame too long");
        return;
    case FrameReader::Result::Outside:
        onOutsideByte(byte);
        return;
    }
}

void ProtocolEngine::onFrame(const std::string& payload)
{
    stats_.frame();
    ++frames_;
    if (faults_.silentFor(frames_))
        return;
    if (faults_.play(LinkFault::NakFrame)) {
        line_.send(std::string(1, control::nak));
        return;
    }
    if (faults_.play(LinkFault::LoseAck)) {
        // The ACK is lost on the line: the response follows on its own.
    } else if (faults_.play(LinkFault::DleForAck)) {
        // The response's DLE comes where the station waits for ACK or NAK.
    } else {
        line_.send(std::string(1, control::ack));
    }
    auto answer = commands_.answer(payload);
    response_ = encodeFrame(answer.payload);
    resends_ = 0;
    sendResponse();
    if (answer.closesLoad)
        loadClosed_ = true;
}

void ProtocolEngine::onBrokenFrame(const char* why)
{
    if (faults_.silentFor(frames_ + 1))
        return;
    log_.note(std::string("nak sent: ") + why);
    line_.send(std::string(1, control::nak));
}

void ProtocolEngine::onOutsideByte(char byte)
{
    if (!awaitingAck_)
        return; // console bytes, a stray ACK or NAK: nothing to answer
    if (byte == control::ack) {
        awaitingAck_ = false;
        return;
    }
    if (byte != control::nak)
        return;
    if (resends_ >= resendLimit) {
        log_.note("resend request refused after " + std::to_string(resendLimit) + " resends");
        awaitingAck_ = false;
        return;
    }
    ++resends_;
    log_.note("resend request " + std::to_string(resends_));
    sendResponse();
}

void ProtocolEngine::sendResponse()
{
    std::string frame = response_;
    if (faults_.play(LinkFault::BadLcr))
        frame.back() = static_cast<char>(~static_cast<unsigned char>(frame.back()));
    if (faults_.play(LinkFault::Truncate))
        frame.resize(frame.size() / 2);
    line_.send(frame);
    awaitingAck_ = true;
}

} // namespace termsim
