#pragma once
// A fresh directory below $TMPDIR (else /tmp), removed with everything in it when the
// owner goes (links are removed, not followed); helpers to write and read files in it.
#include <string>
#include <string_view>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path/relative; relative paths use '/'.
    std::string file(std::string_view relative) const;
    // Each creates the missing parent directories, returns the full path and throws
    // when it cannot do its work.
    std::string write(std::string_view relative, std::string_view content) const;
    std::string mkdir(std::string_view relative) const;
    std::string symlink(std::string_view relative, std::string_view target) const;

private:
    std::string path_;
};

// Replaces the file's content; throws when the file cannot be written.
void writeWholeFile(const std::string& path, std::string_view content);
// The file's bytes; empty when it cannot be read.
std::string readWholeFile(const std::string& path);
// The file's lines without their line feeds.
std::vector<std::string> readLines(const std::string& path);
