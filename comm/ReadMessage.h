#pragma once
// The reader network server's report of a code: READ, a second token, the code.
#include <optional>
#include <string>
#include <string_view>

namespace BarcodeReader {

// Tokens are separated by runs of blanks, tabs, CRs and LFs. A token opened by ' or "
// runs to the same quote character (a backslash takes the next character as it is)
// and keeps its letter case; any other token is taken in upper case. The code (the
// third token) when the first token is READ and there are at least three; nothing for
// a malformed message (too few tokens, another first token, an unclosed quote).
std::optional<std::string> parseReadMessage(std::string_view line);

} // namespace BarcodeReader
