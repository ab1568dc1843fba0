// A view that is a report list: columns with headers that do not sort, single selection, an
// image list for the rows, and rows that the user reorders by dragging them with the left
// button. The list reports a drag when the button is released (OnEndDrag, with
// GetDraggingParam); what the drop does is the derived view's business, and the list only
// shows where the row would go while it is dragged.
//
// Double click and Enter (OnItemActivated), the Delete key (OnDeleteKey), the context menu
// request (OnContextMenu) and gaining the focus (OnListFocus) are handed to the derived view.
//
// Threads: interface thread only. Ownership: the view owns its list control (Qt parenting).
#pragma once

#include "fw/View.h"
#include "plinth/plinth_api.h"

#include <QIcon>
#include <QList>
#include <set>

class QRubberBand;
class QTreeWidget;

// The first selected row of a flat list, or -1; and selecting a row as the current one (a row
// that does not exist clears the selection). Shared by every list of the program.
PLINTH_API int KVSelectedRow(const QTreeWidget& list);
PLINTH_API void KVSelectRow(QTreeWidget& list, int row);

class PLINTH_API CKVListView : public fw::View
{
    Q_OBJECT

public:
    CKVListView(core::CDocument& document, QWidget* parent);
    ~CKVListView() override;

    QTreeWidget& GetListCtrl() const { return *m_list; }

    // Columns are added at the end; the result is the new column's index.
    int InsertColumn(const QString& header, int width);
    void SetImageList(QList<QIcon> images);
    const QList<QIcon>& GetImageList() const { return m_images; }

    int GetItemCount() const;
    // Inserts a row at row (clamped to the ends) with the text of column 0 and an image of the
    // image list; the row it got.
    int InsertItem(int row, const QString& text, int image);
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    bool SetItemImage(int row, int image);
    // The image number of a row; -1 when the row does not exist.
    int GetItemImage(int row) const;
    bool DeleteItem(int row);
    void DeleteAllItems();
    // The selected row, -1 when none.
    int GetSelectedRow() const;
    void SelectRow(int row);
    // The row at a point of the list's viewport, -1 over empty space.
    int HitTest(const QPoint& viewportPoint) const;

    // Rows that show image cannot be dragged.
    void AddIconNot2Drag(int image);
    bool IsDragging() const { return m_dragging; }
    // The rows of the drag that ends now and whether the drop falls after the target row;
    // false when no drag is ending (or the drop fell outside every row).
    bool GetDraggingParam(int& source, int& target, bool& after) const;

protected:
    // Called when the left button is released at the end of a drag, before the list's own
    // release handling.
    virtual void OnEndDrag() {}
    virtual void OnItemActivated(int /*row*/) {}
    virtual void OnDeleteKey() {}
    // A context menu is asked for at a global position, over row (-1 over empty space).
    virtual void OnContextMenu(const QPoint& /*globalPos*/, int /*row*/) {}
    virtual void OnListFocus() {}

private:
    class ListCtrl;
    friend class ListCtrl;

    void PressAt(const QPoint& point);
    bool MoveTo(const QPoint& point);
    bool ReleaseAt(const QPoint& point);
    void CancelDrag();
    void ShowDropMark();

    QTreeWidget* m_list;
    QList<QIcon> m_images;
    std::set<int> m_notToDrag;
    QRubberBand* m_dropMark;
    QPoint m_pressPoint;
    int m_pressRow = -1;
    bool m_dragging = false;
    // Valid while OnEndDrag runs.
    bool m_ending = false;
    int m_target = -1;
    bool m_after = false;
};
