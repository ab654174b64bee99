#pragma once
// A station window on a workspace of its own: a terminals directory with an Intel HEX
// model, the files it names and a settings file; the document and the main frame.
#include "app/OrvaneDoc.h"
#include "app/gui/MainFrame.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <QColor>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class StationWorkspace {
public:
    StationWorkspace();
    // Writes the settings file: the given ports in Puertos, CurNode as given.
    void writeSettings(const std::string& ports, const std::string& curNode = "Halvorin\\HX200");
    // Makes the application file longer: 20000 lines last minutes at 9600 bit/s;
    // a few thousand outlast what a pseudo-terminal buffers by seconds at 115200.
    void makeLongApplication(int lines = 20000);
    std::string settingsPath() const { return dir.file("orvane.conf"); }
    // What a terminal receives from a whole load.
    std::string streamed() const;

    TempDir dir;
    std::string config;
    std::string app;
};

class StationWindow {
public:
    explicit StationWindow(const StationWorkspace& workspace);
    ~StationWindow();

    OrvaneView& view() { return *frame->stationView(); }
    // The colour the panel's button is painted in, taken inside its borders.
    QColor buttonFace(std::size_t panel);

    platform::SettingsStore settings;
    OrvaneDoc document;
    std::unique_ptr<MainFrame> frame;
};

// Runs the event loop until the condition holds or limitMs passed; the condition's
// final answer.
bool processEventsUntil(const std::function<bool()>& condition, int limitMs = 30000);
