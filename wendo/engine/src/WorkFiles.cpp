// The work-file stream: opening the input and the output of a file, the lines before the line
// region, copying the rest, and rewinding. Worker thread only.

#include "engine/ParseProcess.h"
#include "model/WendoDoc.h"
#include "os/path.h"
#include "os/workdir.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace wendo {

namespace {

constexpr std::size_t kCopyChunk = std::size_t{1024} * 1024;
constexpr std::string_view kAllocError = "Wendo ERROR : Can't alloc working buff\n";
constexpr std::string_view kReadError = "Wendo ERROR : Can't read file\n";
constexpr std::string_view kRewindError = "Wendo ERROR : Can't rewind work files\n";

// A folder whose files stay in memory, where the system has one: the work files are written,
// renamed, read back and deleted for every file, and on a disk each of those steps costs far
// more than the edit itself (half the time of a whole run on a site of small pages).
constexpr std::string_view kMemoryFolder = "\\dev\\shm";
// A larger source keeps its work files on disk: the memory folder is shared with the whole
// system, and a file needs room for two work files of about its size.
constexpr int64_t kMemoryFileLimit = int64_t{16} << 20;
// Room left to the rest of the system in the memory folder: a file whose two work files would
// eat into it keeps them on disk, so that a nearly full memory folder neither fails the file
// half way nor starves other programs.
constexpr int64_t kMemoryReserve = int64_t{32} << 20;
// The rest of a big input is read in pieces of this size, so that a stop is seen between them.
constexpr std::size_t kReadPiece = std::size_t{64} << 20;

} // namespace

CParseProcess::RestBuffer::~RestBuffer()
{
    std::free(data);
}

void CParseProcess::RemoveStaleWorkFolders() const
{
    os::RemoveStaleWorkDirs(m_settings.workParent);
    os::RemoveStaleWorkDirs(kMemoryFolder);
}

int CParseProcess::PrepareWorkFolder(std::string_view parent)
{
    CloseWorkFiles();
    m_fileDir = &m_workDir;
    m_folderPrepared = true;
    return m_workDir.Create(parent);
}

void CParseProcess::ChooseWorkFolder(const std::string& path)
{
    m_fileDir = &m_workDir;
    if (m_folderPrepared) {
        return;
    }
    if (!m_workDir.IsCreated()) {
        m_workDir.Create(); // a failure shows when the work files are opened
    }
    os::FileStatus status;
    if (os::GetStatus(os::ToNative(path), status) != os::FileError::None ||
        status.size > kMemoryFileLimit) {
        return;
    }
    if (!m_memoryTried) {
        m_memoryTried = true;
        os::FileStatus folder;
        if (os::GetStatus(os::ToNative(kMemoryFolder), folder) == os::FileError::None &&
            folder.directory) {
            m_memoryDir.Create(kMemoryFolder);
        }
    }
    // The copy of the source and the two work files.
    if (m_memoryDir.IsCreated() &&
        os::AvailableBytes(os::ToNative(kMemoryFolder)) >= 3 * status.size + kMemoryReserve) {
        m_fileDir = &m_memoryDir;
    }
}

bool CParseProcess::ReadSourceOnce()
{
    m_readPath = m_fileDir->FileIn(kSourceCopy);
    const os::FileHandle copy(m_fileDir->IsCreated() || m_fileDir->Create() == 0
                                  ? os::CreateForWriting(m_fileDir->FileIn(kSourceCopy))
                                  : -1);
    if (!copy.valid()) {
        AppendMessage("ERROR: Can't open temp file", true);
        return false;
    }
    auto chunk = std::unique_ptr<char[]>(new (std::nothrow) char[kCopyChunk]);
    if (!chunk) {
        AppendMessage("ERROR: " + std::string(kAllocError), true);
        return false;
    }
    for (;;) {
        const int64_t got = os::ReadFile(m_source.Fd(), chunk.get(), kCopyChunk);
        if (got < 0) {
            AppendMessage("ERROR: Can't read file", true);
            return false;
        }
        if (got == 0) {
            break;
        }
        if (!os::WriteFile(copy.get(), chunk.get(), static_cast<std::size_t>(got))) {
            AppendMessage("ERROR: Can't write temp file", true);
            return false;
        }
        // Between pieces of a big file only: the command loop asks before each command.
        if (got == static_cast<int64_t>(kCopyChunk) && StopInFile()) {
            return false;
        }
    }
    return true;
}

int CParseProcess::OpenWorkFiles(const std::string& path)
{
    CloseWorkFiles();
    m_inputPos = 0;
    const int input = os::OpenFile(os::ToNative(path), os::OpenMode::Read);
    if (input < 0) {
        AppendMessage("ERROR: Can't open file", false);
        return 1;
    }
    m_input.reset(input);
    m_resultFile = kWorkFile;
    const int output = m_fileDir->IsCreated() || m_fileDir->Create() == 0
                           ? os::CreateForWriting(m_fileDir->FileIn(kWorkFile))
                           : -1;
    if (output < 0) {
        m_input.reset();
        AppendMessage("ERROR: Can't open temp file", false);
        return 1;
    }
    m_output.Attach(output);
    m_lineNumber = 1;
    if (m_doc.FromLine > 1 && !CopyLinesBeforeRegion()) {
        SetError(kReadError);
    }
    return 0;
}

// Copies FROMLINE - 1 lines as a line reader with a buffer of kFromLinePiece + 1 bytes
// would: a line ends after its LF or after kFromLinePiece bytes, and a last line without LF
// counts too.
bool CParseProcess::CopyLinesBeforeRegion()
{
    int64_t linesLeft = m_doc.FromLine - 1;
    auto chunk = std::make_unique<char[]>(kCopyChunk);
    std::size_t piece = 0;
    while (linesLeft > 0) {
        if (os::SeekFile(m_input.get(), m_inputPos, os::SeekFrom::Start) < 0) {
            return false;
        }
        const int64_t got = os::ReadFile(m_input.get(), chunk.get(), kCopyChunk);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            if (piece > 0) {
                ++m_lineNumber;
            }
            break;
        }
        std::size_t used = 0;
        while (used < static_cast<std::size_t>(got) && linesLeft > 0) {
            const char c = chunk[used++];
            if (c == '\n' || ++piece == kFromLinePiece) {
                piece = 0;
                --linesLeft;
                ++m_lineNumber;
            }
        }
        if (!DryRun()) {
            m_output.Write(chunk.get(), used);
        }
        m_inputPos += static_cast<int64_t>(used);
    }
    return true;
}

bool CParseProcess::ReadRest(RestBuffer& buffer)
{
    return ReadInput(buffer, m_inputPos);
}

bool CParseProcess::ReadInput(RestBuffer& buffer, int64_t from)
{
    os::FileStatus status;
    if (os::GetHandleStatus(m_input.get(), status) != os::FileError::None ||
        os::SeekFile(m_input.get(), from, os::SeekFrom::Start) < 0) {
        SetError(kReadError);
        return false;
    }
    const int64_t rest = status.size > from ? status.size - from : 0;
    buffer.data = static_cast<char*>(std::malloc(static_cast<std::size_t>(rest) + 1));
    if (buffer.data == nullptr) {
        SetError(kAllocError);
        return false;
    }
    std::size_t size = 0;
    while (size < static_cast<std::size_t>(rest)) {
        if (size > 0 && StopInFile()) {
            return false;
        }
        const int64_t got =
            os::ReadFile(m_input.get(), buffer.data + size,
                         std::min(kReadPiece, static_cast<std::size_t>(rest) - size));
        if (got < 0) {
            SetError(kReadError);
            return false;
        }
        if (got == 0) {
            break; // the file shrank under us: work on what is there
        }
        size += static_cast<std::size_t>(got);
    }
    buffer.data[size] = '\0';
    buffer.size = size;
    return true;
}

int CParseProcess::CopyRest()
{
    if (!m_input.valid()) {
        return 1;
    }
    auto chunk = std::unique_ptr<char[]>(new (std::nothrow) char[kCopyChunk]);
    if (!chunk) {
        SetError(kAllocError);
        return 1;
    }
    if (os::SeekFile(m_input.get(), m_inputPos, os::SeekFrom::Start) < 0) {
        SetError(kReadError);
        return 1;
    }
    for (;;) {
        const int64_t got = os::ReadFile(m_input.get(), chunk.get(), kCopyChunk);
        if (got < 0) {
            SetError(kReadError);
            return 1;
        }
        if (got == 0) {
            break;
        }
        m_output.Write(chunk.get(), static_cast<std::size_t>(got));
        m_inputPos += got;
        if (got == static_cast<int64_t>(kCopyChunk) && StopInFile()) {
            return 1;
        }
    }
    CheckOutput();
    return m_output.Failed() ? 1 : 0;
}

int CParseProcess::RewindWork(const std::string& path)
{
    if (m_abort) {
        return 1;
    }
    if (DryRun()) {
        CloseWorkFiles();
        return OpenWorkFiles(path) != 0 ? 1 : 0;
    }
    if (CopyRest() != 0) {
        m_abort = true;
        return 1;
    }
    if (!CloseWorkFiles()) {
        SetError("Wendo ERROR : Can't write temp file\n");
        return 1;
    }
    // Renaming gives the same files as copying the output over the rewind file, without
    // copying the whole text once more.
    if (os::RenameFile(os::ToNative(m_fileDir->FileIn(kWorkFile)),
                       os::ToNative(m_fileDir->FileIn(kRewindFile))) != os::FileError::None) {
        SetError(kRewindError);
        return 1;
    }
    if (OpenWorkFiles(m_fileDir->FileIn(kRewindFile)) != 0) {
        return 1;
    }
    m_resultFile = kRewindFile;
    return 0;
}

bool CParseProcess::CloseWorkFiles()
{
    m_input.reset();
    return m_output.Close();
}

void CParseProcess::DeleteWorkFiles()
{
    CloseWorkFiles();
    if (m_fileDir->IsCreated()) {
        os::RemoveFile(os::ToNative(m_fileDir->FileIn(kWorkFile)));
        os::RemoveFile(os::ToNative(m_fileDir->FileIn(kRewindFile)));
        os::RemoveFile(os::ToNative(m_fileDir->FileIn(kSourceCopy)));
    }
}

} // namespace wendo
