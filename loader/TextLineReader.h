#pragma once
// Reads a text file line by line; CR LF, LF and a lone CR all end a line, and a last
// line without a line end is read too.
#include "platform/FileDescriptor.h"

#include <string>
#include <vector>

class TextLineReader {
public:
    // False when the file cannot be opened for reading (or is a directory).
    bool open(const std::string& path);
    // The next line without its line end; false at the end of the file or on a read error.
    bool next(std::string& line);

private:
    bool fill();

    platform::FileDescriptor fd_;
    std::vector<char> buffer_ = std::vector<char>(65536);
    std::size_t begin_ = 0, end_ = 0;
    bool eof_ = false;
    bool skipLineFeed_ = false; // the last line ended with CR: a following LF belongs to it
};
