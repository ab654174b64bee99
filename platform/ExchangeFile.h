#pragma once
// A file through which the station hands data to a helper program and reads the
// program's answer back: created new and empty in the temporary folder with a unique
// name the system chooses, readable and writable by the user alone, and removed when
// its owner goes.
#include "platform/FileDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The user's temporary folder with its final '/': $TMPDIR when set and not empty,
// else /tmp.
std::string temporaryFolder();

class ExchangeFile {
public:
    enum class ReadBack { Read, CannotOpen, TooLarge, Failed };

    ExchangeFile() = default;
    ~ExchangeFile();
    ExchangeFile(const ExchangeFile&) = delete;
    ExchangeFile& operator=(const ExchangeFile&) = delete;

    // Creates folder/<prefix>XXXXXX.TMP (mode 0600); false when it cannot be created.
    bool create(std::string_view folder, std::string_view prefix);
    // Empty before a successful create.
    const std::string& path() const { return path_; }

    // Writes the bytes through the descriptor the creation opened, then closes it; false
    // when a write failed or came short.
    bool writeAll(const std::uint8_t* data, std::size_t length);

    // Opens the file afresh by name (the program may have replaced it) and reads it whole.
    // length receives the file's size whenever the file could be opened; the bytes are
    // read into data only when that size is at most capacity (TooLarge otherwise).
    // Anything but a regular file cannot be opened.
    ReadBack readBack(std::uint8_t* data, std::size_t capacity, std::size_t& length) const;

private:
    std::string path_;
    FileDescriptor created_;
};

} // namespace platform
