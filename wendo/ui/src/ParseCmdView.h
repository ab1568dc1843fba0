// The command editor: form 502 in a window of its own, editing a working copy of one parse
// command and storing it into the document on OK. Cancel and closing store nothing; Undo
// shows the working copy again. While an editor is open on a document the document cannot
// run (OpenCommandEditors).
//
// An editor of a stored command finds that command by its editor frame (see CmdView.h), never
// by a position taken when it opened, so rows that move under it do not matter.
//
// Threads: interface thread only. Ownership: the editor owns its working copy; the list view
// that opened it is only watched.
#pragma once

#include "model/ParseCmd.h"
#include "plinth/cdxCSizingForm.h"

#include <QPointer>
#include <memory>

class CKVRichEditCtrl;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class Form502;
}

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CCmdView;

class CParseCmdView : public cdxCSizingForm
{
    Q_OBJECT

public:
    static constexpr int kFormId = 502;
    // Position of a new command, and of an editor that has let go of its command.
    static constexpr int kNewCommand = -1;
    static constexpr int kReleased = -2;

    CParseCmdView(CWendoDoc& document, QWidget* parent);
    ~CParseCmdView() override;
    CWendoDoc& GetWendoDoc() const;

    using cdxCSizingForm::OnInitialUpdate;
    void OnInitialUpdate(int stretchPercent) override;

    // With a source: the working copy becomes a copy of it, edited at position for the list
    // view. Then (and without a source) the form shows the working copy.
    void Load(const CParseCmd* source, int position, CCmdView* listView);

    // The buttons.
    bool OnOK();
    void OnCancel();
    void OnUndo();
    void OnBrowse();
    // Appends the names (without their folders) of files chosen to exclude.
    void AppendExcludedFiles(const QStringList& files);

    // The position of the edited command in the document now (-1 for a new command).
    int GetPosition() const;
    const CParseCmd& GetWorkingCopy() const { return *m_command; }
    int16_t GetCurrentType() const { return m_type; }
    bool IsDirty() const { return m_dirty; }

private:
    void RegisterEditCommands();
    void ConnectControls();
    void LayoutControls();
    void FillTypeCombo();
    void FillTagCombo();
    void FillActionCombo(uint32_t tagFlag, const QString& keep);
    void ArrangeForType(int16_t oldType, int16_t newType);
    void ArrangeTagControls();
    void SpanDelimiters(bool shared);
    // With "Regular expression" ticked, the options that only plain searches know are off.
    void ArrangeRegexOptions();
    bool ValidateRegex();
    void ShowTypeIcon();
    void OnTypeChange();
    void OnTagChange();
    void OnActionChange();
    void OnAnyChange();
    uint32_t TagFlag() const;
    uint32_t ActionFlag() const;
    bool Validate();
    void Store();
    QWidget* FocusedTextControl() const;
    void CloseEditor();

    std::unique_ptr<Ui::Form502> m_ui;
    QLabel* m_typeIcon;
    QComboBox* m_tagCombo;
    QComboBox* m_actionCombo;
    QComboBox* m_typeCombo;
    QCheckBox* m_caseSensitive;
    CKVRichEditCtrl* m_delimiter1;
    CKVRichEditCtrl* m_delimiter2;
    CKVRichEditCtrl* m_value;
    QCheckBox* m_ignoreSpace;
    QCheckBox* m_currentDir;
    QCheckBox* m_ignoreCrLf;
    QCheckBox* m_once;
    QCheckBox* m_noVirtual;
    QCheckBox* m_regex;
    QLineEdit* m_exclude;
    QGroupBox* m_excludeGroup;
    QGroupBox* m_valueGroup;
    QGroupBox* m_delimiterGroup;
    QGroupBox* m_optionsGroup;
    QPushButton* m_browse;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_undo;

    int m_position = kNewCommand;
    std::unique_ptr<CParseCmd> m_command;
    int16_t m_type = CmdType::UNKNOWN;
    bool m_dirty = false;
    QPointer<CCmdView> m_listView;
    // The frame the editor lives in, as the edited command's record names it.
    const void* m_frame = nullptr;
    bool m_hasFileStat = false;
    bool m_counted = false;
    // Set while the form is filled, so that filling is not taken for the user's changes.
    bool m_filling = false;
};

} // namespace wendo::ui
