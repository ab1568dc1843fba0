// The modeless find dialog of the text viewer: a search text with match-case and whole-word
// choices. "Find Next" keeps the text as the previous search and asks the owner to search
// for it (searchRequested); the owner searches again later with QueryPreviousSearch.
//
// Threads: interface thread only. Ownership: the owner's widget tree (the dialog is a child
// window of its owner and dies with it).
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace wendo::ui {

class CFindDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CFindDlg(QWidget* owner);

    void SetSearchText(const QString& text);
    QString SearchText() const;
    bool IsPreviousSearch() const { return !m_previous.isEmpty(); }
    QString QueryPreviousSearch() const { return m_previous; }
    bool MatchCase() const;
    bool WholeWord() const;
    void SetMatchCase(bool on);
    void SetWholeWord(bool on);
    // As the "Find Next" button: keeps the text and asks the owner to search.
    void FindNext();

Q_SIGNALS:
    void searchRequested(const QString& text);

private:
    QLineEdit* m_text;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QPushButton* m_findNext;
    QString m_previous;
};

} // namespace wendo::ui
