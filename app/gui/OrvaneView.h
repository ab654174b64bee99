#pragma once
// The station view: one panel per port of the Puertos setting, each with the port's
// name, a progress bar, a status text and a Download/Cancel button. A press starts a
// download job on the port, or asks the running one to cancel. Jobs report through a
// ThreadProgress under the view lock; the interface thread shows their changes when
// the one posted notification arrives.
#include "app/gui/PanelRowTemplate.h"
#include "app/gui/PanelState.h"

#include <QScrollArea>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <vector>

class OrvaneDoc;
class PanelButton;
class QLabel;
class QProgressBar;

class OrvaneView : public QScrollArea {
    Q_OBJECT
public:
    explicit OrvaneView(OrvaneDoc& document, QWidget* parent = nullptr);
    ~OrvaneView() override;

    // Rebuilds every panel from Puertos. Jobs find their panel by index, so nothing is
    // rebuilt while a panel runs: false then.
    bool initialUpdate();

    // The panel's button was pressed: start a download, or cancel the running one.
    void pressButton(std::size_t panel);
    // Cancels every running download, as its Cancel press would.
    void cancelAll();
    bool anyRunning();

    // Gives the keyboard focus to the button Enter presses (the pane becomes active).
    void focusPane();
    void setDefaultPanel(std::size_t panel);
    std::size_t defaultPanel() const { return defaultPanel_; }

    std::size_t panelCount() const { return controls_.size(); }
    QLabel* portLabel(std::size_t panel) const { return controls_.at(panel).label; }
    QProgressBar* progressBar(std::size_t panel) const { return controls_.at(panel).progress; }
    QLabel* statusText(std::size_t panel) const { return controls_.at(panel).status; }
    PanelButton* button(std::size_t panel) const { return controls_.at(panel).button; }
    bool panelRunning(std::size_t panel);
    bool panelFailed(std::size_t panel);
    const PanelRowTemplate& rowTemplate() const { return template_; }
    // How many notifications loader threads have posted so far.
    std::size_t notificationsPosted() const { return notificationsPosted_.load(); }

signals:
    // The document's busy flag was set or cleared here.
    void busyChanged(bool busy);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class ThreadProgress;
    friend class PanelButton;

    struct PanelControls {
        QLabel* label = nullptr;
        QProgressBar* progress = nullptr;
        QLabel* status = nullptr;
        PanelButton* button = nullptr;
    };

    void createPanel(std::size_t index, const std::string& port);
    // Under the view lock: records that the panel has changes to show; posts the
    // notification when no panel had any yet.
    void raiseLocked(std::size_t panel, unsigned bits);
    // The notification: shows every panel's pending changes in one pass.
    void applyPendingChanges();
    void showChanges(std::size_t panel, const PanelState& state);
    bool anyRunningLocked() const;
    void stretchRows();
    void setBusy(bool busy);

    OrvaneDoc& document_;
    std::recursive_mutex viewLock_;
    std::vector<PanelState> panels_;
    std::vector<PanelControls> controls_;
    PanelRowTemplate template_;
    QWidget* form_;
    std::size_t defaultPanel_ = 0;
    std::atomic<std::size_t> notificationsPosted_{0};
};
