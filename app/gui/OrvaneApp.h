#pragma once
// The station program: the settings store, the one document, the interface thread and
// the main frame, in the order they start and end.
#include "app/OrvaneDoc.h"
#include "platform/SettingsStore.h"

#include <memory>
#include <string>

class GuiInterfaceThread;
class MainFrame;
class QApplication;

class OrvaneApp {
public:
    explicit OrvaneApp(const std::string& settingsPath);
    ~OrvaneApp();
    OrvaneApp(const OrvaneApp&) = delete;
    OrvaneApp& operator=(const OrvaneApp&) = delete;

    // Start-up: the frame is made, the document reloaded (tree, reader, panels, the
    // model of CurNode selected) and the window shown.
    void start();
    // Runs the event loop until the window has closed, then ends the station: the
    // loader threads are gone, CurNode is written and the tree destroyed.
    int run(QApplication& application);

    OrvaneDoc& document() { return document_; }
    MainFrame& frame() { return *frame_; }

private:
    void finish();

    platform::SettingsStore settings_;
    OrvaneDoc document_;
    std::unique_ptr<GuiInterfaceThread> interfaceThread_;
    std::unique_ptr<MainFrame> frame_;
    bool finished_ = false;
};
