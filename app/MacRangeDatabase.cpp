#include "app/MacRangeDatabase.h"

#include "platform/OdbcError.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::int32_t kLargest24Bit = 0xFFFFFF;

// A short, growing and scattered pause before reading again, so that stations that met
// on the same value do not meet again on the next one.
void pauseBeforeRetry(int attempt)
{
    static thread_local std::minstd_rand random(
        static_cast<unsigned>(::getpid()) ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<int> spread(1, 5 * attempt);
    std::this_thread::sleep_for(std::chrono::milliseconds(spread(random)));
}

} // namespace

std::string macRangeUpdateStatement(const MacRange& range)
{
    return "update RangoMAC set siguiente = siguiente + 1 where oui = " + std::to_string(range.oui) +
           "  and primero = " + std::to_string(range.primero) + "  and ultimo = " + std::to_string(range.ultimo) +
           "  and siguiente = " + std::to_string(range.siguiente);
}

std::optional<std::string> macAddressOfRange(const MacRange& range)
{
    if (range.oui < 0 || range.oui > kLargest24Bit || range.siguiente < 0 || range.siguiente > kLargest24Bit ||
        range.siguiente < range.primero || range.siguiente > range.ultimo)
        return std::nullopt;
    char text[13];
    std::snprintf(text, sizeof text, "%06X%06X", static_cast<unsigned>(range.oui),
                  static_cast<unsigned>(range.siguiente));
    return std::string(text);
}

bool MacRangeDatabase::takeMacAddress(const std::string& dataSource, std::string& address)
{
    std::scoped_lock lock(mutex_);
    // A connection kept from an earlier request may have died with its server since: it
    // gets one fresh connection in its place before the request gives up.
    bool mayReconnect = connection_.isOpen();
    int takenByOthers = 0;
    for (;;) {
        try {
            switch (takeOnce(dataSource, address)) {
            case Take::Taken: return true;
            case Take::NoAddress: return false;
            case Take::TakenByAnother:
                if (++takenByOthers > kRetriesWhenTaken)
                    return false;
                pauseBeforeRetry(takenByOthers);
                break;
            }
        } catch (const platform::OdbcError&) {
            // The next attempt, in this request or the next one, starts on a new
            // connection instead of failing on a broken one for ever.
            closeLocked();
            if (!mayReconnect)
                return false;
            mayReconnect = false;
        }
    }
}

MacRangeDatabase::Take MacRangeDatabase::takeOnce(const std::string& dataSource, std::string& address)
{
    if (!connection_.isOpen()) {
        ranges_.reset();
        if (dataSource.empty())
            return Take::NoAddress;
        connection_.open(dataSource);
        ranges_ = std::make_unique<RangoMAC>(connection_);
    }
    ranges_->setFilter(kUsableRanges);
    ranges_->setSort(kRangeOrder);
    ranges_->requery(); // opens the record set the first time
    if (ranges_->isEOF())
        return Take::NoAddress; // every range used up
    const MacRange range = ranges_->current();
    std::optional<std::string> taken = macAddressOfRange(range);
    if (!taken)
        return Take::NoAddress;
    long long changed = connection_.execute(macRangeUpdateStatement(range));
    if (changed == 0)
        return Take::TakenByAnother;
    if (changed < 0)
        return Take::NoAddress; // the driver cannot say whether the value is ours
    address = std::move(*taken);
    return Take::Taken;
}

void MacRangeDatabase::close() noexcept
{
    std::scoped_lock lock(mutex_);
    closeLocked();
}

void MacRangeDatabase::closeLocked() noexcept
{
    if (ranges_)
        ranges_->close();
    ranges_.reset();
    try {
        connection_.close();
    } catch (const platform::OdbcError&) {
        // Closing a connection the server already dropped reports an error; it is closed.
    }
}

bool MacRangeDatabase::isOpen() const
{
    std::scoped_lock lock(mutex_);
    return connection_.isOpen();
}
