#include "StationFixture.h"

#include "app/gui/OrvaneView.h"
#include "app/gui/PanelButton.h"
#include "support/LoadFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTest>
#include <QThread>

StationWorkspace::StationWorkspace()
{
    dir.mkdir("terminals/Halvorin");
    dir.mkdir("terminals/Veltrano/Counter");
    dir.mkdir("apps");
    config = hexLines(20, 1) + ":00000001FF\r\n";
    app = hexLines(60, 2) + ":00000001FF\r\n";
    dir.write("apps/config.hex", config);
    dir.write("apps/app.hex", app);
    dir.write("terminals/Halvorin/HX200.app", "[MODEL]\nCODE=HX200\nDESC=Desk unit\n[SYSTEM]\nPROTOCOL=INTELHEX\n"
                                              "CONFIG=config.hex\n[COMMUNICATION]\nBIOS=115200,N,8,1\n[APP]\n"
                                              "PROGRAM=app.hex\n");
    dir.write("terminals/Halvorin/HX300.app", "[MODEL]\nDESC=Portable unit\n");
    dir.write("terminals/Veltrano/Counter/VC1.app", "[MODEL]\nCODE=VC1\n");
    dir.write("terminals/Loose.app", "");
    writeSettings("");
}

void StationWorkspace::writeSettings(const std::string& ports, const std::string& curNode)
{
    dir.write("orvane.conf", "[Settings]\nDirEqui=" + dir.file("terminals") + "\nDirAplic=" + dir.file("apps") +
                                 "\nCurNode=" + curNode + "\nPuertos=" + ports + "\n");
}

void StationWorkspace::makeLongApplication(int lines)
{
    app = hexLines(lines, 3) + ":00000001FF\r\n";
    dir.write("apps/app.hex", app);
}

std::string StationWorkspace::streamed() const
{
    return config.substr(0, config.size() - 13) + app;
}

StationWindow::StationWindow(const StationWorkspace& workspace)
    : settings(workspace.settingsPath()), document(settings), frame(std::make_unique<MainFrame>(document))
{
    frame->reloadDocument();
    frame->show();
    frame->activateWindow();
    (void)QTest::qWaitForWindowActive(frame.get()); // offscreen windows become active at once
}

StationWindow::~StationWindow()
{
    // Jobs still running end as cancelled; the panels they use go only after them.
    document.setClosing(true);
    view().cancelAll();
    processEventsUntil([&] { return !view().anyRunning(); }, 20000);
    document.waitForLoaderThreads();
    frame.reset();
}

QColor StationWindow::buttonFace(std::size_t panel)
{
    QImage image = view().button(panel)->grab().toImage();
    return image.pixelColor(3, 3);
}

bool processEventsUntil(const std::function<bool()>& condition, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limitMs)
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}
