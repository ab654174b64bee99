#include "engine/ScriptedTerminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <poll.h>
#include <unistd.h>

ScriptedTerminal::ScriptedTerminal(PtyPair& pty, Script script) : pty_(pty)
{
    thread_ = std::thread([this, script = std::move(script)] { script(*this); });
}

ScriptedTerminal::~ScriptedTerminal()
{
    thread_.join();
}

std::optional<std::uint8_t> ScriptedTerminal::readByte(int limitMs)
{
    pollfd p{pty_.master(), POLLIN, 0};
    if (::poll(&p, 1, limitMs) != 1)
        return std::nullopt;
    std::uint8_t b;
    if (::read(pty_.master(), &b, 1) != 1)
        return std::nullopt;
    return b;
}

Bytes ScriptedTerminal::readFrame(int limitMs)
{
    Bytes frame;
    bool afterDle = false, etx = false;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (std::chrono::steady_clock::now() < end) {
        auto b = readByte(limitMs);
        if (!b)
            break;
        if (frame.empty() && *b != 0x10)
            continue; // not the start of a frame
        frame.push_back(*b);
        if (etx)
            return frame;
        if (frame.size() <= 2)
            continue;
        if (afterDle) {
            afterDle = false;
            etx = *b == 0x03;
        } else if (*b == 0x10) {
            afterDle = true;
        }
    }
    ADD_FAILURE() << "no whole frame from the station";
    return {};
}

Bytes ScriptedTerminal::readPayload(int limitMs)
{
    Bytes frame = readFrame(limitMs);
    Bytes payload;
    if (frame.size() < 5)
        return payload;
    // Between DLE STX and DLE ETX LCR; a doubled DLE is one payload byte.
    for (std::size_t i = 2; i < frame.size() - 3; i += frame[i] == 0x10 ? 2 : 1)
        payload.push_back(frame[i]);
    return payload;
}

void ScriptedTerminal::send(const Bytes& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::write(pty_.master(), bytes.data() + sent, bytes.size() - sent);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

void ScriptedTerminal::answer(const std::string& payload)
{
    send(0x06);
    send(frameOf(bytesOf(payload)));
}

bool ScriptedTerminal::quiet(int limitMs)
{
    return !readByte(limitMs).has_value();
}

Bytes ScriptedTerminal::frameOf(const Bytes& payload)
{
    Bytes frame = {0x10, 0x02};
    std::uint8_t lcr = 0;
    for (std::uint8_t b : payload) {
        frame.push_back(b);
        lcr ^= b;
        if (b == 0x10) {
            frame.push_back(b);
            lcr ^= b;
        }
    }
    frame.push_back(0x10);
    frame.push_back(0x03);
    lcr ^= 0x10 ^ 0x03;
    frame.push_back(lcr);
    return frame;
}
