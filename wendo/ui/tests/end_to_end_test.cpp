// The desktop program tried as a new user would, from an empty start to a restart that finds
// the window and the command file where they were left. Every step checks what the person
// sees: titles, rows, labels, enabled states, the files on disk and the report file.
//
// The same story is a tutorial to watch: with WENDO_DEMO_DIR set, each step saves a picture
// of the main window there as NN-name.png and waits WENDO_DEMO_PAUSE_MS (see make demo-gui).
#include "CmdView.h"
#include "FindDlg.h"
#include "ParseCmdView.h"
#include "ProgressIcons.h"
#include "TextDocs.h"
#include "UiTestSupport.h"
#include "Views.h"
#include "WendoIds.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "fw/CommandManager.h"
#include "fw/RecentFileList.h"
#include "os/path.h"
#include "plinth/KVResource.h"
#include "plinth/KVRichEditCtrl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace wendo::ui;
using wendo::CWendoDoc;

constexpr int kDeadlineMs = 30000;
const QSize kWindowSize(1024, 700);
const QPoint kWindowPlace(40, 30);

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The path relative to base with forward slashes, however the program wrote it.
std::string Relative(std::string path, const std::string& base)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.rfind(base, 0) == 0) {
        path.erase(0, base.size());
    }
    return path;
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

class EndToEndTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        m_base = m_home.path().toStdString() + "/";
        m_examples =
            (fs::path(WENDO_TEST_DATA) / ".." / ".." / ".." / ".." / "examples").lexically_normal();
        fs::copy(m_examples / "site", m_base + "site", fs::copy_options::recursive);
        // A folder of drafts beside the site, which the story adds with the path selector.
        fs::create_directories(m_base + "drafts/old");
        std::ofstream(m_base + "drafts/welcome.htm") << "<p>Welcome to Lamplight Furniture</p>\n"
                                                        "<img src=\"../site/images/logo.gif\">\n";
        std::ofstream(m_base + "drafts/old/welcome.htm") << "<p>Lamplight Furniture</p>\n";
        if (const char* dir = std::getenv("WENDO_DEMO_DIR")) {
            m_demoDir = QDir(QString::fromLocal8Bit(dir)).absolutePath();
            QDir().mkpath(m_demoDir);
        }
        if (const char* pause = std::getenv("WENDO_DEMO_PAUSE_MS")) {
            m_pauseMs = std::max(0, std::atoi(pause));
        }
        m_previous = fs::current_path();
        // The example names its folders relative to its own folder: the story runs it from
        // another current folder, as a file manager or the recent list would.
        fs::create_directories(m_base + "elsewhere");
        fs::current_path(m_base + "elsewhere");
    }
    void TearDown() override
    {
        UiTest::TearDown();
        fs::current_path(m_previous);
    }

    // One step of the story: a picture of the main window for the tutorial when asked.
    void Step(const char* name)
    {
        ++m_step;
        if (m_demoDir.isEmpty()) {
            return;
        }
        SpinUntil([] { return false; }, 50);
        Frame().grab().save(QStringLiteral("%1/%2-%3.png")
                                .arg(m_demoDir)
                                .arg(m_step, 2, 10, QLatin1Char('0'))
                                .arg(QString::fromLatin1(name)));
        SpinUntil([] { return false; }, m_pauseMs);
    }

    bool Enabled(int id)
    {
        Frame().UpdateCommandUI();
        return Frame().GetCommands().Query(id).enabled;
    }
    // Picks a command as from its menu item: only when the person could.
    void Choose(int id)
    {
        ASSERT_TRUE(Enabled(id)) << "command " << id << " is greyed";
        for (QAction* action : Frame().GetCommands().Actions(id)) {
            if (action->isEnabled()) {
                action->trigger();
                return;
            }
        }
        ASSERT_TRUE(Frame().GetCommands().Execute(id)) << id;
    }
    QStringList MenuTitles() const
    {
        QStringList titles;
        for (const QAction* action : Frame().menuBar()->actions()) {
            titles << action->text();
        }
        return titles;
    }
    // Answers the next modal dialog with answer once it shows, keeping its picture.
    void WhenDialogShows(const char* picture, std::function<void(QDialog*)> answer)
    {
        auto* poll = new QTimer(&Frame());
        const QString path = m_demoDir.isEmpty() ? QString()
                                                 : QStringLiteral("%1/%2-%3.png")
                                                       .arg(m_demoDir)
                                                       .arg(m_step + 1, 2, 10, QLatin1Char('0'))
                                                       .arg(QString::fromLatin1(picture));
        QObject::connect(poll, &QTimer::timeout, poll, [poll, path, answer] {
            QDialog* dialog = nullptr;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* candidate = qobject_cast<QDialog*>(window);
                if (candidate != nullptr && candidate->isVisible() && candidate->isModal()) {
                    dialog = candidate;
                }
            }
            if (dialog == nullptr) {
                return;
            }
            poll->stop();
            poll->deleteLater();
            if (!path.isEmpty()) {
                dialog->grab().save(path);
            }
            answer(dialog);
        });
        poll->start(20);
    }
    template <class T> T* Find(QWidget* parent, const char* name) const
    {
        auto* widget = parent->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    template <class V> V* View() const
    {
        return dynamic_cast<V*>(CMainFrame::FindDocView(m_doc, fw::ViewClassOf<V>()));
    }
    fw::ChildFrame* Active() const { return Frame().MDIGetActive(); }
    // A new window lies whole inside the main window's client area.
    void ExpectInside(const fw::ChildFrame* frame, const char* what) const
    {
        ASSERT_NE(frame, nullptr) << what;
        const QRect area = Frame().GetMdiArea()->viewport()->rect();
        EXPECT_TRUE(area.contains(frame->geometry()))
            << what << " at " << frame->geometry().x() << "," << frame->geometry().y() << " "
            << frame->width() << "x" << frame->height() << " outside " << area.width() << "x"
            << area.height();
    }
    // What the person reads in the status bar's message pane and in the recent-file items.
    QString Status() const { return Frame().GetStatusText(); }
    QStringList RecentItems() const
    {
        QStringList items;
        for (const QAction* action : Frame().GetFileMenu()->actions()) {
            const int id = fw::CommandManager::CommandId(action);
            if (id >= fw::id::FILE_MRU_FIRST && id <= fw::id::FILE_MRU_LAST) {
                items << action->text();
            }
        }
        return items;
    }
    // The selected row is drawn with its text readable: a good share of its pixels stand off
    // the row's background.
    static bool SelectedRowIsReadable(QTreeView* list)
    {
        const QModelIndex current = list->currentIndex();
        if (!current.isValid() || !list->selectionModel()->isSelected(current)) {
            return false;
        }
        const QRect row = list->visualRect(current).adjusted(0, 1, 0, -1);
        const QImage picture = list->viewport()->grab(row).toImage();
        const QColor background = picture.pixelColor(1, picture.height() / 2);
        int inked = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                inked += std::abs(c.lightness() - background.lightness()) > 90 ? 1 : 0;
            }
        }
        return inked > 20;
    }
    CParseCmdView* NewCommandEditor() const
    {
        for (auto* editor : Frame().GetMdiArea()->findChildren<CParseCmdView*>()) {
            if (editor->GetPosition() == CParseCmdView::kNewCommand) {
                return editor;
            }
        }
        return nullptr;
    }
    // Fills a new command in the editor the Add command opened and presses OK.
    void AddCommand(const char* type, const char* tag, const char* action, const char* first,
                    const char* value)
    {
        auto* list = View<CCmdView>();
        ASSERT_NE(list, nullptr);
        list->GetListCtrl().setFocus();
        ASSERT_TRUE(SpinUntil([list] { return HasFocus(list); }));
        Choose(cmd::ADD);
        CParseCmdView* editor = NewCommandEditor();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(Active(), editor->GetParentFrame()) << "the editor comes to the front";
        if (!Active()->isMaximized()) {
            ExpectInside(Active(), "the command editor");
        }
        EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo - [site.wdo]"));
        EXPECT_FALSE(Enabled(cmd::RUN)) << "no run while an editor is open";
        auto* types = Find<QComboBox>(editor, "combo_1003");
        types->setCurrentIndex(types->findText(QString::fromLatin1(type)));
        ASSERT_EQ(types->currentText(), QString::fromLatin1(type));
        if (tag != nullptr) {
            auto* tags = Find<QComboBox>(editor, "combo_1015");
            tags->setCurrentIndex(tags->findText(QString::fromLatin1(tag)));
            ASSERT_EQ(tags->currentText(), QString::fromLatin1(tag));
            auto* actions = Find<QComboBox>(editor, "combo_1016");
            actions->setCurrentIndex(actions->findText(QString::fromLatin1(action)));
            ASSERT_EQ(actions->currentText(), QString::fromLatin1(action));
        }
        Find<CKVRichEditCtrl>(editor, "edit_1004")->setPlainText(QString::fromUtf8(first));
        Find<CKVRichEditCtrl>(editor, "edit_1002")->setPlainText(QString::fromUtf8(value));
        Step(tag == nullptr ? "add-find-replace" : "add-image-tags");
        const int rows = list->RowCount();
        Find<QPushButton>(editor, "button_1025")->click();
        ASSERT_TRUE(SpinUntil([this] { return NewCommandEditor() == nullptr; }));
        EXPECT_EQ(list->RowCount(), rows + 1);
    }
    static bool HasFocus(fw::View* view)
    {
        return QApplication::focusWidget() != nullptr &&
               view->isAncestorOf(QApplication::focusWidget());
    }

    // The files under folder whose bytes differ from the example's (or that the example does
    // not hold), relative to the scratch folder; backups aside.
    std::set<std::string> ChangedFiles(const std::string& backupExt) const
    {
        std::set<std::string> changed;
        for (const auto& entry : fs::recursive_directory_iterator(m_base + "site")) {
            if (!entry.is_regular_file() || entry.path().extension() == "." + backupExt) {
                continue;
            }
            const std::string relative = Relative(entry.path().string(), m_base);
            const fs::path original = m_examples / relative;
            if (ReadFile(entry.path()) != ReadFile(original)) {
                changed.insert(relative);
            }
        }
        if (ReadFile(m_base + "drafts/welcome.htm").find("Furnishings") != std::string::npos) {
            changed.insert("drafts/welcome.htm");
        }
        return changed;
    }

    std::string m_base;
    fs::path m_examples;
    fs::path m_previous;
    QString m_demoDir;
    int m_pauseMs = 0;
    int m_step = 0;
    CWendoDoc* m_doc = nullptr;
};

TEST_F(EndToEndTest, ANewUserEditsRunsAndReplaysTheExampleAndFindsItAllAgainAfterARestart)
{
    // ---- A start with no file opens nothing ----
    Start();
    // Pauses between the steps of a run are off unless asked for; the person asks for them
    // in Preferences, to watch the run (and stop it on the way).
    EXPECT_FALSE(DesktopRunSettings(m_app->GetProfile()).pace);
    m_app->GetProfile().WriteInt(kPaceSection, kPaceEntry, 1);
    Frame().setGeometry(QRect(kWindowPlace, kWindowSize));
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo"));
    EXPECT_TRUE(Frame().GetChildFrames().empty());
    EXPECT_EQ(MenuTitles(), QStringList({"&File", "&View", "&Help"}));
    EXPECT_EQ(Status(), QStringLiteral("Ready"));
    EXPECT_EQ(RecentItems(), QStringList({"Recent File"}));
    EXPECT_FALSE(Enabled(fw::id::FILE_MRU_FIRST)) << "the placeholder is greyed";
    for (int id : {cmd::RUN, cmd::VIEW_PATH, cmd::REPORT, fw::id::FILE_SAVE}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    Step("start");

    // ---- File > Open on a copy of the example ----
    WhenDialogShows("open-dialog", [this](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr);
        // Typed into the name box, as the folder view may still be loading.
        auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(SitePath());
        dialog->accept();
    });
    Choose(fw::id::FILE_OPEN);
    ++m_step; // the dialog's picture
    ASSERT_TRUE(SpinUntil([this] { return !m_app->CommandTemplate->GetDocuments().empty(); }));
    m_doc = dynamic_cast<CWendoDoc*>(m_app->CommandTemplate->GetDocuments().front());
    ASSERT_NE(m_doc, nullptr);
    ASSERT_NE(View<CCmdView>(), nullptr);
    ASSERT_NE(View<CFileWendoView>(), nullptr);
    ExpectInside(Active(), "the command file window");
    EXPECT_EQ(RecentItems(), QStringList({QStringLiteral("&1 ") + SitePath()}));
    Active()->showMaximized();
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo - [site.wdo]"));
    EXPECT_EQ(Status(), QStringLiteral("Ready"));
    EXPECT_EQ(MenuTitles(), QStringList({"&File", "&Edit", "&View", "&Window", "&Help"}));
    EXPECT_EQ(View<CCmdView>()->RowCount(), 8);
    EXPECT_EQ(View<CFileWendoView>()->GetEntryList().Count(), 5);
    EXPECT_TRUE(Enabled(cmd::RUN)) << "the example may run as it is";
    Step("open-example");

    // ---- Two commands from the editor ----
    AddCommand("FIND REPLACE", nullptr, nullptr, "Furniture", "Furnishings");
    EXPECT_EQ(View<CCmdView>()->GetItemText(8, 0), QStringLiteral("FIND REPLACE"));
    EXPECT_EQ(View<CCmdView>()->GetItemText(8, 1), QStringLiteral("Furniture"));
    EXPECT_EQ(View<CCmdView>()->GetItemText(8, 2), QStringLiteral("Furnishings"));
    AddCommand("IMAGE TAGS", "BORDER Tag", "Add/Repl", "*.gif", "0");
    EXPECT_EQ(View<CCmdView>()->GetItemText(9, 3), QStringLiteral("*.gif"));
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_FALSE(Enabled(cmd::RUN)) << "modified";
    Step("commands-added");

    // ---- The drafts folder and an exclusion filter with the path selector ----
    // Edit > Add on the file list opens the path selector.
    auto* fileList = View<CFileWendoView>();
    fileList->GetListCtrl().setFocus();
    ASSERT_TRUE(SpinUntil([fileList] { return HasFocus(fileList); }));
    EXPECT_FALSE(Enabled(cmd::VIEW_PATH)) << "no selector open to switch to";
    Choose(cmd::ADD);
    auto* selector = View<CPathView>();
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(Active(), selector->GetParentFrame());
    if (!Active()->isMaximized()) {
        ExpectInside(Active(), "the path selector");
    }
    const std::string drafts = os::FromNative(m_base + "drafts");
    ASSERT_TRUE(selector->OpenTreeAt(drafts));
    ASSERT_TRUE(SpinUntil([selector] { return !selector->IsListPending(); }));
    EXPECT_EQ(selector->FileListBox()->count(), 1);
    selector->ExtensionsCombo()->setEditText(QStringLiteral("*.htm"));
    selector->Button(1036)->click(); // Add folder
    CEntryList& rows = selector->GetEntryList();
    ASSERT_EQ(rows.Count(), 6);
    EXPECT_EQ(rows.FilesText(5), "*.htm");
    rows.SelectRow(5);
    ASSERT_TRUE(selector->Button(1044)->isEnabled());
    selector->Button(1044)->click(); // Recursive
    EXPECT_EQ(selector->Button(1044)->text(), QStringLiteral("Current"));
    Find<QLineEdit>(selector, "edit_1043")->setText(QStringLiteral("*\\old\\*.htm"));
    ASSERT_TRUE(selector->Button(1037)->isEnabled());
    selector->Button(1037)->click(); // Add filter
    ASSERT_EQ(rows.Count(), 7);
    EXPECT_EQ(rows.FilesText(6), "*\\old\\*.htm");
    Step("path-selector");
    EXPECT_FALSE(Enabled(cmd::RUN)) << "a path selector is open";
    Choose(cmd::CMD_FILE);
    EXPECT_NE(Active(), selector->GetParentFrame());
    EXPECT_TRUE(Enabled(cmd::VIEW_PATH)) << "back to the open selector";
    Choose(cmd::VIEW_PATH);
    EXPECT_EQ(Active(), selector->GetParentFrame());
    selector->Button(1048)->click(); // Ok
    ASSERT_TRUE(SpinUntil([this] { return View<CPathView>() == nullptr; }));
    EXPECT_EQ(View<CFileWendoView>()->GetEntryList().Count(), 7);

    // ---- A line region and another backup extension in the option view ----
    auto* options = View<COptionView>();
    ASSERT_NE(options, nullptr);
    options->Edit(1058)->setText(QStringLiteral("1"));
    options->Edit(1059)->setText(QStringLiteral("200"));
    options->Edit(1052)->setText(QStringLiteral("orig"));
    EXPECT_TRUE(options->Check(1053)->isEnabled());
    if (!options->Check(1053)->isChecked()) {
        options->Check(1053)->click();
    }
    EXPECT_TRUE(options->Check(1053)->isChecked());
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_FALSE(Enabled(cmd::RUN)) << "modified";
    EXPECT_EQ(Frame().GetFileMenu()->actions().at(kRunMenuItem)->text(),
              QStringLiteral("&Run\tCtrl+R"));
    EXPECT_FALSE(Frame().GetFileMenu()->actions().at(kRunMenuItem)->isEnabled());
    Step("options-run-disabled");

    // ---- Save: the file holds what was set, and Run comes on ----
    Choose(fw::id::FILE_SAVE);
    EXPECT_FALSE(m_doc->IsModified());
    EXPECT_TRUE(m_boxes.empty()) << m_boxes.front().toStdString();
    const std::string saved = ReadFile(SitePath().toStdString());
    for (const char* line :
         {"FROMLINE=1\n", "TOLINE=200\n", "BACKUPEXT=orig\n", "BACKUP=ON\n", "NBSUBCMD=10\n",
          "NBFILEWENDO=7\n", "DELIMITER ~Furniture~", "EXCL_FILTER RECURS_OFF */old/*.htm",
          ":~:FILTER RECURS_ON site/*.htm:~:"}) {
        EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
    }
    EXPECT_TRUE(Enabled(cmd::RUN));
    EXPECT_TRUE(Frame().GetFileMenu()->actions().at(kRunMenuItem)->isEnabled());
    Step("saved");

    // ---- Run; suspend from the Stop dialog; resume; the run finishes ----
    Choose(cmd::RUN);
    auto* progress = View<CProgressView>();
    auto* paths = View<CProgressPathView>();
    ASSERT_NE(progress, nullptr) << "Run opens the report window";
    ASSERT_NE(paths, nullptr);
    if (!progress->GetParentFrame()->isMaximized()) {
        ExpectInside(progress->GetParentFrame(), "the report window");
    }
    EXPECT_EQ(m_doc->Started.load(), 1);
    EXPECT_EQ(Frame().GetFileMenu()->actions().at(kRunMenuItem)->text(), QStringLiteral("St&op"));
    progress->GetParentFrame()->showMaximized();
    Step("running");
    WhenDialogShows("stop-dialog", [](QDialog* dialog) {
        auto* suspend = dialog->findChild<QRadioButton*>(QStringLiteral("radio_1002_suspend"));
        ASSERT_NE(suspend, nullptr);
        for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
            EXPECT_TRUE(button->icon().isNull())
                << "a style's picture on " << button->text().toStdString();
        }
        suspend->setChecked(true);
        dialog->accept();
    });
    Choose(cmd::STOP);
    ++m_step; // the dialog's picture
    EXPECT_EQ(m_doc->Suspended.load(), 1);
    m_app->OnIdle(0);
    EXPECT_EQ(progress->RunIcon(), kSuspendedIcon);
    EXPECT_EQ(Frame().GetFileMenu()->actions().at(kRunMenuItem)->text(),
              QStringLiteral("&Resume\tCtrl+R"));
    const int startedWhenSuspended = m_doc->Run.FilesStarted.load();
    SpinUntil([] { return false; }, 300);
    EXPECT_EQ(m_doc->Run.FilesStarted.load(), startedWhenSuspended) << "suspended means held";
    Step("suspended");
    Choose(cmd::RESUME);
    EXPECT_EQ(m_doc->Suspended.load(), 0);
    ASSERT_TRUE(SpinUntil([this] { return m_doc->Started.load() == 0; }, kDeadlineMs));
    SpinUntil([this] { return m_app->GetMessageTarget()->PendingCount() == 0; });
    m_app->OnIdle(0);

    // ---- The report window against the files on disk and the report file ----
    const std::set<std::string> changed = ChangedFiles("orig");
    ASSERT_FALSE(changed.empty());
    EXPECT_TRUE(changed.count("drafts/welcome.htm")) << "the added folder was processed";
    EXPECT_EQ(ReadFile(m_base + "drafts/old/welcome.htm"), "<p>Lamplight Furniture</p>\n")
        << "the exclusion filter kept the old draft";
    EXPECT_EQ(progress->FieldText(1063), QStringLiteral("All parsing done"));
    EXPECT_EQ(progress->FieldText(1066), QString::number(changed.size())) << "files modified";
    EXPECT_EQ(progress->RunIcon(), kRunIdleIcon);
    EXPECT_FALSE(progress->Animating()) << "nothing busy once the run has ended";
    EXPECT_GT(progress->ProgressBar()->maximum(), 0) << "no endless busy bar";
    EXPECT_EQ(Status(), QStringLiteral("File > Undo Last Run... takes this run back."))
        << "the run's end says it can be undone";
    // With a file statistics command every file of the run has a row; those that no
    // command changed have no message.
    std::set<std::string> shown;
    const QStringList shownFiles = Column(paths->List(), 0);
    const QStringList shownMessages = Column(paths->List(), 1);
    for (int row = 0; row < shownFiles.size(); ++row) {
        const std::string path = Relative(shownFiles[row].toStdString(), m_base);
        if (!shownMessages[row].isEmpty()) {
            shown.insert(path);
        } else {
            EXPECT_EQ(changed.count(path), 0U) << path << " changed without a message";
        }
    }
    EXPECT_EQ(shown, changed) << "a message for each modified file";
    for (const std::string& file : changed) {
        EXPECT_TRUE(fs::exists(m_base + file + ".orig")) << file << " has its backup";
    }
    const std::string report = ReadFile(m_base + "site.log");
    const std::size_t total = report.find("\nTOTALMODIFIED=");
    ASSERT_NE(total, std::string::npos) << report;
    EXPECT_EQ(std::atoi(report.c_str() + total + 15), static_cast<int>(changed.size()));
    const QStringList messages = Column(paths->List(), 1);
    const QStringList files = Column(paths->List(), 0);
    for (int row = 0; row < files.size(); ++row) {
        const std::string line = "\"" + files[row].toStdString() + "\" ~";
        EXPECT_NE(report.find(line + messages[row].toStdString() + "~"), std::string::npos) << line;
    }
    const QTableWidget* statistics = progress->StatisticsList();
    ASSERT_EQ(statistics->columnCount(), 11) << "Total and one column per command";
    EXPECT_EQ(statistics->horizontalHeaderItem(9)->text(), QStringLiteral("FIND REPLACE"));
    const QStringList totals = [statistics] {
        QStringList cells;
        for (int column = 0; column < statistics->columnCount(); ++column) {
            cells << statistics->item(0, column)->text();
        }
        return cells;
    }();
    EXPECT_NE(totals.at(9), QStringLiteral("0")) << "Furniture was replaced";
    for (int column = 1; column < 9; ++column) {
        const QString type = statistics->horizontalHeaderItem(column)->text();
        if (type != QStringLiteral("FILESTAT") && type != QStringLiteral("REWIND")) {
            EXPECT_NE(totals.at(column), QStringLiteral("0")) << "the example's " << column;
        }
    }
    // The statistics list takes the maximised pane's width.
    EXPECT_GT(statistics->width(), progress->width() - 80);
    const QString modifiedCount = progress->FieldText(1066);
    Step("run-finished");

    // ---- Closed and reopened from the recent list, the report replays ----
    Choose(fw::id::FILE_CLOSE);
    ASSERT_TRUE(SpinUntil([this] { return m_app->CommandTemplate->GetDocuments().empty(); }));
    EXPECT_TRUE(Frame().GetChildFrames().empty());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo"));
    const QAction* recent = Frame().GetFileMenu()->actions().at(3);
    EXPECT_TRUE(recent->text().endsWith(QStringLiteral("site.wdo")))
        << recent->text().toStdString();
    Choose(fw::id::FILE_MRU_FIRST);
    ASSERT_EQ(m_app->CommandTemplate->GetDocuments().size(), 1U);
    m_doc = dynamic_cast<CWendoDoc*>(m_app->CommandTemplate->GetDocuments().front());
    ASSERT_NE(m_doc, nullptr);
    EXPECT_EQ(View<CCmdView>()->RowCount(), 10);
    EXPECT_EQ(View<COptionView>()->Edit(1052)->text(), QStringLiteral("orig"));
    Choose(cmd::REPORT);
    progress = View<CProgressView>();
    paths = View<CProgressPathView>();
    ASSERT_NE(progress, nullptr);
    ASSERT_NE(paths, nullptr);
    ASSERT_TRUE(SpinUntil([this] { return m_app->GetMessageTarget()->PendingCount() == 0; }));
    progress->GetParentFrame()->showMaximized();
    EXPECT_EQ(progress->FieldText(1066), modifiedCount);
    EXPECT_EQ(progress->FieldText(1063), QStringLiteral("All parsing done"));
    EXPECT_EQ(Column(paths->List(), 0), files);
    EXPECT_EQ(Column(paths->List(), 1), messages);
    EXPECT_EQ(progress->ProgressBar()->value(), progress->ProgressBar()->maximum());
    EXPECT_EQ(progress->FieldText(1070), QStringLiteral("%1/%1").arg(m_doc->Run.MaxInc.load()));
    EXPECT_FALSE(progress->Animating());
    paths->List()->setCurrentIndex(paths->List()->model()->index(1, 0));
    SpinUntil([] { return false; }, 20);
    EXPECT_TRUE(SelectedRowIsReadable(paths->List())) << "the selected row shows its text";
    const QFontMetrics metrics = paths->List()->fontMetrics();
    for (int column : {3, 4}) {
        EXPECT_GE(
            paths->List()->columnWidth(column),
            metrics.horizontalAdvance(paths->List()->model()->index(1, column).data().toString()))
            << "the dates fit in column " << column;
    }
    Step("report-replayed");

    // ---- A changed file in the text viewer: find a word, the HTML viewer and back ----
    int row =
        static_cast<int>(files.indexOf(QString::fromStdString(m_base + "drafts/welcome.htm")));
    if (row < 0) {
        row = 0;
    }
    QTreeView* list = paths->List();
    list->scrollTo(list->model()->index(row, 0));
    const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent click(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &click);
    }
    ASSERT_TRUE(SpinUntil([this] { return !m_app->TextTemplate->GetDocuments().empty(); }));
    auto* text = m_app->TextTemplate->GetDocuments().front()->FindView<CTextView>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Active(), text->GetParentFrame());
    if (!Active()->isMaximized()) {
        ExpectInside(Active(), "the text viewer");
    }
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo - [welcome.htm]"));
    EXPECT_TRUE(text->Edit()->toPlainText().contains(QStringLiteral("Furnishings")));
    text->GetParentFrame()->showMaximized();
    Choose(fw::id::EDIT_FIND);
    ASSERT_TRUE(text->FindDialog()->isVisible());
    text->FindDialog()->SetSearchText(QStringLiteral("Furnishings"));
    text->FindDialog()->FindNext();
    EXPECT_EQ(text->Edit()->textCursor().selectedText(), QStringLiteral("Furnishings"));
    Step("text-viewer-find");
    text->FindDialog()->hide();
    Choose(cmd::VIEW_HTML);
    ASSERT_FALSE(m_app->WebTemplate->GetDocuments().empty());
    auto* web = m_app->WebTemplate->GetDocuments().front()->FindView<CWebView>();
    ASSERT_NE(web, nullptr);
    EXPECT_EQ(Active(), web->GetParentFrame());
    if (!Active()->isMaximized()) {
        ExpectInside(Active(), "the HTML viewer");
    }
    EXPECT_EQ(MenuTitles(), QStringList({"&File", "&Edit", "&Go", "&View", "&Window", "&Help"}));
    web->GetParentFrame()->showMaximized();
    // The web engine loads the page in the background; a page without a title is named by
    // its file.
    EXPECT_TRUE(SpinUntil(
        [web] {
            const QString title = web->Control().Title();
            return !web->Control().IsBusy() && !title.isEmpty() && title != "about:blank";
        },
        20000));
    SpinUntil([] { return false; }, 300);
    Step("html-viewer");
    Choose(cmd::VIEW_SOURCE);
    EXPECT_EQ(Active(), text->GetParentFrame()) << "back to the same text window";
    EXPECT_EQ(m_app->TextTemplate->GetDocuments().size(), 1U);
    // A word that is not there: the status bar tells, until the next window.
    text->FindDialog()->SetSearchText(QStringLiteral("Armchair"));
    text->FindDialog()->FindNext();
    text->FindDialog()->hide();
    EXPECT_NE(Status(), QStringLiteral("Ready"));
    // The viewers closed, the title names the document of the window that is active again.
    web->GetParentFrame()->close();
    text->GetParentFrame()->close();
    ASSERT_TRUE(SpinUntil([this] { return m_app->TextTemplate->GetDocuments().empty(); }));
    SpinUntil([this] { return Active() != nullptr; });
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo - [site.wdo]"));
    EXPECT_EQ(Status(), QStringLiteral("Ready"));
    EXPECT_FALSE(Frame().windowTitle().contains(QStringLiteral("\u2014")));

    // ---- Quit; a new start finds the window where it was and the file in the list ----
    Frame().showNormal();
    Frame().setGeometry(QRect(kWindowPlace, kWindowSize));
    const QRect where = Frame().geometry();
    Choose(fw::id::APP_EXIT);
    ASSERT_TRUE(SpinUntil([this] { return !Frame().isVisible(); }));
    m_app->ExitInstance();
    m_app.reset();

    Start();
    EXPECT_TRUE(Frame().GetChildFrames().empty()) << "a start with no file opens nothing";
    EXPECT_EQ(Frame().geometry(), where);
    EXPECT_FALSE(Frame().isMaximized());
    const QStringList entries = m_app->GetRecentFileList()->GetEntries();
    ASSERT_FALSE(entries.isEmpty());
    // The viewed page came later, so the command file is the second entry.
    ASSERT_GE(entries.size(), 2);
    EXPECT_EQ(entries.at(1), SitePath());
    const int second = 4;
    EXPECT_TRUE(
        Frame().GetFileMenu()->actions().at(second)->text().endsWith(QStringLiteral("site.wdo")));
    EXPECT_TRUE(Enabled(fw::id::FILE_MRU_FIRST + 1));
    Step("restarted");
}

} // namespace
