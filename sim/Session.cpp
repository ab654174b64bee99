#include "sim/Session.h"

#include "platform/SystemError.h"
#include "sim/StopSignals.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace termsim {

namespace {

constexpr std::size_t chunkSize = 4096;
// A line that reports an error or hang-up stays readable; waiting this long between
// tries keeps the loop from spinning.
constexpr platform::Millis lineErrorPauseMs = 100;
// A behaviour's timer that keeps being due is served at most this often in a row
// before the line is looked at again.
constexpr int timerRoundsInARow = 8;

std::int64_t monotonicNanos()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

Session::Session(TerminalLine& line, TerminalMode& mode, Outbox& outbox, EventLog& log,
                 const platform::WakeEvent& stop, PacingOption pacing, FaultSettings faults)
    : line_(line), mode_(mode), outbox_(outbox), log_(log), stop_(stop), pacing_(pacing), faults_(faults)
{
    if (pacing_.kind == PacingOption::Kind::Fixed) {
        receivePacer_.setBitRate(pacing_.bitsPerSecond);
        sendPacer_.setBitRate(pacing_.bitsPerSecond);
    }
}

bool Session::noteInitialSettings()
{
    return noteLineSettings() == Step::Continue;
}

SessionEnd Session::run()
{
    if (playDueFault() == Step::End)
        return end_;
    while (!StopSignals::requested()) {
        if (stalled_) {
            waitForStop();
            continue;
        }
        if (runDueTimer() == Step::End)
            return end_;
        std::array<pollfd, 2> waits{{
            {stop_.fd(), POLLIN, 0},
            {line_.ioFd(), static_cast<short>(POLLIN | (outbox_.empty() ? 0 : POLLOUT)), 0},
        }};
        int ready = ::poll(waits.data(), waits.size(), pollTimeout());
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            fail("cannot wait on the line: " + platform::systemErrorText(errno));
            return end_;
        }
        if (waits[0].revents)
            break;
        short events = waits[1].revents;
        if ((events & (POLLIN | POLLERR | POLLHUP)) && receiveFromLine() == Step::End)
            return end_;
        if ((events & POLLOUT) && sendToLine() == Step::End)
            return end_;
    }
    return SessionEnd::Stopped;
}

Session::Step Session::receiveFromLine()
{
    if (noteLineSettings() == Step::End)
        return Step::End;
    if (!receivePacer_.waitForSlot())
        return Step::Continue; // a signal: the loop looks at it
    std::size_t limit = receivePacer_.bytesDue(faults_.readLimit(chunkSize));
    if (limit == 0)
        return Step::Continue;

    std::array<char, chunkSize> buffer;
    ssize_t count = ::read(line_.ioFd(), buffer.data(), limit);
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return Step::Continue;
    if (count <= 0) {
        pauseAfterLineError();
        return Step::Continue;
    }
    auto received = static_cast<std::size_t>(count);
    noteBytesReceived(received);
    receivePacer_.consumed(received);
    if (int waiting = 0; ::ioctl(line_.ioFd(), FIONREAD, &waiting) != 0 || waiting == 0)
        receivePacer_.drained();
    faults_.received(received);
    if (afterBehaviour(mode_.receive({buffer.data(), received})) == Step::End)
        return Step::End;
    return playDueFault();
}

Session::Step Session::afterBehaviour(bool went)
{
    if (!went)
        return fail(mode_.failure());
    if (mode_.finished()) {
        end_ = SessionEnd::Finished;
        return Step::End;
    }
    return Step::Continue;
}

Session::Step Session::runDueTimer()
{
    for (int round = 0; round < timerRoundsInARow; ++round) {
        auto due = mode_.nextDueMs();
        platform::Millis now = platform::tickMs();
        if (!due || *due > now)
            return Step::Continue;
        if (noteLineSettings() == Step::End)
            return Step::End;
        if (afterBehaviour(mode_.tick(now)) == Step::End)
            return Step::End;
    }
    return Step::Continue;
}

int Session::pollTimeout() const
{
    auto due = mode_.nextDueMs();
    if (!due)
        return -1;
    platform::Millis left = *due - platform::tickMs();
    return static_cast<int>(std::clamp<platform::Millis>(left, 0, 60'000));
}

void Session::noteBytesReceived(std::size_t count)
{
    if (!stats_)
        return;
    stats_->bytesIn(count);
    if (turnaroundRunning_ && mode_.timesTurnarounds()) {
        std::int64_t waited = monotonicNanos() - lastByteSentNanos_;
        stats_->turnaround(std::max<std::int64_t>(waited, 0) / 1000);
    }
    turnaroundRunning_ = false;
}

void Session::noteBytesSent(std::size_t count)
{
    if (!stats_)
        return;
    stats_->bytesOut(count);
    if (!outbox_.empty())
        return;
    // The last byte is on the line once its time on the line has passed.
    lastByteSentNanos_ = std::max(monotonicNanos(), sendPacer_.lastByteEndNanos());
    turnaroundRunning_ = true;
}

Session::Step Session::sendToLine()
{
    if (noteLineSettings() == Step::End)
        return Step::End;
    if (!sendPacer_.waitForSlot())
        return Step::Continue;
    auto bytes = outbox_.front(sendPacer_.bytesDue(chunkSize));
    if (bytes.empty())
        return Step::Continue;
    ssize_t count = ::write(line_.ioFd(), bytes.data(), bytes.size());
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return Step::Continue;
    if (count <= 0) {
        pauseAfterLineError();
        return Step::Continue;
    }
    sendPacer_.consumed(static_cast<std::size_t>(count));
    outbox_.sent(static_cast<std::size_t>(count));
    noteBytesSent(static_cast<std::size_t>(count));
    return Step::Continue;
}

Session::Step Session::playDueFault()
{
    switch (faults_.due()) {
    case FaultAction::None:
        return Step::Continue;
    case FaultAction::Stall:
        stalled_ = true;
        return logEvent("stall");
    case FaultAction::Vanish:
        line_.close();
        if (logEvent("vanish") == Step::End)
            return Step::End;
        end_ = SessionEnd::Vanished;
        return Step::End;
    }
    return Step::Continue;
}

Session::Step Session::noteLineSettings()
{
    auto changed = settingsWatch_.changed(line_.ioFd());
    if (!changed)
        return Step::Continue;
    if (pacing_.kind == PacingOption::Kind::FollowLine) {
        receivePacer_.setBitRate(changed->speed);
        sendPacer_.setBitRate(changed->speed);
    }
    mode_.lineSettingsChanged(*changed);
    return logEvent("line " + changed->text());
}

Session::Step Session::logEvent(std::string_view event)
{
    if (!log_.record(event))
        return fail("cannot write the event log: " + platform::systemErrorText(errno));
    return Step::Continue;
}

Session::Step Session::fail(std::string text)
{
    failure_ = std::move(text);
    end_ = SessionEnd::Failed;
    return Step::End;
}

void Session::pauseAfterLineError()
{
    platform::sleepUnlessWoken(lineErrorPauseMs, stop_);
}

void Session::waitForStop()
{
    pollfd wait{stop_.fd(), POLLIN, 0};
    ::poll(&wait, 1, -1);
}

} // namespace termsim
