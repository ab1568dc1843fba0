#include "Frames.h"

#include "Views.h"
#include "WendoIds.h"
#include "fw/DocTemplate.h"

namespace wendo::ui {

CChildFrame::CChildFrame(fw::MultiDocTemplate& docTemplate, core::CDocument& document, int menuKind)
    : fw::ChildFrame(docTemplate, document, menuKind)
{
    // The main title carries the document's name; the editor's caption does not.
    SetAddsTitle(false);
    resize(520, 380);
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
