#include "FindDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace wendo::ui {

CFindDlg::CFindDlg(QWidget* owner)
    : QDialog(owner), m_text(new QLineEdit(this)),
      m_matchCase(new QCheckBox(QStringLiteral("Match &case"), this)),
      m_wholeWord(new QCheckBox(QStringLiteral("Match &whole word only"), this)),
      m_findNext(new QPushButton(QStringLiteral("&Find Next"), this))
{
    setObjectName(QStringLiteral("CFindDlg"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    label->setBuddy(m_text);
    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_text, 0, 1);
    grid->addWidget(m_findNext, 0, 2);
    grid->addWidget(m_wholeWord, 1, 0, 1, 2);
    grid->addWidget(cancel, 1, 2);
    grid->addWidget(m_matchCase, 2, 0, 1, 2);
    m_findNext->setDefault(true);
    m_findNext->setEnabled(false);
    connect(m_text, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_findNext->setEnabled(!text.isEmpty()); });
    connect(m_findNext, &QPushButton::clicked, this, &CFindDlg::FindNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

void CFindDlg::SetSearchText(const QString& text)
{
    m_text->setText(text);
    m_text->selectAll();
}

QString CFindDlg::SearchText() const
{
    return m_text->text();
}

bool CFindDlg::MatchCase() const
{
    return m_matchCase->isChecked();
}

bool CFindDlg::WholeWord() const
{
    return m_wholeWord->isChecked();
}

void CFindDlg::SetMatchCase(bool on)
{
    m_matchCase->setChecked(on);
}

void CFindDlg::SetWholeWord(bool on)
{
    m_wholeWord->setChecked(on);
}

void CFindDlg::FindNext()
{
    const QString text = m_text->text();
    if (text.isEmpty()) {
        return;
    }
    m_previous = text;
    Q_EMIT searchRequested(text);
}

} // namespace wendo::ui
