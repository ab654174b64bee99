#pragma once
// A progress object that shows nothing and never cancels: benchmarks measure the
// download alone.
#include "loader/Progress.h"

class QuietProgress final : public Progress {
public:
    bool cancelled() override { return false; }
    void setRange(int) override {}
    void setPos(int) override {}
    void step(int) override {}
    void complete() override {}
    void setText(const std::string&) override {}
    void finish(bool) override {}
};
