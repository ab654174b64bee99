#pragma once
// The Caps, Num and Scroll lock panes of the status bar ("MAY", "NUM", "DESP"): the
// text is shown dark while the lock is on and greyed while it is off or unknown. The
// states come from the keyboard lock lights the kernel exposes under /sys/class/leds.
#include <QObject>
#include <QString>

#include <optional>
#include <string>

class QLabel;
class QStatusBar;
class QTimer;

enum class KeyboardLock { Caps, Num, Scroll };

// The state of a lock light found below ledsDir (any "<device>::capslock" and the
// like): on when any such light is lit; nothing when there is none to read.
std::optional<bool> keyboardLockState(const std::string& ledsDir, KeyboardLock lock);

class LockIndicators : public QObject {
    Q_OBJECT
public:
    // Adds the three panes to the right of the status bar.
    explicit LockIndicators(QStatusBar* statusBar, std::string ledsDir = "/sys/class/leds");

    QLabel* pane(KeyboardLock lock) const;
    // Reads the lock lights again and shows them.
    void refresh();

private:
    std::string ledsDir_;
    QLabel* caps_;
    QLabel* num_;
    QLabel* scroll_;
    QTimer* timer_;
};
