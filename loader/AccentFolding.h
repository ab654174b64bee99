#pragma once
// Ticket lines are folded to plain letters before printing, so that accented Spanish
// and other Western texts read well on any printer.
#include <cstdint>

// A CP1252 byte with its accent, tilde, cedilla or diaeresis removed (á → a, Ñ → N,
// ç → c), the inverted marks and ordinal indicators made plain (¡ → !, ¿ → ?, º → o,
// ª → a, · → .); every other byte unchanged. Upper-case Ÿ is kept.
std::uint8_t foldAccent(std::uint8_t byte);
