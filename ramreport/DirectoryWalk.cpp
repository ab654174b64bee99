#include "ramreport/DirectoryWalk.h"

#include <algorithm>
#include <dirent.h>
#include <string_view>
#include <sys/stat.h>

namespace ramreport {

namespace {

// Owner of an open directory stream.
class DirectoryStream {
public:
    explicit DirectoryStream(const std::string& path) : dir_(::opendir(path.c_str())) {}
    ~DirectoryStream()
    {
        if (dir_)
            ::closedir(dir_);
    }
    DirectoryStream(const DirectoryStream&) = delete;
    DirectoryStream& operator=(const DirectoryStream&) = delete;

    bool isOpen() const { return dir_ != nullptr; }
    const dirent* next() { return ::readdir(dir_); }

private:
    DIR* dir_;
};

std::optional<std::vector<std::string>> entryNames(const std::string& directory)
{
    DirectoryStream stream(directory);
    if (!stream.isOpen())
        return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = stream.next())
        names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end()); // byte order: char_traits<char> compares unsigned
    return names;
}

bool hasBinExtension(std::string_view name)
{
    constexpr std::string_view extension = ".bin";
    if (name.size() < extension.size())
        return false;
    const std::string_view tail = name.substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

std::uint32_t regularFileSize(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return 0;
    return static_cast<std::uint32_t>(status.st_size);
}

} // namespace

std::optional<std::vector<std::string>> listFamilies(const std::string& filesDirectory)
{
    auto names = entryNames(filesDirectory);
    if (names)
        std::erase_if(*names, [](const std::string& name) { return name.starts_with('.'); });
    return names;
}

std::vector<ListedFile> listBinFiles(const std::string& directory)
{
    std::vector<ListedFile> files;
    const auto names = entryNames(directory);
    if (!names)
        return files;
    for (const std::string& name : *names)
        if (hasBinExtension(name))
            files.push_back({name, regularFileSize(directory + name)});
    return files;
}

} // namespace ramreport
