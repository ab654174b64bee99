#pragma once
// The station's main window: the terminal types tree on the left, the download panels
// on the right, the menu and a status bar with the message pane and the keyboard lock
// panes. The caption follows the document's current node. Closing waits, with the
// window still answering, until the running downloads have ended.
#include <QMainWindow>

#include <functional>

class AboutDialog;
class LeftView;
class LockIndicators;
class OrvaneDoc;
class OrvaneView;
class QAction;
class QLabel;
class QSplitter;

class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr long kClosingPassLimit = 1000000;
    static constexpr int kTreeWidth = 259;
    static constexpr int kPanelsWidth = 800;

    explicit MainFrame(OrvaneDoc& document, QWidget* parent = nullptr);
    ~MainFrame() override;

    LeftView* leftView() const { return leftView_; }
    OrvaneView* stationView() const { return stationView_; }
    QSplitter* splitter() const { return splitter_; }
    QLabel* messagePane() const { return messagePane_; }
    LockIndicators* lockIndicators() const { return lockIndicators_; }
    QAction* reloadAction() const { return reloadAction_; }
    QAction* signerPasswordAction() const { return signerPasswordAction_; }
    QAction* configurationAction() const { return configurationAction_; }
    QAction* searchAction() const { return searchAction_; }
    QAction* exitAction() const { return exitAction_; }
    QAction* aboutAction() const { return aboutAction_; }

    // The caption for the document's title.
    static QString captionFor(const QString& documentTitle);

    // Reload of the document (start-up and Ctrl+N): the tree, the reader and the panels
    // are made afresh. Running jobs use all three, so nothing happens while a download
    // runs or the station is closing: false then.
    bool reloadDocument();

    // The configuration command: refused while a download runs; the password gate, then
    // the modal sheet; the reload is posted when the sheet closes, however it closes.
    void openConfiguration();

    // How many passes the closing waits for the downloads, and what ends the process
    // when they outlast them (exit status -1).
    void setClosingPassLimit(long passes) { closingPassLimit_ = passes; }
    void setTerminate(std::function<void(int)> terminate) { terminate_ = std::move(terminate); }

public slots:
    // The document changed (tree, busy flag, current node): the views and the caption
    // follow it.
    void updateAllViews();
    void nextPane();
    void previousPane();
    void showAbout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenu();
    void createStatusBar();
    void createPanes();
    void updateCaption();
    void searchForEquipment();
    void askSignerPassword();
    void moveFocusOffTree();
    // Sets the closing flag, cancels the running downloads and keeps the window
    // answering until they have ended; false when they outlast the pass limit.
    bool waitForDownloadsToEnd();

    OrvaneDoc& document_;
    LeftView* leftView_ = nullptr;
    OrvaneView* stationView_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QLabel* messagePane_ = nullptr;
    LockIndicators* lockIndicators_ = nullptr;
    QAction* reloadAction_ = nullptr;
    QAction* signerPasswordAction_ = nullptr;
    QAction* configurationAction_ = nullptr;
    QAction* searchAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    long closingPassLimit_ = kClosingPassLimit;
    std::function<void(int)> terminate_;
    bool closingInProgress_ = false;
};
