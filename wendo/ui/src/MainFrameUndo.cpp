// File > Undo Last Run... of the main frame, and the note at the end of a run that says
// whether it can be undone.
#include "MainFrame.h"
#include "WendoIds.h"
#include "engine/UndoJournal.h"
#include "fw/MessageBox.h"
#include "model/WendoDoc.h"
#include "os/path.h"

#include <QApplication>
#include <QFileInfo>

namespace wendo::ui {

namespace {

// How many files a message lists by name before it only counts the rest.
constexpr std::size_t kListed = 15;

std::string CommandFileOf(const CWendoDoc* doc)
{
    return doc != nullptr && !doc->GetPathName().empty() ? os::ToNative(doc->GetPathName())
                                                         : std::string();
}

QString Shown(const std::string& path)
{
    return QString::fromStdString(path);
}

} // namespace

void CMainFrame::RegisterUndoCommands()
{
    OnCommandId(
        cmd::UNDO_RUN, [this] { OnUndoLastRun(); },
        [this](fw::CommandState& state) {
            const CWendoDoc* doc = GetActiveWendoDoc();
            const std::string file = CommandFileOf(doc);
            state.enabled =
                !file.empty() && doc->Started.load() == 0 && HasJournal(UserJournalFolder(), file);
        });
}

void CMainFrame::OnUndoLastRun()
{
    CWendoDoc* doc = GetActiveWendoDoc();
    const std::string file = CommandFileOf(doc);
    if (file.empty() || doc->Started.load() != 0) {
        return;
    }
    const std::string folder = UserJournalFolder();
    const int count = JournalFileCount(folder, file);
    const QString name = QFileInfo(Shown(file)).fileName();
    if (count <= 0) {
        fw::MessageBox(QStringLiteral("There is nothing to undo for %1.").arg(name),
                       core::PromptButtons::Ok, core::PromptIcon::Information, this);
        return;
    }
    const QString question =
        QStringLiteral("Undo the last run of %1?\n\nIts journal names %2 file(s). Each one that "
                       "still holds what the run wrote gets its backup's text back, and the "
                       "backups the run made are removed. A file changed since the run is left "
                       "as it is.")
            .arg(name)
            .arg(count);
    if (fw::MessageBox(question, core::PromptButtons::YesNo, core::PromptIcon::Question, this) !=
        core::PromptAnswer::Yes) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const UndoResult result = UndoLastRun(folder, file);
    QApplication::restoreOverrideCursor();
    if (result.state == UndoResult::State::Busy) {
        fw::MessageBox(
            QStringLiteral("A run of %1 is in progress: undo it once it has ended.").arg(name),
            core::PromptButtons::Ok, core::PromptIcon::Exclamation, this);
        return;
    }
    QString text = QStringLiteral("Restored: %1 file(s).\nLeft as they are: %2 file(s).")
                       .arg(result.restored.size())
                       .arg(result.left.size());
    for (std::size_t i = 0; i < result.left.size() && i < kListed; ++i) {
        text += QStringLiteral("\n  %1 (%2)")
                    .arg(Shown(result.left[i].first), Shown(result.left[i].second));
    }
    if (result.left.size() > kListed) {
        text += QStringLiteral("\n  ... and %1 more").arg(result.left.size() - kListed);
    }
    fw::MessageBox(
        text, core::PromptButtons::Ok,
        result.left.empty() ? core::PromptIcon::Information : core::PromptIcon::Exclamation, this);
}

void CMainFrame::NoteRunUndo(const CWendoDoc& doc)
{
    if (doc.NoWrite != 0 || doc.Run.TotalModified.load() == 0) {
        return;
    }
    const std::string file = CommandFileOf(&doc);
    if (doc.Backup == 0) {
        SetStatusText(QStringLiteral("This run kept no backups: it cannot be undone."));
    } else if (!HasJournal(UserJournalFolder(), file)) {
        SetStatusText(
            QStringLiteral("This run's undo journal could not be written: it cannot be undone."));
    } else {
        SetStatusText(QStringLiteral("File > Undo Last Run... takes this run back."));
    }
}

} // namespace wendo::ui
