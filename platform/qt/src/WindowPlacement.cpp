#include "fw/WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QStringList>
#include <QWidget>

namespace fw {

namespace {

// Larger windows or positions than this come from a damaged value, not from a screen.
constexpr std::int64_t kMaxCoordinate = 100000;
constexpr std::uint32_t kMaxShowCommand = 11;

QRect NormalRect(const WindowPlacement& p)
{
    return QRect(QPoint(p.left, p.top), QPoint(p.right - 1, p.bottom - 1));
}

} // namespace

QString FormatPlacement(const WindowPlacement& p)
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10")
        .arg(p.flags)
        .arg(p.showCmd)
        .arg(p.minX)
        .arg(p.minY)
        .arg(p.maxX)
        .arg(p.maxY)
        .arg(p.left)
        .arg(p.top)
        .arg(p.right)
        .arg(p.bottom);
}

std::optional<WindowPlacement> ParsePlacement(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(','));
    if (parts.size() != 10) {
        return std::nullopt;
    }
    std::int64_t numbers[10] = {};
    for (int i = 0; i < 10; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toLongLong(&ok, 10);
        if (!ok || numbers[i] < -kMaxCoordinate || numbers[i] > kMaxCoordinate) {
            return std::nullopt;
        }
    }
    if (numbers[0] < 0 || numbers[1] < 0 || numbers[1] > kMaxShowCommand) {
        return std::nullopt;
    }
    WindowPlacement p;
    p.flags = static_cast<std::uint32_t>(numbers[0]);
    p.showCmd = static_cast<std::uint32_t>(numbers[1]);
    p.minX = static_cast<std::int32_t>(numbers[2]);
    p.minY = static_cast<std::int32_t>(numbers[3]);
    p.maxX = static_cast<std::int32_t>(numbers[4]);
    p.maxY = static_cast<std::int32_t>(numbers[5]);
    p.left = static_cast<std::int32_t>(numbers[6]);
    p.top = static_cast<std::int32_t>(numbers[7]);
    p.right = static_cast<std::int32_t>(numbers[8]);
    p.bottom = static_cast<std::int32_t>(numbers[9]);
    if (p.right <= p.left || p.bottom <= p.top) {
        return std::nullopt;
    }
    return p;
}

WindowPlacement GetWindowPlacement(const QWidget* window)
{
    WindowPlacement p;
    const QRect normal =
        window->normalGeometry().isValid() ? window->normalGeometry() : window->geometry();
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.right() + 1;
    p.bottom = normal.bottom() + 1;
    if (window->isMinimized()) {
        p.showCmd = SW_SHOWMINIMIZED;
    } else if (window->isMaximized()) {
        p.showCmd = SW_SHOWMAXIMIZED;
    } else if (!window->isVisible()) {
        p.showCmd = SW_HIDE;
    } else {
        p.showCmd = SW_SHOWNORMAL;
    }
    return p;
}

void SetWindowPlacement(QWidget* window, const WindowPlacement& p)
{
    QRect rect = NormalRect(p);
    // A rectangle left on a screen that is gone is brought back onto the primary one.
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens()) {
        onScreen = onScreen || screen->availableGeometry().intersects(rect);
    }
    if (!onScreen && QGuiApplication::primaryScreen() != nullptr) {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        rect.setSize(rect.size().boundedTo(available.size()));
        rect.moveTopLeft(available.topLeft());
    }
    window->setGeometry(rect);
    switch (p.showCmd) {
    case SW_HIDE:
        window->hide();
        break;
    case SW_SHOWMINIMIZED:
        window->showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        window->showMaximized();
        break;
    default:
        if ((p.flags & WPF_RESTORETOMAXIMIZED) != 0 && p.showCmd == SW_RESTORE) {
            window->showMaximized();
        } else {
            window->showNormal();
        }
        break;
    }
}

} // namespace fw
