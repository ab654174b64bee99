// The Reading page's check of a reader network server, against a server run in the
// test on a free port: the check must reach the server at the port the station's
// network reader uses, so that a server the page accepts is the one the reader reaches.
#include "configsheet/SheetFixture.h"

#include "app/gui/ReadingPage.h"
#include "reader/ServerThread.h"
#include "signing/ScopedEnvironment.h"

#include <string>

namespace {

using Sheet = ConfigurationSheet;
using readersim::Presence;

TEST_F(SheetFixture, ReaderServerIsCheckedAtTheStationsReaderNetworkPort)
{
    ServerThread server(localServer({{3, Presence::Present}}));
    ScopedEnvironment port("ORVANE_READER_NETWORK_PORT", std::to_string(server.port()));
    // The check the sheet makes when nothing stands in for it.
    context.testReaderNetwork = ConfigurationContext(store, operatorAnswers).testReaderNetwork;
    storeValidSettings();
    store.writeInt("LecturaRadio", 2);
    store.write("LecturaServidor", "127.0.0.1");
    store.writeInt("LecturaNumLector", 3);
    openSheet();
    auto& reading = page<ReadingPage>(Sheet::Reading);

    EXPECT_TRUE(reading.validate());
    EXPECT_EQ(operatorAnswers.takeCaption(), "") << "no complaint about a server that answers";
    EXPECT_EQ(server.received(1), (std::vector<std::string>{"FINE?", "STATUS 3"}));
}

} // namespace
