#include "ProgressPathView.h"

#include "ProgressPathModel.h"
#include "engine/Notifications.h"
#include "engine/Report.h"
#include "fw/ByteText.h"
#include "fw/WinApp.h"
#include "model/WendoDoc.h"
#include "os/file.h"
#include "os/path.h"

#include <QApplication>
#include <QHeaderView>
#include <QResizeEvent>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace wendo::ui {

namespace {

// The last header click of any path list. Interface thread only.
int g_sortColumn = -1;
bool g_sortAscending = true;

} // namespace

CProgressPathView::CProgressPathView(CWendoDoc& document, QWidget* parent)
    : fw::View(document, parent), m_rows(new CProgressPathModel(this)), m_list(new QTreeView(this)),
      m_batch(new QTimer(this))
{
    setObjectName(QStringLiteral("CProgressPathView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    m_list->setModel(m_rows);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    // One height for every row: the view then lays out a long list without asking each row.
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
    // The row is taken before anything is published: a batch may move it.
    connect(m_list, &QTreeView::doubleClicked, this,
            [this](const QModelIndex& index) { OpenPath(m_rows->PathAt(index.row())); });
    m_batch->setSingleShot(true);
    connect(m_batch, &QTimer::timeout, this, [this] { FlushPending(); });
    AddPreviewCommand();
}

CProgressPathView::~CProgressPathView() = default;

CWendoDoc& CProgressPathView::GetWendoDoc() const
{
    return *static_cast<CWendoDoc*>(GetDocument());
}

QTreeView* CProgressPathView::List() const
{
    FlushPending();
    return m_list;
}

void CProgressPathView::FlushPending() const
{
    m_batch->stop();
    m_rows->Publish();
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
    m_batch->stop();
    m_fileStats = GetWendoDoc().HasFileStatCommand() != 0;
    m_rows->Reset(m_fileStats);
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
        m_list->fontMetrics().horizontalAdvance(fw::ShowBytes(FormatReportTime(kSomeDate))) + 16;
    for (int column = 2; column < m_rows->columnCount(); ++column) {
        m_list->setColumnWidth(column, std::max(2 * width / (3 * parts), date));
    }
}

void CProgressPathView::AddRow(std::intptr_t fromReport)
{
    const RunRecord& run = GetWendoDoc().Run;
    // A replayed report puts the row's path in the status text; a run gives the directory
    // (with its separator) and the file's name, both already in display form.
    if (fromReport == 1) {
        const std::string path = run.Status();
        const std::size_t slash = path.rfind('/');
        const std::size_t split = slash == std::string::npos ? 0 : slash + 1;
        m_rows->Add(std::string_view(path).substr(0, split), std::string_view(path).substr(split),
                    run.FileMessage(), run.FileSize.load(), run.FileModifTime.load(),
                    run.FileAccessTime.load());
    } else {
        m_rows->Add(run.Directory(), run.FileName(), run.FileMessage(), run.FileSize.load(),
                    run.FileModifTime.load(), run.FileAccessTime.load());
    }
    // A live run's rows wait up to a batch; a replayed report's (or a row outside a run) for
    // the end of the pass of the event loop that brings them, so that a replay of many rows
    // is shown at once.
    if (!m_batch->isActive()) {
        m_batch->start(GetWendoDoc().Started.load() != 0 ? kBatchMs : 0);
    }
}

void CProgressPathView::SortByColumn(int column)
{
    if (column < 0 || column >= m_rows->columnCount()) {
        return;
    }
    FlushPending();
    g_sortAscending = column == g_sortColumn ? !g_sortAscending : true;
    g_sortColumn = column;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_rows->Sort(column, g_sortAscending);
    QApplication::restoreOverrideCursor();
}

bool CProgressPathView::OpenRow(int row)
{
    FlushPending();
    return OpenPath(m_rows->PathAt(row));
}

bool CProgressPathView::OpenPath(const std::string& path)
{
    if (path.empty() || !os::Exists(path)) {
        return false;
    }
    fw::WinApp* app = fw::WinApp::Get();
    return app != nullptr && app->OpenDocumentFile(fw::ShowBytes(path)) != nullptr;
}

std::string CProgressPathView::SelectedPath() const
{
    // Rows still waiting for their batch cannot be selected yet; no flush is needed.
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid() || !m_list->selectionModel()->isSelected(current)) {
        return {};
    }
    const std::string native = m_rows->PathAt(current.row());
    return !native.empty() && os::Exists(native) ? os::FromNative(native) : std::string();
}

} // namespace wendo::ui
