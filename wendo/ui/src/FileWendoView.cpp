#include "FileWendoView.h"

#include "MainFrame.h"
#include "PathView.h"
#include "PreviewWindow.h"
#include "WendoApp.h"
#include "WendoIds.h"
#include "core/StringTable.h"
#include "fw/ChildFrame.h"
#include "fw/MessageBox.h"
#include "model/WendoDoc.h"

#include <QAction>
#include <QMenu>
#include <QTreeWidget>

namespace wendo::ui {

CFileWendoView::CFileWendoView(CWendoDoc& document, QWidget* parent)
    : CKVListView(document, parent), m_entries(GetListCtrl(), document)
{
    setObjectName(QStringLiteral("CFileWendoView"));
    m_entries.Init();
    GetListCtrl().setAllColumnsShowFocus(true);
    // A row becoming selected relabels the Edit menu; losing the selection does not.
    connect(&GetListCtrl(), &QTreeWidget::itemSelectionChanged, this, [this] {
        const int row = m_entries.SelectedRow();
        if (row >= 0) {
            RelabelEditMenu(row);
        }
    });
    RegisterCommands();
}

CFileWendoView::~CFileWendoView() = default;

CWendoDoc& CFileWendoView::GetWendoDoc() const
{
    return *static_cast<CWendoDoc*>(GetDocument());
}

void CFileWendoView::OnInitialUpdate()
{
    RefreshFileList();
}

void CFileWendoView::OnDocumentUpdate(core::DocumentView* /*sender*/, long /*hint*/)
{
    RefreshFileList();
}

void CFileWendoView::RefreshFileList()
{
    m_entries.Fill();
}

bool CFileWendoView::InProcess() const
{
    return GetWendoDoc().Started.load() != 0;
}

bool CFileWendoView::CanChangeRow() const
{
    return !InProcess() && GetWendoDoc().OpenPathSelectors == 0 && m_entries.SelectedRow() >= 0;
}

bool CFileWendoView::CanToggleExclude(int row) const
{
    return !CEntryList::IsExcludedFileFilter(m_entries.Image(row));
}

bool CFileWendoView::CanToggleRecursive(int row) const
{
    const int image = m_entries.Image(row);
    if (CEntryList::IsExcludedFileFilter(image) && !m_entries.IsExcludedVirtualFilter(row)) {
        return false;
    }
    // A row without a recursive pair would stay as it is while the entry changed.
    return CEntryList::ToggledRecursive(image) != image;
}

void CFileWendoView::RegisterCommands()
{
    const auto notInProcess = [this](fw::CommandState& state) { state.enabled = !InProcess(); };
    OnCommandId(
        cmd::ADD, [this] { ShowPathSelector(); }, notInProcess);
    OnCommandId(
        cmd::MODIFY, [this] { ShowPathSelector(); },
        [this](fw::CommandState& state) { state.enabled = CanChangeRow(); });
    OnCommandId(
        cmd::REMOVE, [this] { OnRemove(); },
        [this](fw::CommandState& state) { state.enabled = CanChangeRow(); });
    OnCommandId(
        cmd::EXCLUDE, [this] { OnToggleExclude(); },
        [this](fw::CommandState& state) {
            state.enabled = CanChangeRow() && CanToggleExclude(m_entries.SelectedRow());
        });
    OnCommandId(
        cmd::RECURSIVE, [this] { OnToggleRecursive(); },
        [this](fw::CommandState& state) {
            state.enabled = CanChangeRow() && CanToggleRecursive(m_entries.SelectedRow());
        });
    OnCommandId(
        cmd::REMOVE_ALL, [this] { OnRemoveAll(); },
        [this](fw::CommandState& state) { state.enabled = !InProcess() && m_entries.Count() > 0; });
    OnCommandId(
        cmd::PREVIEW, [this] { ShowPreview(GetWendoDoc(), PreviewPath(m_entries.SelectedRow())); },
        [this](fw::CommandState& state) {
            state.enabled = !PreviewPath(m_entries.SelectedRow()).empty();
        });
}

std::string CFileWendoView::PreviewPath(int row) const
{
    const CFileList* entry = GetWendoDoc().FileSet.At(row);
    if (entry == nullptr || entry->IsExclude() != 0 || entry->IsFile() == 0) {
        return {};
    }
    return entry->GetFileFullPath();
}

void CFileWendoView::RunIfEnabled(int id)
{
    fw::CommandState state;
    if (OnUpdateCommand(id, state) && state.enabled) {
        OnCommand(id);
    }
}

void CFileWendoView::ShowPathSelector()
{
    CWendoApp* app = CWendoApp::Get();
    if (app == nullptr || app->GetMainFrame() == nullptr || app->PathTemplate == nullptr) {
        return;
    }
    app->GetMainFrame()->ActivateDocView(app->PathTemplate, fw::ViewClassOf<CPathView>(),
                                         &GetWendoDoc());
}

bool CFileWendoView::OpenPathSelector()
{
    if (InProcess()) {
        fw::MessageBox(core::Msg::DOCUMENT_IN_PROCESS, core::PromptButtons::Ok,
                       core::PromptIcon::Exclamation, this);
        return false;
    }
    CWendoApp* app = CWendoApp::Get();
    if (app == nullptr || app->GetMainFrame() == nullptr || app->PathTemplate == nullptr) {
        return false;
    }
    const int row = m_entries.SelectedRow();
    const std::string folder = row >= 0 ? m_entries.PathText(row) : std::string();
    fw::ChildFrame* frame = app->GetMainFrame()->ActivateDocView(
        app->PathTemplate, fw::ViewClassOf<CPathView>(), &GetWendoDoc());
    if (frame != nullptr && !folder.empty()) {
        if (auto* selector = frame->findChild<CPathView*>()) {
            selector->OpenTreeAt(folder);
        }
    }
    return true;
}

void CFileWendoView::OnItemActivated(int /*row*/)
{
    OpenPathSelector();
}

void CFileWendoView::OnDeleteKey()
{
    RunIfEnabled(cmd::REMOVE);
}

void CFileWendoView::OnRemove()
{
    const int row = m_entries.SelectedRow();
    if (row < 0) {
        return;
    }
    m_entries.DeleteRow(row);
    GetWendoDoc().ModifyFileEntry(row, CWendoDoc::kRemoveEntry);
}

void CFileWendoView::OnToggleExclude()
{
    const int row = m_entries.SelectedRow();
    if (row < 0 || !m_entries.ToggleExclude(row)) {
        return;
    }
    GetWendoDoc().ModifyFileEntry(row, CWendoDoc::kToggleExclude);
    RelabelEditMenu(row);
}

void CFileWendoView::OnToggleRecursive()
{
    const int row = m_entries.SelectedRow();
    if (row < 0 || !m_entries.ToggleRecursive(row)) {
        return;
    }
    GetWendoDoc().ModifyFileEntry(row, CWendoDoc::kToggleRecursive);
    RelabelEditMenu(row);
}

void CFileWendoView::OnRemoveAll()
{
    m_entries.DeleteAll();
    GetWendoDoc().ModifyFileEntry(0, CWendoDoc::kRemoveAllEntries);
}

void CFileWendoView::RelabelEditMenu(int row)
{
    CWendoApp* app = CWendoApp::Get();
    CMainFrame* frame = app != nullptr ? app->GetMainFrame() : nullptr;
    if (frame == nullptr) {
        return;
    }
    const CWendoDoc& doc = GetWendoDoc();
    const QString exclude = fw::LoadQString(
        doc.IsFileEntryExcluded(row) != 0 ? core::Msg::MENU_INCLUDE : core::Msg::MENU_EXCLUDE);
    const QString recursive =
        fw::LoadQString(doc.IsFileEntryRecursive(row) != 0 ? core::Msg::MENU_CURRENT_PATH
                                                           : core::Msg::MENU_RECURSIVE);
    // The items keep their command ids; only the Edit menu of the command file window
    // carries these two.
    for (QAction* action : frame->GetCommands().Actions(cmd::EXCLUDE)) {
        action->setText(exclude);
    }
    for (QAction* action : frame->GetCommands().Actions(cmd::RECURSIVE)) {
        action->setText(recursive);
    }
}

QMenu* CFileWendoView::MakeContextMenu(int row)
{
    auto* menu = new QMenu(this);
    const bool selectorOpen = GetWendoDoc().OpenPathSelectors != 0;
    const bool overRow = row >= 0;
    QString excludeText = QStringLiteral("Excl&ude\tCtrl+U");
    QString recursiveText = QStringLiteral("Re&cursive\tCtrl+C");
    bool canExclude = overRow && !selectorOpen;
    bool canRecurse = overRow && !selectorOpen;
    if (overRow) {
        const CWendoDoc& doc = GetWendoDoc();
        excludeText = fw::LoadQString(doc.IsFileEntryExcluded(row) != 0 ? core::Msg::MENU_INCLUDE
                                                                        : core::Msg::MENU_EXCLUDE);
        recursiveText =
            fw::LoadQString(doc.IsFileEntryRecursive(row) != 0 ? core::Msg::MENU_CURRENT_PATH
                                                               : core::Msg::MENU_RECURSIVE);
        canExclude = canExclude && CanToggleExclude(row);
        canRecurse = canRecurse && CanToggleRecursive(row);
    }
    const struct
    {
        QString text;
        int id;
        bool enabled;
    } items[] = {
        {QStringLiteral("&Add\tCtrl+A"), cmd::ADD, true},
        {QStringLiteral("&Modify\tCtrl+M"), cmd::MODIFY, overRow},
        {QStringLiteral("&Remove\tDel"), cmd::REMOVE, overRow && !selectorOpen},
        {excludeText, cmd::EXCLUDE, canExclude},
        {recursiveText, cmd::RECURSIVE, canRecurse},
        {QStringLiteral("Remove All\tCtrl+L"), cmd::REMOVE_ALL,
         m_entries.Count() > 0 && !selectorOpen},
        {QString(), 0, false},
        {QStringLiteral("Pre&view Changes"), cmd::PREVIEW, !PreviewPath(row).empty()},
    };
    for (const auto& item : items) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.text);
        action->setEnabled(item.enabled);
        const int id = item.id;
        // The pop-up greys its own items; with a selector open, Modify brings it forward.
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    return menu;
}

void CFileWendoView::OnContextMenu(const QPoint& globalPos, int row)
{
    const QRect list(GetListCtrl().viewport()->mapToGlobal(QPoint(0, 0)),
                     GetListCtrl().viewport()->size());
    if (InProcess() || !list.contains(globalPos)) {
        return;
    }
    if (row >= 0) {
        m_entries.SelectRow(row);
    }
    QMenu* menu = MakeContextMenu(row);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void CFileWendoView::OnListFocus()
{
    if (QWidget* frame = parentWidget()) {
        frame->update();
    }
}

} // namespace wendo::ui
