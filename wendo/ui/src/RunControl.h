// How the main frame drives the run of a command document: start, end, resume, the
// stop-or-suspend question, and the replay of the last report. The program binds it to the
// document's run hand-over and the engine (MakeEngineRunControl); tests may script it.
//
// Threads: every call comes on the interface thread. None of them may wait for a worker
// that can send to the interface thread.
#pragma once

#include "core/MessageTarget.h"
#include "engine/ParseProcess.h"

#include <functional>
#include <memory>

namespace wendo {
class CWendoDoc;
}

namespace fw {
class Profile;
class QueuedMessageTarget;
} // namespace fw

namespace wendo::ui {

// The answer of the "Stop/Suspend" dialog.
enum class StopChoice
{
    Cancel,
    Stop,
    Suspend,
};

class RunControl
{
public:
    virtual ~RunControl() = default;

    // Starts a run that reports to target; 1 when started. Refused (0, no message) while a
    // run is active; 0 after telling the user (61451) when the run cannot start.
    virtual int StartProcess(core::MessageTarget& target) = 0;
    // Ends the run (after its last notification); 1.
    virtual int EndProcess() = 0;
    virtual void ResumeProcess() = 0;
    // Suspends the worker, asks, and then resumes it, leaves it suspended (1) or stops it.
    virtual int AskStopProcess(const std::function<StopChoice()>& ask) = 0;
    // Replays the last report into the report window; 0 when the report is not valid.
    virtual int LoadReport() = 0;
};

using RunControlFactory = std::function<std::unique_ptr<RunControl>(CWendoDoc&)>;

// The run control of a document whose run driver is not available: it never starts.
std::unique_ptr<RunControl> MakeUnavailableRunControl(CWendoDoc& document);

// The document's own run hand-over with the engine behind it. Reports are replayed to
// replayTarget (the program's message target); each run reports to the target it is started
// with and takes the settings that settings() gives at that moment. A run still in progress
// when the control goes is stopped, answering the worker's sends meanwhile. The document
// outlives the control; so does the target.
// The settings of a run of the desktop program: the worker keeps its pauses unless the
// per-user entry "Settings"/"PaceRuns" is 0.
RunSettings DesktopRunSettings(const fw::Profile& profile);
inline constexpr const char* kPaceSection = "Settings";
inline constexpr const char* kPaceEntry = "PaceRuns";

std::unique_ptr<RunControl> MakeEngineRunControl(CWendoDoc& document,
                                                 fw::QueuedMessageTarget* replayTarget,
                                                 std::function<RunSettings()> settings);

} // namespace wendo::ui
