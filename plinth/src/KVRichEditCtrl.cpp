#include "plinth/KVRichEditCtrl.h"

CKVRichEditCtrl::CKVRichEditCtrl(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (m_notify) {
            Q_EMIT textEdited();
        }
    });
    connect(this, &QPlainTextEdit::undoAvailable, this,
            [this](bool available) { m_undoAvailable = available; });
}

CKVRichEditCtrl::~CKVRichEditCtrl() = default;

std::string CKVRichEditCtrl::ReadStrCtrl() const
{
    return m_shown.ReadField(*document());
}

void CKVRichEditCtrl::WriteStrCtrl(std::string_view text)
{
    m_shown.Show(*document(), text);
}

void CKVRichEditCtrl::ClearCtrl()
{
    m_shown.Show(*document(), {});
}

bool CKVRichEditCtrl::IsTextSelected() const
{
    return textCursor().hasSelection();
}

bool CKVRichEditCtrl::CanUndo() const
{
    return m_undoAvailable;
}
