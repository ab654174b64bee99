#pragma once
// A fresh directory below $TMPDIR (else /tmp), removed with everything in it when the
// owner goes. Helpers create fixture files and directories inside it.
#include <string>
#include <string_view>

class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string pathOf(std::string_view relative) const;

    // Each creates what is missing on the way; relative paths use '/'.
    void makeDirectory(std::string_view relative) const;
    void writeFile(std::string_view relative, std::string_view content) const;
    void makeSymlink(std::string_view relative, std::string_view target) const;

private:
    std::string path_;
};
