#include "app/gui/OrvaneView.h"

#include "app/OrvaneDoc.h"
#include "app/gui/PanelButton.h"
#include "app/gui/PortList.h"
#include "app/gui/StationText.h"
#include "app/gui/ThreadProgress.h"
#include "comm/TareaPort.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QResizeEvent>

#include <exception>
#include <limits>
#include <memory>

namespace {

constexpr std::size_t kNoPanel = std::numeric_limits<std::size_t>::max();

QString buttonText(bool running)
{
    return running ? QStringLiteral("Cancel") : QStringLiteral("Download");
}

// A progress bar with an empty range would show a busy animation; the station's bar
// then stays empty instead. Positions outside the range are shown at its ends.
void showProgress(QProgressBar* bar, int upperBound, int position)
{
    int top = upperBound > 0 ? upperBound : 1;
    int value = upperBound > 0 ? position : 0;
    if (value < 0)
        value = 0;
    if (value > top)
        value = top;
    bar->setRange(0, top);
    bar->setValue(value);
}

} // namespace

OrvaneView::OrvaneView(OrvaneDoc& document, QWidget* parent)
    : QScrollArea(parent), document_(document), form_(new QWidget)
{
    setWidget(form_);
    setWidgetResizable(false);
    setFocusPolicy(Qt::StrongFocus);
    template_ = PanelRowTemplate::forFont(font());
    form_->resize(template_.row.width(), 0);
}

OrvaneView::~OrvaneView()
{
    // Jobs report to the panels until their threads end; none may outlive them.
    if (anyRunning()) {
        document_.setClosing(true);
        cancelAll();
    }
    document_.waitForLoaderThreads();
}

bool OrvaneView::initialUpdate()
{
    std::scoped_lock lock(viewLock_);
    if (anyRunningLocked())
        return false;
    for (PanelControls& c : controls_) {
        delete c.label;
        delete c.progress;
        delete c.status;
        delete c.button;
    }
    controls_.clear();
    panels_.clear();
    defaultPanel_ = kNoPanel;

    template_ = PanelRowTemplate::forFont(font());
    PortList list = parsePortList(document_.readSetting("Puertos"));
    for (const std::string& port : list.ports) {
        createPanel(panels_.size(), port);
        PanelState state;
        state.portName = port;
        panels_.push_back(std::move(state));
    }
    if (list.firstPieceIsPort)
        defaultPanel_ = 0;
    form_->resize(template_.row.width(), template_.row.height() * static_cast<int>(panels_.size()));
    if (!window()->isMinimized())
        stretchRows();
    return true;
}

void OrvaneView::createPanel(std::size_t index, const std::string& port)
{
    const int offset = template_.row.height() * static_cast<int>(index);
    const int firstId = static_cast<int>(index) * 4 + 1;
    PanelControls c;

    c.label = new QLabel(form_);
    c.label->setGeometry(template_.label.translated(0, offset));
    c.label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QString name = toQtText(port);
    // A long device path keeps its end, the device's own name, in sight.
    c.label->setText(c.label->fontMetrics().elidedText(name, Qt::ElideLeft, template_.label.width()));
    c.label->setToolTip(name);

    c.progress = new QProgressBar(form_);
    c.progress->setGeometry(template_.progress.translated(0, offset));
    c.progress->setTextVisible(false);
    showProgress(c.progress, 100, 0);

    c.status = new QLabel(form_);
    c.status->setGeometry(template_.status.translated(0, offset));
    c.status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    c.button = new PanelButton(*this, index, buttonText(false), form_);
    c.button->setGeometry(template_.button.translated(0, offset));
    connect(c.button, &QPushButton::clicked, this, [this, index] { pressButton(index); });

    QWidget* controls[] = {c.label, c.progress, c.status, c.button};
    for (int role = 0; role < 4; ++role) {
        controls[role]->setProperty("controlId", firstId + role);
        controls[role]->show();
    }
    controls_.push_back(c);
}

void OrvaneView::pressButton(std::size_t panel)
{
    std::scoped_lock lock(viewLock_);
    if (panel >= panels_.size())
        return;
    PanelState& p = panels_[panel];
    if (p.running) {
        p.cancelRequest = true;
        // The job clears p.progress under this lock before it destroys the object and
        // its ports, so both are alive here.
        if (p.progress && p.progress->port())
            p.progress->port()->abortWaits();
        return;
    }
    if (document_.closing())
        return; // no new download once the station is closing
    const bool wasRunning = anyRunningLocked();
    p.cancelRequest = false;
    p.running = true;
    p.failed = false;
    controls_[panel].button->setText(buttonText(true));
    auto progress = std::make_unique<ThreadProgress>(*this, panel);
    p.progress = progress.get();
    try {
        document_.startDownload(p.portName, std::move(progress));
    } catch (const std::exception&) {
        // The progress object went with the job that could not start; its panel
        // has been marked failed.
    }
    if (!wasRunning)
        setBusy(true);
}

void OrvaneView::cancelAll()
{
    std::scoped_lock lock(viewLock_);
    for (std::size_t i = 0; i < panels_.size(); ++i)
        if (panels_[i].running)
            pressButton(i);
}

bool OrvaneView::anyRunning()
{
    std::scoped_lock lock(viewLock_);
    return anyRunningLocked();
}

bool OrvaneView::anyRunningLocked() const
{
    for (const PanelState& p : panels_)
        if (p.running)
            return true;
    return false;
}

bool OrvaneView::panelRunning(std::size_t panel)
{
    std::scoped_lock lock(viewLock_);
    return panels_.at(panel).running;
}

bool OrvaneView::panelFailed(std::size_t panel)
{
    std::scoped_lock lock(viewLock_);
    return panels_.at(panel).failed;
}

void OrvaneView::focusPane()
{
    if (defaultPanel_ < controls_.size())
        controls_[defaultPanel_].button->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

void OrvaneView::setDefaultPanel(std::size_t panel)
{
    if (panel < controls_.size())
        defaultPanel_ = panel;
}

void OrvaneView::raiseLocked(std::size_t panel, unsigned bits)
{
    bool anyPending = false;
    for (const PanelState& p : panels_)
        anyPending = anyPending || p.pendingChanges != 0;
    panels_[panel].pendingChanges |= bits;
    if (anyPending)
        return; // the notification already on its way picks this change up too
    ++notificationsPosted_;
    QMetaObject::invokeMethod(this, &OrvaneView::applyPendingChanges, Qt::QueuedConnection);
}

void OrvaneView::applyPendingChanges()
{
    std::scoped_lock lock(viewLock_);
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        showChanges(i, panels_[i]);
        panels_[i].pendingChanges = 0;
    }
    if (!anyRunningLocked())
        setBusy(false);
}

void OrvaneView::showChanges(std::size_t panel, const PanelState& p)
{
    const PanelControls& c = controls_[panel];
    if (p.pendingChanges & (PanelState::kRangeChanged | PanelState::kPositionChanged))
        showProgress(c.progress, p.upperBound, p.position);
    if (p.pendingChanges & PanelState::kTextChanged)
        c.status->setText(toQtText(p.statusText));
    if (p.pendingChanges & PanelState::kButtonChanged) {
        c.button->setText(buttonText(p.running));
        c.button->update(); // its colour follows the state even when the text stays
    }
}

void OrvaneView::setBusy(bool busy)
{
    document_.setBusy(busy);
    emit busyChanged(busy);
}

void OrvaneView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (!window()->isMinimized())
        stretchRows();
}

// Rows grow with the view: the progress bars and status texts widen by what the view
// has beyond the row's width and the buttons move right by as much. A narrower view
// leaves the controls where the last widening put them.
void OrvaneView::stretchRows()
{
    if (controls_.empty())
        return;
    const int extra = viewport()->width() - template_.row.width();
    if (extra <= 0)
        return;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const int offset = template_.row.height() * static_cast<int>(i);
        const PanelControls& c = controls_[i];
        c.progress->setGeometry(template_.progress.translated(0, offset).adjusted(0, 0, extra, 0));
        c.status->setGeometry(template_.status.translated(0, offset).adjusted(0, 0, extra, 0));
        c.button->setGeometry(template_.button.translated(extra, offset));
    }
    form_->resize(template_.row.width() + extra, template_.row.height() * static_cast<int>(controls_.size()));
}

void OrvaneView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && defaultPanel_ < controls_.size()) {
        controls_[defaultPanel_].button->click();
        return;
    }
    QScrollArea::keyPressEvent(event);
}
