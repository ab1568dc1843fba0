#include "tessel/SortClass.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>

ISortableList::~ISortableList() = default;

struct CSortClass::Context
{
    const std::vector<Record>* records;
    int type;
    int sign;
};

namespace {

using Record = CSortClass::Record;

int Sign(long long v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

template <typename T> int Order(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(Lower(a[i]));
        auto cb = static_cast<unsigned char>(Lower(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return Order(a.size(), b.size());
}

// Reads digits at pos (at most maxDigits); false when there are none.
bool ReadNumber(std::string_view s, std::size_t& pos, int maxDigits, int& value, int& digits)
{
    value = 0;
    digits = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && digits < maxDigits) {
        value = value * 10 + (s[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits > 0;
}

void SkipBlanks(std::string_view s, std::size_t& pos)
{
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
        ++pos;
}

bool IsLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysIn(int y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

bool ReadDate(std::string_view s, std::size_t& pos, int& y, int& m, int& d)
{
    std::size_t p = pos;
    int a = 0, b = 0, c = 0, na = 0, nb = 0, nc = 0;
    if (!ReadNumber(s, p, 4, a, na) || p >= s.size())
        return false;
    char sep = s[p];
    if (sep != '/' && sep != '-')
        return false;
    ++p;
    if (!ReadNumber(s, p, 2, b, nb) || p >= s.size() || s[p] != sep)
        return false;
    ++p;
    if (!ReadNumber(s, p, 4, c, nc))
        return false;
    if (na == 4 && sep == '-') { // yyyy-mm-dd
        y = a, m = b, d = c;
    } else if (na <= 2 && sep == '/' && (nc == 4 || nc == 2)) { // mm/dd/yyyy or mm/dd/yy
        m = a, d = b, y = nc == 2 ? (c < 30 ? 2000 + c : 1900 + c) : c;
    } else {
        return false;
    }
    if (m < 1 || m > 12 || d < 1 || d > DaysIn(y, m))
        return false;
    pos = p;
    return true;
}

bool ReadTime(std::string_view s, std::size_t& pos, int& seconds)
{
    std::size_t p = pos;
    int h = 0, mi = 0, se = 0, n = 0;
    if (!ReadNumber(s, p, 2, h, n) || p >= s.size() || s[p] != ':')
        return false;
    ++p;
    if (!ReadNumber(s, p, 2, mi, n) || n != 2)
        return false;
    if (p < s.size() && s[p] == ':') {
        ++p;
        if (!ReadNumber(s, p, 2, se, n) || n != 2)
            return false;
    }
    std::size_t q = p;
    SkipBlanks(s, q);
    if (q + 1 < s.size() && (Lower(s[q + 1]) == 'm') &&
        (Lower(s[q]) == 'a' || Lower(s[q]) == 'p')) {
        if (h < 1 || h > 12)
            return false;
        h = (h % 12) + (Lower(s[q]) == 'p' ? 12 : 0);
        p = q + 2;
    }
    if (h > 23 || mi > 59 || se > 59)
        return false;
    seconds = h * 3600 + mi * 60 + se;
    pos = p;
    return true;
}

// A date and time as one comparable number, or nothing when the text is not one. A time
// without a date falls on day zero, before every date.
std::optional<long long> DateTimeKey(std::string_view s)
{
    std::size_t pos = 0;
    SkipBlanks(s, pos);
    int y = 0, m = 0, d = 0, seconds = 0;
    bool date = ReadDate(s, pos, y, m, d);
    if (date) {
        std::size_t before = pos;
        SkipBlanks(s, pos);
        if (pos < s.size() && !ReadTime(s, pos, seconds))
            pos = before;
    } else if (!ReadTime(s, pos, seconds)) {
        return std::nullopt;
    }
    SkipBlanks(s, pos);
    if (pos != s.size())
        return std::nullopt;
    return ((static_cast<long long>(y) * 100 + m) * 100 + d) * 100000 + seconds;
}

std::optional<double> DecimalValue(const std::string& s)
{
    // Read as atof reads: text without a number is 0.
    double v = std::strtod(s.c_str(), nullptr);
    if (std::isnan(v))
        return std::nullopt;
    return v;
}

long WholeValue(const std::string& s)
{
    return std::strtol(s.c_str(), nullptr, 10);
}

// Readable values first, in value order; unreadable ones after them by their text. This
// keeps the ordering strict and weak whatever the texts are.
template <typename T>
int CompareReadable(const std::optional<T>& a, const std::optional<T>& b, const std::string& ta,
                    const std::string& tb)
{
    if (a && b)
        return Order(*a, *b);
    if (a || b)
        return a ? -1 : 1;
    return Order(ta, tb);
}

const Record* RecordOf(const std::vector<Record>& records, std::uintptr_t data)
{
    if (records.empty())
        return nullptr;
    auto first = reinterpret_cast<std::uintptr_t>(records.data());
    auto last = reinterpret_cast<std::uintptr_t>(records.data() + records.size());
    if (data < first || data >= last || (data - first) % sizeof(Record) != 0)
        return nullptr;
    return &records[(data - first) / sizeof(Record)];
}

} // namespace

int CSortClass::Compare(std::uintptr_t data1, std::uintptr_t data2, std::uintptr_t param)
{
    // The list hands back the context pointer given to SortItems.
    const auto* ctx = reinterpret_cast<const Context*>(param); // NOLINT(performance-no-int-to-ptr)
    static const std::string kEmpty;
    const Record* r1 = RecordOf(*ctx->records, data1);
    const Record* r2 = RecordOf(*ctx->records, data2);
    const std::string& a = r1 ? r1->text : kEmpty;
    const std::string& b = r2 ? r2->text : kEmpty;
    int result = 0;
    switch (ctx->type) {
    case CSortClass::WholeNumber:
        result = Order(WholeValue(a), WholeValue(b));
        break;
    case CSortClass::Text:
        result = CompareNoCase(a, b);
        break;
    case CSortClass::DateTime:
        result = CompareReadable(DateTimeKey(a), DateTimeKey(b), a, b);
        break;
    case CSortClass::Decimal:
        result = CompareReadable(DecimalValue(a), DecimalValue(b), a, b);
        break;
    default:
        break;
    }
    return Sign(result) * ctx->sign;
}

CSortClass::CSortClass(ISortableList* list, int column)
    : m_list(list), m_context(std::make_unique<Context>())
{
    m_context->records = &m_records;
    if (!m_list)
        return;
    const int rows = m_list->GetItemCount();
    if (rows <= 0)
        return;
    m_records.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        m_records.push_back(Record{m_list->GetItemData(row), m_list->GetItemText(row, column)});
    for (int row = 0; row < rows; ++row)
        m_list->SetItemData(
            row, reinterpret_cast<std::uintptr_t>(&m_records[static_cast<std::size_t>(row)]));
}

CSortClass::~CSortClass()
{
    if (!m_list)
        return;
    // Rows may have moved, been added or been removed since construction; only data words
    // that are still one of our records are given back.
    const int rows = m_list->GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (const Record* r = RecordOf(m_records, m_list->GetItemData(row)))
            m_list->SetItemData(row, r->ownData);
    }
}

void CSortClass::Sort(bool ascending, int type)
{
    if (!m_list)
        return;
    m_context->type = type;
    m_context->sign = ascending ? 1 : -1;
    m_list->SortItems(&CSortClass::Compare, reinterpret_cast<std::uintptr_t>(m_context.get()));
}
