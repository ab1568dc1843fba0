#include "parse_mode.h"

#include "command_json.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string_view>
#include <system_error>

namespace wendo::cli {

const char* const kParseModeHelp =
    "--parse FILE reads one command per line (LF or CR LF line ends) and prints one JSON\n"
    "object per line with the fields line (1-based line number in FILE), type, flags,\n"
    "label, error (\"\" when none), text (the rebuilt text; the line as stored for type -1),\n"
    "value, delimiter1, delimiter2, exclude (null when absent) and source.\n"
    "Blank lines are skipped; line numbers still count them. Bytes that are not UTF-8 are\n"
    "printed as U+FFFD. Commands in error do not change the exit status: 0 when FILE was\n"
    "read, 2 when it cannot be read.\n";

namespace {

using Json = nlohmann::ordered_json;

bool IsBlankLine(std::string_view line)
{
    return line.find_first_not_of(" \t\r\v\f") == std::string_view::npos;
}

Json Describe(long lineNumber, std::string_view line)
{
    Json object;
    object["line"] = lineNumber;
    object.update(CommandRecord(line));
    return object;
}

// The whole file, or nothing with the reason in error.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = "is a directory";
        return std::nullopt;
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::error_code(errno != 0 ? errno : ENOENT, std::generic_category()).message();
        return std::nullopt;
    }
    std::string text;
    std::array<char, std::size_t{64} * 1024> chunk{};
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
        text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        error = "read error";
        return std::nullopt;
    }
    return text;
}

} // namespace

int RunParseMode(const std::string& path, std::ostream& out, std::ostream& err)
{
    std::string error;
    const std::optional<std::string> text = ReadWholeFile(path, error);
    if (!text) {
        err << "wendo-run: cannot read '" << path << "': " << error << '\n';
        return 2;
    }
    std::string_view rest = *text;
    long lineNumber = 0;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (IsBlankLine(line)) {
            continue;
        }
        out << Describe(lineNumber, line).dump(-1, ' ', false, Json::error_handler_t::replace)
            << '\n';
    }
    out.flush();
    if (!out) {
        err << "wendo-run: cannot write the output\n";
        return 1;
    }
    return 0;
}

} // namespace wendo::cli
