#include "soak/StationMessages.h"

#include <array>
#include <set>
#include <string_view>

namespace {

const std::set<std::string>& fixedMessages()
{
    static const std::set<std::string> messages = {
        // The job, its sequences and its end.
        "Beginning download...", "Invalid downloading file.", "BIOS communications parameters invalid.",
        "The selected Port cannot be opened.", "Protocol not supported.", kCancelledMessage, "Carga finalizada.",
        "Sw exception in loader thread!", "Complete downloading.", "Finishing download...",
        // The RAM bootstrap and the files of a bootstrap-family model.
        "Terminal quering...", "Waiting RAMBOOT start-up...", "The RAMBOOT doesn't answer.",
        "RAMBOOT doesn't echoes 'q' command.", "Warning: RAM Bootstrap is already downloaded.",
        "The terminal isn't in loading state.", "Invalid RAMBOOT communication parameters.", "RAMBOOT file not found.",
        "Configuration file doesn't found.", "PreKernel file not found.", "Kernel file not found.",
        "Application file doesn't found.", "Invalid command for CORVANTIS terminals.", "File not found",
        "File reading error.", "Unexpected block number.",
        // The link.
        "Ciphering message error.", "ACK/NAK not received. Supposing ACK losing.", "NAK received.",
        "Max message retries reached.", "The terminal doesn't answer to the command.",
        "Asking for a response resend (NAK).", "The terminal doesn't answer to the NAK.",
        "Erroneous response from the terminal.", "The terminal's response doesn't match the command sent.",
        "Retrying message process", "Max command retries reached.", "Data block length error.",
        // The terminal's statuses.
        "Time-out!", "Invalid LCR.", "Erroneous message structure.", "Invalid data length.",
        "Invalid parametrer value.", "Digital signature error.", "Max block length exceeded.",
        "Erroneous block number.", "Information not available.", "Flash writing / erasing error.",
        "Command not allowed in the current terminal status.", "Unknown command.", "Unknown error.",
        // Configuration data.
        "Preparing Configuration data...", "Signing Configuration data...", "Guarantee data file not found.",
        "Guarantee data file max length exceeded.", "Guarantee data file reading error.",
        "Configuration data file not found.", "Configuration data file max length exceeded.",
        "Configuration data file reading error.",
        "Invalid serial number : this field must be numeric only, between 10 and 12 numbers",
        "Invalid MAC address : this field must be hexadecimal only",
        // The clock.
        "The terminal does not awake to assign the date.",
        "The terminal does not understand the commando to assign the date.",
        "The terminal has not been able to assign the date.",
        // Intel HEX.
        "Invalid command for Halvorin terminals.", "File not found or unreadable.", "Error writing to the terminal port.",
    };
    return messages;
}

// Messages that name a file or a value after their fixed beginning.
constexpr std::array<std::string_view, 9> kLeadingTexts = {
    "RAMBOOT downloading... (",  "PreKernel downloading... (",  "Kernel downloading... (",
    "Application downloading... (", "Configuration data downloading... (ff5e: ", "Configuration downloading... ",
    "Application downloading... ", "Serial Number ", "MAC Number:  ",
};

} // namespace

bool isStationMessage(const std::string& text)
{
    if (fixedMessages().count(text))
        return true;
    for (std::string_view leading : kLeadingTexts)
        if (text.size() > leading.size() && text.compare(0, leading.size(), leading) == 0)
            return true;
    return false;
}
