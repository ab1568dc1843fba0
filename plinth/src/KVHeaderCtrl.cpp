#include "plinth/KVHeaderCtrl.h"

#include <QStyleOptionHeader>
#include <algorithm>

CKVHeaderCtrl::CKVHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CKVHeaderCtrl::SetImageList(QList<QIcon> images)
{
    m_images = std::move(images);
    viewport()->update();
}

bool CKVHeaderCtrl::SetItemImage(int column, int image)
{
    if (column < 0 || column >= count()) {
        return false;
    }
    m_itemImages[column] = image;
    viewport()->update();
    return true;
}

int CKVHeaderCtrl::GetItemImage(int column) const
{
    const auto found = m_itemImages.find(column);
    if (found == m_itemImages.end() || found->second < 0 ||
        found->second >= static_cast<int>(m_images.size())) {
        return -1;
    }
    return found->second;
}

void CKVHeaderCtrl::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    const int image = GetItemImage(logicalIndex);
    if (image >= 0) {
        option->icon = m_images.at(image);
        option->iconAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QSize CKVHeaderCtrl::sectionSizeFromContents(int logicalIndex) const
{
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    if (GetItemImage(logicalIndex) >= 0) {
        const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
        size.rwidth() += icon + style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
        size.setHeight(std::max(size.height(), icon + 4));
    }
    return size;
}

void CKVHeaderCtrl::Autofit(int first, int last)
{
    const int columns = count();
    if (columns == 0) {
        return;
    }
    if (last < 0 || last >= columns) {
        last = columns - 1;
    }
    first = std::max(first, 0);
    if (first > last) {
        return;
    }
    int used = 0;
    for (int c = 0; c < columns; ++c) {
        used += sectionSize(c);
    }
    const int room = viewport()->width() - used;
    if (room <= 0) {
        return;
    }
    const int share = room / (last - first + 1);
    const int left = room - share * (last - first + 1);
    for (int c = first; c <= last; ++c) {
        // The last fitted column takes what the equal shares leave over.
        resizeSection(c, sectionSize(c) + share + (c == last ? left : 0));
    }
}
