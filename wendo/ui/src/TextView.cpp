#include "TextView.h"

#include "FindDlg.h"
#include "MainFrame.h"
#include "TextDocs.h"
#include "WendoApp.h"
#include "WendoIds.h"
#include "core/StringTable.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "fw/MessageBox.h"
#include "os/path.h"

#include <QApplication>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace wendo::ui {

namespace {

// Takes pasted and dropped data only when it is text, and then only the text.
class PlainTextEdit final : public QTextEdit
{
public:
    explicit PlainTextEdit(QWidget* parent) : QTextEdit(parent)
    {
        setAcceptRichText(false);
        setLineWrapMode(QTextEdit::NoWrap);
    }

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override { return source->hasText(); }
    void insertFromMimeData(const QMimeData* source) override
    {
        if (source->hasText()) {
            textCursor().insertText(source->text());
        }
    }
};

} // namespace

CTextView::CTextView(core::CDocument& document, QWidget* parent)
    : fw::View(document, parent), m_edit(new PlainTextEdit(this)), m_find(new CFindDlg(this))
{
    setObjectName(QStringLiteral("CTextView"));
    m_find->setWindowFlag(Qt::Tool);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit);
    setFocusProxy(m_edit);
    connect(m_find, &CFindDlg::searchRequested, this, &CTextView::Search);
    connect(m_edit->document(), &QTextDocument::contentsChanged, this, [this] {
        if (GetDocument() != nullptr && !m_edit->signalsBlocked()) {
            GetDocument()->SetModifiedFlag(true);
        }
    });
    GetTextDoc().SetTextSource([this] { return m_shown.Read(*m_edit->document()); });

    OnCommandId(
        fw::id::EDIT_FIND, [this] { OnFind(); },
        [this](fw::CommandState& s) { s.enabled = !m_edit->document()->isEmpty(); });
    OnCommandId(
        cmd::FIND_NEXT, [this] { Search(m_find->QueryPreviousSearch()); },
        [this](fw::CommandState& s) { s.enabled = m_find->IsPreviousSearch(); });
    OnCommandId(
        cmd::VIEW_HTML,
        [this] {
            if (CWendoApp* app = CWendoApp::Get()) {
                app->OpenWebFile(
                    QString::fromStdString(os::ToNative(GetDocument()->GetPathName())));
            }
        },
        [this](fw::CommandState& s) { s.enabled = IsHtmlFile(); });
    OnCommandId(
        fw::id::EDIT_UNDO, [this] { m_edit->undo(); },
        [this](fw::CommandState& s) { s.enabled = m_edit->document()->isUndoAvailable(); });
    OnCommandId(
        fw::id::EDIT_CUT, [this] { m_edit->cut(); },
        [this](fw::CommandState& s) { s.enabled = m_edit->textCursor().hasSelection(); });
    OnCommandId(
        fw::id::EDIT_COPY, [this] { m_edit->copy(); },
        [this](fw::CommandState& s) { s.enabled = m_edit->textCursor().hasSelection(); });
    OnCommandId(
        fw::id::EDIT_PASTE, [this] { m_edit->paste(); },
        [this](fw::CommandState& s) { s.enabled = m_edit->canPaste(); });
}

CTextDoc& CTextView::GetTextDoc() const
{
    return *static_cast<CTextDoc*>(GetDocument());
}

void CTextView::OnInitialUpdate()
{
    FillFromDocument();
    if (fw::ChildFrame* frame = GetParentFrame()) {
        connect(frame, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates before, Qt::WindowStates now) {
                    if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive)) {
                        OnActivated();
                    }
                });
    }
}

void CTextView::OnDocumentUpdate(core::DocumentView* /*sender*/, long hint)
{
    if (hint == CTextDoc::kHintReloaded) {
        FillFromDocument();
    }
}

void CTextView::FillFromDocument()
{
    m_edit->blockSignals(true);
    m_shown.Show(*m_edit->document(), GetTextDoc().GetText());
    m_edit->blockSignals(false);
    GetDocument()->SetModifiedFlag(false);
    if (CWendoApp* app = CWendoApp::Get(); app != nullptr && app->GetMainFrame() != nullptr) {
        app->GetMainFrame()->UpdateEncodingPane();
    }
}

void CTextView::OnActivated()
{
    GetTextDoc().CheckReload();
}

bool CTextView::IsHtmlFile() const
{
    const QString path = QString::fromStdString(GetDocument()->GetPathName());
    return path.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive) ||
           path.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive);
}

void CTextView::OnFind()
{
    const QString selected = m_edit->textCursor().selectedText();
    if (!selected.isEmpty()) {
        // A selection across lines carries paragraph separators; the first line is searched.
        m_find->SetSearchText(selected.section(QChar(0x2029), 0, 0));
    }
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

bool CTextView::Search(const QString& text)
{
    if (text.isEmpty()) {
        return false;
    }
    QTextDocument::FindFlags flags;
    if (m_find->MatchCase()) {
        flags |= QTextDocument::FindCaseSensitively;
    }
    if (m_find->WholeWord()) {
        flags |= QTextDocument::FindWholeWords;
    }
    QTextDocument* document = m_edit->document();
    const QTextCursor from = m_edit->textCursor();
    // A selection that is itself a match is passed over, so Find Next moves on.
    const int begin = from.hasSelection() ? from.selectionStart() + 1 : from.position();
    QTextCursor found = document->find(text, begin, flags);
    if (found.isNull()) {
        found = document->find(text, 0, flags);
        if (!found.isNull() && found.selectionStart() >= begin) {
            found = QTextCursor();
        }
    }
    if (!found.isNull()) {
        m_failed = false;
        m_edit->setTextCursor(found);
        m_edit->ensureCursorVisible();
        KeepDialogOffSelection();
        return true;
    }
    // The box is shown once; repeated failures for the same text only tell the status bar.
    if (!m_failed || m_failedText != text) {
        fw::MessageBox(QStringLiteral("Can't find literal string:\n") + text,
                       core::PromptButtons::Ok, core::PromptIcon::Exclamation, this);
    }
    m_failed = true;
    m_failedText = text;
    if (CWendoApp* app = CWendoApp::Get(); app != nullptr && app->GetMainFrame() != nullptr) {
        app->GetMainFrame()->SetStatusText(core::Msg::SEARCH_PASSED_END);
    }
    QApplication::beep();
    return false;
}

void CTextView::KeepDialogOffSelection()
{
    if (!m_find->isVisible()) {
        return;
    }
    const QRect caret = m_edit->cursorRect();
    const QRect selection(m_edit->viewport()->mapToGlobal(caret.topLeft()), caret.size());
    QRect box = m_find->frameGeometry();
    if (!box.intersects(selection.adjusted(-4, -4, 4, 4))) {
        return;
    }
    const int below = selection.bottom() + 8;
    const int above = selection.top() - box.height() - 8;
    box.moveTop(above >= 0 ? above : below);
    m_find->move(box.topLeft());
}

} // namespace wendo::ui
