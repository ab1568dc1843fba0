// Preview Changes from the report window's path list.
#include "PreviewWindow.h"
#include "ProgressPathView.h"
#include "WendoIds.h"
#include "model/WendoDoc.h"

#include <QMenu>
#include <QTreeView>

namespace wendo::ui {

void CProgressPathView::AddPreviewCommand()
{
    OnCommandId(
        cmd::PREVIEW, [this] { ShowPreview(GetWendoDoc(), SelectedPath()); },
        [this](fw::CommandState& state) { state.enabled = !SelectedPath().empty(); });
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (const QModelIndex row = m_list->indexAt(at); row.isValid()) {
            m_list->setCurrentIndex(row);
        }
        auto* menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        QAction* preview = menu->addAction(QStringLiteral("Pre&view Changes"));
        const std::string path = SelectedPath();
        preview->setEnabled(!path.empty());
        connect(preview, &QAction::triggered, this,
                [this, path] { ShowPreview(GetWendoDoc(), path); });
        menu->popup(m_list->viewport()->mapToGlobal(at));
    });
}

} // namespace wendo::ui
