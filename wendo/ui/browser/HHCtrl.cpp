#include "HHCtrl.h"

#include <QFileInfo>

namespace wendo::ui {

namespace {

bool g_refuseCreate = false;

} // namespace

CHHCtrl::~CHHCtrl()
{
    delete m_browser.data();
}

void CHHCtrl::SetRefuseCreate(bool refuse)
{
    g_refuseCreate = refuse;
}

bool CHHCtrl::MayCreate(QWidget* parent) const
{
    return parent != nullptr && m_browser.isNull() && !g_refuseCreate;
}

QUrl CHHCtrl::ToUrl(const QString& address)
{
    if (address.isEmpty()) {
        return {};
    }
    QUrl url(address);
    if (url.scheme().size() <= 1) {
        // A path (a one-letter scheme is a drive letter).
        const QFileInfo file(address);
        return file.isFile() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl();
    }
    if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isFile()) {
        return {};
    }
    return url;
}

void CHHCtrl::SetLoadFailedHandler(std::function<void(const QString&)> handler)
{
    m_loadFailed = std::move(handler);
}

void CHHCtrl::LoadFailed(const QString& address) const
{
    if (m_loadFailed) {
        m_loadFailed(address);
    }
}

void CHHCtrl::MoveWindow(const QRect& rect)
{
    if (!m_browser.isNull()) {
        m_browser->setGeometry(rect);
    }
}

} // namespace wendo::ui
