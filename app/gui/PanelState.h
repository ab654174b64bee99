#pragma once
// What one download panel shows, shared between its loader thread and the interface
// thread; every field is guarded by the station view's lock.
#include <string>

class ThreadProgress;

struct PanelState {
    // Bits of pendingChanges: what the interface thread has still to show.
    static constexpr unsigned kRangeChanged = 1;
    static constexpr unsigned kPositionChanged = 2;
    static constexpr unsigned kTextChanged = 4;
    static constexpr unsigned kButtonChanged = 8;

    std::string portName;
    int upperBound = 100;
    int position = 0;
    std::string statusText;
    bool running = false;
    bool failed = false; // the last download ended in failure
    unsigned pendingChanges = 0;
    bool cancelRequest = false;
    // The running job's progress object (owned by the job); none while no job runs.
    ThreadProgress* progress = nullptr;
};
