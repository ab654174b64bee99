#pragma once
// The progress object of one download in the headless station.
#include "loader/Progress.h"

#include <cstddef>

class ConsolePanels;

class ConsoleProgress final : public Progress {
public:
    ConsoleProgress(ConsolePanels& panels, std::size_t index) : panels_(panels), index_(index) {}

    bool cancelled() override;
    void setRange(int upperBound) override;
    void setPos(int position) override;
    void step(int amount) override;
    void complete() override;
    void setText(const std::string& text) override;
    void finish(bool success) override;

private:
    ConsolePanels& panels_;
    std::size_t index_;
};
