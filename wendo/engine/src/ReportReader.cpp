// Reading a report back into the document's run record (interface thread).

#include "brio/profile.h"
#include "core/MessageTarget.h"
#include "engine/Notifications.h"
#include "engine/Report.h"
#include "model/WendoDoc.h"
#include "os/clock.h"
#include "os/filelock.h"
#include "os/path.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace wendo {

namespace {

constexpr int kValueSize = 255; // values are read into 256-byte buffers

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
        text.remove_suffix(1);
    }
    return text;
}

// The value of a key, trimmed; empty when missing.
std::string Value(const std::string& text, const char* section, const char* key)
{
    char value[kValueSize + 1] = {};
    if (KVGetPrivateProfileString(section, key, "", value, kValueSize, text.c_str()) < 0) {
        return {};
    }
    return std::string(Trimmed(value));
}

// A value or section body of any length, as the profile reader gives it.
std::string LongValue(const std::string& text, const char* section, const char* key)
{
    const int length = KVGetPrivateProfileString(section, key, nullptr, nullptr, 0, text.c_str());
    if (length <= 0) {
        return {};
    }
    std::vector<char> value(static_cast<std::size_t>(length) + 1, '\0');
    if (KVGetPrivateProfileString(section, key, "", value.data(), length, text.c_str()) < 0) {
        return {};
    }
    return std::string(value.data());
}

int64_t Decimal(std::string_view text)
{
    const std::string digits(Trimmed(text));
    return std::strtoll(digits.c_str(), nullptr, 10);
}

// The text between the next open and close characters from pos, up to the end when not
// closed; pos moves past it. None when no open character follows.
std::optional<std::string_view> NextToken(std::string_view line, std::size_t& pos, char open,
                                          char close)
{
    const std::size_t start = line.find(open, pos);
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t end = line.find(close, start + 1);
    const std::size_t stop = end == std::string_view::npos ? line.size() : end;
    pos = end == std::string_view::npos ? line.size() : end + 1;
    return line.substr(start + 1, stop - start - 1);
}

// The quoted path at the start of a row. A name may hold double quotes itself, so the path
// ends at the quote that opens the message (" ~), else at the last quote of the line.
std::optional<std::string_view> PathToken(std::string_view line, std::size_t& pos)
{
    const std::size_t start = line.find('"');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    std::size_t end = line.find("\" ~", start + 1);
    if (end == std::string_view::npos) {
        end = line.rfind('"');
        end = end > start ? end : line.size();
    }
    pos = std::min(end + 1, line.size());
    return line.substr(start + 1, end - start - 1);
}

bool ReadNumber(std::string_view text, std::size_t& pos, std::size_t digits, int& out)
{
    if (pos + digits > text.size()) {
        return false;
    }
    int value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    pos += digits;
    out = value;
    return true;
}

bool Expect(std::string_view text, std::size_t& pos, char c)
{
    if (pos >= text.size() || text[pos] != c) {
        return false;
    }
    ++pos;
    return true;
}

} // namespace

int64_t ParseReportTime(std::string_view text)
{
    text = Trimmed(text);
    std::tm fields{};
    std::size_t pos = 0;
    int month = 0;
    int day = 0;
    int year = 0;
    if (!ReadNumber(text, pos, 2, month) || !Expect(text, pos, '/') ||
        !ReadNumber(text, pos, 2, day) || !Expect(text, pos, '/') ||
        !ReadNumber(text, pos, 4, year) || !Expect(text, pos, ' ') ||
        !ReadNumber(text, pos, 2, fields.tm_hour) || !Expect(text, pos, ':') ||
        !ReadNumber(text, pos, 2, fields.tm_min) || !Expect(text, pos, ':') ||
        !ReadNumber(text, pos, 2, fields.tm_sec) || pos != text.size()) {
        return 0;
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || fields.tm_hour > 23 ||
        fields.tm_min > 59 || fields.tm_sec > 60) {
        return 0;
    }
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_year = year - 1900;
    fields.tm_isdst = -1;
    int64_t seconds = 0;
    return os::FromLocalTime(fields, seconds) ? seconds : 0;
}

int LoadReport(CWendoDoc& doc, core::MessageTarget* target)
{
    if (doc.Report == 0) {
        return 0;
    }
    const os::FileHandle file(os::OpenHeldForReading(os::ToNative(doc.ReportFilePath())));
    if (!file.valid()) {
        return 0;
    }
    os::FileStatus status;
    if (os::GetHandleStatus(file.get(), status) != os::FileError::None || status.size <= 0) {
        return 0;
    }
    std::string text(static_cast<std::size_t>(status.size), '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const int64_t n = os::ReadFile(file.get(), text.data() + got, text.size() - got);
        if (n <= 0) {
            return 0;
        }
        got += static_cast<std::size_t>(n);
    }

    auto send = [&](std::uint32_t message, intptr_t wParam = 0) {
        if (target != nullptr) {
            target->Send(message, wParam, &doc);
        }
    };

    RunRecord& run = doc.Run;
    const std::string lastReport = Value(text, "GLOBAL", "LASTREPORTTIME");
    if (!lastReport.empty()) {
        doc.LastReportTime = Decimal(lastReport);
    }
    const std::string state = Value(text, "GLOBAL", "STATE");
    run.SetStatus(state);
    run.SetReportedState(state);

    run.ResetTotals();
    const std::pair<const char*, std::atomic<int32_t>*> totals[] = {
        {"MAXINC", &run.MaxInc},
        {"TOTALEXCLUDE", &run.TotalExclude},
        {"TOTALMODIFIED", &run.TotalModified},
        {"TOTALITERATION", &run.TotalIteration},
        {"TOTALDIREXCLUDE", &run.TotalDirExclude},
        {"TOTALDIRMODIFIED", &run.TotalDirModified},
    };
    for (const auto& [key, counter] : totals) {
        const std::string value = Value(text, "TOTALS", key);
        if (!value.empty()) {
            counter->store(static_cast<int32_t>(Decimal(value)));
        }
    }

    run.SetDirectory("");
    run.SetFileName("");
    send(WMU_FILE_NAME);
    send(WMU_COUNTERS);
    send(WMU_REPLACED);
    run.CommandType.store(-1);
    send(WMU_COMMAND_BEGIN);

    const std::string byCommand = LongValue(text, "TOTALS", "TOTALBYCMD");
    if (!byCommand.empty()) {
        run.ClearCounters();
        std::size_t pos = 0;
        // The CMD number is not read: entries count in the order they stand.
        while (const auto token = NextToken(byCommand, pos, '~', '~')) {
            const std::size_t equals = token->find('=');
            if (equals != std::string_view::npos) {
                run.AppendCounter(static_cast<int32_t>(Decimal(token->substr(equals + 1))));
            }
        }
    }
    send(WMU_FILE_MODIFIED);

    const std::string paths = LongValue(text, "MODIFPATH", nullptr);
    std::size_t lineStart = 0;
    while (lineStart < paths.size()) {
        std::size_t lineEnd = paths.find_first_of("\r\n", lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = paths.size();
        }
        const std::string_view line(paths.data() + lineStart, lineEnd - lineStart);
        lineStart = paths.find_first_not_of("\r\n", lineEnd);
        if (lineStart == std::string::npos) {
            lineStart = paths.size();
        }
        std::size_t pos = 0;
        const auto path = PathToken(line, pos);
        if (!path) {
            continue;
        }
        const auto message = NextToken(line, pos, '~', '~');
        if (!message) {
            continue;
        }
        run.SetStatus(std::string(*path));
        run.SetFileMessage(std::string(*message));
        // Without statistics the values of the line before stay.
        if (const auto size = NextToken(line, pos, '~', '~')) {
            run.FileSize.store(Decimal(*size));
            const auto modified = NextToken(line, pos, '~', '~');
            run.FileModifTime.store(modified ? ParseReportTime(*modified) : 0);
            const auto accessed = NextToken(line, pos, '~', '~');
            run.FileAccessTime.store(accessed ? ParseReportTime(*accessed) : 0);
        }
        send(WMU_ADD_FILE_LINE, 1);
    }
    return 1;
}

} // namespace wendo
