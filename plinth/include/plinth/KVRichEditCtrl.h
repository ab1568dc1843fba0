// A text box for the arguments of a command: several lines of plain text (pasted rich text
// arrives as its plain text), read and written as whole strings, with a change signal that can
// be turned on once the form is filled.
//
// Threads: interface thread only.
#pragma once

#include "fw/ByteText.h"
#include "plinth/plinth_api.h"

#include <QPlainTextEdit>
#include <string>

class PLINTH_API CKVRichEditCtrl : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CKVRichEditCtrl(QWidget* parent = nullptr);
    ~CKVRichEditCtrl() override;

    // The whole text as bytes, in the encoding of the string last written (UTF-8 when the
    // text typed since cannot be held otherwise).
    std::string ReadStrCtrl() const;
    void WriteStrCtrl(std::string_view text);
    void ClearCtrl();
    bool IsTextSelected() const;
    bool CanUndo() const;

    // Whether textEdited is emitted; off until the owner has filled the box.
    void SetChangeNotify(bool notify) { m_notify = notify; }

Q_SIGNALS:
    // The text was changed while notifications are on.
    void textEdited();

private:
    fw::EditorText m_shown;
    bool m_notify = false;
    bool m_undoAvailable = false;
};
