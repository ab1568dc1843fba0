#include "fw/WinApp.h"

#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "fw/MDIFrame.h"
#include "os/path.h"

#include <QApplication>
#include <QFileDialog>
#include <algorithm>
#include <QFileInfo>
#include <QTimer>

namespace fw {

namespace {

WinApp* g_app = nullptr;

// Idle calls while more idle work is wanted, then only after the next event.
constexpr int kIdlePeriodMs = 100;

std::string KeptPath(const QString& nativePath)
{
    return os::FromNative(nativePath.toStdString());
}

} // namespace

WinApp::WinApp(QString appName) : m_appName(std::move(appName)), m_profile(QString(), m_appName)
{
    g_app = this;
    QCoreApplication::setApplicationName(m_appName);
    RegisterAppCommands();
}

WinApp::~WinApp()
{
    DestroyMainWnd();
    if (g_app == this) {
        g_app = nullptr;
    }
}

WinApp* WinApp::Get()
{
    return g_app;
}

bool WinApp::InitInstance()
{
    return true;
}

int WinApp::ExitInstance()
{
    if (m_recent) {
        m_recent->WriteList();
    }
    return 0;
}

bool WinApp::OnIdle(long /*count*/)
{
    return false;
}

int WinApp::Run()
{
    m_idleTimer = new QTimer(QCoreApplication::instance());
    QObject::connect(m_idleTimer, &QTimer::timeout, m_idleTimer, [this] {
        if (!OnIdle(m_idleCount++)) {
            m_idleCount = 0;
        }
    });
    m_idleTimer->start(kIdlePeriodMs);
    const int code = QApplication::exec();
    delete m_idleTimer;
    m_idleTimer = nullptr;
    const int exitCode = ExitInstance();
    DestroyMainWnd();
    return code != 0 ? code : exitCode;
}

MultiDocTemplate* WinApp::AddDocTemplate(std::unique_ptr<MultiDocTemplate> docTemplate)
{
    docTemplate->SetApp(this);
    m_templates.push_back(std::move(docTemplate));
    return m_templates.back().get();
}

MultiDocTemplate* WinApp::FindTemplateFor(const QString& nativePath, core::CDocument** open,
                                          Confidence* confidence) const
{
    const std::string path = KeptPath(nativePath);
    MultiDocTemplate* best = nullptr;
    Confidence bestConfidence = Confidence::noAttempt;
    core::CDocument* bestMatch = nullptr;
    for (const auto& docTemplate : m_templates) {
        core::CDocument* match = nullptr;
        const Confidence found = docTemplate->MatchDocType(path, match);
        if (found > bestConfidence) {
            best = docTemplate.get();
            bestConfidence = found;
            bestMatch = match;
        }
    }
    if (open != nullptr) {
        *open = bestConfidence == Confidence::yesAlreadyOpen ? bestMatch : nullptr;
    }
    if (confidence != nullptr) {
        *confidence = bestConfidence;
    }
    return best;
}

core::CDocument* WinApp::OpenDocumentFile(const QString& nativePath)
{
    core::CDocument* open = nullptr;
    MultiDocTemplate* docTemplate = FindTemplateFor(nativePath, &open);
    if (docTemplate == nullptr) {
        return nullptr;
    }
    if (open != nullptr) {
        // The document's first frame comes to the front.
        for (ChildFrame* frame :
             m_mainWnd ? m_mainWnd->GetChildFrames() : std::vector<ChildFrame*>{}) {
            if (frame->GetActiveDocument() == open) {
                m_mainWnd->ActivateFrame(frame);
                break;
            }
        }
        return open;
    }
    const QFileInfo info(nativePath);
    const QString absolute = info.isRelative() ? info.absoluteFilePath() : nativePath;
    core::CDocument* document = docTemplate->OpenDocumentFile(KeptPath(absolute));
    if (document != nullptr && m_recent) {
        m_recent->Add(absolute);
        m_recent->WriteList();
    }
    return document;
}

bool WinApp::IsDocumentOpen(const void* document) const
{
    for (const auto& docTemplate : m_templates) {
        if (docTemplate->HasDocument(document)) {
            return true;
        }
    }
    return false;
}

void WinApp::SetMainWnd(std::unique_ptr<MDIFrame> frame)
{
    DestroyMainWnd();
    m_mainWnd = std::move(frame);
}

void WinApp::DestroyMainWnd()
{
    m_mainWnd.reset();
}

void WinApp::LoadStdProfileSettings(int recentFiles)
{
    m_recent = std::make_unique<RecentFileList>(m_profile, recentFiles);
    m_recent->ReadList();
}

CommandLineInfo WinApp::ParseCommandLine(const QStringList& arguments)
{
    CommandLineInfo info;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        // "/nologo" is the historic spelling of the switch; any other word starting with '/'
        // is an absolute path.
        if (argument.compare(QLatin1String("/nologo"), Qt::CaseInsensitive) == 0 ||
            argument.compare(QLatin1String("-nologo"), Qt::CaseInsensitive) == 0) {
            info.showSplash = false;
            continue;
        }
        // The help switch is a word of its own, never a file name.
        if (argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("NOHTMLHELP")) {
            continue;
        }
        if (info.fileName.isEmpty()) {
            info.fileName = argument;
            info.shellCommand = CommandLineInfo::Shell::FileOpen;
        }
    }
    return info;
}

bool WinApp::ProcessShellCommand(const CommandLineInfo& info)
{
    switch (info.shellCommand) {
    case CommandLineInfo::Shell::FileNew:
        OnFileNew();
        return true;
    case CommandLineInfo::Shell::FileOpen:
        return OpenDocumentFile(info.fileName) != nullptr;
    case CommandLineInfo::Shell::FileNothing:
        break;
    }
    return true;
}

bool WinApp::SaveModified(core::CDocument& document)
{
    if (!document.IsModified()) {
        return true;
    }
    QString name = QString::fromStdString(document.GetTitle());
    if (name.isEmpty()) {
        name = QStringLiteral("Untitled");
    }
    switch (MessageBox(QStringLiteral("Save changes to %1?").arg(name),
                       core::PromptButtons::YesNoCancel, core::PromptIcon::Exclamation)) {
    case core::PromptAnswer::Yes:
        return DoSave(document, false);
    case core::PromptAnswer::No:
        return true;
    default:
        return false;
    }
}

bool WinApp::SaveAllModified()
{
    for (const auto& docTemplate : m_templates) {
        for (core::CDocument* document : docTemplate->GetDocuments()) {
            if (!CanCloseDocument(*document)) {
                return false;
            }
        }
    }
    return true;
}

bool WinApp::DoSave(core::CDocument& document, bool saveAs)
{
    std::string path = document.GetPathName();
    if (saveAs || path.empty()) {
        // The document's own file type first, named as the file manager names it; its
        // extension is added to a name that has none.
        QStringList filters;
        QString extension;
        for (const auto& docTemplate : m_templates) {
            const auto documents = docTemplate->GetDocuments();
            if (std::find(documents.begin(), documents.end(), &document) == documents.end()) {
                continue;
            }
            const std::string ext = docTemplate->GetDocString(DocString::filterExt);
            const std::string type = docTemplate->GetDocString(DocString::regFileTypeName);
            if (!ext.empty() && ext.find(';') == std::string::npos) {
                extension = QString::fromStdString(ext);
                if (!type.empty()) {
                    filters << QStringLiteral("%1 (*%2)").arg(QString::fromStdString(type),
                                                               extension);
                }
            }
            if (filters.isEmpty() && !docTemplate->GetDocString(DocString::filterName).empty()) {
                filters << QString::fromStdString(docTemplate->GetDocString(DocString::filterName));
            }
        }
        filters << QStringLiteral("All Files (*)");
        QString chosen = QFileDialog::getSaveFileName(
            m_mainWnd.get(), QStringLiteral("Save As"), QString::fromStdString(os::ToNative(path)),
            filters.join(QStringLiteral(";;")));
        if (chosen.isEmpty()) {
            return false;
        }
        if (!extension.isEmpty() && QFileInfo(chosen).suffix().isEmpty()) {
            chosen += extension;
        }
        path = KeptPath(chosen);
    }
    if (!document.OnSaveDocument(path)) {
        return false;
    }
    document.SetPathName(path);
    if (m_recent) {
        m_recent->Add(QString::fromStdString(os::ToNative(path)));
        m_recent->WriteList();
    }
    return true;
}

bool WinApp::CanCloseDocument(core::CDocument& document)
{
    return SaveModified(document);
}

void WinApp::OnDocumentClosing(core::CDocument* /*document*/)
{
}

void WinApp::OnFileNew()
{
    // The first template that names a new file makes the new document.
    for (const auto& docTemplate : m_templates) {
        if (!docTemplate->GetDocString(DocString::fileNewName).empty()) {
            docTemplate->OpenDocumentFile({});
            return;
        }
    }
}

void WinApp::OnFileOpen()
{
    QStringList filters;
    for (const auto& docTemplate : m_templates) {
        const std::string name = docTemplate->GetDocString(DocString::filterName);
        if (!name.empty()) {
            filters << QString::fromStdString(name);
        }
    }
    filters << QStringLiteral("All Files (*)");
    const QString path = QFileDialog::getOpenFileName(
        m_mainWnd.get(), QStringLiteral("Open"), QString(), filters.join(QStringLiteral(";;")));
    if (!path.isEmpty()) {
        OpenDocumentFile(path);
    }
}

void WinApp::RegisterAppCommands()
{
    OnCommandId(id::FILE_NEW, [this] { OnFileNew(); });
    OnCommandId(id::FILE_OPEN, [this] { OnFileOpen(); });
    OnCommandId(id::APP_EXIT, [this] {
        if (m_mainWnd) {
            m_mainWnd->close();
        }
    });
    for (int i = 0; i <= id::FILE_MRU_LAST - id::FILE_MRU_FIRST; ++i) {
        OnCommandId(
            id::FILE_MRU_FIRST + i,
            [this, i] {
                if (!m_recent || i >= m_recent->GetEntries().size()) {
                    return;
                }
                const QString path = m_recent->GetEntries()[i];
                if (OpenDocumentFile(path) == nullptr) {
                    m_recent->Remove(i);
                    m_recent->WriteList();
                }
            },
            [this, i](CommandState& state) {
                state.enabled = m_recent && i < m_recent->GetEntries().size();
            });
    }
}

} // namespace fw
