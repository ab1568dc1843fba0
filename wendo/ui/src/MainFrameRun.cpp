// The run commands of the main frame and the view switching commands.
#include "Dialogs.h"
#include "MainFrame.h"
#include "Views.h"
#include "WendoApp.h"
#include "WendoIds.h"
#include "core/StringTable.h"
#include "fw/ChildFrame.h"
#include "fw/MessageBox.h"
#include "model/WendoDoc.h"

namespace wendo::ui {

void CMainFrame::RegisterRunCommands()
{
    OnCommandId(
        cmd::RUN, [this] { OnRun(); },
        [this](fw::CommandState& state) {
            const CWendoDoc* doc = GetActiveWendoDoc();
            state.enabled = doc != nullptr && doc->CanRun() != 0 && doc->Started.load() == 0;
        });
    const auto started = [this](fw::CommandState& state) {
        const CWendoDoc* doc = GetActiveWendoDoc();
        state.enabled = doc != nullptr && doc->Started.load() != 0;
    };
    OnCommandId(
        cmd::STOP, [this] { OnStop(); }, started);
    OnCommandId(
        cmd::RESUME, [this] { OnResume(); }, started);

    OnCommandId(
        cmd::VIEW_PATH,
        [this] { ActivateDocView(m_wendoApp->PathTemplate, fw::ViewClassOf<CPathView>()); },
        [this](fw::CommandState& state) {
            const CWendoDoc* doc = GetActiveWendoDoc();
            state.enabled = doc != nullptr && doc->OpenPathSelectors > 0 &&
                            !IsActiveViewOneOf({fw::ViewClassOf<CPathView>()});
        });
    OnCommandId(
        cmd::VIEW_COMMAND,
        [this] { ActivateDocView(m_wendoApp->ParseCmdTemplate, fw::ViewClassOf<CParseCmdView>()); },
        [this](fw::CommandState& state) {
            const CWendoDoc* doc = GetActiveWendoDoc();
            state.enabled = doc != nullptr && doc->OpenCommandEditors > 0 &&
                            !IsActiveViewOneOf({fw::ViewClassOf<CParseCmdView>()});
        });
    OnCommandId(
        cmd::CMD_FILE,
        [this] { ActivateDocView(m_wendoApp->CommandTemplate, fw::ViewClassOf<CCmdView>()); },
        [this](fw::CommandState& state) {
            state.enabled =
                GetActiveWendoDoc() != nullptr &&
                !IsActiveViewOneOf({fw::ViewClassOf<CCmdView>(), fw::ViewClassOf<CFileWendoView>(),
                                    fw::ViewClassOf<COptionView>()});
        });
    OnCommandId(
        cmd::REPORT, [this] { OnReport(); },
        [this](fw::CommandState& state) { state.enabled = CanShowReport(); });
}

void CMainFrame::OnRun()
{
    CWendoDoc* doc = GetActiveWendoDoc();
    if (doc == nullptr || doc->CanRun() == 0) {
        return;
    }
    ResetStatusText();
    ActivateDocView(m_wendoApp->ReportTemplate, fw::ViewClassOf<CProgressView>(), doc);
    if (fw::QueuedMessageTarget* target = m_wendoApp->GetMessageTarget()) {
        m_wendoApp->GetRunControl(*doc).StartProcess(*target);
    }
    UpdateRunCommand();
}

void CMainFrame::OnStop()
{
    CWendoDoc* doc = GetActiveWendoDoc();
    if (doc == nullptr || doc->Started.load() == 0) {
        return;
    }
    m_wendoApp->GetRunControl(*doc).AskStopProcess([this] {
        CStopDialog dialog(this);
        dialog.exec();
        return dialog.Choice();
    });
    UpdateRunCommand();
}

void CMainFrame::OnResume()
{
    CWendoDoc* doc = GetActiveWendoDoc();
    if (doc == nullptr) {
        return;
    }
    m_wendoApp->GetRunControl(*doc).ResumeProcess();
    UpdateRunCommand();
}

bool CMainFrame::CanShowReport() const
{
    const CWendoDoc* doc = GetActiveWendoDoc();
    if (doc == nullptr || doc->Report == 0 || doc->ReportModifTime != doc->ModifTime) {
        return false;
    }
    if (FindDocView(doc, fw::ViewClassOf<CProgressView>()) == nullptr) {
        return true;
    }
    return !IsActiveViewOneOf(
        {fw::ViewClassOf<CProgressView>(), fw::ViewClassOf<CProgressPathView>()});
}

void CMainFrame::OnReport()
{
    CWendoDoc* doc = GetActiveWendoDoc();
    if (doc == nullptr) {
        return;
    }
    fw::ChildFrame* made =
        ActivateDocView(m_wendoApp->ReportTemplate, fw::ViewClassOf<CProgressView>(), doc);
    if (made == nullptr) {
        return;
    }
    if (m_wendoApp->GetRunControl(*doc).LoadReport() == 0) {
        fw::MessageBox(core::Msg::REPORT_NOT_VALID, core::PromptButtons::Ok,
                       core::PromptIcon::Exclamation, this);
        made->close();
        return;
    }
    if (auto* progress =
            static_cast<CProgressView*>(FindDocView(doc, fw::ViewClassOf<CProgressView>()))) {
        progress->ShowReplayed();
    }
}

} // namespace wendo::ui
