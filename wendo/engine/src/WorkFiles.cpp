// The work-file stream: opening the input and the output of a file, the lines before the line
// region, copying the rest, and rewinding. Worker thread only.

#include "engine/ParseProcess.h"
#include "model/WendoDoc.h"
#include "os/path.h"
#include "os/workdir.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>

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
// Memory a file in memory leaves allocated for the next one, per buffer.
constexpr std::size_t kKeptBuffer = std::size_t{4} << 20;
// The rest of a big input is read in pieces of this size, so that a stop is seen between them.
constexpr std::size_t kReadPiece = std::size_t{64} << 20;

} // namespace

CParseProcess::RestBuffer::~RestBuffer()
{
    if (owned) {
        std::free(data);
    }
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

void CParseProcess::ChooseWorkFolder()
{
    m_fileDir = &m_workDir;
    const int64_t size = m_source.Size();
    m_inMemory = m_settings.capture == nullptr && m_settings.memoryLimit >= 0 &&
                 size <= m_settings.memoryLimit;
    if (m_folderPrepared) {
        return;
    }
    // Also where the write-back stages the new texts of files worked on in memory.
    if (!m_workDir.IsCreated()) {
        m_workDir.Create(); // a failure shows when the work files are opened
    }
    if (m_inMemory || size > kMemoryFileLimit) {
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
        os::AvailableBytes(os::ToNative(kMemoryFolder)) >= 3 * size + kMemoryReserve) {
        m_fileDir = &m_memoryDir;
    }
}

bool CParseProcess::ReadSourceToMemory()
{
    m_readPath.clear();
    m_inputText = &m_sourceText;
    std::size_t size = 0;
    try {
        // One byte more than the file holds, so that its end is met without growing.
        m_sourceText.resize(static_cast<std::size_t>(m_source.Size()) + 1);
        for (;;) {
            if (size == m_sourceText.size()) {
                m_sourceText.resize(size + kCopyChunk); // it grew since it was opened
            }
            const std::size_t want = std::min(kCopyChunk, m_sourceText.size() - size);
            const int64_t got = os::ReadFile(m_source.Fd(), m_sourceText.data() + size, want);
            if (got < 0) {
                m_sourceText.clear();
                AppendMessage("ERROR: Can't read file", true);
                return false;
            }
            if (got == 0) {
                break;
            }
            size += static_cast<std::size_t>(got);
            if (got == static_cast<int64_t>(kCopyChunk) && StopInFile()) {
                m_sourceText.clear();
                return false;
            }
        }
    } catch (const std::bad_alloc&) {
        m_sourceText.clear();
        AppendMessage("ERROR: Can't open temp file", true);
        return false;
    }
    m_sourceText.resize(size);
    return true;
}

bool CParseProcess::ReadSourceOnce()
{
    if (m_inMemory) {
        return ReadSourceToMemory();
    }
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

void CParseProcess::OpenMemoryWork(const std::string& input)
{
    CloseWorkFiles();
    m_inputPos = 0;
    m_inputText = &input;
    m_resultFile = kWorkFile;
    m_output.AttachMemory(m_outputText);
    StartAtFirstLine();
}

void CParseProcess::StartAtFirstLine()
{
    m_lineNumber = 1;
    if (m_doc.FromLine > 1 && !CopyLinesBeforeRegion()) {
        SetError(kReadError);
    }
}

int CParseProcess::OpenWorkFiles(const std::string& path)
{
    if (m_inMemory) {
        OpenMemoryWork(m_sourceText);
        return 0;
    }
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
    StartAtFirstLine();
    return 0;
}

// Copies FROMLINE - 1 lines as a line reader with a buffer of kFromLinePiece + 1 bytes
// would: a line ends after its LF or after kFromLinePiece bytes, and a last line without LF
// counts too.
bool CParseProcess::CopyLinesBeforeRegion()
{
    int64_t linesLeft = m_doc.FromLine - 1;
    if (m_inMemory) {
        const std::string& input = *m_inputText;
        auto at = static_cast<std::size_t>(m_inputPos);
        std::size_t piece = 0;
        while (linesLeft > 0 && at < input.size()) {
            if (input[at++] == '\n' || ++piece == kFromLinePiece) {
                piece = 0;
                --linesLeft;
                ++m_lineNumber;
            }
        }
        if (linesLeft > 0 && piece > 0) {
            ++m_lineNumber; // a last line without LF
        }
        if (!DryRun()) {
            m_output.Write(input.data() + m_inputPos, at - static_cast<std::size_t>(m_inputPos));
        }
        m_inputPos = static_cast<int64_t>(at);
        return true;
    }
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
    if (m_inMemory) {
        const std::string& input = *m_inputText;
        const std::size_t at = std::min(static_cast<std::size_t>(from), input.size());
        // The commands only read their buffer; the string keeps its NUL behind the end.
        buffer.data = const_cast<char*>(input.data()) + at;
        buffer.size = input.size() - at;
        buffer.owned = false;
        return true;
    }
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
    if (m_inMemory) {
        const std::string& input = *m_inputText;
        const std::size_t at = std::min(static_cast<std::size_t>(m_inputPos), input.size());
        m_output.Write(input.data() + at, input.size() - at);
        m_inputPos = static_cast<int64_t>(input.size());
        CheckOutput();
        return m_output.Failed() ? 1 : 0;
    }
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
    if (m_inMemory) {
        m_rewoundText.swap(m_outputText);
        OpenMemoryWork(m_rewoundText);
        m_resultFile = kRewindFile;
        return 0;
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

bool CParseProcess::ResultText(std::string& text) const
{
    if (m_inMemory) {
        text = ResultBytes();
        return true;
    }
    return os::ReadWholeFile(os::ToNative(ResultFilePath()), text) == os::FileError::None;
}

void CParseProcess::DeleteWorkFiles()
{
    CloseWorkFiles();
    // Small buffers are kept for the next file; a big file's go back to the system.
    for (std::string* text : {&m_sourceText, &m_rewoundText, &m_outputText}) {
        if (text->capacity() > kKeptBuffer) {
            std::string().swap(*text);
        } else {
            text->clear();
        }
    }
    m_inputText = &m_sourceText;
    if (!m_inMemory && m_fileDir->IsCreated()) {
        os::RemoveFile(os::ToNative(m_fileDir->FileIn(kWorkFile)));
        os::RemoveFile(os::ToNative(m_fileDir->FileIn(kRewindFile)));
        os::RemoveFile(os::ToNative(m_fileDir->FileIn(kSourceCopy)));
    }
}

} // namespace wendo
