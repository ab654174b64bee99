#include "cli/ConsolePanels.h"

#include "app/OrvaneDoc.h"
#include "cli/ConsoleLoop.h"
#include "cli/ConsoleProgress.h"
#include "comm/TareaPort.h"

#include <memory>

ConsolePanels::ConsolePanels(OrvaneDoc& document, ConsoleLoop& loop, ConsoleOutput& output)
    : document_(document), loop_(loop), output_(output)
{
}

void ConsolePanels::addPort(const std::string& port)
{
    std::scoped_lock lock(lock_);
    Panel panel;
    panel.port = port;
    panels_.push_back(std::move(panel));
}

void ConsolePanels::startAll()
{
    std::scoped_lock lock(lock_);
    bool anyWasRunning = false;
    for (const Panel& p : panels_)
        anyWasRunning = anyWasRunning || p.running;
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        Panel& p = panels_[i];
        if (p.running)
            continue;
        p.cancelRequest = false;
        p.running = true;
        p.failed = false;
        p.ended = false;
        auto progress = std::make_unique<ConsoleProgress>(*this, i);
        p.progress = progress.get();
        document_.startDownload(p.port, std::move(progress));
    }
    if (!anyWasRunning && !panels_.empty())
        document_.setBusy(true);
}

void ConsolePanels::cancelAll()
{
    std::scoped_lock lock(lock_);
    for (Panel& p : panels_) {
        if (!p.running)
            continue;
        p.cancelRequest = true;
        // The job clears this pointer under the same lock before it destroys its
        // progress object and ports, so the port is alive here.
        if (p.progress && p.progress->port())
            p.progress->port()->abortWaits();
    }
}

bool ConsolePanels::anyRunning()
{
    std::scoped_lock lock(lock_);
    for (const Panel& p : panels_)
        if (p.running || p.endPending)
            return true;
    return false;
}

bool ConsolePanels::allSucceeded()
{
    std::scoped_lock lock(lock_);
    for (const Panel& p : panels_)
        if (!p.ended || p.failed)
            return false;
    return true;
}

void ConsolePanels::notifyLocked()
{
    if (notificationPending_)
        return;
    notificationPending_ = true;
    loop_.post([this] { applyPending(); });
}

void ConsolePanels::applyPending()
{
    std::scoped_lock lock(lock_);
    notificationPending_ = false;
    bool printed = false;
    for (Panel& p : panels_) {
        for (const std::string& text : p.newTexts)
            output_.printLine(p.port, text);
        printed = printed || !p.newTexts.empty();
        p.newTexts.clear();
        if (p.endPending) {
            output_.printLine(p.port, p.failed ? "FAILED" : "OK");
            p.endPending = false;
            p.ended = true;
            printed = true;
        }
    }
    bool running = false;
    for (const Panel& p : panels_)
        running = running || p.running;
    if (!running) {
        output_.clearBars();
        document_.setBusy(false);
        return;
    }
    drawBarsLocked(printed);
}

void ConsolePanels::drawBarsLocked(bool force)
{
    if (!output_.live())
        return;
    auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDraw_ < std::chrono::milliseconds(100))
        return;
    lastDraw_ = now;
    std::vector<PortBar> bars;
    for (const Panel& p : panels_)
        bars.push_back(PortBar{p.port, p.position, p.upperBound, p.running});
    output_.drawBars(bars);
}
