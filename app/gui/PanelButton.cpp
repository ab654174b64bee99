#include "app/gui/PanelButton.h"

#include "app/gui/OrvaneView.h"

#include <QKeyEvent>
#include <QPainter>

#include <mutex>

namespace {

const QColor kRaisedEdge(255, 255, 255);
const QColor kShadowEdge(128, 128, 128);
constexpr int kPressedOffset = 2;

// One one-pixel frame inset pixels inside the button: top and left edges in one
// colour, bottom and right edges in the other.
void drawFrame(QPainter& painter, const QRect& whole, int inset, const QColor& topLeft, const QColor& bottomRight)
{
    QRect r = whole.adjusted(inset, inset, -inset, -inset);
    painter.setPen(topLeft);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

PanelButton::PanelButton(OrvaneView& view, std::size_t panel, const QString& text, QWidget* parent)
    : QPushButton(text, parent), view_(view), panel_(panel)
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
}

QColor PanelButton::faceColour(bool running, bool failed)
{
    if (running)
        return QColor(255, 255, 0);
    if (failed)
        return QColor(255, 0, 0);
    return QColor(0, 255, 0);
}

void PanelButton::paintEvent(QPaintEvent*)
{
    std::scoped_lock lock(view_.viewLock_);
    bool running = false, failed = false;
    if (panel_ < view_.panels_.size()) {
        running = view_.panels_[panel_].running;
        failed = view_.panels_[panel_].failed;
    }
    const bool pressed = isDown();
    const QRect whole = rect();
    QPainter painter(this);

    painter.fillRect(whole, faceColour(running, failed));

    QRect textRect = whole;
    if (pressed)
        textRect.translate(kPressedOffset, kPressedOffset);
    painter.setPen(Qt::black);
    painter.setFont(font());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text());

    if (hasFocus()) {
        // Left and top edges 6 pixels inside, right and bottom edges 7 pixels inside.
        QRect focus(QPoint(6, 6), QPoint(whole.right() - 7, whole.bottom() - 7));
        if (pressed)
            focus.translate(kPressedOffset, kPressedOffset);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(focus.adjusted(0, 0, -1, -1));
    }

    const QColor& topLeft = pressed ? kShadowEdge : kRaisedEdge;
    const QColor& bottomRight = pressed ? kRaisedEdge : kShadowEdge;
    drawFrame(painter, whole, 0, topLeft, bottomRight);
    drawFrame(painter, whole, 1, topLeft, bottomRight);
}

void PanelButton::focusInEvent(QFocusEvent* event)
{
    QPushButton::focusInEvent(event);
    // The focused panel's button is the one Enter presses.
    view_.setDefaultPanel(panel_);
}

void PanelButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}
