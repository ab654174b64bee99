#pragma once
// Drives the modal dialogs a test opens: each step waits for a modal dialog of its type
// to be the active one and then acts on it from inside the dialog's own event loop.
// Actions run one after another, and an action may open a further dialog that the next
// step answers. A dialog still open after the limit is cancelled and the test fails,
// so that a broken test ends instead of waiting for an operator.
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

class ModalScript {
public:
    explicit ModalScript(int limitMs = 30000);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    template <class Dialog>
    ModalScript& then(std::function<void(Dialog&)> action)
    {
        steps_.push_back({[](QWidget* widget) -> QWidget* { return qobject_cast<Dialog*>(widget); },
                          [action](QWidget* widget) { action(*static_cast<Dialog*>(widget)); }});
        return *this;
    }

    // True once every step has run to its end.
    bool done() const { return steps_.empty() && !running_; }

private:
    struct Step {
        std::function<QWidget*(QWidget*)> match;
        std::function<void(QWidget*)> act;
    };
    void poll();

    std::deque<Step> steps_;
    QTimer poller_;
    qint64 deadline_ = 0;
    bool running_ = false;          // the last action started and has not ended
    QPointer<QWidget> lastDialog_;  // the dialog the last action was given
};
