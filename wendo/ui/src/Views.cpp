#include "Views.h"

#include "TextDocs.h"
#include "engine/Notifications.h"
#include "model/WendoDoc.h"
#include "os/path.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace wendo::ui {

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVBoxLayout* PlainLayout(QWidget* widget)
{
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QTreeWidget* MakeList(QWidget* parent, const QStringList& headers)
{
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setAlternatingRowColors(true);
    list->setHeaderLabels(headers);
    list->header()->setStretchLastSection(true);
    list->setFocusPolicy(Qt::StrongFocus);
    return list;
}

} // namespace

CWendoView::CWendoView(CWendoDoc& document, QWidget* parent) : fw::View(document, parent)
{
}

CWendoDoc& CWendoView::GetWendoDoc() const
{
    return *static_cast<CWendoDoc*>(GetDocument());
}

// ---- File list ----

CFileWendoView::CFileWendoView(CWendoDoc& document, QWidget* parent)
    : CWendoView(document, parent),
      m_list(MakeList(
          this, {QStringLiteral("Path"), QStringLiteral("Sub-dirs"), QStringLiteral("Include")}))
{
    setObjectName(QStringLiteral("CFileWendoView"));
    PlainLayout(this)->addWidget(m_list);
    m_list->header()->resizeSection(0, 320);
}

void CFileWendoView::OnInitialUpdate()
{
    RefreshFileList();
}

void CFileWendoView::OnDocumentUpdate(core::DocumentView* /*sender*/, long /*hint*/)
{
    RefreshFileList();
}

void CFileWendoView::RefreshFileList()
{
    m_list->clear();
    for (const CFileList& entry : GetWendoDoc().FileSet.Entries()) {
        auto* row = new QTreeWidgetItem(m_list);
        row->setText(0, FromUtf8(os::ForDisplay(entry.GetURLPath())));
        row->setText(1, entry.IsRecursive() != 0 ? QStringLiteral("All") : QStringLiteral("No"));
        row->setText(2, entry.IsExclude() != 0 ? QStringLiteral("Exclude")
                                               : QStringLiteral("Include"));
    }
}

// ---- Options ----

COptionView::COptionView(CWendoDoc& document, QWidget* parent)
    : CWendoView(document, parent), m_summary(new QLabel(this))
{
    setObjectName(QStringLiteral("COptionView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    m_summary->setTextFormat(Qt::RichText);
    m_summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
}

void COptionView::OnInitialUpdate()
{
    OnDocumentUpdate(nullptr, 0);
}

void COptionView::OnDocumentUpdate(core::DocumentView* /*sender*/, long /*hint*/)
{
    const CWendoDoc& doc = GetWendoDoc();
    const auto yesNo = [](int32_t value) {
        return value != 0 ? QStringLiteral("yes") : QStringLiteral("no");
    };
    QString region = QStringLiteral("whole file");
    if (doc.FromLine > 1 || doc.ToLine > 0) {
        region = QStringLiteral("lines %1 to %2")
                     .arg(doc.FromLine > 1 ? doc.FromLine : 1)
                     .arg(doc.ToLine > 0 ? QString::number(doc.ToLine) : QStringLiteral("end"));
    }
    m_summary->setText(
        QStringLiteral("<b>Report file:</b> %1 &nbsp; <b>Report:</b> %2 &nbsp; "
                       "<b>Unmodified files listed:</b> %3<br><b>Backup:</b> %4 (.%5) &nbsp; "
                       "<b>Rewind:</b> %6 &nbsp; <b>Write to files:</b> %7 &nbsp; "
                       "<b>Region:</b> %8")
            .arg(FromUtf8(os::ForDisplay(doc.ReportFilePath())).toHtmlEscaped(), yesNo(doc.Report),
                 yesNo(doc.LogUnmodified), yesNo(doc.Backup),
                 FromUtf8(doc.BackupExt).toHtmlEscaped(), yesNo(doc.Rewind),
                 yesNo(doc.NoWrite == 0), region));
}

// ---- Editors ----

CPathView::CPathView(CWendoDoc& document, QWidget* parent) : CWendoView(document, parent)
{
    setObjectName(QStringLiteral("CPathView"));
    ++document.OpenPathSelectors;
    PlainLayout(this)->addWidget(new QLabel(QStringLiteral("Path selector"), this));
}

CPathView::~CPathView()
{
    --GetWendoDoc().OpenPathSelectors;
}

// ---- Viewers ----

CTextView::CTextView(core::CDocument& document, QWidget* parent)
    : fw::View(document, parent), m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("CTextView"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    PlainLayout(this)->addWidget(m_text);
}

void CTextView::OnInitialUpdate()
{
    if (const auto* doc = dynamic_cast<const CTextDoc*>(GetDocument())) {
        m_text->setPlainText(FromUtf8(doc->GetText()));
    }
}

CWebView::CWebView(core::CDocument& document, QWidget* parent)
    : fw::View(document, parent), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("CWebView"));
    m_browser->setOpenLinks(false);
    PlainLayout(this)->addWidget(m_browser);
}

void CWebView::OnInitialUpdate()
{
    if (const auto* doc = dynamic_cast<const CTextDoc*>(GetDocument())) {
        m_browser->setHtml(FromUtf8(doc->GetText()));
    }
}

} // namespace wendo::ui
