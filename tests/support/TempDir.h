#pragma once
// A fresh directory below $TMPDIR (else /tmp), removed with everything in it when the
// owner goes; helpers to write and read files in it.
#include <string>
#include <string_view>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path/relative; parent directories are created.
    std::string file(std::string_view relative) const;
    std::string write(std::string_view relative, std::string_view content) const;
    std::string mkdir(std::string_view relative) const;

private:
    std::string path_;
};

std::string readWholeFile(const std::string& path);
