#include "plinth/KVHeaderCtrl.h"

#include <QAbstractItemModel>
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
    for (const auto& [column, image] : m_itemImages) {
        ShowImage(column);
    }
}

bool CKVHeaderCtrl::SetItemImage(int column, int image)
{
    if (model() == nullptr || column < 0 || column >= count()) {
        return false;
    }
    m_itemImages[column] = image;
    ShowImage(column);
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

void CKVHeaderCtrl::ShowImage(int column)
{
    if (model() == nullptr || column >= count()) {
        return;
    }
    const int image = GetItemImage(column);
    model()->setHeaderData(column, orientation(),
                           image >= 0 ? QVariant(m_images.at(image)) : QVariant(),
                           Qt::DecorationRole);
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
