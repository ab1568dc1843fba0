#include "ProgressPathModel.h"

#include "engine/Report.h"
#include "fw/ByteText.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace wendo::ui {

namespace {

char FoldAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares head + tail of each side, as one text, without regard to ASCII case.
int CompareJoined(std::string_view headA, std::string_view tailA, std::string_view headB,
                  std::string_view tailB)
{
    const std::size_t sizeA = headA.size() + tailA.size();
    const std::size_t sizeB = headB.size() + tailB.size();
    const std::size_t common = std::min(sizeA, sizeB);
    for (std::size_t i = 0; i < common; ++i) {
        const char a = i < headA.size() ? headA[i] : tailA[i - headA.size()];
        const char b = i < headB.size() ? headB[i] : tailB[i - headB.size()];
        const auto foldedA = static_cast<unsigned char>(FoldAscii(a));
        const auto foldedB = static_cast<unsigned char>(FoldAscii(b));
        if (foldedA != foldedB) {
            return foldedA < foldedB ? -1 : 1;
        }
    }
    return sizeA < sizeB ? -1 : (sizeA > sizeB ? 1 : 0);
}

int CompareFolded(std::string_view a, std::string_view b)
{
    return CompareJoined(a, {}, b, {});
}

std::string Latin1ToUtf8(std::string_view bytes)
{
    return fw::ShowBytes(bytes).toStdString();
}

// A time the Modified and Accessed columns show as a date: not 0 ("NULL") and with a year
// of four digits. The bounds keep a day's margin for the time zone.
bool ShowsAsDate(std::int64_t seconds)
{
    constexpr std::int64_t kYear1 = -62135596800 + 86400;
    constexpr std::int64_t kYear10000 = 253402300800 - 86400;
    return seconds != 0 && seconds >= kYear1 && seconds < kYear10000;
}

template <typename T> int Order(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

// ---- SharedTexts ----

std::uint32_t CProgressPathModel::SharedTexts::Intern(std::string_view text)
{
    const auto found = m_ids.find(text);
    if (found != m_ids.end()) {
        return found->second;
    }
    const auto id = static_cast<std::uint32_t>(m_texts.size());
    const std::string& stored = m_texts.emplace_back(text);
    m_latin1.push_back(fw::EncodingOf(stored) == fw::TextEncoding::Latin1 ? 1 : 0);
    m_ids.emplace(std::string_view(stored), id);
    return id;
}

void CProgressPathModel::SharedTexts::Clear()
{
    m_ids.clear();
    m_texts.clear();
    m_latin1.clear();
}

// ---- NameBlocks ----

bool CProgressPathModel::NameBlocks::Append(std::string_view name, std::uint32_t& offset)
{
    constexpr std::size_t kMaxBlocks =
        (std::size_t{std::numeric_limits<std::uint32_t>::max()} + 1) / kBlockBytes;
    if (name.empty()) {
        offset = 0;
        return true;
    }
    if (name.size() > kBlockBytes) {
        return false;
    }
    if (kBlockBytes - m_used < name.size()) {
        if (m_blocks.size() == kMaxBlocks) {
            return false;
        }
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
        m_used = 0;
    }
    offset = static_cast<std::uint32_t>((m_blocks.size() - 1) * kBlockBytes + m_used);
    std::memcpy(m_blocks.back().get() + m_used, name.data(), name.size());
    m_used += name.size();
    return true;
}

std::string_view CProgressPathModel::NameBlocks::At(std::uint32_t offset,
                                                    std::uint32_t length) const
{
    if (length == 0) {
        return {};
    }
    return {m_blocks[offset / kBlockBytes].get() + offset % kBlockBytes, length};
}

void CProgressPathModel::NameBlocks::Clear()
{
    m_blocks.clear();
    m_used = kBlockBytes;
}

// ---- The model ----

CProgressPathModel::CProgressPathModel(QObject* parent) : QAbstractTableModel(parent)
{
}

CProgressPathModel::~CProgressPathModel() = default;

void CProgressPathModel::Reset(bool fileStats)
{
    beginResetModel();
    m_fileStats = fileStats;
    m_sortColumn = PathColumn;
    m_ascending = true;
    m_order = {};
    m_rows = {};
    m_stats = {};
    m_names.Clear();
    m_shared.Clear();
    endResetModel();
}

void CProgressPathModel::Add(std::string_view folder, std::string_view name,
                             std::string_view message, std::int64_t size, std::int64_t modified,
                             std::int64_t accessed)
{
    // Past the rows a list can hold, a row would only be lost further on.
    if (m_rows.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return;
    }
    Row row{};
    std::uint32_t offset = 0;
    if (m_names.Append(name, offset)) {
        row.folder = m_shared.Intern(folder);
        row.name = offset;
        row.nameLength = static_cast<std::uint32_t>(name.size());
    } else {
        // A name longer than a block (or past the blocks' reach) keeps its whole path shared.
        row.folder = m_shared.Intern(std::string(folder) + std::string(name));
    }
    row.message = m_shared.Intern(message);
    row.latin1 = m_shared.IsLatin1(row.folder) ||
                 fw::EncodingOf(m_names.At(row.name, row.nameLength)) == fw::TextEncoding::Latin1;
    m_rows.push_back(row);
    if (m_fileStats) {
        m_stats.push_back(Stats{size, modified, accessed});
    }
}

std::string CProgressPathModel::Path(const Row& row) const
{
    std::string path(m_shared.At(row.folder));
    path += m_names.At(row.name, row.nameLength);
    return path;
}

std::string CProgressPathModel::ShownPath(const Row& row) const
{
    return row.latin1 ? Latin1ToUtf8(Path(row)) : Path(row);
}

std::string CProgressPathModel::ShownMessage(const Row& row) const
{
    const std::string_view message = m_shared.At(row.message);
    return m_shared.IsLatin1(row.message) ? Latin1ToUtf8(message) : std::string(message);
}

std::string CProgressPathModel::PathAt(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_order.size()) {
        return {};
    }
    return Path(m_rows[m_order[static_cast<std::size_t>(row)]]);
}

int CProgressPathModel::ComparePaths(const Row& a, const Row& b) const
{
    if (a.latin1 || b.latin1) {
        return CompareFolded(ShownPath(a), ShownPath(b));
    }
    const std::string_view nameA = m_names.At(a.name, a.nameLength);
    const std::string_view nameB = m_names.At(b.name, b.nameLength);
    if (a.folder == b.folder) {
        return CompareFolded(nameA, nameB);
    }
    return CompareJoined(m_shared.At(a.folder), nameA, m_shared.At(b.folder), nameB);
}

int CProgressPathModel::Compare(std::uint32_t a, std::uint32_t b) const
{
    const Row& rowA = m_rows[a];
    const Row& rowB = m_rows[b];
    int result = 0;
    switch (m_sortColumn) {
    case PathColumn:
        result = ComparePaths(rowA, rowB);
        break;
    case CommandColumn:
        if (rowA.message != rowB.message) {
            result = CompareFolded(ShownMessage(rowA), ShownMessage(rowB));
        }
        break;
    case SizeColumn:
        result = Order(m_stats[a].size, m_stats[b].size);
        break;
    case ModifiedColumn:
    case AccessedColumn: {
        const bool modified = m_sortColumn == ModifiedColumn;
        const std::int64_t timeA = modified ? m_stats[a].modified : m_stats[a].accessed;
        const std::int64_t timeB = modified ? m_stats[b].modified : m_stats[b].accessed;
        const bool dateA = ShowsAsDate(timeA);
        const bool dateB = ShowsAsDate(timeB);
        // Those without a date go after the dates (before them in descending order).
        result = dateA != dateB ? (dateA ? -1 : 1) : Order(timeA, timeB);
        break;
    }
    default:
        break;
    }
    return m_ascending ? result : -result;
}

void CProgressPathModel::Publish()
{
    if (!HasUnpublished()) {
        return;
    }
    const std::size_t shown = m_order.size();
    std::vector<std::uint32_t> added(m_rows.size() - shown);
    for (std::size_t i = 0; i < added.size(); ++i) {
        added[i] = static_cast<std::uint32_t>(shown + i);
    }
    const auto before = [this](std::uint32_t a, std::uint32_t b) { return Compare(a, b) < 0; };
    std::stable_sort(added.begin(), added.end(), before);
    // Where each new row goes among the shown ones: after every row it does not precede.
    std::vector<std::size_t> places(added.size());
    auto from = m_order.begin();
    for (std::size_t i = 0; i < added.size(); ++i) {
        from = std::upper_bound(from, m_order.end(), added[i], before);
        places[i] = static_cast<std::size_t>(from - m_order.begin());
    }
    if (places.front() == shown) {
        // All after the shown rows (a walk in the list's order): one insertion at the end.
        beginInsertRows({}, static_cast<int>(shown), static_cast<int>(m_rows.size() - 1));
        m_order.insert(m_order.end(), added.begin(), added.end());
        endInsertRows();
        return;
    }
    // Scattered: shown at the end first, then moved into place as one change of layout.
    beginInsertRows({}, static_cast<int>(shown), static_cast<int>(m_rows.size() - 1));
    m_order.insert(m_order.end(), added.begin(), added.end());
    endInsertRows();
    std::vector<std::uint32_t> merged;
    merged.reserve(m_order.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < added.size(); ++i) {
        merged.insert(merged.end(), m_order.begin() + static_cast<std::ptrdiff_t>(next),
                      m_order.begin() + static_cast<std::ptrdiff_t>(places[i]));
        merged.push_back(added[i]);
        next = places[i];
    }
    merged.insert(merged.end(), m_order.begin() + static_cast<std::ptrdiff_t>(next),
                  m_order.begin() + static_cast<std::ptrdiff_t>(shown));
    Reorder(std::move(merged));
}

void CProgressPathModel::Sort(int column, bool ascending)
{
    if (column < 0 || column >= columnCount()) {
        return;
    }
    m_sortColumn = column;
    m_ascending = ascending;
    std::vector<std::uint32_t> order = m_order;
    std::stable_sort(order.begin(), order.end(),
                     [this](std::uint32_t a, std::uint32_t b) { return Compare(a, b) < 0; });
    Reorder(std::move(order));
}

void CProgressPathModel::Reorder(std::vector<std::uint32_t> order)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Persistent indexes (the selection, the current row) follow their stored rows.
    std::vector<int> positionOf(m_rows.size(), -1);
    for (std::size_t position = 0; position < order.size(); ++position) {
        positionOf[order[position]] = static_cast<int>(position);
    }
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from) {
        const std::uint32_t stored = m_order[static_cast<std::size_t>(index.row())];
        to.append(index.sibling(positionOf[stored], index.column()));
    }
    m_order = std::move(order);
    changePersistentIndexList(from, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CProgressPathModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_order.size());
}

int CProgressPathModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid()) {
        return 0;
    }
    return m_fileStats ? 5 : 2;
}

QVariant CProgressPathModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const std::uint32_t stored = m_order[static_cast<std::size_t>(index.row())];
    const Row& row = m_rows[stored];
    switch (index.column()) {
    case PathColumn:
        return fw::ShowBytes(Path(row));
    case CommandColumn:
        return fw::ShowBytes(m_shared.At(row.message));
    case SizeColumn:
        return m_fileStats ? QString::number(m_stats[stored].size) : QVariant();
    case ModifiedColumn:
    case AccessedColumn:
        if (!m_fileStats) {
            return {};
        }
        return fw::ShowBytes(FormatReportTime(index.column() == ModifiedColumn
                                                  ? m_stats[stored].modified
                                                  : m_stats[stored].accessed));
    default:
        return {};
    }
}

QVariant CProgressPathModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kTitles[] = {"Path", "Command", "Size", "Modified", "Accessed"};
    if (section < 0 || section >= columnCount()) {
        return {};
    }
    return QString::fromLatin1(kTitles[section]);
}

Qt::ItemFlags CProgressPathModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

} // namespace wendo::ui
