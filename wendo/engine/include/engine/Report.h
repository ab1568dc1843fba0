// The report file of a run: what the reader needs besides the writer in CParseProcess.
//
// Layout (every line ends with CR LF): a header with [GLOBAL] (CMDFILE, LOG_VERSION,
// LASTREPORTTIME, MODIFTIME, STATE) and [TOTALS] (the six totals and TOTALBYCMD), whose variable
// fields have fixed widths so that the header written at the end overwrites the first one byte
// for byte, then [MODIFPATH] with one line per logged file:
//   "dir\name" ~message~                       (no DISPLAY_FILESTAT command in the list)
//   "dir\name" ~message~ ~size~ ~modified~ ~accessed~    (with one; times as mm/dd/yyyy hh:mm:ss)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {
class MessageTarget;
}

namespace wendo {

class CWendoDoc;

// A time as the report writes it: mm/dd/yyyy hh:mm:ss in local time, "NULL" for 0.
std::string FormatReportTime(int64_t seconds);
// Reads what FormatReportTime writes (surrounding blanks allowed); 0 for "NULL" and for text
// that is not such a time.
int64_t ParseReportTime(std::string_view text);

// Reads the document's last report back into its run record and tells target (synchronously)
// as the progress views expect: WMU_FILE_NAME, WMU_COUNTERS, WMU_REPLACED, WMU_COMMAND_BEGIN,
// WMU_FILE_MODIFIED, then WMU_ADD_FILE_LINE (first parameter 1) for each path line, the path
// in the status field. 1 read; 0 when REPORT is off, the file is missing, empty, unreadable or
// held by a run. Interface thread; target may be null.
int LoadReport(CWendoDoc& document, core::MessageTarget* target);

} // namespace wendo
