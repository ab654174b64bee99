#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/orvane-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempDir::file(std::string_view relative) const
{
    return path_ + "/" + std::string(relative);
}

std::string TempDir::write(std::string_view relative, std::string_view content) const
{
    std::string path = file(relative);
    fs::create_directories(fs::path(path).parent_path());
    writeWholeFile(path, content);
    return path;
}

std::string TempDir::mkdir(std::string_view relative) const
{
    std::string path = file(relative);
    fs::create_directories(path);
    return path;
}

std::string TempDir::symlink(std::string_view relative, std::string_view target) const
{
    std::string path = file(relative);
    fs::create_directories(fs::path(path).parent_path());
    fs::create_symlink(std::string(target), path);
    return path;
}

void writeWholeFile(const std::string& path, std::string_view content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::istringstream text(readWholeFile(path));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}
