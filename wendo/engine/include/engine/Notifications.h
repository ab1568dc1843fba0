// The engine's notifications to the main window. Each is posted (WMU_ADD_FILE_LINE is sent)
// through the run's core::MessageTarget with the document as second parameter; the first
// parameter is 0 unless noted. They carry no other data: the receiver reads the document's
// run record when it handles one, so identical pending notifications may be coalesced.
#pragma once

#include "core/MessageTarget.h"

#include <cstdint>

namespace wendo {

inline constexpr uint32_t WMU_RUN_END = core::WM_APP + 201; // first parameter: run result
inline constexpr uint32_t WMU_RUN_INIT = core::WM_APP + 202;
inline constexpr uint32_t WMU_RUN_PROCESSING = core::WM_APP + 203;
inline constexpr uint32_t WMU_FILE_BEGIN = core::WM_APP + 205;
inline constexpr uint32_t WMU_FILE_NAME = core::WM_APP + 206;
inline constexpr uint32_t WMU_STATUS = core::WM_APP + 209;
inline constexpr uint32_t WMU_COUNTERS = core::WM_APP + 210;
inline constexpr uint32_t WMU_REPLACED = core::WM_APP + 211;
inline constexpr uint32_t WMU_COMMAND_BEGIN = core::WM_APP + 212;
inline constexpr uint32_t WMU_FILE_MODIFIED = core::WM_APP + 214;
inline constexpr uint32_t WMU_ADD_FILE_LINE = core::WM_APP + 215; // sent; 1 from the report
inline constexpr uint32_t WMU_RUN_RESET = core::WM_APP + 216;
inline constexpr uint32_t WMU_PATHS_CLEAR = core::WM_APP + 217;

// Results of a file, an entry and a run. Values below UNCHANGED end the run.
namespace FileResult {
inline constexpr int16_t STOPPED = 0;    // stopped by the user
inline constexpr int16_t NOTHING = 1;    // nothing to do (no command, empty file set)
inline constexpr int16_t UNCHANGED = 3;  // file done and not modified, or entry skipped
inline constexpr int16_t MODIFIED = 4;   // file modified
inline constexpr int16_t FAILED = 5;     // a command failed; the file is not written
inline constexpr int16_t NOT_OPENED = 6; // the file (or the report) could not be opened
} // namespace FileResult

} // namespace wendo
