// Attaching and detaching a reader's client: notifications and pending codes, as both
// reader kinds share them.
#include "comm/ReaderClientSlot.h"
#include "reader/RecordingClient.h"

#include <gtest/gtest.h>

namespace {

using Events = std::vector<std::string>;

class NoReader final : public BarcodeReader::Reader {
public:
    NoReader() : Reader("none") {}
    bool start() override { return true; }
    void setClient(BarcodeReader::Client*) override {}
    bool enable() override { return true; }
    void disable() override {}
    void stop() override {}
};

TEST(ClientSlot, CodesWithoutAClientWaitForTheNextOneInOrder)
{
    NoReader reader;
    BarcodeReader::ClientSlot slot(reader);
    RecordingClient first, second;
    slot.deliver("111");
    slot.attach(nullptr, true); // detaching nobody keeps them
    slot.deliver("222");
    slot.attach(&first, false); // handed over even while the device is down
    EXPECT_EQ(first.events(), (Events{"code 111", "code 222"}));
    slot.deliver("333");
    slot.attach(nullptr, false);
    slot.deliver("444");
    slot.attach(&second, true);
    EXPECT_EQ(first.events(), (Events{"code 111", "code 222", "code 333"}));
    EXPECT_EQ(second.events(), (Events{"opened", "code 444"}));
    EXPECT_EQ(slot.pendingCount(), 0u);
}

TEST(ClientSlot, AttachingTheSameClientAgainTellsNothing)
{
    NoReader reader;
    BarcodeReader::ClientSlot slot(reader);
    RecordingClient client;
    slot.attach(&client, true);
    slot.attach(&client, true);
    EXPECT_EQ(client.events(), (Events{"opened"}));
}

TEST(ClientSlot, ASwitchClosesForTheLeavingClientOnlyWhileUp)
{
    NoReader reader;
    BarcodeReader::ClientSlot slot(reader);
    RecordingClient a, b, c;
    slot.attach(&a, true);
    slot.attach(&b, true);
    slot.attach(&c, false);
    EXPECT_EQ(a.events(), (Events{"opened", "closed"}));
    EXPECT_EQ(b.events(), (Events{"opened"})); // left while down: no closed
    EXPECT_TRUE(c.events().empty());
    slot.opened();
    slot.closed();
    EXPECT_EQ(c.events(), (Events{"opened", "closed"}));
}

} // namespace
