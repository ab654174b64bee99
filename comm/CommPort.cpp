#include "comm/CommPort.h"

#include "platform/Paths.h"
#include "platform/SerialDevice.h"
#include "platform/Ticks.h"
#include "platform/WakeEvent.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <mutex>
#include <optional>
#include <poll.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace CommPort {

namespace {

constexpr platform::Millis errorPauseMs = 250;       // after a failed device wait or read
constexpr platform::Millis drainBoundMs = 3000;      // longest wait for pending output at close
constexpr platform::Millis reopenLimitMs = 10000;    // how long reopen keeps trying
constexpr platform::Millis reopenPauseMs = 100;      // between two attempts of reopen
constexpr auto eventThreadKickInterval = std::chrono::milliseconds(10);
constexpr std::size_t readChunk = 4096;

// The modem-line wait (TIOCMIWAIT) cannot watch a wake descriptor; close ends it by
// sending this signal to the event thread, whose handler does nothing so that the
// ioctl returns with EINTR.
int eventWakeSignal()
{
    return SIGRTMIN + 2;
}

void ignoreSignal(int) {}

void installEventWakeSignal()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_handler = ignoreSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; // no SA_RESTART: the blocked ioctl must end
        ::sigaction(eventWakeSignal(), &action, nullptr);
    });
}

void acceptEventWakeSignal()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, eventWakeSignal());
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

platform::SerialLineSettings lineSettingsOf(const PortSettings& settings)
{
    using Line = platform::SerialLineSettings;
    Line line;
    line.baudRate = baudRateOfIndex(settings.baudIndex);
    static constexpr std::array parities{Line::Parity::Odd, Line::Parity::Even, Line::Parity::None,
                                         Line::Parity::Mark, Line::Parity::Space};
    if (settings.parityIndex >= 0 && settings.parityIndex < static_cast<int>(parities.size()))
        line.parity = parities[static_cast<std::size_t>(settings.parityIndex)];
    line.dataBits = settings.dataBits;
    static constexpr std::array stopBits{Line::StopBits::One, Line::StopBits::OneAndHalf,
                                         Line::StopBits::Two};
    if (settings.stopBitIndex >= 0 && settings.stopBitIndex < static_cast<int>(stopBits.size()))
        line.stopBits = stopBits[static_cast<std::size_t>(settings.stopBitIndex)];
    line.parityCheck = settings.parityCheck != 0;
    line.ctsOutputFlow = settings.ctsOutputFlow != 0;
    line.xonXoffOutput = settings.xonXoffOutput != 0;
    // DSR output flow and DSR sensitivity have no setting on this platform. A DTR
    // handshake and an RTS toggle have none either: those lines stay as they are.
    if (settings.dtrMode == 0 || settings.dtrMode == 1)
        line.dtr = settings.dtrMode == 1 ? Line::LineHold::On : Line::LineHold::Off;
    if (settings.rtsMode == 0 || settings.rtsMode == 1)
        line.rts = settings.rtsMode == 1 ? Line::LineHold::On : Line::LineHold::Off;
    line.rtsHandshake = settings.rtsMode == 3;
    return line;
}

} // namespace

struct Port::State {
    std::mutex lifecycle; // serialises open, close and reopen

    std::mutex lock; // guards everything below except where noted
    platform::SerialDevice device;
    bool stop = false;
    bool eventThreadEnded = false;
    bool rtsFollowsCts = false;
    int rtsMode = 1; // of the settings the line was opened with
    std::deque<std::uint8_t> queue;
    std::size_t claimed = 0; // bytes at the front of the queue taken by reads in progress
    // Changed only under the lock; writes also look at it between their transfers.
    std::atomic<std::uint64_t> abortGeneration{0};
    std::vector<platform::WakeEvent*> waitingWrites;
    std::size_t writesInProgress = 0; // writes that use the descriptor outside the lock
    std::condition_variable queueChanged;   // bytes arrived or put back, or an abort
    std::condition_variable writesFinished; // writesInProgress dropped
    std::condition_variable threadEnded;    // eventThreadEnded set

    platform::WakeEvent stopWake; // set from close until the next open
    std::thread reader;
    std::thread events;

    bool stopRequested()
    {
        std::scoped_lock guard(lock);
        return stop;
    }

    void pauseAfterError() { platform::sleepUnlessWoken(errorPauseMs, stopWake); }

    void readerLoop();
    void eventLoop();
    void followCts(); // lock held
    void abort();
    void stopThreads();
    void shutDown(bool flush); // lifecycle lock held
    void deliver(const std::uint8_t* bytes, std::size_t count);
};

// Moves whatever the device holds into the receive queue, one read per wake-up. Waits
// only on the device and the stop descriptor, so an idle line costs nothing; after an
// error, end of file or hang-up (device gone) it pauses instead of spinning.
void Port::State::readerLoop()
{
    const int fd = device.fd(); // stays open until this thread has been joined
    std::array<std::uint8_t, readChunk> buffer;
    while (!stopRequested()) {
        pollfd waits[2] = {{fd, POLLIN, 0}, {stopWake.fd(), POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0) {
            if (errno != EINTR)
                pauseAfterError();
            continue;
        }
        if (waits[1].revents || !waits[0].revents)
            continue;
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got > 0) {
            deliver(buffer.data(), static_cast<std::size_t>(got));
            continue;
        }
        const bool spuriousWakeUp = got < 0 && (errno == EAGAIN || errno == EINTR) && waits[0].revents == POLLIN;
        if (!spuriousWakeUp)
            pauseAfterError();
    }
}

void Port::State::deliver(const std::uint8_t* bytes, std::size_t count)
{
    {
        std::scoped_lock guard(lock);
        queue.insert(queue.end(), bytes, bytes + count);
    }
    queueChanged.notify_all();
}

// Watches the modem lines so that RTS can follow CTS. A device without modem lines
// (a pseudo-terminal) just waits for close.
void Port::State::eventLoop()
{
    acceptEventWakeSignal();
    using Wait = platform::SerialDevice::ModemWait;
    while (!stopRequested()) {
        switch (device.waitModemChange()) {
        case Wait::Changed: {
            std::scoped_lock guard(lock);
            followCts();
            break;
        }
        case Wait::Interrupted:
            break;
        case Wait::Unsupported:
            platform::waitReadable(-1, stopWake, platform::Deadline(0));
            break;
        case Wait::Failed:
            pauseAfterError();
            break;
        }
    }
    {
        std::scoped_lock guard(lock);
        eventThreadEnded = true;
    }
    threadEnded.notify_all();
}

void Port::State::followCts()
{
    if (!rtsFollowsCts || !device.isOpen())
        return;
    int lines = 0;
    if (!device.modemLines(lines))
        lines = 0; // unreadable lines count as all off
    device.setModemLine(TIOCM_RTS, (lines & TIOCM_CTS) != 0);
}

// The stop flag is set and stopWake is set. The reader ends at its next wake-up; the
// event thread may sit in TIOCMIWAIT, which only a signal ends, and a signal sent
// just before it enters the ioctl is lost, so the signal is repeated until it ends.
void Port::State::stopThreads()
{
    if (reader.joinable())
        reader.join();
    if (!events.joinable())
        return;
    {
        std::unique_lock guard(lock);
        while (!eventThreadEnded) {
            ::pthread_kill(events.native_handle(), eventWakeSignal());
            threadEnded.wait_for(guard, eventThreadKickInterval);
        }
    }
    events.join();
}

void Port::State::abort()
{
    {
        std::scoped_lock guard(lock);
        ++abortGeneration;
        for (platform::WakeEvent* wake : waitingWrites)
            wake->set();
    }
    queueChanged.notify_all();
}

// Closes an open line: no new writes, pending output sent (bounded) when flushing,
// every wait ended, both threads joined, the input purged. The receive queue stays.
void Port::State::shutDown(bool flush)
{
    {
        std::scoped_lock guard(lock);
        if (!device.isOpen())
            return;
        stop = true;
    }
    stopWake.set();
    // A pseudo-terminal reports no pending output, so this ends at once there; the
    // bytes already written stay for the other end to read.
    const bool drained = flush && device.drain(drainBoundMs);
    abort();
    stopThreads();
    std::unique_lock guard(lock);
    writesFinished.wait(guard, [this] { return writesInProgress == 0; });
    device.purgeInput();
    // Output that cannot go out (no flush asked, or a line stalled by flow control)
    // is dropped: otherwise closing the device would wait for it in the driver.
    if (!drained)
        device.purgeOutput();
    device.close();
}

namespace {

// Keeps a write's use of the descriptor known to close, which waits for it to end
// before it closes the device.
class DeviceUse {
public:
    explicit DeviceUse(std::mutex& lock, std::size_t& users, std::condition_variable& finished)
        : lock_(lock), users_(users), finished_(finished)
    {
    }
    ~DeviceUse()
    {
        {
            std::scoped_lock guard(lock_);
            --users_;
        }
        finished_.notify_all();
    }
    DeviceUse(const DeviceUse&) = delete;
    DeviceUse& operator=(const DeviceUse&) = delete;

private:
    std::mutex& lock_;
    std::size_t& users_;
    std::condition_variable& finished_;
};

// A wake descriptor of one waiting write, registered with the port so that
// abortWaits can end exactly the writes that wait at that moment.
class WriteAbortWait {
public:
    WriteAbortWait(std::mutex& lock, std::vector<platform::WakeEvent*>& waiting,
                   const std::atomic<std::uint64_t>& generation, std::uint64_t generationAtStart)
        : lock_(lock), waiting_(waiting)
    {
        std::scoped_lock guard(lock_);
        if (generation != generationAtStart) {
            wake_.set(); // aborted before the wait began
            return;
        }
        waiting_.push_back(&wake_);
        registered_ = true;
    }
    ~WriteAbortWait()
    {
        if (!registered_)
            return;
        std::scoped_lock guard(lock_);
        waiting_.erase(std::find(waiting_.begin(), waiting_.end(), &wake_));
    }
    WriteAbortWait(const WriteAbortWait&) = delete;
    WriteAbortWait& operator=(const WriteAbortWait&) = delete;

    const platform::WakeEvent& wake() const { return wake_; }

private:
    std::mutex& lock_;
    std::vector<platform::WakeEvent*>& waiting_;
    platform::WakeEvent wake_;
    bool registered_ = false;
};

} // namespace

Port::Port() : state_(std::make_unique<State>()) {}

Port::~Port()
{
    close(true);
}

bool Port::open(std::string_view deviceName, const PortSettings& settings)
{
    std::scoped_lock life(state_->lifecycle);
    if (isOpen())
        return false;
    name_ = std::string(deviceName);
    settings_ = settings;
    return openStored();
}

bool Port::openStored()
{
    State& s = *state_;
    {
        std::scoped_lock guard(s.lock);
        if (!s.device.open(platform::devicePath(name_)))
            return false;
        if (!s.device.configure(lineSettingsOf(settings_))) {
            s.device.close();
            return false;
        }
        s.stop = false;
        s.eventThreadEnded = false;
        s.rtsMode = settings_.rtsMode;
    }
    s.stopWake.reset();
    installEventWakeSignal();
    try {
        s.reader = std::thread([&s] { s.readerLoop(); });
        s.events = std::thread([&s] { s.eventLoop(); });
    } catch (const std::system_error&) {
        s.shutDown(false);
        return false;
    }
    return true;
}

bool Port::close(bool flush)
{
    std::scoped_lock life(state_->lifecycle);
    state_->shutDown(flush);
    return true;
}

bool Port::isOpen() const
{
    std::scoped_lock guard(state_->lock);
    return state_->device.isOpen();
}

const std::string& Port::name() const
{
    return name_;
}

bool Port::reopen()
{
    std::scoped_lock life(state_->lifecycle);
    if (name_.empty())
        return true;
    const platform::Deadline limit(reopenLimitMs);
    for (;;) {
        if (!isOpen() && openStored())
            return true;
        if (limit.expired())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(reopenPauseMs, limit.remainingMs())));
    }
}

bool Port::close()
{
    return close(true);
}

void Port::setRtsFollowsCts(bool on)
{
    State& s = *state_;
    std::scoped_lock guard(s.lock);
    s.rtsFollowsCts = on;
    if (!s.device.isOpen())
        return;
    if (on)
        s.followCts();
    else
        s.device.setModemLine(TIOCM_RTS, s.rtsMode != 0);
}

void Port::setRts(bool on)
{
    State& s = *state_;
    std::scoped_lock guard(s.lock);
    s.rtsFollowsCts = false;
    if (s.device.isOpen())
        s.device.setModemLine(TIOCM_RTS, on);
}

bool Port::write(const std::uint8_t* bytes, std::size_t count, std::uint32_t limitMs)
{
    if (!bytes || count == 0)
        return false;
    State& s = *state_;
    const platform::Deadline deadline(limitMs);
    std::uint64_t generation;
    int fd;
    {
        std::scoped_lock guard(s.lock);
        if (!s.device.isOpen() || s.stop)
            return false;
        generation = s.abortGeneration;
        fd = s.device.fd();
        ++s.writesInProgress;
    }
    DeviceUse use(s.lock, s.writesInProgress, s.writesFinished);
    std::optional<WriteAbortWait> abortWait;

    std::size_t sent = 0;
    while (sent < count) {
        if (s.abortGeneration != generation)
            return false;
        const ssize_t n = ::write(fd, bytes + sent, count - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false; // the device failed or is gone
        try {
            if (!abortWait)
                abortWait.emplace(s.lock, s.waitingWrites, s.abortGeneration, generation);
        } catch (const std::exception&) {
            return false; // no descriptor left for an abortable wait
        }
        if (platform::waitWritable(fd, abortWait->wake(), deadline) != platform::WaitResult::Ready)
            return false;
    }
    return true;
}

bool Port::writeByte(std::uint8_t byte, std::uint32_t limitMs)
{
    return write(&byte, 1, limitMs);
}

void Port::discardInput()
{
    State& s = *state_;
    std::scoped_lock guard(s.lock);
    // Bytes already taken by reads in progress belong to them; only the rest goes.
    s.queue.erase(s.queue.begin() + static_cast<std::ptrdiff_t>(s.claimed), s.queue.end());
}

std::size_t Port::available()
{
    std::scoped_lock guard(state_->lock);
    return state_->queue.size();
}

std::size_t Port::read(std::uint8_t* buffer, std::size_t count, std::uint32_t limitMs)
{
    if (!buffer || count == 0)
        return 0;
    State& s = *state_;
    const platform::Deadline deadline(limitMs);
    std::unique_lock guard(s.lock);
    const std::uint64_t generation = s.abortGeneration;
    const auto wokenUp = [&] {
        return s.abortGeneration != generation || s.queue.size() > s.claimed || !s.device.isOpen();
    };

    std::size_t taken = 0;
    for (;;) {
        const std::size_t take = std::min(s.queue.size() - s.claimed, count - taken);
        s.claimed += take;
        taken += take;
        if (taken == count || !s.device.isOpen() || deadline.expired())
            break;
        if (deadline.unlimited())
            s.queueChanged.wait(guard, wokenUp);
        else
            s.queueChanged.wait_until(guard, deadline.at(), wokenUp);
        if (s.abortGeneration != generation)
            break;
    }

    std::copy_n(s.queue.begin(), taken, buffer);
    s.queue.erase(s.queue.begin(), s.queue.begin() + static_cast<std::ptrdiff_t>(taken));
    s.claimed -= taken;
    return taken;
}

std::uint8_t Port::readByte(std::uint32_t limitMs)
{
    std::uint8_t byte = 0;
    return read(&byte, 1, limitMs) == 1 ? byte : 0;
}

void Port::putBack(const std::uint8_t* bytes, std::size_t count)
{
    if (!bytes || count == 0)
        return;
    State& s = *state_;
    {
        std::scoped_lock guard(s.lock);
        s.queue.insert(s.queue.begin(), bytes, bytes + count);
    }
    s.queueChanged.notify_all();
}

void Port::putBackByte(std::uint8_t byte)
{
    putBack(&byte, 1);
}

void Port::abortWaits()
{
    state_->abort();
}

} // namespace CommPort
