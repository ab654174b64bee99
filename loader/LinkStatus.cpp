#include "loader/LinkStatus.h"

#include <utility>

int responseValue16(std::uint8_t high, std::uint8_t low)
{
    if (high == 0x81)
        return low;
    return high * 256 + low;
}

std::string statusMessage(int status)
{
    static const std::pair<const char*, const char*> messages[] = {
        {"10", "Time-out!"},
        {"11", "Invalid LCR."},
        {"12", "Erroneous message structure."},
        {"50", "Invalid data length."},
        {"51", "Invalid parametrer value."},
        {"52", "Digital signature error."},
        {"53", "Max block length exceeded."},
        {"54", "Erroneous block number."},
        {"55", "Information not available."},
        {"56", "Flash writing / erasing error."},
        {"?>", "Command not allowed in the current terminal status."},
        {"??", "Unknown command."},
    };
    for (const auto& [code, message] : messages)
        if (status == static_cast<unsigned char>(code[0]) * 256 + static_cast<unsigned char>(code[1]))
            return message;
    return "Unknown error.";
}
