#include "data/ProfileFile.h"

#include "platform/CodePage.h"
#include "platform/FileDescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

unsigned char foldAsciiCase(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Negative, zero or positive as a sorts before, equal to or after b.
int compareIgnoringCase(std::string_view a, std::string_view b)
{
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char ca = foldAsciiCase(static_cast<unsigned char>(a[i]));
        const unsigned char cb = foldAsciiCase(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    return text.substr(start);
}

std::string_view trimRight(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

std::string_view trim(std::string_view text)
{
    return trimRight(trimLeft(text));
}

std::string_view withoutComment(std::string_view line)
{
    return line.substr(0, line.find(';'));
}

// The whole content of a regular file, or nothing when it cannot be opened or read.
// Anything but a regular file (a directory, a pipe, a device) counts as unreadable: a
// pipe would block the lookup and a device may never end.
std::optional<std::string> readWholeFile(const std::string& path)
{
    platform::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file)
        return std::nullopt;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    std::string content;
    if (info.st_size > 0)
        content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got == 0)
            return content;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
}

// Download descriptions written by Linux editors are UTF-8; the station's texts are
// CP1252. A UTF-8 byte-order mark is a marker of the encoding, not a character: left in,
// it would become '?' in front of the first section header and hide that section.
std::string asCp1252(std::string_view content)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (content.starts_with(byteOrderMark) && platform::isValidUtf8(content))
        content.remove_prefix(byteOrderMark.size());
    return platform::toCp1252FromUtf8IfValid(content);
}

} // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && compareIgnoringCase(a, b) == 0;
}

bool LessIgnoringCase::operator()(std::string_view a, std::string_view b) const
{
    return compareIgnoringCase(a, b) < 0;
}

const std::string* ProfileSection::find(std::string_view key) const
{
    for (const ProfileEntry& entry : entries)
        if (equalsIgnoringCase(entry.first, key))
            return &entry.second;
    return nullptr;
}

void ProfileFile::setPath(std::string path)
{
    path_ = std::move(path);
}

const std::string& ProfileFile::emptyText()
{
    static const std::string empty;
    return empty;
}

const ProfileSection* ProfileFile::section(std::string_view name)
{
    loadIfNeeded();
    const auto found = sections_.find(name);
    return found == sections_.end() ? nullptr : &found->second;
}

const std::string& ProfileFile::value(std::string_view sectionName, std::string_view key)
{
    const ProfileSection* found = section(sectionName);
    if (!found)
        return emptyText();
    const std::string* text = found->find(key);
    return text ? *text : emptyText();
}

void ProfileFile::loadIfNeeded()
{
    if (loaded_ || path_.empty())
        return;
    std::optional<std::string> content = readWholeFile(path_);
    if (!content)
        return; // tried again at the next lookup
    parse(asCp1252(*content));
    loaded_ = true;
}

void ProfileFile::parse(std::string_view content)
{
    ProfileSection* current = nullptr;
    while (!content.empty()) {
        const std::size_t lineEnd = content.find('\n');
        std::string_view line = content.substr(0, lineEnd);
        content.remove_prefix(lineEnd == std::string_view::npos ? content.size() : lineEnd + 1);
        // CR LF ends a line like LF; a CR anywhere else is part of the line.
        if (lineEnd != std::string_view::npos && line.ends_with('\r'))
            line.remove_suffix(1);

        line = trim(withoutComment(line));
        if (line.empty())
            continue;

        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = trim(line.substr(1, line.size() - 2));
            if (name.empty())
                continue;
            auto found = sections_.find(name);
            if (found == sections_.end())
                found = sections_.emplace(std::string(name), ProfileSection{}).first;
            current = &found->second;
            continue;
        }

        if (!current)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = trimRight(line.substr(0, equals));
        if (key.empty())
            continue;
        const std::string_view value = trimLeft(line.substr(equals + 1));
        current->entries.emplace_back(std::string(key), std::string(value));
    }
}
