#include "UiTestSupport.h"
#include "Views.h"
#include "WendoIds.h"
#include "engine/Notifications.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "fw/RecentFileList.h"
#include "fw/WindowPlacement.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <set>

namespace {

using namespace wendo::ui;

// Plays the document's run states as the run driver will.
class ScriptedRun final : public RunControl
{
public:
    ScriptedRun(wendo::CWendoDoc& doc, StopChoice* answer) : m_doc(&doc), m_answer(answer) {}
    int StartProcess(core::MessageTarget&) override
    {
        if (m_doc->Started.load() != 0) {
            return 0;
        }
        m_doc->Started = 1;
        return 1;
    }
    int EndProcess() override
    {
        m_doc->Started = 0;
        m_doc->Suspended = 0;
        return 1;
    }
    void ResumeProcess() override { m_doc->Suspended = 0; }
    int AskStopProcess(const std::function<StopChoice()>&) override
    {
        m_doc->Suspended = *m_answer == StopChoice::Suspend ? 1 : 0;
        return *m_answer == StopChoice::Suspend ? 1 : 0;
    }
    int LoadReport() override { return 0; }

private:
    wendo::CWendoDoc* m_doc;
    StopChoice* m_answer;
};

QStringList Titles(const QMenuBar* bar)
{
    QStringList titles;
    for (const QAction* action : bar->actions()) {
        titles << action->text();
    }
    return titles;
}

QStringList Items(const QMenu* menu)
{
    QStringList items;
    for (const QAction* action : menu->actions()) {
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return items;
}

class MainFrameTest : public UiTest
{
protected:
    void StartWithSite()
    {
        Start();
        m_app->SetRunControlFactory([this](wendo::CWendoDoc& doc) {
            return std::make_unique<ScriptedRun>(doc, &m_answer);
        });
        m_doc = OpenSite();
        ASSERT_NE(m_doc, nullptr);
        Frame().UpdateCommandUI();
    }
    bool Enabled(int id) { return Frame().GetCommands().Query(id).enabled; }
    QString RunItem() { return Frame().GetFileMenu()->actions().at(kRunMenuItem)->text(); }
    int RunSlot()
    {
        return fw::CommandManager::CommandId(Frame().GetStandardBar()->actions().at(kRunSlot));
    }

    wendo::CWendoDoc* m_doc = nullptr;
    StopChoice m_answer = StopChoice::Cancel;
};

TEST_F(MainFrameTest, TheMenuBarFollowsTheKindOfTheActiveWindow)
{
    Start();
    EXPECT_EQ(Titles(Frame().menuBar()), QStringList({"&File", "&View", "&Help"}));
    EXPECT_EQ(Items(Frame().GetFileMenu()),
              QStringList({"&New\tCtrl+N", "&Open...\tCtrl+O", "-", "Recent File", "-",
                           "P&rint Setup...", "-", "E&xit"}));

    m_doc = OpenSite();
    ASSERT_NE(m_doc, nullptr);
    Frame().UpdateCommandUI();
    EXPECT_EQ(Titles(Frame().menuBar()),
              QStringList({"&File", "&Edit", "&View", "&Window", "&Help"}));
    const QStringList file = Items(Frame().GetFileMenu());
    ASSERT_GE(file.size(), 11);
    EXPECT_EQ(file.mid(0, 9),
              QStringList({"&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "&Save\tCtrl+S",
                           "Save &As...", "-", "&Run\tCtrl+R", "&Undo Last Run...", "-"}));
    EXPECT_EQ(file.last(), QStringLiteral("E&xit"));
    EXPECT_EQ(Items(Frame().menuBar()->actions().at(1)->menu()),
              QStringList({"&Add\tCtrl+A", "Duplicate\tCtrl+D", "&Modify\tCtrl+M", "&Remove\tDel",
                           "Excl&ude\tCtrl+U", "Re&cursive\tCtrl+C", "Remove All\tCtrl+L", "-",
                           "Pre&view Changes"}));
    EXPECT_EQ(Items(Frame().GetViewMenu()),
              QStringList({"&Path", "&Command", "CMD&File", "&Report", "-", "&Toolbar",
                           "&Web Toolbar", "&Status Bar", "-", "Pr&eferences..."}));

    struct Row
    {
        fw::MultiDocTemplate* docTemplate;
        QStringList titles;
        QString edit0;
    };
    const Row rows[] = {
        {m_app->PathTemplate, {"&File", "&Edit", "&View", "&Window", "&Help"}, "&Undo\tCtrl+Z"},
        {m_app->ParseCmdTemplate, {"&File", "&Edit", "&View", "&Window", "&Help"}, "&Undo\tCtrl+Z"},
        {m_app->ReportTemplate, {"&File", "&Edit", "&View", "&Window", "&Help"}, "&Add\tCtrl+A"},
    };
    for (const Row& row : rows) {
        fw::ChildFrame* frame = row.docTemplate->CreateNewFrame(*m_doc);
        row.docTemplate->InitialUpdateFrame(frame, true);
        Frame().UpdateCommandUI();
        EXPECT_EQ(Titles(Frame().menuBar()), row.titles);
        EXPECT_EQ(Frame().menuBar()->actions().at(1)->menu()->actions().at(0)->text(), row.edit0);
        frame->close();
        SpinUntil([] { return false; }, 20);
    }
    const QString page = m_home.path() + QStringLiteral("/page.htm");
    QFile(page).open(QIODevice::WriteOnly);
    m_app->OpenWebFile(page);
    Frame().UpdateCommandUI();
    EXPECT_EQ(Titles(Frame().menuBar()),
              QStringList({"&File", "&Edit", "&Go", "&View", "&Window", "&Help"}));
    EXPECT_FALSE(Enabled(fw::id::FILE_SAVE_AS)) << "the web window saves nothing";
    m_app->OpenTextFile(page);
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Items(Frame().GetViewMenu()).contains(QStringLiteral("View &HTML")));
}

TEST_F(MainFrameTest, RunIsEnabledOnlyWhenTheDocumentMayRun)
{
    StartWithSite();
    EXPECT_TRUE(Enabled(cmd::RUN));
    m_doc->SetModifiedFlag(true);
    EXPECT_FALSE(Enabled(cmd::RUN)) << "modified";
    m_doc->SetModifiedFlag(false);

    fw::ChildFrame* editor = m_app->ParseCmdTemplate->CreateNewFrame(*m_doc);
    m_app->ParseCmdTemplate->InitialUpdateFrame(editor, true);
    EXPECT_FALSE(Enabled(cmd::RUN)) << "command editor open";
    EXPECT_FALSE(Enabled(cmd::VIEW_COMMAND)) << "the editor is the active view";
    EXPECT_TRUE(Enabled(cmd::CMD_FILE));
    delete editor;
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Enabled(cmd::RUN));

    const auto commands = m_doc->Commands;
    m_doc->Commands.clear();
    EXPECT_FALSE(Enabled(cmd::RUN)) << "no command";
    m_doc->Commands = commands;
    m_doc->SetFileSet(0, "");
    m_doc->SetModifiedFlag(false);
    EXPECT_FALSE(Enabled(cmd::RUN)) << "no path";
}

TEST_F(MainFrameTest, NothingOfADocumentIsEnabledWithoutOne)
{
    Start();
    for (int id : {cmd::VIEW_PATH, cmd::VIEW_COMMAND, cmd::CMD_FILE, cmd::REPORT, cmd::RUN,
                   cmd::STOP, cmd::RESUME, fw::id::FILE_SAVE, fw::id::EDIT_COPY}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_TRUE(Enabled(fw::id::FILE_OPEN));
    EXPECT_TRUE(Enabled(cmd::WEB_TOOLBAR));
}

TEST_F(MainFrameTest, TheRunItemFollowsTheRunThroughItsStates)
{
    StartWithSite();
    struct Step
    {
        const char* name;
        std::function<void()> act;
        QString item;
        int slot;
    };
    const Step steps[] = {
        {"idle", [] {}, "&Run\tCtrl+R", cmd::RUN},
        {"running", [this] { Frame().GetCommands().Execute(cmd::RUN); }, "St&op", cmd::STOP},
        {"suspended",
         [this] {
             m_answer = StopChoice::Suspend;
             Frame().GetCommands().Execute(cmd::STOP);
         },
         "&Resume\tCtrl+R", cmd::RESUME},
        {"running again", [this] { Frame().GetCommands().Execute(cmd::RESUME); }, "St&op",
         cmd::STOP},
        {"idle again", [this] { Frame().OnRunNotification(wendo::WMU_RUN_END, 0, m_doc); },
         "&Run\tCtrl+R", cmd::RUN},
    };
    for (const Step& step : steps) {
        step.act();
        Frame().UpdateCommandUI();
        EXPECT_EQ(RunItem(), step.item) << step.name;
        EXPECT_EQ(RunSlot(), step.slot) << step.name;
    }
    EXPECT_TRUE(wendo::ui::CMainFrame::FindDocView(m_doc, fw::ViewClassOf<CProgressView>()))
        << "Run opens the report window";
}

TEST_F(MainFrameTest, AMaximisedChildStillHasItsRunItemAndWebToolbarCheck)
{
    StartWithSite();
    Frame().GetCommands().Execute(cmd::RUN);
    bool maximised = false;
    fw::ChildFrame* active = Frame().MDIGetActive(&maximised);
    ASSERT_NE(active, nullptr);
    active->showMaximized();
    Frame().MDIGetActive(&maximised);
    EXPECT_TRUE(maximised);
    Frame().UpdateRunCommand();
    EXPECT_EQ(RunItem(), QStringLiteral("St&op"));
    Frame().GetCommands().Execute(cmd::WEB_TOOLBAR);
    Frame().UpdateCommandUI();
    for (QAction* item : Frame().GetCommands().Actions(cmd::WEB_TOOLBAR)) {
        EXPECT_TRUE(item->isCheckable());
        EXPECT_FALSE(item->isChecked());
    }
    m_doc->Started = 0;
}

TEST_F(MainFrameTest, TheMainTitleNamesTheActiveDocument)
{
    StartWithSite();
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo - [site.wdo]"));
    m_doc->SetTitle("");
    Frame().UpdateMainTitle(Frame().MDIGetActive());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo - [New]"));
    Frame().UpdateMainTitle(nullptr);
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo"));
}

TEST_F(MainFrameTest, ThePlacementIsStoredAndRestoredMaximisedToo)
{
    Start();
    Frame().setGeometry(30, 40, 700, 500);
    Frame().showMaximized();
    Frame().SavePlacement();
    const QString stored = m_app->GetProfile().GetString("Settings", "WindowPos");
    EXPECT_TRUE(stored.startsWith(QStringLiteral("2,3,"))) << stored.toStdString();
    m_app.reset();

    Start();
    Frame().InitialShowWindow(fw::SW_SHOWNORMAL);
    EXPECT_TRUE(Frame().isMaximized());
    m_app.reset();

    QSettings("Korvel", "Wendo").setValue("Settings/WindowPos", "2,3,damaged");
    Start();
    EXPECT_FALSE(Frame().isMaximized()) << "a damaged placement is ignored";
    EXPECT_TRUE(Frame().isVisible());
}

TEST_F(MainFrameTest, NotificationsReachTheProgressViewsOfOpenDocumentsOnly)
{
    StartWithSite();
    // No progress view yet: dropped.
    EXPECT_EQ(Frame().OnRunNotification(wendo::WMU_STATUS, 0, m_doc), 0);
    Frame().GetCommands().Execute(cmd::RUN);
    auto* progress = static_cast<CProgressView*>(
        CMainFrame::FindDocView(m_doc, fw::ViewClassOf<CProgressView>()));
    auto* paths = static_cast<CProgressPathView*>(
        CMainFrame::FindDocView(m_doc, fw::ViewClassOf<CProgressPathView>()));
    ASSERT_NE(progress, nullptr);
    ASSERT_NE(paths, nullptr);
    m_doc->Run.SetStatus("Processing ... ");
    m_app->GetMessageTarget()->Post(wendo::WMU_STATUS, 0, m_doc);
    m_app->GetMessageTarget()->Post(wendo::WMU_STATUS, 0, m_doc);
    EXPECT_EQ(m_app->GetMessageTarget()->PendingCount(), 1U) << "identical pending status merged";
    EXPECT_EQ(m_app->GetMessageTarget()->Send(wendo::WMU_ADD_FILE_LINE, 0, m_doc), 1);
    SpinUntil([this] { return m_app->GetMessageTarget()->PendingCount() == 0; });
    EXPECT_EQ(progress->FieldText(1063), QStringLiteral("Processing ... "));
    EXPECT_EQ(paths->List()->model()->rowCount(), 1);
    int stranger = 0;
    EXPECT_EQ(Frame().OnRunNotification(wendo::WMU_STATUS, 0, &stranger), 0);
}

TEST_F(MainFrameTest, TheRunEndsEvenWhenItsReportWindowWasClosed)
{
    StartWithSite();
    Frame().GetCommands().Execute(cmd::RUN);
    ASSERT_EQ(m_doc->Started.load(), 1);
    CMainFrame::FindDocView(m_doc, fw::ViewClassOf<CProgressView>())->GetParentFrame()->close();
    SpinUntil([this] {
        return CMainFrame::FindDocView(m_doc, fw::ViewClassOf<CProgressView>()) == nullptr;
    });
    Frame().OnRunNotification(wendo::WMU_RUN_END, 0, m_doc);
    EXPECT_EQ(m_doc->Started.load(), 0);
}

TEST_F(MainFrameTest, ADocumentInProcessIsNotClosed)
{
    StartWithSite();
    Frame().GetCommands().Execute(cmd::RUN);
    for (fw::ChildFrame* frame : Frame().GetChildFrames()) {
        frame->close();
    }
    SpinUntil([] { return false; }, 50);
    EXPECT_TRUE(m_app->FindOpenWendoDoc(m_doc) != nullptr);
    ASSERT_FALSE(m_boxes.empty());
    EXPECT_EQ(m_boxes.back(), QStringLiteral("This document is in process ... Can't be modified"));
    m_doc->Started = 0;
}

TEST_F(MainFrameTest, FileCloseDuringARunClosesNoWindowAtAll)
{
    StartWithSite();
    Frame().GetCommands().Execute(cmd::RUN);
    const std::size_t windows = Frame().GetChildFrames().size();
    ASSERT_EQ(windows, 2U) << "the command file window and the report window";
    Frame().GetCommands().Execute(fw::id::FILE_CLOSE);
    SpinUntil([] { return false; }, 50);
    EXPECT_EQ(Frame().GetChildFrames().size(), windows);
    EXPECT_EQ(m_boxes.size(), 1U);
    m_doc->Started = 0;
}

// Ctrl+R runs as the File menu says; Delete removes a command, asking first when the command
// holds something; F6 and Shift+F6 go round the panes; tool tips are plain captions.
TEST_F(MainFrameTest, KeysDoWhatTheirMenuItemsSay)
{
    StartWithSite();
    auto* list =
        static_cast<CCmdView*>(CMainFrame::FindDocView(m_doc, fw::ViewClassOf<CCmdView>()));
    ASSERT_NE(list, nullptr);
    Frame().show();
    Frame().activateWindow();
    ASSERT_TRUE(SpinUntil([this] { return QApplication::activeWindow() == &Frame(); }));
    list->GetListCtrl().setFocus();
    list->SelectRow(2);
    const int rows = list->RowCount();
    const auto press = [](QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(target, &down);
    };
    press(&list->GetListCtrl(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(m_doc->Started.load(), 1) << "Ctrl+R runs";
    EXPECT_EQ(list->RowCount(), rows);
    Frame().OnRunNotification(wendo::WMU_RUN_END, 0, m_doc);
    Frame().ActivateFrame(list->GetParentFrame());
    list->GetListCtrl().setFocus();

    press(&list->GetListCtrl(), Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(m_boxes.size(), 1U) << "a command with text is asked about";
    EXPECT_EQ(list->RowCount(), rows) << "and kept when the answer is No";
    fw::SetMessageBoxHook([this](const QString& text, core::PromptButtons, core::PromptIcon) {
        m_boxes.push_back(text);
        return core::PromptAnswer::Yes;
    });
    press(&list->GetListCtrl(), Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(list->RowCount(), rows - 1);

    // The command file window's panes in order, round and back.
    std::vector<const fw::View*> seen;
    for (int step = 0; step < 3; ++step) {
        Frame().GetCommands().Execute(fw::id::NEXT_PANE);
        seen.push_back(Frame().MDIGetActive()->GetActiveView());
    }
    EXPECT_EQ(std::set<const fw::View*>(seen.begin(), seen.end()).size(), 3U);
    Frame().GetCommands().Execute(fw::id::PREV_PANE);
    EXPECT_EQ(Frame().MDIGetActive()->GetActiveView(), seen[1]);

    for (QAction* slot : Frame().GetStandardBar()->actions()) {
        EXPECT_FALSE(slot->toolTip().contains(QLatin1Char('&')) ||
                     slot->toolTip().contains(QLatin1Char('\t')))
            << slot->toolTip().toStdString();
    }
}

// The recent files and the Window menu's list are current the moment they change; the status
// bar says "Ready" again in the next window; a title names the active document after a window
// closes; files dropped on the main window open as from File > Open.
TEST_F(MainFrameTest, MenusTitleAndStatusBarAreCurrentAtOnce)
{
    StartWithSite();
    m_app->GetRecentFileList()->Add(m_home.path() + QStringLiteral("/other.wdo"));
    const QStringList file = Items(Frame().GetFileMenu());
    EXPECT_EQ(file.at(9), QStringLiteral("&1 %1/other.wdo").arg(m_home.path()));
    EXPECT_EQ(file.at(10), QStringLiteral("&2 %1").arg(SitePath()));

    Frame().SetStatusText(QStringLiteral("Passed the end of the file"));
    Frame().GetCommands().Execute(cmd::RUN);
    EXPECT_EQ(Frame().GetStatusText(), QStringLiteral("Ready"));
    Frame().OnRunNotification(wendo::WMU_RUN_END, 0, m_doc);
    QMenu* window = Frame().findChild<QMenu*>(QStringLiteral("WindowMenu"));
    ASSERT_NE(window, nullptr);
    Q_EMIT window->aboutToShow();
    const QStringList windows = Items(window);
    ASSERT_EQ(windows.size(), 6);
    EXPECT_EQ(windows.at(3), QStringLiteral("-"));
    EXPECT_TRUE(windows.at(4).startsWith(QStringLiteral("&1 "))) << windows.at(4).toStdString();
    EXPECT_TRUE(windows.at(5).startsWith(QStringLiteral("&2 "))) << windows.at(5).toStdString();
    EXPECT_TRUE(window->actions().at(5)->isChecked()) << "the report window is active";
    window->actions().at(4)->trigger();
    EXPECT_EQ(Frame().MDIGetActive(), Frame().GetChildFrames().front());

    QFile page(m_home.path() + QStringLiteral("/page.txt"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(page.fileName())});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    ASSERT_EQ(m_app->TextTemplate->GetDocuments().size(), 1U);
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo - [page.txt]"));
    Frame().MDIGetActive()->close();
    SpinUntil([] { return false; }, 50);
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Wendo - [site.wdo]"));
}

// New windows, Cascade and Tile keep every child window whole inside the client area, also in
// a main window smaller than the forms' designed sizes.
TEST_F(MainFrameTest, ChildWindowsStayInsideTheClientArea)
{
    Start();
    m_app->SetRunControlFactory(
        [this](wendo::CWendoDoc& doc) { return std::make_unique<ScriptedRun>(doc, &m_answer); });
    Frame().resize(560, 380);
    Frame().show();
    SpinUntil([] { return false; }, 50);
    m_doc = OpenSite();
    ASSERT_NE(m_doc, nullptr);
    Frame().UpdateCommandUI();
    Frame().GetCommands().Execute(cmd::RUN);
    ASSERT_EQ(Frame().GetChildFrames().size(), 2U);
    const QRect area = Frame().GetMdiArea()->viewport()->rect();
    const auto expectInside = [&](const char* when) {
        for (fw::ChildFrame* frame : Frame().GetChildFrames()) {
            EXPECT_TRUE(area.contains(frame->geometry()))
                << when << ": " << frame->windowTitle().toStdString();
        }
    };
    expectInside("opened");
    Frame().GetCommands().Execute(fw::id::WINDOW_CASCADE);
    expectInside("cascaded");
    Frame().GetCommands().Execute(fw::id::WINDOW_TILE_HORZ);
    expectInside("tiled");
    m_doc->Started = 0;
}

TEST_F(MainFrameTest, RunWithoutTheRunDriverTellsItCannotStart)
{
    Start();
    m_app->SetRunControlFactory(&MakeUnavailableRunControl);
    m_doc = OpenSite();
    ASSERT_NE(m_doc, nullptr);
    Frame().UpdateCommandUI();
    Frame().GetCommands().Execute(cmd::RUN);
    EXPECT_EQ(m_doc->Started.load(), 0);
    ASSERT_FALSE(m_boxes.empty());
    EXPECT_EQ(m_boxes.back(), QStringLiteral("Can't start parsing process"));
}

} // namespace
