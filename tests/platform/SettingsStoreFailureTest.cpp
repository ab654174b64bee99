// Writes that cannot be completed must answer false and leave the old file as it
// was. The tests may run as root, where permission bits stop nothing, so each
// failure here is made real in another way.
#include "platform/SettingsStore.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::set<std::string> namesIn(const std::string& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(SettingsStoreFailure, FailedWriteOfTheNewFileKeepsTheOldOne)
{
    TempDir dir;
    std::string path = dir.file("orvane.conf");
    const std::string before = "; kept\n[Settings]\nDirEqui=/srv/terminals\n";
    writeWholeFile(path, before);
    SettingsStore store(path);
    ASSERT_EQ(store.read("DirEqui"), "/srv/terminals");
    ASSERT_TRUE(store.withSequenceLock([] { return true; })); // the lock file exists from now on

    bool written;
    {
        FileSizeLimit limit(before.size() + 8);
        ASSERT_TRUE(limit.ok());
        written = store.write("DirEqui", std::string(200, 'x'));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(readWholeFile(path), before);
    EXPECT_EQ(store.read("DirEqui"), "/srv/terminals");
    EXPECT_EQ(SettingsStore(path).read("DirEqui"), "/srv/terminals");
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"orvane.conf", "orvane.conf.lock"}))
        << "the temporary file must be removed";

    // Once the cause is gone, writing works again.
    EXPECT_TRUE(store.write("DirEqui", "/srv/other"));
    EXPECT_EQ(readWholeFile(path), "; kept\n[Settings]\nDirEqui=/srv/other\n");
}

TEST(SettingsStoreFailure, DirectoryThatIsAFile)
{
    TempDir dir;
    writeWholeFile(dir.file("plain"), "not a directory");
    SettingsStore store(dir.file("plain/orvane.conf"));
    EXPECT_EQ(store.readInt("SaltoNS", 1), 1);
    EXPECT_FALSE(store.write("SaltoNS", "2"));
    EXPECT_FALSE(store.withSequenceLock([] { return true; }));

    SettingsStore deeper(dir.file("plain/Marvistelo/orvane.conf"));
    EXPECT_FALSE(deeper.write("SaltoNS", "2"));
    EXPECT_EQ(readWholeFile(dir.file("plain")), "not a directory");
}

TEST(SettingsStoreFailure, DirectoryReplacedByAFileAfterReading)
{
    TempDir dir;
    std::string sub = dir.file("Marvistelo");
    SettingsStore store(sub + "/orvane.conf");
    ASSERT_TRUE(store.write("Puertos", "COM1"));
    ASSERT_EQ(store.read("Puertos"), "COM1");

    std::filesystem::remove_all(sub);
    writeWholeFile(sub, "in the way");
    EXPECT_EQ(store.read("Puertos"), std::nullopt);
    EXPECT_FALSE(store.write("Puertos", "COM2"));
    EXPECT_EQ(readWholeFile(sub), "in the way");

    // A directory that merely disappeared is made again.
    ASSERT_EQ(::unlink(sub.c_str()), 0);
    EXPECT_TRUE(store.write("Puertos", "COM3"));
    EXPECT_EQ(readWholeFile(sub + "/orvane.conf"), "[Settings]\nPuertos=COM3\n");
}

TEST(SettingsStoreFailure, UnusableLockFileStopsWritesAndSequenceWork)
{
    TempDir dir;
    std::string path = dir.file("orvane.conf");
    const std::string before = "[Settings]\nProximoNS=0000000007\n";
    writeWholeFile(path, before);
    ASSERT_EQ(::mkdir((path + ".lock").c_str(), 0700), 0);
    SettingsStore store(path);

    bool ran = false;
    EXPECT_FALSE(store.withSequenceLock([&] { return ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_FALSE(store.write("ProximoNS", "0000000008"));
    EXPECT_EQ(readWholeFile(path), before);
    EXPECT_EQ(store.read("ProximoNS"), "0000000007");
}

TEST(SettingsStoreFailure, UnreadableSettingsFileIsNeverOverwritten)
{
    // A directory in the file's place cannot be read: reads fall back, and a write
    // must not replace it by a file holding only the written key.
    TempDir dir;
    std::string path = dir.file("orvane.conf");
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    writeWholeFile(path + "/inside", "x");
    SettingsStore store(path);
    EXPECT_EQ(store.readString("Puertos", "none"), "none");
    EXPECT_FALSE(store.write("Puertos", "COM1"));
    EXPECT_EQ(readWholeFile(path + "/inside"), "x");
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"orvane.conf", "orvane.conf.lock"}));
}

TEST(SettingsStoreFailure, SettingsPathThatIsNoRegularFileIsKept)
{
    // A FIFO must neither hang the reader nor be replaced by a writer that could
    // not see what it held.
    TempDir dir;
    std::string path = dir.file("orvane.conf");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    SettingsStore store(path);
    EXPECT_EQ(store.readInt("SaltoNS", 3), 3);
    EXPECT_FALSE(store.write("SaltoNS", "4"));
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(SettingsStoreFailure, FileWithoutReadPermissionIsKept)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop the superuser";
    TempDir dir;
    std::string path = dir.file("orvane.conf");
    writeWholeFile(path, "[Settings]\nPuertos=COM1\n[Other]\nkeep=me\n");
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    SettingsStore store(path);
    EXPECT_EQ(store.readString("Puertos", "none"), "none");
    EXPECT_FALSE(store.write("Puertos", "COM2"));
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(readWholeFile(path), "[Settings]\nPuertos=COM1\n[Other]\nkeep=me\n");
    EXPECT_EQ(store.read("Puertos"), "COM1") << "readable again, read again";
}

} // namespace
} // namespace platform
