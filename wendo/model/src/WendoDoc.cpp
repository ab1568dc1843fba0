#include "model/WendoDoc.h"

#include "core/StringTable.h"
#include "core/archive.h"
#include "model/CommandFile.h"
#include "model/DocViews.h"
#include "tessel/FileName.h"

#include <iterator>
#include <memory>
#include <system_error>

namespace wendo {

const core::CRuntimeClass CWendoDoc::classCWendoDoc{
    "CWendoDoc", &core::CDocument::classCDocument,
    []() -> std::unique_ptr<core::CObject> { return std::make_unique<CWendoDoc>(); }};

CWendoDoc::CWendoDoc() = default;

CWendoDoc::~CWendoDoc()
{
    EndProcess();
    std::unique_ptr<CKillProcessThread> stopThread;
    {
        std::lock_guard lock(RunLock);
        stopThread = std::move(StopThread);
    }
}

const core::CRuntimeClass* CWendoDoc::GetRuntimeClass() const
{
    return &classCWendoDoc;
}

void CWendoDoc::Serialize(core::CArchive& ar)
{
    const int done = ar.IsStoring() ? WriteCommandFile(*this, ar) : ReadCommandFile(*this, ar);
    if (done == 0) {
        throw core::CArchiveException(core::CArchiveException::badSchema);
    }
}

bool CWendoDoc::OnSaveDocument(std::string_view path)
{
    for (OptionView* view : FindViews<OptionView>()) {
        if (!view->StoreOptions()) {
            return false;
        }
    }
    return CDocument::OnSaveDocument(path);
}

void CWendoDoc::ResetOptions()
{
    ReportPath.clear();
    BackupExt = "bak";
    Verbose = 0;
    Rewind = 0;
    Report = 0;
    LogUnmodified = 0;
    NoWrite = 0;
    Backup = 1;
    ModifTime = 0;
    LastReportTime = 0;
    ReportModifTime = 0;
    LastRunTime = 0;
    FromLine = 0;
    ToLine = 0;
}

void CWendoDoc::DeleteContents()
{
    ResetOptions();
    Commands.clear();
    m_commandCursor = 0;
    FileSet.Clear();
    Run.ClearCounters();
}

// ---- Commands ----

int CWendoDoc::FirstCommand()
{
    if (Commands.empty()) {
        return 0;
    }
    m_commandCursor = 0;
    return 1;
}

int CWendoDoc::NextCommand(CParseCmd& out)
{
    if (m_commandCursor >= Commands.size()) {
        return 0;
    }
    out.Assign(*std::next(Commands.begin(), static_cast<std::ptrdiff_t>(m_commandCursor)));
    ++m_commandCursor;
    return 1;
}

int CWendoDoc::NextCommandEntry(CParseCmdList& out)
{
    if (m_commandCursor >= Commands.size()) {
        return 0;
    }
    out = *std::next(Commands.begin(), static_cast<std::ptrdiff_t>(m_commandCursor));
    ++m_commandCursor;
    return 1;
}

int CWendoDoc::HasFileStatCommand() const
{
    for (const CParseCmdList& command : Commands) {
        if (command.Type == CmdType::DISPLAY_FILESTAT) {
            return 1;
        }
    }
    return 0;
}

int CWendoDoc::StoreCommand(int32_t position, const CParseCmd& command, CommandListView* view,
                            int insert)
{
    if (position < -1 || (position >= 0 && static_cast<std::size_t>(position) >= Commands.size())) {
        return 0;
    }
    // Built in place from the text: a copy would parse the text once more and trim it.
    const CParseCmdList stored{std::string_view(command.Text)};
    const bool fileStat = stored.Type == CmdType::DISPLAY_FILESTAT;
    if (position == -1) {
        if (fileStat) {
            Commands.emplace_front(std::string_view(command.Text));
        } else {
            Commands.emplace_back(std::string_view(command.Text));
        }
        if (view != nullptr) {
            view->CommandRowAdded(fileStat ? 0 : CommandCount() - 1);
        }
        SetModifiedFlag(true);
        return 1;
    }
    auto at = std::next(Commands.begin(), position);
    if (fileStat && position > 0) {
        Commands.erase(at);
        Commands.emplace_front(std::string_view(command.Text));
        if (view != nullptr) {
            view->CommandRowMoved(position, 0);
        }
    } else if (insert != 0) {
        Commands.emplace(std::next(at), std::string_view(command.Text));
        if (view != nullptr) {
            view->CommandRowAdded(position + 1);
        }
    } else {
        *at = stored;
        if (view != nullptr) {
            view->CommandRowChanged(position);
        }
    }
    SetModifiedFlag(true);
    return 1;
}

int CWendoDoc::FindCommandEditor(int32_t position, int activate)
{
    for (const CParseCmdList& command : Commands) {
        if (command.EditPosition == position) {
            if (activate != 0 && command.EditorFrame != nullptr && m_frameActivator) {
                m_frameActivator(command.EditorFrame);
            }
            return 1;
        }
    }
    return 0;
}

void CWendoDoc::SetFrameActivator(std::function<void(void*)> activator)
{
    m_frameActivator = std::move(activator);
}

// ---- File set ----

int CWendoDoc::IsFileEntryExcluded(int32_t index) const
{
    const CFileList* entry = FileSet.At(index);
    return entry != nullptr ? entry->IsExclude() : 0;
}

int CWendoDoc::IsFileEntryRecursive(int32_t index) const
{
    const CFileList* entry = FileSet.At(index);
    return entry != nullptr ? entry->IsRecursive() : 0;
}

int CWendoDoc::ModifyFileEntry(int32_t index, int16_t code)
{
    CFileList* entry = FileSet.At(index);
    switch (code) {
    case kToggleExclude:
        if (entry != nullptr) {
            entry->ToggleExclude();
        }
        break;
    case kRemoveEntry:
        FileSet.RemoveAt(index);
        break;
    case kToggleRecursive:
        if (entry != nullptr) {
            entry->ToggleRecursive();
        }
        break;
    case kRemoveAllEntries:
        FileSet.Clear();
        break;
    default:
        break;
    }
    SetModifiedFlag(true);
    return 1;
}

void CWendoDoc::SetFileSet(int32_t count, std::string_view text)
{
    FileSet.LoadFromText(count, text);
    if (auto* view = FindView<FileListView>()) {
        view->RefreshFileList();
    }
    SetModifiedFlag(true);
}

// ---- Runs ----

int CWendoDoc::CanRun() const
{
    return !IsModified() && !Commands.empty() && FileSet.Count() > 0 && OpenCommandEditors == 0 &&
                   OpenPathSelectors == 0
               ? 1
               : 0;
}

void CWendoDoc::UpdateProgressState()
{
    if (auto* view = FindView<ProgressView>()) {
        view->UpdateRunState(CanRun() != 0, Started.load() != 0, Suspended.load() != 0);
    }
}

// ---- Run hand-over ----

CKillProcessThread::~CKillProcessThread()
{
    Join();
}

int CKillProcessThread::CreateThread()
{
    if (m_thread.joinable()) {
        return 0;
    }
    try {
        m_thread = std::thread([this] { m_doc.EndProcess(); });
    } catch (const std::system_error&) {
        return 0;
    }
    return 1;
}

void CKillProcessThread::Join()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

int CWendoDoc::StartProcess()
{
    std::unique_lock lock(RunLock);
    if (Started.load() != 0) {
        return 0;
    }
    // The stop thread of an earlier run may still be on its way out of EndProcess, which takes
    // RunLock: it is joined with the lock released (with Started clear it no longer waits for a
    // worker), and before the new engine exists, so that it can never end the new run.
    if (StopThread != nullptr) {
        std::unique_ptr<CKillProcessThread> earlier = std::move(StopThread);
        lock.unlock();
        earlier.reset();
        lock.lock();
        if (Started.load() != 0 || Engine != nullptr) {
            return 0;
        }
    }
    // The worker reads the file set without a lock; the folder is set before it starts.
    FileSet.SetBaseFolder(CommandFolder());
    if (m_runServices != nullptr) {
        Engine = m_runServices->CreateProcess(*this);
    }
    if (Engine == nullptr) {
        lock.unlock();
        Ask(core::LoadString(core::Msg::CANT_START_PROCESS), core::PromptButtons::Ok,
            core::PromptIcon::Stop);
        return 0;
    }
    if (Engine->Launch() == 0) {
        lock.unlock();
        Ask(core::LoadString(core::Msg::CANT_START_PROCESS), core::PromptButtons::Ok,
            core::PromptIcon::Stop);
        EndProcess();
        return 0;
    }
    Started.store(1);
    return 1;
}

int CWendoDoc::EndProcess()
{
    std::unique_ptr<RunProcess> engine;
    {
        std::unique_lock lock(RunLock);
        engine = std::move(Engine);
        if (engine == nullptr) {
            // Another thread (the stop thread, usually) may be ending the run: it is over only
            // once that thread has released the process and its work files.
            m_runEnded.wait(lock, [this] { return !m_ending; });
            return 1;
        }
        m_ending = true;
    }
    // Started stays set while the worker is waited for, so no run can start meanwhile.
    engine->Finish();
    engine.reset();
    {
        std::lock_guard lock(RunLock);
        Started.store(0);
        Suspended.store(0);
        m_ending = false;
    }
    m_runEnded.notify_all();
    return 1;
}

void CWendoDoc::ResumeProcess()
{
    std::lock_guard lock(RunLock);
    if (Engine != nullptr) {
        Suspended.store(0);
        Engine->SetSuspendEvent(false);
    }
}

int CWendoDoc::StopProcess()
{
    std::lock_guard lock(RunLock);
    if (Engine == nullptr) {
        return 0;
    }
    // Stop is signalled before the suspension is lifted, so that a suspended worker ends
    // where it waits instead of running on until the stop thread gets to it.
    Engine->RequestStop();
    Suspended.store(0);
    Engine->SetSuspendEvent(false);
    if (StopThread != nullptr) {
        return 1; // already stopping
    }
    StopThread = std::make_unique<CKillProcessThread>(*this);
    if (StopThread->CreateThread() == 0) {
        StopThread.reset();
        return 0;
    }
    return 1;
}

int CWendoDoc::AskStopProcess()
{
    {
        std::lock_guard lock(RunLock);
        if (Engine == nullptr) {
            return 0;
        }
        Suspended.store(1);
        Engine->SetSuspendEvent(true);
    }
    // Without anyone to ask, the question is cancelled, as a dialog closed unanswered.
    const StopChoice choice =
        m_stopPrompter != nullptr ? m_stopPrompter->AskStopOrSuspend() : StopChoice::Cancel;
    switch (choice) {
    case StopChoice::Suspend:
        return 1;
    case StopChoice::Stop:
        StopProcess();
        return 0;
    case StopChoice::Cancel:
        break;
    }
    ResumeProcess();
    return 0;
}

int CWendoDoc::LoadReport()
{
    return m_runServices != nullptr ? m_runServices->LoadReport(*this) : 0;
}

std::string CWendoDoc::ReportFileFor(std::string_view reportPath, std::string_view commandFile)
{
    const CFileName name{std::string(commandFile)};
    if (!reportPath.empty()) {
        return ResolveFromCommandFolder(reportPath, name.GetHostRoot());
    }
    return name.GetHostRoot() + name.GetFileTitle() + ".log";
}

std::string CWendoDoc::CommandFolder() const
{
    return CFileName(GetPathName()).GetHostRoot();
}

} // namespace wendo
