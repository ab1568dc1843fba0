#include "Frames.h"

#include "Views.h"
#include "WendoIds.h"
#include "fw/DocTemplate.h"
#include "model/WendoDoc.h"

#include <QSplitter>

namespace wendo::ui {

namespace {

CWendoDoc& WendoDocOf(core::CDocument& document)
{
    return static_cast<CWendoDoc&>(document);
}

} // namespace

CChildFrame::CChildFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document, int menuKind)
    : fw::ChildFrame(docTemplate, document, menuKind)
{
    // The main title carries the document's name; the editor's caption does not.
    SetAddsTitle(false);
    resize(520, 380);
}

CSplitFrame::CSplitFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document)
    : fw::ChildFrame(docTemplate, document, kCommandMenu)
{
    resize(720, 520);
}

void CSplitFrame::CreateViews()
{
    CWendoDoc& doc = WendoDocOf(*GetActiveDocument());
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("CommandFileSplitter"));
    auto* options = new COptionView(doc, split);
    auto* commands = new CCmdView(doc, split);
    auto* files = new CFileWendoView(doc, split);
    split->addWidget(options);
    split->addWidget(commands);
    split->addWidget(files);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 3);
    split->setStretchFactor(2, 2);
    split->setSizes({options->sizeHint().height(), 300, 200});
    setWidget(split);
    SetActiveView(commands);
}

CTextFrame::CTextFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document)
    : fw::ChildFrame(docTemplate, document, kTextMenu)
{
    resize(640, 480);
}

CWebFrame::CWebFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document)
    : fw::ChildFrame(docTemplate, document, kWebMenu)
{
    resize(640, 480);
}

} // namespace wendo::ui
