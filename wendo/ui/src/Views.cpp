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

} // namespace

CWendoView::CWendoView(CWendoDoc& document, QWidget* parent) : fw::View(document, parent)
{
}

CWendoDoc& CWendoView::GetWendoDoc() const
{
    return *static_cast<CWendoDoc*>(GetDocument());
}

// ---- Viewers ----

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
