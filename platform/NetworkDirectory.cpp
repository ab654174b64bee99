#include "platform/NetworkDirectory.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

// Shares are compared as the share owner's file server does: letter case and slash
// direction do not matter, nor does a final slash.
std::string comparableShare(std::string_view share)
{
    std::string out;
    for (char c : share)
        out += c == '\\' ? '/' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    while (out.size() > 2 && out.back() == '/')
        out.pop_back();
    return out;
}

// A field of the mount table: blanks, tabs, line ends and backslashes are written as
// three octal digits after a backslash.
std::string unescapeMountField(std::string_view field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            std::string_view digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string_view::npos) {
                out += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool isShareFileSystem(std::string_view type)
{
    return type == "cifs" || type == "smb3" || type == "smbfs";
}

std::string readMountTable()
{
    std::ifstream in("/proc/self/mounts");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool isEnterableDirectory(const std::string& directory)
{
    struct stat info{};
    return !directory.empty() && ::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(directory.c_str(), X_OK) == 0;
}

} // namespace

bool SplitPathRoot(std::string_view path, PathRoot& out)
{
    if (path.size() < 2)
        return false;
    if (path[1] == ':') {
        out = {std::string(path.substr(0, 1)), std::string(path.substr(2)), false};
        return true;
    }
    if (!(path[0] == path[1] && isSeparator(path[0])))
        return false;
    std::size_t serverEnd = path.find_first_of("/\\", 2);
    if (serverEnd == std::string_view::npos || serverEnd == 2)
        return false;
    std::size_t shareEnd = path.find_first_of("/\\", serverEnd + 1);
    if (shareEnd == std::string_view::npos || shareEnd == serverEnd + 1)
        return false;
    std::string root = "//";
    root += path.substr(2, serverEnd - 2);
    root += '/';
    root += path.substr(serverEnd + 1, shareEnd - serverEnd - 1);
    out = {std::move(root), std::string(path.substr(shareEnd)), true};
    return true;
}

std::string shareMountPoint(std::string_view share, std::string_view mountTable)
{
    const std::string wanted = comparableShare(share);
    std::istringstream lines{std::string(mountTable)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type))
            continue;
        if (isShareFileSystem(type) && comparableShare(unescapeMountField(device)) == wanted)
            return unescapeMountField(mountPoint);
    }
    return {};
}

bool mapNetworkDirectory(std::string& directory, std::string_view mountTable)
{
    PathRoot parts;
    if (!SplitPathRoot(directory, parts) || !parts.network)
        return false;
    std::string mountPoint = shareMountPoint(parts.root, mountTable);
    if (mountPoint.empty())
        return false;
    std::string rest = parts.rest;
    for (char& c : rest)
        if (c == '\\')
            c = '/';
    if (mountPoint.back() == '/')
        mountPoint.pop_back();
    directory = mountPoint + rest;
    return true;
}

bool ResolveWorkingDirectory(std::string& directory)
{
    PathRoot parts;
    if (SplitPathRoot(directory, parts) && parts.network)
        mapNetworkDirectory(directory, readMountTable());
    return isEnterableDirectory(directory);
}

} // namespace platform
