#include "comm/ReadMessage.h"

#include <vector>

namespace BarcodeReader {

namespace {

bool isDelimiter(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Reads the quoted token whose opening quote is at line[at]; at is left after the
// closing quote. Nothing when the closing quote is missing.
std::optional<std::string> quotedToken(std::string_view line, std::size_t& at)
{
    const char quote = line[at++];
    std::string token;
    while (at < line.size()) {
        char c = line[at++];
        if (c == quote)
            return token;
        if (c == '\\') {
            if (at == line.size())
                break;
            c = line[at++];
        }
        token.push_back(c);
    }
    return std::nullopt;
}

std::string plainToken(std::string_view line, std::size_t& at)
{
    std::string token;
    while (at < line.size() && !isDelimiter(line[at]))
        token.push_back(upper(line[at++]));
    return token;
}

} // namespace

std::optional<std::string> parseReadMessage(std::string_view line)
{
    std::vector<std::string> tokens;
    std::size_t at = 0;
    for (;;) {
        while (at < line.size() && isDelimiter(line[at]))
            ++at;
        if (at == line.size())
            break;
        if (line[at] == '\'' || line[at] == '"') {
            std::optional<std::string> token = quotedToken(line, at);
            if (!token)
                return std::nullopt;
            tokens.push_back(std::move(*token));
        } else {
            tokens.push_back(plainToken(line, at));
        }
    }
    if (tokens.size() < 3 || tokens[0] != "READ")
        return std::nullopt;
    return tokens[2];
}

} // namespace BarcodeReader
