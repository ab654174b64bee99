#include "loader/RenderBytes.h"

std::string renderBytes(const std::uint8_t* bytes, std::size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            text += ' ';
        switch (bytes[i]) {
        case 0x02: text += "<STX>"; break;
        case 0x03: text += "<ETX>"; break;
        case 0x06: text += "<ACK>"; break;
        case 0x10: text += "<DLE>"; break;
        case 0x15: text += "<NAK>"; break;
        default:
            text += digits[bytes[i] >> 4];
            text += digits[bytes[i] & 0x0F];
        }
    }
    return text;
}
