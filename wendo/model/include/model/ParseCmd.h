// One parse command: its line in the command language, the fields parsed from it, a readable
// label for lists and the outcome of validation, plus the tables that translate between flag
// bits and the names the command editor shows.
//
// Threads: parsing keeps its reading position in the object's own cursor, so distinct
// commands may be parsed on different threads; one object is not shared between threads while
// it is parsed or assigned. The static table operations touch no state and may be called from
// any thread.
#pragma once

#include "core/object.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace core {
class CArchive;
}

namespace wendo {

// Command type codes (CParseCmd::Type).
namespace CmdType {
inline constexpr int16_t UNKNOWN = -1; // comment, unknown first word, or never parsed
inline constexpr int16_t FINDREPL_KEEPCONTENT = 0;
inline constexpr int16_t FINDREPL = 1;
inline constexpr int16_t CHANGE_ANCHOR = 2;
inline constexpr int16_t CHANGE_IMG = 3;
inline constexpr int16_t DISPLAY_FILESTAT = 4;
inline constexpr int16_t REWIND = 5;
inline constexpr uint16_t COUNT = 6;
} // namespace CmdType

// Flag bits (CParseCmd::Flags), in the order the text is rebuilt in. Each is set by the
// keyword of the same name.
namespace CmdFlag {
// options
inline constexpr uint32_t ONCE = 0x000001;
inline constexpr uint32_t NOSKIPCRLF = 0x000002;
inline constexpr uint32_t CURRENTDIRONLY = 0x000004;
inline constexpr uint32_t NOVIRTUAL = 0x000008;
inline constexpr uint32_t CHARONLY = 0x000010;
inline constexpr uint32_t CASESENS = 0x000020;
// sub-commands
inline constexpr uint32_t ADD = 0x000040;
inline constexpr uint32_t REPLACE = 0x000080;
inline constexpr uint32_t REMOVE = 0x000100;
inline constexpr uint32_t ADDREPL = 0x000200;
inline constexpr uint32_t APPEND = 0x000400;
// image tag attributes, then the image tag as a whole
inline constexpr uint32_t WIDTH_TAG = 0x000800;
inline constexpr uint32_t HEIGHT_TAG = 0x001000;
inline constexpr uint32_t VSPACE_TAG = 0x002000;
inline constexpr uint32_t HSPACE_TAG = 0x004000;
inline constexpr uint32_t BORDER_TAG = 0x008000;
inline constexpr uint32_t ALT_TAG = 0x010000;
inline constexpr uint32_t SRC_TAG = 0x020000;
inline constexpr uint32_t IMG_TAG = 0x040000;
// anchor tag attribute, then the anchor tag as a whole
inline constexpr uint32_t HREF_TAG = 0x080000;
inline constexpr uint32_t ANCHOR_TAG = 0x100000;
// a source was given (CParseCmd::Source holds it)
inline constexpr uint32_t SRC = 0x200000;
// state
inline constexpr uint32_t STATE_FILENAME = 0x400000;
inline constexpr uint32_t STATE_ALL = 0x800000;
// FINDREPL only: DELIMITER is a regular expression and VALUE its replacement
inline constexpr uint32_t REGEX = 0x1000000;

inline constexpr uint32_t SUBCOMMANDS = ADD | REPLACE | REMOVE | ADDREPL | APPEND;
inline constexpr uint32_t ALL = 0x1FFFFFF;
} // namespace CmdFlag

class CParseCmd : public core::CObject
{
public:
    // Source holds at most this many characters less one, and its NUL.
    static constexpr std::size_t kSourceSize = 260;
    static constexpr std::string_view kInitMarker = "ParseCmdInit";
    // What an empty or blank line stands for: a valid FINDREPL with an empty delimiter and
    // an empty value.
    static constexpr std::string_view kDefaultText = "FINDREPL DELIMITER ~~ VALUE ~~ ";
    // The error of a REGEX command whose pattern or replacement is refused; FindRegexProblem
    // (RegexReplace.h) tells why and where.
    static constexpr std::string_view kErrBadRegex = "Wendo ERROR : Bad regular expression\n";

    // Tag for a raw object: never initialised, InitMarker empty. Assign initialises it first.
    struct Raw
    {
    };

    CParseCmd();
    explicit CParseCmd(std::string_view text);
    // Parses the other command's Text anew, or the empty text when there is none.
    explicit CParseCmd(const CParseCmd* other);
    explicit CParseCmd(Raw);
    CParseCmd(const CParseCmd& other);
    CParseCmd& operator=(const CParseCmd& other);
    ~CParseCmd() override;

    // Copies every field but InitMarker, TypeCount and the cursor; a raw target is initialised
    // with the empty text first.
    void Assign(const CParseCmd& other);

    // Resets every field and parses the text (trimmed; cut at a NUL byte). Never fails as an
    // operation: a bad line sets ErrorFlag and ErrorText.
    void Init(std::string_view text);

    // Rebuilds Text and Label from the fields. A command of an unknown type keeps its Text.
    void BuildText();
    void BuildLabel();

    // out = keyword, a blank, and the argument between tildes with every tilde doubled.
    static void FormatArgument(std::string& out, std::string_view keyword,
                               std::string_view argument);

    // Source as a string, and a checked way to set it: false (Source unchanged) when the text
    // does not fit or holds a NUL byte.
    std::string_view GetSource() const;
    bool SetSource(std::string_view source);

    // Stores or loads Text alone; loading does not parse it again.
    void Serialize(core::CArchive& ar) override;

    const core::CRuntimeClass* GetRuntimeClass() const override;
    static const core::CRuntimeClass classCParseCmd;

    // Names and flag tables of the command editor and the list views. Every name returned
    // points to static, NUL-terminated text. Anchor means CHANGE_ANCHOR, image CHANGE_IMG.
    std::string_view GetTypeName() const;
    static std::string_view GetTypeName(int type);
    static std::string_view GetTypeKeyword(int type);
    static int16_t FindTypeByName(std::string_view name);
    static void GetDefaultFlags(int type, uint32_t& tagFlag, uint32_t& subcommandFlag);
    static std::span<const std::string_view> GetSubcommandNames(int type, uint32_t flags);
    static int GetSubcommandCount(int type, uint32_t flags);
    static int GetSubcommandIndex(int type, uint32_t flags);
    static std::string_view GetSubcommandName(int index, int type, uint32_t flags);
    static uint32_t GetSubcommandFlag(int type, uint32_t flags, std::string_view name);
    static std::span<const std::string_view> GetTagNames(int type);
    static int GetTagCount(int type);
    static int GetTagIndex(int type, uint32_t flags);
    static std::string_view GetTagName(int type, int index);
    static uint32_t GetTagFlag(int type, std::string_view name);

    std::string Text;
    int16_t Type = CmdType::UNKNOWN;
    uint32_t Flags = 0;
    std::optional<std::string> Value;
    std::optional<std::string> Delimiter1;
    std::optional<std::string> Delimiter2;
    std::optional<std::string> Exclude;
    std::array<char, kSourceSize> Source{};
    int32_t ErrorFlag = 0;
    std::string ErrorText;
    std::string Label;
    std::string InitMarker;
    uint16_t TypeCount = 0;

private:
    void Reset();
    void Parse();
    void ParseArguments(char* word);
    bool ReadArgument(std::optional<std::string>& field);
    void ReadSource();
    void Validate();
    void ValidateTagCommand();
    void ValidateRegex();
    void SetError(std::string_view message);

    // The word reader's position in the private copy of Text; valid only inside Init.
    char* Cursor = nullptr;
};

} // namespace wendo
