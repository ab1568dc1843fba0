#include "plinth/KVListView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kImageRole = Qt::UserRole + 1;

} // namespace

// The list control itself: hands its mouse, key, menu and focus events to the view first.
class CKVListView::ListCtrl final : public QTreeWidget
{
public:
    ListCtrl(CKVListView& view) : QTreeWidget(&view), m_view(view) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            m_view.PressAt(event->position().toPoint());
        }
        QTreeWidget::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        // While a row is dragged, the list does not extend its selection.
        if ((event->buttons() & Qt::LeftButton) != 0 &&
            m_view.MoveTo(event->position().toPoint())) {
            return;
        }
        QTreeWidget::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            m_view.ReleaseAt(event->position().toPoint());
        }
        QTreeWidget::mouseReleaseEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        QTreeWidget::mouseDoubleClickEvent(event);
        if (event->button() == Qt::LeftButton) {
            const int row = m_view.HitTest(event->position().toPoint());
            if (row >= 0) {
                m_view.OnItemActivated(row);
            }
        }
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_view.OnItemActivated(m_view.GetSelectedRow());
            return;
        case Qt::Key_Delete:
            m_view.OnDeleteKey();
            return;
        case Qt::Key_Escape:
            if (m_view.m_dragging) {
                m_view.CancelDrag();
                return;
            }
            break;
        default:
            break;
        }
        QTreeWidget::keyPressEvent(event);
    }
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        const QPoint inViewport = viewport()->mapFromGlobal(event->globalPos());
        m_view.OnContextMenu(event->globalPos(), m_view.HitTest(inViewport));
        event->accept();
    }
    void focusInEvent(QFocusEvent* event) override
    {
        QTreeWidget::focusInEvent(event);
        m_view.OnListFocus();
    }

private:
    CKVListView& m_view;
};

CKVListView::CKVListView(core::CDocument& document, QWidget* parent)
    : fw::View(document, parent), m_list(new ListCtrl(*this)),
      m_dropMark(new QRubberBand(QRubberBand::Line, m_list->viewport()))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSortingEnabled(false);
    m_list->setDragEnabled(false);
    m_list->setColumnCount(0);
    m_list->header()->setSectionsClickable(false);
    m_list->header()->setStretchLastSection(true);
    m_list->setContextMenuPolicy(Qt::DefaultContextMenu);
    setFocusProxy(m_list);
}

CKVListView::~CKVListView() = default;

int CKVListView::InsertColumn(const QString& header, int width)
{
    const int column = m_list->columnCount();
    m_list->setColumnCount(column + 1);
    m_list->headerItem()->setText(column, header);
    m_list->header()->resizeSection(column, width);
    return column;
}

void CKVListView::SetImageList(QList<QIcon> images)
{
    m_images = std::move(images);
    for (int row = 0; row < GetItemCount(); ++row) {
        SetItemImage(row, GetItemImage(row));
    }
}

int CKVListView::GetItemCount() const
{
    return m_list->topLevelItemCount();
}

int CKVListView::InsertItem(int row, const QString& text, int image)
{
    row = std::clamp(row, 0, GetItemCount());
    auto* item = new QTreeWidgetItem();
    item->setText(0, text);
    m_list->insertTopLevelItem(row, item);
    SetItemImage(row, image);
    return row;
}

bool CKVListView::SetItemText(int row, int column, const QString& text)
{
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (item == nullptr || column < 0 || column >= m_list->columnCount()) {
        return false;
    }
    item->setText(column, text);
    return true;
}

QString CKVListView::GetItemText(int row, int column) const
{
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    return item != nullptr ? item->text(column) : QString();
}

bool CKVListView::SetItemImage(int row, int image)
{
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (item == nullptr) {
        return false;
    }
    item->setData(0, kImageRole, image);
    item->setIcon(0, image >= 0 && image < m_images.size() ? m_images.at(image) : QIcon());
    return true;
}

int CKVListView::GetItemImage(int row) const
{
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (item == nullptr) {
        return -1;
    }
    bool ok = false;
    const int image = item->data(0, kImageRole).toInt(&ok);
    return ok ? image : -1;
}

bool CKVListView::DeleteItem(int row)
{
    if (row < 0 || row >= GetItemCount()) {
        return false;
    }
    delete m_list->takeTopLevelItem(row);
    return true;
}

void CKVListView::DeleteAllItems()
{
    CancelDrag();
    m_list->clear();
}

int KVSelectedRow(const QTreeWidget& list)
{
    const QList<QTreeWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.indexOfTopLevelItem(selected.front());
}

void KVSelectRow(QTreeWidget& list, int row)
{
    QTreeWidgetItem* item = list.topLevelItem(row);
    if (item == nullptr) {
        list.clearSelection();
        return;
    }
    list.setCurrentItem(item);
    item->setSelected(true);
}

int CKVListView::GetSelectedRow() const
{
    return KVSelectedRow(*m_list);
}

void CKVListView::SelectRow(int row)
{
    KVSelectRow(*m_list, row);
}

int CKVListView::HitTest(const QPoint& viewportPoint) const
{
    QTreeWidgetItem* item = m_list->itemAt(viewportPoint);
    return item != nullptr ? m_list->indexOfTopLevelItem(item) : -1;
}

void CKVListView::AddIconNot2Drag(int image)
{
    m_notToDrag.insert(image);
}

bool CKVListView::GetDraggingParam(int& source, int& target, bool& after) const
{
    if (!m_ending || m_pressRow < 0 || m_target < 0) {
        return false;
    }
    source = m_pressRow;
    target = m_target;
    after = m_after;
    return true;
}

void CKVListView::PressAt(const QPoint& point)
{
    CancelDrag();
    m_pressPoint = point;
    m_pressRow = HitTest(point);
}

bool CKVListView::MoveTo(const QPoint& point)
{
    if (m_pressRow < 0) {
        return false;
    }
    if (!m_dragging) {
        if ((point - m_pressPoint).manhattanLength() < QApplication::startDragDistance() ||
            m_notToDrag.count(GetItemImage(m_pressRow)) != 0) {
            return false;
        }
        m_dragging = true;
        m_list->viewport()->setCursor(Qt::DragMoveCursor);
    }
    m_target = HitTest(point);
    m_after = false;
    if (const QTreeWidgetItem* item = m_list->topLevelItem(m_target)) {
        const QRect rect = m_list->visualItemRect(item);
        m_after = point.y() >= rect.center().y();
    }
    ShowDropMark();
    return true;
}

bool CKVListView::ReleaseAt(const QPoint& point)
{
    if (!m_dragging) {
        m_pressRow = -1;
        return false;
    }
    MoveTo(point);
    m_ending = true;
    OnEndDrag();
    CancelDrag();
    return true;
}

void CKVListView::CancelDrag()
{
    m_dragging = false;
    m_ending = false;
    m_pressRow = -1;
    m_target = -1;
    m_after = false;
    m_dropMark->hide();
    m_list->viewport()->unsetCursor();
}

void CKVListView::ShowDropMark()
{
    const QTreeWidgetItem* item = m_list->topLevelItem(m_target);
    if (item == nullptr) {
        m_dropMark->hide();
        return;
    }
    const QRect rect = m_list->visualItemRect(item);
    const int y = m_after ? rect.bottom() : rect.top();
    m_dropMark->setGeometry(0, y - 1, m_list->viewport()->width(), 3);
    m_dropMark->show();
}
