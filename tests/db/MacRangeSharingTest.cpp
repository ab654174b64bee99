// Station processes sharing one range table: each hands out MAC addresses to two loader
// threads at once until the ranges are used up. No address may reach two terminals,
// every address lies in its range, the ranges are used in order, and each range's
// siguiente stands just past the addresses it gave.
#include "app/MacRangeDatabase.h"
#include "db/BackendFixture.h"
#include "db/StationOnDatabase.h"
#include "identity/ForkedWorker.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

namespace {

constexpr int kPerThread = 15;
constexpr int kThreadsPerStation = 2;
constexpr int kStations = 3;

// One station process: two loader threads asking at once. Each address comes back as a
// line "M address", a failed request as "failed".
std::string runStation(const std::string& dataSource)
{
    StationOnDatabase station(dataSource);
    std::string lines[kThreadsPerStation];
    {
        std::vector<std::jthread> loaders;
        for (int t = 0; t < kThreadsPerStation; ++t)
            loaders.emplace_back([&, t] {
                for (int i = 0; i < kPerThread; ++i) {
                    std::string mac;
                    lines[t] += station.doc.assignMacAddress("p" + std::to_string(t), mac) ? "M " + mac + "\n"
                                                                                            : "failed\n";
                }
            });
    }
    station.doc.close(false);
    return lines[0] + lines[1];
}

using MacRangeSharing = BackendTest;

TEST_P(MacRangeSharing, StationsSharingTheTableNeverHandOutTheSameAddress)
{
    // 75 addresses in three ranges for 90 requests: the last 15 find every range used up.
    const std::vector<MacRange> ranges = {
        {0x0002A0, 0x000100, 0x000113, 0x000100}, // 20
        {0x0002A0, 0x000200, 0x00021D, 0x000200}, // 30
        {0x0002A1, 0x000000, 0x000018, 0x000000}, // 25
    };
    db().create(ranges);
    const std::string dataSource = db().dataSource();

    // Children first, while this process has no other threads.
    auto child = [&](int output) { return writeText(output, runStation(dataSource)); };
    std::vector<std::unique_ptr<ForkedWorker>> others;
    for (int i = 1; i < kStations; ++i) {
        others.push_back(std::make_unique<ForkedWorker>(child));
        ASSERT_TRUE(others.back()->started());
    }
    std::string all = runStation(dataSource);
    for (auto& other : others) {
        std::optional<std::string> lines = other->finish();
        ASSERT_TRUE(lines) << "a station process failed";
        all += *lines;
    }

    std::set<std::string> addresses;
    int handedOut = 0, failures = 0;
    std::istringstream in(all);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("M ", 0) == 0) {
            ++handedOut;
            addresses.insert(line.substr(2));
        } else {
            ++failures;
        }
    }
    constexpr int kCapacity = 20 + 30 + 25;
    EXPECT_EQ(handedOut, kCapacity) << "every address of every range handed out";
    EXPECT_EQ(failures, kStations * kThreadsPerStation * kPerThread - kCapacity) << "the rest failed";
    EXPECT_EQ(addresses.size(), static_cast<std::size_t>(handedOut)) << "no address handed out twice";

    std::map<std::string, int> perRange;
    for (const std::string& address : addresses) {
        std::int32_t oui = std::stoi(address.substr(0, 6), nullptr, 16);
        std::int32_t lower = std::stoi(address.substr(6), nullptr, 16);
        auto range = std::find_if(ranges.begin(), ranges.end(), [&](const MacRange& r) {
            return r.oui == oui && lower >= r.primero && lower <= r.ultimo;
        });
        ASSERT_NE(range, ranges.end()) << address << " lies in no range";
        ++perRange[std::to_string(range->oui) + "/" + std::to_string(range->primero)];
    }
    std::vector<MacRange> rows = db().rows();
    ASSERT_EQ(rows.size(), ranges.size());
    for (const MacRange& row : rows) {
        EXPECT_EQ(row.siguiente, row.ultimo + 1) << "range " << row.oui << "/" << row.primero << " used up";
        EXPECT_EQ(perRange[std::to_string(row.oui) + "/" + std::to_string(row.primero)],
                  row.siguiente - row.primero)
            << "siguiente stands just past what the range gave";
    }
}

INSTANTIATE_ON_EVERY_BACKEND(MacRangeSharing);

} // namespace
