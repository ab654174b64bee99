#pragma once
// The 256-byte header that opens a component or application download, built from the
// first bytes of the file: 0x6A, the kind's tag, the file's bytes 7 to 109, twenty zero
// bytes, 0xBC, and the file's bytes 153 to 280.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

using FileHeader = std::array<std::uint8_t, 256>;

// The file's first bytes needed by the header.
constexpr std::size_t kFileHeaderSourceBytes = 281;

// fileStart must hold at least kFileHeaderSourceBytes bytes; tag is three characters.
FileHeader buildFileHeader(std::string_view tag, const std::uint8_t* fileStart);
