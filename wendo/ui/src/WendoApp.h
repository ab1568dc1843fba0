// The application object of the desktop program: starts the libraries, keeps one running
// instance per user, registers the six document templates, reads the per-user settings,
// sets up help, opens the file named on the command line and shows the splash for a while.
//
// Threads: interface thread only. One instance per process, made after the QApplication.
#pragma once

#include "RunControl.h"
#include "fw/QueuedMessageTarget.h"
#include "plinth/KVMultiDocTemplate.h"
#include "plinth/KVSplashWnd.h"
#include "plinth/KVWinApp.h"

#include <QStringList>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace wendo {
class CWendoDoc;
}

namespace wendo::ui {

class CMainFrame;
class HelpDisplay;

class CWendoApp : public CKVWinApp
{
public:
    // Splash time: the splash goes on the first idle pass after this many milliseconds.
    static constexpr std::int64_t kSplashMs = 2500;

    CWendoApp();
    ~CWendoApp() override;

    static CWendoApp* Get();

    // The command line to start with (the process's own by default).
    void SetArguments(QStringList arguments) { m_arguments = std::move(arguments); }
    // Whether start-up keeps a single instance (tests that run several applications in one
    // process turn it off).
    void SetSingleInstance(bool enabled) { m_singleInstance = enabled; }

    bool InitInstance() override;
    int ExitInstance() override;
    bool OnIdle(long count) override;

    core::CDocument* OpenDocumentFile(const QString& nativePath) override;
    void OpenTextFile(const QString& nativePath);
    void OpenWebFile(const QString& nativePath);

    // Tells the person and gives true when the document is in a run (it cannot be closed).
    bool RefuseWhileRunning(const core::CDocument* document);
    bool CanCloseDocument(core::CDocument& document) override;
    void OnDocumentClosing(core::CDocument* document) override;

    CMainFrame* GetMainFrame() const;
    // The open command document whose address is given; none when it is not open.
    CWendoDoc* FindOpenWendoDoc(const void* address) const;
    RunControl& GetRunControl(CWendoDoc& document);
    void SetRunControlFactory(RunControlFactory factory) { m_runFactory = std::move(factory); }
    fw::QueuedMessageTarget* GetMessageTarget() const { return m_target; }

    // Help Topics and help by context; the fallback dialog when help cannot be shown.
    void OnHelpTopics();
    void OnHelpContext(unsigned context);
    void OnContextHelpMode() { InContextHelp = true; }
    bool IsHtmlHelpUsed() const { return !HelpPath.empty() && HelpFileUsed; }
    // Shows the fallback dialog (554); tests replace it.
    virtual void ShowHelpFallback();

    // Whether the command line switches HTML help off: the word "NOHTMLHELP" anywhere in
    // it, in capitals.
    static bool HasNoHtmlHelp(const QStringList& arguments);
    // The notifications whose identical pending copies may be merged.
    static bool IsCoalescable(std::uint32_t message);

    CKVMultiDocTemplate* CommandTemplate = nullptr;
    CKVMultiDocTemplate* PathTemplate = nullptr;
    CKVMultiDocTemplate* ParseCmdTemplate = nullptr;
    CKVMultiDocTemplate* ReportTemplate = nullptr;
    CKVMultiDocTemplate* TextTemplate = nullptr;
    CKVMultiDocTemplate* WebTemplate = nullptr;
    std::int64_t StartTick = 0;
    CKVSplashWnd Splash;
    std::string HelpPath;
    bool HelpFileUsed = false;
    std::string ProgramFolder;
    bool InContextHelp = false;
    std::uint32_t OcxOnFail = 0;
    // A later start handed its command line over to the running instance (which opened the
    // file, when one was named).
    bool Forwarded = false;

private:
    void AddTemplates();
    void OpenWithTemplate(CKVMultiDocTemplate* docTemplate, const QString& nativePath,
                          bool (*isView)(const fw::View*));
    void ShowHelp(unsigned command, std::uintptr_t data);

    QStringList m_arguments;
    bool m_singleInstance = true;
    RunControlFactory m_runFactory;
    std::map<const CWendoDoc*, std::unique_ptr<RunControl>> m_runControls;
    fw::QueuedMessageTarget* m_target = nullptr;
    std::unique_ptr<HelpDisplay> m_helpDisplay;
};

} // namespace wendo::ui
