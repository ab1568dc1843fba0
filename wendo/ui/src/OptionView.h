// The option form: the top pane of the command file window, with the global options of a
// command document (report, line region, backup, rewind, dry run). It edits a copy; every
// change marks the document modified at once, and the copy goes back into the document, after
// checking, when the document is saved (StoreOptions). A refused copy refuses the save.
//
// Threads: interface thread only.
#pragma once

#include "fw/View.h"
#include "model/DocViews.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace Ui {
class Form504;
}

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class COptionView : public fw::View, public OptionView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 504;
    // What the file dialog of "&Browse" answers: a native path, or empty for Cancel. Tests
    // replace the dialog.
    using BrowseHook = std::function<QString(QWidget* parent, const QString& startFolder)>;

    COptionView(CWendoDoc& document, QWidget* parent);
    ~COptionView() override;
    CWendoDoc& GetWendoDoc() const;
    // Asked by the command file window before it closes. The options are taken over when the
    // document is saved, not when a window closes, so the answer is always yes.
    bool CanCloseFrame() const { return true; }

    void OnInitialUpdate() override;
    bool StoreOptions() override;
    // The line region and the rewind option as the form shows them, stored or not; false
    // when the region's texts are not valid (the document's values then hold).
    bool ShownRunOptions(std::int16_t& fromLine, std::int16_t& toLine, std::int32_t& rewind) const;
    QSize sizeHint() const override;

    // The control with a numeric id of form 504; none for an unknown id.
    QWidget* Control(int id) const;
    QCheckBox* Check(int id) const;
    QLineEdit* Edit(int id) const;
    bool IsChanged() const { return m_changed; }
    static void SetBrowseHook(BrowseHook hook);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void ConnectControls();
    void PutMembers();
    void EnableReport(bool enabled);
    void OnGenerateReport();
    void OnBrowse();
    void OnBackupExtension(const QString& text);
    void AnyChange();
    // Tells the user, brings the window forward and puts the focus on field; false.
    bool Refuse(const QString& text, QWidget* field);

    std::unique_ptr<Ui::Form504> m_ui;
    QScrollArea* m_scroll;
    QWidget* m_form;

    // The working copy, in the order the form shows it.
    std::int32_t m_createBackup = 0;
    std::int32_t m_modifiedOnly = 0;
    std::int32_t m_dontWrite = 0;
    std::int32_t m_rewind = 0;
    std::int32_t m_verbose = 0;
    std::string m_backupExt = "bak";
    // Kept form; the edit shows it with native separators.
    std::string m_reportFile;
    std::int32_t m_generateReport = 0;
    std::string m_fromLine;
    std::string m_toLine;
    bool m_changed = false;
};

} // namespace wendo::ui
