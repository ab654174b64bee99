#include "cli/ConsoleProgress.h"

#include "app/OrvaneDoc.h"
#include "cli/ConsolePanels.h"

bool ConsoleProgress::cancelled()
{
    std::scoped_lock lock(panels_.lock_);
    return panels_.panels_[index_].cancelRequest || panels_.document_.closing();
}

void ConsoleProgress::setRange(int upperBound)
{
    std::scoped_lock lock(panels_.lock_);
    auto& p = panels_.panels_[index_];
    if (p.upperBound == upperBound)
        return;
    p.upperBound = upperBound;
    if (p.position > upperBound)
        p.position = upperBound;
    panels_.notifyLocked();
}

void ConsoleProgress::setPos(int position)
{
    std::scoped_lock lock(panels_.lock_);
    auto& p = panels_.panels_[index_];
    if (p.position == position)
        return;
    p.position = position;
    panels_.notifyLocked();
}

void ConsoleProgress::step(int amount)
{
    if (amount == 0)
        return;
    std::scoped_lock lock(panels_.lock_);
    auto& p = panels_.panels_[index_];
    long long moved = static_cast<long long>(p.position) + amount;
    int position = moved < 0 ? 0 : moved > p.upperBound ? p.upperBound : static_cast<int>(moved);
    if (position == p.position)
        return;
    p.position = position;
    panels_.notifyLocked();
}

void ConsoleProgress::complete()
{
    std::scoped_lock lock(panels_.lock_);
    auto& p = panels_.panels_[index_];
    if (p.position == p.upperBound)
        return;
    p.position = p.upperBound;
    panels_.notifyLocked();
}

void ConsoleProgress::setText(const std::string& text)
{
    std::scoped_lock lock(panels_.lock_);
    auto& p = panels_.panels_[index_];
    if (p.lastText == text)
        return;
    p.lastText = text;
    if (!text.empty())
        p.newTexts.push_back(text);
    panels_.notifyLocked();
}

void ConsoleProgress::finish(bool success)
{
    std::scoped_lock lock(panels_.lock_);
    auto& p = panels_.panels_[index_];
    if (!p.running)
        return;
    p.running = false;
    p.failed = !success;
    p.progress = nullptr;
    p.endPending = true;
    panels_.notifyLocked();
}
