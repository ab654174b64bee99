// Messages of the reader network server of any content: a code it gives is at most as
// long as the message, and any code sent quoted in a READ message comes back exactly.
#include "FuzzCheck.h"
#include "ReferenceText.h"
#include "comm/ReadMessage.h"

#include <string>

namespace {

using fuzzing::upper;

std::string quoted(std::string_view code, char quote)
{
    std::string text(1, quote);
    for (char c : code) {
        if (c == quote || c == '\\')
            text += '\\';
        text += c;
    }
    return text + quote;
}

bool isDelimiter(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = fuzzing::textOf(data, size);

    if (std::optional<std::string> code = BarcodeReader::parseReadMessage(text))
        FUZZ_CHECK(code->size() + 4 <= text.size()); // "READ", two delimiters at least

    for (char quote : {'"', '\''}) {
        const std::optional<std::string> code =
            BarcodeReader::parseReadMessage("read 7\t" + quoted(text, quote) + "\r\n");
        FUZZ_CHECK(code && *code == text);
    }
    // An unquoted code is taken in upper case, and a fourth token is not looked at.
    if (!text.empty() && text.front() != '"' && text.front() != '\'' && !isDelimiter(text.front())) {
        std::size_t end = 0;
        while (end < text.size() && !isDelimiter(text[end]))
            ++end;
        const std::string_view token = text.substr(0, end);
        const std::optional<std::string> code =
            BarcodeReader::parseReadMessage("READ 1 " + std::string(token) + " 'fourth'");
        FUZZ_CHECK(code && *code == upper(token));
    }
    // A quote left open makes the message malformed.
    if (text.find('"') == std::string_view::npos)
        FUZZ_CHECK(!BarcodeReader::parseReadMessage("READ 1 \"" + std::string(text)));
    return 0;
}
