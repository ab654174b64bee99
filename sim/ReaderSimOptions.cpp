#include "sim/ReaderSimOptions.h"

#include <charconv>
#include <fstream>

namespace readersim {

const char* const kReaderSimUsage =
    "usage: orvane-readersim [options]\n"
    "A reader network server for the station's network bar-code reader.\n"
    "  --port N           TCP port to listen on (default 800; 0: any free port)\n"
    "  --bind ADDRESS     IPv4 address to listen on (default 0.0.0.0)\n"
    "  --reader N[:STATE] a reader on the network; STATE is present (default), absent,\n"
    "                     busy (held by someone else: BUSY, then ACK OPEN once released)\n"
    "                     or faulty (STATUS and OPEN answered ERROR); readers not named\n"
    "                     are absent\n"
    "  --busy-ms MS       release a busy reader MS after a station first waits for it\n"
    "                     (default: only by the release command)\n"
    "  --codes FILE       codes to send, one \"N CODE\" a line, each once reader N is held\n"
    "  --code-every MS    interval between two codes of the list (default 1000)\n"
    "  --silent           log what stations send, answer nothing\n"
    "  --help             this text\n"
    "The first line of standard output is \"port N\"; then every line received (<) and\n"
    "sent (>) per connection. Commands on standard input, one a line:\n"
    "  read N CODE        READ N CODE to the station holding reader N (CODE as written,\n"
    "                     quotes and backslashes included)\n"
    "  line TEXT          TEXT as one line to every station\n"
    "  flood COUNT        COUNT bytes without a line end to every station\n"
    "  fine               FINE? to every station\n"
    "  drop               close every connection\n"
    "  silent on|off      stop or resume answering\n"
    "  present N | absent N | busy N | faulty N | release N\n"
    "SIGINT or SIGTERM ends the server.\n";

namespace {

bool toInt(const std::string& text, long long lowest, long long highest, long long& value)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && value >= lowest && value <= highest;
}

bool readerOption(const std::string& text, ServerSettings& server)
{
    std::size_t colon = text.find(':');
    long long number = 0;
    if (!toInt(text.substr(0, colon), 0, 1'000'000, number))
        return false;
    std::string state = colon == std::string::npos ? "present" : text.substr(colon + 1);
    Presence presence;
    if (state == "present")
        presence = Presence::Present;
    else if (state == "absent")
        presence = Presence::Absent;
    else if (state == "busy")
        presence = Presence::Busy;
    else if (state == "faulty")
        presence = Presence::Faulty;
    else
        return false;
    server.readers[static_cast<int>(number)] = presence;
    return true;
}

bool codesFile(const std::string& path, ServerSettings& server, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::size_t blank = line.find(' ');
        long long reader = 0;
        if (blank == std::string::npos || !toInt(line.substr(0, blank), 0, 1'000'000, reader)) {
            error = path + ": not \"N CODE\": " + line;
            return false;
        }
        server.codes.emplace_back(static_cast<int>(reader), line.substr(blank + 1));
    }
    return true;
}

} // namespace

std::optional<ReaderSimOptions> parseReaderSimOptions(int argc, char** argv, std::string& error)
{
    ReaderSimOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help") {
            options.help = true;
            continue;
        }
        if (option == "--silent") {
            options.server.silent = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = option.starts_with("--") ? option + " needs a value" : "unexpected argument " + option;
            return std::nullopt;
        }
        std::string value = argv[++i];
        long long number = 0;
        if (option == "--port" && toInt(value, 0, 65535, number)) {
            options.server.port = static_cast<int>(number);
        } else if (option == "--bind") {
            options.server.bindAddress = value;
        } else if (option == "--reader" && readerOption(value, options.server)) {
        } else if (option == "--busy-ms" && toInt(value, 0, 3'600'000, number)) {
            options.server.busyMs = number;
        } else if (option == "--code-every" && toInt(value, 1, 3'600'000, number)) {
            options.server.codeEveryMs = number;
        } else if (option == "--codes") {
            if (!codesFile(value, options.server, error))
                return std::nullopt;
        } else {
            error = "bad option or value: " + option + " " + value;
            return std::nullopt;
        }
    }
    return options;
}

} // namespace readersim
