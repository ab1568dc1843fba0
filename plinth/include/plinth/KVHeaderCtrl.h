// The header of a report list with an image list: each column may show one image of the
// list before its text, and Autofit widens columns so that together they fill the header.
//
// The header draws the images itself, whatever the model of its view holds. Threads: interface
// thread only. Ownership: the list view owns its header (Qt parenting).
#pragma once

#include "plinth/plinth_api.h"

#include <QHeaderView>
#include <QIcon>
#include <QList>
#include <map>

class PLINTH_API CKVHeaderCtrl : public QHeaderView
{
    Q_OBJECT

public:
    explicit CKVHeaderCtrl(QWidget* parent = nullptr);

    // Replaces the image list; the columns keep their image numbers and show the new images.
    void SetImageList(QList<QIcon> images);
    const QList<QIcon>& GetImageList() const { return m_images; }
    // Shows image number image of the list on column; -1 (or a number the list does not
    // hold) shows none. False when the column does not exist.
    bool SetItemImage(int column, int image);
    // The image number of column; -1 when it shows none.
    int GetItemImage(int column) const;

    // Widens the columns from first to last (-1: the last column) so that together with the
    // others they fill the header's width, each taking an equal share of the room left; no
    // column is made narrower. Nothing happens when there is no room left.
    void Autofit(int first = 0, int last = -1);

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    QList<QIcon> m_images;
    std::map<int, int> m_itemImages; // column -> image number
};
