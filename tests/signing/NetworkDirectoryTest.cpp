// Network directories: splitting a path into its root and the rest, and finding the
// mount point of an already mounted share.
#include "platform/NetworkDirectory.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitPathRoot, DriveLettersAndShares)
{
    struct Case {
        std::string path;
        bool splits;
        platform::PathRoot expected;
    };
    const Case cases[] = {
        {"C:\\dir\\file", true, {"C", "\\dir\\file", false}},
        {"C:", true, {"C", "", false}},
        {"//server/share/dir", true, {"//server/share", "/dir", true}},
        {"\\\\server\\share\\dir\\sub", true, {"//server/share", "\\dir\\sub", true}},
        {"//server/share/", true, {"//server/share", "/", true}},
        {"\\\\server/share\\dir", true, {"//server/share", "\\dir", true}},
        {"//server", false, {}},
        {"//server/share", false, {}},   // no separator after the share
        {"///share/dir", false, {}},     // no server
        {"//server//dir", false, {}},    // no share
        {"/tmp/dir", false, {}},
        {"dir", false, {}},
        {"d", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        platform::PathRoot parts;
        ASSERT_EQ(platform::SplitPathRoot(c.path, parts), c.splits);
        if (!c.splits)
            continue;
        EXPECT_EQ(parts.root, c.expected.root);
        EXPECT_EQ(parts.rest, c.expected.rest);
        EXPECT_EQ(parts.network, c.expected.network);
    }
}

TEST(NetworkDirectory, MapsAMountedShareToItsMountPoint)
{
    const std::string mounts = "proc /proc proc rw,nosuid 0 0\n"
                               "//FileServer/Config /mnt/config cifs rw,vers=3.0 0 0\n"
                               "//other/share /mnt/with\\040blank smb3 rw 0 0\n"
                               "//nfsserver/export /mnt/nfs nfs rw 0 0\n"
                               "//rooted/share / cifs rw 0 0\n";
    struct Case {
        std::string directory;
        std::string mapped; // empty: left as it was
    };
    const Case cases[] = {
        {"//fileserver/config/dir", "/mnt/config/dir"},
        {"\\\\FILESERVER\\CONFIG\\sub\\dir", "/mnt/config/sub/dir"},
        {"//other/share/x", "/mnt/with blank/x"},
        {"//rooted/share/x", "/x"},
        {"//nfsserver/export/x", ""}, // not a CIFS/SMB share
        {"//unknown/share/x", ""},
        {"//fileserver", ""},
        {"//fileserver/config", ""},
        {"/mnt/config/dir", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.directory);
        std::string directory = c.directory;
        EXPECT_EQ(platform::mapNetworkDirectory(directory, mounts), !c.mapped.empty());
        EXPECT_EQ(directory, c.mapped.empty() ? c.directory : c.mapped);
    }
    EXPECT_EQ(platform::shareMountPoint("\\\\fileserver\\config", mounts), "/mnt/config");
    EXPECT_EQ(platform::shareMountPoint("//fileserver/config/", mounts), "/mnt/config");
}

TEST(NetworkDirectory, WorkingDirectoryMustBeAnExistingDirectory)
{
    TempDir dir;
    std::string existing = dir.path();
    EXPECT_TRUE(platform::ResolveWorkingDirectory(existing));
    EXPECT_EQ(existing, dir.path());

    std::string file = dir.write("file", "x");
    EXPECT_FALSE(platform::ResolveWorkingDirectory(file));
    std::string missing = dir.file("missing");
    EXPECT_FALSE(platform::ResolveWorkingDirectory(missing));
    std::string unmounted = "//no-such-server.invalid/share/dir";
    EXPECT_FALSE(platform::ResolveWorkingDirectory(unmounted));
    EXPECT_EQ(unmounted, "//no-such-server.invalid/share/dir");
}

} // namespace
