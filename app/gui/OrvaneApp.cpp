#include "app/gui/OrvaneApp.h"

#include "app/gui/GuiInterfaceThread.h"
#include "app/gui/MainFrame.h"
#include "app/gui/ScreenshotOption.h"

#include <QApplication>

OrvaneApp::OrvaneApp(const std::string& settingsPath) : settings_(settingsPath), document_(settings_)
{
}

OrvaneApp::~OrvaneApp()
{
    finish();
}

void OrvaneApp::start()
{
    // Requests of the loader threads and the operator's prompts run on this thread,
    // with the main window owning the dialogs.
    interfaceThread_ = std::make_unique<GuiInterfaceThread>(document_);
    document_.setInterfaceThread(interfaceThread_.get());
    frame_ = std::make_unique<MainFrame>(document_);
    interfaceThread_->setMainWindow(frame_.get());
    QObject::connect(interfaceThread_.get(), &GuiInterfaceThread::documentChanged, frame_.get(),
                     &MainFrame::updateAllViews);
    frame_->reloadDocument();
    frame_->show();
    armScreenshotOption(*frame_);
}

int OrvaneApp::run(QApplication& application)
{
    int status = application.exec();
    finish();
    return status;
}

void OrvaneApp::finish()
{
    if (finished_)
        return;
    finished_ = true;
    // Every job has finished by now (the window closed only then); their threads may
    // still be tidying up, and they use the panels until they have.
    document_.setClosing(true);
    document_.waitForLoaderThreads();
    frame_.reset();
    document_.close();
    document_.setInterfaceThread(nullptr);
}
