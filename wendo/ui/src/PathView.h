// The path selector: an editor of a command document's file set in a window of its own. The
// user browses the folder tree, lists a folder's files through the extensions combo, adds
// folders, files and exclusion filters to a working list, changes their switches, and writes
// the list into the document with Ok (Cancel drops it, Undo reloads it from the document).
//
// The form lays its controls out by shares of the window's growth (cdxCSizingForm). While a
// selector is open on a document the document cannot run, and the file list refuses the
// changes that need a row; the document counts its open selectors (OpenPathSelectors).
//
// Threads: interface thread only.
#pragma once

#include "EntryList.h"
#include "plinth/cdxCSizingForm.h"

#include <QTimer>
#include <memory>
#include <string>

class CFileList;
class CShellTree;
class QComboBox;
class QListWidget;
class QPushButton;

namespace Ui {
class Form501;
}

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CPathView : public cdxCSizingForm
{
    Q_OBJECT

public:
    static constexpr int kFormId = 501;
    // The pause between choosing a folder and listing it, so that running through the tree
    // with the keyboard does not read every folder on the way.
    static constexpr int kListDelayMs = 500;

    CPathView(CWendoDoc& document, QWidget* parent);
    ~CPathView() override;
    CWendoDoc& GetWendoDoc() const;

    void OnInitialUpdate(int stretchPercent) override;
    using cdxCSizingForm::OnInitialUpdate;
    // The designed size of form 501, which the frame is sized to.
    QSize sizeHint() const override;

    // Opens the folder tree at a kept-form folder (used by the file list); a relative one is
    // taken from the command file's folder.
    bool OpenTreeAt(const std::string& folder);

    // The control with a numeric id of form 501; none for an unknown id.
    QWidget* Control(int id) const;
    QPushButton* Button(int id) const;
    CShellTree* Tree() const;
    QComboBox* ExtensionsCombo() const;
    QListWidget* FileListBox() const;
    CEntryList& GetEntryList() { return m_entries; }
    // The folder the file list box shows (kept form); empty when none.
    const std::string& SelectedFolder() const { return m_folder; }
    bool IsDirty() const { return m_dirty; }
    // Lists the chosen folder now, as the timer does when it fires.
    void ListSelectedFolder();
    bool IsListPending() const { return m_listTimer.isActive(); }

private:
    void LayOut();
    void ConnectControls();
    void OnFolderSelected();
    void OnListTimer();
    void OnExtensionChanged(const QString& text);
    void OnFileSelectionChanged();
    void OnFilterChanged(const QString& text);
    void OnEntrySelectionChanged();
    void OnAddDir();
    void OnAddFile();
    void OnAddFilter();
    void OnRemove();
    void OnRemoveAll();
    void OnExclude();
    void OnRecursive();
    void OnUndo();
    void OnCancel();
    void OnOk();
    void AddRow(const CFileList& entry);
    void SetToggleButtons(int row);
    void SetDirty(bool dirty);
    void CloseWindow();
    // Fills the file list box with the files of the chosen folder that match filter.
    void FillFileListBox(const std::string& filter);

    std::unique_ptr<Ui::Form501> m_ui;
    CEntryList m_entries;
    QTimer m_listTimer;
    std::string m_filter;
    std::string m_folder;
    bool m_dirty = true;
    bool m_counted = false;
};

} // namespace wendo::ui
