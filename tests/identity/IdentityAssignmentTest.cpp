// Serial numbers, MAC addresses and IPv4 addresses handed out to loader threads: the
// sequences of the settings file, the operator's readings and the sources that fail.
#include "app/NuevoRPC.h"
#include "app/OrvaneDoc.h"
#include "support/ScriptedInterfaceThread.h"
#include "platform/SettingsStore.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>
#include <vector>

namespace {

// A station with its settings file and an interface thread answering from a script.
struct Station {
    explicit Station(const std::string& settingsText) : settingsPath(dir.write("orvane.conf", settingsText)) {}

    // What the file on disk says, read by a store of its own.
    std::optional<std::string> stored(std::string_view key) const { return platform::SettingsStore(settingsPath).read(key); }

    TempDir dir;
    std::string settingsPath;
    platform::SettingsStore settings{settingsPath};
    OrvaneDoc doc{settings};
    ScriptedInterfaceThread ui{doc};
};

// Runs the request from a loader thread of its own, as a download job does.
template <class Request>
bool fromLoaderThread(Request request)
{
    bool result = false;
    std::thread loader([&] { result = request(); });
    loader.join();
    return result;
}

bool serialNumber(Station& s, std::string& value, const char* label = "/dev/ttyUSB0")
{
    return fromLoaderThread([&] { return s.doc.assignSerialNumber(label, value); });
}

bool macAddress(Station& s, std::string& value, const char* label = "/dev/ttyUSB0")
{
    return fromLoaderThread([&] { return s.doc.assignMacAddress(label, value); });
}

bool ipAddress(Station& s, std::uint32_t& value, const char* label = "/dev/ttyUSB0")
{
    return fromLoaderThread([&] { return s.doc.assignIpAddress(label, value); });
}

struct TextSequenceCase {
    const char* settings;
    bool ok;
    const char* handedOut;
    const char* storedNext; // nullptr: the key is not in the file
};

std::optional<std::string> storedValue(const char* text)
{
    return text ? std::optional<std::string>(text) : std::nullopt;
}

TEST(IdentityAssignment, SerialNumberSequenceHandsOutTheStoredValueAndStoresTheNext)
{
    const TextSequenceCase cases[] = {
        {"ProximoNS=0000000009\nSaltoNS=1\n", true, "0000000009", "0000000010"},
        {"ProximoNS=0000001000\nSaltoNS=25\n", true, "0000001000", "0000001025"},
        {"ProximoNS=00000000099\nSaltoNS=1\n", true, "00000000099", "00000000100"},
        {"ProximoNS=000000999999\nSaltoNS=1\n", true, "000000999999", "000001000000"},
        {"ProximoNS=0000000009\n", true, "0000000009", "0000000010"}, // no step: the default 1
        {"ProximoNS=9999999999\nSaltoNS=1\n", true, "9999999999", ""},
        {"ProximoNS=12A4\nSaltoNS=1\n", true, "12A4", "12A5"},
        {"ProximoNS=12A4\nSaltoNS=10\n", false, "", "12A4"},
        {"ProximoNS=no digits\nSaltoNS=0\n", true, "no digits", "no digits"},
        {"ProximoNS=0000000009\nSaltoNS=-1\n", false, "", "0000000009"},
        {"ProximoNS=\nSaltoNS=1\n", false, "", ""},
        {"SaltoNS=1\n", false, "", nullptr},
    };
    for (const TextSequenceCase& c : cases) {
        Station s(std::string("[Settings]\nNumeroSerieRadio=0\n") + c.settings);
        std::string value = "untouched";
        EXPECT_EQ(serialNumber(s, value), c.ok) << c.settings;
        EXPECT_EQ(value, c.ok ? c.handedOut : "untouched") << c.settings;
        EXPECT_EQ(s.stored("ProximoNS"), storedValue(c.storedNext)) << c.settings;
        EXPECT_TRUE(s.ui.prompts().empty()) << "a sequence asks the operator nothing";
    }
}

TEST(IdentityAssignment, UsedUpSerialNumberSequenceFailsFromThenOn)
{
    Station s("[Settings]\nProximoNS=9999999998\nSaltoNS=1\n");
    std::string first, second, third = "untouched";
    ASSERT_TRUE(serialNumber(s, first));
    ASSERT_TRUE(serialNumber(s, second));
    EXPECT_EQ(first, "9999999998");
    EXPECT_EQ(second, "9999999999");
    EXPECT_EQ(s.stored("ProximoNS"), "");
    EXPECT_FALSE(serialNumber(s, third));
    EXPECT_EQ(third, "untouched");
    EXPECT_EQ(s.stored("ProximoNS"), "");
}

TEST(IdentityAssignment, MacAddressSequenceAddsItsStepInHexadecimal)
{
    const TextSequenceCase cases[] = {
        {"ProximoMAC=0002a00000ff\nSaltoMAC=1\n", true, "0002a00000ff", "0002a0000100"},
        {"ProximoMAC=0002A00000F0\nSaltoMAC=15\n", true, "0002A00000F0", "0002A00000FF"},
        {"ProximoMAC=0002a00000fe\nSaltoMAC=1\n", true, "0002a00000fe", "0002a00000fF"},
        {"ProximoMAC=0002a0000009\n", true, "0002a0000009", "0002a000000A"},
        {"ProximoMAC=ffffffffffff\nSaltoMAC=1\n", true, "ffffffffffff", ""},
        {"ProximoMAC=0002a00000fg\nSaltoMAC=1\n", false, "", "0002a00000fg"},
        {"ProximoMAC=\nSaltoMAC=1\n", false, "", ""},
    };
    for (const TextSequenceCase& c : cases) {
        Station s(std::string("[Settings]\nDireccionMACRadio=0\n") + c.settings);
        std::string value = "untouched";
        EXPECT_EQ(macAddress(s, value), c.ok) << c.settings;
        EXPECT_EQ(value, c.ok ? c.handedOut : "untouched") << c.settings;
        EXPECT_EQ(s.stored("ProximoMAC"), storedValue(c.storedNext)) << c.settings;
    }
}

TEST(IdentityAssignment, IpAddressSequenceCarriesIntoTheFieldsBefore)
{
    struct Case {
        const char* settings;
        std::uint32_t handedOut;
        std::uint32_t storedNext;
    };
    const Case cases[] = {
        {"ProximoIP=3232235775\nSaltoIP=1\n", 0xC0A800FF, 0xC0A80100},  // 192.168.0.255 -> 192.168.1.0
        {"ProximoIP=-1062731521\nSaltoIP=1\n", 0xC0A800FF, 0xC0A80100}, // the same, written signed
        {"ProximoIP=167772161\nSaltoIP=99\n", 0x0A000001, 0x0A000064},
        {"ProximoIP=167772161\n", 0x0A000001, 0x0A000002}, // no step: the default 1
        {"ProximoIP=4294967295\nSaltoIP=1\n", 0xFFFFFFFF, 0},
        {"SaltoIP=1\n", 0, 1},
    };
    for (const Case& c : cases) {
        Station s(std::string("[Settings]\nDireccionIPRadio=0\n") + c.settings);
        std::uint32_t value = 0x5A5A5A5A;
        EXPECT_TRUE(ipAddress(s, value)) << c.settings;
        EXPECT_EQ(value, c.handedOut) << c.settings;
        EXPECT_EQ(s.stored("ProximoIP"), std::to_string(c.storedNext)) << c.settings;
    }
}

TEST(IdentityAssignment, ValueWhoseSuccessorCannotBeStoredIsNotHandedOut)
{
    const std::string before = "[Settings]\nProximoNS=0000000009\nSaltoNS=1\nProximoMAC=0002a00000ff\n"
                               "ProximoIP=3232235775\n";
    Station s(before);
    ASSERT_TRUE(s.settings.withSequenceLock([] { return true; })); // the lock file exists already
    std::string serial = "untouched", mac = "untouched";
    std::uint32_t ip = 7;
    bool gotSerial, gotMac, gotIp;
    {
        FileSizeLimit limit(before.size() / 2);
        ASSERT_TRUE(limit.ok());
        gotSerial = serialNumber(s, serial);
        gotMac = macAddress(s, mac);
        gotIp = ipAddress(s, ip);
    }
    EXPECT_FALSE(gotSerial);
    EXPECT_FALSE(gotMac);
    EXPECT_FALSE(gotIp);
    EXPECT_EQ(serial, "untouched");
    EXPECT_EQ(mac, "untouched");
    EXPECT_EQ(ip, 7u);
    EXPECT_EQ(readWholeFile(s.settingsPath), before);

    // Once the file can be written again the same values are handed out.
    EXPECT_TRUE(serialNumber(s, serial));
    EXPECT_EQ(serial, "0000000009");
    EXPECT_TRUE(ipAddress(s, ip));
    EXPECT_EQ(ip, 0xC0A800FFu);
}

TEST(IdentityAssignment, SequenceValueIsInTheFileWhenItIsHandedOut)
{
    Station s("[Settings]\nProximoNS=0000000100\nSaltoNS=3\n");
    // Each loader thread checks the file at once when its value arrives.
    for (int i = 0; i < 5; ++i) {
        std::string value;
        std::optional<std::string> onDisk;
        ASSERT_TRUE(fromLoaderThread([&] {
            bool ok = s.doc.assignSerialNumber("/dev/ttyS0", value);
            onDisk = s.stored("ProximoNS");
            return ok;
        }));
        EXPECT_EQ(value, "0000000" + std::to_string(100 + 3 * i));
        EXPECT_EQ(onDisk, "0000000" + std::to_string(103 + 3 * i));
    }
}

TEST(IdentityAssignment, TwoLoaderThreadsAtOnceGetConsecutiveValues)
{
    constexpr int kEach = 40;
    Station s("[Settings]\nProximoNS=0000005000\nSaltoNS=1\nProximoIP=167772160\nSaltoIP=1\n");
    std::vector<std::string> serials[2];
    std::vector<std::uint32_t> addresses[2];
    bool allOk[2] = {true, true};
    {
        std::vector<std::jthread> loaders;
        for (int t = 0; t < 2; ++t)
            loaders.emplace_back([&, t] {
                for (int i = 0; i < kEach; ++i) {
                    std::string serial;
                    std::uint32_t address = 0;
                    allOk[t] = allOk[t] && s.doc.assignSerialNumber("port" + std::to_string(t), serial) &&
                               s.doc.assignIpAddress("port" + std::to_string(t), address);
                    serials[t].push_back(serial);
                    addresses[t].push_back(address);
                }
            });
    }
    EXPECT_TRUE(allOk[0]);
    EXPECT_TRUE(allOk[1]);
    std::set<std::string> allSerials;
    std::set<std::uint32_t> allAddresses;
    for (int t = 0; t < 2; ++t) {
        allSerials.insert(serials[t].begin(), serials[t].end());
        allAddresses.insert(addresses[t].begin(), addresses[t].end());
        EXPECT_TRUE(std::is_sorted(serials[t].begin(), serials[t].end())) << "each thread's values rise";
    }
    ASSERT_EQ(allSerials.size(), 2u * kEach) << "no value handed out twice";
    EXPECT_EQ(*allSerials.begin(), "0000005000");
    EXPECT_EQ(*allSerials.rbegin(), "0000005079");
    ASSERT_EQ(allAddresses.size(), 2u * kEach);
    EXPECT_EQ(*allAddresses.begin(), 167772160u);
    EXPECT_EQ(*allAddresses.rbegin(), 167772160u + 2 * kEach - 1);
    EXPECT_EQ(s.stored("ProximoNS"), "0000005080");
    EXPECT_EQ(s.stored("ProximoIP"), std::to_string(167772160u + 2 * kEach));
    EXPECT_EQ(s.ui.promptsOffThread(), 0);
}

TEST(IdentityAssignment, ReadingHandsBackTheTextAsTyped)
{
    Station s("[Settings]\nNumeroSerieRadio=1\nDireccionMACRadio=2\nProximoNS=0000000001\n");
    s.ui.answerText(" 12345ABC67 ");
    s.ui.answerText("0002a0ffffff");
    std::string serial, mac;
    EXPECT_TRUE(serialNumber(s, serial, "/dev/ttyUSB3"));
    EXPECT_TRUE(macAddress(s, mac, "/dev/ttyUSB4"));
    EXPECT_EQ(serial, " 12345ABC67 ");
    EXPECT_EQ(mac, "0002a0ffffff");
    EXPECT_EQ(s.ui.prompts(),
              (std::vector<std::string>{"text: Serial Number /dev/ttyUSB3", "text: MAC Number  /dev/ttyUSB4"}));
    EXPECT_EQ(s.ui.promptsOffThread(), 0);
    EXPECT_EQ(s.stored("ProximoNS"), "0000000001") << "a reading leaves the sequence alone";
}

TEST(IdentityAssignment, ReadingCancelledFails)
{
    Station s("[Settings]\nNumeroSerieRadio=1\nDireccionMACRadio=2\nDireccionIPRadio=1\n");
    s.ui.answerText(std::nullopt);
    s.ui.answerText(std::nullopt);
    s.ui.answerAddress(std::nullopt);
    std::string serial = "untouched", mac = "untouched";
    std::uint32_t ip = 7;
    EXPECT_FALSE(serialNumber(s, serial));
    EXPECT_FALSE(macAddress(s, mac));
    EXPECT_FALSE(ipAddress(s, ip));
    EXPECT_EQ(serial, "untouched");
    EXPECT_EQ(mac, "untouched");
    EXPECT_EQ(ip, 7u);
    EXPECT_EQ(s.ui.prompts().size(), 3u);
}

TEST(IdentityAssignment, IpAddressReadingShowsTheLabelAndRefusesABlankAddress)
{
    Station s("[Settings]\nDireccionIPRadio=1\n");
    s.ui.answerAddress(0xC0A80114);
    s.ui.answerAddress(0);
    std::uint32_t ip = 7;
    EXPECT_TRUE(ipAddress(s, ip, "/dev/ttyUSB2"));
    EXPECT_EQ(ip, 0xC0A80114u);
    EXPECT_FALSE(ipAddress(s, ip, "/dev/ttyUSB2")) << "0.0.0.0 confirms as cancelled";
    EXPECT_EQ(ip, 0xC0A80114u);
    EXPECT_EQ(s.ui.prompts(), (std::vector<std::string>{"address: /dev/ttyUSB2", "address: /dev/ttyUSB2"}));
}

TEST(IdentityAssignment, UnknownSourcesAndTheRangeDatabaseGiveNoValue)
{
    const char* sources[] = {
        "NumeroSerieRadio=2\nDireccionMACRadio=3\nDireccionIPRadio=2\n",
        "NumeroSerieRadio=-1\nDireccionMACRadio=-1\nDireccionIPRadio=-1\n",
        "DireccionMACRadio=1\nDSN=ranges\n", // the MAC range database (the other two fail below)
    };
    for (const char* source : sources) {
        const std::string before = std::string("[Settings]\n") + source +
                                   "ProximoNS=0000000001\nProximoMAC=000000000001\nProximoIP=1\n";
        Station s(before);
        std::string mac = "untouched";
        EXPECT_FALSE(macAddress(s, mac)) << source;
        EXPECT_EQ(mac, "untouched");
        if (s.settings.readInt("NumeroSerieRadio") != 0) {
            std::string serial = "untouched";
            std::uint32_t ip = 7;
            EXPECT_FALSE(serialNumber(s, serial)) << source;
            EXPECT_FALSE(ipAddress(s, ip)) << source;
            EXPECT_EQ(serial, "untouched");
            EXPECT_EQ(ip, 7u);
        }
        EXPECT_TRUE(s.ui.prompts().empty()) << source;
        EXPECT_EQ(readWholeFile(s.settingsPath), before) << source;
    }
}

TEST(IdentityAssignment, RequestOfAnUnknownKindRunsNothingAndReleasesItsThread)
{
    Station s("[Settings]\nNumeroSerieRadio=1\nProximoNS=0000000001\n");
    s.ui.answerText("0000000077");
    std::string text = "untouched";
    std::uint32_t number = 7;
    NuevoRPC unknownText(s.doc, static_cast<NuevoRPC::Kind>(4), text, "/dev/ttyUSB0");
    NuevoRPC unknownNumber(s.doc, static_cast<NuevoRPC::Kind>(255), number, "/dev/ttyUSB0");
    std::thread loader([&] {
        s.doc.runOnInterfaceThread(unknownText);
        s.doc.runOnInterfaceThread(unknownNumber);
    });
    loader.join(); // returns: the event was signalled though nothing ran
    EXPECT_FALSE(unknownText.succeeded());
    EXPECT_FALSE(unknownNumber.succeeded());
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(number, 7u);
    EXPECT_TRUE(s.ui.prompts().empty());
    EXPECT_GE(s.ui.posts(), 1);
    EXPECT_EQ(s.stored("ProximoNS"), "0000000001");
}

TEST(IdentityAssignment, RequestWhoseSlotDoesNotSuitItsKindFails)
{
    Station s("[Settings]\nProximoNS=0000000001\nProximoIP=1\n");
    std::string text = "untouched";
    std::uint32_t number = 7;
    NuevoRPC ipIntoText(s.doc, NuevoRPC::Kind::IpAddress, text, "p");
    NuevoRPC serialIntoNumber(s.doc, NuevoRPC::Kind::SerialNumber, number, "p");
    fromLoaderThread([&] {
        s.doc.runOnInterfaceThread(ipIntoText);
        s.doc.runOnInterfaceThread(serialIntoNumber);
        return true;
    });
    EXPECT_FALSE(ipIntoText.succeeded());
    EXPECT_FALSE(serialIntoNumber.succeeded());
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(number, 7u);
    EXPECT_EQ(s.stored("ProximoNS"), "0000000001");
    EXPECT_EQ(s.stored("ProximoIP"), "1");
}

TEST(IdentityAssignment, WithoutAnInterfaceThreadTheCallerRunsTheRequestAndNobodyIsAsked)
{
    TempDir dir;
    platform::SettingsStore settings(dir.write("orvane.conf", "[Settings]\nProximoNS=0000000001\nNumeroSerieRadio=0\n"));
    OrvaneDoc doc(settings);
    std::string serial;
    EXPECT_TRUE(doc.assignSerialNumber("p", serial));
    EXPECT_EQ(serial, "0000000001");
    settings.write("NumeroSerieRadio", "1");
    EXPECT_FALSE(doc.assignSerialNumber("p", serial));
    EXPECT_FALSE(doc.askSignerPassword());
}

} // namespace
