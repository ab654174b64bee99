// Station processes that share one settings file: each hands out serial numbers and
// MAC addresses from the same sequences, from two loader threads each, and no value
// may reach two terminals.
#include "app/OrvaneDoc.h"
#include "identity/ForkedWorker.h"
#include "support/ScriptedInterfaceThread.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <thread>

namespace {

constexpr int kPerThread = 40;
constexpr int kThreadsPerStation = 2;
constexpr int kStations = 3;

// One station: its own store and document on the shared file, an interface thread and
// two loader threads asking at once. Each value comes back as a line "S value" or
// "M value"; a failed request as "failed".
std::string runStation(const std::string& settingsPath)
{
    platform::SettingsStore settings(settingsPath);
    OrvaneDoc doc(settings);
    ScriptedInterfaceThread ui(doc);
    std::string lines[kThreadsPerStation];
    {
        std::vector<std::jthread> loaders;
        for (int t = 0; t < kThreadsPerStation; ++t)
            loaders.emplace_back([&, t] {
                for (int i = 0; i < kPerThread; ++i) {
                    std::string serial, mac;
                    lines[t] += doc.assignSerialNumber("p", serial) ? "S " + serial + "\n" : "failed\n";
                    lines[t] += doc.assignMacAddress("p", mac) ? "M " + mac + "\n" : "failed\n";
                }
            });
    }
    return lines[0] + lines[1];
}

TEST(SequenceSharing, StationsSharingASettingsFileNeverHandOutTheSameValue)
{
    TempDir dir;
    const std::string path = dir.write("orvane.conf", "[Settings]\nProximoNS=0000100000\nSaltoNS=1\n"
                                                      "ProximoMAC=0002a0000000\nSaltoMAC=1\n");
    // Children first, while this process has no other threads.
    auto child = [&](int output) { return writeText(output, runStation(path)); };
    ForkedWorker first(child), second(child);
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(second.started());
    std::string all = runStation(path);
    auto fromFirst = first.finish();
    auto fromSecond = second.finish();
    ASSERT_TRUE(fromFirst);
    ASSERT_TRUE(fromSecond);
    all += *fromFirst + *fromSecond;

    std::set<unsigned long long> serials, macs;
    int failures = 0, serialCount = 0, macCount = 0;
    std::istringstream in(all);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("S ", 0) == 0) {
            ++serialCount;
            serials.insert(std::strtoull(line.c_str() + 2, nullptr, 10));
        } else if (line.rfind("M ", 0) == 0) {
            ++macCount;
            macs.insert(std::strtoull(line.c_str() + 2, nullptr, 16));
        } else {
            ++failures;
        }
    }
    constexpr int kTotal = kStations * kThreadsPerStation * kPerThread;
    EXPECT_EQ(failures, 0);
    ASSERT_EQ(serialCount, kTotal);
    ASSERT_EQ(macCount, kTotal);
    EXPECT_EQ(serials.size(), static_cast<std::size_t>(kTotal)) << "no serial number handed out twice";
    EXPECT_EQ(macs.size(), static_cast<std::size_t>(kTotal)) << "no MAC address handed out twice";
    EXPECT_EQ(*serials.begin(), 100000u);
    EXPECT_EQ(*serials.rbegin(), 100000u + kTotal - 1);
    EXPECT_EQ(*macs.begin(), 0x0002a0000000u);
    EXPECT_EQ(*macs.rbegin(), 0x0002a0000000u + kTotal - 1);

    platform::SettingsStore check(path);
    EXPECT_EQ(check.read("ProximoNS"), "0000100" + std::to_string(kTotal));
    static_assert(kTotal == 0xF0);
    EXPECT_EQ(check.read("ProximoMAC"), "0002a00000F0");
}

} // namespace
