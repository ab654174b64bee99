// MAC addresses taken from the shared range table: the first usable range by oui and
// primero, the next range when one runs out, a clear failure when all are used up,
// siguiente in step with what was handed out, the update that another station beat,
// a range row another session keeps locked, and a connection that a database error
// leaves closed for the next request to reopen.
#include "app/MacRangeDatabase.h"
#include "db/BackendFixture.h"
#include "db/StationOnDatabase.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <thread>

namespace {

TEST(MacRangeText, UpdateStatementNamesTheRowReadInDecimal)
{
    const struct {
        MacRange row;
        const char* statement;
    } cases[] = {
        {{672, 0, 65535, 18},
         "update RangoMAC set siguiente = siguiente + 1 where oui = 672  and primero = 0  and ultimo = 65535  and "
         "siguiente = 18"},
        {{0, 0, 0, 0},
         "update RangoMAC set siguiente = siguiente + 1 where oui = 0  and primero = 0  and ultimo = 0  and "
         "siguiente = 0"},
        // Every digit is written, so the condition can only name the row that was read.
        {{16777215, -5, 2147483647, 1234567890},
         "update RangoMAC set siguiente = siguiente + 1 where oui = 16777215  and primero = -5  and ultimo = "
         "2147483647  and siguiente = 1234567890"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(macRangeUpdateStatement(c.row), c.statement);
}

TEST(MacRangeText, AddressIsOuiAndSiguienteInSixUpperCaseHexDigitsEach)
{
    const struct {
        MacRange row;
        std::optional<std::string> address;
    } cases[] = {
        {{672, 0, 65535, 18}, "0002A0000012"},
        {{0xABCDEF, 0, 0xFFFFFF, 0xFFFFFF}, "ABCDEFFFFFFF"},
        {{0, 0, 0, 0}, "000000000000"},
        // No address the digits could name would lie in the range:
        {{0x1000000, 0, 10, 1}, std::nullopt},     // oui beyond 24 bits
        {{-1, 0, 10, 1}, std::nullopt},            // negative oui
        {{672, 0, 0x2000000, 0x1000000}, std::nullopt}, // siguiente beyond 24 bits
        {{672, -10, 10, -1}, std::nullopt},        // negative siguiente
        {{672, 5, 10, 11}, std::nullopt},          // siguiente past ultimo
        {{672, 5, 10, 4}, std::nullopt},           // siguiente before primero
    };
    for (const auto& c : cases)
        EXPECT_EQ(macAddressOfRange(c.row), c.address) << c.row.oui << " " << c.row.siguiente;
}

using MacRangeAssignment = BackendTest;

// Takes addresses until the database gives no more (at most limit); the addresses.
std::vector<std::string> takeAll(MacRangeDatabase& ranges, const std::string& dataSource, int limit)
{
    std::vector<std::string> taken;
    std::string address;
    while (static_cast<int>(taken.size()) < limit && ranges.takeMacAddress(dataSource, address))
        taken.push_back(address);
    return taken;
}

TEST_P(MacRangeAssignment, DocumentHandsOutTheRowsAddressAndAdvancesIt)
{
    db().create({{672, 0, 65535, 18}});
    StationOnDatabase s(db().dataSource());
    std::string mac;
    ASSERT_TRUE(s.macAddress(mac));
    EXPECT_EQ(mac, "0002A0000012");
    EXPECT_EQ(db().rows()[0].siguiente, 19);
    ASSERT_TRUE(s.macAddress(mac));
    EXPECT_EQ(mac, "0002A0000013");
    EXPECT_TRUE(s.ui.prompts().empty()) << "the database asks the operator nothing";
}

TEST_P(MacRangeAssignment, RangesAreUsedInOrderOfOuiAndPrimeroUntilAllAreUsedUp)
{
    // Inserted out of order; one range is used up already and one ends past its start.
    db().create({
        {0x0002A1, 0x10, 0x11, 0x10},
        {0x0002A0, 0x20, 0x22, 0x20},
        {0x0002A0, 0x00, 0x05, 0x06}, // used up
        {0x0002A0, 0x08, 0x09, 0x09}, // one left
    });
    MacRangeDatabase ranges;
    std::vector<std::string> taken = takeAll(ranges, db().dataSource(), 20);
    EXPECT_EQ(taken, (std::vector<std::string>{"0002A0000009", "0002A0000020", "0002A0000021", "0002A0000022",
                                               "0002A1000010", "0002A1000011"}));
    std::string address = "untouched";
    EXPECT_FALSE(ranges.takeMacAddress(db().dataSource(), address)) << "every range is used up";
    EXPECT_EQ(address, "untouched");
    EXPECT_TRUE(ranges.isOpen()) << "running out is no database error";
    // Each range's siguiente lies just past the last address it gave.
    std::vector<MacRange> rows = db().rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].siguiente, 0x06);
    EXPECT_EQ(rows[1].siguiente, 0x0A);
    EXPECT_EQ(rows[2].siguiente, 0x23);
    EXPECT_EQ(rows[3].siguiente, 0x12);

    // A range added later is used from the next request on, on the same connection.
    executeAll(db().dataSource(), {"INSERT INTO RangoMAC VALUES (4096, 1, 1, 1)"});
    ASSERT_TRUE(ranges.takeMacAddress(db().dataSource(), address));
    EXPECT_EQ(address, "001000000001");
}

TEST_P(MacRangeAssignment, RowThatCanNameNoAddressOfItsRangeGivesNone)
{
    db().create({{0x1000000, 0, 5, 0}});
    MacRangeDatabase ranges;
    std::string address = "untouched";
    EXPECT_FALSE(ranges.takeMacAddress(db().dataSource(), address));
    EXPECT_EQ(address, "untouched");
    EXPECT_EQ(db().rows()[0].siguiente, 0) << "nothing taken from the row";
}

TEST_P(MacRangeAssignment, ValueAnotherStationTookIsReadAgainUpToTenTimes)
{
    const struct {
        int takenByOthers;
        bool ok;
    } cases[] = {{1, true}, {MacRangeDatabase::kRetriesWhenTaken, true}, {MacRangeDatabase::kRetriesWhenTaken + 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.takenByOthers);
        executeAll(db().dataSource(), {"DROP TABLE IF EXISTS RangoMAC", "DROP TABLE IF EXISTS takes"});
        db().create({{672, 100, 200, 100}});
        executeAll(db().dataSource(), db().otherStationTakesFirst(c.takenByOthers));
        MacRangeDatabase ranges;
        std::string address = "untouched";
        EXPECT_EQ(ranges.takeMacAddress(db().dataSource(), address), c.ok);
        int othersTook = std::min(c.takenByOthers, MacRangeDatabase::kRetriesWhenTaken + 1);
        if (c.ok) {
            // The value after those the other station took; then the row moves past it.
            EXPECT_EQ(address, macAddressOfRange({672, 100, 200, 100 + othersTook}));
            EXPECT_EQ(db().rows()[0].siguiente, 100 + othersTook + 1);
        } else {
            EXPECT_EQ(address, "untouched") << "a value another station took is never handed out";
            EXPECT_EQ(db().rows()[0].siguiente, 100 + othersTook);
        }
        EXPECT_TRUE(ranges.isOpen()) << "a lost race is no database error";
    }
}

TEST_P(MacRangeAssignment, DatabaseErrorClosesTheConnectionAndTheNextRequestReopensIt)
{
    db().create({{672, 0, 100, 0}});
    MacRangeDatabase ranges;
    std::string address;
    ASSERT_TRUE(ranges.takeMacAddress(db().dataSource(), address));
    executeAll(db().dataSource(), {"ALTER TABLE RangoMAC RENAME TO RangoMAC_away"});
    address = "untouched";
    EXPECT_FALSE(ranges.takeMacAddress(db().dataSource(), address));
    EXPECT_EQ(address, "untouched");
    EXPECT_FALSE(ranges.isOpen());
    executeAll(db().dataSource(), {"ALTER TABLE RangoMAC_away RENAME TO RangoMAC"});
    ASSERT_TRUE(ranges.takeMacAddress(db().dataSource(), address));
    EXPECT_EQ(address, "0002A0000001");
    EXPECT_TRUE(ranges.isOpen());
}

TEST_P(MacRangeAssignment, ColumnLeftEmptyFailsTheRequest)
{
    executeAll(db().dataSource(), {"CREATE TABLE RangoMAC (oui INTEGER, primero INTEGER, ultimo INTEGER, "
                                   "siguiente INTEGER)",
                                   "INSERT INTO RangoMAC VALUES (NULL, 0, 10, 0)"});
    MacRangeDatabase ranges;
    std::string address = "untouched";
    EXPECT_FALSE(ranges.takeMacAddress(db().dataSource(), address));
    EXPECT_EQ(address, "untouched");
}

TEST_P(MacRangeAssignment, ConnectionOpensOnceAndStaysWithTheFirstDataSource)
{
    db().create({{672, 0, 100, 0}});
    SqliteRangeDatabase other;
    other.create({{0xFF, 0, 100, 0}});
    MacRangeDatabase ranges;
    std::string address;
    EXPECT_FALSE(ranges.isOpen());
    ASSERT_TRUE(ranges.takeMacAddress(db().dataSource(), address));
    ASSERT_TRUE(ranges.takeMacAddress(other.dataSource(), address));
    EXPECT_EQ(address, "0002A0000001") << "a changed data source takes effect only with a new connection";
    ranges.close();
    EXPECT_FALSE(ranges.isOpen());
    ASSERT_TRUE(ranges.takeMacAddress(other.dataSource(), address));
    EXPECT_EQ(address, "0000FF000000");
}

TEST_P(MacRangeAssignment, RowAnotherSessionKeepsLockedFailsTheRequestInsteadOfHoldingTheStation)
{
    db().create({{672, 0, 100, 0}});
    // The SQLite driver bounds its wait for a lock by the connection string's Timeout item
    // (milliseconds), not by a statement's time limit.
    const bool sqlite = GetParam() == Backend::SQLite;
    const std::string dataSource = db().dataSource() + (sqlite ? ";Timeout=1000" : "");
    MacRangeDatabase ranges(1);
    std::string address;
    ASSERT_TRUE(ranges.takeMacAddress(dataSource, address));
    EXPECT_EQ(address, "0002A0000000");

    // Another session (an administrator's open transaction) holds the range rows.
    platform::OdbcConnection holder;
    holder.open(db().dataSource());
    holder.execute(sqlite ? "BEGIN EXCLUSIVE" : "BEGIN");
    holder.execute("UPDATE RangoMAC SET siguiente = siguiente");
    // The lock goes when the request has ended, or after a minute as a station left
    // waiting would see it go; the request then must not have waited for it.
    std::mutex mutex;
    std::condition_variable requestEnded;
    bool ended = false;
    std::jthread release([&] {
        std::unique_lock lock(mutex);
        requestEnded.wait_for(lock, std::chrono::seconds(60), [&] { return ended; });
        holder.execute("ROLLBACK");
    });
    address = "untouched";
    const bool taken = ranges.takeMacAddress(dataSource, address);
    {
        std::scoped_lock lock(mutex);
        ended = true;
    }
    requestEnded.notify_one();
    release.join();
    EXPECT_FALSE(taken) << "the request gave up while the rows were held";
    EXPECT_EQ(address, "untouched");

    ASSERT_TRUE(ranges.takeMacAddress(dataSource, address)) << "the next request goes on once they are free";
    EXPECT_EQ(address, "0002A0000001");
    EXPECT_EQ(db().rows()[0].siguiente, 2);
}

TEST_P(MacRangeAssignment, UnreachableOrMissingDataSourceFailsWithoutAValue)
{
    db().create({{672, 0, 100, 0}});
    const std::string sources[] = {"", "NoSuchRanges", "Driver=NoSuchDriver;Database=x"};
    for (const std::string& source : sources) {
        StationOnDatabase s(source);
        std::string mac = "untouched";
        EXPECT_FALSE(s.macAddress(mac)) << source;
        EXPECT_EQ(mac, "untouched");
    }
    EXPECT_EQ(db().rows()[0].siguiente, 0);
}

INSTANTIATE_ON_EVERY_BACKEND(MacRangeAssignment);

} // namespace
