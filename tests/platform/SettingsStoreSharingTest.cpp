// Several station processes (and threads) share one settings file: sequence
// assignments must never hand out a value twice, and no write may drop another's.
#include "platform/FileDescriptor.h"
#include "platform/SettingsStore.h"
#include "platform/Ticks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <numeric>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

constexpr Millis kChildLimitMs = 300'000;

// A forked child that runs one job and sends back the numbers it produced.
class ChildProcess {
public:
    explicit ChildProcess(const std::function<bool(std::vector<std::int32_t>&)>& job)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        FileDescriptor readEnd(fds[0]), writeEnd(fds[1]);
        pid_ = ::fork();
        if (pid_ == 0) {
            readEnd.reset();
            std::vector<std::int32_t> numbers;
            bool ok = job(numbers);
            const char* bytes = reinterpret_cast<const char*>(numbers.data());
            std::size_t left = numbers.size() * sizeof(std::int32_t);
            while (left > 0) {
                ssize_t n = ::write(writeEnd.get(), bytes, left);
                if (n <= 0) {
                    ok = false;
                    break;
                }
                bytes += n, left -= static_cast<std::size_t>(n);
            }
            ::_exit(ok ? 0 : 1);
        }
        if (pid_ > 0)
            output_ = std::move(readEnd);
    }
    ~ChildProcess()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }

    // The child's numbers once it has ended; false when it failed or overran the limit.
    bool finish(std::vector<std::int32_t>& numbers)
    {
        Deadline deadline(kChildLimitMs);
        std::string bytes;
        for (;;) {
            pollfd p{output_.get(), POLLIN, 0};
            if (::poll(&p, 1, deadline.pollTimeout()) <= 0)
                return false;
            char buffer[4096];
            ssize_t n = ::read(output_.get(), buffer, sizeof buffer);
            if (n < 0)
                return false;
            if (n == 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        int status = 0;
        pid_t ended = ::waitpid(pid_, &status, 0);
        pid_ = -1;
        if (ended <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return false;
        std::vector<std::int32_t> received(bytes.size() / sizeof(std::int32_t));
        std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(received.data()));
        numbers.insert(numbers.end(), received.begin(), received.end());
        return true;
    }

private:
    pid_t pid_ = -1;
    FileDescriptor output_;
};

// One sequence assignment as the station makes it: read the next value, hand it
// out, store the one after it.
bool assignNext(SettingsStore& store, std::vector<std::int32_t>& handedOut)
{
    return store.withSequenceLock([&] {
        std::int32_t next = store.readInt("ProximoIP", 0);
        handedOut.push_back(next);
        return store.writeInt("ProximoIP", next + 1);
    });
}

bool assignMany(SettingsStore& store, int count, std::vector<std::int32_t>& handedOut)
{
    for (int i = 0; i < count; ++i)
        if (!assignNext(store, handedOut))
            return false;
    return true;
}

TEST(SettingsStoreSharing, SequenceValuesAreNeverHandedOutTwice)
{
    constexpr int kPerWorker = 200;
    TempDir dir;
    const std::string path = dir.file("orvane.conf");
    {
        SettingsStore setup(path);
        ASSERT_TRUE(setup.write("ProximoIP", "0"));
        ASSERT_TRUE(setup.write("Puertos", "/dev/ttyUSB0"));
    }

    // Children first, while this process has no other threads.
    auto childJob = [&](std::vector<std::int32_t>& numbers) {
        SettingsStore own(path);
        return assignMany(own, kPerWorker, numbers);
    };
    ChildProcess first(childJob), second(childJob);
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(second.started());

    // Two threads share one store, a third has a store of its own on the same file.
    SettingsStore shared(path);
    std::vector<std::int32_t> threadNumbers[3];
    bool threadOk[3] = {};
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 3; ++t)
            threads.emplace_back([&, t] {
                if (t < 2) {
                    threadOk[t] = assignMany(shared, kPerWorker, threadNumbers[t]);
                } else {
                    SettingsStore own(path);
                    threadOk[t] = assignMany(own, kPerWorker, threadNumbers[t]);
                }
            });
    }

    std::vector<std::int32_t> all;
    ASSERT_TRUE(first.finish(all));
    ASSERT_TRUE(second.finish(all));
    for (int t = 0; t < 3; ++t) {
        EXPECT_TRUE(threadOk[t]) << "thread " << t;
        all.insert(all.end(), threadNumbers[t].begin(), threadNumbers[t].end());
    }

    constexpr int kTotal = 5 * kPerWorker;
    ASSERT_EQ(all.size(), static_cast<std::size_t>(kTotal));
    std::sort(all.begin(), all.end());
    std::vector<std::int32_t> expected(kTotal);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(all, expected) << "every value handed out exactly once";
    EXPECT_EQ(SettingsStore(path).readInt("ProximoIP"), kTotal);
    EXPECT_EQ(shared.readInt("ProximoIP"), kTotal);
    EXPECT_EQ(shared.read("Puertos"), "/dev/ttyUSB0");
}

TEST(SettingsStoreSharing, PlainWritesFromSeveralProcessesAreAllKept)
{
    constexpr int kPerWorker = 60;
    TempDir dir;
    const std::string path = dir.file("orvane.conf");
    auto writer = [&](const std::string& prefix) {
        SettingsStore own(path);
        for (int i = 0; i < kPerWorker; ++i)
            if (!own.writeInt(prefix + std::to_string(i), i))
                return false;
        return true;
    };
    ChildProcess first([&](std::vector<std::int32_t>&) { return writer("First"); });
    ChildProcess second([&](std::vector<std::int32_t>&) { return writer("Second"); });
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(second.started());
    EXPECT_TRUE(writer("Parent"));

    std::vector<std::int32_t> none;
    ASSERT_TRUE(first.finish(none));
    ASSERT_TRUE(second.finish(none));
    SettingsStore check(path);
    for (const char* prefix : {"First", "Second", "Parent"})
        for (int i = 0; i < kPerWorker; ++i)
            EXPECT_EQ(check.readInt(prefix + std::to_string(i), -1), i) << prefix << i;
}

} // namespace
} // namespace platform
