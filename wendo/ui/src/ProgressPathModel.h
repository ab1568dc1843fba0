// The rows of the report window's path list, held compactly so that a run of hundreds of
// thousands of files costs tens of bytes per row beside its texts: a row is four 32-bit
// words (folder and message are shared strings, the name lies in a block of names), plus the
// size and times when the list shows file statistics. Texts are made only for the rows the
// view paints.
//
// Rows are stored as they arrive and shown with the next Publish, which puts each in its
// place in the list's order (path ascending at first; the last Sort after one). Each Publish
// costs a binary search per new row and one pass over the row order, so a run of 200,000
// files keeps every batch cheap; sorting the whole list happens only on request.
//
// Orders: text columns compare the shown text (UTF-8, or the Latin-1 reading of bytes that
// are not UTF-8) without regard to ASCII case; Size by value; Modified and Accessed by time,
// those that show no date after the others. Equal rows keep their order.
//
// Threads: interface thread only.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wendo::ui {

class CProgressPathModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        PathColumn,
        CommandColumn,
        SizeColumn,
        ModifiedColumn,
        AccessedColumn,
    };

    explicit CProgressPathModel(QObject* parent = nullptr);
    ~CProgressPathModel() override;

    // Empties the list, with statistics columns or without, and goes back to path order.
    void Reset(bool fileStats);
    bool HasFileStats() const { return m_fileStats; }
    // Stores a row whose path is folder followed by name (any split gives the same path);
    // size and times are kept only with statistics columns.
    void Add(std::string_view folder, std::string_view name, std::string_view message,
             std::int64_t size, std::int64_t modified, std::int64_t accessed);
    bool HasUnpublished() const { return m_order.size() < m_rows.size(); }
    // Shows every row added since the last call in its place; rows equal to shown ones go
    // after them, in their order of arrival.
    void Publish();
    // Orders the shown rows by column, ascending or not; later rows go in by the same order.
    // Selection and the current row follow their rows.
    void Sort(int column, bool ascending);
    // The path of the shown row, as stored (bytes); empty for a row out of range.
    std::string PathAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // Strings that many rows share (folders, messages), stored once each.
    class SharedTexts
    {
    public:
        std::uint32_t Intern(std::string_view text);
        std::string_view At(std::uint32_t id) const { return m_texts[id]; }
        bool IsLatin1(std::uint32_t id) const { return m_latin1[id] != 0; }
        void Clear();

    private:
        std::deque<std::string> m_texts; // a deque: the map's keys view them in place
        std::vector<std::uint8_t> m_latin1;
        std::unordered_map<std::string_view, std::uint32_t> m_ids;
    };

    // Names, end to end in blocks that never move; a name is found by its offset.
    class NameBlocks
    {
    public:
        static constexpr std::size_t kBlockBytes = std::size_t{1} << 16;
        // False when the name does not fit a block or the offsets are used up.
        bool Append(std::string_view name, std::uint32_t& offset);
        std::string_view At(std::uint32_t offset, std::uint32_t length) const;
        void Clear();

    private:
        std::vector<std::unique_ptr<char[]>> m_blocks;
        std::size_t m_used = kBlockBytes; // bytes taken in the last block
    };

    struct Row
    {
        std::uint32_t folder;  // SharedTexts id
        std::uint32_t message; // SharedTexts id
        std::uint32_t name;    // NameBlocks offset
        std::uint32_t nameLength : 31;
        std::uint32_t latin1 : 1; // the path is not UTF-8: shown as Latin-1
    };
    struct Stats
    {
        std::int64_t size;
        std::int64_t modified;
        std::int64_t accessed;
    };

    std::string Path(const Row& row) const;
    // The path as the list shows it, in UTF-8.
    std::string ShownPath(const Row& row) const;
    std::string ShownMessage(const Row& row) const;
    // Negative, 0 or positive as stored row a goes before, with or after b in the order.
    int Compare(std::uint32_t a, std::uint32_t b) const;
    int ComparePaths(const Row& a, const Row& b) const;
    // Moves the shown rows into order (each entry a stored row) and tells the views.
    void Reorder(std::vector<std::uint32_t> order);

    bool m_fileStats = false;
    int m_sortColumn = PathColumn;
    bool m_ascending = true;
    SharedTexts m_shared;
    NameBlocks m_names;
    // Stored rows in their order of arrival; deques grow without moving or doubling.
    std::deque<Row> m_rows;
    std::deque<Stats> m_stats; // one per row with statistics columns, else empty
    // The shown rows: position in the list -> stored row.
    std::vector<std::uint32_t> m_order;
};

} // namespace wendo::ui
