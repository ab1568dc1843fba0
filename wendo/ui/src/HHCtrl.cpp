#include "HHCtrl.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

namespace wendo::ui {

namespace {

bool g_refuseCreate = false;

} // namespace

void CHHCtrl::SetRefuseCreate(bool refuse)
{
    g_refuseCreate = refuse;
}

bool CHHCtrl::Create(QWidget* parent, const QRect& rect, int style)
{
    if (parent == nullptr || !m_browser.isNull() || g_refuseCreate) {
        return false;
    }
    m_style = style;
    m_browser = new QTextBrowser(parent);
    m_browser->setObjectName(QStringLiteral("CHHCtrl"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);
    m_browser->setGeometry(rect);
    m_browser->show();
    return true;
}

bool CHHCtrl::Navigate(const QString& address)
{
    if (m_browser.isNull() || address.isEmpty()) {
        return false;
    }
    QUrl url(address);
    if (url.scheme().size() <= 1) {
        // A path (a one-letter scheme is a drive letter).
        const QFileInfo file(address);
        if (!file.isFile()) {
            return false;
        }
        url = QUrl::fromLocalFile(file.absoluteFilePath());
    } else if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isFile()) {
        return false;
    }
    m_browser->setSource(url);
    return true;
}

void CHHCtrl::MoveWindow(const QRect& rect)
{
    if (!m_browser.isNull()) {
        m_browser->setGeometry(rect);
    }
}

void CHHCtrl::GoBack()
{
    if (!m_browser.isNull()) {
        m_browser->backward();
    }
}

void CHHCtrl::GoForward()
{
    if (!m_browser.isNull()) {
        m_browser->forward();
    }
}

void CHHCtrl::Stop()
{
}

void CHHCtrl::Refresh()
{
    if (!m_browser.isNull()) {
        m_browser->reload();
    }
}

bool CHHCtrl::CanGoBack() const
{
    return !m_browser.isNull() && m_browser->isBackwardAvailable();
}

bool CHHCtrl::CanGoForward() const
{
    return !m_browser.isNull() && m_browser->isForwardAvailable();
}

bool CHHCtrl::IsBusy() const
{
    return false;
}

QString CHHCtrl::CurrentAddress() const
{
    return m_browser.isNull() ? QString() : m_browser->source().toString();
}

} // namespace wendo::ui
