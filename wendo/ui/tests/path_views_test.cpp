#include "UiTestSupport.h"
#include "Views.h"
#include "WendoIds.h"
#include "core/StringTable.h"
#include "fw/ChildFrame.h"
#include "os/path.h"
#include "plinth/ShellTree.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace wendo::ui;
using wendo::CWendoDoc;

enum : int
{
    IDC_UNDO = 1027,
    IDC_ADD_FILE = 1035,
    IDC_ADD_DIR = 1036,
    IDC_ADD_FILTER = 1037,
    IDC_REMOVE = 1038,
    IDC_REMOVE_ALL = 1039,
    IDC_EXCLUDE = 1040,
    IDC_FILTER = 1043,
    IDC_RECURSIVE = 1044,
    IDC_OK = 1048,
};

// The example command file open, and a folder of our own to browse:
// tree/{a.htm, b.htm, c.txt, d.html, e.htm, sub/}.
class PathViewsTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        m_tree = fs::path(m_home.path().toStdString()) / "tree";
        fs::create_directories(m_tree / "sub");
        for (const char* name : {"a.htm", "b.htm", "c.txt", "d.html", "e.htm"}) {
            std::ofstream(m_tree / name) << "x";
        }
        Start();
        m_doc = OpenSite();
        ASSERT_NE(m_doc, nullptr);
        m_files = dynamic_cast<CFileWendoView*>(
            CMainFrame::FindDocView(m_doc, fw::ViewClassOf<CFileWendoView>()));
        ASSERT_NE(m_files, nullptr);
    }

    std::string Kept(const fs::path& path) const { return os::FromNative(path.string()); }
    std::string TreeKept() const { return Kept(m_tree); }

    CPathView* Selector() const
    {
        return dynamic_cast<CPathView*>(
            CMainFrame::FindDocView(m_doc, fw::ViewClassOf<CPathView>()));
    }
    CPathView* OpenSelector()
    {
        Frame().ActivateDocView(m_app->PathTemplate, fw::ViewClassOf<CPathView>(), m_doc);
        return Selector();
    }
    // Chooses the folder in the tree and waits for the listing timer.
    static bool ListFolder(CPathView& selector, const std::string& folder)
    {
        if (!selector.OpenTreeAt(folder)) {
            return false;
        }
        return SpinUntil([&selector] { return !selector.IsListPending(); }, 3000) &&
               selector.SelectedFolder() == folder;
    }
    static QStringList ComboItems(const CPathView& selector)
    {
        QStringList items;
        for (int i = 0; i < selector.ExtensionsCombo()->count(); ++i) {
            items << selector.ExtensionsCombo()->itemText(i);
        }
        return items;
    }
    static bool Enabled(const CPathView& selector, int id)
    {
        return selector.Button(id)->isEnabled();
    }
    std::vector<std::string> DocEntries() const
    {
        std::vector<std::string> texts;
        for (const CFileList& entry : m_doc->FileSet.Entries()) {
            texts.push_back(entry.GetStrFileList());
        }
        return texts;
    }
    bool IsEnabled(int id)
    {
        fw::CommandState state;
        return m_files->OnUpdateCommand(id, state) && state.enabled;
    }

    fs::path m_tree;
    CWendoDoc* m_doc = nullptr;
    CFileWendoView* m_files = nullptr;
};

// ---- Path selector ----

TEST_F(PathViewsTest, FirstShowingLoadsTheRowsAndCountsTheSelector)
{
    CPathView* selector = OpenSelector();
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(m_doc->OpenPathSelectors, 1);
    EXPECT_EQ(m_doc->CanRun(), 0);
    CEntryList& rows = selector->GetEntryList();
    ASSERT_EQ(rows.Count(), 5);
    const int images[] = {9, 8, 10, 25, 31};
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(rows.Image(row), images[row]) << row;
    }
    for (int id : {IDC_ADD_FILE, IDC_ADD_DIR, IDC_ADD_FILTER, IDC_REMOVE, IDC_EXCLUDE,
                   IDC_RECURSIVE, IDC_UNDO}) {
        EXPECT_FALSE(Enabled(*selector, id)) << id;
    }
    EXPECT_TRUE(Enabled(*selector, IDC_REMOVE_ALL));
    EXPECT_GE(selector->width(), 560);
    EXPECT_GE(selector->height(), 420);

    // A second request only brings the same selector forward.
    EXPECT_EQ(OpenSelector(), selector);
    EXPECT_EQ(m_doc->OpenPathSelectors, 1);
    selector->GetParentFrame()->close();
    ASSERT_TRUE(SpinUntil([this] { return Selector() == nullptr; }));
    EXPECT_EQ(m_doc->OpenPathSelectors, 0);
}

TEST_F(PathViewsTest, ListingAFolderFillsTheFilesAndTheExtensions)
{
    CPathView* selector = OpenSelector();
    ASSERT_NE(selector, nullptr);
    ASSERT_TRUE(ListFolder(*selector, TreeKept()));
    QListWidget* files = selector->FileListBox();
    EXPECT_EQ(files->count(), 5);
    // Each extension once, after the filter itself.
    EXPECT_EQ(ComboItems(*selector), (QStringList{"*.*", "*.htm", "*.txt", "*.html"}));
    EXPECT_TRUE(selector->findChild<QGroupBox*>(QStringLiteral("group_1088"))
                    ->title()
                    .endsWith(QString::fromStdString(m_tree.string())));
    EXPECT_TRUE(Enabled(*selector, IDC_ADD_DIR));
    EXPECT_FALSE(Enabled(*selector, IDC_ADD_FILE));
    files->item(0)->setSelected(true);
    EXPECT_TRUE(Enabled(*selector, IDC_ADD_FILE));

    selector->ExtensionsCombo()->setEditText(QStringLiteral(" *.htm "));
    EXPECT_EQ(files->count(), 3);
    selector->ExtensionsCombo()->setEditText(QStringLiteral("*."));
    EXPECT_EQ(files->count(), 3) << "\"*.\" leaves the list as it was";
    EXPECT_FALSE(Enabled(*selector, IDC_ADD_FILE));
}

TEST_F(PathViewsTest, AddingFoldersFilesAndFilters)
{
    CPathView* selector = OpenSelector();
    ASSERT_NE(selector, nullptr);
    CEntryList& rows = selector->GetEntryList();
    selector->Button(IDC_REMOVE_ALL)->click();
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_FALSE(Enabled(*selector, IDC_REMOVE_ALL));
    EXPECT_TRUE(selector->IsDirty());
    ASSERT_TRUE(ListFolder(*selector, TreeKept()));

    selector->ExtensionsCombo()->setEditText(QStringLiteral("*."));
    selector->Button(IDC_ADD_DIR)->click();
    selector->Button(IDC_ADD_DIR)->click();
    ASSERT_EQ(rows.Count(), 2) << "nothing removes the duplicate";
    EXPECT_EQ(rows.PathText(0), TreeKept() + "\\");
    EXPECT_EQ(rows.FilesText(0), "*.*");
    EXPECT_EQ(rows.FilesText(1), "*.*");
    EXPECT_EQ(rows.Image(0), 8);

    selector->ExtensionsCombo()->setEditText(QStringLiteral("*.*"));
    selector->FileListBox()->item(0)->setSelected(true);
    selector->FileListBox()->item(2)->setSelected(true);
    selector->Button(IDC_ADD_FILE)->click();
    ASSERT_EQ(rows.Count(), 4);
    EXPECT_EQ(rows.FilesText(2), "a.htm");
    EXPECT_EQ(rows.FilesText(3), "c.txt");
    EXPECT_EQ(rows.Image(3), 10);

    auto* filter = qobject_cast<QLineEdit*>(selector->Control(IDC_FILTER));
    filter->setText(QStringLiteral("   "));
    EXPECT_FALSE(Enabled(*selector, IDC_ADD_FILTER));
    filter->setText(QStringLiteral(" *.tmp "));
    ASSERT_TRUE(Enabled(*selector, IDC_ADD_FILTER));
    selector->Button(IDC_ADD_FILTER)->click();
    EXPECT_EQ(rows.FilesText(4), "*.tmp");
    EXPECT_EQ(rows.Image(4), 30);
}

TEST_F(PathViewsTest, OkRefusesNoRowsAndOnlyFiltersAndStoresAFolder)
{
    CPathView* selector = OpenSelector();
    ASSERT_NE(selector, nullptr);
    const std::vector<std::string> before = DocEntries();
    selector->Button(IDC_REMOVE_ALL)->click();
    selector->Button(IDC_OK)->click();
    ASSERT_EQ(m_boxes.size(), 1U);
    EXPECT_EQ(m_boxes.back(), QString::fromUtf8(core::LoadString(core::Msg::NO_PATH_SELECTION)));

    auto* filter = qobject_cast<QLineEdit*>(selector->Control(IDC_FILTER));
    filter->setText(QStringLiteral("*.tmp"));
    selector->Button(IDC_ADD_FILTER)->click();
    selector->Button(IDC_OK)->click();
    ASSERT_EQ(m_boxes.size(), 2U);
    EXPECT_EQ(m_boxes.back(),
              QString::fromUtf8(core::LoadString(core::Msg::ALL_PATHS_ARE_FILTERS)));
    SpinUntil([] { return false; }, 50);
    EXPECT_EQ(Selector(), selector) << "the selector stays open";
    EXPECT_EQ(DocEntries(), before);

    ASSERT_TRUE(ListFolder(*selector, TreeKept()));
    selector->Button(IDC_ADD_DIR)->click();
    selector->Button(IDC_OK)->click();
    EXPECT_EQ(m_boxes.size(), 2U);
    const std::string tree = os::FromNative(m_tree.string());
    std::string slashed = tree;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    EXPECT_EQ(DocEntries(), (std::vector<std::string>{"EXCL_FILTER RECURS_OFF *.tmp",
                                                      "FILTER RECURS_OFF " + slashed + "/*.*"}));
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_EQ(m_files->GetEntryList().Count(), 2) << "the file list was refreshed";
    ASSERT_TRUE(SpinUntil([this] { return Selector() == nullptr; }));
    EXPECT_EQ(m_doc->OpenPathSelectors, 0);
}

TEST_F(PathViewsTest, ToggleButtonsFollowTheSelectedRow)
{
    CPathView* selector = OpenSelector();
    ASSERT_NE(selector, nullptr);
    CEntryList& rows = selector->GetEntryList();
    QPushButton* exclude = selector->Button(IDC_EXCLUDE);
    QPushButton* recursive = selector->Button(IDC_RECURSIVE);

    rows.SelectRow(4); // *.bak: an excluded file filter
    EXPECT_TRUE(Enabled(*selector, IDC_REMOVE));
    EXPECT_FALSE(exclude->isEnabled());
    EXPECT_FALSE(recursive->isEnabled());
    EXPECT_EQ(exclude->text(), QStringLiteral("Include"));
    EXPECT_EQ(recursive->text(), QStringLiteral("Current"));

    auto* filter = qobject_cast<QLineEdit*>(selector->Control(IDC_FILTER));
    filter->setText(QStringLiteral("*\\old\\*.htm"));
    selector->Button(IDC_ADD_FILTER)->click();
    rows.SelectRow(5); // an excluded virtual filter
    EXPECT_FALSE(exclude->isEnabled());
    EXPECT_TRUE(recursive->isEnabled());

    rows.SelectRow(0);
    EXPECT_TRUE(exclude->isEnabled());
    EXPECT_TRUE(recursive->isEnabled());
    EXPECT_EQ(exclude->text(), QStringLiteral("Exclude"));
    exclude->click();
    EXPECT_EQ(rows.Image(0), 25);
    EXPECT_EQ(exclude->text(), QStringLiteral("Include"));
    recursive->click();
    EXPECT_EQ(rows.Image(0), 24);
    EXPECT_EQ(recursive->text(), QStringLiteral("Recursive"));
    EXPECT_TRUE(Enabled(*selector, IDC_UNDO));

    rows.SelectRow(-1);
    EXPECT_FALSE(Enabled(*selector, IDC_REMOVE));
    EXPECT_FALSE(exclude->isEnabled());
    EXPECT_FALSE(recursive->isEnabled());

    selector->Button(IDC_UNDO)->click();
    EXPECT_EQ(rows.Count(), 5);
    EXPECT_EQ(rows.Image(0), 9);
    EXPECT_FALSE(selector->IsDirty());
    EXPECT_FALSE(Enabled(*selector, IDC_UNDO));
}

TEST_F(PathViewsTest, ARecursiveFileFilterComesBackNotRecursive)
{
    ASSERT_EQ(m_doc->IsFileEntryRecursive(4), 1); // EXCL_FILTER RECURS_ON *.bak
    CPathView* selector = OpenSelector();
    ASSERT_NE(selector, nullptr);
    selector->Button(IDC_OK)->click();
    EXPECT_TRUE(m_boxes.empty());
    const std::vector<std::string> expected = {
        "FILTER RECURS_ON site/*.htm", "FILTER RECURS_OFF site/*.html",
        "FILTER RECURS_OFF site/help/returns.txt", "EXCL_FILTER RECURS_ON site/products/old/*.htm",
        "EXCL_FILTER RECURS_OFF *.bak"};
    EXPECT_EQ(DocEntries(), expected);
}

TEST_F(PathViewsTest, AFolderThatCannotBeListedDisablesTheAddButtons)
{
    fs::create_directory(m_tree / "gone");
    CPathView* selector = OpenSelector();
    ASSERT_NE(selector, nullptr);
    ASSERT_TRUE(ListFolder(*selector, TreeKept()));
    QTreeWidgetItem* folder = selector->Tree()->currentItem();
    selector->Tree()->OnFolderExpanding(folder);
    ASSERT_EQ(folder->childCount(), 2);
    fs::remove(m_tree / "gone");
    selector->Tree()->setCurrentItem(folder->child(0));
    EXPECT_EQ(selector->FileListBox()->count(), 0);
    EXPECT_FALSE(Enabled(*selector, IDC_ADD_DIR));
    EXPECT_FALSE(Enabled(*selector, IDC_ADD_FILE));
    EXPECT_FALSE(selector->IsListPending());
}

// ---- File list ----

TEST_F(PathViewsTest, FileListCommandsFollowTheRowAndTheDocument)
{
    m_doc->SetFileSet(2, ":~:FILTER RECURS_ON site/*.htm:~:\n"
                         ":~:EXCL_FILTER RECURS_ON */old/*.htm:~:\n");
    CEntryList& rows = m_files->GetEntryList();
    ASSERT_EQ(rows.Count(), 2);
    m_doc->SetFileSet(3, ":~:FILTER RECURS_ON site/*.htm:~:\n"
                         ":~:EXCL_FILTER RECURS_ON */old/*.htm:~:\n"
                         ":~:EXCL_FILTER RECURS_ON *.bak:~:\n");
    ASSERT_EQ(rows.Count(), 3) << "SetFileSet refreshes the list";

    struct Row
    {
        const char* name;
        int row;
        int selectors;
        int started;
        bool modify, remove, exclude, recursive, add, removeAll;
    } table[] = {
        {"no row", -1, 0, 0, false, false, false, false, true, true},
        {"directory filter", 0, 0, 0, true, true, true, true, true, true},
        {"excluded virtual filter", 1, 0, 0, true, true, false, true, true, true},
        {"excluded file filter", 2, 0, 0, true, true, false, false, true, true},
        {"a path selector open", 0, 1, 0, false, false, false, false, true, true},
        {"in process", 0, 0, 1, false, false, false, false, false, false},
    };
    for (const Row& row : table) {
        rows.SelectRow(row.row);
        m_doc->OpenPathSelectors = static_cast<int16_t>(row.selectors);
        m_doc->Started = row.started;
        EXPECT_EQ(IsEnabled(cmd::MODIFY), row.modify) << row.name;
        EXPECT_EQ(IsEnabled(cmd::REMOVE), row.remove) << row.name;
        EXPECT_EQ(IsEnabled(cmd::EXCLUDE), row.exclude) << row.name;
        EXPECT_EQ(IsEnabled(cmd::RECURSIVE), row.recursive) << row.name;
        EXPECT_EQ(IsEnabled(cmd::ADD), row.add) << row.name;
        EXPECT_EQ(IsEnabled(cmd::REMOVE_ALL), row.removeAll) << row.name;
    }
    m_doc->OpenPathSelectors = 0;

    // In process: a double click is refused with the message, and no selector opens.
    rows.SelectRow(0);
    EXPECT_FALSE(m_files->OpenPathSelector());
    ASSERT_EQ(m_boxes.size(), 1U);
    EXPECT_EQ(m_boxes.back(), QString::fromUtf8(core::LoadString(core::Msg::DOCUMENT_IN_PROCESS)));
    EXPECT_EQ(Selector(), nullptr);
    m_doc->Started = 0;
}

TEST_F(PathViewsTest, FileListTogglesChangeTheDocumentAndRelabelTheEditMenu)
{
    CEntryList& rows = m_files->GetEntryList();
    m_doc->SetModifiedFlag(false);
    const auto menuText = [this](int id) {
        const std::vector<QAction*> actions = Frame().GetCommands().Actions(id);
        return actions.empty() ? QString() : actions.front()->text();
    };
    rows.SelectRow(3); // EXCL_FILTER RECURS_ON site/products/old/*.htm
    EXPECT_EQ(menuText(cmd::EXCLUDE), QStringLiteral("Incl&ude\tCtrl+U"));
    EXPECT_EQ(menuText(cmd::RECURSIVE), QStringLiteral("&Current path\tCtrl+C"));

    rows.SelectRow(0);
    ASSERT_TRUE(m_files->OnCommand(cmd::EXCLUDE));
    EXPECT_EQ(m_doc->IsFileEntryExcluded(0), 1);
    EXPECT_EQ(rows.Image(0), 25);
    EXPECT_EQ(menuText(cmd::EXCLUDE), QStringLiteral("Incl&ude\tCtrl+U"));
    ASSERT_TRUE(m_files->OnCommand(cmd::RECURSIVE));
    EXPECT_EQ(m_doc->IsFileEntryRecursive(0), 0);
    EXPECT_EQ(rows.Image(0), 24);
    EXPECT_EQ(menuText(cmd::RECURSIVE), QStringLiteral("Re&cursive\tCtrl+C"));
    EXPECT_TRUE(m_doc->IsModified());

    rows.SelectRow(-1);
    EXPECT_EQ(menuText(cmd::EXCLUDE), QStringLiteral("Incl&ude\tCtrl+U"))
        << "losing the selection does not relabel";

    rows.SelectRow(1);
    ASSERT_TRUE(m_files->OnCommand(cmd::REMOVE));
    EXPECT_EQ(m_doc->FileSet.Count(), 4);
    EXPECT_EQ(rows.Count(), 4);
    EXPECT_EQ(rows.FilesText(1), "returns.txt");
    ASSERT_TRUE(m_files->OnCommand(cmd::REMOVE_ALL));
    EXPECT_EQ(m_doc->FileSet.Count(), 0);
    EXPECT_EQ(rows.Count(), 0);
}

TEST_F(PathViewsTest, FileListPopUpGreysWhatCannotApply)
{
    const auto states = [this](int row) {
        std::unique_ptr<QMenu> menu(m_files->MakeContextMenu(row));
        QString text;
        for (QAction* action : menu->actions()) {
            text += action->isEnabled() ? QLatin1Char('+') : QLatin1Char('-');
        }
        return text;
    };
    // Add, Modify, Remove, Exclude, Recursive, Remove All, a separator, Preview Changes (a
    // filter names no one file).
    EXPECT_EQ(states(-1), QStringLiteral("+----++-"));
    EXPECT_EQ(states(0), QStringLiteral("+++++++-"));
    EXPECT_EQ(states(4), QStringLiteral("+++--++-")) << "an excluded file filter";
    std::unique_ptr<QMenu> menu(m_files->MakeContextMenu(3));
    EXPECT_EQ(menu->actions().at(3)->text(), QStringLiteral("Incl&ude\tCtrl+U"));
    EXPECT_EQ(menu->actions().at(4)->text(), QStringLiteral("&Current path\tCtrl+C"));

    m_doc->OpenPathSelectors = 1;
    EXPECT_EQ(states(0), QStringLiteral("++----+-"));
    m_doc->OpenPathSelectors = 0;
    m_doc->SetFileSet(0, "");
    EXPECT_EQ(states(-1), QStringLiteral("+-----+-"));
}

TEST_F(PathViewsTest, OpeningTheSelectorFromARowOpensTheTreeAtItsFolder)
{
    // A relative row is taken from the command file's folder (the test's home), not from the
    // current folder.
    ASSERT_NE(fs::current_path(), fs::path(m_home.path().toStdString()));
    for (const std::string& folder : {TreeKept() + "\\sub", std::string("tree\\sub")}) {
        m_doc->SetFileSet(1, ":~:FILTER RECURS_OFF " + folder + "\\*.htm:~:\n");
        m_files->GetEntryList().SelectRow(0);
        ASSERT_TRUE(m_files->OpenPathSelector()) << folder;
        CPathView* selector = Selector();
        ASSERT_NE(selector, nullptr);
        EXPECT_EQ(CShellTree::ItemPath(selector->Tree()->currentItem()), TreeKept() + "\\sub")
            << folder;
        ASSERT_TRUE(SpinUntil([selector] { return !selector->IsListPending(); }, 3000));
        EXPECT_EQ(selector->SelectedFolder(), TreeKept() + "\\sub") << folder;
        selector->GetParentFrame()->close();
        ASSERT_TRUE(SpinUntil([this] { return Selector() == nullptr; }));
    }
}

} // namespace

namespace {

// Pictures of the path selector on the example site and of the option form for the
// documentation, made only when asked:
//   WENDO_SCREENSHOTS=docs build/bin/ui_tests --gtest_filter='*PathAndOptionPictures*'
TEST_F(PathViewsTest, PathAndOptionPictures)
{
    const char* folder = std::getenv("WENDO_SCREENSHOTS");
    if (folder == nullptr) {
        GTEST_SKIP() << "set WENDO_SCREENSHOTS to a folder to make the pictures";
    }
    const QString out = QDir(QString::fromLocal8Bit(folder)).absolutePath();
    const fs::path examples =
        (fs::path(WENDO_TEST_DATA) / ".." / ".." / ".." / ".." / "examples").lexically_normal();
    const fs::path site = fs::path(m_home.path().toStdString()) / "site";
    fs::copy(examples / "site", site, fs::copy_options::recursive);
    Frame().resize(900, 720);

    fw::ChildFrame* files = m_files->GetParentFrame();
    files->resize(720, 560);
    SpinUntil([] { return false; }, 200);
    auto* options =
        dynamic_cast<COptionView*>(CMainFrame::FindDocView(m_doc, fw::ViewClassOf<COptionView>()));
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(options->grab().save(out + "/option-view.png"));

    m_files->GetEntryList().SelectRow(0);
    CPathView* selector = OpenSelector();
    ASSERT_NE(selector, nullptr);
    ASSERT_TRUE(ListFolder(*selector, Kept(site)));
    selector->FileListBox()->item(0)->setSelected(true);
    selector->GetEntryList().SelectRow(3);
    SpinUntil([] { return false; }, 200);
    EXPECT_TRUE(selector->GetParentFrame()->grab().save(out + "/path-selector.png"));
}

} // namespace
