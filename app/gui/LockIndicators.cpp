#include "app/gui/LockIndicators.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr int kRefreshMs = 500;

const char* suffixOf(KeyboardLock lock)
{
    switch (lock) {
    case KeyboardLock::Caps:
        return "::capslock";
    case KeyboardLock::Num:
        return "::numlock";
    case KeyboardLock::Scroll:
        return "::scrolllock";
    }
    return "";
}

bool endsWith(const char* text, const char* suffix)
{
    std::size_t t = std::strlen(text), s = std::strlen(suffix);
    return t >= s && std::strcmp(text + t - s, suffix) == 0;
}

// The light's brightness: a decimal number, 0 when off; nothing when it cannot be read.
std::optional<bool> lightLit(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char text[16] = {};
    ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0 || text[0] < '0' || text[0] > '9')
        return std::nullopt;
    return std::strtol(text, nullptr, 10) != 0;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

std::optional<bool> keyboardLockState(const std::string& ledsDir, KeyboardLock lock)
{
    std::unique_ptr<DIR, DirCloser> dir(::opendir(ledsDir.c_str()));
    if (!dir)
        return std::nullopt;
    std::optional<bool> state;
    while (dirent* entry = ::readdir(dir.get())) {
        if (!endsWith(entry->d_name, suffixOf(lock)))
            continue;
        std::optional<bool> lit = lightLit(ledsDir + "/" + entry->d_name + "/brightness");
        if (lit)
            state = state.value_or(false) || *lit;
    }
    return state;
}

LockIndicators::LockIndicators(QStatusBar* statusBar, std::string ledsDir)
    : QObject(statusBar), ledsDir_(std::move(ledsDir)), caps_(new QLabel(QStringLiteral("MAY"))),
      num_(new QLabel(QStringLiteral("NUM"))), scroll_(new QLabel(QStringLiteral("DESP"))),
      timer_(new QTimer(this))
{
    for (QLabel* pane : {caps_, num_, scroll_}) {
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("DESP")) + 12);
        statusBar->addPermanentWidget(pane);
    }
    refresh();
    connect(timer_, &QTimer::timeout, this, &LockIndicators::refresh);
    timer_->start(kRefreshMs);
}

QLabel* LockIndicators::pane(KeyboardLock lock) const
{
    switch (lock) {
    case KeyboardLock::Caps:
        return caps_;
    case KeyboardLock::Num:
        return num_;
    case KeyboardLock::Scroll:
        return scroll_;
    }
    return nullptr;
}

void LockIndicators::refresh()
{
    for (KeyboardLock lock : {KeyboardLock::Caps, KeyboardLock::Num, KeyboardLock::Scroll})
        pane(lock)->setEnabled(keyboardLockState(ledsDir_, lock).value_or(false));
}
