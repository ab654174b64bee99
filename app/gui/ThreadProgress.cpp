#include "app/gui/ThreadProgress.h"

#include "app/OrvaneDoc.h"
#include "app/gui/OrvaneView.h"

#include <mutex>

ThreadProgress::~ThreadProgress()
{
    // A job always finishes before it destroys its progress object. Should one vanish
    // without finishing (its thread could not be started), the panel must not keep a
    // pointer to it nor stay running for ever: it ends as a failed download.
    std::scoped_lock lock(view_.viewLock_);
    PanelState& p = view_.panels_[panel_];
    if (p.progress != this)
        return;
    p.progress = nullptr;
    if (p.running) {
        p.running = false;
        p.failed = true;
        view_.raiseLocked(panel_, PanelState::kButtonChanged);
    }
}

bool ThreadProgress::cancelled()
{
    std::scoped_lock lock(view_.viewLock_);
    return view_.panels_[panel_].cancelRequest || view_.document_.closing();
}

void ThreadProgress::setRange(int upperBound)
{
    std::scoped_lock lock(view_.viewLock_);
    PanelState& p = view_.panels_[panel_];
    if (p.upperBound == upperBound)
        return;
    p.upperBound = upperBound;
    view_.raiseLocked(panel_, PanelState::kRangeChanged);
}

void ThreadProgress::setPos(int position)
{
    std::scoped_lock lock(view_.viewLock_);
    PanelState& p = view_.panels_[panel_];
    if (p.position == position)
        return;
    p.position = position;
    view_.raiseLocked(panel_, PanelState::kPositionChanged);
}

void ThreadProgress::step(int amount)
{
    if (amount == 0)
        return;
    std::scoped_lock lock(view_.viewLock_);
    PanelState& p = view_.panels_[panel_];
    long long moved = static_cast<long long>(p.position) + amount;
    if (moved < 0)
        moved = 0;
    if (moved > p.upperBound)
        moved = p.upperBound;
    int position = static_cast<int>(moved);
    if (position == p.position)
        return;
    p.position = position;
    view_.raiseLocked(panel_, PanelState::kPositionChanged);
}

void ThreadProgress::complete()
{
    std::scoped_lock lock(view_.viewLock_);
    PanelState& p = view_.panels_[panel_];
    if (p.position == p.upperBound)
        return;
    p.position = p.upperBound;
    view_.raiseLocked(panel_, PanelState::kPositionChanged);
}

void ThreadProgress::setText(const std::string& text)
{
    std::scoped_lock lock(view_.viewLock_);
    PanelState& p = view_.panels_[panel_];
    if (p.statusText == text)
        return;
    p.statusText = text;
    view_.raiseLocked(panel_, PanelState::kTextChanged);
}

void ThreadProgress::finish(bool success)
{
    std::scoped_lock lock(view_.viewLock_);
    PanelState& p = view_.panels_[panel_];
    if (!p.running)
        return;
    p.running = false;
    p.failed = !success;
    p.progress = nullptr; // a cancel press from now on no longer reaches this object
    view_.raiseLocked(panel_, PanelState::kButtonChanged);
}
