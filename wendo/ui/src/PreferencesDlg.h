// The Preferences dialog: the per-user choices of the desktop program, shown as the profile
// holds them and stored there when the user confirms. Runs read the profile when they start,
// so a change applies from the next run on.
//
// Threads: interface thread only. The profile outlives the dialog.
#pragma once

#include <QDialog>

class QCheckBox;

namespace fw {
class Profile;
}

namespace wendo::ui {

class CPreferencesDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CPreferencesDlg(fw::Profile& profile, QWidget* parent = nullptr);

    int DoModal() { return exec(); }
    QCheckBox* PaceBox() const { return m_pace; }

    // Stores the choices; the dialog stays open after telling the user when the profile
    // cannot be written, so that nothing is reported as kept that was not.
    void accept() override;

private:
    fw::Profile* m_profile;
    QCheckBox* m_pace;
};

} // namespace wendo::ui
