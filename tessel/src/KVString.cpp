#include "tessel/KVString.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace {

constexpr int kMaxFieldWidth = 4096;

const char* OrEmpty(const char* text)
{
    return text ? text : "";
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

// Positions are int in the interface; strings beyond that range report "not found" rather
// than a truncated position.
int ToPos(std::size_t pos)
{
    return (pos == std::string::npos || pos > static_cast<std::size_t>(INT_MAX))
               ? -1
               : static_cast<int>(pos);
}

std::size_t StartOf(int start)
{
    return start < 0 ? 0 : static_cast<std::size_t>(start);
}

void AppendUtf8(std::string& out, unsigned long code)
{
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The string without surrounding blanks, as the number checks see it.
std::string_view Core(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return std::string_view(s).substr(b, e - b);
}

std::size_t SkipDigits(std::string_view s, std::size_t i)
{
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    return i;
}

std::string RightAligned(std::string text, int width)
{
    if (width > kMaxFieldWidth)
        width = kMaxFieldWidth;
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

// Exponent notation in at most width characters where possible: the mantissa gets the
// digits that fit, then loses its trailing zeros.
std::string ExponentForm(double value, int width)
{
    std::string text;
    for (int precision = std::clamp(width - 6, 0, 17); precision >= 0; --precision) {
        char buf[512];
        std::snprintf(buf, sizeof buf, "%.*e", precision, value);
        text = buf;
        if (text.size() <= static_cast<std::size_t>(width))
            break;
    }
    std::size_t e = text.find('e');
    std::size_t point = text.find('.');
    if (point != std::string::npos && e != std::string::npos) {
        std::size_t last = e;
        while (last > point + 1 && text[last - 1] == '0')
            --last;
        if (last == point + 1)
            last = point;
        text.erase(last, e - last);
    }
    return text;
}

} // namespace

CKVString::CKVString(char ch, int count)
{
    if (count > 0)
        assign(static_cast<std::size_t>(count), ch);
}

CKVString::CKVString(const char* text, int count)
{
    if (text && count > 0)
        assign(text, strnlen(text, static_cast<std::size_t>(count)));
}

CKVString::CKVString(const char* text) : std::string(OrEmpty(text))
{
}

CKVString::CKVString(const unsigned char* text)
    : std::string(OrEmpty(reinterpret_cast<const char*>(text)))
{
}

CKVString::CKVString(const wchar_t* text)
{
    if (!text)
        return;
    for (; *text; ++text) {
        unsigned long code = static_cast<std::make_unsigned_t<wchar_t>>(*text);
        if constexpr (sizeof(wchar_t) == 2) {
            // A surrogate pair on platforms with 16-bit wide characters.
            if (code >= 0xD800 && code <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) +
                       (static_cast<unsigned long>(text[1]) - 0xDC00);
                ++text;
            }
        }
        AppendUtf8(*this, code);
    }
}

CKVString& CKVString::operator=(const std::string& text)
{
    std::string::operator=(text);
    return *this;
}

CKVString& CKVString::operator=(std::string&& text) noexcept
{
    std::string::operator=(std::move(text));
    return *this;
}

CKVString& CKVString::operator=(const char* text)
{
    std::string::operator=(OrEmpty(text));
    return *this;
}

CKVString& CKVString::operator=(char ch)
{
    assign(1, ch);
    return *this;
}

int CKVString::Insert(int index, const char* text)
{
    std::size_t at = StartOf(index);
    if (at > size())
        append(at - size(), ' ');
    insert(at, OrEmpty(text));
    return ToPos(size());
}

int CKVString::Insert(int index, char ch)
{
    const char text[2] = {ch, '\0'};
    if (ch == '\0') {
        // A NUL is a character of the string like any other.
        std::size_t at = StartOf(index);
        if (at > size())
            append(at - size(), ' ');
        insert(at, 1, '\0');
        return ToPos(size());
    }
    return Insert(index, text);
}

int CKVString::Delete(int index, int count)
{
    std::size_t at = StartOf(index);
    if (at < size()) {
        std::size_t n = count < 0 ? npos : static_cast<std::size_t>(count);
        erase(at, n);
    }
    return ToPos(size());
}

int CKVString::Replace(int index, int count, const char* text)
{
    Delete(index, count);
    return Insert(index, text);
}

int CKVString::Find(char ch, int start) const
{
    return ToPos(find(ch, StartOf(start)));
}

int CKVString::Find(const char* text, int start) const
{
    if (StartOf(start) > size())
        return -1;
    return ToPos(find(OrEmpty(text), StartOf(start)));
}

int CKVString::FindNoCase(char ch, int start) const
{
    return ToPos(Lowered(*this).find(Lower(ch), StartOf(start)));
}

int CKVString::FindNoCase(const char* text, int start) const
{
    if (StartOf(start) > size())
        return -1;
    return ToPos(Lowered(*this).find(Lowered(OrEmpty(text)), StartOf(start)));
}

int CKVString::ReverseFind(char ch) const
{
    return ToPos(rfind(ch));
}

int CKVString::ReverseFind(const char* text) const
{
    return ToPos(rfind(OrEmpty(text)));
}

int CKVString::ReverseFindNoCase(char ch) const
{
    return ToPos(Lowered(*this).rfind(Lower(ch)));
}

int CKVString::ReverseFindNoCase(const char* text) const
{
    return ToPos(Lowered(*this).rfind(Lowered(OrEmpty(text))));
}

int CKVString::FindReplace(const char* find, const char* replacement, int all)
{
    std::string_view what = OrEmpty(find);
    std::string_view with = OrEmpty(replacement);
    if (what.empty())
        return 0;
    int count = 0;
    std::size_t pos = 0;
    while ((pos = std::string::find(what, pos)) != npos) {
        std::string::replace(pos, what.size(), with);
        ++count;
        if (!all)
            break;
        pos += with.size();
    }
    return count;
}

int CKVString::FindReplaceNoCase(const char* find, const char* replacement, int all)
{
    std::string what = Lowered(OrEmpty(find));
    std::string_view with = OrEmpty(replacement);
    if (what.empty())
        return 0;
    // The lower-cased copy is edited in step with the real string so that positions found
    // in it stay valid in the real one.
    std::string folded = Lowered(*this);
    const std::string foldedWith = Lowered(with);
    int count = 0;
    std::size_t pos = 0;
    while ((pos = folded.find(what, pos)) != npos) {
        std::string::replace(pos, what.size(), with);
        folded.replace(pos, what.size(), foldedWith);
        ++count;
        if (!all)
            break;
        pos += with.size();
    }
    return count;
}

CKVString CKVString::GetField(const char* separator, int index) const
{
    std::string_view sep = OrEmpty(separator);
    if (index < 0)
        return {};
    if (sep.empty())
        return index == 0 ? *this : CKVString();
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        std::size_t next = find(sep, begin);
        if (next == npos)
            return {};
        begin = next + sep.size();
    }
    std::size_t end = find(sep, begin);
    return CKVString(substr(begin, end == npos ? npos : end - begin));
}

CKVString CKVString::GetField(char separator, int index) const
{
    const char sep[2] = {separator, '\0'};
    return GetField(sep, index);
}

int CKVString::GetFieldCount(const char* separator) const
{
    std::string_view sep = OrEmpty(separator);
    if (sep.empty())
        return 1;
    int count = 1;
    for (std::size_t pos = find(sep); pos != npos && count < INT_MAX;
         pos = find(sep, pos + sep.size()))
        ++count;
    return count;
}

int CKVString::GetFieldCount(char separator) const
{
    const char sep[2] = {separator, '\0'};
    return GetFieldCount(sep);
}

CKVString CKVString::GetDelimitedField(const char* opening, const char* closing, int index) const
{
    std::string_view open = OrEmpty(opening);
    std::string_view close = OrEmpty(closing);
    if (index < 0 || open.empty() || close.empty())
        return {};
    std::size_t pos = npos;
    std::size_t from = 0;
    for (int i = 0; i <= index; ++i) {
        pos = find(open, from);
        if (pos == npos)
            return {};
        from = pos + open.size();
    }
    std::size_t end = find(close, from);
    if (end == npos)
        return {};
    return CKVString(substr(from, end - from));
}

CKVString CKVString::GetDelimitedField(char opening, char closing, int index) const
{
    const char open[2] = {opening, '\0'};
    const char close[2] = {closing, '\0'};
    return GetDelimitedField(open, close, index);
}

bool CKVString::IsInt() const
{
    std::string_view s = Core(*this);
    std::size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    std::size_t end = SkipDigits(s, i);
    return end > i && end == s.size();
}

bool CKVString::IsFloat() const
{
    std::string_view s = Core(*this);
    std::size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    std::size_t intEnd = SkipDigits(s, i);
    std::size_t digits = intEnd - i;
    i = intEnd;
    if (i < s.size() && s[i] == '.') {
        std::size_t fracEnd = SkipDigits(s, i + 1);
        digits += fracEnd - (i + 1);
        i = fracEnd;
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        std::size_t expEnd = SkipDigits(s, j);
        if (expEnd == j)
            return false;
        i = expEnd;
    }
    return i == s.size();
}

int CKVString::GetInt() const
{
    long v = GetLong();
    return static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
}

long CKVString::GetLong() const
{
    // strtol clamps on overflow where atol's behaviour is undefined.
    return std::strtol(c_str(), nullptr, 10);
}

float CKVString::GetFloat() const
{
    double v = GetDouble();
    if (std::isfinite(v) && std::fabs(v) > static_cast<double>(__FLT_MAX__))
        return v < 0 ? -__FLT_MAX__ : __FLT_MAX__;
    return static_cast<float>(v);
}

double CKVString::GetDouble() const
{
    return std::strtod(c_str(), nullptr);
}

CKVString& CKVString::PutInt(int value, int width)
{
    return PutLong(value, width);
}

CKVString& CKVString::PutLong(long value, int width)
{
    *this = RightAligned(std::to_string(value), width);
    return *this;
}

CKVString& CKVString::PutFloat(double value, int width)
{
    // Room for 301 whole digits, a sign, a point and the largest count of decimals below.
    char buf[1024];
    if (width > kMaxFieldWidth)
        width = kMaxFieldWidth;
    if (width < 1 || !std::isfinite(value)) {
        std::snprintf(buf, sizeof buf, "%g", value);
        *this = RightAligned(buf, width);
        return *this;
    }
    // Digits of the whole part (with sign) decide whether fixed-point fits at all.
    std::snprintf(buf, sizeof buf, "%.0f", value);
    const int whole = static_cast<int>(std::strlen(buf));
    if (whole <= width && std::fabs(value) < 1e300) {
        int decimals = width - whole - 1;
        if (decimals > 400)
            decimals = 400;
        for (; decimals >= 0; --decimals) {
            std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
            if (static_cast<int>(std::strlen(buf)) <= width)
                break;
        }
        if (decimals < 0)
            std::snprintf(buf, sizeof buf, "%.0f", value);
        // A non-zero value that would read as zero loses everything; exponent form keeps it.
        if (value == 0.0 || std::strtod(buf, nullptr) != 0.0) {
            *this = RightAligned(buf, width);
            return *this;
        }
    }
    *this = RightAligned(ExponentForm(value, width), width);
    return *this;
}
