#include "CmdView.h"

#include "fw/ByteText.h"

#include "CmdIcons.h"
#include "MainFrame.h"
#include "ParseCmdView.h"
#include "WendoApp.h"
#include "WendoIds.h"
#include "core/StringTable.h"
#include "fw/ChildFrame.h"
#include "fw/MessageBox.h"
#include "model/WendoDoc.h"

#include <QMenu>
#include <QTreeWidget>
#include <iterator>

namespace wendo::ui {

namespace {

QString FromUtf8(std::string_view text)
{
    return fw::ShowBytes(text);
}

QString Optional(const std::optional<std::string>& text)
{
    return text.has_value() ? FromUtf8(*text) : QString();
}

CParseCmdList* CommandAt(CWendoDoc& doc, int row)
{
    if (row < 0 || row >= doc.CommandCount()) {
        return nullptr;
    }
    return &*std::next(doc.Commands.begin(), row);
}

} // namespace

void RenumberEditPositions(CWendoDoc& document)
{
    int32_t position = 0;
    for (CParseCmdList& command : document.Commands) {
        command.EditPosition = command.EditorFrame != nullptr ? position : CParseCmdList::kNoEditor;
        ++position;
    }
}

int FindEditedCommand(const CWendoDoc& document, const void* editorFrame)
{
    if (editorFrame == nullptr) {
        return -1;
    }
    int position = 0;
    for (const CParseCmdList& command : document.Commands) {
        if (command.EditorFrame == editorFrame) {
            return position;
        }
        ++position;
    }
    return -1;
}

void InstallEditorActivator(CWendoDoc& document)
{
    // The frame named by a command's record is alive: its editor clears the record when it
    // goes.
    document.SetFrameActivator([](void* frame) {
        CWendoApp* app = CWendoApp::Get();
        if (app != nullptr && app->GetMainFrame() != nullptr && frame != nullptr) {
            auto* child = static_cast<fw::ChildFrame*>(frame);
            app->GetMainFrame()->ActivateFrame(child);
            child->raise();
        }
    });
}

CCmdView::CCmdView(CWendoDoc& document, QWidget* parent) : CKVListView(document, parent)
{
    setObjectName(QStringLiteral("CCmdView"));
    InsertColumn(QStringLiteral("Type"), 150);
    InsertColumn(QStringLiteral("Delimiter"), 200);
    InsertColumn(QStringLiteral("Value"), 200);
    InsertColumn(QStringLiteral("Source"), 100);
    InsertColumn(QStringLiteral("Excluded"), 100);
    SetImageList(CommandImageList());
    GetListCtrl().setIconSize(QSize(16, 16));
    AddIconNot2Drag(kFileStatImage);
    // A file statistics command stands first; with its file name bit it shows another image
    // but must not be dragged away from the top either.
    AddIconNot2Drag(kFileNameImage);
    RegisterCommands();
}

CCmdView::~CCmdView() = default;

CWendoDoc& CCmdView::GetWendoDoc() const
{
    return *static_cast<CWendoDoc*>(GetDocument());
}

int CCmdView::ImageOf(const CParseCmd& command)
{
    if (command.Type == CmdType::DISPLAY_FILESTAT &&
        (command.Flags & CmdFlag::STATE_FILENAME) != 0) {
        return kFileNameImage;
    }
    if (command.Type == CmdType::FINDREPL && (command.Flags & CmdFlag::REGEX) != 0) {
        return kRegexImage;
    }
    return command.Type + 1;
}

void CCmdView::RegisterCommands()
{
    const auto idle = [this](fw::CommandState& state) { state.enabled = !InProcess(); };
    OnCommandId(
        cmd::ADD, [this] { OpenEditor(-1); }, idle);
    OnCommandId(
        cmd::MODIFY, [this] { OnModify(); },
        [this](fw::CommandState& state) { state.enabled = !InProcess() && GetSelectedRow() >= 0; });
    OnCommandId(
        cmd::DUPLICATE, [this] { OnDuplicate(); },
        [this](fw::CommandState& state) {
            const int row = GetSelectedRow();
            state.enabled = !InProcess() && row >= 0 && !IsFileStatRow(row);
        });
    OnCommandId(
        cmd::REMOVE, [this] { OnRemove(); },
        [this](fw::CommandState& state) {
            const int row = GetSelectedRow();
            state.enabled = !InProcess() && row >= 0 && !IsRowEdited(row);
        });
    OnCommandId(
        cmd::REMOVE_ALL, [this] { OnRemoveAll(); },
        [this](fw::CommandState& state) {
            state.enabled = !InProcess() && GetItemCount() > 0 && !AnyRowEdited();
        });
    const auto never = [](fw::CommandState& state) { state.enabled = false; };
    OnCommandId(
        cmd::EXCLUDE, [] {}, never);
    OnCommandId(
        cmd::RECURSIVE, [] {}, never);
}

void CCmdView::OnInitialUpdate()
{
    InstallEditorActivator(GetWendoDoc());
    Refill();
}

void CCmdView::OnDocumentUpdate(core::DocumentView* /*sender*/, long /*hint*/)
{
    Refill();
}

void CCmdView::Refill()
{
    const int selected = GetSelectedRow();
    DeleteAllItems();
    for (int row = 0; row < GetWendoDoc().CommandCount(); ++row) {
        InsertItem(row, QString(), 0);
        ShowRow(row);
    }
    if (selected >= 0) {
        SelectRow(std::min(selected, GetItemCount() - 1));
    }
}

void CCmdView::ShowRow(int row)
{
    const CParseCmdList* command = CommandAt(GetWendoDoc(), row);
    if (command == nullptr) {
        return;
    }
    const bool fileStat = command->Type == CmdType::DISPLAY_FILESTAT;
    SetItemText(row, 0, FromUtf8(fileStat ? command->GetTypeName() : command->Label));
    SetItemImage(row, ImageOf(*command));
    SetItemText(row, 1, Optional(command->Delimiter1));
    SetItemText(row, 2, Optional(command->Value));
    SetItemText(row, 3, FromUtf8(command->GetSource()));
    SetItemText(row, 4, Optional(command->Exclude));
}

void CCmdView::CommandRowAdded(int row)
{
    InsertItem(row, QString(), 0);
    ShowRow(row);
    SelectRow(row);
    RenumberEditPositions(GetWendoDoc());
}

void CCmdView::CommandRowChanged(int row)
{
    ShowRow(row);
}

void CCmdView::CommandRowMoved(int from, int to)
{
    DeleteItem(from);
    InsertItem(to, QString(), 0);
    ShowRow(to);
    SelectRow(to);
    RenumberEditPositions(GetWendoDoc());
}

bool CCmdView::InProcess() const
{
    return GetWendoDoc().Started.load() != 0;
}

bool CCmdView::IsRowEdited(int row) const
{
    const CParseCmdList* command = CommandAt(GetWendoDoc(), row);
    return command != nullptr && command->EditorFrame != nullptr;
}

bool CCmdView::AnyRowEdited() const
{
    for (const CParseCmdList& command : GetWendoDoc().Commands) {
        if (command.EditorFrame != nullptr) {
            return true;
        }
    }
    return false;
}

bool CCmdView::IsFileStatRow(int row) const
{
    return GetItemImage(row) == kFileStatImage;
}

bool CCmdView::OpenEditor(int row)
{
    CWendoDoc& doc = GetWendoDoc();
    if (InProcess()) {
        fw::MessageBox(core::Msg::DOCUMENT_IN_PROCESS, core::PromptButtons::Ok,
                       core::PromptIcon::Exclamation, this);
        return false;
    }
    CParseCmdList* command = nullptr;
    if (row >= 0) {
        command = CommandAt(doc, row);
        if (command == nullptr) {
            return false;
        }
        if (command->EditorFrame != nullptr) {
            RenumberEditPositions(doc);
            doc.FindCommandEditor(row, 1);
            return false;
        }
    }
    CWendoApp* app = CWendoApp::Get();
    if (app == nullptr || app->ParseCmdTemplate == nullptr) {
        return false;
    }
    fw::ChildFrame* frame = app->ParseCmdTemplate->CreateNewFrame(doc);
    if (frame == nullptr) {
        return false;
    }
    if (command != nullptr) {
        command->EditPosition = row;
        command->EditorFrame = frame;
    }
    app->ParseCmdTemplate->InitialUpdateFrame(frame, true);
    if (auto* editor = dynamic_cast<CParseCmdView*>(frame->GetActiveView())) {
        const CParseCmd fresh;
        editor->Load(command != nullptr ? static_cast<const CParseCmd*>(command) : &fresh, row,
                     this);
    }
    return true;
}

void CCmdView::OnModify()
{
    if (GetSelectedRow() >= 0) {
        OpenEditor(GetSelectedRow());
    }
}

void CCmdView::OnDuplicate()
{
    const int row = GetSelectedRow();
    const CParseCmdList* command = CommandAt(GetWendoDoc(), row);
    if (InProcess() || command == nullptr || IsFileStatRow(row)) {
        return;
    }
    const CParseCmd copy(command->Text);
    GetWendoDoc().StoreCommand(row, copy, this, 1);
}

void CCmdView::OnRemove()
{
    const int row = GetSelectedRow();
    CWendoDoc& doc = GetWendoDoc();
    if (InProcess() || row < 0 || row >= doc.CommandCount() || IsRowEdited(row)) {
        return;
    }
    DeleteItem(row);
    doc.Commands.erase(std::next(doc.Commands.begin(), row));
    doc.SetModifiedFlag(true);
    RenumberEditPositions(doc);
    SelectRow(std::min(row, GetItemCount() - 1));
}

void CCmdView::OnRemoveAll()
{
    CWendoDoc& doc = GetWendoDoc();
    if (InProcess() || GetItemCount() == 0 || AnyRowEdited()) {
        return;
    }
    DeleteAllItems();
    doc.Commands.clear();
    doc.SetModifiedFlag(true);
}

void CCmdView::OnEndDrag()
{
    int source = -1;
    int target = -1;
    bool after = false;
    CWendoDoc& doc = GetWendoDoc();
    if (InProcess() || !GetDraggingParam(source, target, after) || source == target ||
        target == 0 || CommandAt(doc, source) == nullptr || CommandAt(doc, target) == nullptr) {
        return;
    }
    // The command node itself moves, so its editing record goes with it.
    auto from = std::next(doc.Commands.begin(), source);
    auto to = std::next(doc.Commands.begin(), target);
    if (after) {
        ++to;
    }
    if (to == from || to == std::next(from)) {
        return;
    }
    doc.Commands.splice(to, doc.Commands, from);
    doc.SetModifiedFlag(true);
    RenumberEditPositions(doc);
    const int landed = static_cast<int>(std::distance(doc.Commands.begin(), from));
    Refill();
    SelectRow(landed);
}

void CCmdView::OnItemActivated(int row)
{
    if (InProcess()) {
        fw::MessageBox(core::Msg::DOCUMENT_IN_PROCESS, core::PromptButtons::Ok,
                       core::PromptIcon::Exclamation, this);
        return;
    }
    if (row >= 0) {
        OpenEditor(row);
    }
}

void CCmdView::OnDeleteKey()
{
    const int row = GetSelectedRow();
    const CParseCmdList* command = CommandAt(GetWendoDoc(), row);
    if (command == nullptr || InProcess() || IsRowEdited(row)) {
        return;
    }
    const auto holds = [](const std::optional<std::string>& text) {
        return text.has_value() && !text->empty();
    };
    // A key is pressed by mistake more easily than a menu item is chosen: a command that
    // holds something of the person's is removed only when confirmed.
    const bool empty = !holds(command->Delimiter1) && !holds(command->Delimiter2) &&
                       !holds(command->Value) && !holds(command->Exclude) &&
                       command->GetSource().empty();
    if (!empty &&
        fw::MessageBox(QStringLiteral("Remove the command \"%1\"?").arg(FromUtf8(command->Label)),
                       core::PromptButtons::YesNo, core::PromptIcon::Question,
                       this) != core::PromptAnswer::Yes) {
        return;
    }
    OnRemove();
}

QMenu* CCmdView::MakeContextMenu(int row)
{
    auto* menu = new QMenu(this);
    const bool overRow = row >= 0;
    const int selected = GetSelectedRow();
    const struct
    {
        const char* text;
        int id;
        bool enabled;
    } items[] = {
        {"&Add\tCtrl+A", cmd::ADD, true},
        {"Duplicate\tCtrl+D", cmd::DUPLICATE, overRow && !IsFileStatRow(selected)},
        {"&Modify\tCtrl+M", cmd::MODIFY, overRow},
        {"&Remove\tDel", cmd::REMOVE, overRow && !IsRowEdited(selected)},
        {"Remove All\tCtrl+L", cmd::REMOVE_ALL, GetItemCount() > 0 && !AnyRowEdited()},
    };
    for (const auto& item : items) {
        QAction* action = menu->addAction(QString::fromLatin1(item.text));
        action->setEnabled(item.enabled);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    return menu;
}

void CCmdView::OnContextMenu(const QPoint& globalPos, int row)
{
    const QRect list(GetListCtrl().viewport()->mapToGlobal(QPoint(0, 0)),
                     GetListCtrl().viewport()->size());
    if (InProcess() || !list.contains(globalPos)) {
        return;
    }
    if (row >= 0) {
        SelectRow(row);
    }
    QMenu* menu = MakeContextMenu(row);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void CCmdView::OnListFocus()
{
    if (QWidget* frame = parentWidget()) {
        frame->update();
    }
}

} // namespace wendo::ui
