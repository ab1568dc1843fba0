// What a run of a document would write over one file, found without writing anything: the
// document's commands run on the file exactly as a run runs them (the same command loop, work
// files in the run's private folders, in memory where the system has such a folder), and the
// text that a run would write back is read instead of being written.
//
// Threads: the constructor copies what the run needs from the document on the interface
// thread (so unsaved commands and options are what is previewed, and the document may change
// afterwards); Run may then be called on any one thread.
#pragma once

#include "model/WendoDoc.h"

#include <cstdint>
#include <functional>
#include <string>

namespace wendo {

class FilePreview
{
public:
    // Above this size a file is not previewed: comparing such texts line by line would keep
    // a preview window waiting.
    static constexpr int64_t kSizeLimit = int64_t{16} << 20;

    enum class Outcome
    {
        Changed,
        Unchanged,
        TooLarge,
        Failed, // message says why
        Stopped,
    };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        std::string before; // the file's text now
        std::string after;  // what a run would write (before when unchanged)
        std::string message;
        int64_t size = 0;
    };

    // Copies the commands, the line region and the rewind option.
    explicit FilePreview(const CWendoDoc& document);
    // The option form's values, when they are not yet saved into the document.
    void SetLineRegion(int16_t fromLine, int16_t toLine)
    {
        m_doc.FromLine = fromLine;
        m_doc.ToLine = toLine;
    }
    void SetRewind(int32_t rewind) { m_doc.Rewind = rewind; }

    // path: kept form. stop, when given, is asked before each command.
    Result Run(const std::string& path, const std::function<bool()>& stop = {});

private:
    CWendoDoc m_doc; // private copy, touched only by the thread that runs
};

} // namespace wendo
