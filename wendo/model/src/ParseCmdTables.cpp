// The name and flag tables of parse commands, shared by the label builder, the command editor
// and the list views.
#include "model/ParseCmd.h"

#include <algorithm>

namespace wendo {

namespace {

constexpr std::string_view kUnknown = "Unknowed";

constexpr std::array<std::string_view, CmdType::COUNT> kTypeKeywords = {
    "FINDREPL_KEEPCONTENT", "FINDREPL",         "CHANGE_ANCHOR",
    "CHANGE_IMG",           "DISPLAY_FILESTAT", "REWIND"};
constexpr std::array<std::string_view, CmdType::COUNT> kTypeNames = {
    "KEEPCONTENT", "FIND REPLACE", "ANCHOR TAGS", "IMAGE TAGS", "FILESTAT", "REWIND"};

constexpr std::array<std::string_view, 1> kNoNames = {" "};
constexpr std::array<std::string_view, 1> kAppendOnly = {"Append"};
constexpr std::array<std::string_view, 1> kModifyOnly = {"Modify"};
constexpr std::array<std::string_view, 3> kAnchorSubcommands = {"Append", "Modify", "Remove"};
constexpr std::array<std::string_view, 4> kImageSubcommands = {"Add", "Modify", "Remove",
                                                               "Add/Repl"};
constexpr std::array<std::string_view, 2> kAnchorTags = {"HREF Tag", "ANCHOR Tag"};
constexpr std::array<std::string_view, 8> kImageTags = {"WIDTH Tag",  "HEIGHT Tag", "VSPACE Tag",
                                                        "HSPACE Tag", "BORDER Tag", "ALT Tag",
                                                        "SRC Tag",    "IMG Tag"};

constexpr std::array<uint32_t, 3> kAnchorSubcommandFlags = {CmdFlag::ADD, CmdFlag::REPLACE,
                                                            CmdFlag::REMOVE};
constexpr std::array<uint32_t, 4> kImageSubcommandFlags = {CmdFlag::ADD, CmdFlag::REPLACE,
                                                           CmdFlag::REMOVE, CmdFlag::ADDREPL};

bool Has(uint32_t flags, uint32_t bit)
{
    return (flags & bit) != 0;
}

// Index of the first entry whose flag is set, or 0 when none is.
template <std::size_t N> int FirstSet(const std::array<uint32_t, N>& table, uint32_t flags)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (Has(flags, table[i])) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

// Position of name in the list, or -1.
int PositionOf(std::span<const std::string_view> names, std::string_view name)
{
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

} // namespace

std::string_view CParseCmd::GetTypeName() const
{
    return GetTypeName(Type);
}

std::string_view CParseCmd::GetTypeName(int type)
{
    if (type < 0 || type >= CmdType::COUNT) {
        return kUnknown;
    }
    return kTypeNames[static_cast<std::size_t>(type)];
}

std::string_view CParseCmd::GetTypeKeyword(int type)
{
    if (type < 0 || type >= CmdType::COUNT) {
        return {};
    }
    return kTypeKeywords[static_cast<std::size_t>(type)];
}

int16_t CParseCmd::FindTypeByName(std::string_view name)
{
    const int position = PositionOf(kTypeNames, name);
    return static_cast<int16_t>(position);
}

void CParseCmd::GetDefaultFlags(int type, uint32_t& tagFlag, uint32_t& subcommandFlag)
{
    switch (type) {
    case CmdType::CHANGE_ANCHOR:
        tagFlag = CmdFlag::HREF_TAG;
        subcommandFlag = CmdFlag::REPLACE;
        break;
    case CmdType::CHANGE_IMG:
        tagFlag = CmdFlag::WIDTH_TAG;
        subcommandFlag = CmdFlag::REPLACE;
        break;
    default:
        tagFlag = 0;
        subcommandFlag = 0;
        break;
    }
}

std::span<const std::string_view> CParseCmd::GetSubcommandNames(int type, uint32_t flags)
{
    if (type == CmdType::CHANGE_ANCHOR) {
        if (Has(flags, CmdFlag::ANCHOR_TAG)) {
            return kAppendOnly;
        }
        return kAnchorSubcommands;
    }
    if (type == CmdType::CHANGE_IMG) {
        if (Has(flags, CmdFlag::IMG_TAG)) {
            return kAppendOnly;
        }
        if (Has(flags, CmdFlag::SRC_TAG)) {
            return kModifyOnly;
        }
        return kImageSubcommands;
    }
    return kNoNames;
}

int CParseCmd::GetSubcommandCount(int type, uint32_t flags)
{
    return static_cast<int>(GetSubcommandNames(type, flags).size());
}

int CParseCmd::GetSubcommandIndex(int type, uint32_t flags)
{
    if (type == CmdType::CHANGE_ANCHOR && !Has(flags, CmdFlag::ANCHOR_TAG)) {
        return FirstSet(kAnchorSubcommandFlags, flags);
    }
    if (type == CmdType::CHANGE_IMG && !Has(flags, CmdFlag::IMG_TAG | CmdFlag::SRC_TAG)) {
        return FirstSet(kImageSubcommandFlags, flags);
    }
    return 0;
}

std::string_view CParseCmd::GetSubcommandName(int index, int type, uint32_t flags)
{
    if (type != CmdType::CHANGE_ANCHOR && type != CmdType::CHANGE_IMG) {
        return {""};
    }
    const std::span<const std::string_view> names = GetSubcommandNames(type, flags);
    if (names.size() == 1) {
        return names.front();
    }
    if (index < 0) {
        return {""};
    }
    if (static_cast<std::size_t>(index) >= names.size()) {
        return kUnknown;
    }
    return names[static_cast<std::size_t>(index)];
}

uint32_t CParseCmd::GetSubcommandFlag(int type, uint32_t flags, std::string_view name)
{
    if (type == CmdType::CHANGE_ANCHOR) {
        if (Has(flags, CmdFlag::ANCHOR_TAG)) {
            return CmdFlag::APPEND;
        }
        const int position = PositionOf(kAnchorSubcommands, name);
        return position < 0 ? 0 : kAnchorSubcommandFlags[static_cast<std::size_t>(position)];
    }
    if (type == CmdType::CHANGE_IMG) {
        if (Has(flags, CmdFlag::IMG_TAG)) {
            return CmdFlag::APPEND;
        }
        if (Has(flags, CmdFlag::SRC_TAG)) {
            return CmdFlag::REPLACE;
        }
        const int position = PositionOf(kImageSubcommands, name);
        return position < 0 ? CmdFlag::ADD
                            : kImageSubcommandFlags[static_cast<std::size_t>(position)];
    }
    return 0;
}

std::span<const std::string_view> CParseCmd::GetTagNames(int type)
{
    if (type == CmdType::CHANGE_ANCHOR) {
        return kAnchorTags;
    }
    if (type == CmdType::CHANGE_IMG) {
        return kImageTags;
    }
    return kNoNames;
}

int CParseCmd::GetTagCount(int type)
{
    return static_cast<int>(GetTagNames(type).size());
}

int CParseCmd::GetTagIndex(int type, uint32_t flags)
{
    if (type == CmdType::CHANGE_ANCHOR) {
        if (Has(flags, CmdFlag::HREF_TAG)) {
            return 0;
        }
        return Has(flags, CmdFlag::ANCHOR_TAG) ? 1 : 2;
    }
    if (type == CmdType::CHANGE_IMG) {
        for (std::size_t i = 0; i < kImageTags.size(); ++i) {
            if (Has(flags, CmdFlag::WIDTH_TAG << i)) {
                return static_cast<int>(i);
            }
        }
        return static_cast<int>(kImageTags.size());
    }
    return 0;
}

std::string_view CParseCmd::GetTagName(int type, int index)
{
    if (type != CmdType::CHANGE_ANCHOR && type != CmdType::CHANGE_IMG) {
        return {""};
    }
    // A negative index reads as a huge unsigned one and so names no tag.
    const auto position = static_cast<unsigned>(index);
    const std::span<const std::string_view> names = GetTagNames(type);
    return position < names.size() ? names[position] : kUnknown;
}

uint32_t CParseCmd::GetTagFlag(int type, std::string_view name)
{
    uint32_t first = 0;
    if (type == CmdType::CHANGE_ANCHOR) {
        first = CmdFlag::HREF_TAG;
    } else if (type == CmdType::CHANGE_IMG) {
        first = CmdFlag::WIDTH_TAG;
    } else {
        return 0;
    }
    const int position = PositionOf(GetTagNames(type), name);
    return position < 0 ? 0 : first << static_cast<unsigned>(position);
}

} // namespace wendo
