// memtabler run as a program on generated family trees; reports and console output are
// compared byte for byte with files written by hand.
#include "MemtablerRun.h"
#include "Tlv.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace ramtest;

namespace {

std::string expected(const std::string& name)
{
    return readWholeFile(std::string(RAMREPORT_EXPECTED_DIR) + "/" + name);
}

bool exists(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

std::string sizes(std::uint64_t rw, int rwWidth, std::uint64_t zi, int ziWidth)
{
    return tlv(kRwTag, number(rw, rwWidth)) + tlv(kZiTag, number(zi, ziWidth));
}

std::string typed(int type)
{
    return tlv(kTypeTag, bytes({type}));
}

// The working directory is <temp>/run, so the program reads <temp>/files/.
class MemtablerTree : public ::testing::Test {
protected:
    MemtablerTree() { dir_.mkdir("run"); }

public:
    std::string put(const std::string& relative, const std::string& content)
    {
        return dir_.write("files/" + relative, content);
    }

protected:
    std::string mkdir(const std::string& relative) { return dir_.mkdir("files/" + relative); }
    std::string filesPath(const std::string& relative) const { return dir_.file("files/" + relative); }
    std::string report(const std::string& family) const
    {
        return readWholeFile(filesPath(family + "/" + family + ".txt"));
    }
    MemtablerResult run() const { return runMemtabler(dir_.file("run"), dir_.file("stdout")); }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
};

// ALPHA: external SRAM in a template; kernel sizes 0, 4096 and 5000; an image directory
// that is not a file; applications of type 19 (ZI past the budget), 3 (nested, long
// lengths, a 6-byte RW value) and 2; an application without a type.
void buildAlpha(MemtablerTree& tree)
{
    const auto put = [&tree](const std::string& path, const std::string& content) {
        tree.put(path, content);
    };
    put("ALPHA/Conftab/Fd_ff79.bin",
        kTemplateTag + bytes({0x81, 0x08}) + kExternalSramTag + bytes({0x04, 0x00, 0x02, 0x00, 0x00}));
    put("ALPHA/KernPre/pre.bin", padded(tlv(kRwTag, bytes({0})) + kZiTag + bytes({0x80}), 4096));
    put("ALPHA/Kern/empty.bin", "");
    put("ALPHA/Kern/kern.bin", padded(sizes(100, 2, 4000, 2), 5000));
    put("ALPHA/Kern/notes.txt", sizes(1, 1, 1, 1));
    put("ALPHA/ProgramFiles/app19.bin",
        typed(19) + tlv(kRwTag, bytes({10})) + filler(1004) + tlv(kZiTag, bytes({20})));
    put("ALPHA/ProgramFiles/app3.bin",
        padded(kTemplateTag + bytes({0x82, 0x00, 0x12}) + typed(3)
                   + tlv(kRwTag, bytes({0x01, 0x02, 0x00, 0x00, 0x10, 0x00}))
                   + kZiTag + bytes({0x81, 0x01, 0x01}),
               6000));
    put("ALPHA/ProgramFiles/type2.bin", typed(2) + sizes(1000, 2, 1000, 2));
    put("ALPHA/ProgramFiles/untyped.bin", sizes(1000, 2, 1000, 2));
    put("ALPHA/ProgramFiles/notes.txt", typed(3) + sizes(1000, 2, 1000, 2));
    // An old, longer report is replaced whole.
    put("ALPHA/ALPHA.txt", std::string(5000, 'x'));
}

} // namespace

TEST_F(MemtablerTree, WritesEachFamilysReportAndTellsWhatItCouldNotRead)
{
    buildAlpha(*this);
    mkdir("ALPHA/Kern/sub.bin");
    // BLOCKED's report cannot be created; its external SRAM must not reach CHARLIE's total.
    put("BLOCKED/Conftab/Fd_ff79.bin", tlv(kExternalSramTag, number(50000, 4)));
    put("BLOCKED/Kern/k.bin", sizes(1, 1, 1, 1));
    mkdir("BLOCKED/BLOCKED.txt");
    // CHARLIE: RW found but ZI only before it, so the RW size still counts.
    put("CHARLIE/Kern/k.bin", padded(sizes(1, 1, 2, 1), 100));
    put("CHARLIE/Kern/swapped.bin", tlv(kZiTag, bytes({2})) + tlv(kRwTag, bytes({7})));
    put("readme", "a plain file among the families\n");
    put(".hidden/Kern/k.bin", sizes(1, 1, 1, 1));

    const MemtablerResult result = run();
    ASSERT_TRUE(result.started);
    ASSERT_TRUE(result.ended);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, expected("console.txt"));
    EXPECT_EQ(report("ALPHA"), expected("ALPHA.txt"));
    EXPECT_EQ(report("CHARLIE"), expected("CHARLIE.txt"));
    EXPECT_FALSE(exists(filesPath(".hidden/.hidden.txt")));
    EXPECT_FALSE(exists(filesPath("readme.txt")));
}

TEST_F(MemtablerTree, KeepsSizesIn32BitsAndPrintsThemSigned)
{
    // A value of more than four bytes keeps its last four; a size from 2^31 on prints
    // negative, and the totals wrap around in 32 bits.
    put("WIDE/Conftab/Fd_ff79.bin", tlv(kExternalSramTag, bytes({0x01, 0xFF, 0xFF, 0xFF, 0xFF})));
    put("WIDE/Kern/big.bin", sizes(0x1280000000, 5, 0x7FFFF000, 4));
    // An image of 2^31 + 1 bytes, sparse: only its head holds data.
    const std::string huge = put("WIDE/Kern/huge.bin", sizes(1, 1, 1, 1));
    ASSERT_EQ(::truncate(huge.c_str(), (off_t{1} << 31) + 1), 0);

    const MemtablerResult result = run();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, "");
    const std::string text = report("WIDE");
    EXPECT_NE(text.find("\t|   Ext. SRam |      -      |    -    |    -    |        -1   |\r\n"
                        "\t|     big.bin |     4096    |-2147483648 |2147479552 |     -4096   |\r\n"
                        "\t|    huge.bin | -2147479552    |       1 |       1 |      4096   |\r\n"
                        "\t|-------------|-------------|---------|---------|-------------|\r\n"
                        "\t|   TOTAL     | -2147475456    |-2147483647 |2147479553 |     16383   |\r\n"),
              std::string::npos)
        << text;
}

TEST_F(MemtablerTree, WithoutAFilesDirectoryTellsSoAndFails)
{
    const std::string message = "No sub-directory in \\files directory!\n";
    {
        SCOPED_TRACE("no files directory");
        const MemtablerResult result = run();
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.output, message);
    }
    {
        SCOPED_TRACE("files is a plain file");
        dir().write("files", "not a directory");
        const MemtablerResult result = run();
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.output, message);
    }
}

TEST_F(MemtablerTree, AnEmptyFilesDirectoryGivesNothing)
{
    mkdir("");
    const MemtablerResult result = run();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, "");
}

TEST_F(MemtablerTree, ImagesThatAreNoFilesGiveUnknownRowsWithoutHanging)
{
    mkdir("FAM/Kern");
    dir().symlink("files/FAM/Kern/broken.bin", "nowhere.bin");
    ASSERT_EQ(::mkfifo(filesPath("FAM/Kern/pipe.bin").c_str(), 0600), 0);
    dir().symlink("files/FAM/ProgramFiles/zero.bin", "/dev/zero");
    put("FAM/Kern/UPPER.BIN", sizes(5, 1, 6, 1));

    const MemtablerResult result = run();
    ASSERT_TRUE(result.ended);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, "\n../files/FAM/Kern/broken.bin not found\n"
                             "\n../files/FAM/Kern/pipe.bin not found\n");
    const std::string text = report("FAM");
    EXPECT_NE(text.find("\t|   UPPER.BIN |     4096    |       5 |       6 |      4096   |\r\n"
                        "\t| broken.bin   |        0    |    ?    |    ?    |      ?      |\r\n"
                        "\t| pipe.bin   |        0    |    ?    |    ?    |      ?      |\r\n"
                        "\t|-------------|"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\t|   TOTAL     |     4096    |       5 |       6 |     20480   |\r\n"),
              std::string::npos)
        << text;
}

TEST_F(MemtablerTree, APipeInAReportsPlaceIsNotWaitedFor)
{
    mkdir("PIPED");
    ASSERT_EQ(::mkfifo(filesPath("PIPED/PIPED.txt").c_str(), 0600), 0);
    put("PLAIN/Kern/k.bin", sizes(5, 1, 6, 1));

    const MemtablerResult result = run();
    ASSERT_TRUE(result.ended);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, "\n../files/PIPED/PIPED.txt file is protect from writing\n");
    EXPECT_NE(report("PLAIN").find("\t|       k.bin |     4096    |       5 |       6 |      4096   |\r\n"),
              std::string::npos);
}

TEST_F(MemtablerTree, UnreadableFilesAndDirectories)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not hold for root";
    const std::string locked = put("FAM/Kern/locked.bin", padded(sizes(1, 1, 1, 1), 4097));
    const std::string lockedApp = put("FAM/ProgramFiles/app.bin", typed(3) + sizes(1, 1, 1, 1));
    const std::string lockedDir = put("FAM/KernPre/pre.bin", sizes(1, 1, 1, 1));
    const std::string closedFamily = put("SHUT/Kern/k.bin", sizes(1, 1, 1, 1));
    ::chmod(locked.c_str(), 0);
    ::chmod(lockedApp.c_str(), 0);
    ::chmod(filesPath("FAM/KernPre").c_str(), 0);
    ::chmod(filesPath("SHUT").c_str(), 0);

    const MemtablerResult result = run();
    ::chmod(filesPath("FAM/KernPre").c_str(), 0700);
    ::chmod(filesPath("SHUT").c_str(), 0700);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, "\n../files/FAM/Kern/locked.bin not found\n"
                             "\n../files/SHUT/SHUT.txt file is protect from writing\n");
    const std::string text = report("FAM");
    EXPECT_NE(text.find("|    -    |    -    |         0   |\r\n"
                        "\t| locked.bin   |     8192    |    ?    |    ?    |      ?      |\r\n"
                        "\t|-------------|"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\t|   TOTAL     |     8192    |       0 |       0 |     16384   |\r\n"),
              std::string::npos)
        << text;

    ::chmod(filesPath("").c_str(), 0);
    const MemtablerResult unlisted = run();
    ::chmod(filesPath("").c_str(), 0700);
    EXPECT_EQ(unlisted.exitStatus, 1);
    EXPECT_EQ(unlisted.output, "No sub-directory in \\files directory!\n");
}
