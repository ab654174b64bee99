#include "loader/FileHeader.h"

#include <algorithm>

FileHeader buildFileHeader(std::string_view tag, const std::uint8_t* fileStart)
{
    FileHeader header{};
    header[0] = 0x6A;
    for (std::size_t i = 0; i < 3 && i < tag.size(); ++i)
        header[1 + i] = static_cast<std::uint8_t>(tag[i]);
    std::copy(fileStart + 7, fileStart + 110, header.begin() + 4); // 103 bytes to 106
    // 107 to 126 stay zero: the hash field
    header[127] = 0xBC;
    std::copy(fileStart + 153, fileStart + 281, header.begin() + 128); // 128 bytes to 255
    return header;
}
