#include "fw/ChildFrame.h"

#include "fw/DocTemplate.h"
#include "fw/View.h"
#include "fw/WinApp.h"
#include "os/path.h"

#include <QCloseEvent>
#include <QMdiArea>

namespace fw {

ChildFrame::ChildFrame(MultiDocTemplate& docTemplate, core::CDocument& document, int menuKind)
    : m_template(&docTemplate), m_document(&document), m_menuKind(menuKind)
{
    setAttribute(Qt::WA_DeleteOnClose);
    const std::string title = m_template->GetDocString(DocString::windowTitle);
    setWindowTitle(QString::fromStdString(title));
}

ChildFrame::~ChildFrame()
{
    // Views detach from the document in their destructors, so they go before the document
    // may be closed.
    const auto views = findChildren<View*>();
    for (View* view : views) {
        delete view;
    }
    if (WinApp* app = m_template->GetApp()) {
        for (const auto& docTemplate : app->GetTemplates()) {
            docTemplate->CloseDocumentIfUnused(*m_document);
        }
    } else {
        m_template->CloseDocumentIfUnused(*m_document);
    }
}

void ChildFrame::SetActiveView(View* view)
{
    m_activeView = view;
}

void ChildFrame::CreateViews()
{
    View* view = m_template->CreateView(*m_document, this);
    if (view != nullptr) {
        setWidget(view);
        SetActiveView(view);
    }
}

void ChildFrame::InitialUpdate()
{
    const auto views = findChildren<View*>();
    for (View* view : views) {
        view->OnInitialUpdate();
    }
    RefreshCaption();
}

void ChildFrame::RefreshCaption()
{
    if (!m_addsTitle) {
        setWindowTitle(QString::fromStdString(m_template->GetDocString(DocString::windowTitle)));
        return;
    }
    QString title = QString::fromStdString(m_document->GetTitle());
    if (title.isEmpty()) {
        title = QString::fromStdString(m_template->GetDocString(DocString::docName));
    }
    setWindowTitle(title);
}

void ChildFrame::closeEvent(QCloseEvent* event)
{
    // Only the last frame of a document decides about the document.
    int framesOfDocument = 0;
    if (auto* area = mdiArea()) {
        for (QMdiSubWindow* window : area->subWindowList()) {
            auto* frame = qobject_cast<ChildFrame*>(window);
            if (frame != nullptr && frame->m_document == m_document) {
                ++framesOfDocument;
            }
        }
    }
    WinApp* app = m_template->GetApp();
    if (framesOfDocument <= 1 && app != nullptr && !app->CanCloseDocument(*m_document)) {
        event->ignore();
        return;
    }
    Q_EMIT frameClosing(this);
    QMdiSubWindow::closeEvent(event);
}

} // namespace fw
