#include "app/ConfigurationChecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The caption of the first failing check, or "" when every check passes.
template <typename Complaint>
std::string captionOf(const std::optional<Complaint>& complaint)
{
    return complaint ? complaint->caption : std::string();
}

TEST(GeneralChecks, RunInOrderWithTheirFocus)
{
    TempDir dir;
    const std::string terminals = dir.mkdir("terminals"), applications = dir.mkdir("applications");
    const GeneralEntries good{"ACME", {"/dev/ttyS0"}, terminals, applications};
    struct Case {
        const char* what;
        GeneralEntries entries;
        std::string pending;
        const char* caption;
        GeneralField focus;
    };
    auto with = [&](auto change) {
        GeneralEntries e = good;
        change(e);
        return e;
    };
    const Case cases[] = {
        {"blank manufacturer", with([](auto& e) { e.manufacturer = "  "; }), "",
         "Manufacturer identifier field is empty", GeneralField::Manufacturer},
        {"port left in the drop-down", good, "/dev/ttyS1", "Add a port?", GeneralField::PortChooser},
        {"no port", with([](auto& e) { e.ports.clear(); }), " ", "Add a port", GeneralField::PortChooser},
        {"no terminals directory", with([](auto& e) { e.terminalsDirectory = "\t"; }), "",
         "Terminals directory is empty", GeneralField::TerminalsDirectory},
        {"missing terminals directory", with([&](auto& e) { e.terminalsDirectory = terminals + "/gone"; }), "",
         "Invalid file", GeneralField::TerminalsDirectory},
        {"no applications directory", with([](auto& e) { e.applicationsDirectory = ""; }), "",
         "Applications directory is empty", GeneralField::ApplicationsDirectory},
        {"applications directory is a file",
         with([&](auto& e) { e.applicationsDirectory = dir.write("file", "x"); }), "", "Invalid file",
         GeneralField::ApplicationsDirectory},
    };
    for (const auto& c : cases) {
        const auto complaint = checkGeneral(c.entries, c.pending);
        ASSERT_TRUE(complaint) << c.what;
        EXPECT_EQ(complaint->caption, c.caption) << c.what;
        EXPECT_EQ(complaint->focus, c.focus) << c.what;
    }
    EXPECT_FALSE(checkGeneral(with([&](auto& e) { e.terminalsDirectory = terminals + "/  "; }), ""))
        << "trailing blanks of a directory do not count";
}

TEST(SerialNumberChecks, RefuseWrongNumbersOnlyWhenSequential)
{
    struct Case {
        int option;
        const char* next;
        const char* step;
        const char* caption;
    };
    const Case cases[] = {
        {0, "1234567890", "1", ""},
        {0, "123456789012 ", "99", ""},
        {0, "1234567890123", "1", "Wrong length"},
        {0, "123456789", "1", "Wrong length"},
        {0, "12345A7890", "1", "Serial Number not numeric"},
        {0, " 123456789", "1", "Serial Number not numeric"},
        {1, "x", "1", ""},
        {0, "1234567890", "0", "orvane"},
        {1, "", "100", "orvane"},
        {0, "1234567890", "abc", "orvane"},
        {kNoOption, "", "1", "Option not selected"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(captionOf(checkSerialNumber({0, c.option, c.next, c.step})), c.caption) << c.next << "/" << c.step;
    EXPECT_EQ(checkSerialNumber({0, 0, "123", "1"})->message,
              "The serial number length must be between 10 or 12 digits.");
    EXPECT_EQ(checkSerialNumber({0, 0, "1234567890", "0"})->message, "Enter an integer between 1 and 99.");
}

TEST(MacAddressChecks, FollowTheChosenSource)
{
    std::string proved;
    auto prove = [&](const std::string& dsn) {
        proved = dsn;
        return dsn == "stock";
    };
    struct Case {
        int option;
        const char* next;
        const char* dsn;
        const char* caption;
    };
    const Case cases[] = {
        {0, "00a0B1c2D3eF", "", ""},
        {0, "00a0b1c2d3e", "", "Wrong length"},
        {0, "00a0b1c2d3eg", "", "MAC field not hexadecimal"},
        {1, "", "  ", "DSN not defined"},
        {1, "", "missing", "Incorrect link"},
        {1, "", "stock \t", ""},
        {2, "", "", ""},
        {kNoOption, "", "", "Option not selected"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(captionOf(checkMacAddress({0, c.option, c.next, "1", c.dsn}, prove)), c.caption) << c.next << c.dsn;
    EXPECT_EQ(proved, "stock") << "the data source is proved by its trimmed name";
    EXPECT_EQ(checkMacAddress({0, 1, "", "1", "x"}, prove)->focus, MacAddressField::DataSource);
}

TEST(IpAddressChecks, MaskIsMandatoryUnderEitherOption)
{
    struct Case {
        int option;
        std::uint32_t next, mask;
        const char* caption;
    };
    const Case cases[] = {
        {0, 0xC0A80001, 0xFFFFFF00, ""},
        {0, 0, 0xFFFFFF00, "IP address not entered"},
        {0, 0xC0A80001, 0, "IP Mask not entered"},
        {1, 0, 0, "IP Mask not entered"},
        {1, 0, 0xFF000000, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(captionOf(checkIpAddress({0, c.option, c.next, "1", c.mask})), c.caption) << c.option << c.next;
}

TEST(ReadingChecks, NeedThePortOrServerOfTheChosenReader)
{
    struct Case {
        int option;
        const char* port;
        const char* server;
        const char* number;
        const char* caption;
        ReadingField focus;
    };
    const Case cases[] = {
        {0, "", "", "0", "", ReadingField::Port},
        {1, " \t", "", "0", "Port field is empty", ReadingField::Port},
        {2, "", "  ", "0", "Server field is empty", ReadingField::Server},
        {2, "", "server", "255", "orvane", ReadingField::ReaderNumber},
        {kNoOption, "", "", "0", "Option not selected", ReadingField::FirstOption},
    };
    for (const auto& c : cases) {
        const auto complaint = checkReading({c.option, c.port, c.server, c.number});
        EXPECT_EQ(captionOf(complaint), c.caption) << c.option;
        if (complaint) {
            EXPECT_EQ(complaint->focus, c.focus) << c.option;
        }
    }
}

TEST(SigningToolChecks, ByFileNeedsAReadableKeyAndAKeyNumber)
{
    TempDir dir;
    const std::string key = dir.write("a.key", "key");
    struct Case {
        int option;
        std::string port, file, number;
        const char* caption;
    };
    const Case cases[] = {
        {0, "", "", "", ""},
        {1, "  ", "", "", "Port field is empty"},
        {1, "/dev/ttyS0", "", "", ""},
        {2, "", key + " ", "1", ""},
        {2, "", key, " ", "Empty Key"},
        {2, "", dir.file("missing.key"), "1", "File not found"},
        {2, "", dir.path(), "1", "File not found"},
        {kNoOption, "", "", "", "Option not selected"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(captionOf(checkSigningTool({c.option, c.port, c.file, c.number})), c.caption) << c.file;
}

TEST(DataLogChecks, LogFileMustBeWritableOrCreatable)
{
    TempDir dir;
    const std::string readOnly = dir.write("read-only.log", "old");
    ::chmod(readOnly.c_str(), 0444);
    struct Case {
        int option;
        std::string path;
        int level;
        const char* caption;
    };
    std::vector<Case> cases = {
        {0, "", kNoOption, ""},
        {1, " ", 0, "Log file field is empty"},
        {1, dir.file("missing/load.log"), 0, "Error in the file creation"},
        {1, dir.file("new.log"), kNoOption, "Option not selected"},
        {1, dir.file("new.log"), 3, ""},
        {kNoOption, "", 0, "Option not selected"},
    };
    if (::geteuid() != 0)
        cases.push_back({1, readOnly, 0, "Access refused"});
    for (const auto& c : cases)
        EXPECT_EQ(captionOf(checkDataLog({c.option, c.path, c.level})), c.caption) << c.path;
    EXPECT_EQ(::access(dir.file("new.log").c_str(), F_OK), 0) << "the check creates a missing log";
}

TEST(SecurityChecks, PasswordMustBeGivenTwiceAlike)
{
    EXPECT_FALSE(checkSecurity({false, "", "other"}));
    EXPECT_FALSE(checkSecurity({true, "Sesame", "Sesame"}));
    const auto empty = checkSecurity({true, "", ""});
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->message, "Password entry is mandatory.");
    EXPECT_FALSE(empty->clearEntries);
    EXPECT_EQ(captionOf(checkSecurity({true, "   ", "   "})), "Empty password")
        << "a password of blanks would be stored empty and lock the configuration for good";
    const auto differ = checkSecurity({true, "Sesame", "sesame"});
    ASSERT_TRUE(differ);
    EXPECT_EQ(differ->caption, "Passwords don't match");
    EXPECT_TRUE(differ->clearEntries);
}

} // namespace
