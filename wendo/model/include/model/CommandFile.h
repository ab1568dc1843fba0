// The command file (".wdo"): the global options, the file set and the commands of a document
// as INI-like text with LF line ends. CWendoDoc::Serialize calls these with the archive of the
// file being saved or opened; they work on its raw bytes.
//
// Threads: interface thread, with the document not running.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace core {
class CArchive;
}

namespace wendo {

class CWendoDoc;

namespace CommandFile {
// The marker on each side of a [FILEPATH] entry and a [COMMAND] line.
inline constexpr std::string_view kMarker = ":~:";
// Values of [GLOBAL] are read into a buffer of this many bytes (one for the NUL).
inline constexpr int kValueBuffer = 256;
// How much of the report file is looked at when a command file is opened.
inline constexpr std::size_t kReportPeek = 256;
// How much of a command that cannot be parsed the read-error question shows.
inline constexpr std::size_t kQuotedCommand = 80;
} // namespace CommandFile

// Writes the whole command file; the time of writing becomes the document's ModifTime.
// 1 on success, 0 when a write failed.
int WriteCommandFile(CWendoDoc& doc, core::CArchive& ar);

// Reads the whole command file into the document (options, file set, commands appended to its
// list), then looks at the report file of the last run when REPORT is on. A command that
// cannot be parsed is put to the document's Prompter: Yes skips it, No fails the load.
// 1 on success; 0 for an empty or unreadable file, a refused command or a report file that
// could be opened but not read.
int ReadCommandFile(CWendoDoc& doc, core::CArchive& ar);

// The question asked for a command that cannot be parsed.
std::string CommandReadErrorText(std::string_view content, std::string_view errorText);

} // namespace wendo
