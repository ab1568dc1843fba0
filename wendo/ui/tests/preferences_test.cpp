#include "PreferencesDlg.h"
#include "RunControl.h"
#include "UiTestSupport.h"
#include "WendoIds.h"

#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QTextStream>
#include <QTimer>

namespace {

using namespace wendo::ui;

class PreferencesTest : public UiTest
{
protected:
    fw::Profile& Profile() { return m_app->GetProfile(); }
    void Store(const QString& value)
    {
        ASSERT_TRUE(Profile().WriteString(kPaceSection, kPaceEntry, value));
    }
    QString Stored() { return Profile().GetString(kPaceSection, kPaceEntry, "(none)"); }
    bool NextRunPaces() { return DesktopRunSettings(Profile()).pace; }
};

TEST_F(PreferencesTest, TheBoxShowsWhatTheNextRunWillDo)
{
    Start();
    struct Row
    {
        const char* name;
        const char* stored; // nullptr: no entry
        bool checked;
    };
    const Row rows[] = {
        {"no entry: no pauses", nullptr, false},
        {"turned off", "0", false},
        {"turned on", "1", true},
        {"any other number is on", "7", true},
        {"not a number: the default", "fast", false},
    };
    for (const Row& row : rows) {
        Profile().Remove(kPaceSection, kPaceEntry);
        if (row.stored != nullptr) {
            Store(QString::fromLatin1(row.stored));
        }
        const CPreferencesDlg dialog(Profile());
        EXPECT_EQ(dialog.PaceBox()->isChecked(), row.checked) << row.name;
        EXPECT_EQ(NextRunPaces(), row.checked) << row.name;
    }
}

TEST_F(PreferencesTest, OkStoresTheChoiceForTheNextRunAndCancelKeepsTheOldOne)
{
    Start();
    struct Row
    {
        const char* name;
        bool check;
        bool ok;
        const char* stored;
        bool paces;
    };
    // Each row starts from what the row before it left.
    const Row rows[] = {
        {"cancel leaves no entry", true, false, "(none)", false},
        {"ok turns pacing off", false, true, "0", false},
        {"cancel keeps it off", true, false, "0", false},
        {"ok turns it on again", true, true, "1", true},
    };
    for (const Row& row : rows) {
        CPreferencesDlg dialog(Profile());
        dialog.PaceBox()->setChecked(row.check);
        if (row.ok) {
            dialog.accept();
        } else {
            dialog.reject();
        }
        EXPECT_EQ(dialog.result(), row.ok ? QDialog::Accepted : QDialog::Rejected) << row.name;
        EXPECT_EQ(Stored(), QString::fromLatin1(row.stored)) << row.name;
        EXPECT_EQ(NextRunPaces(), row.paces) << row.name;
    }
    EXPECT_TRUE(m_boxes.empty());
}

// A settings folder that cannot be made (a file holds its name): OK tells the user and leaves
// the dialog open, so the choice is not taken as kept.
TEST_F(PreferencesTest, AChoiceThatCannotBeStoredIsToldAndTheDialogStaysOpen)
{
    Start();
    QFile blocker(m_home.path() + "/config/Korvel");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CPreferencesDlg dialog(Profile());
    dialog.PaceBox()->setChecked(true);
    dialog.accept();
    EXPECT_EQ(m_boxes.size(), 1u);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(blocker.remove());
    EXPECT_FALSE(NextRunPaces());
}

// The settings file is the user's: $XDG_CONFIG_HOME when it is an absolute folder, else
// ~/.config; the value changes as the environment does, within one process.
TEST_F(PreferencesTest, TheSettingsLiveInTheUsersConfigurationFolder)
{
    Start();
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(QDir().mkpath(m_home.path() + "/home"));
    setenv("HOME", (m_home.path() + "/home").toLocal8Bit().constData(), 1);
    struct Row
    {
        const char* name;
        const char* xdgConfigHome; // nullptr: unset
        const char* file;          // under the scratch folder
    };
    const Row rows[] = {
        {"XDG_CONFIG_HOME", "/config", "/config/Korvel/Wendo.conf"},
        {"unset: ~/.config", nullptr, "/home/.config/Korvel/Wendo.conf"},
        {"relative: ~/.config", "config", "/home/.config/Korvel/Wendo.conf"},
    };
    for (const Row& row : rows) {
        if (row.xdgConfigHome == nullptr) {
            unsetenv("XDG_CONFIG_HOME");
        } else {
            const QString value = row.xdgConfigHome[0] == '/'
                                      ? m_home.path() + QString::fromLatin1(row.xdgConfigHome)
                                      : QString::fromLatin1(row.xdgConfigHome);
            setenv("XDG_CONFIG_HOME", value.toLocal8Bit().constData(), 1);
        }
        CPreferencesDlg dialog(Profile());
        dialog.PaceBox()->setChecked(false);
        dialog.accept();
        QFile file(m_home.path() + QString::fromLatin1(row.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << row.name;
        EXPECT_TRUE(QTextStream(&file).readAll().contains("PaceRuns=0")) << row.name;
        file.remove();
    }
    setenv("HOME", home.constData(), 1);
    setenv("XDG_CONFIG_HOME", config.constData(), 1);
}

// The View menu's item opens the dialog on the main frame; its OK reaches the next run.
TEST_F(PreferencesTest, TheViewMenuOpensTheDialog)
{
    Start();
    QStringList items;
    for (const QAction* action : Frame().GetViewMenu()->actions()) {
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(items.mid(items.size() - 2), QStringList({"-", "Pr&eferences..."}));
    ASSERT_FALSE(NextRunPaces());

    // The dialog is modal: it is answered from the event loop that it runs.
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = Frame().findChild<CPreferencesDlg*>();
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        poll.stop();
        seen = true;
        dialog->PaceBox()->setChecked(true);
        dialog->accept();
    });
    poll.start();
    EXPECT_TRUE(Frame().GetCommands().Execute(cmd::PREFERENCES));
    EXPECT_TRUE(seen);
    EXPECT_TRUE(NextRunPaces());
}

} // namespace
