#include "run_mode.h"

#include "core/MessageTarget.h"
#include "engine/EngineServices.h"
#include "engine/Notifications.h"
#include "model/WendoDoc.h"
#include "os/clock.h"
#include "os/path.h"
#include "os/signals.h"
#include "run_summary.h"
#include "terminal_prompter.h"
#include "terminal_text.h"
#include "undo_mode.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <ostream>

namespace wendo::cli {

const char* const kRunModeHelp =
    "FILE.wdo (no mode option) runs the command file: every command on every file of its\n"
    "file set. Relative paths of the command file (file set entries, LOGFILE) are taken from\n"
    "the command file's own folder, not from the current folder. A terminal shows one progress\n"
    "line (files started of MAXINC, the file in hand, replacements) and the files that got a\n"
    "message; otherwise one plain line per such file; --quiet shows neither. At the end the\n"
    "state, the totals and the changes of each command are printed, and the report is\n"
    "written when the command file asks for one (REPORT=ON). Ctrl-C, SIGTERM or SIGHUP stops\n"
    "the run cleanly: the file in hand stays unchanged and the report says \"Cancel by user\"\n"
    "(a second one ends the program at once; files are replaced whole, never half written);\n"
    "at a question it answers No. File names are printed with control characters escaped.\n"
    "Exit status of a run: 0 all done, 1 done but some files failed or the output could not\n"
    "be written, 2 the command file could not be loaded, 3 cancelled, 4 the report could not\n"
    "be created and the run was not continued, or it could not be written whole.\n";

namespace {

// Notifications of the worker, handed to the main thread, which plays the interface thread:
// Post queues, Send queues and waits until the main thread has handled the message.
// How often the main thread looks at the queue and at the stop signal without being woken.
constexpr uint32_t kPollMilliseconds = 40;

class QueueTarget final : public core::MessageTarget
{
public:
    struct Message
    {
        uint32_t id = 0;
        intptr_t wParam = 0;
        bool sent = false;
    };

    // The printer reads the run record when it handles a posted message, so a message
    // identical to one still pending adds nothing and is dropped. Posted progress does not wake
    // the main thread, which looks at the queue every kPollMilliseconds anyway: waking it for
    // each of a run's hundreds of thousands of notifications would cost more than the run's
    // own work. The end of the run and sent messages, which the worker waits for, wake it.
    void Post(uint32_t message, intptr_t wParam, void*) override
    {
        std::lock_guard lock(m_mutex);
        for (const Message& pending : m_queue) {
            if (!pending.sent && pending.id == message && pending.wParam == wParam) {
                return;
            }
        }
        m_queue.push_back({message, wParam, false});
        if (message == WMU_RUN_END) {
            m_arrived.notify_one();
        }
    }

    intptr_t Send(uint32_t message, intptr_t wParam, void*) override
    {
        std::unique_lock lock(m_mutex);
        const uint64_t ticket = ++m_sentCount;
        m_queue.push_back({message, wParam, true});
        m_arrived.notify_one();
        m_handled.wait(lock, [&] { return m_handledCount >= ticket; });
        return 0;
    }

    // The next message, or none after the wait; the main thread calls Handled after a sent one.
    bool Next(Message& out, uint32_t waitMilliseconds)
    {
        std::unique_lock lock(m_mutex);
        m_arrived.wait_for(lock, std::chrono::milliseconds(waitMilliseconds),
                           [this] { return !m_queue.empty(); });
        if (m_queue.empty()) {
            return false;
        }
        out = m_queue.front();
        m_queue.pop_front();
        return true;
    }

    void Handled()
    {
        std::lock_guard lock(m_mutex);
        ++m_handledCount;
        m_handled.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::condition_variable m_handled;
    std::deque<Message> m_queue; // guarded by m_mutex
    uint64_t m_sentCount = 0;    // guarded by m_mutex
    uint64_t m_handledCount = 0; // guarded by m_mutex
};

// Shows the progress of a run from the run record, as the progress views do.
class ProgressPrinter
{
public:
    ProgressPrinter(const CWendoDoc& doc, bool terminal, bool quiet, std::ostream& out)
        : m_doc(doc), m_terminal(terminal), m_quiet(quiet), m_out(out)
    {
    }

    void Handle(uint32_t message)
    {
        if (message == WMU_ADD_FILE_LINE) {
            const std::string text = m_doc.Run.FileMessage();
            if (text.find("ERROR: ") != std::string::npos) {
                ++m_failed;
            }
            if (!m_quiet) {
                ClearLine();
                m_out << '"' << ForTerminal(m_doc.Run.Directory() + m_doc.Run.FileName()) << "\" "
                      << ForTerminal(text) << '\n';
                Redraw(true);
            }
            return;
        }
        if (m_quiet) {
            return;
        }
        switch (message) {
        case WMU_RUN_PROCESSING:
            if (!m_terminal) {
                m_out << "Processing " << m_doc.Run.MaxInc.load() << " files\n";
            }
            break;
        case WMU_FILE_NAME:
        case WMU_COUNTERS:
            Redraw(true);
            break;
        case WMU_REPLACED:
            Redraw(false);
            break;
        default:
            break;
        }
    }

    // Leaves the terminal on a fresh line.
    void Close()
    {
        ClearLine();
        m_out.flush();
    }

    int Failed() const { return m_failed; }

private:
    void ClearLine()
    {
        if (m_terminal && m_lineShown) {
            m_out << "\r\033[K";
            m_lineShown = false;
        }
    }

    // Replacements come fast; the line is redrawn at most every 50 ms for them.
    void Redraw(bool always)
    {
        if (!m_terminal || m_quiet) {
            return;
        }
        const int64_t now = os::MonotonicMilliseconds();
        if (!always && now - m_lastDraw < 50) {
            return;
        }
        m_lastDraw = now;
        const RunRecord& run = m_doc.Run;
        constexpr std::size_t kShown = 50;
        const std::string file = LastPart(ForTerminal(run.Directory() + run.FileName()), kShown);
        m_out << "\r\033[K[" << run.FilesStarted.load() << '/' << run.MaxInc.load() << "] " << file
              << "  replacements: " << run.TotalIteration.load() << std::flush;
        m_lineShown = true;
    }

    const CWendoDoc& m_doc;
    bool m_terminal;
    bool m_quiet;
    std::ostream& m_out;
    bool m_lineShown = false;
    int64_t m_lastDraw = 0;
    int m_failed = 0;
};

} // namespace

int RunRunMode(const std::string& path, const RunFlags& flags, bool inTerminal, bool outTerminal,
               std::ostream& out, std::ostream& err)
{
    TerminalPrompter prompter(flags.yes, inTerminal, err);
    const auto doc = core::OpenDocumentFile<CWendoDoc>(os::FromNative(path), &prompter);
    if (doc == nullptr) {
        // A stop signal answered the command file's question No.
        return os::StopSignalled() ? RunExit::kCancelled : RunExit::kNotLoaded;
    }
    if (flags.dryRun) {
        doc->NoWrite = 1;
    }
    RunSettings settings;
    settings.pace = flags.pace;
    if (flags.capture != nullptr) {
        doc->NoWrite = 0;
        doc->Report = 0;
        settings.capture = flags.capture;
    } else {
        settings.journalFolder = JournalFolder();
    }
    QueueTarget target;
    EngineServices services(&target, settings);
    doc->SetRunServices(&services);
    ProgressPrinter progress(*doc, outTerminal, flags.quiet, out);

    if (doc->StartProcess() == 0) {
        err << "wendo-run: Can't start parsing process\n";
        return RunExit::kNotLoaded;
    }
    intptr_t result = -1;
    bool stopAsked = false;
    while (result < 0) {
        if (!stopAsked && os::StopSignalled()) {
            stopAsked = true;
            doc->StopProcess();
        }
        QueueTarget::Message message;
        if (!target.Next(message, kPollMilliseconds)) {
            continue;
        }
        progress.Handle(message.id);
        if (message.sent) {
            target.Handled();
        }
        if (message.id == WMU_RUN_END) {
            result = message.wParam;
        }
    }
    // The worker has sent its last message; waiting for it here cannot block it.
    doc->EndProcess();
    progress.Close();
    PrintSummary(*doc, doc->Run.Status(), out);
    using Outcome = RunRecord::ReportOutcome;
    const Outcome report = doc->Run.Report.load();
    const std::string reportPath = ForTerminal(os::ForDisplay(doc->ReportFilePath()));
    if (report == Outcome::Written) {
        out << "Report: " << reportPath << '\n';
    } else if (report == Outcome::NotCreated) {
        out << "No report was written: " << reportPath << " could not be created\n";
    }
    if (flags.capture == nullptr) {
        PrintUndoNote(*doc, path, out);
    }
    out.flush();
    if (report == Outcome::Incomplete) {
        err << "wendo-run: the report " << reportPath
            << " could not be written whole; no complete report was written\n";
    }
    // Output that could not be written (a closed pipe, a full disk, a terminal gone) fails
    // the run only at its end: the files are the work, the output only tells of it.
    const bool outputLost = !out;
    if (outputLost) {
        err << "wendo-run: the output could not be written\n";
    }

    if (report == Outcome::Incomplete) {
        return RunExit::kNoReport;
    }
    if (result == FileResult::NOT_OPENED) {
        // The report question was answered No: by a stop signal, or because nobody was asked.
        return os::StopSignalled() ? RunExit::kCancelled : RunExit::kNoReport;
    }
    if (result == FileResult::STOPPED) {
        return RunExit::kCancelled;
    }
    return progress.Failed() > 0 || outputLost ? RunExit::kSomeFailed : RunExit::kDone;
}

} // namespace wendo::cli
