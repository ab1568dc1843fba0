#include "ProgressPathView.h"

#include "fw/ByteText.h"

#include "engine/Notifications.h"
#include "engine/Report.h"
#include "fw/WinApp.h"
#include "model/WendoDoc.h"
#include "os/file.h"
#include "tessel/SortClass.h"
#include "tessel/SortableList.h"

#include <QApplication>
#include <QHeaderView>
#include <QResizeEvent>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace wendo::ui {

namespace {

QString FromUtf8(const std::string& text)
{
    return fw::ShowBytes(text);
}

constexpr int kDataRole = Qt::UserRole;

// The last header click of any path list. Interface thread only.
int g_sortColumn = -1;
bool g_sortAscending = true;

} // namespace

// The list's rows as CSortClass sees them: each row's data word lives in the row itself.
class CProgressPathView::SortableRows final : public ISortableList
{
public:
    explicit SortableRows(QTreeWidget& list) : m_list(list) {}

    int GetItemCount() const override { return m_list.topLevelItemCount(); }
    std::string GetItemText(int row, int column) const override
    {
        const QTreeWidgetItem* item = m_list.topLevelItem(row);
        return item != nullptr ? item->text(column).toStdString() : std::string();
    }
    std::uintptr_t GetItemData(int row) const override
    {
        const QTreeWidgetItem* item = m_list.topLevelItem(row);
        return item != nullptr ? item->data(0, kDataRole).value<quintptr>() : 0;
    }
    void SetItemData(int row, std::uintptr_t data) override
    {
        if (QTreeWidgetItem* item = m_list.topLevelItem(row)) {
            item->setData(0, kDataRole, QVariant::fromValue<quintptr>(data));
        }
    }
    void SortItems(CompareFunc compare, std::uintptr_t param) override
    {
        QList<QTreeWidgetItem*> items = m_list.invisibleRootItem()->takeChildren();
        std::stable_sort(items.begin(), items.end(),
                         [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                             return compare(a->data(0, kDataRole).value<quintptr>(),
                                            b->data(0, kDataRole).value<quintptr>(), param) < 0;
                         });
        m_list.addTopLevelItems(items);
    }

private:
    QTreeWidget& m_list;
};

CProgressPathView::CProgressPathView(CWendoDoc& document, QWidget* parent)
    : fw::View(document, parent), m_list(new QTreeWidget(this)),
      m_rows(std::make_unique<SortableRows>(*m_list)), m_batch(new QTimer(this))
{
    setObjectName(QStringLiteral("CProgressPathView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSortingEnabled(false);
    m_list->setAllColumnsShowFocus(true);
    // Grid lines between the cells, as a report list draws them.
    // A style sheet that styles items takes over their selected look too, so it says it.
    m_list->setStyleSheet(
        QStringLiteral("QTreeView::item { border-right: 1px solid palette(midlight);"
                       " border-bottom: 1px solid palette(midlight); }"
                       "QTreeView::item:selected { background: palette(highlight);"
                       " color: palette(highlighted-text); }"));
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionsClickable(true);
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { SortByColumn(column); });
    // The row's index counts the rows still waiting: they go in before it is taken.
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
        FlushPending();
        OpenRow(m_list->indexOfTopLevelItem(item));
    });
    m_batch->setSingleShot(true);
    m_batch->setInterval(kBatchMs);
    connect(m_batch, &QTimer::timeout, this, [this] { FlushPending(); });
    AddPreviewCommand();
}

CProgressPathView::~CProgressPathView() = default;

CWendoDoc& CProgressPathView::GetWendoDoc() const
{
    return *static_cast<CWendoDoc*>(GetDocument());
}

QTreeWidget* CProgressPathView::List() const
{
    FlushPending();
    return m_list;
}

void CProgressPathView::FlushPending() const
{
    m_batch->stop();
    if (m_pending.empty()) {
        return;
    }
    // Taken out first: a flush reentered from an insertion has nothing left to insert twice.
    std::vector<std::unique_ptr<QTreeWidgetItem>> rows;
    rows.swap(m_pending);
    // Inserted one by one in their order of arrival, as each would have gone in on its own:
    // the tree view lays out its rows once, on its next pass of the event loop.
    for (std::unique_ptr<QTreeWidgetItem>& row : rows) {
        InsertSorted(row.release());
    }
}

int CProgressPathView::LastSortColumn()
{
    return g_sortColumn;
}

bool CProgressPathView::LastSortAscending()
{
    return g_sortAscending;
}

void CProgressPathView::OnInitialUpdate()
{
    RebuildColumns();
}

std::intptr_t CProgressPathView::OnNotification(std::uint32_t message, std::intptr_t wParam)
{
    if (message == WMU_PATHS_CLEAR) {
        RebuildColumns();
        return 1;
    }
    if (message == WMU_ADD_FILE_LINE) {
        AddRow(wParam);
        return 1;
    }
    return 0;
}

void CProgressPathView::RebuildColumns()
{
    // Rows still waiting came before the clear and go with it.
    m_pending.clear();
    m_batch->stop();
    m_list->clear();
    m_fileStats = GetWendoDoc().HasFileStatCommand() != 0;
    QStringList headers = {QStringLiteral("Path"), QStringLiteral("Command")};
    m_sortKinds = {CSortClass::Text, CSortClass::Text};
    if (m_fileStats) {
        headers << QStringLiteral("Size") << QStringLiteral("Modified")
                << QStringLiteral("Accessed");
        m_sortKinds.insert(m_sortKinds.end(),
                           {CSortClass::WholeNumber, CSortClass::DateTime, CSortClass::DateTime});
    }
    m_list->setColumnCount(static_cast<int>(headers.size()));
    m_list->setHeaderLabels(headers);
    m_widthsPending = !isVisible();
    SizeColumns(m_list->width());
}

void CProgressPathView::resizeEvent(QResizeEvent* event)
{
    fw::View::resizeEvent(event);
    if (m_widthsPending) {
        // The list fills the view.
        SizeColumns(event->size().width());
        m_widthsPending = !isVisible();
    }
}

void CProgressPathView::SizeColumns(int width)
{
    const int parts = m_fileStats ? 5 : 3;
    m_list->setColumnWidth(0, 2 * (width / parts));
    m_list->setColumnWidth(1, width / parts);
    // Size, Modified, Accessed: never narrower than a date as the list writes it.
    static constexpr std::int64_t kSomeDate = 1700000000;
    const int date =
        m_list->fontMetrics().horizontalAdvance(FromUtf8(FormatReportTime(kSomeDate))) + 16;
    for (int column = 2; column < m_list->columnCount(); ++column) {
        m_list->setColumnWidth(column, std::max(2 * width / (3 * parts), date));
    }
}

void CProgressPathView::AddRow(std::intptr_t fromReport)
{
    const RunRecord& run = GetWendoDoc().Run;
    // A replayed report puts the row's path in the status text; a run gives the directory
    // (with its separator) and the file's name, both already in display form.
    const std::string path = fromReport == 1 ? run.Status() : run.Directory() + run.FileName();
    auto item = std::make_unique<QTreeWidgetItem>();
    item->setText(0, FromUtf8(path));
    item->setText(1, FromUtf8(run.FileMessage()));
    if (m_fileStats) {
        item->setText(2, QString::number(run.FileSize.load()));
        item->setText(3, FromUtf8(FormatReportTime(run.FileModifTime.load())));
        item->setText(4, FromUtf8(FormatReportTime(run.FileAccessTime.load())));
    }
    m_pending.push_back(std::move(item));
    // A replayed report (or a row outside a run) goes in at once; the list still lays out
    // once for a whole replay, which runs in one pass of the event loop.
    if (GetWendoDoc().Started.load() == 0) {
        FlushPending();
    } else if (!m_batch->isActive()) {
        m_batch->start();
    }
}

void CProgressPathView::InsertSorted(QTreeWidgetItem* item) const
{
    // Ascending by path, without regard to case; equal paths keep their order of arrival.
    int low = 0;
    int high = m_list->topLevelItemCount();
    const QString key = item->text(0);
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (key.compare(m_list->topLevelItem(middle)->text(0), Qt::CaseInsensitive) < 0) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    m_list->insertTopLevelItem(low, item);
}

void CProgressPathView::SortByColumn(int column)
{
    if (column < 0 || column >= static_cast<int>(m_sortKinds.size())) {
        return;
    }
    FlushPending();
    g_sortAscending = column == g_sortColumn ? !g_sortAscending : true;
    g_sortColumn = column;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        CSortClass sorter(m_rows.get(), column);
        sorter.Sort(g_sortAscending, m_sortKinds[static_cast<std::size_t>(column)]);
    }
    QApplication::restoreOverrideCursor();
}

bool CProgressPathView::OpenRow(int row)
{
    FlushPending();
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (item == nullptr) {
        return false;
    }
    const QString path = item->text(0);
    if (path.isEmpty() || !os::Exists(path.toStdString())) {
        return false;
    }
    fw::WinApp* app = fw::WinApp::Get();
    return app != nullptr && app->OpenDocumentFile(path) != nullptr;
}

} // namespace wendo::ui
