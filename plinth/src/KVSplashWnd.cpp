#include "plinth/KVSplashWnd.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

CKVSplashWnd::CKVSplashWnd() = default;

CKVSplashWnd::~CKVSplashWnd()
{
    DestroyWindow();
}

bool CKVSplashWnd::Create(const QString& title, const QString& subtitle, const QString& notice,
                          int /*bitmapId*/, bool border, const QString& version, QWidget* owner)
{
    if (Exists() || owner == nullptr) {
        return false;
    }
    auto* window = new QFrame(owner, Qt::SplashScreen | Qt::FramelessWindowHint);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setFrameShape(border ? QFrame::Box : QFrame::NoFrame);
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(0xf4, 0xf1, 0xe8));
    window->setPalette(palette);

    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(28, 24, 28, 20);
    auto* icon = new QLabel(window);
    icon->setPixmap(owner->windowIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto* name = new QLabel(title, window);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    for (const QString& line : {subtitle, version, notice}) {
        if (!line.isEmpty()) {
            auto* label = new QLabel(line, window);
            label->setAlignment(Qt::AlignCenter);
            layout->addWidget(label);
        }
    }
    window->adjustSize();
    const QRect area = owner->geometry();
    window->move(area.center() - window->rect().center());
    m_window = window;
    return true;
}

void CKVSplashWnd::ShowWindow()
{
    if (Exists()) {
        m_window->show();
        m_window->raise();
    }
}

void CKVSplashWnd::DestroyWindow()
{
    if (Exists()) {
        delete m_window.data();
    }
}
