#include "WebView.h"

#include "MainFrame.h"
#include "WendoApp.h"
#include "WendoIds.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "fw/MessageBox.h"
#include "os/path.h"

#include <QFileInfo>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>

namespace wendo::ui {

namespace {

QString NativePath(const core::CDocument& document)
{
    return QString::fromStdString(os::ToNative(document.GetPathName()));
}

} // namespace

CWebView::CWebView(core::CDocument& document, QWidget* parent) : fw::View(document, parent)
{
    setObjectName(QStringLiteral("CWebView"));
    OnCommandId(
        cmd::BACK, [this] { m_control.GoBack(); },
        [this](fw::CommandState& s) { s.enabled = m_control.CanGoBack(); });
    OnCommandId(
        cmd::FORWARD, [this] { m_control.GoForward(); },
        [this](fw::CommandState& s) { s.enabled = m_control.CanGoForward(); });
    OnCommandId(
        cmd::STOP_RETRIEVAL, [this] { m_control.Stop(); },
        [this](fw::CommandState& s) { s.enabled = m_control.IsAvailable() && m_control.IsBusy(); });
    OnCommandId(
        cmd::REFRESH, [this] { m_control.Refresh(); },
        [this](fw::CommandState& s) {
            s.enabled = m_control.IsAvailable() && !m_control.IsBusy();
        });
    OnCommandId(cmd::VIEW_SOURCE, [this] {
        if (CWendoApp* app = CWendoApp::Get()) {
            app->OpenTextFile(SourcePath());
        }
    });
    // The page is the browser's; nothing here can be written back.
    for (const int id : {fw::id::FILE_SAVE, fw::id::FILE_SAVE_AS}) {
        OnCommandId(
            id, [] {}, [](fw::CommandState& s) { s.enabled = false; });
    }
}

bool CWebView::Start()
{
    if (m_started) {
        return m_control.IsAvailable();
    }
    m_started = true;
    const CWendoApp* app = CWendoApp::Get();
    const int style = app != nullptr && app->OcxOnFail != 0 ? CHHCtrl::kStyleFallbackOnFail
                                                            : CHHCtrl::kStylePlain;
    if (!m_control.Create(this, rect(), style)) {
        fw::MessageBox(QStringLiteral("Web control can not be created."), core::PromptButtons::Ok,
                       core::PromptIcon::None, this);
        if (fw::ChildFrame* frame = GetParentFrame()) {
            frame->hide();
            QTimer::singleShot(0, frame, [frame] { frame->close(); });
        }
        return false;
    }
    m_control.SetLoadFailedHandler([this](const QString& address) {
        if (CWendoApp* wendo = CWendoApp::Get();
            wendo != nullptr && wendo->GetMainFrame() != nullptr) {
            wendo->GetMainFrame()->SetStatusText(
                QStringLiteral("Web control can not navigate to %1").arg(address));
        }
    });
    const QString path = NativePath(*GetDocument());
    if (!Navigate(path)) {
        fw::MessageBox(QStringLiteral("Web control can not navigate to %1").arg(path),
                       core::PromptButtons::Ok, core::PromptIcon::None, this);
    }
    return true;
}

bool CWebView::Navigate(const QString& address)
{
    if (!m_control.Navigate(address)) {
        return false;
    }
    m_address = address;
    return true;
}

QString CWebView::SourcePath() const
{
    // The page shown once a link was followed, when it is a file; else the document's own.
    const QUrl shown(m_control.CurrentAddress());
    if (shown.isLocalFile() && QFileInfo(shown.toLocalFile()).isFile()) {
        return shown.toLocalFile();
    }
    return NativePath(*GetDocument());
}

void CWebView::showEvent(QShowEvent* event)
{
    fw::View::showEvent(event);
    if (!m_started) {
        // After the show: closing the frame from inside its own showing is not safe.
        QTimer::singleShot(0, this, [this] { Start(); });
    }
}

void CWebView::resizeEvent(QResizeEvent* event)
{
    fw::View::resizeEvent(event);
    m_control.MoveWindow(rect());
}

} // namespace wendo::ui
