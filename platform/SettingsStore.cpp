#include "platform/SettingsStore.h"

#include "platform/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::string_view kSection = "Settings";
constexpr mode_t kFileMode = 0600;
constexpr mode_t kDirectoryMode = 0700;

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isBlankLine(std::string_view line)
{
    return trimBlanks(line).empty();
}

// The name of a section header line ("[name]", blanks around the name allowed).
std::optional<std::string_view> sectionName(std::string_view line)
{
    std::string_view text = trimBlanks(line);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    std::size_t close = text.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimBlanks(text.substr(1, close - 1));
}

bool isSettingsHeader(std::string_view line)
{
    auto name = sectionName(line);
    return name && equalsNoCase(*name, kSection);
}

bool isComment(std::string_view line)
{
    return !line.empty() && (line.front() == ';' || line.front() == '#');
}

// The key of a "key=value" line; nothing for comments and lines without '='.
std::optional<std::string_view> keyOf(std::string_view line)
{
    if (isComment(line))
        return std::nullopt;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return trimBlanks(line.substr(0, equals));
}

std::string_view valueOf(std::string_view line)
{
    return line.substr(line.find('=') + 1);
}

// A key that can be written as "key=value" and found again by the same name.
bool acceptableKey(std::string_view key)
{
    if (key.empty() || key != trimBlanks(key) || isComment(key) || key.front() == '[')
        return false;
    return key.find_first_of("=\r\n") == std::string_view::npos;
}

// A value may not carry a line end: it would add lines to the file.
bool acceptableValue(std::string_view value)
{
    return value.find_first_of("\r\n") == std::string_view::npos;
}

std::vector<std::string> splitLines(std::string_view content)
{
    std::vector<std::string> lines;
    while (!content.empty()) {
        std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos)
            break;
        content.remove_prefix(end + 1);
    }
    return lines;
}

// A line that itself ends in CR (it was read from "...\r\r\n") is written with CR LF,
// so that reading the file again drops only the added CR and the line stays as it was.
std::string joinLines(const std::vector<std::string>& lines)
{
    std::string content;
    for (const std::string& line : lines) {
        content += line;
        if (!line.empty() && line.back() == '\r')
            content += '\r';
        content += '\n';
    }
    return content;
}

// Puts "key=value" in place of the key's first line in [Settings], else after the
// last non-empty line of the first [Settings] section, else in a new section at the end.
void setKey(std::vector<std::string>& lines, std::string_view key, std::string_view value)
{
    std::string entry = std::string(key) + '=' + std::string(value);
    bool inSettings = false;
    int settingsSections = 0;
    std::optional<std::size_t> insertAt;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (sectionName(lines[i])) {
            inSettings = isSettingsHeader(lines[i]);
            if (inSettings && ++settingsSections == 1)
                insertAt = i + 1;
            continue;
        }
        if (!inSettings)
            continue;
        if (auto found = keyOf(lines[i]); found && equalsNoCase(*found, key)) {
            lines[i] = std::move(entry);
            return;
        }
        if (settingsSections == 1 && !isBlankLine(lines[i]))
            insertAt = i + 1;
    }
    if (insertAt) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*insertAt), std::move(entry));
    } else {
        lines.push_back("[" + std::string(kSection) + "]");
        lines.push_back(std::move(entry));
    }
}

std::string parentDirectory(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates the directory and any missing parents, each with mode 0700.
bool makeDirectories(const std::string& dir)
{
    struct stat st;
    if (::stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    if (errno != ENOENT)
        return false;
    std::string parent = parentDirectory(dir);
    if (parent != dir && !makeDirectories(parent))
        return false;
    return ::mkdir(dir.c_str(), kDirectoryMode) == 0 || (errno == EEXIST && isDirectory(dir));
}

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The whole content of a regular file; nothing when it cannot be read. The stat of
// the open file comes with it, so that content and stamp belong together.
std::optional<std::string> readRegularFile(const std::string& path, struct stat& st)
{
    // O_NONBLOCK: a FIFO put in the file's place must not hang the reader.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    std::string content;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return content;
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

// A temporary file beside the settings file, removed again unless kept.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target) : name_(target + ".XXXXXX")
    {
        fd_.reset(::mkostemp(name_.data(), O_CLOEXEC));
        if (!fd_)
            name_.clear();
    }
    ~TemporaryFile()
    {
        fd_.reset();
        if (!name_.empty())
            ::unlink(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool valid() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }
    const std::string& name() const { return name_; }
    // Closes the descriptor; a delayed write error shows up here.
    bool close() { return ::close(fd_.release()) == 0; }
    void keep() { name_.clear(); }

private:
    std::string name_;
    FileDescriptor fd_;
};

void syncDirectory(const std::string& dir)
{
    // Makes the rename durable; some file systems cannot sync a directory, and the
    // new file is in place either way.
    FileDescriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd)
        ::fsync(fd.get());
}

// Replaces the file by one holding the lines, or leaves it untouched. On success
// `written` is the stat of the new file.
bool replaceFile(const std::string& path, const std::vector<std::string>& lines, struct stat& written)
{
    TemporaryFile temporary(path);
    if (!temporary.valid())
        return false;
    if (!writeAll(temporary.fd(), joinLines(lines)) || ::fchmod(temporary.fd(), kFileMode) != 0 ||
        ::fsync(temporary.fd()) != 0 || ::fstat(temporary.fd(), &written) != 0 || !temporary.close())
        return false;
    if (::rename(temporary.name().c_str(), path.c_str()) != 0)
        return false;
    temporary.keep();
    syncDirectory(parentDirectory(path));
    return true;
}

// The lock files whose exclusive lock this thread holds. A second open of the same
// lock file would wait for the lock this very thread holds, so nested users skip it.
thread_local std::vector<std::string> tHeldLockFiles;

// The exclusive flock on "<settings file>.lock", held for the object's life.
class SequenceLock {
public:
    explicit SequenceLock(std::string lockFile) : lockFile_(std::move(lockFile))
    {
        if (heldByThisThread()) {
            held_ = true;
            return;
        }
        fd_.reset(::open(lockFile_.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, kFileMode));
        if (!fd_)
            return;
        // The wait is bounded by the holder's work: reading and rewriting one small file.
        int result;
        do
            result = ::flock(fd_.get(), LOCK_EX);
        while (result != 0 && errno == EINTR);
        if (result != 0) {
            fd_.reset();
            return;
        }
        tHeldLockFiles.push_back(lockFile_);
        held_ = true;
    }
    ~SequenceLock()
    {
        if (!fd_)
            return;
        tHeldLockFiles.pop_back();
        // Unlocked explicitly: a child forked meanwhile shares the descriptor, and
        // closing ours alone would not release the lock.
        ::flock(fd_.get(), LOCK_UN);
    }
    SequenceLock(const SequenceLock&) = delete;
    SequenceLock& operator=(const SequenceLock&) = delete;

    bool held() const { return held_; }

private:
    bool heldByThisThread() const
    {
        return std::find(tHeldLockFiles.begin(), tHeldLockFiles.end(), lockFile_) != tHeldLockFiles.end();
    }

    std::string lockFile_;
    FileDescriptor fd_;
    bool held_ = false;
};

// A stamp no stat gives: the content in memory is not known to match the file (the
// file could not be read, or a fresh read is wanted).
template <class Stamp>
void markUnknown(Stamp& stamp)
{
    stamp = Stamp{};
    stamp.device = std::numeric_limits<std::uint64_t>::max();
}

template <class Stamp>
bool isUnknown(const Stamp& stamp)
{
    Stamp unknown;
    markUnknown(unknown);
    return stamp == unknown;
}

template <class Stamp>
Stamp stampOf(const struct stat& st)
{
    Stamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return stamp;
}

} // namespace

SettingsStore::SettingsStore(std::string path) : path_(std::move(path))
{
}

std::optional<std::string> SettingsStore::read(std::string_view key)
{
    std::scoped_lock lock(mutex_);
    refreshLocked();
    return findLocked(key);
}

std::string SettingsStore::readString(std::string_view key, std::string_view fallback)
{
    return read(key).value_or(std::string(fallback));
}

std::int32_t SettingsStore::readInt(std::string_view key, std::int32_t fallback)
{
    auto value = read(key);
    if (!value)
        return fallback;
    return parseInt(*value).value_or(fallback);
}

bool SettingsStore::write(std::string_view key, std::string_view value)
{
    if (!acceptableKey(key) || !acceptableValue(value))
        return false;
    std::scoped_lock lock(mutex_);
    // Under the lock file's lock, so that a rewrite never drops a value another
    // process has just written (a sequence advance above all).
    return withSequenceLock([&] { return writeLocked(key, value); });
}

bool SettingsStore::writeInt(std::string_view key, std::int32_t value)
{
    return write(key, std::to_string(value));
}

bool SettingsStore::withSequenceLock(const std::function<bool()>& work)
{
    std::scoped_lock lock(mutex_);
    if (!makeDirectories(parentDirectory(path_)))
        return false;
    SequenceLock sequenceLock(path_ + ".lock");
    if (!sequenceLock.held())
        return false;
    markUnknown(stamp_);
    refreshLocked();
    return work();
}

std::optional<std::int32_t> SettingsStore::parseInt(std::string_view text)
{
    bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    constexpr std::uint64_t kUnsignedMax = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
        if (magnitude > kUnsignedMax)
            return std::nullopt;
    }
    if (negative) {
        if (magnitude > std::uint64_t{1} << 31)
            return std::nullopt;
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    }
    // 2^31 to 2^32-1 wrap to negative numbers: unsigned IPv4 numbers read back.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
}

void SettingsStore::refreshLocked()
{
    struct stat st;
    if (::stat(path_.c_str(), &st) != 0) {
        lines_.clear();
        if (errno == ENOENT || errno == ENOTDIR)
            stamp_ = FileStamp{}; // no file: no settings
        else
            markUnknown(stamp_);
        return;
    }
    if (stampOf<FileStamp>(st) == stamp_)
        return;
    auto content = readRegularFile(path_, st);
    if (!content) {
        lines_.clear();
        markUnknown(stamp_);
        return;
    }
    lines_ = splitLines(*content);
    stamp_ = stampOf<FileStamp>(st);
}

bool SettingsStore::writeLocked(std::string_view key, std::string_view value)
{
    refreshLocked();
    // A file that exists but cannot be read would lose all its other lines.
    if (isUnknown(stamp_))
        return false;
    std::vector<std::string> lines = lines_;
    setKey(lines, key, value);
    struct stat written;
    if (!replaceFile(path_, lines, written))
        return false;
    lines_ = std::move(lines);
    stamp_ = stampOf<FileStamp>(written);
    return true;
}

std::optional<std::string> SettingsStore::findLocked(std::string_view key) const
{
    if (!acceptableKey(key))
        return std::nullopt;
    bool inSettings = false;
    for (const std::string& line : lines_) {
        if (sectionName(line)) {
            inSettings = isSettingsHeader(line);
            continue;
        }
        if (!inSettings)
            continue;
        if (auto found = keyOf(line); found && equalsNoCase(*found, key))
            return std::string(valueOf(line));
    }
    return std::nullopt;
}

} // namespace platform
