#include "loader/AccentFolding.h"

#include <array>

namespace {

struct Fold {
    std::uint8_t from;
    char to;
};

// CP1252 codes of the 52 folded characters.
constexpr Fold kFolds[] = {
    // á é í ó ú ý, ä ë ï ö ü ÿ, à è ì ò ù, â ê î ô û
    {0xE1, 'a'}, {0xE9, 'e'}, {0xED, 'i'}, {0xF3, 'o'}, {0xFA, 'u'}, {0xFD, 'y'},
    {0xE4, 'a'}, {0xEB, 'e'}, {0xEF, 'i'}, {0xF6, 'o'}, {0xFC, 'u'}, {0xFF, 'y'},
    {0xE0, 'a'}, {0xE8, 'e'}, {0xEC, 'i'}, {0xF2, 'o'}, {0xF9, 'u'},
    {0xE2, 'a'}, {0xEA, 'e'}, {0xEE, 'i'}, {0xF4, 'o'}, {0xFB, 'u'},
    // Á É Í Ó Ú Ý, Ä Ë Ï Ö Ü, À È Ì Ò Ù, Â Ê Î Ô Û
    {0xC1, 'A'}, {0xC9, 'E'}, {0xCD, 'I'}, {0xD3, 'O'}, {0xDA, 'U'}, {0xDD, 'Y'},
    {0xC4, 'A'}, {0xCB, 'E'}, {0xCF, 'I'}, {0xD6, 'O'}, {0xDC, 'U'},
    {0xC0, 'A'}, {0xC8, 'E'}, {0xCC, 'I'}, {0xD2, 'O'}, {0xD9, 'U'},
    {0xC2, 'A'}, {0xCA, 'E'}, {0xCE, 'I'}, {0xD4, 'O'}, {0xDB, 'U'},
    // ñ ç Ñ Ç
    {0xF1, 'n'}, {0xE7, 'c'}, {0xD1, 'N'}, {0xC7, 'C'},
    // ¡ ¿ º ª ·
    {0xA1, '!'}, {0xBF, '?'}, {0xBA, 'o'}, {0xAA, 'a'}, {0xB7, '.'},
};

constexpr std::array<std::uint8_t, 256> foldTable()
{
    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b);
    for (const Fold& fold : kFolds)
        table[fold.from] = static_cast<std::uint8_t>(fold.to);
    return table;
}

constexpr std::array<std::uint8_t, 256> kFoldTable = foldTable();

static_assert(sizeof kFolds / sizeof kFolds[0] == 52);

} // namespace

std::uint8_t foldAccent(std::uint8_t byte)
{
    return kFoldTable[byte];
}
