#pragma once
// Texts inside the station are single-byte CP1252, as its stored files are. These
// helpers convert at the boundaries: UTF-8 download descriptions on load, and the
// console and GUI on output.
#include <string>
#include <string_view>

namespace platform {

bool isValidUtf8(std::string_view text);

// CP1252 text as UTF-8.
std::string cp1252ToUtf8(std::string_view text);

// A text that is valid UTF-8 and holds non-ASCII bytes is transcoded to CP1252
// (characters CP1252 lacks become '?'); any other text is already CP1252 and is
// returned unchanged.
std::string toCp1252FromUtf8IfValid(std::string_view text);

} // namespace platform
