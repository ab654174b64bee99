#pragma once
// The per-user settings store: one INI file with a section [Settings].
//
// - Other sections and comment lines (';' or '#' first) are kept when the file is
//   rewritten.
// - Key names are matched without regard to letter case and written with the
//   spelling the caller gives (the documented one).
// - A value is every byte after the first '=' up to the end of the line (a CR before
//   the LF is dropped); nothing else is trimmed, no quoting.
// - Integers are decimal, optionally negative; a value from 2^31 to 2^32-1 is taken
//   modulo 2^32. A missing key or a value that is not a number reads as the default.
// - Every write replaces the file atomically (temporary file in the same directory,
//   fsync, rename) with mode 0600; a write that fails leaves the old file intact.
// - Reads see the file as it is on disk at the moment of use (reloaded when changed).
// - Sequence assignments run under an exclusive flock on "<file>.lock" and see the
//   settings re-read under it, so two processes sharing the file never hand out the
//   same value.
//
// All operations are safe to call from any thread.
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class SettingsStore {
public:
    explicit SettingsStore(std::string path);

    const std::string& path() const { return path_; }

    // The value of a key of [Settings], or nothing when the key is absent.
    std::optional<std::string> read(std::string_view key);
    std::string readString(std::string_view key, std::string_view fallback = {});
    std::int32_t readInt(std::string_view key, std::int32_t fallback = 0);

    // Sets a key of [Settings] and rewrites the file; false when the file could not
    // be written (the old one stays as it was).
    bool write(std::string_view key, std::string_view value);
    bool writeInt(std::string_view key, std::int32_t value);

    // Runs work while holding the exclusive lock of the companion lock file, after
    // re-reading the file; reads and writes made by work see and change the file under
    // the lock. False when the lock cannot be taken (work is not run); otherwise the
    // result of work.
    bool withSequenceLock(const std::function<bool()>& work);

    // Parses a settings integer as described above.
    static std::optional<std::int32_t> parseInt(std::string_view text);

private:
    struct FileStamp {
        bool exists = false;
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t mtimeNs = 0;
        bool operator==(const FileStamp&) const = default;
    };

    void refreshLocked();
    bool writeLocked(std::string_view key, std::string_view value);
    std::optional<std::string> findLocked(std::string_view key) const;

    std::string path_;
    std::recursive_mutex mutex_;
    std::vector<std::string> lines_; // the file's lines, line ends removed
    FileStamp stamp_;
};

} // namespace platform
