#include "model/ParseCmd.h"

#include "brio/scan.h"
#include "core/archive.h"
#include "model/RegexReplace.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>
#include <vector>

namespace wendo {

namespace {

// Keywords after the type keyword, in lookup order. Index 3 onwards names the flag bit
// (index - 3); DELIMITER, VALUE, EXCLUDE and SRC take an argument.
constexpr const char* kArgumentKeywords[] = {
    "DELIMITER",  "VALUE",          "EXCLUDE",   "ONCE",       "NOSKIPCRLF", "CURRENTDIRONLY",
    "NOVIRTUAL",  "CHARONLY",       "CASESENS",  "ADD",        "REPLACE",    "REMOVE",
    "ADDREPL",    "APPEND",         "WIDTH_TAG", "HEIGHT_TAG", "VSPACE_TAG", "HSPACE_TAG",
    "BORDER_TAG", "ALT_TAG",        "SRC_TAG",   "IMG_TAG",    "HREF_TAG",   "ANCHOR_TAG",
    "SRC",        "STATE_FILENAME", "STATE_ALL", "REGEX"};
constexpr int16_t kArgumentKeywordCount = 28;
constexpr int16_t kKeyDelimiter = 0;
constexpr int16_t kKeyValue = 1;
constexpr int16_t kKeyExclude = 2;
constexpr int16_t kFirstFlagKeyword = 3;
constexpr int16_t kKeySrc = 24;
constexpr int16_t kKeyStateFilename = 25;
constexpr int16_t kKeyStateAll = 26;
constexpr int kFlagBitCount = 25;

// Arguments stand between tildes; a doubled tilde inside stands for one.
constexpr const char* kArgumentQuotes = "~~";

constexpr std::string_view kErrDelimiter = "Wendo ERROR : Bad delimiter\n";
constexpr std::string_view kErrValue = "Wendo ERROR : Bad VALUE\n";
constexpr std::string_view kErrExclude = "Wendo ERROR : Bad EXCLUDE\n";
constexpr std::string_view kErrSource = "Wendo ERROR : Bad SRC file\n";
constexpr std::string_view kErrNeedValueOrDelimiter =
    "Wendo ERROR : Bad subcommand, Need VALUE argument and of DELIMITER\n";
constexpr std::string_view kErrNeedValue = "Wendo ERROR : Bad subcommand, Need VALUE argument\n";
constexpr std::string_view kErrNoSource = "Wendo ERROR : Bad subcommand, No SRC argument\n";
constexpr std::string_view kErrSubcommands =
    "Wendo ERROR : Bad subcommand, Multiple of no APPEND,REPLACE,REMOVE or ADD\n";
constexpr std::string_view kErrRegexType = "Wendo ERROR : REGEX applies to FINDREPL only\n";
constexpr std::string_view kErrRegexOptions =
    "Wendo ERROR : REGEX does not go with NOSKIPCRLF or CHARONLY\n";
constexpr std::string_view kRegexLabel = "REGEX REPLACE";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

const core::CRuntimeClass CParseCmd::classCParseCmd{
    "CParseCmd", &core::CObject::classCObject,
    []() -> std::unique_ptr<core::CObject> { return std::make_unique<CParseCmd>(); }};

CParseCmd::CParseCmd()
{
    Init({});
}

CParseCmd::CParseCmd(std::string_view text)
{
    Init(text);
}

CParseCmd::CParseCmd(const CParseCmd* other)
{
    Init(other != nullptr ? std::string_view(other->Text) : std::string_view());
}

CParseCmd::CParseCmd(Raw)
{
}

CParseCmd::CParseCmd(const CParseCmd& other) : core::CObject(other)
{
    Init(other.Text);
}

CParseCmd& CParseCmd::operator=(const CParseCmd& other)
{
    if (&other != this) {
        Assign(other);
    }
    return *this;
}

CParseCmd::~CParseCmd() = default;

const core::CRuntimeClass* CParseCmd::GetRuntimeClass() const
{
    return &classCParseCmd;
}

void CParseCmd::Assign(const CParseCmd& other)
{
    if (&other == this) {
        return;
    }
    if (InitMarker != kInitMarker) {
        Init({});
    }
    Value = other.Value;
    Exclude = other.Exclude;
    Delimiter1 = other.Delimiter1;
    Delimiter2 = other.Delimiter2;
    Text = other.Text;
    Type = other.Type;
    Flags = other.Flags;
    ErrorFlag = other.ErrorFlag;
    ErrorText = other.ErrorText;
    Source = other.Source;
    Label = other.Label;
}

void CParseCmd::Reset()
{
    Type = CmdType::UNKNOWN;
    TypeCount = CmdType::COUNT;
    ErrorFlag = 0;
    Flags = 0;
    Value.reset();
    Exclude.reset();
    Delimiter1.reset();
    Delimiter2.reset();
    // A stale source from an earlier line would otherwise survive a new Init.
    Source.fill('\0');
    InitMarker = kInitMarker;
    ErrorText.clear();
    Label.clear();
    Cursor = nullptr;
}

void CParseCmd::Init(std::string_view text)
{
    Reset();
    std::string line(text.substr(0, text.find('\0')));
    // Trim works in place on C text and leaves the shortened line NUL-terminated.
    Trim(line.data());
    line.resize(std::char_traits<char>::length(line.data()));
    Text = std::move(line);
    if (Text.empty()) {
        Text = kDefaultText;
    }
    Parse();
    if (Type != CmdType::UNKNOWN) {
        BuildLabel();
    }
}

void CParseCmd::SetError(std::string_view message)
{
    ErrorFlag = 1;
    ErrorText = message;
}

void CParseCmd::Parse()
{
    // Brio reads from writable C text; the private copy keeps Text untouched and alive
    // for as long as Cursor points into it.
    std::string work = Text;
    if (work.empty() || work.front() == '#') {
        return;
    }
    // A word is never longer than the line it comes from.
    std::vector<char> word(work.size() + 1, '\0');
    if (MTGetBufferWord(&Cursor, work.data(), word.data(), nullptr, 1) == nullptr) {
        Cursor = nullptr;
        return;
    }
    std::array<const char*, CmdType::COUNT> keywords{};
    for (std::size_t i = 0; i < keywords.size(); ++i) {
        keywords[i] = GetTypeKeyword(static_cast<int>(i)).data();
    }
    Type = FindAction(word.data(), keywords.data(), static_cast<int16_t>(keywords.size()));
    if (Type < 0 || Type >= CmdType::COUNT) {
        Type = CmdType::UNKNOWN;
    } else if (Type <= CmdType::CHANGE_IMG) {
        ParseArguments(word.data());
        Validate();
    } else if (Type == CmdType::DISPLAY_FILESTAT) {
        Flags |= CmdFlag::STATE_ALL;
    }
    Cursor = nullptr;
}

void CParseCmd::ParseArguments(char* word)
{
    int delimitersTaken = 0;
    while (Cursor != nullptr && MTGetBufferWord(&Cursor, nullptr, word, nullptr, 1) != nullptr) {
        const int16_t key = FindAction(word, kArgumentKeywords, kArgumentKeywordCount);
        if (key < 0 || Cursor == nullptr) {
            return;
        }
        switch (key) {
        case kKeyDelimiter:
            // Only a well-formed argument takes a slot; a third DELIMITER is not read.
            if (delimitersTaken < 2 &&
                ReadArgument(delimitersTaken == 0 ? Delimiter1 : Delimiter2)) {
                ++delimitersTaken;
            } else {
                SetError(kErrDelimiter);
            }
            break;
        case kKeyValue:
            if (!ReadArgument(Value)) {
                SetError(kErrValue);
            }
            break;
        case kKeyExclude:
            if (!ReadArgument(Exclude)) {
                SetError(kErrExclude);
            }
            break;
        case kKeySrc:
            ReadSource();
            break;
        case kKeyStateFilename:
        case kKeyStateAll:
            break;
        default:
            Flags |= 1U << static_cast<unsigned>(key - kFirstFlagKeyword);
            break;
        }
    }
}

// Reads the argument that follows the cursor into field. On success the cursor moves past the
// closing tilde. On failure the field still becomes present (the rest of the line after the
// opening tilde, or empty without one) and the cursor stays after the keyword.
bool CParseCmd::ReadArgument(std::optional<std::string>& field)
{
    const char* from = Cursor;
    std::vector<char> content(std::strlen(from) + 1, '\0');
    char* after = GetSubStringCmd(from, kArgumentQuotes, content.data());
    if (after != nullptr) {
        field = content.data();
        Cursor = after;
        return true;
    }
    const char* open = std::strchr(from, '~');
    field = open != nullptr ? std::string(open + 1) : std::string();
    return false;
}

// An argument too long for Source is refused rather than cut: a cut source would silently
// select other images than the line names. Source then keeps the part that fits.
void CParseCmd::ReadSource()
{
    std::optional<std::string> source;
    const bool read = ReadArgument(source);
    const std::string& text = *source;
    const std::size_t kept = std::min(text.size(), kSourceSize - 1);
    Source.fill('\0');
    std::memcpy(Source.data(), text.data(), kept);
    if (read && text.size() < kSourceSize) {
        Flags |= CmdFlag::SRC;
    } else {
        Flags &= ~CmdFlag::SRC;
        SetError(kErrSource);
    }
}

void CParseCmd::Validate()
{
    switch (Type) {
    case CmdType::FINDREPL_KEEPCONTENT:
        if ((!Delimiter1 && !Value) || !Delimiter2) {
            SetError(kErrNeedValueOrDelimiter);
        }
        break;
    case CmdType::FINDREPL:
        if (!Delimiter1 && !Value) {
            SetError(kErrNeedValueOrDelimiter);
        }
        break;
    case CmdType::CHANGE_ANCHOR:
    case CmdType::CHANGE_IMG:
        ValidateTagCommand();
        break;
    default:
        break;
    }
    ValidateRegex();
}

// Checked last, so that its message is the one reported: a pattern is only worth compiling
// once the command around it is sound.
void CParseCmd::ValidateRegex()
{
    if ((Flags & CmdFlag::REGEX) == 0) {
        return;
    }
    if (Type != CmdType::FINDREPL) {
        SetError(kErrRegexType);
    } else if ((Flags & (CmdFlag::NOSKIPCRLF | CmdFlag::CHARONLY)) != 0) {
        SetError(kErrRegexOptions);
    } else if (FindRegexProblem(*this)) {
        SetError(kErrBadRegex);
    }
}

// Every check runs, in order, and each failure replaces the message: the one reported is the
// last that failed, as the load-error prompt shows it.
void CParseCmd::ValidateTagCommand()
{
    const uint32_t subcommand = Flags & CmdFlag::SUBCOMMANDS;
    if (std::popcount(subcommand) != 1) {
        SetError(kErrSubcommands);
    }
    const bool needsText = (subcommand & (CmdFlag::ADD | CmdFlag::REMOVE | CmdFlag::ADDREPL)) != 0;
    if (!Value || (needsText && Value->empty())) {
        SetError(kErrNeedValue);
    }
    if ((Flags & CmdFlag::SRC) == 0) {
        SetError(kErrNoSource);
    }
}

void CParseCmd::FormatArgument(std::string& out, std::string_view keyword,
                               std::string_view argument)
{
    out.assign(keyword);
    out += " ~";
    for (const char c : argument) {
        out += c;
        if (c == '~') {
            out += '~';
        }
    }
    out += '~';
}

void CParseCmd::BuildText()
{
    if (Type < 0 || Type >= CmdType::COUNT) {
        return;
    }
    Text.assign(GetTypeKeyword(Type));
    Text += ' ';
    BuildLabel();
    if (Type == CmdType::DISPLAY_FILESTAT || Type == CmdType::REWIND) {
        return;
    }
    std::string argument;
    for (int bit = 0; bit < kFlagBitCount; ++bit) {
        const uint32_t flag = 1U << static_cast<unsigned>(bit);
        if ((Flags & flag) == 0) {
            continue;
        }
        if (flag == CmdFlag::SRC) {
            FormatArgument(argument, "SRC", GetSource());
            Text += argument;
        } else {
            Text += kArgumentKeywords[bit + kFirstFlagKeyword];
            Text += ' ';
        }
    }
    // A tag command with REPLACE or APPEND may carry an empty value; leaving it out would give
    // a line that no longer validates, so a saved command file could not be loaded again.
    const bool tagCommand = Type == CmdType::CHANGE_ANCHOR || Type == CmdType::CHANGE_IMG;
    if (Value && (!Value->empty() || tagCommand)) {
        FormatArgument(argument, "VALUE", *Value);
        Text += argument;
    }
    const auto append = [&](const std::optional<std::string>& field, std::string_view keyword) {
        if (field) {
            FormatArgument(argument, keyword, *field);
            Text += argument;
        }
    };
    if (Type == CmdType::FINDREPL_KEEPCONTENT) {
        append(Delimiter1, "DELIMITER");
        append(Delimiter2, "DELIMITER");
    } else if (Type == CmdType::FINDREPL) {
        append(Delimiter1, "DELIMITER");
    } else {
        append(Exclude, "EXCLUDE");
    }
}

void CParseCmd::BuildLabel()
{
    if (Type == CmdType::FINDREPL && (Flags & CmdFlag::REGEX) != 0) {
        Label = kRegexLabel;
        return;
    }
    std::string label(GetSubcommandName(GetSubcommandIndex(Type, Flags), Type, Flags));
    std::string_view tag = GetTagName(Type, GetTagIndex(Type, Flags));
    while (!tag.empty() && IsBlank(tag.back())) {
        tag.remove_suffix(1);
    }
    if (tag.empty()) {
        tag = GetTypeName(Type);
    }
    label += ' ';
    label += tag;
    const std::size_t first = label.find_first_not_of(" \t\n\r\v\f");
    Label = first == std::string::npos ? std::string() : label.substr(first);
}

std::string_view CParseCmd::GetSource() const
{
    const auto end = std::find(Source.begin(), Source.end(), '\0');
    return {Source.data(), static_cast<std::size_t>(end - Source.begin())};
}

bool CParseCmd::SetSource(std::string_view source)
{
    if (source.size() >= kSourceSize || source.find('\0') != std::string_view::npos) {
        return false;
    }
    Source.fill('\0');
    std::copy(source.begin(), source.end(), Source.begin()); // an empty view may hold no pointer
    return true;
}

void CParseCmd::Serialize(core::CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << std::string_view(Text);
    } else {
        ar >> Text;
    }
}

} // namespace wendo
