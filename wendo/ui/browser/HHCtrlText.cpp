// The control for builds without the web engine: a text browser shows the page.
#include "HHCtrl.h"

#include <QFileInfo>
#include <QTextBrowser>

namespace wendo::ui {

namespace {

QTextBrowser* TextBrowser(const QPointer<QWidget>& browser)
{
    return static_cast<QTextBrowser*>(browser.data());
}

} // namespace

bool CHHCtrl::Create(QWidget* parent, const QRect& rect, int style)
{
    if (!MayCreate(parent)) {
        return false;
    }
    m_style = style;
    auto* browser = new QTextBrowser(parent);
    m_browser = browser;
    browser->setObjectName(QStringLiteral("CHHCtrl"));
    browser->setOpenLinks(true);
    browser->setOpenExternalLinks(false);
    // The text browser shows nothing for a link to a missing file; tell it like a failed load.
    QObject::connect(browser, &QTextBrowser::anchorClicked, browser, [this](const QUrl& url) {
        if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isFile()) {
            LoadFailed(url.toString());
        }
    });
    browser->setGeometry(rect);
    browser->show();
    return true;
}

bool CHHCtrl::Navigate(const QString& address)
{
    const QUrl url = ToUrl(address);
    if (m_browser.isNull() || url.isEmpty()) {
        return false;
    }
    TextBrowser(m_browser)->setSource(url);
    return true;
}

void CHHCtrl::GoBack()
{
    if (!m_browser.isNull()) {
        TextBrowser(m_browser)->backward();
    }
}

void CHHCtrl::GoForward()
{
    if (!m_browser.isNull()) {
        TextBrowser(m_browser)->forward();
    }
}

void CHHCtrl::Stop()
{
}

void CHHCtrl::Refresh()
{
    if (!m_browser.isNull()) {
        TextBrowser(m_browser)->reload();
    }
}

bool CHHCtrl::CanGoBack() const
{
    return !m_browser.isNull() && TextBrowser(m_browser)->isBackwardAvailable();
}

bool CHHCtrl::CanGoForward() const
{
    return !m_browser.isNull() && TextBrowser(m_browser)->isForwardAvailable();
}

bool CHHCtrl::IsBusy() const
{
    return false;
}

QString CHHCtrl::CurrentAddress() const
{
    return m_browser.isNull() ? QString() : TextBrowser(m_browser)->source().toString();
}

QString CHHCtrl::Title() const
{
    if (m_browser.isNull()) {
        return {};
    }
    // As the web engine does, a page without a title is named by its file.
    const QString title = TextBrowser(m_browser)->documentTitle();
    return title.isEmpty() ? TextBrowser(m_browser)->source().fileName() : title;
}

} // namespace wendo::ui
