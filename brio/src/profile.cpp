#include "brio/profile.h"

#include <algorithm>
#include <cstring>
#include <string_view>

// The reader works on string_views over the caller's text and never writes to it. Every walk is
// one forward pass over the lines of one section; nothing is allocated.

namespace {

using Text = std::string_view;
using Pos = Text::size_type;
constexpr Pos npos = Text::npos;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

bool AtLineStart(Text text, Pos p)
{
    return p == 0 || IsLineEnd(text[p - 1]);
}

// End of the line that begins at p (the position of its CR or LF, or the end of the text).
Pos LineEnd(Text text, Pos p)
{
    while (p < text.size() && !IsLineEnd(text[p])) {
        ++p;
    }
    return p;
}

// Start of the next line; CR LF is one line end.
Pos NextLine(Text text, Pos p)
{
    p = LineEnd(text, p);
    if (p < text.size() && text[p] == '\r') {
        ++p;
        if (p < text.size() && text[p] == '\n') {
            ++p;
        }
    } else if (p < text.size()) {
        ++p;
    }
    return p;
}

Pos SkipBlanks(Text text, Pos p, Pos end)
{
    while (p < end && IsBlank(text[p])) {
        ++p;
    }
    return p;
}

// A line that ends a value and the key list: a comment, or one that opens with "[".
bool IsStopLine(Text text, Pos start)
{
    const Pos first = SkipBlanks(text, start, LineEnd(text, start));
    return first < text.size() && (text[first] == '#' || text[first] == '[');
}

// The key of a key line (one word, optional blanks, "="), and where its value starts. An empty
// view when the line is not a key line.
Text KeyOfLine(Text text, Pos start, Pos* valueStart)
{
    const Pos end = LineEnd(text, start);
    const Pos first = SkipBlanks(text, start, end);
    if (first < end && text[first] == '#') {
        return {};
    }
    Pos p = first;
    while (p < end && !IsBlank(text[p]) && text[p] != '=') {
        ++p;
    }
    const Pos wordEnd = p;
    p = SkipBlanks(text, p, end);
    if (wordEnd == first || p >= end || text[p] != '=') {
        return {};
    }
    if (valueStart != nullptr) {
        *valueStart = p + 1;
    }
    return text.substr(first, wordEnd - first);
}

// Position just after "[" name "]" of the first header with that name, or npos.
Pos FindSection(Text text, Text name)
{
    for (Pos p = text.find('['); p != npos; p = text.find('[', p + 1)) {
        if (AtLineStart(text, p) && text.substr(p + 1, name.size()) == name &&
            p + 1 + name.size() < text.size() && text[p + 1 + name.size()] == ']') {
            return p + name.size() + 2;
        }
    }
    return npos;
}

// The body ends before the next "[" that starts a line.
Pos BodyEnd(Text text, Pos bodyStart)
{
    for (Pos p = text.find('[', bodyStart); p != npos; p = text.find('[', p + 1)) {
        if (AtLineStart(text, p)) {
            return p;
        }
    }
    return text.size();
}

// The value span of key within the body: from after "=" over the continuation lines, line ends
// included. Empty with found false when the key has no line in the body.
Text FindValue(Text body, Text key, bool& found)
{
    found = false;
    Pos valueStart = 0;
    Pos line = 0;
    for (; line < body.size(); line = NextLine(body, line)) {
        if (KeyOfLine(body, line, &valueStart) == key && !key.empty()) {
            found = true;
            break;
        }
    }
    if (!found) {
        return {};
    }
    Pos end = NextLine(body, valueStart);
    while (end < body.size() && !IsStopLine(body, end) && KeyOfLine(body, end, nullptr).empty()) {
        end = NextLine(body, end);
    }
    return body.substr(valueStart, end - valueStart);
}

Text TrimLineEnds(Text s)
{
    while (!s.empty() && IsLineEnd(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

Text TrimSpaces(Text s)
{
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    while (!s.empty() && space(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && space(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// Copies at most size characters and always terminates (dest holds size + 1 bytes). Returns the
// length of s, or -1 when it was longer than size. Callers may pass the default's own buffer
// as the destination, hence memmove.
int CopyCut(char* dest, int size, Text s)
{
    const auto n = std::min<Pos>(s.size(), static_cast<Pos>(size));
    if (n > 0) {
        std::memmove(dest, s.data(), n);
    }
    dest[n] = '\0';
    return s.size() <= static_cast<Pos>(size) ? static_cast<int>(s.size()) : -1;
}

// A list of names each followed by one blank. With a destination, a name is added only while
// the list, the name, its blank and the NUL fit in size bytes; without one the length grows.
class NameList
{
public:
    NameList(char* dest, int size) : m_dest(dest), m_size(size)
    {
        if (m_dest != nullptr) {
            m_dest[0] = '\0';
        }
    }

    // false once a name did not fit; the list then stays as it was.
    bool Add(Text name)
    {
        const auto need = static_cast<long long>(m_length) + static_cast<long long>(name.size());
        if (m_dest != nullptr) {
            if (static_cast<long long>(m_size) < need + 2) {
                m_full = true;
                return false;
            }
            if (!name.empty()) {
                std::memmove(m_dest + m_length, name.data(), name.size());
            }
            m_dest[need] = ' ';
            m_dest[need + 1] = '\0';
        }
        m_length = static_cast<int>(std::min<long long>(need + 1, 0x7fffffff));
        return true;
    }

    int Result() const { return m_full ? -1 : m_length; }

private:
    char* m_dest;
    int m_size;
    int m_length = 0;
    bool m_full = false;
};

int ListSections(Text text, char* dest, int size)
{
    NameList list(dest, size);
    for (Pos line = 0; line < text.size(); line = NextLine(text, line)) {
        if (text[line] != '[') {
            continue;
        }
        const Pos end = LineEnd(text, line);
        const Pos close = text.substr(0, end).find(']', line + 1);
        if (close != npos && !list.Add(TrimSpaces(text.substr(line + 1, close - line - 1)))) {
            break;
        }
    }
    return list.Result();
}

int ListKeys(Text body, char* dest, int size)
{
    NameList list(dest, size);
    for (Pos line = 0; line < body.size(); line = NextLine(body, line)) {
        if (IsStopLine(body, line)) {
            break;
        }
        const Text key = KeyOfLine(body, line, nullptr);
        if (!key.empty() && !list.Add(key)) {
            break;
        }
    }
    return list.Result();
}

int Clamp(Pos n)
{
    return static_cast<int>(std::min<Pos>(n, 0x7fffffff));
}

} // namespace

extern "C" int KVGetPrivateProfileString(const char* section, const char* key, const char* def,
                                         char* dest, int size, const char* profile)
{
    const Text text = profile != nullptr ? Text(profile) : Text();
    if (dest != nullptr && size < 0) {
        return -1;
    }
    if (section == nullptr) {
        return dest == nullptr ? -1 : ListSections(text, dest, size);
    }
    const Text name(section, strnlen(section, KV_PROFILE_MAX_SECTION + 1));
    const Pos bodyStart = name.size() > KV_PROFILE_MAX_SECTION ? npos : FindSection(text, name);
    if (bodyStart == npos) {
        if (dest != nullptr && def != nullptr) {
            CopyCut(dest, size, def);
        }
        return name.size() > KV_PROFILE_MAX_SECTION ? 0 : -1;
    }
    const Text body = text.substr(bodyStart, BodyEnd(text, bodyStart) - bodyStart);

    if (key == nullptr) {
        if (dest == nullptr) {
            return Clamp(body.size());
        }
        const int copied = CopyCut(dest, size, body);
        dest[TrimLineEnds(body.substr(0, static_cast<Pos>(size))).size()] = '\0';
        return copied;
    }
    if (reinterpret_cast<intptr_t>(key) == -1) { // KV_PROFILE_KEY_LIST
        return ListKeys(body, dest, size);
    }

    bool found = false;
    const Text span = FindValue(body, key, found);
    if (dest == nullptr) {
        return Clamp(span.size());
    }
    if (!found) {
        return CopyCut(dest, size, def != nullptr ? Text(def) : Text());
    }
    return CopyCut(dest, size, TrimLineEnds(span.substr(0, KV_PROFILE_MAX_VALUE)));
}
