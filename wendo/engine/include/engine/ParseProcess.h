// The parse process: applies a document's commands to the text of one file at a time through
// two work files.
//
// The text of a file flows as a stream. The input (the source file, or after a rewind the
// rewind file) is read from a read position; the output work file receives everything that
// precedes each change followed by the change. A command reads the rest of the input into one
// buffer, scans it in place, and leaves the read position after the last text it consumed, so
// the commands of the list form a pipeline along the file. A rewind copies the rest behind the
// output and makes that output the new input, so the next command sees the whole text so far.
//
// Threads: one parse process belongs to one run. Everything here runs on that run's worker
// thread (tests call it directly). The document's options and commands are read without a
// lock (the document refuses edits during a run); only its run record is written, and the
// run record is safe to read from any thread.
#pragma once

#include "engine/WorkOutput.h"
#include "os/file.h"
#include "os/workdir.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace core {
class MessageTarget;
}

namespace wendo {

class CParseCmd;
class CWendoDoc;

class CParseProcess
{
public:
    // Names of the work files inside the run's private folder.
    static constexpr std::string_view kWorkFile = "Wendo.txt";    // always the output
    static constexpr std::string_view kRewindFile = "Wendo2.txt"; // the input after a rewind

    // Limits of the tag commands: a tag beyond one of them is left unchanged and uncounted.
    static constexpr std::size_t kMaxTagText = 1023;  // text of a tag, and a new image tag
    static constexpr std::size_t kMaxLinkValue = 255; // the link value of a tag
    static constexpr std::size_t kMaxAttrPart = 255;  // text before an attribute; its value
    static constexpr std::size_t kMaxNewValue = 511;  // a new link value

    // Lines of at most this many bytes are copied before FROMLINE; a longer line is taken in
    // pieces of this size and each piece counts as a line.
    static constexpr std::size_t kFromLinePiece = 5119;

    // The document and the target outlive the process; target may be null (no notifications).
    CParseProcess(CWendoDoc& document, core::MessageTarget* target);
    CParseProcess(const CParseProcess&) = delete;
    CParseProcess& operator=(const CParseProcess&) = delete;
    // Closes the work files and removes the private folder with them.
    ~CParseProcess();

    // Makes the run's private work folder inside parent (empty: the system's temporary
    // folder). 0 on success, else the system's error number. Files need it first.
    int PrepareWorkFolder(std::string_view parent = {});

    // ---- One file ----

    // Runs the commands on one file: opens the work files, applies each command in order
    // (with the rewinds they ask for), records the file's message, and on success copies the
    // rest of the input behind the output and closes both work files. Returns a FileResult:
    // NOT_OPENED (message set), NOTHING (no command), STOPPED (the stop check said so; work
    // files deleted), FAILED (error text appended to the message; work files deleted),
    // MODIFIED or UNCHANGED. After MODIFIED, NeedsWriteBack tells whether ResultFilePath
    // holds the complete new text to write over the source; the caller then deletes the work
    // files with DeleteWorkFiles.
    int16_t ProcessCommands(const std::string& path, const std::vector<const CParseCmd*>& commands);

    // The file's text changed, the run writes files, and nothing went wrong.
    bool NeedsWriteBack() const;
    // The work file that holds (or, before the rest is copied, will hold) the complete text.
    std::string ResultFilePath() const { return m_workDir.FileIn(m_resultFile); }
    std::string WorkFilePath(std::string_view name) const { return m_workDir.FileIn(name); }
    void DeleteWorkFiles();

    // Lets the command loop ask before each command whether the run was stopped.
    void SetStopCheck(std::function<bool()> check) { m_stopCheck = std::move(check); }

    // ---- The work-file stream (also used by the command loop) ----

    // 0 on success, 1 on failure (the reason appended to the file's message).
    int OpenWorkFiles(const std::string& path);
    // Copies the input from the read position to its end onto the output. 0, or 1 on error.
    int CopyRest();
    // Makes the text produced so far the new input. path is the source (used by a dry run).
    int RewindWork(const std::string& path);
    // Closes input and output; false when the output could not be written completely.
    bool CloseWorkFiles();

    // ---- Commands (1 when the text was changed, else 0) ----

    int ReplaceBetweenDelimiters(bool keepContent, const CParseCmd& command);
    int ChangeImgTags(const CParseCmd& command);
    int ChangeAnchorTags(const CParseCmd& command);
    void ReadFileStat(const std::string& path);

    // ---- State of the file in hand ----

    int64_t LineNumber() const { return m_lineNumber; }
    int64_t ReadPosition() const { return m_inputPos; }
    bool Aborted() const { return m_abort; }
    const std::string& ErrorText() const { return m_errorText; }
    int32_t CommandHits() const { return m_commandHits; }
    bool FileModified() const { return m_fileModified; }
    bool FileStatDone() const { return m_fileStatDone; }
    std::string_view ResultFileName() const { return m_resultFile; }

private:
    // A block holding the rest of the input, NUL-terminated; size excludes the NUL.
    struct RestBuffer
    {
        char* data = nullptr;
        std::size_t size = 0;
        RestBuffer() = default;
        RestBuffer(const RestBuffer&) = delete;
        RestBuffer& operator=(const RestBuffer&) = delete;
        ~RestBuffer();
    };

    bool ReadRest(RestBuffer& buffer);
    bool CopyLinesBeforeRegion();
    void SetError(std::string_view text);
    void CheckOutput();
    bool DryRun() const;
    bool BeyondRegion() const;
    void CountChange();
    // Appends to the file's message, after ", " when separated and the message is not empty.
    void AppendMessage(std::string_view text, bool separated);
    void RunCommand(const CParseCmd& command);

    int ChangeTags(const CParseCmd& command, bool image);
    int FindNextTag(const char*& scan, const char* linkName, const CParseCmd& command);
    bool BuildImgTag(const CParseCmd& command, std::string& newTag);
    bool BuildAnchorTag(const CParseCmd& command, std::string& newTag);
    bool EditTagAttribute(const CParseCmd& command, const char* name, std::string& newTag);
    bool EditLinkAttribute(const CParseCmd& command, const char* name, std::string& newTag);

    CWendoDoc& m_doc;
    core::MessageTarget* m_target;
    std::function<bool()> m_stopCheck;
    os::WorkDir m_workDir;

    // The stream of the file in hand.
    std::string m_sourcePath;
    os::FileHandle m_input;
    int64_t m_inputPos = 0; // read position
    WorkOutput m_output;
    int64_t m_lineNumber = 1; // line of the read position, from 1 (64-bit: no wrap)
    std::string_view m_resultFile = kWorkFile;

    // Per-file flags of the command loop.
    bool m_abort = false;
    std::string m_errorText;
    int32_t m_commandHits = 0;
    std::size_t m_commandPosition = 0;
    bool m_modifiedByLast = false;
    bool m_outputPending = false;
    bool m_fileModified = false;
    bool m_fileStatDone = false;

    // The tag in hand, reused for each tag. Positions point into the command's buffer.
    const char* m_tagKind = "";
    const char* m_tagStart = nullptr;
    const char* m_tagEnd = nullptr;
    std::string m_tagText;      // from "<" up to, not including, ">"
    std::string m_value;        // the link value between its quotes
    std::size_t m_valuePos = 0; // where m_value begins in m_tagText
    std::string m_linkTarget;   // m_value without its fragment
};

} // namespace wendo
