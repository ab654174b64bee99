#pragma once
// The window's thread as the document's interface thread. A posted command is a queued
// call on the application's thread: command 104 runs the requests the loader threads
// queued. The operator's prompts are the station's dialogs, owned by the main window.
#include "app/InterfaceThread.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class OrvaneDoc;

class GuiInterfaceThread : public QObject, public InterfaceThread {
    Q_OBJECT
public:
    explicit GuiInterfaceThread(OrvaneDoc& doc);

    // The owner of the dialogs and message boxes (none: they have no owner).
    void setMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }
    QWidget* mainWindow() const { return mainWindow_; }

    bool isInterfaceThread() const override;
    void postExecuteRequests() override;
    // Emits documentChanged.
    void updateAllViews() override;

    bool readText(const std::string& caption, std::string& text, BarcodeReader::Reader* reader) override;
    bool readIpAddress(const std::string& caption, std::uint32_t& address, BarcodeReader::Reader* reader) override;
    bool askPassword(const std::string& title, std::string& password) override;
    void showMessage(const std::string& text, const std::string& caption) override;
    bool chooseModel(const std::vector<TestTree::Model*>& candidates, std::size_t& chosenIndex) override;

signals:
    // The document changed in a way the views show (tree, busy flag, current node).
    void documentChanged();

private:
    OrvaneDoc& document_;
    QPointer<QWidget> mainWindow_;
};
