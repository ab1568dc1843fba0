#include "MainFrame.h"

#include "Dialogs.h"
#include "Frames.h"
#include "Icons.h"
#include "PreferencesDlg.h"
#include "Views.h"
#include "WendoApp.h"
#include "WendoIds.h"
#include "core/StringTable.h"
#include "engine/Notifications.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "fw/MessageBox.h"
#include "fw/RecentFileList.h"
#include "model/WendoDoc.h"
#include "plinth/KVAboutDlg.h"
#include "plinth/WindowPlacement.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

namespace wendo::ui {

namespace {

constexpr const char* kSettings = "Settings";
constexpr const char* kWindowPos = "WindowPos";

// The menu text of a command: its string after the last "\n".
QString MenuText(int id)
{
    const QString text = fw::LoadQString(static_cast<std::uint32_t>(id));
    return text.mid(text.lastIndexOf(QLatin1Char('\n')) + 1);
}

class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

CMainFrame::CMainFrame(CWendoApp& app) : fw::MDIFrame(app), m_wendoApp(&app)
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowIcon(AppIcon());
    setWindowTitle(app.GetAppName());
    setAcceptDrops(true);
    resize(900, 640);
}

CMainFrame::~CMainFrame()
{
    if (fw::RecentFileList* recent = GetApp().GetRecentFileList()) {
        recent->SetChangeHandler({});
    }
    // The child frames outlive this part of the frame; they must not call back into it. A
    // frame closed but not yet deleted has left the MDI list and is still a child.
    for (fw::ChildFrame* frame : findChildren<fw::ChildFrame*>()) {
        disconnect(frame, nullptr, this, nullptr);
    }
}

bool CMainFrame::LoadFrame()
{
    CreateToolBars();
    CreateStatusBar({{fw::id::INDICATOR_CAPS, QStringLiteral("CAP")},
                     {fw::id::INDICATOR_NUM, QStringLiteral("NUM")},
                     {fw::id::INDICATOR_SCRL, QStringLiteral("SCRL")}});
    ResetStatusText();
    m_encoding = new QLabel(statusBar());
    m_encoding->setObjectName(QStringLiteral("EncodingPane"));
    m_encoding->setToolTip(
        QStringLiteral("This file is not UTF-8: it is shown and saved as Latin-1, byte for byte."));
    m_encoding->hide();
    // First of the permanent panes, after the message pane.
    statusBar()->insertPermanentWidget(1, m_encoding);
    SetAccelerators();
    RegisterCommands();
    RegisterRunCommands();
    RegisterUndoCommands();
    SetMenuKind(kNoChildMenu);
    if (fw::RecentFileList* recent = GetApp().GetRecentFileList()) {
        recent->SetChangeHandler([this] { RefreshRecentFiles(); });
    }
    return true;
}

QMenu* CMainFrame::GetFileMenu() const
{
    const QList<QAction*> menus = menuBar()->actions();
    return menus.isEmpty() ? nullptr : menus.front()->menu();
}

QMenu* CMainFrame::GetViewMenu() const
{
    for (QAction* action : menuBar()->actions()) {
        if (action->menu() != nullptr &&
            action->menu()->objectName() == QLatin1String("ViewMenu")) {
            return action->menu();
        }
    }
    return nullptr;
}

CWendoDoc* CMainFrame::GetActiveWendoDoc() const
{
    fw::ChildFrame* frame = MDIGetActive();
    return frame != nullptr ? dynamic_cast<CWendoDoc*>(frame->GetActiveDocument()) : nullptr;
}

fw::ChildFrame* CMainFrame::ActivateDocView(fw::MultiDocTemplate* docTemplate,
                                            fw::ViewClass viewClass, core::CDocument* document)
{
    WaitCursor wait;
    fw::ChildFrame* active = MDIGetActive();
    if (active == nullptr) {
        document = docTemplate->GetFirstDocument();
        if (document == nullptr) {
            return nullptr;
        }
    } else {
        if (document == nullptr) {
            document = active->GetActiveDocument();
        }
        if (fw::View* view = FindDocView(document, viewClass)) {
            fw::ChildFrame* frame = view->GetParentFrame();
            if (frame != nullptr && (frame != active || frame->isMinimized())) {
                ActivateFrame(frame);
            }
            return nullptr;
        }
    }
    fw::ChildFrame* frame = docTemplate->CreateNewFrame(*document);
    if (frame != nullptr) {
        docTemplate->InitialUpdateFrame(frame, true);
    }
    return frame;
}

fw::View* CMainFrame::FindDocView(const core::CDocument* document, fw::ViewClass viewClass)
{
    if (document == nullptr) {
        return nullptr;
    }
    for (core::DocumentView* attached : document->GetViews()) {
        auto* view = dynamic_cast<fw::View*>(attached);
        if (view != nullptr && viewClass(view)) {
            return view;
        }
    }
    return nullptr;
}

bool CMainFrame::IsActiveViewOneOf(std::initializer_list<fw::ViewClass> classes) const
{
    fw::ChildFrame* frame = MDIGetActive();
    const fw::View* view = frame != nullptr ? frame->GetActiveView() : nullptr;
    if (view == nullptr) {
        return false;
    }
    for (fw::ViewClass viewClass : classes) {
        if (viewClass(view)) {
            return true;
        }
    }
    return false;
}

void CMainFrame::UpdateRunCommand()
{
    CWendoDoc* doc = GetActiveWendoDoc();
    QMenu* file = GetFileMenu();
    if (doc == nullptr || file == nullptr) {
        return;
    }
    int id = cmd::RUN;
    int imageIndex = image::RUN;
    if (doc->Started.load() != 0) {
        const bool suspended = doc->Suspended.load() != 0;
        id = suspended ? cmd::RESUME : cmd::STOP;
        imageIndex = suspended ? image::RESUME : image::STOP;
    }
    if (m_standard != nullptr && m_standard->actions().size() > kRunSlot) {
        QAction* slot = m_standard->actions().at(kRunSlot);
        GetCommands().Rebind(slot, id);
        slot->setIcon(StandardImage(imageIndex));
        m_standard->update();
    }
    // The run item is found by its place, whether or not a child is maximised.
    if (file->actions().size() > kRunMenuItem) {
        QAction* item = file->actions().at(kRunMenuItem);
        GetCommands().Rebind(item, id);
        item->setText(MenuText(id));
    }
    GetCommands().UpdateActions();
}

void CMainFrame::UpdateMainTitle(fw::ChildFrame* frame)
{
    const QString name = GetApp().GetAppName();
    const fw::View* view = frame != nullptr ? frame->GetActiveView() : nullptr;
    if (view == nullptr || view->GetDocument() == nullptr) {
        m_title = name;
        setWindowTitle(name);
        return;
    }
    QString title = QString::fromStdString(view->GetDocument()->GetTitle());
    if (title.isEmpty()) {
        title = QStringLiteral("New");
    }
    m_title = QStringLiteral("%1 - [%2]").arg(name, title);
    setWindowTitle(m_title);
}

void CMainFrame::changeEvent(QEvent* event)
{
    fw::MDIFrame::changeEvent(event);
    // A maximised child window appends its own caption to this title; the title names the
    // active document and nothing else.
    if (event->type() == QEvent::WindowTitleChange && !m_title.isEmpty() &&
        windowTitle() != m_title) {
        setWindowTitle(m_title);
    }
}

void CMainFrame::InitialShowWindow(std::uint32_t showCommand)
{
    fw::WindowPlacement placement;
    if (ReadWindowPlacement(kSettings, kWindowPos, &placement) == 0) {
        if (showCommand == fw::SW_HIDE) {
            hide();
        } else if (showCommand == fw::SW_SHOWMAXIMIZED) {
            showMaximized();
        } else {
            show();
        }
        return;
    }
    if (showCommand != fw::SW_SHOWNORMAL) {
        placement.showCmd = showCommand;
    }
    fw::SetWindowPlacement(this, placement);
}

void CMainFrame::SavePlacement()
{
    fw::WindowPlacement placement = fw::GetWindowPlacement(this);
    placement.flags = isMaximized() ? fw::WPF_RESTORETOMAXIMIZED : 0;
    WriteWindowPlacement(kSettings, kWindowPos, &placement);
}

bool CMainFrame::CanCloseFrame()
{
    SavePlacement();
    return fw::MDIFrame::CanCloseFrame();
}

std::vector<fw::View*> CMainFrame::PaneViews() const
{
    std::vector<fw::View*> views;
    if (fw::ChildFrame* frame = MDIGetActive()) {
        // Creation order is the panes' order, top to bottom.
        for (fw::View* view : frame->findChildren<fw::View*>()) {
            if (view->isVisible()) {
                views.push_back(view);
            }
        }
    }
    return views;
}

void CMainFrame::MoveToPane(int step)
{
    const std::vector<fw::View*> views = PaneViews();
    fw::ChildFrame* frame = MDIGetActive();
    if (views.size() < 2 || frame == nullptr) {
        return;
    }
    const auto count = static_cast<std::ptrdiff_t>(views.size());
    const std::ptrdiff_t at =
        std::find(views.begin(), views.end(), frame->GetActiveView()) - views.begin();
    fw::View* next =
        views[static_cast<std::size_t>(((at < count ? at : 0) + step + count) % count)];
    frame->SetActiveView(next);
    // A view that takes no focus itself hands it to its first control that does.
    QWidget* target = next;
    if (next->focusProxy() == nullptr && next->focusPolicy() == Qt::NoFocus) {
        for (QWidget* child : next->findChildren<QWidget*>()) {
            if (child->isVisible() && child->isEnabled() && child->focusPolicy() != Qt::NoFocus) {
                target = child;
                break;
            }
        }
    }
    target->setFocus(Qt::TabFocusReason);
}

void CMainFrame::OnPrintSetup()
{
    // Kept for the session, as the page settings of the program's printer.
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>();
    }
    QPageSetupDialog dialog(m_printer.get(), this);
    dialog.exec();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QStringList files = DroppedFiles(event->mimeData());
    if (files.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // Opened as File > Open would open them, each by its own kind.
    for (const QString& file : files) {
        GetApp().OpenDocumentFile(file);
    }
}

QStringList CMainFrame::DroppedFiles(const QMimeData* data)
{
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) {
            files << url.toLocalFile();
        }
    }
    return files;
}

void CMainFrame::UpdateEncodingPane()
{
    if (m_encoding == nullptr) {
        return;
    }
    fw::ChildFrame* frame = MDIGetActive();
    const auto* text =
        frame != nullptr ? dynamic_cast<const CTextView*>(frame->GetActiveView()) : nullptr;
    const bool latin1 = text != nullptr && text->Encoding() == fw::TextEncoding::Latin1;
    m_encoding->setText(latin1 ? QStringLiteral("Latin-1") : QString());
    m_encoding->setVisible(latin1);
}

QString CMainFrame::GetEncodingPaneText() const
{
    return m_encoding != nullptr && !m_encoding->isHidden() ? m_encoding->text() : QString();
}

void CMainFrame::OnChildActivated(fw::ChildFrame* frame)
{
    UpdateMainTitle(frame);
    UpdateEncodingPane();
    if (frame != nullptr && !frame->property("wendoTitleHook").toBool()) {
        frame->setProperty("wendoTitleHook", true);
        connect(frame, &QObject::destroyed, this, &CMainFrame::OnChildDestroyed);
    }
}

void CMainFrame::OnChildDestroyed()
{
    // The window on top becomes the active one once this one is gone, as a person expects;
    // the title then names its document.
    QTimer::singleShot(0, this, [this] {
        fw::ChildFrame* active = MDIGetActive();
        const auto stacked = GetMdiArea()->subWindowList(QMdiArea::StackingOrder);
        if (active == nullptr && !stacked.isEmpty()) {
            if (auto* top = qobject_cast<fw::ChildFrame*>(stacked.back())) {
                ActivateFrame(top);
                active = top;
            }
        }
        UpdateMainTitle(active);
    });
}

std::intptr_t CMainFrame::OnRunNotification(std::uint32_t message, std::intptr_t wParam,
                                            void* lParam)
{
    CWendoDoc* doc = m_wendoApp->FindOpenWendoDoc(lParam);
    if (doc == nullptr) {
        return 0;
    }
    if (message == WMU_RUN_END) {
        // The run ends even when its report window was closed meanwhile; otherwise the
        // document would stay in process for good.
        m_wendoApp->GetRunControl(*doc).EndProcess();
        UpdateRunCommand();
        NoteRunUndo(*doc);
        // The last rows of the run, still batched, are shown with its end.
        if (auto* paths = static_cast<CProgressPathView*>(
                FindDocView(doc, fw::ViewClassOf<CProgressPathView>()))) {
            paths->FlushPending();
        }
    }
    if (message == WMU_ADD_FILE_LINE || message == WMU_PATHS_CLEAR) {
        auto* paths =
            static_cast<CProgressPathView*>(FindDocView(doc, fw::ViewClassOf<CProgressPathView>()));
        return paths != nullptr ? paths->OnNotification(message, wParam) : 0;
    }
    auto* progress =
        static_cast<CProgressView*>(FindDocView(doc, fw::ViewClassOf<CProgressView>()));
    if (progress == nullptr) {
        return 0;
    }
    progress->OnNotification(message, wParam);
    return 1;
}

void CMainFrame::RegisterCommands()
{
    const auto activeDocument = [this]() -> core::CDocument* {
        fw::ChildFrame* frame = MDIGetActive();
        return frame != nullptr ? frame->GetActiveDocument() : nullptr;
    };
    const auto inWebWindow = [this] {
        fw::ChildFrame* frame = MDIGetActive();
        return frame != nullptr && frame->MenuKind() == kWebMenu;
    };
    OnCommandId(
        fw::id::FILE_SAVE,
        [this, activeDocument] {
            if (core::CDocument* doc = activeDocument()) {
                GetApp().DoSave(*doc, false);
                UpdateMainTitle(MDIGetActive());
            }
        },
        [activeDocument, inWebWindow](fw::CommandState& state) {
            core::CDocument* doc = activeDocument();
            state.enabled = doc != nullptr && !inWebWindow() && doc->IsModified();
        });
    OnCommandId(
        fw::id::FILE_SAVE_AS,
        [this, activeDocument] {
            if (core::CDocument* doc = activeDocument()) {
                GetApp().DoSave(*doc, true);
                UpdateMainTitle(MDIGetActive());
            }
        },
        [activeDocument, inWebWindow](fw::CommandState& state) {
            state.enabled = activeDocument() != nullptr && !inWebWindow();
        });
    OnCommandId(fw::id::FILE_CLOSE, [this, activeDocument] {
        // Closing the document closes all its windows; the last one asks about saving. A
        // document in a run keeps every window, not just its last one.
        core::CDocument* doc = activeDocument();
        if (m_wendoApp->RefuseWhileRunning(doc)) {
            return;
        }
        for (fw::ChildFrame* frame : GetChildFrames()) {
            if (frame->GetActiveDocument() == doc && frame != MDIGetActive()) {
                frame->close();
            }
        }
        if (fw::ChildFrame* frame = MDIGetActive()) {
            frame->close();
        }
    });
    OnCommandId(
        fw::id::VIEW_TOOLBAR, [this] { m_standard->setVisible(!m_standard->isVisible()); },
        [this](fw::CommandState& state) { state.checked = m_standard->isVisible(); });
    OnCommandId(
        cmd::WEB_TOOLBAR, [this] { m_browse->setVisible(!m_browse->isVisible()); },
        [this](fw::CommandState& state) { state.checked = m_browse->isVisible(); });
    OnCommandId(
        fw::id::VIEW_STATUS_BAR, [this] { statusBar()->setVisible(!statusBar()->isVisible()); },
        [this](fw::CommandState& state) { state.checked = statusBar()->isVisible(); });
    OnCommandId(fw::id::WINDOW_CASCADE, [this] { CascadeChildren(); });
    OnCommandId(fw::id::WINDOW_TILE_HORZ, [this] { TileChildren(); });
    // Minimised windows are kept in a row by the MDI area itself.
    OnCommandId(fw::id::WINDOW_ARRANGE, [] {});
    OnCommandId(fw::id::APP_ABOUT, [this] {
        CKVAboutDlg about(QStringLiteral("Wendo"),
                          QStringLiteral("Batch editing of HTML and text files."),
                          QStringLiteral("Korvel"), this);
        about.DoModal();
    });
    OnCommandId(cmd::PREFERENCES, [this] {
        CPreferencesDlg preferences(m_wendoApp->GetProfile(), this);
        preferences.DoModal();
    });
    OnCommandId(fw::id::HELP_FINDER, [this] { m_wendoApp->OnHelpTopics(); });
    OnCommandId(fw::id::FILE_PRINT_SETUP, [this] { OnPrintSetup(); });
    const auto panes = [this](fw::CommandState& state) { state.enabled = PaneViews().size() > 1; };
    OnCommandId(
        fw::id::NEXT_PANE, [this] { MoveToPane(1); }, panes);
    OnCommandId(
        fw::id::PREV_PANE, [this] { MoveToPane(-1); }, panes);
    OnCommandId(fw::id::CONTEXT_HELP, [this] { m_wendoApp->OnContextHelpMode(); });
}

} // namespace wendo::ui
