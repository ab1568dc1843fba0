// The menus, accelerator tables and toolbars of the main frame.
#include "Icons.h"
#include "MainFrame.h"
#include "WendoIds.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "fw/RecentFileList.h"
#include "fw/WinApp.h"

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace wendo::ui {

namespace {

struct Item
{
    int id; // 0: separator
    const char* text;
};

void AddItems(fw::CommandManager& commands, QMenu* menu, std::initializer_list<Item> items)
{
    for (const Item& item : items) {
        if (item.id == 0) {
            menu->addSeparator();
        } else {
            menu->addAction(commands.CreateAction(item.id, QString::fromUtf8(item.text), menu));
        }
    }
}

// The recent-file items, before the given item (at the end when none).
void AddRecentFiles(fw::CommandManager& commands, QMenu* menu, fw::WinApp& app,
                    QAction* before = nullptr)
{
    const fw::RecentFileList* recent = app.GetRecentFileList();
    if (recent == nullptr || recent->GetEntries().isEmpty()) {
        menu->insertAction(before, commands.CreateAction(fw::id::FILE_MRU_FIRST,
                                                         QStringLiteral("Recent File"), menu));
        return;
    }
    int index = 0;
    for (const QString& path : recent->GetEntries()) {
        menu->insertAction(
            before,
            commands.CreateAction(
                fw::id::FILE_MRU_FIRST + index,
                QStringLiteral("&%1 %2").arg(index + 1).arg(QDir::toNativeSeparators(path)), menu));
        ++index;
    }
}

bool IsRecentFileItem(const QAction* action)
{
    const int id = fw::CommandManager::CommandId(action);
    return id >= fw::id::FILE_MRU_FIRST && id <= fw::id::FILE_MRU_LAST;
}

} // namespace

void CMainFrame::BuildMenuBar(QMenuBar* bar, int menuKind)
{
    fw::CommandManager& commands = GetCommands();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    if (menuKind == kNoChildMenu) {
        AddItems(
            commands, file,
            {{fw::id::FILE_NEW, "&New\tCtrl+N"}, {fw::id::FILE_OPEN, "&Open...\tCtrl+O"}, {0, ""}});
        AddRecentFiles(commands, file, GetApp());
        AddItems(commands, file,
                 {{0, ""},
                  {fw::id::FILE_PRINT_SETUP, "P&rint Setup..."},
                  {0, ""},
                  {fw::id::APP_EXIT, "E&xit"}});
        QMenu* view = bar->addMenu(QStringLiteral("&View"));
        view->setObjectName(QStringLiteral("ViewMenu"));
        AddItems(commands, view,
                 {{fw::id::VIEW_TOOLBAR, "&Toolbar"},
                  {cmd::WEB_TOOLBAR, "&Web Toolbar"},
                  {fw::id::VIEW_STATUS_BAR, "&Status Bar"},
                  {0, ""},
                  {cmd::PREFERENCES, "Pr&eferences..."}});
    } else {
        const char* runText = menuKind == kReportMenu ? "Run\tCtrl+R" : "&Run\tCtrl+R";
        AddItems(commands, file,
                 {{fw::id::FILE_NEW, "&New\tCtrl+N"},
                  {fw::id::FILE_OPEN, "&Open...\tCtrl+O"},
                  {fw::id::FILE_CLOSE, "&Close"},
                  {fw::id::FILE_SAVE, "&Save\tCtrl+S"},
                  {fw::id::FILE_SAVE_AS, "Save &As..."},
                  {0, ""},
                  {cmd::RUN, runText},
                  {cmd::UNDO_RUN, "&Undo Last Run..."},
                  {0, ""}});
        AddRecentFiles(commands, file, GetApp());
        AddItems(commands, file,
                 {{0, ""},
                  {fw::id::FILE_PRINT_SETUP, "P&rint Setup..."},
                  {0, ""},
                  {fw::id::APP_EXIT, "E&xit"}});

        QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
        switch (menuKind) {
        case kCommandMenu:
            AddItems(commands, edit,
                     {{cmd::ADD, "&Add\tCtrl+A"},
                      {cmd::DUPLICATE, "Duplicate\tCtrl+D"},
                      {cmd::MODIFY, "&Modify\tCtrl+M"},
                      {cmd::REMOVE, "&Remove\tDel"},
                      {cmd::EXCLUDE, "Excl&ude\tCtrl+U"},
                      {cmd::RECURSIVE, "Re&cursive\tCtrl+C"},
                      {cmd::REMOVE_ALL, "Remove All\tCtrl+L"},
                      {0, ""},
                      {cmd::PREVIEW, "Pre&view Changes"}});
            break;
        case kReportMenu:
            AddItems(commands, edit,
                     {{cmd::ADD, "&Add\tCtrl+A"},
                      {cmd::MODIFY, "&Modify\tCtrl+M"},
                      {cmd::REMOVE, "&Remove\tDel"},
                      {cmd::EXCLUDE, "&Toggle\tCtrl+T"},
                      {cmd::REMOVE_ALL, "Remove All\tCtrl+L"},
                      {0, ""},
                      {cmd::PREVIEW, "Pre&view Changes"}});
            break;
        default:
            AddItems(commands, edit,
                     {{fw::id::EDIT_UNDO, "&Undo\tCtrl+Z"},
                      {fw::id::EDIT_CUT, "Cu&t\tCtrl+X"},
                      {fw::id::EDIT_COPY, "&Copy\tCtrl+C"},
                      {fw::id::EDIT_PASTE, "&Paste\tCtrl+V"}});
            // F5 refreshes a web window and Ctrl+F does nothing there; the items show no key.
            if (menuKind == kTextMenu) {
                AddItems(commands, edit,
                         {{0, ""},
                          {fw::id::EDIT_FIND, "Find...\tF5"},
                          {cmd::FIND_NEXT, "Find &Next\tCtrl+F"}});
            } else if (menuKind == kWebMenu) {
                AddItems(commands, edit,
                         {{0, ""}, {fw::id::EDIT_FIND, "Find..."}, {cmd::FIND_NEXT, "Find &Next"}});
            }
            break;
        }
        if (menuKind == kWebMenu) {
            QMenu* go = bar->addMenu(QStringLiteral("&Go"));
            AddItems(commands, go,
                     {{cmd::BACK, "&Back\tAlt+Left Arrow"},
                      {cmd::FORWARD, "&Forward\tAlt+Right Arrow"},
                      {0, ""},
                      {cmd::STOP_RETRIEVAL, "&Stop\tEsc"}});
        }
        QMenu* view = bar->addMenu(QStringLiteral("&View"));
        view->setObjectName(QStringLiteral("ViewMenu"));
        AddItems(commands, view,
                 {{cmd::VIEW_PATH, "&Path"},
                  {cmd::VIEW_COMMAND, "&Command"},
                  {cmd::CMD_FILE, "CMD&File"},
                  {cmd::REPORT, "&Report"},
                  {0, ""}});
        if (menuKind == kTextMenu) {
            AddItems(commands, view, {{cmd::VIEW_HTML, "View &HTML"}, {0, ""}});
        } else if (menuKind == kWebMenu) {
            AddItems(commands, view,
                     {{cmd::REFRESH, "R&efresh\tF5"}, {cmd::VIEW_SOURCE, "View &Source"}, {0, ""}});
        }
        AddItems(commands, view,
                 {{fw::id::VIEW_TOOLBAR, "&Toolbar"},
                  {cmd::WEB_TOOLBAR, "&Web Toolbar"},
                  {fw::id::VIEW_STATUS_BAR, "&Status Bar"},
                  {0, ""},
                  {cmd::PREFERENCES, "Pr&eferences..."}});
        QMenu* window = bar->addMenu(QStringLiteral("&Window"));
        window->setObjectName(QStringLiteral("WindowMenu"));
        AddItems(commands, window,
                 {{fw::id::WINDOW_CASCADE, "&Cascade"},
                  {fw::id::WINDOW_TILE_HORZ, "&Tile"},
                  {fw::id::WINDOW_ARRANGE, "&Arrange Icons"}});
        FillWindowMenu(window);
        connect(window, &QMenu::aboutToShow, this, [this, window] { FillWindowMenu(window); });
    }
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    AddItems(
        commands, help,
        {{fw::id::HELP_FINDER, "&Help Topics"}, {0, ""}, {fw::id::APP_ABOUT, "&About Wendo..."}});
    UpdateRunCommand();
}

void CMainFrame::FillWindowMenu(QMenu* menu)
{
    static const char* const kListed = "wendoWindowItem";
    for (QAction* item : menu->actions()) {
        if (item->property(kListed).toBool()) {
            menu->removeAction(item);
            item->deleteLater();
        }
    }
    const auto frames = GetMdiArea()->subWindowList(QMdiArea::CreationOrder);
    if (frames.isEmpty()) {
        return;
    }
    menu->addSeparator()->setProperty(kListed, true);
    fw::ChildFrame* active = MDIGetActive();
    int number = 0;
    for (QMdiSubWindow* frame : frames) {
        ++number;
        const QString text = number < 10 ? QStringLiteral("&%1 %2").arg(number)
                                         : QStringLiteral("%1 %2").arg(number);
        // A title's own "&" is no mnemonic.
        QAction* item = menu->addAction(
            text.arg(frame->windowTitle().replace(QLatin1Char('&'), QStringLiteral("&&"))));
        item->setProperty(kListed, true);
        item->setCheckable(true);
        item->setChecked(frame == active);
        const QPointer<QMdiSubWindow> target(frame);
        connect(item, &QAction::triggered, this, [this, target] {
            if (auto* child = qobject_cast<fw::ChildFrame*>(target.data())) {
                ActivateFrame(child);
            }
        });
    }
}

void CMainFrame::RefreshRecentFiles()
{
    QMenu* file = GetFileMenu();
    if (file == nullptr) {
        return;
    }
    const QList<QAction*> items = file->actions();
    qsizetype last = -1;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (IsRecentFileItem(items[i])) {
            last = i;
        }
    }
    if (last < 0) {
        return;
    }
    QAction* before = last + 1 < items.size() ? items[last + 1] : nullptr;
    for (QAction* item : items) {
        if (IsRecentFileItem(item)) {
            file->removeAction(item);
            // The item may be the one being handled (a recent file opened from the menu).
            item->deleteLater();
        }
    }
    AddRecentFiles(GetCommands(), file, GetApp(), before);
    GetCommands().UpdateActions();
}

void CMainFrame::SetAccelerators()
{
    using K = QKeyCombination;
    const auto ctrl = Qt::ControlModifier;
    const auto shift = Qt::ShiftModifier;
    const auto alt = Qt::AltModifier;
    fw::CommandManager& commands = GetCommands();
    commands.SetAcceleratorTable(0, {{K(ctrl, Qt::Key_N), fw::id::FILE_NEW},
                                     {K(ctrl, Qt::Key_O), fw::id::FILE_OPEN},
                                     {K(ctrl, Qt::Key_S), fw::id::FILE_SAVE},
                                     {K(ctrl, Qt::Key_P), fw::id::FILE_PRINT},
                                     {K(ctrl, Qt::Key_C), fw::id::EDIT_COPY},
                                     {K(ctrl, Qt::Key_Insert), fw::id::EDIT_COPY},
                                     {K(ctrl, Qt::Key_V), fw::id::EDIT_PASTE},
                                     {K(shift, Qt::Key_Insert), fw::id::EDIT_PASTE},
                                     {K(ctrl, Qt::Key_X), fw::id::EDIT_CUT},
                                     {K(shift, Qt::Key_Delete), fw::id::EDIT_CUT},
                                     {K(ctrl, Qt::Key_Z), fw::id::EDIT_UNDO},
                                     {K(alt, Qt::Key_Backspace), fw::id::EDIT_UNDO},
                                     {K(Qt::NoModifier, Qt::Key_F6), fw::id::NEXT_PANE},
                                     {K(shift, Qt::Key_F6), fw::id::PREV_PANE},
                                     // The key the run item shows; Run and Resume are never
                                     // enabled together.
                                     {K(ctrl, Qt::Key_R), cmd::RUN},
                                     {K(ctrl, Qt::Key_R), cmd::RESUME}});
    commands.SetAcceleratorTable(kCommandMenu, {{K(ctrl, Qt::Key_A), cmd::ADD},
                                                {K(ctrl, Qt::Key_C), cmd::RECURSIVE},
                                                {K(ctrl, Qt::Key_D), cmd::DUPLICATE},
                                                {K(ctrl, Qt::Key_L), cmd::REMOVE_ALL},
                                                {K(ctrl, Qt::Key_M), cmd::MODIFY},
                                                {K(ctrl, Qt::Key_U), cmd::EXCLUDE}});
    commands.SetAcceleratorTable(kTextMenu, {{K(ctrl, Qt::Key_F), cmd::FIND_NEXT},
                                             {K(Qt::NoModifier, Qt::Key_F5), fw::id::EDIT_FIND}});
    commands.SetAcceleratorTable(kWebMenu,
                                 {{K(Qt::NoModifier, Qt::Key_Escape), cmd::STOP_RETRIEVAL},
                                  {K(Qt::NoModifier, Qt::Key_F5), cmd::REFRESH},
                                  {K(alt, Qt::Key_Left), cmd::BACK},
                                  {K(alt, Qt::Key_Right), cmd::FORWARD}});
}

void CMainFrame::CreateToolBars()
{
    fw::CommandManager& commands = GetCommands();
    m_standard = new QToolBar(QStringLiteral("Standard"), this);
    m_standard->setObjectName(QStringLiteral("Standard"));
    m_standard->setIconSize(QSize(16, 16));
    struct Slot
    {
        int id;
        int image;
    };
    const Slot slots[] = {{fw::id::FILE_NEW, image::NEW},
                          {fw::id::FILE_OPEN, image::OPEN},
                          {fw::id::FILE_SAVE, image::SAVE},
                          {0, 0},
                          {fw::id::EDIT_CUT, image::CUT},
                          {fw::id::EDIT_COPY, image::COPY},
                          {fw::id::EDIT_PASTE, image::PASTE},
                          {0, 0},
                          {0, 0},
                          {cmd::RUN, image::RUN},
                          {cmd::PREVIEW, image::PREVIEW},
                          {0, 0},
                          {fw::id::APP_ABOUT, image::ABOUT}};
    for (const Slot& slot : slots) {
        if (slot.id == 0) {
            m_standard->addSeparator();
            continue;
        }
        QAction* action = commands.CreateAction(slot.id, QString(), m_standard);
        action->setIcon(StandardImage(slot.image));
        action->setIconText(fw::CommandManager::ToolTip(slot.id));
        m_standard->addAction(action);
    }

    m_browse = new QToolBar(QStringLiteral("Browse"), this);
    m_browse->setObjectName(QStringLiteral("Browse"));
    m_browse->setIconSize(QSize(16, 16));
    const Slot browse[] = {
        {cmd::BACK, 0}, {cmd::FORWARD, 1}, {cmd::STOP_RETRIEVAL, 2}, {0, 0}, {cmd::REFRESH, 3}};
    for (const Slot& slot : browse) {
        if (slot.id == 0) {
            m_browse->addSeparator();
            continue;
        }
        QAction* action = commands.CreateAction(slot.id, QString(), m_browse);
        action->setIcon(BrowseImage(slot.image));
        m_browse->addAction(action);
    }
    // "Browse" docks on the same row as "Standard", right after it.
    addToolBar(Qt::TopToolBarArea, m_standard);
    addToolBar(toolBarArea(m_standard), m_browse);
}

} // namespace wendo::ui
