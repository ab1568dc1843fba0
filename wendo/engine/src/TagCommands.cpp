// CHANGE_IMG and CHANGE_ANCHOR: edit the attributes of image and anchor tags selected by their
// link. Tags and attribute names are found without regard to case. Worker thread only.

#include "brio/scan.h"
#include "engine/ParseProcess.h"
#include "model/ParseCmd.h"
#include "model/WendoDoc.h"

#include <cstring>
#include <string>
#include <string_view>

namespace wendo {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Just after the name that FindNoCase found at at; ignore is passed over as it was there.
const char* NameEnd(const char* at, const char* name, char ignore)
{
    const char* t = at;
    for (const char* p = name; *p != '\0'; ++p) {
        if (ignore != '\0' && *p == ignore) {
            continue;
        }
        while (ignore != '\0' && *t == ignore) {
            ++t;
        }
        ++t;
    }
    return t;
}

// The value of the attribute whose name ends at nameEnd: it is quoted only when the name is
// followed by "=" and a double quote (blanks allowed around the "="), and the value runs to
// the next double quote. A bare value is not quoted: the next attribute's quoted value is
// never taken for this one's.
bool QuotedValue(const char* nameEnd, const char*& valueBegin, const char*& valueEnd)
{
    const char* p = nameEnd;
    while (IsBlank(*p)) {
        ++p;
    }
    if (*p != '=') {
        return false;
    }
    ++p;
    while (IsBlank(*p)) {
        ++p;
    }
    if (*p != '"') {
        return false;
    }
    const char* close = std::strchr(p + 1, '"');
    if (close == nullptr) {
        return false;
    }
    valueBegin = p + 1;
    valueEnd = close;
    return true;
}

// The value with the part after its last "/" replaced by newPart (all of it without "/").
std::string ReplaceFileName(std::string_view value, std::string_view newPart)
{
    const std::size_t slash = value.rfind('/');
    std::string result(slash == std::string_view::npos ? std::string_view()
                                                       : value.substr(0, slash + 1));
    result += newPart;
    return result;
}

std::string Quoted(std::string_view name, std::string_view value)
{
    std::string text(name);
    text += "=\"";
    text += value;
    text += '"';
    return text;
}

} // namespace

int CParseProcess::ChangeImgTags(const CParseCmd& command)
{
    return ChangeTags(command, true);
}

int CParseProcess::ChangeAnchorTags(const CParseCmd& command)
{
    return ChangeTags(command, false);
}

int CParseProcess::ChangeTags(const CParseCmd& command, bool image)
{
    const int64_t startLine = m_lineNumber;
    RestBuffer buffer;
    if (!ReadRest(buffer)) {
        return 0;
    }
    m_tagKind = image ? "<img" : "<a";
    const char* linkName = image ? "src" : "href";
    const bool write = !DryRun();
    const char* scan = buffer.data;
    const char* written = buffer.data;
    std::string newTag;
    bool changed = false;
    std::uint32_t matches = 0;
    for (;;) {
        const int found = FindNextTag(scan, linkName, command);
        if (found < 0) {
            break;
        }
        newTag.clear();
        if (found == 0 ||
            !(image ? BuildImgTag(command, newTag) : BuildAnchorTag(command, newTag))) {
            continue;
        }
        if (write) {
            m_output.Write(written, static_cast<std::size_t>(m_tagStart - written));
            m_output.Write(newTag);
        }
        written = m_tagEnd;
        scan = m_tagEnd;
        CountChange();
        changed = true;
        if ((command.Flags & CmdFlag::ONCE) != 0 ||
            (++matches % kMatchesPerStopCheck == 0 && StopInFile())) {
            break;
        }
    }
    if (!changed) {
        m_lineNumber = startLine;
        return 0;
    }
    // The whole rest is consumed, including any bytes after a NUL that ended the search.
    if (write) {
        m_output.Write(written, static_cast<std::size_t>(buffer.data + buffer.size - written));
    }
    m_inputPos += static_cast<int64_t>(buffer.size);
    return 1;
}

int CParseProcess::FindNextTag(const char*& scan, const char* linkName, const CParseCmd& command)
{
    const char* start = FindNoCase(scan, m_tagKind, ' ');
    if (start == nullptr) {
        return -1;
    }
    m_lineNumber += RegionLines(scan, start);
    if (BeyondRegion()) {
        return -1;
    }
    const char* end = std::strchr(start, '>');
    if (end == nullptr) {
        return -1;
    }
    m_lineNumber += RegionLines(start, end);
    if (BeyondRegion()) {
        return -1;
    }
    m_tagStart = start;
    m_tagEnd = end;
    scan = end;
    if (static_cast<std::size_t>(end - start) > kMaxTagText) {
        return 0;
    }
    m_tagText.assign(start, end);
    const char* text = m_tagText.c_str();
    const char* name = FindNoCase(text, linkName, ' ');
    const char* valueBegin = nullptr;
    const char* valueEnd = nullptr;
    // An empty or bare link selects nothing; the search goes on with the next tag.
    if (name == nullptr || !QuotedValue(NameEnd(name, linkName, ' '), valueBegin, valueEnd) ||
        valueBegin == valueEnd || static_cast<std::size_t>(valueEnd - valueBegin) > kMaxLinkValue) {
        return 0;
    }
    m_value.assign(valueBegin, valueEnd);
    m_valuePos = static_cast<std::size_t>(valueBegin - text);
    const std::size_t hash = m_value.find('#');
    m_linkTarget = hash != std::string::npos && hash > 0 ? m_value.substr(0, hash) : m_value;

    if ((command.Flags & CmdFlag::CURRENTDIRONLY) != 0 &&
        m_linkTarget.find_first_of("/\\") != std::string::npos) {
        return 0;
    }
    if (command.GetSource() != "*" &&
        ISExcludeFile(m_linkTarget.c_str(), command.Source.data()) != 1) {
        return 0;
    }
    if (command.Exclude && ISExcludeFile(m_linkTarget.c_str(), command.Exclude->c_str()) == 1) {
        return 0;
    }
    return 1;
}

bool CParseProcess::BuildImgTag(const CParseCmd& command, std::string& newTag)
{
    bool changed = false;
    switch (command.Flags & 0x7FC00) {
    case CmdFlag::WIDTH_TAG:
        changed = EditTagAttribute(command, "width", newTag);
        break;
    case CmdFlag::HEIGHT_TAG:
        changed = EditTagAttribute(command, "height", newTag);
        break;
    case CmdFlag::VSPACE_TAG:
        changed = EditTagAttribute(command, "vspace", newTag);
        break;
    case CmdFlag::HSPACE_TAG:
        changed = EditTagAttribute(command, "hspace", newTag);
        break;
    case CmdFlag::BORDER_TAG:
        changed = EditTagAttribute(command, "border", newTag);
        break;
    case CmdFlag::ALT_TAG:
        changed = EditTagAttribute(command, "alt", newTag);
        break;
    case CmdFlag::SRC_TAG:
    case CmdFlag::SRC_TAG | CmdFlag::APPEND:
        changed = EditLinkAttribute(command, "src", newTag);
        break;
    case CmdFlag::IMG_TAG | CmdFlag::APPEND:
        newTag = m_tagText + " " + command.Value.value_or("");
        changed = true;
        break;
    default:
        break;
    }
    return changed && newTag.size() <= kMaxTagText;
}

bool CParseProcess::BuildAnchorTag(const CParseCmd& command, std::string& newTag)
{
    const std::string value = command.Value.value_or("");
    if ((command.Flags & CmdFlag::ANCHOR_TAG) != 0) {
        newTag = m_tagText + " " + value;
        return true;
    }
    std::string newValue;
    if ((command.Flags & CmdFlag::ADD) != 0) {
        newValue = m_value + value;
    } else if ((command.Flags & CmdFlag::REPLACE) != 0) {
        newValue =
            (command.Flags & CmdFlag::NOVIRTUAL) != 0 ? value : ReplaceFileName(m_value, value);
    } else if ((command.Flags & CmdFlag::REMOVE) != 0) {
        const char* at = FindNoCase(m_value.c_str(), value.c_str(), '\0');
        if (at == nullptr) {
            return false;
        }
        newValue = m_value;
        newValue.erase(static_cast<std::size_t>(at - m_value.c_str()), value.size());
    } else {
        // APPEND or ADDREPL without ANCHOR_TAG say nothing about the href: no change.
        return false;
    }
    if (newValue.size() > kMaxNewValue) {
        return false;
    }
    newTag.assign(m_tagText, 0, m_valuePos);
    newTag += newValue;
    newTag += '"';
    newTag.append(m_tagText, m_valuePos + m_value.size() + 1);
    return true;
}

bool CParseProcess::EditTagAttribute(const CParseCmd& command, const char* name,
                                     std::string& newTag)
{
    const uint32_t flags = command.Flags;
    const std::string value = command.Value.value_or("");
    const char* text = m_tagText.c_str();
    const char* at = FindNoCase(text, name, '\0');
    if (at == nullptr) {
        if ((flags & (CmdFlag::ADD | CmdFlag::ADDREPL)) == 0) {
            return false;
        }
        newTag = m_tagText + " " + Quoted(name, value);
        return true;
    }
    if ((flags & CmdFlag::ADD) != 0) {
        return false;
    }
    const char* valueBegin = nullptr;
    const char* valueEnd = nullptr;
    if (!QuotedValue(NameEnd(at, name, '\0'), valueBegin, valueEnd) || valueBegin == valueEnd) {
        return false;
    }
    const std::size_t prefix = static_cast<std::size_t>(at - text);
    if (prefix > kMaxAttrPart || static_cast<std::size_t>(valueEnd - valueBegin) > kMaxAttrPart) {
        return false;
    }
    newTag.assign(m_tagText, 0, prefix);
    if ((flags & CmdFlag::REMOVE) == 0 && ISBlankString(value.c_str()) == 0) {
        newTag += Quoted(name, value);
    }
    newTag += valueEnd + 1;
    return true;
}

bool CParseProcess::EditLinkAttribute(const CParseCmd& command, const char* name,
                                      std::string& newTag)
{
    const std::string value = command.Value.value_or("");
    const char* text = m_tagText.c_str();
    const char* at = FindNoCase(text, name, '\0');
    const char* valueBegin = nullptr;
    const char* valueEnd = nullptr;
    if (at == nullptr || !QuotedValue(NameEnd(at, name, '\0'), valueBegin, valueEnd) ||
        valueBegin == valueEnd || static_cast<std::size_t>(valueEnd - valueBegin) > kMaxLinkValue) {
        return false;
    }
    const std::string_view old(valueBegin, static_cast<std::size_t>(valueEnd - valueBegin));
    std::string newValue;
    if ((command.Flags & CmdFlag::APPEND) != 0) {
        newValue.assign(old);
        newValue += value;
    } else {
        newValue = (command.Flags & CmdFlag::NOVIRTUAL) != 0 ? value : ReplaceFileName(old, value);
        // "*" stands for the whole old value; what follows it is dropped.
        const std::size_t star = newValue.find('*');
        if (star != std::string::npos) {
            newValue.resize(star);
            newValue += old;
        }
        if (newValue.size() > kMaxNewValue) {
            return false;
        }
    }
    newTag.assign(m_tagText, 0, static_cast<std::size_t>(at - text));
    newTag += Quoted(name, newValue);
    newTag += valueEnd + 1;
    return true;
}

} // namespace wendo
