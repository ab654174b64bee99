#include "app/gui/Ipv4AddressField.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {

constexpr int kBoxDigits = 3;

QLineEdit* makeBox(QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    // 0 to 255, one to three digits, or blank while being typed.
    box->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])?")), box));
    box->setMaxLength(kBoxDigits);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
    return box;
}

} // namespace

Ipv4AddressField::Ipv4AddressField(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (i > 0)
            row->addWidget(new QLabel(QStringLiteral("."), this));
        boxes_[i] = makeBox(this);
        boxes_[i]->installEventFilter(this);
        row->addWidget(boxes_[i]);
        // A box filled with its three digits hands the typing on to the next one.
        if (i + 1 < boxes_.size())
            connect(boxes_[i], &QLineEdit::textEdited, this, [this, i](const QString& text) {
                if (text.size() == kBoxDigits) {
                    moveToBox(i + 1);
                    advancedInto_ = static_cast<int>(i + 1);
                }
            });
    }
    setFocusProxy(boxes_[0]);
}

std::uint32_t Ipv4AddressField::address() const
{
    std::uint32_t address = 0;
    for (const QLineEdit* box : boxes_)
        address = (address << 8) | (box->text().toUInt() & 0xFFu);
    return address;
}

void Ipv4AddressField::setAddress(std::uint32_t address)
{
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        boxes_[i]->setText(QString::number((address >> (8 * (boxes_.size() - 1 - i))) & 0xFFu));
}

void Ipv4AddressField::clear()
{
    for (QLineEdit* box : boxes_)
        box->clear();
}

bool Ipv4AddressField::isBlank() const
{
    for (const QLineEdit* box : boxes_)
        if (!box->text().isEmpty())
            return false;
    return true;
}

void Ipv4AddressField::moveToBox(std::size_t index)
{
    boxes_[index]->setFocus();
    boxes_[index]->selectAll();
}

bool Ipv4AddressField::eventFilter(QObject* watched, QEvent* event)
{
    const int advancedInto = advancedInto_;
    if (event->type() == QEvent::KeyPress
        || (event->type() == QEvent::FocusOut && advancedInto >= 0
            && watched == boxes_[static_cast<std::size_t>(advancedInto)]))
        advancedInto_ = -1;
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Period) {
        // A box showing a lone 0 (an address of 0 is shown as 0.0.0.0) takes the
        // first digit typed in its place, wherever the operator clicked in it.
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (box && box->text() == QStringLiteral("0") && !box->hasSelectedText() && key->text().size() == 1
            && key->text().front().isDigit())
            box->clear();
        return QWidget::eventFilter(watched, event);
    }
    // A dot typed in a box moves on to the next box, as in the usual address fields. The
    // dot that follows three digits finds the typing already moved on by them, and
    // stays where it is: an address typed in full, dots included, fills the four boxes.
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (watched != boxes_[i])
            continue;
        if (static_cast<int>(i) != advancedInto && i + 1 < boxes_.size() && !boxes_[i]->text().isEmpty())
            moveToBox(i + 1);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
