#include "WendoApp.h"

#include "Dialogs.h"
#include "Frames.h"
#include "HelpDisplay.h"
#include "MainFrame.h"
#include "TextDocs.h"
#include "Views.h"
#include "WendoIds.h"
#include "companions/Runel.h"
#include "companions/Vitra.h"
#include "core/StringTable.h"
#include "engine/Notifications.h"
#include "fw/ChildFrame.h"
#include "fw/MessageBox.h"
#include "fw/WindowPlacement.h"
#include "model/WendoDoc.h"
#include "os/clock.h"
#include "os/path.h"
#include "plinth/plinth.h"
#include "tessel/FileName.h"
#include "tessel/HtmlHelp.h"
#include "tessel/tessel.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

namespace wendo::ui {

namespace {

template <class Doc> fw::MultiDocTemplate::DocumentFactory Make()
{
    return [] { return std::make_unique<Doc>(); };
}

template <class View> fw::MultiDocTemplate::ViewFactory ViewOf()
{
    return [](core::CDocument& document, QWidget* parent) -> fw::View* {
        if constexpr (std::is_constructible_v<View, CWendoDoc&, QWidget*>) {
            auto* doc = dynamic_cast<CWendoDoc*>(&document);
            return doc != nullptr ? new View(*doc, parent) : nullptr;
        } else {
            return new View(document, parent);
        }
    };
}

int OpenInBrowser(const char* address)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromUtf8(address))) ? 1 : 0;
}

} // namespace

CWendoApp::CWendoApp() : CKVWinApp(QStringLiteral("Wendo"))
{
    InitAppClassParam("WENDO_CLASSAPP", 2, res::MAIN_FRAME);
    m_runFactory = [this](CWendoDoc& document) {
        return MakeEngineRunControl(document, m_target,
                                    [this] { return DesktopRunSettings(GetProfile()); });
    };
}

CWendoApp::~CWendoApp()
{
    Splash.DestroyWindow();
    // Frames and documents go before the run controls and the message target they use.
    DestroyMainWnd();
    m_runControls.clear();
    CURLString::SetBrowserLauncher(nullptr);
}

CWendoApp* CWendoApp::Get()
{
    return dynamic_cast<CWendoApp*>(fw::WinApp::Get());
}

CMainFrame* CWendoApp::GetMainFrame() const
{
    return static_cast<CMainFrame*>(GetMainWnd());
}

bool CWendoApp::HasNoHtmlHelp(const QStringList& arguments)
{
    return arguments.join(QLatin1Char(' '))
        .contains(QLatin1String("NOHTMLHELP"), Qt::CaseSensitive);
}

bool CWendoApp::IsCoalescable(std::uint32_t message)
{
    // These only show the run record as it is when handled. Stepping the progress bar, the
    // start, the end and the resets count one by one and keep their order.
    switch (message) {
    case WMU_FILE_NAME:
    case WMU_STATUS:
    case WMU_COUNTERS:
    case WMU_REPLACED:
    case WMU_COMMAND_BEGIN:
    case WMU_FILE_MODIFIED:
        return true;
    default:
        return false;
    }
}

bool CWendoApp::InitInstance()
{
    if (m_arguments.isEmpty()) {
        m_arguments = QCoreApplication::arguments();
    }
    InitPlinthDLL();
    InitTesselDLL();
    InitVitraDLL();
    const fw::CommandLineInfo info = ParseCommandLine(m_arguments);

    if (m_singleInstance) {
        InitApplication();
        CKVWinApp::InitInstance();
        if (ISApplicationIsUp()) {
            if (info.shellCommand == fw::CommandLineInfo::Shell::FileOpen) {
                Forwarded = ForwardToRunningInstance(info.fileName);
            } else {
                Forwarded = true;
            }
            return false;
        }
    }

    SetRegistryKey(QStringLiteral("Korvel"));
    KVRegistryEntry entries[] = {{"OcxOnFail", KVREG_DWORD, 0, 0, {}, {}}};
    GetKorvelRegistry("Wendo", entries, 1);
    OcxOnFail = entries[0].number;
    LoadStdProfileSettings(4);
    AddTemplates();

    m_target = new fw::QueuedMessageTarget(
        [this](std::uint32_t message, std::intptr_t wParam, void* lParam) -> std::intptr_t {
            CMainFrame* frame = GetMainFrame();
            return frame != nullptr ? frame->OnRunNotification(message, wParam, lParam) : 0;
        },
        &CWendoApp::IsCoalescable, QCoreApplication::instance());

    auto frame = std::make_unique<CMainFrame>(*this);
    if (!frame->LoadFrame()) {
        return false;
    }
    SetMainWnd(std::move(frame));
    QApplication::setWindowIcon(GetMainFrame()->windowIcon());
    CURLString::SetBrowserLauncher(&OpenInBrowser);

    const std::string program =
        os::FromNative(QCoreApplication::applicationFilePath().toStdString());
    ProgramFolder = CFileName(program).GetHostRoot();
    m_helpDisplay = std::make_unique<HelpDisplay>();
    HelpPath.clear();
    if (ISHtmlHelpAvailable() != 0) {
        GetHTMLHelpPath(HelpPath);
    }
    HelpFileUsed = !HelpPath.empty() && !HasNoHtmlHelp(m_arguments);

    GetMainFrame()->InitialShowWindow(fw::SW_HIDE);
    if (m_singleInstance) {
        KVRegisterShellFileTypes(".wdo", "application/x-wendo-command", "Wendo Command file",
                                 QCoreApplication::applicationFilePath().toUtf8().constData());
        if (fw::SingleInstance* instance = GetSingleInstance()) {
            instance->SetOpenHandler([this](const QString& path) {
                const bool opened = OpenDocumentFile(path) != nullptr;
                CMainFrame* main = GetMainFrame();
                if (main->isMinimized()) {
                    main->showNormal();
                }
                main->raise();
                main->activateWindow();
                return opened;
            });
        }
    }

    fw::CommandLineInfo shell = info;
    if (shell.shellCommand == fw::CommandLineInfo::Shell::FileNew) {
        shell.shellCommand = fw::CommandLineInfo::Shell::FileNothing;
    }
    if (!GetMainFrame()->isMinimized() && shell.showSplash) {
        Splash.Create(QStringLiteral("Wendo"), QStringLiteral("Batch editing of HTML pages"),
                      QStringLiteral("Korvel"), 0, true,
                      QStringLiteral("Version " WENDO_VERSION_TEXT), GetMainFrame());
        Splash.ShowWindow();
    }
    StartTick = os::MonotonicMilliseconds();
    if (!ProcessShellCommand(shell)) {
        return false;
    }
    GetMainFrame()->InitialShowWindow(fw::SW_SHOWNORMAL);
    return true;
}

void CWendoApp::AddTemplates()
{
    const auto frameOf = [](auto make) -> fw::MultiDocTemplate::FrameFactory { return make; };
    CommandTemplate =
        static_cast<CKVMultiDocTemplate*>(AddDocTemplate(std::make_unique<CKVMultiDocTemplate>(
            res::COMMAND,
            "Command\nWendo\nWendo\nWendo Files (*.wdo)\n.wdo\nWendo.Document\nWendo Command file",
            Make<CWendoDoc>(),
            frameOf([](fw::MultiDocTemplate& t, core::CDocument& d) -> fw::ChildFrame* {
                return new CSplitFrame(t, d);
            }),
            ViewOf<CCmdView>(), fw::ViewClassOf<CCmdView>())));
    PathTemplate =
        static_cast<CKVMultiDocTemplate*>(AddDocTemplate(std::make_unique<CKVMultiDocTemplate>(
            res::PATH, "Path\npath\n\n\n\nWendoFileType\nWendo  File Type", Make<CWendoDoc>(),
            frameOf([](fw::MultiDocTemplate& t, core::CDocument& d) -> fw::ChildFrame* {
                return new CChildFrame(t, d, kPathMenu);
            }),
            ViewOf<CPathView>(), fw::ViewClassOf<CPathView>())));
    ParseCmdTemplate =
        static_cast<CKVMultiDocTemplate*>(AddDocTemplate(std::make_unique<CKVMultiDocTemplate>(
            res::PARSE_CMD, "ParseCmd\nparsecmd\n\n\n\nWendoFileType\nWendo  File Type",
            Make<CWendoDoc>(),
            frameOf([](fw::MultiDocTemplate& t, core::CDocument& d) -> fw::ChildFrame* {
                return new CChildFrame(t, d, kParseCmdMenu);
            }),
            ViewOf<CParseCmdView>(), fw::ViewClassOf<CParseCmdView>())));
    ReportTemplate =
        static_cast<CKVMultiDocTemplate*>(AddDocTemplate(std::make_unique<CKVMultiDocTemplate>(
            res::REPORT, "Report\nReport\n\n\n\nWendoReport\nWendo Report Type", Make<CWendoDoc>(),
            frameOf([](fw::MultiDocTemplate& t, core::CDocument& d) -> fw::ChildFrame* {
                return new CReportFrame(t, d);
            }),
            ViewOf<CProgressView>(), fw::ViewClassOf<CProgressView>())));
    TextTemplate =
        static_cast<CKVMultiDocTemplate*>(AddDocTemplate(std::make_unique<CKVMultiDocTemplate>(
            res::TEXT, "Text\nText\n\nText files (*.txt *.htm *.html)\n.txt;.*\n\n",
            Make<CTextDoc>(),
            frameOf([](fw::MultiDocTemplate& t, core::CDocument& d) -> fw::ChildFrame* {
                return new CTextFrame(t, d);
            }),
            ViewOf<CTextView>(), fw::ViewClassOf<CTextView>())));
    WebTemplate =
        static_cast<CKVMultiDocTemplate*>(AddDocTemplate(std::make_unique<CKVMultiDocTemplate>(
            res::WEB, "Web\nWeb\n\n\n\nHtmlView\nHtml View Type", Make<CWebDoc>(),
            frameOf([](fw::MultiDocTemplate& t, core::CDocument& d) -> fw::ChildFrame* {
                return new CWebFrame(t, d);
            }),
            ViewOf<CWebView>(), fw::ViewClassOf<CWebView>())));
}

int CWendoApp::ExitInstance()
{
    Splash.DestroyWindow();
    return CKVWinApp::ExitInstance();
}

bool CWendoApp::OnIdle(long count)
{
    fw::WinApp::OnIdle(count);
    for (const auto& docTemplate : GetTemplates()) {
        for (core::CDocument* document : docTemplate->GetDocuments()) {
            if (auto* doc = dynamic_cast<CWendoDoc*>(document)) {
                doc->UpdateProgressState();
            }
        }
    }
    if (!Splash.Exists()) {
        return false;
    }
    if (os::MonotonicMilliseconds() - StartTick <= kSplashMs) {
        return true;
    }
    Splash.DestroyWindow();
    if (GetMainWnd() != nullptr) {
        GetMainWnd()->update();
    }
    return false;
}

core::CDocument* CWendoApp::OpenDocumentFile(const QString& nativePath)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    core::CDocument* document = fw::WinApp::OpenDocumentFile(nativePath);
    QApplication::restoreOverrideCursor();
    return document;
}

void CWendoApp::OpenWithTemplate(CKVMultiDocTemplate* docTemplate, const QString& nativePath,
                                 bool (*isView)(const fw::View*))
{
    if (nativePath.isEmpty() || docTemplate == nullptr) {
        return;
    }
    const std::string path = os::FromNative(nativePath.toStdString());
    for (core::CDocument* document : docTemplate->GetDocuments()) {
        if (fw::SamePath(document->GetPathName(), path)) {
            GetMainFrame()->ActivateDocView(docTemplate, isView, document);
            return;
        }
    }
    docTemplate->OpenDocumentFile(path, true);
}

void CWendoApp::OpenTextFile(const QString& nativePath)
{
    OpenWithTemplate(TextTemplate, nativePath, fw::ViewClassOf<CTextView>());
}

void CWendoApp::OpenWebFile(const QString& nativePath)
{
    OpenWithTemplate(WebTemplate, nativePath, fw::ViewClassOf<CWebView>());
}

bool CWendoApp::RefuseWhileRunning(const core::CDocument* document)
{
    const auto* doc = dynamic_cast<const CWendoDoc*>(document);
    if (doc == nullptr || doc->Started.load() == 0) {
        return false;
    }
    // A run reads the document until its end; the document stays until then.
    fw::MessageBox(core::Msg::DOCUMENT_IN_PROCESS, core::PromptButtons::Ok,
                   core::PromptIcon::Exclamation, GetMainWnd());
    return true;
}

bool CWendoApp::CanCloseDocument(core::CDocument& document)
{
    return !RefuseWhileRunning(&document) && fw::WinApp::CanCloseDocument(document);
}

void CWendoApp::OnDocumentClosing(core::CDocument* document)
{
    if (m_target != nullptr) {
        m_target->Forget(document);
    }
    if (auto* doc = dynamic_cast<CWendoDoc*>(document)) {
        m_runControls.erase(doc);
    }
}

CWendoDoc* CWendoApp::FindOpenWendoDoc(const void* address) const
{
    if (address == nullptr) {
        return nullptr;
    }
    for (const auto& docTemplate : GetTemplates()) {
        for (core::CDocument* document : docTemplate->GetDocuments()) {
            auto* doc = dynamic_cast<CWendoDoc*>(document);
            if (doc != nullptr && static_cast<const void*>(doc) == address) {
                return doc;
            }
        }
    }
    return nullptr;
}

RunControl& CWendoApp::GetRunControl(CWendoDoc& document)
{
    auto found = m_runControls.find(&document);
    if (found == m_runControls.end()) {
        found = m_runControls.emplace(&document, m_runFactory(document)).first;
    }
    return *found->second;
}

void CWendoApp::ShowHelp(unsigned command, std::uintptr_t data)
{
    if (!IsHtmlHelpUsed()) {
        ShowHelpFallback();
        return;
    }
    const std::string target = HelpPath + ">WendoWndType";
    if (HtmlHelpA(GetMainWnd(), target.c_str(), command, data) == nullptr) {
        ShowHelpFallback();
    }
}

void CWendoApp::OnHelpTopics()
{
    ShowHelp(HH_DISPLAY_TOPIC, 0);
}

void CWendoApp::OnHelpContext(unsigned context)
{
    if (!IsHtmlHelpUsed()) {
        ShowHelpFallback();
        return;
    }
    if (InContextHelp) {
        InContextHelp = false;
        return;
    }
    ShowHelp(HH_HELP_CONTEXT, context);
}

void CWendoApp::ShowHelpFallback()
{
    CHelpFallbackDialog dialog(GetMainWnd());
    dialog.exec();
}

} // namespace wendo::ui
