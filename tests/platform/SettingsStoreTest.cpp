#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {
namespace {

struct ReadCase {
    const char* what;
    std::string content;
    std::string key;
    std::optional<std::string> expected;
};

TEST(SettingsStoreRead, FindsValuesAsTheFileHoldsThem)
{
    const ReadCase cases[] = {
        {"plain", "[Settings]\nPuertos=/dev/ttyUSB0,/dev/ttyUSB1\n", "Puertos", "/dev/ttyUSB0,/dev/ttyUSB1"},
        {"CRLF line ends", "[Settings]\r\nProximoNS=0000001000\r\nSaltoNS=1\r\n", "ProximoNS", "0000001000"},
        {"CRLF last line", "[Settings]\r\nProximoNS=0000001000\r\nSaltoNS=1\r\n", "SaltoNS", "1"},
        {"no final line end", "[Settings]\nDSN=stock", "DSN", "stock"},
        {"blanks of the value kept", "[Settings]\nRegistro= /var/log/load.log \n", "Registro", " /var/log/load.log "},
        {"everything after the first =", "[Settings]\nDSN=Driver=SQLite3;Database=a.db\n", "DSN",
         "Driver=SQLite3;Database=a.db"},
        {"empty value", "[Settings]\nPassword=\n", "Password", ""},
        {"CR inside a value kept", "[Settings]\nDirEqui=a\rb\n", "DirEqui", "a\rb"},
        {"key in other letter case", "[Settings]\npuertos=COM1\n", "PUERTOS", "COM1"},
        {"blanks around the key", "[Settings]\n Puertos\t=COM1\n", "Puertos", "COM1"},
        {"header in other letter case with blanks", "[ sETTINGS ]\nSaltoNS=7\n", "SaltoNS", "7"},
        {"first occurrence wins", "[Settings]\nSaltoNS=1\nsaltons=2\nSALTONS=3\n", "SaltoNS", "1"},
        {"first occurrence wins over a later section",
         "[Settings]\nSaltoNS=1\n[Other]\n[settings]\nSaltoNS=2\nSaltoMAC=5\n", "SaltoNS", "1"},
        {"later [Settings] section still read", "[Settings]\nSaltoNS=1\n[Other]\n[settings]\nSaltoMAC=5\n",
         "SaltoMAC", "5"},
        {"key of another section", "[Other]\nPuertos=COM1\n[Settings]\nDSN=x\n", "Puertos", std::nullopt},
        {"key after the section ended", "[Settings]\nDSN=x\n[Other]\nPuertos=COM1\n", "Puertos", std::nullopt},
        {"key before any section", "Puertos=COM1\n[Settings]\n", "Puertos", std::nullopt},
        {"comment lines", "[Settings]\n;Puertos=COM1\n#Puertos=COM2\nPuertos=COM3\n", "Puertos", "COM3"},
        {"only comments", "[Settings]\n;Puertos=COM1\n", "Puertos", std::nullopt},
        {"line without =", "[Settings]\nPuertos\n", "Puertos", std::nullopt},
        {"empty file", "", "Puertos", std::nullopt},
    };
    TempDir dir;
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.file("orvane.conf");
        writeWholeFile(path, c.content);
        SettingsStore store(path);
        EXPECT_EQ(store.read(c.key), c.expected);
    }
}

TEST(SettingsStoreRead, MissingFileReadsAsFallbacks)
{
    TempDir dir;
    SettingsStore store(dir.file("absent/orvane.conf"));
    EXPECT_EQ(store.read("Puertos"), std::nullopt);
    EXPECT_EQ(store.readString("Puertos", "COM9"), "COM9");
    EXPECT_EQ(store.readInt("SaltoNS", 1), 1);
}

TEST(SettingsStoreParseInt, AcceptsDecimalWithinThirtyTwoBits)
{
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"0", 0},
        {"-0", 0},
        {"42", 42},
        {"-42", -42},
        {"0000001000", 1000},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", INT_MIN},
        {"3232235777", static_cast<std::int32_t>(0xC0A80101u)},
        {"4294967295", -1},
        {"00000000004294967295", -1},
        {"4294967296", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"--1", std::nullopt},
        {"+1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"12a", std::nullopt},
        {"0x10", std::nullopt},
        {"1.0", std::nullopt},
        {"1\r", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(SettingsStore::parseInt(text), expected);
    }
}

TEST(SettingsStoreReadInt, FallsBackForMissingKeysAndNonNumbers)
{
    TempDir dir;
    std::string path = dir.file("orvane.conf");
    writeWholeFile(path, "[Settings]\r\nProximoIP=3232235777\r\nNetMask=4294967040\r\nSaltoNS=ten\r\nSaltoIP=\r\n"
                         "SaltoMAC=5000000000\r\n");
    SettingsStore store(path);
    EXPECT_EQ(store.readInt("ProximoIP"), static_cast<std::int32_t>(0xC0A80101u));
    EXPECT_EQ(store.readInt("NetMask"), static_cast<std::int32_t>(0xFFFFFF00u));
    EXPECT_EQ(store.readInt("SaltoNS", 1), 1);
    EXPECT_EQ(store.readInt("SaltoIP", 1), 1);
    EXPECT_EQ(store.readInt("SaltoMAC", 1), 1);
    EXPECT_EQ(store.readInt("AccionIP", 3), 3);
}

TEST(SettingsStoreWrite, IntegersRoundTrip)
{
    TempDir dir;
    SettingsStore store(dir.file("orvane.conf"));
    for (std::int32_t value : {0, 1, -1, INT_MAX, INT_MIN, static_cast<std::int32_t>(0xC0A80101u)}) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(store.writeInt("ProximoIP", value));
        EXPECT_EQ(store.readInt("ProximoIP", 12345), value);
        EXPECT_EQ(SettingsStore(store.path()).readInt("ProximoIP", 12345), value);
    }
}

TEST(SettingsStoreWrite, KeepsOtherSectionsAndCommentsAndUsesTheGivenSpelling)
{
    TempDir dir;
    std::string path = dir.file("orvane.conf");
    writeWholeFile(path, "; station settings\r\n"
                         "[General]\r\n"
                         "Name = Keep  me \r\n"
                         "Puertos=not this one\r\n"
                         "# note\r\n"
                         "\r\n"
                         "[ settings ]\r\n"
                         "puertos=/dev/ttyS0\r\n"
                         "; inside comment\r\n"
                         "SaltoNS=1\r\n"
                         "\r\n"
                         "[Tail]\r\n"
                         "x=y\r\n");
    SettingsStore store(path);
    ASSERT_TRUE(store.write("Puertos", "/dev/ttyUSB0"));
    ASSERT_TRUE(store.write("ProximoNS", "0000001000"));
    ASSERT_TRUE(store.write("SALTONS", "2"));
    EXPECT_EQ(readWholeFile(path), "; station settings\n"
                                   "[General]\n"
                                   "Name = Keep  me \n"
                                   "Puertos=not this one\n"
                                   "# note\n"
                                   "\n"
                                   "[ settings ]\n"
                                   "Puertos=/dev/ttyUSB0\n"
                                   "; inside comment\n"
                                   "SALTONS=2\n"
                                   "ProximoNS=0000001000\n"
                                   "\n"
                                   "[Tail]\n"
                                   "x=y\n");
    EXPECT_EQ(store.read("puertos"), "/dev/ttyUSB0");
}

TEST(SettingsStoreWrite, ReplacesOnlyTheFirstOccurrence)
{
    TempDir dir;
    std::string path = dir.file("orvane.conf");
    writeWholeFile(path, "[Settings]\nSaltoNS=1\nsaltons=2\n");
    SettingsStore store(path);
    ASSERT_TRUE(store.writeInt("SaltoNS", 9));
    EXPECT_EQ(readWholeFile(path), "[Settings]\nSaltoNS=9\nsaltons=2\n");
    EXPECT_EQ(store.readInt("SaltoNS"), 9);
}

TEST(SettingsStoreWrite, CreatesTheSectionWhereItIsMissing)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "[Settings]\nCurNode=A/B\n"},
        {"[Other]\na=1\n", "[Other]\na=1\n[Settings]\nCurNode=A/B\n"},
        {"[Settings]\n\n[Other]\n", "[Settings]\nCurNode=A/B\n\n[Other]\n"},
        {"[Settings]\nDSN=x\n\n\n", "[Settings]\nDSN=x\nCurNode=A/B\n\n\n"},
        {"[Settings]\nDSN=x\n;last", "[Settings]\nDSN=x\n;last\nCurNode=A/B\n"},
    };
    TempDir dir;
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(before);
        std::string path = dir.file("orvane.conf");
        writeWholeFile(path, before);
        SettingsStore store(path);
        ASSERT_TRUE(store.write("CurNode", "A/B"));
        EXPECT_EQ(readWholeFile(path), after);
    }
}

TEST(SettingsStoreWrite, CreatesMissingDirectoriesAndAPrivateFile)
{
    TempDir dir;
    std::string path = dir.file("config/Marvistelo/orvane.conf");
    SettingsStore store(path);
    ASSERT_TRUE(store.write("Puertos", "COM1,COM3"));
    EXPECT_EQ(readWholeFile(path), "[Settings]\nPuertos=COM1,COM3\n");

    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    for (const char* sub : {"config", "config/Marvistelo"}) {
        ASSERT_EQ(::stat(dir.file(sub).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0077, 0u) << sub;
    }

    // A readable file becomes private again on the next write.
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    ASSERT_TRUE(store.write("Puertos", "COM2"));
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(SettingsStoreWrite, RefusesWhatWouldAddLines)
{
    TempDir dir;
    std::string path = dir.file("orvane.conf");
    const std::string before = "[Settings]\nPuertos=COM1\n";
    writeWholeFile(path, before);
    SettingsStore store(path);
    const std::pair<std::string, std::string> refused[] = {
        {"Puertos", "COM2\n[Settings]\nPassword="},
        {"Puertos", "COM2\r"},
        {"Puertos", "\nCOM2"},
        {"", "x"},
        {"Pue=rtos", "x"},
        {"Puertos\nPassword", "x"},
        {";Puertos", "x"},
        {"#Puertos", "x"},
        {"[Puertos]", "x"},
        {" Puertos", "x"},
    };
    for (const auto& [key, value] : refused) {
        SCOPED_TRACE(key + "=" + value);
        EXPECT_FALSE(store.write(key, value));
    }
    EXPECT_EQ(readWholeFile(path), before);
    EXPECT_EQ(store.read("Puertos"), "COM1");
}

TEST(SettingsStoreReload, SeesChangesMadeOutside)
{
    TempDir dir;
    std::string path = dir.file("orvane.conf");
    writeWholeFile(path, "[Settings]\nSaltoNS=1\n");
    SettingsStore store(path);
    ASSERT_EQ(store.readInt("SaltoNS"), 1);

    writeWholeFile(path, "[Settings]\nSaltoNS=12\nDSN=stock\n");
    EXPECT_EQ(store.readInt("SaltoNS"), 12);

    // Same size, same inode; only the modification time tells.
    struct stat before;
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    writeWholeFile(path, "[Settings]\nSaltoNS=34\nDSN=stock\n");
    timespec times[2] = {before.st_atim, before.st_mtim};
    times[1].tv_sec -= 100;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(store.readInt("SaltoNS"), 34);

    // A write starts from the file as it is now, not from the copy read before.
    writeWholeFile(path, "[Settings]\nSaltoNS=56\nDSN=outside\n");
    ASSERT_TRUE(store.write("Puertos", "COM1"));
    EXPECT_EQ(readWholeFile(path), "[Settings]\nSaltoNS=56\nDSN=outside\nPuertos=COM1\n");

    ASSERT_EQ(::unlink(path.c_str()), 0);
    EXPECT_EQ(store.read("Puertos"), std::nullopt);
    EXPECT_EQ(store.readInt("SaltoNS", 1), 1);
}

TEST(SettingsStoreReload, SequenceLockReadsAfreshEvenWhenTheStampMatches)
{
    TempDir dir;
    std::string path = dir.file("orvane.conf");
    writeWholeFile(path, "[Settings]\nProximoIP=100\n");
    SettingsStore store(path);
    ASSERT_EQ(store.readInt("ProximoIP"), 100);

    // Rewritten in place with the same size and the old modification time: the
    // stamp cannot tell, the lock's fresh read must.
    struct stat before;
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    writeWholeFile(path, "[Settings]\nProximoIP=200\n");
    timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    std::int32_t seen = 0;
    EXPECT_TRUE(store.withSequenceLock([&] {
        seen = store.readInt("ProximoIP");
        return store.writeInt("ProximoIP", seen + 1);
    }));
    EXPECT_EQ(seen, 200);
    EXPECT_EQ(readWholeFile(path), "[Settings]\nProximoIP=201\n");
}

TEST(SettingsStoreSequenceLock, AnswersTheWorksResultAndNests)
{
    TempDir dir;
    SettingsStore store(dir.file("sub/orvane.conf"));
    EXPECT_FALSE(store.withSequenceLock([] { return false; }));
    bool innerRan = false;
    EXPECT_TRUE(store.withSequenceLock([&] {
        // The lock is already held by this thread: nested use must not wait for itself.
        return store.withSequenceLock([&] {
            innerRan = true;
            return store.write("ProximoNS", "0000000001");
        });
    }));
    EXPECT_TRUE(innerRan);
    EXPECT_EQ(store.read("ProximoNS"), "0000000001");
    EXPECT_EQ(::access(dir.file("sub/orvane.conf.lock").c_str(), F_OK), 0);
}

} // namespace
} // namespace platform
