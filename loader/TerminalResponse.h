#pragma once
// The buffer a command's caller gives for the terminal's response: 4096 bytes, holding
// the decoded response payload (status, echoed command, data) after a successful command.
#include "loader/LinkFrame.h"
#include "loader/LinkStatus.h"

#include <array>
#include <cstddef>
#include <cstdint>

struct TerminalResponse {
    std::array<std::uint8_t, TerminalLink::kBufferSize> bytes{};
    std::size_t length = 0;

    // The 16-bit little-endian value at the start of the response data (payload bytes 4
    // and 5), or -1 when the response is too short to hold it.
    int firstDataValue16() const
    {
        return length >= 6 ? responseValue16(bytes[5], bytes[4]) : -1;
    }
};
