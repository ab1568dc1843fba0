#include "PreferencesDlg.h"

#include "RunControl.h"
#include "fw/MessageBox.h"
#include "fw/Profile.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace wendo::ui {

CPreferencesDlg::CPreferencesDlg(fw::Profile& profile, QWidget* parent)
    : QDialog(parent), m_profile(&profile), m_pace(new QCheckBox(this))
{
    m_pace->setText(QStringLiteral("&Pause between steps of a run"));
    setObjectName(QStringLiteral("PreferencesDlg"));
    setWindowTitle(QStringLiteral("Preferences"));
    m_pace->setObjectName(QStringLiteral("check_pace"));
    m_pace->setToolTip(QStringLiteral(
        "Waits a moment before the walk of the files, after each command and after each "
        "modified file. Off, a run goes at full speed."));
    // The run's own reading of the entry, so that the box shows what the next run will do
    // even when the entry is missing or not a number.
    m_pace->setChecked(DesktopRunSettings(profile).pace);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pace);
    layout->addStretch(1);
    layout->addWidget(buttons);
}

void CPreferencesDlg::accept()
{
    if (!m_profile->WriteInt(QString::fromLatin1(kPaceSection), QString::fromLatin1(kPaceEntry),
                             m_pace->isChecked() ? 1 : 0)) {
        fw::MessageBox(QStringLiteral("The preferences could not be saved in the settings "
                                      "folder. Check that it can be written to."),
                       core::PromptButtons::Ok, core::PromptIcon::Exclamation, this);
        return;
    }
    QDialog::accept();
}

} // namespace wendo::ui
