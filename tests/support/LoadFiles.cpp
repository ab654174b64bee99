#include "support/LoadFiles.h"

#include <cstdio>

std::string hexLines(int count, int seed)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, ":04%04X00%08X%02X\r\n", (i * 4) & 0xFFFF, seed * 7919 + i, 0);
        text += line;
    }
    return text;
}

std::string binaryContent(std::size_t size, int seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((seed * 97 + i * 13 + (i >> 7)) & 0xFF);
    return bytes;
}
