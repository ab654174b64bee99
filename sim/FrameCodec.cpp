#include "sim/FrameCodec.h"

namespace termsim {

std::string encodeFrame(std::string_view payload)
{
    std::string frame{control::dle, control::stx};
    unsigned char check = 0;
    for (char byte : payload) {
        frame += byte;
        if (byte == control::dle)
            frame += byte; // a doubled DLE cancels out of the check byte
        else
            check ^= static_cast<unsigned char>(byte);
    }
    frame += control::dle;
    frame += control::etx;
    check ^= static_cast<unsigned char>(control::dle ^ control::etx);
    frame += static_cast<char>(check);
    return frame;
}

void FrameReader::begin()
{
    state_ = State::Payload;
    payload_.clear();
    check_ = 0;
    overflow_ = false;
}

FrameReader::Result FrameReader::take(char byte)
{
    auto value = static_cast<unsigned char>(byte);
    switch (state_) {
    case State::Hunting:
        if (byte == control::dle) {
            state_ = State::LeadingDle;
            return Result::Pending;
        }
        return Result::Outside;
    case State::LeadingDle:
        if (byte == control::stx) {
            begin();
            return Result::Pending;
        }
        // DLE DLE outside a frame is a doubled data byte of a frame we came into late:
        // it never starts a frame, so the data byte 02 after it cannot either.
        state_ = State::Hunting;
        return byte == control::dle ? Result::Pending : Result::Outside;
    case State::Payload:
        check_ ^= value;
        if (byte == control::dle)
            state_ = State::PayloadDle;
        else if (payload_.size() < payloadCapacity)
            payload_ += byte;
        else
            overflow_ = true;
        return Result::Pending;
    case State::PayloadDle:
        check_ ^= value;
        if (byte == control::dle) {
            state_ = State::Payload;
            if (payload_.size() < payloadCapacity)
                payload_ += byte;
            else
                overflow_ = true;
            return Result::Pending;
        }
        if (byte == control::etx) {
            state_ = State::CheckByte;
            return Result::Pending;
        }
        if (byte == control::stx) {
            // A new frame begins inside one that never ended (the station gave up on
            // it): the broken one is dropped, the new one read.
            begin();
            return Result::Pending;
        }
        state_ = State::Hunting;
        return Result::BadStuffing;
    case State::CheckByte:
        state_ = State::Hunting;
        if (value != check_)
            return Result::BadCheck;
        return overflow_ ? Result::TooLong : Result::Frame;
    }
    return Result::Outside;
}

} // namespace termsim
