#include "app/gui/ScreenshotOption.h"

#include "app/gui/MainFrame.h"
#include "app/gui/OrvaneView.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kDefaultDelayMs = 4000;
constexpr int kCaptionHeight = 26;

QString environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? QString::fromLocal8Bit(value) : QString();
}

} // namespace

QImage windowPicture(MainFrame& frame)
{
    QPixmap contents = frame.grab();
    QImage picture(contents.width(), contents.height() + kCaptionHeight, QImage::Format_RGB32);
    QPainter painter(&picture);
    QRect caption(0, 0, contents.width(), kCaptionHeight);
    QLinearGradient shade(caption.topLeft(), caption.topRight());
    shade.setColorAt(0, QColor(10, 36, 106));
    shade.setColorAt(1, QColor(166, 202, 240));
    painter.fillRect(caption, shade);
    painter.drawPixmap(QRect(5, 5, 16, 16), frame.windowIcon().pixmap(16, 16));
    QFont bold = frame.font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::white);
    painter.drawText(caption.adjusted(26, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, frame.windowTitle());
    painter.drawPixmap(0, kCaptionHeight, contents);
    return picture;
}

void armScreenshotOption(MainFrame& frame)
{
    if (environment("ORVANE_SCREENSHOT_DOWNLOAD") == QStringLiteral("1")) {
        QTimer::singleShot(0, &frame, [&frame] {
            OrvaneView& view = *frame.stationView();
            for (std::size_t i = 0; i < view.panelCount(); ++i)
                view.pressButton(i);
        });
    }
    const QString path = environment("ORVANE_SCREENSHOT");
    if (path.isEmpty())
        return;
    bool numeric = false;
    int delayMs = environment("ORVANE_SCREENSHOT_AFTER_MS").toInt(&numeric);
    if (!numeric || delayMs < 0)
        delayMs = kDefaultDelayMs;
    QTimer::singleShot(delayMs, &frame, [&frame, path] {
        if (!windowPicture(frame).save(path, "PNG"))
            std::fprintf(stderr, "orvane: cannot save %s\n", path.toLocal8Bit().constData());
        frame.close();
    });
}
