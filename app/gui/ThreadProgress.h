#pragma once
// The progress object of a download started from a panel. The loader thread records
// every change in the panel's state under the view lock and, when no panel has changes
// waiting yet, posts one notification to the view; the interface thread then shows all
// of them in one pass. Unchanged values cost a comparison and nothing else.
#include "loader/Progress.h"

#include <cstddef>

class OrvaneView;

class ThreadProgress final : public Progress {
public:
    ThreadProgress(OrvaneView& view, std::size_t panel) : view_(view), panel_(panel) {}
    ~ThreadProgress() override;
    ThreadProgress(const ThreadProgress&) = delete;
    ThreadProgress& operator=(const ThreadProgress&) = delete;

    bool cancelled() override;
    void setRange(int upperBound) override;
    void setPos(int position) override;
    void step(int amount) override;
    void complete() override;
    void setText(const std::string& text) override;
    void finish(bool success) override;

private:
    OrvaneView& view_;
    std::size_t panel_;
};
