// Writing the report file of a run. Worker thread only.
//
// The file is held exclusively (os/filelock.h) from OpenReport to CloseReport, so a second run
// of the same command file cannot write into it and LoadReport cannot read it half written.
// Line ends are written as CR LF explicitly, whatever the platform.

#include "engine/Report.h"

#include "brio/times.h"
#include "engine/ParseProcess.h"
#include "os/clock.h"
#include "os/dir.h"
#include "os/filelock.h"
#include "os/path.h"

#include <cstdio>

namespace wendo {

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::string_view kReportFirstLine = "#Wendo Report file\r\n";

// Left-aligned in width characters, as printf's "%-*s"; a longer text is kept whole.
std::string Padded(std::string text, std::size_t width)
{
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string Padded(int64_t value, std::size_t width)
{
    return Padded(std::to_string(value), width);
}

// A line end inside a field would split the report line and lose it on reading.
std::string OneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

} // namespace

std::string FormatReportTime(int64_t seconds)
{
    char text[KV_TIME_STR_SIZE] = {};
    if (TimeToStr(text, KV_DATE_MMDDYYYY, KV_HOUR_HHMMSS, seconds) != 1) {
        return "NULL";
    }
    return text;
}

// A failed write leaves the report incomplete: the run says so at its end, and no line is
// written after the gap.
bool CParseProcess::WriteReport(std::string_view bytes)
{
    if (!m_report.valid()) {
        return false;
    }
    if (os::WriteFile(m_report.get(), bytes.data(), bytes.size())) {
        return true;
    }
    m_doc.Run.Report.store(RunRecord::ReportOutcome::Incomplete);
    return false;
}

std::string CParseProcess::ReportHeader()
{
    const RunRecord& run = m_doc.Run;
    const int64_t now = os::WallClockSeconds();
    m_doc.LastReportTime = now;
    m_doc.LastRunTime = now;
    m_doc.ReportModifTime = m_doc.ModifTime;

    std::string h;
    h += std::string(kReportFirstLine) + "#\r\n#\r\n";
    h += "\r\n[GLOBAL]\r\nCMDFILE=" + m_commandFileShown + "\r\n";
    h += "LOG_VERSION=1.01\r\n";
    h += "LASTREPORTTIME=" + Padded(now, 25) + " \r\n";
    h += "MODIFTIME=" + Padded(m_doc.ModifTime, 25) + " \r\n";
    h += "STATE=" + Padded(OneLine(run.Status()), 50) + " \r\n";
    h += "\r\n[TOTALS]\r\n";
    h += "MAXINC=" + Padded(run.MaxInc.load(), 15) + "\r\n";
    h += "TOTALEXCLUDE=" + Padded(run.TotalExclude.load(), 15) + "\r\n";
    h += "TOTALMODIFIED=" + Padded(run.TotalModified.load(), 15) + "\r\n";
    h += "TOTALITERATION=" + Padded(run.TotalIteration.load(), 15) + "\r\n";
    h += "TOTALDIREXCLUDE=" + Padded(run.TotalDirExclude.load(), 15) + "\r\n";
    h += "TOTALDIRMODIFIED=" + Padded(run.TotalDirModified.load(), 15) + "\r\n";
    h += "TOTALBYCMD=";
    const std::vector<int32_t> counters = run.Counters();
    for (std::size_t i = 0; i < counters.size(); ++i) {
        char number[24];
        std::snprintf(number, sizeof number, "%02zu", i);
        h += "~CMD" + std::string(number) + "=" + Padded(counters[i], 15) + "~,";
    }
    h += "\r\n\r\n[MODIFPATH]\r\n";
    return h;
}

bool CParseProcess::MayBecomeTheReport(int handle) const
{
    os::FileStatus report;
    if (os::GetHandleStatus(handle, report) != os::FileError::None) {
        return false;
    }
    // A LOGFILE naming the command file would replace the commands by the report.
    os::FileStatus commands;
    if (os::GetStatus(os::ToNative(m_doc.GetPathName()), commands) == os::FileError::None &&
        commands.device == report.device && commands.inode == report.inode) {
        return false;
    }
    if (report.size == 0) {
        return true;
    }
    // Only an earlier report is written over; any other file is the user's.
    std::string first(kReportFirstLine.size(), '\0');
    return os::ReadFile(handle, first.data(), first.size()) == static_cast<int64_t>(first.size()) &&
           first == kReportFirstLine;
}

int CParseProcess::OpenReport()
{
    m_report.reset();
    if (m_doc.Report == 0) {
        return 1;
    }
    const std::string path = os::ToNative(m_doc.ReportFilePath());
    m_report.reset(os::OpenHeldForRewriting(path));
    if (!m_report.valid() || !MayBecomeTheReport(m_report.get()) ||
        !os::TruncateFile(m_report.get(), 0) ||
        os::SeekFile(m_report.get(), 0, os::SeekFrom::Start) != 0) {
        m_report.reset();
        return 0;
    }
    std::string shown = os::ForDisplay(m_doc.GetPathName());
    if (!shown.empty() && shown.front() != os::kNativeSeparator) {
        const std::string cwd = os::WorkingDirectory();
        if (!cwd.empty()) {
            shown = cwd + (cwd.back() == os::kNativeSeparator ? "" : "/") + shown;
        }
    }
    m_commandFileShown = OneLine(shown);
    m_headerLength = 0;
    if (WriteReportHeader() == 0) {
        m_report.reset();
        return 0;
    }
    return 1;
}

int CParseProcess::WriteReportHeader()
{
    const std::string header = ReportHeader();
    if (!WriteReport(header)) {
        return 0;
    }
    if (m_headerLength == 0) {
        m_headerLength = header.size();
    }
    return 1;
}

std::string CParseProcess::ReportLine() const
{
    const RunRecord& run = m_doc.Run;
    std::string line = "\"" + OneLine(run.Directory() + run.FileName()) + "\" ~" +
                       OneLine(run.FileMessage()) + "~";
    if (m_hasFileStat) {
        line += " ~" + std::to_string(run.FileSize.load()) + "~ ~" +
                FormatReportTime(run.FileModifTime.load()) + "~ ~" +
                FormatReportTime(run.FileAccessTime.load()) + "~";
    }
    line += kEol;
    return line;
}

int CParseProcess::WriteReportLine()
{
    if (!m_report.valid()) {
        return 0;
    }
    if (m_doc.LogUnmodified == 0 && m_doc.Run.FileMessage().empty() && !m_hasFileStat) {
        return 0;
    }
    if (m_doc.Run.Report.load() == RunRecord::ReportOutcome::Incomplete) {
        return 0;
    }
    return WriteReport(ReportLine()) ? 1 : 0;
}

void CParseProcess::CloseReport()
{
    if (!m_report.valid()) {
        return;
    }
    const int handle = m_report.get();
    const std::string header = ReportHeader();
    // The header is rewritten in place even after a failed write, so that it says how the run
    // ended; moving the lines would need room the device may not have.
    const bool whole = m_doc.Run.Report.load() != RunRecord::ReportOutcome::Incomplete;
    bool written = false;
    if (header.size() == m_headerLength) {
        written = os::SeekFile(handle, 0, os::SeekFrom::Start) == 0 && WriteReport(header);
    } else if (whole) {
        // A field outgrew its width: the lines behind the header move with it.
        const int64_t end = os::SeekFile(handle, 0, os::SeekFrom::End);
        std::string lines(end > static_cast<int64_t>(m_headerLength)
                              ? static_cast<std::size_t>(end) - m_headerLength
                              : 0,
                          '\0');
        const os::FileHandle reader(
            os::OpenFile(os::ToNative(m_doc.ReportFilePath()), os::OpenMode::Read));
        const bool read = reader.valid() &&
                          os::SeekFile(reader.get(), static_cast<int64_t>(m_headerLength),
                                       os::SeekFrom::Start) >= 0 &&
                          os::ReadFile(reader.get(), lines.data(), lines.size()) ==
                              static_cast<int64_t>(lines.size());
        written = read && os::SeekFile(handle, 0, os::SeekFrom::Start) == 0 &&
                  os::TruncateFile(handle, 0) && WriteReport(header + lines);
    }
    const bool synced = written && os::SyncFile(handle);
    if (!os::CloseFile(m_report.release()) || !synced) {
        m_doc.Run.Report.store(RunRecord::ReportOutcome::Incomplete);
    }
}

} // namespace wendo
