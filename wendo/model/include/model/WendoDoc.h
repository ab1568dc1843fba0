// The command document: one command file's global options, commands and file set, the
// counters of a run and its run state.
//
// Threads: the document lives on the interface thread. During a run the worker reads the
// options, commands and file set without a lock (every view refuses edits while Started is
// set) and writes only the run record, which is safe to read from any thread.
#pragma once

#include <cstdint>
#include <string>

#include "model/RunRecord.h"

namespace wendo {

class CWendoDoc
{
public:
    // Global options of the command file, with their values in a new document.
    std::string ReportPath;        // LOGFILE; empty: the command file's name with ".log"
    std::string BackupExt = "bak"; // BACKUPEXT
    int32_t Verbose = 0;           // VERBOSE: stored and written back only
    int32_t Rewind = 0;            // REWIND: rewind after each modifying command
    int32_t Report = 0;            // REPORT: write a report file
    int32_t LogUnmodified = 0;     // LOGUNMODIF: report unmodified files too
    int32_t NoWrite = 0;           // WRITE2FILE=NO: dry run
    int32_t Backup = 1;            // BACKUP
    int64_t ModifTime = 0;         // MODIFTIME (seconds since 1970)
    int64_t LastReportTime = 0;    // LASTREPORTTIME read from the report on load
    int64_t ReportModifTime = 0;   // MODIFTIME recorded in the report
    int64_t LastRunTime = 0;       // LASTRUNTIME
    int16_t FromLine = 0;          // FROMLINE: first line of the region (0 or 1: from the start)
    int16_t ToLine = 0;            // TOLINE: first line after the region (0: no limit)
    int16_t OpenCommandEditors = 0;
    int16_t OpenPathSelectors = 0;

    // What the current or last run did; read by the progress views.
    RunRecord Run;

    // Adds one change to the run's total and to the counter of the command at that index.
    void CountModification(size_t commandIndex) { Run.CountModification(commandIndex); }
};

} // namespace wendo
