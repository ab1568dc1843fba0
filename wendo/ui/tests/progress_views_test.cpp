// The report window fed with prepared run records, and real runs of the desktop program.
#include "ProgressIcons.h"
#include "ReportFrame.h"
#include "RunControl.h"
#include "UiTestSupport.h"
#include "Views.h"
#include "WendoIds.h"
#include "engine/Notifications.h"
#include "fw/ChildFrame.h"
#include "tessel/FileList.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

using namespace wendo::ui;
using wendo::CWendoDoc;
namespace fs = std::filesystem;

const std::string kAtoB = "FINDREPL CASESENS DELIMITER ~a~ VALUE ~b~";

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

QStringList Column(const QTreeView* list, int column)
{
    QStringList texts;
    const QAbstractItemModel* rows = list->model();
    for (int row = 0; row < rows->rowCount(); ++row) {
        texts << rows->index(row, column).data().toString();
    }
    return texts;
}

QStringList StatisticsRow(const QTableWidget* list)
{
    QStringList cells;
    for (int column = 0; column < list->columnCount(); ++column) {
        const QTableWidgetItem* cell = list->item(0, column);
        cells << (cell != nullptr ? cell->text() : QStringLiteral("-"));
    }
    return cells;
}

class ProgressViewsTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        m_previous = fs::current_path();
        // Command files name their paths relative to the working folder, as the example does.
        fs::current_path(m_home.path().toStdString());
    }
    void TearDown() override
    {
        UiTest::TearDown();
        fs::current_path(m_previous);
    }

    // A command file in the scratch folder, saved as the program saves it.
    QString SaveJob(const std::vector<std::string>& commands, const std::string& pathSpec,
                    const std::string& name = "job.wdo") const
    {
        CWendoDoc doc;
        doc.Report = 1;
        doc.Backup = 0;
        for (const std::string& command : commands) {
            doc.Commands.emplace_back(std::string_view(command));
        }
        if (!pathSpec.empty()) {
            doc.FileSet.Append(CFileList(pathSpec.c_str(), 1, 0, 0, nullptr));
        }
        const QString path = m_home.path() + "/" + QString::fromStdString(name);
        EXPECT_TRUE(doc.OnSaveDocument(path.toStdString()));
        return path;
    }

    CWendoDoc* Open(const QString& path)
    {
        return dynamic_cast<CWendoDoc*>(m_app->OpenDocumentFile(path));
    }

    void ShowReport(CWendoDoc* doc)
    {
        Frame().ActivateDocView(m_app->ReportTemplate, fw::ViewClassOf<CProgressView>(), doc);
        m_progress = static_cast<CProgressView*>(
            CMainFrame::FindDocView(doc, fw::ViewClassOf<CProgressView>()));
        m_paths = static_cast<CProgressPathView*>(
            CMainFrame::FindDocView(doc, fw::ViewClassOf<CProgressPathView>()));
        ASSERT_NE(m_progress, nullptr);
        ASSERT_NE(m_paths, nullptr);
    }

    void Notify(CWendoDoc* doc, std::uint32_t message, std::intptr_t wParam = 0)
    {
        Frame().OnRunNotification(message, wParam, doc);
    }

    // Answers the next "Stop/Suspend" question with choice once it is shown.
    void AnswerStopQuestion(StopChoice choice)
    {
        auto* poll = new QTimer(&Frame());
        QObject::connect(poll, &QTimer::timeout, poll, [poll, choice] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) {
                return;
            }
            poll->deleteLater();
            auto* dialog = qobject_cast<QDialog*>(modal);
            if (choice == StopChoice::Cancel) {
                dialog->reject();
                return;
            }
            const char* radio =
                choice == StopChoice::Suspend ? "radio_1002_suspend" : "radio_1001_stop";
            dialog->findChild<QRadioButton*>(QString::fromLatin1(radio))->setChecked(true);
            dialog->accept();
        });
        poll->start(10);
    }

    void StartPaced(bool pace)
    {
        Start();
        m_app->GetProfile().WriteInt(kPaceSection, kPaceEntry, pace ? 1 : 0);
    }

    // a.htm and sub/c.htm hold 3 and 1 letters a; b.htm none.
    void MakeTree()
    {
        const fs::path tree = fs::path(m_home.path().toStdString()) / "tree";
        WriteFile(tree / "a.htm", "a a a");
        WriteFile(tree / "b.htm", "xyz");
        WriteFile(tree / "sub" / "c.htm", "a");
    }
    fs::path TreeFile(const std::string& name) const
    {
        return fs::path(m_home.path().toStdString()) / "tree" / name;
    }

    // Closes every window; the document goes with its last one.
    void CloseAllWindows(CWendoDoc* doc)
    {
        for (fw::ChildFrame* frame : Frame().GetChildFrames()) {
            frame->close();
        }
        ASSERT_TRUE(SpinUntil([this, doc] { return m_app->FindOpenWendoDoc(doc) == nullptr; }));
    }

    fs::path m_previous;
    CProgressView* m_progress = nullptr;
    CProgressPathView* m_paths = nullptr;
};

// ---- Views fed with prepared run records ----

TEST_F(ProgressViewsTest, TheStatisticsListHasTotalAndOneCentredColumnPerCommand)
{
    Start();
    CWendoDoc* doc = OpenSite();
    ASSERT_NE(doc, nullptr);
    ShowReport(doc);
    const QTableWidget* list = m_progress->StatisticsList();
    ASSERT_EQ(list->columnCount(), 9);
    EXPECT_EQ(list->horizontalHeaderItem(0)->text(), QStringLiteral("Total"));
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QStringLiteral("FILESTAT"));
    EXPECT_EQ(list->horizontalHeaderItem(0)->textAlignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    EXPECT_EQ(list->horizontalHeaderItem(2)->textAlignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(list->rowCount(), 1);

    const QString empty = SaveJob({}, "tree/*.htm", "empty.wdo");
    CWendoDoc* none = Open(empty);
    ASSERT_NE(none, nullptr);
    ShowReport(none);
    EXPECT_EQ(m_progress->StatisticsList()->columnCount(), 1);
    EXPECT_EQ(m_progress->StatisticsList()->rowCount(), 0) << "no commands, no row";
    none->Run.ResetCounters(0);
    Notify(none, wendo::WMU_FILE_MODIFIED);
    EXPECT_EQ(m_progress->StatisticsList()->rowCount(), 0);
}

TEST_F(ProgressViewsTest, FileModifiedShowsTheCountsItNames)
{
    Start();
    CWendoDoc* doc = Open(SaveJob({kAtoB, "FINDREPL DELIMITER ~x~ VALUE ~y~"}, "tree/*.htm"));
    ASSERT_NE(doc, nullptr);
    ShowReport(doc);
    const QTableWidget* list = m_progress->StatisticsList();
    ASSERT_EQ(list->columnCount(), 3);

    struct Row
    {
        const char* name;
        std::vector<int32_t> counters;
        std::intptr_t k;
        QStringList shown;
    };
    const Row rows[] = {
        {"0 refreshes every column", {5, 3, 2}, 0, {"5", "3", "2"}},
        {"k refreshes column k only", {9, 8, 7}, 2, {"5", "3", "7"}},
        {"k past the last entry changes nothing", {1, 1, 1}, 3, {"5", "3", "7"}},
        {"entries beyond the columns are skipped", {4, 4, 4, 4, 4}, 0, {"4", "4", "4"}},
        {"missing entries leave their cells", {6}, 0, {"6", "4", "4"}},
    };
    for (const Row& row : rows) {
        doc->Run.ClearCounters();
        for (int32_t value : row.counters) {
            doc->Run.AppendCounter(value);
        }
        Notify(doc, wendo::WMU_FILE_MODIFIED, row.k);
        EXPECT_EQ(StatisticsRow(list), row.shown) << row.name;
    }
}

TEST_F(ProgressViewsTest, EachNotificationShowsTheRunRecordOfItsMoment)
{
    Start();
    CWendoDoc* doc = Open(SaveJob({kAtoB}, "tree/*.htm"));
    ASSERT_NE(doc, nullptr);
    ShowReport(doc);
    wendo::RunRecord& run = doc->Run;

    run.SetStatus("Initialysing parse command to process ... ");
    Notify(doc, wendo::WMU_RUN_INIT);
    EXPECT_EQ(m_progress->FieldText(1063),
              QStringLiteral("Initialysing parse command to process ... "));
    EXPECT_EQ(m_progress->FieldText(1066), QStringLiteral("0"));
    EXPECT_EQ(m_progress->RunIcon(), kRunningIcon);
    EXPECT_TRUE(m_progress->Animating());
    EXPECT_EQ(m_progress->ProgressBar()->maximum(), 10);

    run.MaxInc = 70000; // beyond 16 bits: the bar keeps the whole count
    run.SetStatus("Processing ... ");
    Notify(doc, wendo::WMU_RUN_PROCESSING);
    EXPECT_FALSE(m_progress->Animating());
    EXPECT_EQ(m_progress->ProgressBar()->maximum(), 70000);

    run.FilesStarted = 1;
    run.SetFileName("a.htm");
    run.SetDirectory("tree/");
    Notify(doc, wendo::WMU_FILE_BEGIN);
    Notify(doc, wendo::WMU_FILE_NAME);
    EXPECT_EQ(m_progress->ProgressBar()->value(), 1);
    EXPECT_EQ(m_progress->FieldText(1070), QStringLiteral("1/70000"));
    EXPECT_EQ(m_progress->FieldText(1069), QStringLiteral("70000"));
    EXPECT_EQ(m_progress->FieldText(1065), QStringLiteral("a.htm"));
    EXPECT_EQ(m_progress->FieldText(1073), QStringLiteral("tree/"));

    run.TotalModified = 2;
    run.TotalExclude = 3;
    run.TotalDirModified = 4;
    run.TotalDirExclude = 5;
    run.TotalIteration = 6;
    Notify(doc, wendo::WMU_COUNTERS);
    Notify(doc, wendo::WMU_REPLACED);
    EXPECT_EQ(QStringList({m_progress->FieldText(1066), m_progress->FieldText(1076),
                           m_progress->FieldText(1067), m_progress->FieldText(1077),
                           m_progress->FieldText(1068)}),
              QStringList({"2", "3", "4", "5", "6"}));

    for (int16_t type : {int16_t{-1}, wendo::CmdType::DISPLAY_FILESTAT, int16_t{99}}) {
        run.CommandType = type;
        Notify(doc, wendo::WMU_COMMAND_BEGIN); // every type has an image, even a stray one
    }

    Notify(doc, wendo::WMU_RUN_END);
    EXPECT_EQ(m_progress->RunIcon(), kRunIdleIcon);
    EXPECT_FALSE(m_progress->Animating());
    EXPECT_TRUE(m_progress->FieldText(1065).isEmpty());
    EXPECT_TRUE(m_progress->FieldText(1073).isEmpty());
    EXPECT_EQ(m_progress->FieldText(1066), QStringLiteral("2")) << "totals stay after the run";

    // Idle: the button follows the document's state and may be pressed when it may run.
    m_progress->UpdateRunState(false, true, true);
    EXPECT_EQ(m_progress->RunIcon(), kSuspendedIcon);
    EXPECT_FALSE(m_progress->RunButton()->isEnabled());
    m_progress->UpdateRunState(true, false, false);
    EXPECT_EQ(m_progress->RunIcon(), kRunIdleIcon);
    EXPECT_TRUE(m_progress->RunButton()->isEnabled());
}

TEST_F(ProgressViewsTest, PathRowsFromARunAndFromAReportKeepAscendingOrder)
{
    Start();
    CWendoDoc* doc = Open(SaveJob({kAtoB}, "tree/*.htm"));
    ASSERT_NE(doc, nullptr);
    ShowReport(doc);
    QTreeView* list = m_paths->List();
    Notify(doc, wendo::WMU_PATHS_CLEAR);
    ASSERT_EQ(list->model()->columnCount(), 2) << "no file statistics command";
    const int width = list->width();
    EXPECT_EQ(list->columnWidth(0), 2 * (width / 3));
    EXPECT_EQ(list->columnWidth(1), width / 3);

    wendo::RunRecord& run = doc->Run;
    run.SetDirectory("tree/");
    run.SetFileName("b.htm");
    run.SetFileMessage("FIND REPLACE(1) ");
    EXPECT_EQ(m_app->GetMessageTarget()->Send(wendo::WMU_ADD_FILE_LINE, 0, doc), 1);
    run.SetStatus("Tree/A.htm");
    run.SetFileMessage("from the report");
    EXPECT_EQ(m_app->GetMessageTarget()->Send(wendo::WMU_ADD_FILE_LINE, 1, doc), 1);
    EXPECT_EQ(Column(m_paths->List(), 0), QStringList({"Tree/A.htm", "tree/b.htm"}));
    EXPECT_EQ(Column(m_paths->List(), 1), QStringList({"from the report", "FIND REPLACE(1) "}));

    Notify(doc, wendo::WMU_PATHS_CLEAR);
    EXPECT_EQ(m_paths->List()->model()->rowCount(), 0);
}

// A live run's rows and fields reach the window in batches. Whichever way a batch is let
// through - its timer, a reader, the run's end - no row is lost or out of place and the end
// shows the record's final totals.
TEST_F(ProgressViewsTest, ALiveRunsBatchedRowsAndFieldsArriveWholeAndInOrder)
{
    Start();
    CWendoDoc* doc = Open(SaveJob({kAtoB, "FINDREPL DELIMITER ~x~ VALUE ~y~"}, "tree/*.htm"));
    ASSERT_NE(doc, nullptr);
    ShowReport(doc);
    // The widgets themselves: the views' accessors would let the batch through.
    const QTreeView* list = m_paths->List();
    const QProgressBar* bar = m_progress->ProgressBar();
    const QTableWidget* statistics = m_progress->StatisticsList();
    const auto field = [this](int id) {
        return m_progress->findChild<QLabel*>(QStringLiteral("text_%1").arg(id))->text();
    };
    wendo::RunRecord& run = doc->Run;
    constexpr int kFiles = 3000;
    run.MaxInc = kFiles;
    Notify(doc, wendo::WMU_PATHS_CLEAR);
    Notify(doc, wendo::WMU_RUN_PROCESSING);
    doc->Started = 1; // as while a run goes on; no engine behind it

    // Mixed case and repeated paths: ascending without case, equal ones in order of arrival.
    std::vector<std::pair<QString, QString>> arrived;
    const auto addFiles = [&](int count) {
        for (int n = static_cast<int>(arrived.size()), end = n + count; n < end; ++n) {
            const std::string directory = n % 3 == 0 ? "Tree/" : "tree/";
            const std::string name = "f" + std::to_string(n * 7919 % 700) + ".htm";
            const std::string message = "FIND REPLACE(" + std::to_string(n) + ") ";
            run.FilesStarted = n + 1;
            run.SetDirectory(directory);
            run.SetFileName(name);
            Notify(doc, wendo::WMU_FILE_BEGIN);
            Notify(doc, wendo::WMU_FILE_NAME);
            run.SetFileMessage(message);
            ASSERT_EQ(m_app->GetMessageTarget()->Send(wendo::WMU_ADD_FILE_LINE, 0, doc), 1);
            arrived.emplace_back(QString::fromStdString(directory + name),
                                 QString::fromStdString(message));
        }
    };
    const auto expected = [&arrived](int column) {
        auto rows = arrived;
        std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
            return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
        });
        QStringList texts;
        for (const auto& row : rows) {
            texts << (column == 0 ? row.first : row.second);
        }
        return texts;
    };

    addFiles(1000);
    EXPECT_TRUE(SpinUntil(
        [list, bar] { return list->model()->rowCount() == 1000 && bar->value() == 1000; }, 3000))
        << "the timers let the batches through";
    // Compared whole, not printed: a failure would list thousands of paths.
    EXPECT_TRUE(Column(list, 0) == expected(0)) << "ascending without case, ties as they came";

    addFiles(1000);
    EXPECT_EQ(m_paths->List()->model()->rowCount(), 2000) << "a reader sees every row";
    EXPECT_TRUE(Column(list, 1) == expected(1));
    EXPECT_EQ(m_progress->FieldText(1070), QStringLiteral("2000/3000"));

    addFiles(1000);
    run.TotalModified = 2500;
    run.TotalIteration = 7000;
    run.ClearCounters();
    for (int32_t value : {7000, 4000, 3000}) {
        run.AppendCounter(value);
    }
    Notify(doc, wendo::WMU_COUNTERS);
    Notify(doc, wendo::WMU_REPLACED);
    Notify(doc, wendo::WMU_FILE_MODIFIED);
    run.SetStatus("All parsing done");
    Notify(doc, wendo::WMU_STATUS);
    doc->Started = 0; // the run's end is handled after its process has ended
    Notify(doc, wendo::WMU_RUN_END);
    ASSERT_EQ(list->model()->rowCount(), kFiles) << "the run's end lets the last batch through";
    EXPECT_TRUE(Column(list, 0) == expected(0));
    EXPECT_TRUE(Column(list, 1) == expected(1));
    EXPECT_EQ(bar->value(), kFiles);
    EXPECT_EQ(QStringList({field(1063), field(1070), field(1066), field(1068)}),
              QStringList({"All parsing done", "3000/3000", "2500", "7000"}));
    EXPECT_TRUE(field(1065).isEmpty()) << "the end clears the file in hand";
    EXPECT_EQ(StatisticsRow(statistics), QStringList({"7000", "4000", "3000"}));
}

TEST_F(ProgressViewsTest, FileStatisticsColumnsSortByTheirKind)
{
    Start();
    CWendoDoc* doc = Open(SaveJob({"DISPLAY_FILESTAT", kAtoB}, "tree/*.htm"));
    ASSERT_NE(doc, nullptr);
    ShowReport(doc);
    QTreeView* list = m_paths->List();
    Notify(doc, wendo::WMU_PATHS_CLEAR);
    ASSERT_EQ(list->model()->columnCount(), 5);
    const int width = list->width();
    EXPECT_EQ(list->columnWidth(0), 2 * (width / 5));
    // The statistics columns take their share, but never less than a date needs.
    EXPECT_EQ(list->columnWidth(2), std::max(2 * width / 15, list->columnWidth(3)));
    EXPECT_GE(list->columnWidth(3),
              list->fontMetrics().horizontalAdvance(QStringLiteral("12/31/2026 23:59:59")));

    struct File
    {
        const char* path;
        int64_t size;
        int64_t modified;
    };
    for (const File& file :
         {File{"b.htm", 10, 1000000000}, File{"C.htm", 9, 900000000}, File{"a.htm", 100, 0}}) {
        doc->Run.SetStatus(file.path);
        doc->Run.FileSize = file.size;
        doc->Run.FileModifTime = file.modified;
        Notify(doc, wendo::WMU_ADD_FILE_LINE, 1);
    }
    EXPECT_EQ(Column(m_paths->List(), 0), QStringList({"a.htm", "b.htm", "C.htm"}))
        << "path without case";
    EXPECT_EQ(m_paths->List()->model()->index(0, 3).data().toString(), QStringLiteral("NULL"));

    m_paths->SortByColumn(2);
    EXPECT_EQ(Column(m_paths->List(), 2), QStringList({"9", "10", "100"})) << "sizes by value";
    EXPECT_EQ(CProgressPathView::LastSortColumn(), 2);
    m_paths->SortByColumn(2);
    EXPECT_EQ(Column(m_paths->List(), 2), QStringList({"100", "10", "9"}))
        << "same column: reversed";
    EXPECT_FALSE(CProgressPathView::LastSortAscending());

    m_paths->SortByColumn(3);
    EXPECT_EQ(Column(m_paths->List(), 0), QStringList({"C.htm", "b.htm", "a.htm"}))
        << "dates in time order, an unreadable one after them";
    m_paths->SortByColumn(0);
    EXPECT_EQ(Column(m_paths->List(), 0), QStringList({"a.htm", "b.htm", "C.htm"}));

    // The direction is the program's, not the list's: another report window goes on from it.
    CWendoDoc* other = Open(SaveJob({kAtoB}, "tree/*.htm", "other.wdo"));
    ASSERT_NE(other, nullptr);
    ShowReport(other);
    for (const char* path : {"x", "Y", "z"}) {
        other->Run.SetStatus(path);
        Notify(other, wendo::WMU_ADD_FILE_LINE, 1);
    }
    m_paths->SortByColumn(0);
    EXPECT_EQ(Column(m_paths->List(), 0), QStringList({"z", "Y", "x"}));
}

// Every column sorts both ways; the selection, the pop-up menu and copying act on the row
// the person sees after a sort, rows that come later go into the sorted order, and a name
// that is not UTF-8 still names its file.
TEST_F(ProgressViewsTest, SortedRowsKeepTheirSelectionAndTakeNewRowsInTheirOrder)
{
    Start();
    MakeTree();
    const std::string latin1 = "caf\xe9.htm";
    WriteFile(TreeFile(latin1), "a");
    CWendoDoc* doc = Open(SaveJob({"DISPLAY_FILESTAT", kAtoB}, "tree/*.htm"));
    ASSERT_NE(doc, nullptr);
    ShowReport(doc);
    struct File
    {
        std::string name;
        const char* message;
        int64_t size;
        int64_t modified;
        int64_t accessed;
    };
    for (const File& file : {File{"a.htm", "FIND REPLACE(3) ", 100, 0, 1100000000},
                             File{"b.htm", "", 10, 1000000000, 900000000},
                             File{"C.htm", "FIND REPLACE(1) ", 9, 900000000, 1000000000},
                             File{latin1, "ERROR: x", 50, 950000000, 0}}) {
        doc->Run.SetStatus(TreeFile(file.name).string());
        doc->Run.SetFileMessage(file.message);
        doc->Run.FileSize = file.size;
        doc->Run.FileModifTime = file.modified;
        doc->Run.FileAccessTime = file.accessed;
        Notify(doc, wendo::WMU_ADD_FILE_LINE, 1);
    }
    const auto names = [this] {
        QStringList shown;
        for (const QString& path : Column(m_paths->List(), 0)) {
            shown << path.section(QLatin1Char('/'), -1);
        }
        return shown;
    };
    EXPECT_EQ(names(), QStringList({"a.htm", "b.htm", "C.htm", "café.htm"}));
    QTreeView* list = m_paths->List();
    list->setCurrentIndex(list->model()->index(1, 0));
    const std::string chosen = m_paths->SelectedPath();
    ASSERT_FALSE(chosen.empty());

    struct Order
    {
        int column;
        QStringList ascending;
        QStringList descending;
    };
    const Order orders[] = {
        {0, {"a.htm", "b.htm", "C.htm", "café.htm"}, {"café.htm", "C.htm", "b.htm", "a.htm"}},
        {1, {"b.htm", "café.htm", "C.htm", "a.htm"}, {"a.htm", "C.htm", "café.htm", "b.htm"}},
        {2, {"C.htm", "b.htm", "café.htm", "a.htm"}, {"a.htm", "café.htm", "b.htm", "C.htm"}},
        // No date ("NULL") after the dates, before them in descending order.
        {3, {"C.htm", "café.htm", "b.htm", "a.htm"}, {"a.htm", "b.htm", "café.htm", "C.htm"}},
        {4, {"b.htm", "C.htm", "a.htm", "café.htm"}, {"café.htm", "a.htm", "C.htm", "b.htm"}},
    };
    for (const Order& order : orders) {
        m_paths->SortByColumn(order.column);
        if (!CProgressPathView::LastSortAscending()) {
            m_paths->SortByColumn(order.column);
        }
        EXPECT_EQ(names(), order.ascending) << "column " << order.column;
        EXPECT_EQ(m_paths->SelectedPath(), chosen) << "the selection follows its row";
        m_paths->SortByColumn(order.column);
        EXPECT_EQ(names(), order.descending) << "column " << order.column;
        EXPECT_EQ(m_paths->SelectedPath(), chosen);
    }

    // Sizes descending: the pop-up menu on the second row previews café.htm.
    m_paths->SortByColumn(2);
    if (CProgressPathView::LastSortAscending()) {
        m_paths->SortByColumn(2);
    }
    EXPECT_EQ(names(), QStringList({"a.htm", "café.htm", "b.htm", "C.htm"}));
    const QPoint at = list->visualRect(list->model()->index(1, 0)).center();
    Q_EMIT list->customContextMenuRequested(at);
    auto* menu = m_paths->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().at(0)->isEnabled()) << "Preview Changes";
    menu->close();
    const std::string popped = m_paths->SelectedPath();
    EXPECT_EQ(popped.substr(popped.size() - latin1.size()), latin1) << "the file's own bytes";
    list->setFocus();
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(list, &copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromStdString(m_home.path().toStdString() + "/tree/café.htm"));

    // A row of a live run goes into the order the list has now.
    doc->Run.SetDirectory(TreeFile("").string());
    doc->Run.SetFileName("d.htm");
    doc->Run.FileSize = 20;
    Notify(doc, wendo::WMU_ADD_FILE_LINE, 0);
    EXPECT_EQ(names(), QStringList({"a.htm", "café.htm", "d.htm", "b.htm", "C.htm"}));
    EXPECT_EQ(m_paths->SelectedPath(), popped);
    fs::remove(TreeFile(latin1)); // the scratch folder's removal cannot name it
}

TEST_F(ProgressViewsTest, ADoubleClickOpensOnlyAFileThatExists)
{
    Start();
    MakeTree();
    CWendoDoc* doc = Open(SaveJob({kAtoB}, "tree/*.htm"));
    ASSERT_NE(doc, nullptr);
    ShowReport(doc);
    doc->Run.SetStatus(TreeFile("gone.htm").string());
    Notify(doc, wendo::WMU_ADD_FILE_LINE, 1);
    doc->Run.SetStatus(TreeFile("a.htm").string());
    Notify(doc, wendo::WMU_ADD_FILE_LINE, 1);
    const std::size_t frames = Frame().GetChildFrames().size();
    EXPECT_FALSE(m_paths->OpenRow(1)) << "gone.htm";
    EXPECT_EQ(Frame().GetChildFrames().size(), frames);
    EXPECT_FALSE(m_paths->OpenRow(5));
    EXPECT_TRUE(m_paths->OpenRow(0)) << "a.htm";
    EXPECT_EQ(Frame().GetChildFrames().size(), frames + 1);
}

TEST(ReportFrameSplit, UpperPaneKeepsTheFormAndTheListKeepsAFewLines)
{
    const CReportFrame::Metrics m{QSize(460, 362), 20, 16};
    struct Row
    {
        const char* name;
        bool initial;
        int width;
        int height;
        int upper;
    };
    const Row rows[] = {
        {"made: room for both", true, 600, 600, 364},
        {"made narrow: room for a scroll bar", true, 400, 600, 380},
        {"made short: the list keeps 3m + 10", true, 600, 400, 330},
        {"made tiny: halves", true, 600, 60, 30},
        {"resized: room for both", false, 600, 600, 364},
        {"resized narrow: a menu bar more", false, 400, 600, 384},
        {"resized short: the list keeps 3m + 5", false, 600, 400, 335},
        {"resized below 6m: the list takes two thirds", false, 600, 110, 37},
    };
    for (const Row& row : rows) {
        const int upper = row.initial ? CReportFrame::InitialUpperHeight(row.width, row.height, m)
                                      : CReportFrame::ResizedUpperHeight(row.width, row.height, m);
        EXPECT_EQ(upper, row.upper) << row.name;
    }
}

TEST_F(ProgressViewsTest, PacingIsOffUnlessTheUserTurnedItOn)
{
    Start();
    EXPECT_FALSE(DesktopRunSettings(m_app->GetProfile()).pace);
    m_app->GetProfile().WriteInt(kPaceSection, kPaceEntry, 1);
    EXPECT_TRUE(DesktopRunSettings(m_app->GetProfile()).pace);
}

// ---- Real runs of the desktop program ----

TEST_F(ProgressViewsTest, ARunShowsWhatItDidToTheFilesAndItsReportReplaysIt)
{
    StartPaced(false);
    MakeTree();
    // The job's relative entries are taken from its folder: the rows name the files there.
    const QString home = m_home.path() + "/";
    const QStringList rows = {home + "tree/a.htm", home + "tree/sub/c.htm"};
    const QString job = SaveJob({kAtoB}, "tree/*.htm");
    CWendoDoc* doc = Open(job);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(m_app->DoSave(*doc, false));
    Frame().UpdateCommandUI();
    Frame().GetCommands().Execute(cmd::RUN);
    ShowReport(doc);
    ASSERT_TRUE(SpinUntil([doc] { return doc->Started.load() == 0; }, 20000));
    SpinUntil([this] { return m_app->GetMessageTarget()->PendingCount() == 0; });

    EXPECT_EQ(ReadFile(TreeFile("a.htm")), "b b b");
    EXPECT_EQ(ReadFile(TreeFile("b.htm")), "xyz");
    EXPECT_EQ(ReadFile(TreeFile("sub/c.htm")), "b");
    EXPECT_EQ(m_progress->FieldText(1063), QStringLiteral("All parsing done"));
    EXPECT_EQ(QStringList({m_progress->FieldText(1069), m_progress->FieldText(1066),
                           m_progress->FieldText(1068), m_progress->FieldText(1067),
                           m_progress->FieldText(1076)}),
              QStringList({"3", "2", "4", "2", "0"}));
    EXPECT_EQ(StatisticsRow(m_progress->StatisticsList()), QStringList({"4", "4"}));
    EXPECT_EQ(Column(m_paths->List(), 0), rows);
    EXPECT_EQ(Column(m_paths->List(), 1), QStringList({"FIND REPLACE(3) ", "FIND REPLACE(1) "}));
    EXPECT_EQ(m_progress->RunIcon(), kRunIdleIcon);
    EXPECT_EQ(m_progress->ProgressBar()->value(), 3);

    const std::string report = ReadFile(m_home.path().toStdString() + "/job.log");
    EXPECT_NE(report.find("TOTALMODIFIED=2"), std::string::npos);
    EXPECT_NE(report.find("\"" + rows[0].toStdString() + "\" ~FIND REPLACE(3) ~"),
              std::string::npos);

    // Reopened, the command file replays its report into a new report window.
    CloseAllWindows(doc);
    doc = Open(job);
    ASSERT_NE(doc, nullptr);
    Frame().UpdateCommandUI();
    ASSERT_TRUE(Frame().GetCommands().Query(cmd::REPORT).enabled);
    Frame().GetCommands().Execute(cmd::REPORT);
    ShowReport(doc);
    EXPECT_EQ(QStringList({m_progress->FieldText(1066), m_progress->FieldText(1068)}),
              QStringList({"2", "4"}));
    EXPECT_EQ(StatisticsRow(m_progress->StatisticsList()), QStringList({"4", "4"}));
    EXPECT_EQ(Column(m_paths->List(), 0), rows);
    EXPECT_EQ(m_progress->FieldText(1063), QStringLiteral("All parsing done"));
}

TEST_F(ProgressViewsTest, AReportThatIsNotValidClosesItsWindow)
{
    Start();
    const QString job = SaveJob({kAtoB}, "tree/*.htm");
    CWendoDoc* doc = Open(job);
    ASSERT_NE(doc, nullptr);
    doc->ReportModifTime = doc->ModifTime; // as if a report of this version had been read
    Frame().UpdateCommandUI();
    Frame().GetCommands().Execute(cmd::REPORT);
    SpinUntil([doc] {
        return CMainFrame::FindDocView(doc, fw::ViewClassOf<CProgressView>()) == nullptr;
    });
    EXPECT_EQ(CMainFrame::FindDocView(doc, fw::ViewClassOf<CProgressView>()), nullptr);
    ASSERT_FALSE(m_boxes.empty());
    EXPECT_EQ(m_boxes.back(), QStringLiteral("This report is not valid. Can' open it..."));
}

TEST_F(ProgressViewsTest, StopAbandonsTheRunAndLeavesTheFiles)
{
    StartPaced(true); // the walk waits a second: time to stop before any file
    MakeTree();
    CWendoDoc* doc = Open(SaveJob({kAtoB}, "tree/*.htm"));
    ASSERT_NE(doc, nullptr);
    Frame().UpdateCommandUI();
    Frame().GetCommands().Execute(cmd::RUN);
    ASSERT_EQ(doc->Started.load(), 1);
    ShowReport(doc);
    AnswerStopQuestion(StopChoice::Stop);
    m_progress->RunButton()->click();
    ASSERT_TRUE(SpinUntil([doc] { return doc->Started.load() == 0; }, 20000));
    SpinUntil([this] { return m_app->GetMessageTarget()->PendingCount() == 0; });
    EXPECT_EQ(ReadFile(TreeFile("a.htm")), "a a a");
    EXPECT_EQ(m_progress->FieldText(1063), QStringLiteral("Cancel by user"));
    EXPECT_EQ(m_progress->RunIcon(), kRunIdleIcon);
    EXPECT_FALSE(m_progress->Animating());
}

TEST_F(ProgressViewsTest, SuspendHoldsTheRunUntilResumed)
{
    StartPaced(true);
    MakeTree();
    CWendoDoc* doc = Open(SaveJob({kAtoB}, "tree/*.htm"));
    ASSERT_NE(doc, nullptr);
    Frame().UpdateCommandUI();
    Frame().GetCommands().Execute(cmd::RUN);
    ShowReport(doc);
    AnswerStopQuestion(StopChoice::Suspend);
    Frame().GetCommands().Execute(cmd::STOP);
    EXPECT_EQ(doc->Suspended.load(), 1);
    m_app->OnIdle(0);
    EXPECT_EQ(m_progress->RunIcon(), kSuspendedIcon);
    SpinUntil([] { return false; }, 1500);
    EXPECT_EQ(doc->Run.FilesStarted.load(), 0) << "suspended before its first file";
    EXPECT_EQ(ReadFile(TreeFile("a.htm")), "a a a");

    m_progress->RunButton()->click(); // suspended: the button resumes
    EXPECT_EQ(doc->Suspended.load(), 0);
    ASSERT_TRUE(SpinUntil([doc] { return doc->Started.load() == 0; }, 20000));
    EXPECT_EQ(ReadFile(TreeFile("a.htm")), "b b b");
    EXPECT_EQ(doc->Run.FilesStarted.load(), 3) << "no file twice";
    EXPECT_EQ(doc->Run.TotalIteration.load(), 4);
}

// Pictures of the report window for the documentation, made only when asked:
//   WENDO_SCREENSHOTS=docs build/bin/ui_tests --gtest_filter='*ReportWindowPictures*'
TEST_F(ProgressViewsTest, ReportWindowPictures)
{
    const char* folder = std::getenv("WENDO_SCREENSHOTS");
    if (folder == nullptr) {
        GTEST_SKIP() << "set WENDO_SCREENSHOTS to a folder to make the pictures";
    }
    const QString out = QDir(QString::fromLocal8Bit(folder)).absolutePath();
    const fs::path examples =
        (fs::path(WENDO_TEST_DATA) / ".." / ".." / ".." / ".." / "examples").lexically_normal();
    fs::copy(examples / "site", fs::path(m_home.path().toStdString()) / "site",
             fs::copy_options::recursive);
    StartPaced(true);
    Frame().resize(900, 760);
    CWendoDoc* doc = OpenSite();
    ASSERT_NE(doc, nullptr);
    Frame().UpdateCommandUI();
    Frame().GetCommands().Execute(cmd::RUN);
    ShowReport(doc);
    fw::ChildFrame* frame = m_progress->GetParentFrame();
    frame->resize(720, 640);
    ASSERT_TRUE(SpinUntil([doc] { return doc->Run.FilesStarted.load() >= 4; }, 30000));
    SpinUntil([] { return false; }, 200);
    EXPECT_TRUE(frame->grab().save(out + "/report-window-live.png"));
    ASSERT_TRUE(SpinUntil([doc] { return doc->Started.load() == 0; }, 60000));

    CloseAllWindows(doc);
    doc = OpenSite();
    ASSERT_NE(doc, nullptr);
    Frame().UpdateCommandUI();
    Frame().GetCommands().Execute(cmd::REPORT);
    ShowReport(doc);
    frame = m_progress->GetParentFrame();
    frame->resize(720, 640);
    SpinUntil([] { return false; }, 200);
    EXPECT_TRUE(frame->grab().save(out + "/report-window-replayed.png"));
}

} // namespace
