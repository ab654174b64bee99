#pragma once
// The headless station's panels: one per port named on the command line. Loader
// threads record their changes under the panel lock and post at most one notification
// to the main loop, which prints every status text in order, the progress, and the end
// of each job.
#include "cli/ConsoleOutput.h"

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

class ConsoleLoop;
class ConsoleProgress;
class OrvaneDoc;

class ConsolePanels {
public:
    ConsolePanels(OrvaneDoc& document, ConsoleLoop& loop, ConsoleOutput& output);

    void addPort(const std::string& port);
    // Starts a download on every panel (the Download button of each).
    void startAll();
    // The Cancel button of every running panel.
    void cancelAll();
    bool anyRunning();
    bool allSucceeded();
    // The notification: prints what changed since the last one (main loop only).
    void applyPending();

private:
    friend class ConsoleProgress;

    struct Panel {
        std::string port;
        int upperBound = 100;
        int position = 0;
        bool running = false;
        bool failed = false;
        bool ended = false;
        bool cancelRequest = false;
        ConsoleProgress* progress = nullptr;
        std::vector<std::string> newTexts; // every status text since the last notification
        std::string lastText;
        bool positionChanged = false;
        bool endPending = false;
    };

    // Under the panel lock: called after a change has been recorded.
    void notifyLocked();
    void drawBarsLocked(bool force);

    OrvaneDoc& document_;
    ConsoleLoop& loop_;
    ConsoleOutput& output_;
    std::recursive_mutex lock_;
    std::vector<Panel> panels_;
    bool notificationPending_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
};
