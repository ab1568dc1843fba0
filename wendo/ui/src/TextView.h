// The text viewer: one text file in an edit box with Find (a modeless find dialog), Find
// Next, View HTML for HTML files, and a check for changes by other programs each time the
// window becomes active. Pasted and dropped data is taken only as plain text.
//
// Threads: interface thread only. Ownership: the view owns its edit box and find dialog.
#pragma once

#include "fw/ByteText.h"
#include "fw/View.h"

#include <QString>

class QTextEdit;

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CFindDlg;
class CTextDoc;

class CTextView : public fw::View
{
    Q_OBJECT

public:
    CTextView(core::CDocument& document, QWidget* parent);
    // A command document is no text file; the view factory tells the two apart by this.
    CTextView(CWendoDoc& document, QWidget* parent) = delete;
    CTextDoc& GetTextDoc() const;

    void OnInitialUpdate() override;
    void OnDocumentUpdate(core::DocumentView* sender, long hint) override;

    QTextEdit* Edit() const { return m_edit; }
    fw::TextEncoding Encoding() const { return m_shown.Encoding(); }
    CFindDlg* FindDialog() const { return m_find; }
    // Searches forward from the selection with the find dialog's choices, going on from the
    // top up to where it began. True when found (the match is then selected).
    bool Search(const QString& text);
    // Whether the file is one the browser shows (.htm or .html in any case).
    bool IsHtmlFile() const;
    // Runs the check for changes by another program, as when the window becomes active.
    void OnActivated();

private:
    void OnFind();
    void FillFromDocument();
    void KeepDialogOffSelection();

    QTextEdit* m_edit;
    // How the file's bytes are shown in m_edit and written back.
    fw::EditorText m_shown;
    CFindDlg* m_find;
    bool m_failed = false; // the last search failed
    QString m_failedText;
};

} // namespace wendo::ui
