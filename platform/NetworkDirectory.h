#pragma once
// Network directories: a directory given as //server/share/rest (or with backslashes)
// is usable where the share is already mounted as a CIFS/SMB file system. The station
// mounts nothing itself; it only finds the existing mount point.
#include <string>
#include <string_view>

namespace platform {

struct PathRoot {
    // A drive letter ("C" of "C:\dir"), or //server/share for a network path.
    std::string root;
    // What follows the root; for a network path it starts with its separator.
    std::string rest;
    bool network = false;
};

// Splits a path into its root and the rest: "X:rest" gives the drive letter X;
// "//server/share/rest" (either slash) gives //server/share, as long as server and share
// are not empty and a separator follows the share. Any other path gives false.
bool SplitPathRoot(std::string_view path, PathRoot& out);

// The mount point of the CIFS/SMB mount of share (//server/share, compared without
// regard to letter case or slash direction) in a mount table laid out as
// /proc/self/mounts; empty when the share is not mounted.
std::string shareMountPoint(std::string_view share, std::string_view mountTable);

// Rewrites a network directory whose share is mounted per mountTable into the mount
// point followed by the rest of the path; true when it did.
bool mapNetworkDirectory(std::string& directory, std::string_view mountTable);

// Maps a network directory through this system's mounts (/proc/self/mounts) in place,
// then tells whether the directory can be used as a program's working directory (an
// existing directory that may be entered). The station's own current directory is left
// as it is.
bool ResolveWorkingDirectory(std::string& directory);

} // namespace platform
