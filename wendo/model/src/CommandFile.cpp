#include "model/CommandFile.h"

#include "brio/profile.h"
#include "brio/scan.h"
#include "brio/times.h"
#include "core/Prompter.h"
#include "core/archive.h"
#include "model/RegexReplace.h"
#include "model/WendoDoc.h"
#include "mosk/mosk.h"
#include "os/file.h"
#include "os/path.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <vector>

namespace wendo {

namespace {

constexpr std::string_view kHeader = "#Korvel Parsers\n#\n#Wendo File\n#\n#\n"
                                     "# WARNING: THIS FILE CAN NOT BE EDIT.\n"
                                     "#Any manual modifications won't be support by Korvel\n"
                                     "#\n#\n";
constexpr const char* kGlobal = "GLOBAL";

// The report path and the backup extension are read whole: cutting a path at 255 characters
// would send the report of the next run to another file.
constexpr int kPathValueMax = KV_PROFILE_MAX_VALUE;

struct KVFreeDeleter
{
    void operator()(char* block) const { KV_Free(block); }
};
using KVBlock = std::unique_ptr<char, KVFreeDeleter>;

// A [GLOBAL] value of at most maxLength characters (the default when the key is missing),
// optionally trimmed at both ends.
std::string ReadValue(const char* text, const char* section, const char* key, const char* def,
                      bool trim, int maxLength = CommandFile::kValueBuffer - 1)
{
    std::vector<char> buffer(static_cast<std::size_t>(maxLength) + 1, '\0');
    KVGetPrivateProfileString(section, key, def, buffer.data(), maxLength, text);
    buffer.back() = '\0';
    if (trim) {
        Trim(buffer.data());
    }
    return std::string(buffer.data());
}

// The leading decimal number of a text, as the C library reads it: blanks, a sign, digits;
// 0 when there is none. Out-of-range values stop at the largest value of their sign.
int64_t DecimalValue(const std::string& text)
{
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int64_t>(value);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

// A count of entries or commands. Counts are read wider than the 16 bits they were written
// with, so that a set of more than 32767 entries written by this program reads back whole.
int32_t CountValue(const std::string& text)
{
    const int64_t value = DecimalValue(text);
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::numeric_limits<int32_t>::max()));
}

// The whole body of a section, or empty when it is missing or empty.
std::string SectionText(const char* text, const char* section)
{
    const int size = KVGetPrivateProfileString(section, nullptr, nullptr, nullptr, 0, text);
    if (size <= 0) {
        return {};
    }
    std::string body(static_cast<std::size_t>(size) + 1, '\0');
    KVGetPrivateProfileString(section, nullptr, nullptr, body.data(), size, text);
    body.resize(std::char_traits<char>::length(body.c_str()));
    return body;
}

void ReadOptions(CWendoDoc& doc, const char* text)
{
    doc.ReportPath = ReadValue(text, kGlobal, "LOGFILE", "", true, kPathValueMax);
    const std::string modifTime = ReadValue(text, kGlobal, "MODIFTIME", "", true);
    doc.ModifTime = modifTime.empty() ? TimeNow() : DecimalValue(modifTime);
    const std::string lastRun = ReadValue(text, kGlobal, "LASTRUNTIME", "", true);
    doc.LastRunTime = lastRun.empty() ? 0 : DecimalValue(lastRun);
    doc.Verbose = EqualsNoCase(ReadValue(text, kGlobal, "VERBOSE", "OFF", false), "YES") ? 1 : 0;
    // Kept as the 16-bit numbers the document stores: the low 16 bits of the value.
    doc.FromLine =
        static_cast<int16_t>(DecimalValue(ReadValue(text, kGlobal, "FROMLINE", "0", false)));
    doc.ToLine = static_cast<int16_t>(DecimalValue(ReadValue(text, kGlobal, "TOLINE", "0", false)));
    doc.BackupExt = ReadValue(text, kGlobal, "BACKUPEXT", "", false, kPathValueMax);
    doc.Backup = EqualsNoCase(ReadValue(text, kGlobal, "BACKUP", "", false), "ON") ? 1 : 0;
    doc.Rewind = EqualsNoCase(ReadValue(text, kGlobal, "REWIND", "OFF", false), "ON") ? 1 : 0;
    doc.Report = EqualsNoCase(ReadValue(text, kGlobal, "REPORT", "ON", false), "ON") ? 1 : 0;
    doc.LogUnmodified =
        EqualsNoCase(ReadValue(text, kGlobal, "LOGUNMODIF", "NO", false), "YES") ? 1 : 0;
    doc.NoWrite = EqualsNoCase(ReadValue(text, kGlobal, "WRITE2FILE", "YES", false), "NO") ? 1 : 0;
}

// false when the load must fail.
bool ReadCommands(CWendoDoc& doc, const char* text, int32_t count)
{
    const std::string section = SectionText(text, "COMMAND");
    const std::string marker(CommandFile::kMarker);
    const char* const delimiters[2] = {marker.c_str(), marker.c_str()};
    const char* cursor = section.c_str();
    for (int32_t pass = 0; pass < count; ++pass) {
        char* content = nullptr;
        char* next = nullptr;
        if (GetDelimiterContentCmd(cursor, delimiters, &content, &next, 0) == nullptr ||
            content == nullptr) {
            break;
        }
        const KVBlock owned(content);
        cursor = next;
        // Built in place: a copy would parse the text again and lose the blank that ends
        // the default command's text.
        const CParseCmdList& command = doc.Commands.emplace_back(std::string_view(content));
        if (command.ErrorFlag == 0) {
            continue;
        }
        const std::string question =
            CommandReadErrorText(content, ErrorTextWithRegexProblem(command));
        doc.Commands.pop_back();
        const core::PromptAnswer answer =
            doc.Ask(question, core::PromptButtons::YesNo, core::PromptIcon::Exclamation);
        if (answer != core::PromptAnswer::Yes) {
            return false;
        }
    }
    return true;
}

// false when the report could be opened but not read.
bool PeekReport(CWendoDoc& doc, const std::string& commandFile)
{
    const std::string path = CWendoDoc::ReportFileFor(doc.ReportPath, commandFile);
    const os::FileHandle report(os::OpenFile(os::ToNative(path), os::OpenMode::Read));
    if (!report.valid()) {
        return true;
    }
    os::FileStatus status;
    if (os::GetHandleStatus(report.get(), status) != os::FileError::None) {
        return false;
    }
    if (status.size <= 0) {
        return true;
    }
    const std::size_t wanted =
        std::min<std::size_t>(static_cast<std::size_t>(status.size), CommandFile::kReportPeek);
    std::string head(wanted, '\0');
    std::size_t got = 0;
    while (got < wanted) {
        const int64_t n = os::ReadFile(report.get(), head.data() + got, wanted - got);
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    const std::string lastReport = ReadValue(head.c_str(), kGlobal, "LASTREPORTTIME", "", true);
    if (!lastReport.empty()) {
        doc.LastReportTime = DecimalValue(lastReport);
    }
    const std::string modifTime = ReadValue(head.c_str(), kGlobal, "MODIFTIME", "", true);
    if (!modifTime.empty()) {
        doc.ReportModifTime = DecimalValue(modifTime);
    }
    return true;
}

const char* OnOff(int32_t flag)
{
    return flag != 0 ? "ON\n" : "OFF\n";
}

const char* YesNo(int32_t flag)
{
    return flag != 0 ? "YES\n" : "NO\n";
}

} // namespace

std::string CommandReadErrorText(std::string_view content, std::string_view errorText)
{
    std::string text = "ERROR occured while reading from command file:\n\nCOMMAND: ";
    text += content.substr(0, CommandFile::kQuotedCommand);
    text += "\n\nERROR: ";
    text += errorText;
    text += "\nWould you like to continue ?";
    return text;
}

int WriteCommandFile(CWendoDoc& doc, core::CArchive& ar)
{
    bool ok = ar.Write(kHeader);
    const auto put = [&](const std::string& bytes) { ok = ok && ar.Write(bytes); };
    put("\n[GLOBAL]\nLOGFILE=" + doc.ReportPath + "\n");
    put("WDO_VERSION=1.01\n");
    doc.ModifTime = TimeNow();
    put("MODIFTIME=" + std::to_string(doc.ModifTime) + "\n");
    put("LASTRUNTIME=" + std::to_string(doc.LastRunTime.load()) + "\n");
    put(std::string("VERBOSE=") + YesNo(doc.Verbose));
    if (doc.FromLine != 0) {
        put("FROMLINE=" + std::to_string(doc.FromLine) + "\n");
    }
    if (doc.ToLine != 0) {
        put("TOLINE=" + std::to_string(doc.ToLine) + "\n");
    }
    if (!doc.BackupExt.empty()) {
        put("BACKUPEXT=" + doc.BackupExt + "\n");
    }
    put(std::string("BACKUP=") + OnOff(doc.Backup));
    put(std::string("REWIND=") + OnOff(doc.Rewind));
    put(std::string("REPORT=") + OnOff(doc.Report));
    put(std::string("LOGUNMODIF=") + YesNo(doc.LogUnmodified));
    put(std::string("WRITE2FILE=") + YesNo(doc.NoWrite == 0 ? 1 : 0));
    put("NBSUBCMD=" + std::to_string(doc.CommandCount()) + "\n");
    put("NBFILEWENDO=" + std::to_string(doc.FileSet.Count()) + "\n");
    put("\n[FILEPATH]\n");
    for (const CFileList& entry : doc.FileSet.Entries()) {
        put(entry.FileListToken());
    }
    put("\n[COMMAND]\n");
    if (doc.FirstCommand() != 0) {
        CParseCmd command;
        const std::string marker(CommandFile::kMarker);
        while (ok && doc.NextCommand(command) != 0) {
            put(marker + " " + command.Text + " " + marker + "\n");
        }
    }
    return ok ? 1 : 0;
}

int ReadCommandFile(CWendoDoc& doc, core::CArchive& ar)
{
    const int64_t length = ar.GetLength();
    if (length <= 0 || static_cast<uint64_t>(length) >= std::numeric_limits<std::size_t>::max()) {
        return 0;
    }
    std::string text;
    try {
        text.assign(static_cast<std::size_t>(length) + 1, '\0');
    } catch (const std::bad_alloc&) {
        return 0;
    } catch (const std::length_error&) {
        return 0;
    }
    if (ar.Read(text.data(), static_cast<std::size_t>(length)) !=
        static_cast<std::size_t>(length)) {
        return 0;
    }
    const char* buffer = text.c_str();

    ReadOptions(doc, buffer);
    const int32_t commandCount = CountValue(ReadValue(buffer, kGlobal, "NBSUBCMD", "", false));
    const int32_t entryCount = CountValue(ReadValue(buffer, kGlobal, "NBFILEWENDO", "", false));
    doc.LastReportTime = 0;
    doc.ReportModifTime = 0;

    const std::string paths = SectionText(buffer, "FILEPATH");
    if (!paths.empty()) {
        doc.FileSet.LoadFromText(entryCount, paths);
    }
    if (!ReadCommands(doc, buffer, commandCount)) {
        return 0;
    }
    if (doc.Report != 0 && !PeekReport(doc, ar.GetFilePath())) {
        return 0;
    }
    return 1;
}

} // namespace wendo
