#pragma once
// Text handling the fuzz targets' own reading of a syntax is built on, written apart
// from the station's so that the two can disagree: blanks are spaces and tabs, letter
// case is ASCII only.
#include <string>
#include <string_view>

namespace fuzzing {

// The text without its leading and trailing blanks.
inline std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The text with its ASCII letters in upper case.
inline std::string upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace fuzzing
