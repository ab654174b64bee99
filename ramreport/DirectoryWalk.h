#pragma once
// Listing the software tree: the family entries below the files directory and the
// `.bin` files of an image directory, each in byte order of their names.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ramreport {

struct ListedFile {
    std::string name;
    // The size in bytes, kept in 32 bits; 0 for anything that is not a regular file.
    std::uint32_t size = 0;
};

// Every entry of the directory whose name does not begin with '.', whatever its kind;
// nothing when the directory cannot be listed.
std::optional<std::vector<std::string>> listFamilies(const std::string& filesDirectory);

// Every entry of the directory (a path ending in '/') whose name ends in ".bin" in any
// letter case; empty when the directory does not exist or cannot be listed.
std::vector<ListedFile> listBinFiles(const std::string& directory);

} // namespace ramreport
