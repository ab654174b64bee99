#include "guidialogs/ModalScript.h"

#include <QDateTime>

#include <gtest/gtest.h>

ModalScript::ModalScript(int limitMs) : deadline_(QDateTime::currentMSecsSinceEpoch() + limitMs)
{
    poller_.setInterval(10);
    QObject::connect(&poller_, &QTimer::timeout, [this] { poll(); });
    poller_.start();
}

ModalScript::~ModalScript()
{
    poller_.stop();
}

void ModalScript::poll()
{
    QWidget* active = QApplication::activeModalWidget();
    if (!active)
        return;
    if (QDateTime::currentMSecsSinceEpoch() > deadline_) {
        ADD_FAILURE() << "a dialog was left open: " << active->windowTitle().toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(active))
            dialog->reject();
        return;
    }
    if (steps_.empty())
        return;
    // The same dialog is handed to the next step only once the last action has ended.
    if (running_ && active == lastDialog_)
        return;
    QWidget* dialog = steps_.front().match(active);
    if (!dialog || !dialog->isVisible())
        return;
    auto act = std::move(steps_.front().act);
    steps_.pop_front();
    running_ = true;
    lastDialog_ = dialog;
    // Run as an event of its own: an action that opens a nested dialog must not keep
    // this timer from answering that dialog.
    QTimer::singleShot(0, dialog, [this, act, dialog] {
        act(dialog);
        running_ = false;
    });
}
