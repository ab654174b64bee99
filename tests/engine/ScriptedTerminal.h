#pragma once
// A terminal played by the test on the master side of a pseudo-terminal: a script runs
// on a thread of its own, reads what the station sends and answers byte for byte. Its
// frame encoder is the test's own, independent of the station's.
#include "support/PtyPair.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

class ScriptedTerminal {
public:
    using Script = std::function<void(ScriptedTerminal&)>;

    ScriptedTerminal(PtyPair& pty, Script script);
    ~ScriptedTerminal(); // waits for the script to end

    // The next byte from the station, or nothing within limitMs.
    std::optional<std::uint8_t> readByte(int limitMs = 5000);
    // The next whole frame from the station (DLE STX ... DLE ETX LCR); empty when none came.
    Bytes readFrame(int limitMs = 5000);
    // The payload of the next frame, stuffing removed.
    Bytes readPayload(int limitMs = 5000);
    void send(const Bytes& bytes);
    void send(std::uint8_t byte) { send(Bytes{byte}); }
    // ACK, then the response frame of this payload.
    void answer(const std::string& payload);
    // Nothing more arrives within limitMs.
    bool quiet(int limitMs);

    static Bytes frameOf(const Bytes& payload);
    static Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

private:
    PtyPair& pty_;
    std::thread thread_;
};
