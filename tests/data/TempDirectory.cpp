#include "data/TempDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

TempDirectory::TempDirectory()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/orvane-data-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data()))
        throw std::runtime_error("cannot create a temporary directory");
    path_ = buffer.data();
}

TempDirectory::~TempDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored); // symlinks are removed, not followed
}

std::string TempDirectory::pathOf(std::string_view relative) const
{
    return relative.empty() ? path_ : path_ + "/" + std::string(relative);
}

void TempDirectory::makeDirectory(std::string_view relative) const
{
    std::filesystem::create_directories(pathOf(relative));
}

void TempDirectory::writeFile(std::string_view relative, std::string_view content) const
{
    const std::filesystem::path file = pathOf(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

void TempDirectory::makeSymlink(std::string_view relative, std::string_view target) const
{
    const std::filesystem::path link = pathOf(relative);
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink(std::string(target), link);
}
