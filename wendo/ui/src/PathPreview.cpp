// Preview Changes from the report window's path list.
#include "PreviewWindow.h"
#include "ProgressPathView.h"
#include "WendoIds.h"
#include "model/WendoDoc.h"
#include "os/file.h"
#include "os/path.h"

#include <QMenu>
#include <QTreeWidget>

namespace wendo::ui {

std::string CProgressPathView::SelectedPath() const
{
    // Rows still waiting for their batch cannot be selected yet; no flush is needed.
    const QTreeWidgetItem* item = m_list->currentItem();
    if (item == nullptr || !item->isSelected() || item->text(0).isEmpty()) {
        return {};
    }
    const std::string native = item->text(0).toStdString();
    return os::Exists(native) ? os::FromNative(native) : std::string();
}

void CProgressPathView::AddPreviewCommand()
{
    OnCommandId(
        cmd::PREVIEW, [this] { ShowPreview(GetWendoDoc(), SelectedPath()); },
        [this](fw::CommandState& state) { state.enabled = !SelectedPath().empty(); });
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QTreeWidgetItem* item = m_list->itemAt(at)) {
            m_list->setCurrentItem(item);
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
