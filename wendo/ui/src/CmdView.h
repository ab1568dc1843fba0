// The list of a command document's parse commands, one row per command in the document's
// order: add, modify, duplicate, remove, reorder by dragging and clear. Editing opens a
// command editor (CParseCmdView) in a window of its own.
//
// Editors stay bound to the command they edit, not to a position: a command's EditorFrame
// names its editor, and its EditPosition is renumbered whenever rows move, so removing,
// duplicating or dragging other rows never makes an editor store into another command. A
// command open in an editor cannot be removed (nor can the list be cleared while one is).
//
// Threads: interface thread only.
#pragma once

#include "model/DocViews.h"
#include "plinth/KVListView.h"

class QMenu;

namespace wendo {
class CParseCmd;
class CWendoDoc;
} // namespace wendo

namespace wendo::ui {

class CCmdView : public CKVListView, public CommandListView
{
    Q_OBJECT

public:
    // Images of the rows (see CmdIcons.h); rows of kFileStatImage cannot be dragged.
    static constexpr int kFileStatImage = 5;
    static constexpr int kFileNameImage = 7;
    static constexpr int kRegexImage = 8;

    CCmdView(CWendoDoc& document, QWidget* parent);
    ~CCmdView() override;
    CWendoDoc& GetWendoDoc() const;

    void OnInitialUpdate() override;
    void OnDocumentUpdate(core::DocumentView* sender, long hint) override;
    void CommandRowAdded(int row) override;
    void CommandRowChanged(int row) override;
    void CommandRowMoved(int from, int to) override;
    int RowCount() const { return GetItemCount(); }

    // Opens an editor on the command at row, or on a new command for -1; an editor already
    // open on the command is brought forward instead. False when nothing was opened (in
    // process: the user is told).
    bool OpenEditor(int row);
    // The pop-up menu as it would show over row (-1: empty space); owned by the caller.
    QMenu* MakeContextMenu(int row);

    // The image of a command's row.
    static int ImageOf(const CParseCmd& command);

protected:
    void OnEndDrag() override;
    void OnItemActivated(int row) override;
    void OnDeleteKey() override;
    void OnContextMenu(const QPoint& globalPos, int row) override;
    void OnListFocus() override;

private:
    void RegisterCommands();
    void Refill();
    void ShowRow(int row);
    bool InProcess() const;
    bool IsRowEdited(int row) const;
    bool AnyRowEdited() const;
    bool IsFileStatRow(int row) const;
    void OnModify();
    void OnDuplicate();
    void OnRemove();
    void OnRemoveAll();
};

// Sets every open editor's EditPosition to its command's position now.
void RenumberEditPositions(CWendoDoc& document);
// The position of the command open in the editor frame; -1 when none is.
int FindEditedCommand(const CWendoDoc& document, const void* editorFrame);
// How FindCommandEditor brings an editor frame to the front.
void InstallEditorActivator(CWendoDoc& document);

} // namespace wendo::ui
