#include "app/gui/MainFrame.h"

#include "app/OrvaneDoc.h"
#include "app/gui/AboutDialog.h"
#include "app/gui/ConfigurationCommand.h"
#include "app/gui/LeftView.h"
#include "app/gui/LockIndicators.h"
#include "app/gui/OrvaneView.h"
#include "app/gui/ProgramIcon.h"
#include "app/gui/StationText.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>

#include <cstdlib>

namespace {

const QString kWindowTitle = QStringLiteral("Corvantis factory download");

QAction* menuItem(QMenu* menu, const QString& text, const QString& prompt)
{
    QAction* action = menu->addAction(text);
    action->setStatusTip(prompt);
    return action;
}

} // namespace

MainFrame::MainFrame(OrvaneDoc& document, QWidget* parent)
    : QMainWindow(parent), document_(document), terminate_([](int status) { std::_Exit(status); })
{
    setWindowIcon(programIcon());
    createStatusBar();
    createPanes();
    createMenu();
    updateCaption();
    resize(kTreeWidth + kPanelsWidth + splitter_->handleWidth(), 420);
}

MainFrame::~MainFrame() = default;

QString MainFrame::captionFor(const QString& documentTitle)
{
    return documentTitle + QStringLiteral(" - ") + kWindowTitle;
}

void MainFrame::createStatusBar()
{
    messagePane_ = new QLabel(QStringLiteral("Ready"));
    // A menu prompt hides the pane while it is shown; the pane comes back after it.
    statusBar()->addWidget(messagePane_, 1);
    lockIndicators_ = new LockIndicators(statusBar());
}

void MainFrame::createPanes()
{
    splitter_ = new QSplitter(Qt::Horizontal, this);
    leftView_ = new LeftView(document_, splitter_);
    stationView_ = new OrvaneView(document_, splitter_);
    splitter_->addWidget(leftView_);
    splitter_->addWidget(stationView_);
    splitter_->setChildrenCollapsible(false);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({kTreeWidth, kPanelsWidth});
    setCentralWidget(splitter_);

    connect(leftView_, &LeftView::currentNodeChanged, this, &MainFrame::updateCaption);
    connect(leftView_, &LeftView::focusNextPaneRequested, this, &MainFrame::moveFocusOffTree);
    connect(stationView_, &OrvaneView::busyChanged, this, &MainFrame::updateAllViews);
}

void MainFrame::createMenu()
{
    QMenu* download = menuBar()->addMenu(QStringLiteral("&Download"));
    signerPasswordAction_ = menuItem(download, QStringLiteral("Signer password"),
                                     QStringLiteral("Enter the User password of the Signing tool"));
    connect(signerPasswordAction_, &QAction::triggered, this, &MainFrame::askSignerPassword);
    configurationAction_ =
        menuItem(download, QStringLiteral("&Configuration"), QStringLiteral("Program comfiguration"));
    connect(configurationAction_, &QAction::triggered, this, &MainFrame::openConfiguration);
    download->addSeparator();
    searchAction_ = menuItem(download, QStringLiteral("&Search  for Equipment"),
                             QStringLiteral("To look for equipment by code or description"));
    connect(searchAction_, &QAction::triggered, this, &MainFrame::searchForEquipment);
    download->addSeparator();
    exitAction_ = menuItem(download, QStringLiteral("&Exit"), QStringLiteral("Application exit; save open documents"));
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    aboutAction_ = menuItem(help, QStringLiteral("&About Orvane..."),
                            QStringLiteral("Display program information, version number and copyright"));
    connect(aboutAction_, &QAction::triggered, this, &MainFrame::showAbout);

    // Commands without a menu item: reload and moving between the two panes.
    reloadAction_ = new QAction(QStringLiteral("New"), this);
    reloadAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(reloadAction_, &QAction::triggered, this, &MainFrame::reloadDocument);
    auto* next = new QAction(QStringLiteral("Next pane"), this);
    next->setShortcut(QKeySequence(Qt::Key_F6));
    connect(next, &QAction::triggered, this, &MainFrame::nextPane);
    auto* previous = new QAction(QStringLiteral("Previous pane"), this);
    previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previous, &QAction::triggered, this, &MainFrame::previousPane);
    for (QAction* action : {reloadAction_, next, previous}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
}

void MainFrame::openConfiguration()
{
    if (OrvaneDoc::processBusy() || document_.busy())
        return;
    if (runConfigurationCommand(document_.settings(), this))
        QMetaObject::invokeMethod(this, &MainFrame::reloadDocument, Qt::QueuedConnection);
}

bool MainFrame::reloadDocument()
{
    if (closingInProgress_ || document_.closing() || document_.busy() || stationView_->anyRunning())
        return false;
    leftView_->clear(); // its items point to the nodes the reload destroys
    document_.reload();
    leftView_->initialUpdate();
    stationView_->initialUpdate();
    updateAllViews();
    return true;
}

void MainFrame::updateAllViews()
{
    leftView_->updateFromDocument();
    updateCaption();
}

void MainFrame::updateCaption()
{
    setWindowTitle(captionFor(toQtText(document_.title())));
}

void MainFrame::nextPane()
{
    if (leftView_->hasFocus() || !leftView_->isEnabled())
        stationView_->focusPane();
    else
        leftView_->setFocus(Qt::TabFocusReason);
}

void MainFrame::previousPane()
{
    // Two panes: the previous one is the next one.
    nextPane();
}

void MainFrame::moveFocusOffTree()
{
    if (leftView_->isEnabled())
        return;
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus->window() != this || stationView_->isAncestorOf(focus)))
        return; // a dialog has it, or the panels already have it
    stationView_->focusPane();
}

void MainFrame::showAbout()
{
    AboutDialog about(this);
    about.exec();
}

void MainFrame::askSignerPassword()
{
    document_.askSignerPassword();
}

void MainFrame::searchForEquipment()
{
    // Nothing happens while a download runs; a model found becomes the current node,
    // which the tree and the caption then show.
    document_.searchModel();
    updateAllViews();
}

bool MainFrame::waitForDownloadsToEnd()
{
    document_.setClosing(true);
    // Every job's cancel test is now true; waking their port waits lets them see it
    // at once instead of at the end of a read or write limit.
    stationView_->cancelAll();
    for (long pass = 0; document_.busy() && pass < closingPassLimit_; ++pass) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::yieldCurrentThread();
    }
    return !document_.busy();
}

void MainFrame::closeEvent(QCloseEvent* event)
{
    if (closingInProgress_) {
        event->ignore(); // already waiting for the downloads to end
        return;
    }
    closingInProgress_ = true;
    if (!waitForDownloadsToEnd()) {
        event->ignore();
        terminate_(-1);
        return;
    }
    event->accept();
}
