// The exchange file: its name and mode, its removal, and reading back what a helper
// program left in its place.
#include "platform/ExchangeFile.h"
#include "signing/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

TEST(ExchangeFile, TemporaryFolderComesFromTmpdir)
{
    {
        ScopedEnvironment tmpdir("TMPDIR", "/var/tmp/x");
        EXPECT_EQ(platform::temporaryFolder(), "/var/tmp/x/");
    }
    {
        ScopedEnvironment tmpdir("TMPDIR", "/var/tmp/x/");
        EXPECT_EQ(platform::temporaryFolder(), "/var/tmp/x/");
    }
    for (const std::optional<std::string>& unset : {std::optional<std::string>(""), std::optional<std::string>()}) {
        ScopedEnvironment tmpdir("TMPDIR", unset);
        EXPECT_EQ(platform::temporaryFolder(), "/tmp/");
    }
}

TEST(ExchangeFile, PrivateUniqueFileRemovedWithItsOwner)
{
    TempDir dir;
    mode_t oldMask = ::umask(0); // even a permissive umask gives a private file
    std::string first, second;
    {
        platform::ExchangeFile a, b;
        ASSERT_TRUE(a.create(dir.path(), "CFG"));
        ASSERT_TRUE(b.create(dir.path() + "/", "CFG"));
        ::umask(oldMask);
        first = a.path();
        second = b.path();
        EXPECT_NE(first, second);
        for (const std::string& path : {first, second}) {
            std::string name = fs::path(path).filename().string();
            EXPECT_EQ(fs::path(path).parent_path(), fs::path(dir.path()));
            EXPECT_EQ(name.size(), 13u);
            EXPECT_EQ(name.substr(0, 3), "CFG");
            EXPECT_EQ(name.substr(9), ".TMP");
            struct stat info{};
            ASSERT_EQ(::stat(path.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, 0600u);
            EXPECT_EQ(info.st_size, 0);
        }
    }
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(second));
}

TEST(ExchangeFile, ReadsBackWhatFitsAndOnlyRegularFiles)
{
    TempDir dir;
    platform::ExchangeFile file;
    ASSERT_TRUE(file.create(dir.path(), "CFG"));
    const std::uint8_t data[] = {1, 2, 3, 0, 5};
    ASSERT_TRUE(file.writeAll(data, sizeof data));

    std::uint8_t back[5] = {};
    std::size_t length = 0;
    EXPECT_EQ(file.readBack(back, 5, length), platform::ExchangeFile::ReadBack::Read);
    EXPECT_EQ(length, 5u);
    EXPECT_TRUE(std::equal(back, back + 5, data));
    EXPECT_EQ(file.readBack(back, 4, length), platform::ExchangeFile::ReadBack::TooLarge);
    EXPECT_EQ(length, 5u);

    // A program that leaves a FIFO or a folder in the file's place cannot hold the
    // station up.
    fs::remove(file.path());
    ASSERT_EQ(::mkfifo(file.path().c_str(), 0600), 0);
    EXPECT_EQ(file.readBack(back, 5, length), platform::ExchangeFile::ReadBack::CannotOpen);
    fs::remove(file.path());
    fs::create_directory(file.path());
    EXPECT_EQ(file.readBack(back, 5, length), platform::ExchangeFile::ReadBack::CannotOpen);
    fs::remove(file.path());
    EXPECT_EQ(file.readBack(back, 5, length), platform::ExchangeFile::ReadBack::CannotOpen);
}

} // namespace
