// The serial bar-code reader on a pseudo-terminal: codes ended by CR, the client's
// notifications, one reading thread, a port that appears later, prompt ending.
#include "comm/SerialReader.h"
#include "reader/RecordingClient.h"
#include "support/PtyPair.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <thread>
#include <unistd.h>

namespace {

using Events = std::vector<std::string>;

void send(const PtyPair& pty, std::string_view bytes)
{
    ASSERT_EQ(::write(pty.master(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::size_t threadCount()
{
    std::size_t count = 0;
    if (DIR* dir = ::opendir("/proc/self/task")) {
        while (dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.')
                ++count;
        ::closedir(dir);
    }
    return count;
}

TEST(SerialReader, CodesEndAtCarriageReturnAndKeepOtherControlBytes)
{
    PtyPair pty;
    BarcodeReader::SerialReader reader(pty.slavePath());
    RecordingClient client;
    ASSERT_TRUE(reader.start());
    reader.setClient(&client);
    ASSERT_TRUE(reader.enable());
    ASSERT_TRUE(client.waitFor("opened"));
    send(pty, std::string("123\r") + "\r\r" + "A\n\r" + std::string("1\0" "2\r", 4) + "\x1b" "B\r" + "END\r");
    ASSERT_TRUE(client.waitFor("code END"));
    EXPECT_EQ(client.events(), (Events{"opened", "code 123", "code A\n", "code 12", "code \x1b" "B", "code END"}));
    reader.disable();
    EXPECT_EQ(client.events().back(), "closed");
    reader.setClient(nullptr);
}

TEST(SerialReader, EnablingTwiceLeavesOneReadingThread)
{
    PtyPair pty;
    BarcodeReader::SerialReader reader(pty.slavePath());
    RecordingClient client;
    reader.start();
    reader.setClient(&client);
    reader.enable();
    ASSERT_TRUE(client.waitFor("opened"));
    const std::size_t threads = threadCount();
    reader.enable(); // ends the first reading thread, starts a new one
    ASSERT_TRUE(client.waitFor("opened", 2));
    EXPECT_EQ(threadCount(), threads);
    send(pty, "X\r");
    ASSERT_TRUE(client.waitFor("code X"));
    EXPECT_EQ(client.events(), (Events{"opened", "closed", "opened", "code X"}));
    reader.setClient(nullptr);
    reader.stop();
}

TEST(SerialReader, AttachingTheSameClientAgainRepeatsNothing)
{
    PtyPair pty;
    BarcodeReader::SerialReader reader(pty.slavePath());
    RecordingClient first, second;
    reader.start();
    reader.enable();
    reader.setClient(&first);
    ASSERT_TRUE(first.waitFor("opened"));
    reader.setClient(&first);
    reader.setClient(&second);
    EXPECT_EQ(first.events(), (Events{"opened", "closed"}));
    EXPECT_EQ(second.events(), (Events{"opened"}));
    reader.setClient(nullptr);
}

TEST(SerialReader, APortThatAppearsLaterIsOpenedWithinTheRetryPause)
{
    PtyPair pty;
    TempDir dir;
    const std::string device = dir.file("scanner");
    BarcodeReader::SerialReader reader(device);
    RecordingClient client;
    reader.start();
    reader.setClient(&client);
    EXPECT_TRUE(reader.enable()); // true though the device is missing
    std::this_thread::sleep_for(std::chrono::milliseconds(1200)); // at least one failed attempt
    EXPECT_TRUE(client.events().empty());
    dir.symlink("scanner", pty.slavePath()); // the reader is plugged in
    ASSERT_TRUE(client.waitFor("opened", 1, 10000)); // retried every 1 to 5 s
    send(pty, "42\r");
    EXPECT_TRUE(client.waitFor("code 42"));
    reader.setClient(nullptr);
}

TEST(SerialReader, DisableAndStopEndPromptlyWhileWaitingForBytes)
{
    PtyPair pty;
    BarcodeReader::SerialReader reader(pty.slavePath());
    RecordingClient client;
    reader.start();
    reader.setClient(&client);
    reader.enable();
    ASSERT_TRUE(client.waitFor("opened"));
    platform::Millis before = platform::tickMs();
    reader.disable();
    EXPECT_LT(platform::tickMs() - before, 3000);
    EXPECT_EQ(client.events(), (Events{"opened", "closed"}));
    reader.enable();
    ASSERT_TRUE(client.waitFor("opened", 2));
    send(pty, "whole\r");
    ASSERT_TRUE(client.waitFor("code whole"));
    before = platform::tickMs();
    reader.stop();
    EXPECT_LT(platform::tickMs() - before, 3000);
    reader.stop(); // a stopped reader ignores everything
    reader.setClient(&client);
    reader.disable();
    EXPECT_EQ(client.events().back(), "closed");
}

TEST(SerialReader, WithoutStartNothingRuns)
{
    PtyPair pty;
    BarcodeReader::SerialReader reader(pty.slavePath());
    RecordingClient client;
    reader.setClient(&client);
    EXPECT_TRUE(reader.enable());
    reader.disable();
    EXPECT_TRUE(client.events().empty());
}

} // namespace
