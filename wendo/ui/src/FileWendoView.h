// The file list: the bottom pane of the command file window, one row per file set entry
// (see EntryList.h). It changes the document at once: remove, include or exclude, recursive
// or this folder only, remove all. Adding and modifying open the path selector.
//
// While the document is in process every change is refused; while a path selector is open on
// the document, the changes that need a row are refused too, since the selector will replace
// the whole file set when it stores.
//
// Threads: interface thread only.
#pragma once

#include "EntryList.h"
#include "model/DocViews.h"
#include "plinth/KVListView.h"

class QMenu;

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CFileWendoView : public CKVListView, public FileListView
{
    Q_OBJECT

public:
    CFileWendoView(CWendoDoc& document, QWidget* parent);
    ~CFileWendoView() override;
    CWendoDoc& GetWendoDoc() const;
    CEntryList& GetEntryList() { return m_entries; }

    void OnInitialUpdate() override;
    void OnDocumentUpdate(core::DocumentView* sender, long hint) override;
    void RefreshFileList() override;

    // The pop-up menu as it would show over row (-1: empty space); owned by the caller.
    QMenu* MakeContextMenu(int row);
    // The file that row names (kept form), which Preview Changes shows; empty when the row
    // is a folder, a filter, an excluded entry or none.
    std::string PreviewPath(int row) const;
    // Shows the path selector; a new one opens its tree at the selected row's folder. False
    // when in process (the user is told).
    bool OpenPathSelector();

protected:
    void OnItemActivated(int row) override;
    void OnDeleteKey() override;
    void OnContextMenu(const QPoint& globalPos, int row) override;
    void OnListFocus() override;

private:
    void RegisterCommands();
    bool InProcess() const;
    // Not in process, no path selector open and a row selected.
    bool CanChangeRow() const;
    bool CanToggleExclude(int row) const;
    bool CanToggleRecursive(int row) const;
    void ShowPathSelector();
    void OnRemove();
    void OnToggleExclude();
    void OnToggleRecursive();
    void OnRemoveAll();
    // Relabels the Edit menu's Exclude and Recursive items for row.
    void RelabelEditMenu(int row);
    // Runs a command the way its menu item would: only when it is enabled now.
    void RunIfEnabled(int id);

    CEntryList m_entries;
};

} // namespace wendo::ui
