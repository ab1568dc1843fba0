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

CWendoView::CWendoView(CWendoDoc& document, QWidget* parent) : fw::View(document, parent)
{
}

CWendoDoc& CWendoView::GetWendoDoc() const
{
    return *static_cast<CWendoDoc*>(GetDocument());
}

} // namespace wendo::ui
