// The application object: document templates, the main window, the per-user profile with
// the recent file list, the command line, idle work, and the application's commands (New,
// Open, the recent files, Exit).
//
// There is one application object per process, made after the QApplication and destroyed
// before it. Threads: interface thread only.
#pragma once

#include "core/Document.h"
#include "fw/CommandTarget.h"
#include "fw/DocTemplate.h"
#include "fw/MessageBox.h"
#include "fw/Profile.h"
#include "fw/RecentFileList.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace fw {

class MDIFrame;

// What the command line asks for.
struct CommandLineInfo
{
    enum class Shell
    {
        FileNew,
        FileOpen,
        FileNothing,
    };
    Shell shellCommand = Shell::FileNew;
    QString fileName; // native form
    bool showSplash = true;
};

class WinApp : public CommandTarget
{
public:
    explicit WinApp(QString appName);
    ~WinApp() override;

    static WinApp* Get();
    const QString& GetAppName() const { return m_appName; }

    virtual bool InitInstance();
    virtual int ExitInstance();
    // Idle work between events; true asks for more idle calls soon.
    virtual bool OnIdle(long count);
    // The event loop with idle calls; then ExitInstance. Returns the exit code.
    int Run();

    MultiDocTemplate* AddDocTemplate(std::unique_ptr<MultiDocTemplate> docTemplate);
    const std::vector<std::unique_ptr<MultiDocTemplate>>& GetTemplates() const
    {
        return m_templates;
    }
    // The template for a native path, with the document that already has it open.
    MultiDocTemplate* FindTemplateFor(const QString& nativePath, core::CDocument** open,
                                      Confidence* confidence = nullptr) const;
    // Opens (or activates) a native path with the best template; none when it failed.
    virtual core::CDocument* OpenDocumentFile(const QString& nativePath);
    bool IsDocumentOpen(const void* document) const;

    MDIFrame* GetMainWnd() const { return m_mainWnd.get(); }
    void SetMainWnd(std::unique_ptr<MDIFrame> frame);
    void DestroyMainWnd();

    void SetRegistryKey(const QString& organisation) { m_profile.SetOrganisation(organisation); }
    Profile& GetProfile() { return m_profile; }
    void LoadStdProfileSettings(int recentFiles);
    RecentFileList* GetRecentFileList() { return m_recent.get(); }
    core::Prompter& GetPrompter() { return m_prompter; }

    static CommandLineInfo ParseCommandLine(const QStringList& arguments);
    bool ProcessShellCommand(const CommandLineInfo& info);

    // Asks to save a modified document (Yes, No, Cancel); false on Cancel or a failed save.
    bool SaveModified(core::CDocument& document);
    bool SaveAllModified();
    // Saves to the document's path, or asks for one (saveAs, or no path yet).
    bool DoSave(core::CDocument& document, bool saveAs);
    // Whether the document may be closed now; the base asks SaveModified.
    virtual bool CanCloseDocument(core::CDocument& document);
    // The document is about to be destroyed.
    virtual void OnDocumentClosing(core::CDocument* document);

    void OnFileNew();
    void OnFileOpen();

protected:
    void RegisterAppCommands();

private:
    QString m_appName;
    Profile m_profile;
    std::unique_ptr<RecentFileList> m_recent;
    QtPrompter m_prompter;
    std::vector<std::unique_ptr<MultiDocTemplate>> m_templates;
    std::unique_ptr<MDIFrame> m_mainWnd;
    QTimer* m_idleTimer = nullptr;
    long m_idleCount = 0;
};

} // namespace fw
