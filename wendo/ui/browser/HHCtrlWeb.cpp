// The control on the web engine. This is the only file of the program that includes the
// engine's headers (they are heavy to compile).
#include "HHCtrl.h"

#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <unistd.h>

namespace wendo::ui {

namespace {

bool IsRemote(const QUrl& url)
{
    static const QStringList remote = {QStringLiteral("http"), QStringLiteral("https"),
                                       QStringLiteral("ftp"), QStringLiteral("ws"),
                                       QStringLiteral("wss")};
    return remote.contains(url.scheme(), Qt::CaseInsensitive);
}

// A local page never makes the viewer reach the network by itself: its remote images, style
// sheets, scripts and frames are refused. Remote addresses load only when the person goes
// there (a link followed, an address given, back, forward or refresh); a remote page reached
// that way brings its own parts. Runs on the interface thread.
class LocalPagesStayLocal final : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (!IsRemote(info.requestUrl())) {
            return;
        }
        using Info = QWebEngineUrlRequestInfo;
        if (info.resourceType() == Info::ResourceTypeMainFrame) {
            switch (info.navigationType()) {
            case Info::NavigationTypeLink:
            case Info::NavigationTypeTyped:
            case Info::NavigationTypeFormSubmitted:
            case Info::NavigationTypeBackForward:
            case Info::NavigationTypeReload:
            case Info::NavigationTypeRedirect:
                return;
            default:
                break;
            }
        } else if (IsRemote(info.firstPartyUrl())) {
            return;
        }
        info.block(true);
    }
};

// The engine's helper processes refuse to start their sandbox as root; the documented switch
// turns it off, and only for root. Read when the engine starts, so before the first browser.
void AllowStartAsRoot()
{
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

QWebEngineProfile* Profile()
{
    static QWebEngineProfile* profile = [] {
        // The default profile keeps nothing on disk; the engine owns it.
        QWebEngineProfile* shared = QWebEngineProfile::defaultProfile();
        shared->setUrlRequestInterceptor(new LocalPagesStayLocal(shared));
        // Off, the engine refuses even a followed link from a local page to a remote one; the
        // interceptor decides instead.
        shared->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
        return shared;
    }();
    return profile;
}

QWebEngineView* View(const QPointer<QWidget>& browser)
{
    return static_cast<QWebEngineView*>(browser.data());
}

} // namespace

bool CHHCtrl::Create(QWidget* parent, const QRect& rect, int style)
{
    if (!MayCreate(parent)) {
        return false;
    }
    m_style = style;
    AllowStartAsRoot();
    auto* view = new QWebEngineView(parent);
    view->setPage(new QWebEnginePage(Profile(), view));
    m_browser = view;
    view->setObjectName(QStringLiteral("CHHCtrl"));
    QObject::connect(view->page(), &QWebEnginePage::loadingChanged, view,
                     [this](const QWebEngineLoadingInfo& info) {
                         if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
                             LoadFailed(info.url().toString());
                         }
                     });
    view->setGeometry(rect);
    view->show();
    return true;
}

bool CHHCtrl::Navigate(const QString& address)
{
    const QUrl url = ToUrl(address);
    if (m_browser.isNull() || url.isEmpty()) {
        return false;
    }
    View(m_browser)->load(url);
    return true;
}

void CHHCtrl::GoBack()
{
    if (!m_browser.isNull()) {
        View(m_browser)->back();
    }
}

void CHHCtrl::GoForward()
{
    if (!m_browser.isNull()) {
        View(m_browser)->forward();
    }
}

void CHHCtrl::Stop()
{
    if (!m_browser.isNull()) {
        View(m_browser)->stop();
    }
}

void CHHCtrl::Refresh()
{
    if (!m_browser.isNull()) {
        View(m_browser)->reload();
    }
}

bool CHHCtrl::CanGoBack() const
{
    return !m_browser.isNull() && View(m_browser)->history()->canGoBack();
}

bool CHHCtrl::CanGoForward() const
{
    return !m_browser.isNull() && View(m_browser)->history()->canGoForward();
}

bool CHHCtrl::IsBusy() const
{
    return !m_browser.isNull() && View(m_browser)->page()->isLoading();
}

QString CHHCtrl::CurrentAddress() const
{
    return m_browser.isNull() ? QString() : View(m_browser)->url().toString();
}

QString CHHCtrl::Title() const
{
    return m_browser.isNull() ? QString() : View(m_browser)->title();
}

} // namespace wendo::ui
