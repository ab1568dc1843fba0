// The lower pane of the report window: one row per file that a run (or the replayed report)
// reported on, with the file's message and, when the command list records file statistics,
// its size and times. Rows are kept in ascending order of their path; a header click sorts
// by that column, and the column and direction last chosen hold for every path list of the
// program. A double click opens the file of the row when it still exists.
//
// The rows live in a CProgressPathModel (compact, sorted on request) shown by a tree view.
// While the document's run is started, rows are stored from the run record at once (the
// worker waits in its send until then) but shown in batches, at most kBatchMs apart; rows of
// a replayed report are shown together on the next pass of the event loop. Every reader of
// the rows (List, SortByColumn, OpenRow) and the end of the run publish the batch first, so
// they see exactly the rows and order that showing each row on arrival would give.
//
// Threads: interface thread only.
#pragma once

#include "fw/View.h"

#include <cstdint>
#include <string>

class QTimer;
class QTreeView;

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CProgressPathModel;

class CProgressPathView : public fw::View
{
    Q_OBJECT

public:
    // The longest a row of a live run waits before it reaches the list.
    static constexpr int kBatchMs = 50;

    CProgressPathView(CWendoDoc& document, QWidget* parent);
    ~CProgressPathView() override;

    CWendoDoc& GetWendoDoc() const;
    void OnInitialUpdate() override;
    // WMU_PATHS_CLEAR and WMU_ADD_FILE_LINE (engine/Notifications.h); 1 when handled.
    std::intptr_t OnNotification(std::uint32_t message, std::intptr_t wParam);

    // Sorts by column as a header click does: the same column again reverses the direction,
    // another one sorts ascending.
    void SortByColumn(int column);
    // Opens the file of row as a document of the program when its path is not empty and the
    // file exists; false otherwise.
    bool OpenRow(int row);

    // The file of the selected row (kept form), which Preview Changes shows; empty when no
    // row is selected or its file is gone.
    std::string SelectedPath() const;

    // Shows the rows that wait for the next batch; the end of a run calls it.
    void FlushPending() const;
    // The list with every row added so far.
    QTreeView* List() const;
    bool ShowsFileStatistics() const { return m_fileStats; }
    // The column and direction of the last header click of any path list; column -1 before
    // the first.
    static int LastSortColumn();
    static bool LastSortAscending();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void RebuildColumns();
    void SizeColumns(int width);
    void AddRow(std::intptr_t fromReport);
    bool OpenPath(const std::string& path);
    // Preview Changes: the command and the list's pop-up menu (PathPreview.cpp).
    void AddPreviewCommand();

    // Owned by the view (Qt parent); the list shows it.
    CProgressPathModel* m_rows;
    QTreeView* m_list;
    bool m_fileStats = false;
    // The columns were made before the list had its size; they take their widths from the
    // first size it gets.
    bool m_widthsPending = false;
    // Publishes the rows stored but not yet shown.
    QTimer* m_batch;
};

} // namespace wendo::ui
