// The lower pane of the report window: one row per file that a run (or the replayed report)
// reported on, with the file's message and, when the command list records file statistics,
// its size and times. Rows are kept in ascending order of their path; a header click sorts
// by that column, and the column and direction last chosen hold for every path list of the
// program. A double click opens the file of the row when it still exists.
//
// Threads: interface thread only.
#pragma once

#include "fw/View.h"

#include <QList>
#include <cstdint>
#include <memory>
#include <vector>

class QTreeWidget;

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CProgressPathView : public fw::View
{
    Q_OBJECT

public:
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

    QTreeWidget* List() const { return m_list; }
    bool ShowsFileStatistics() const { return m_fileStats; }
    // The column and direction of the last header click of any path list; column -1 before
    // the first.
    static int LastSortColumn();
    static bool LastSortAscending();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class SortableRows;

    void RebuildColumns();
    void SizeColumns(int width);
    void AddRow(std::intptr_t fromReport);

    QTreeWidget* m_list;
    std::unique_ptr<SortableRows> m_rows;
    bool m_fileStats = false;
    // The columns were made before the list had its size; they take their widths from the
    // first size it gets.
    bool m_widthsPending = false;
    std::vector<int> m_sortKinds; // CSortClass::EDataType of each column
};

} // namespace wendo::ui
