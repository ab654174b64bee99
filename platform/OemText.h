#pragma once
// Ticket printers print in the OEM code page CP850, while texts inside the station are
// CP1252. The conversion keeps one byte for one byte, so a line keeps its length.
#include <string>
#include <string_view>

namespace platform {

// CP1252 text in CP850. A character CP850 lacks becomes its one-character
// transliteration when there is one (a curly quote becomes '"'), else '?'; bytes CP1252
// leaves unassigned become '?' too. Should the system have no CP850 conversion at all,
// ASCII still passes and every other byte becomes '?'.
std::string cp1252ToCp850(std::string_view text);

} // namespace platform
