// Payment-card number checks: the Luhn checksum and the length and prefix rule of each type.

#include "brio/utils.h"

#include <cctype>
#include <cstring>

namespace {

struct CardRule
{
    const char* name;
    int lengths[2];          // allowed digit counts; 0 for an unused slot
    const char* prefixes[7]; // NULL-terminated
};

// The order only matters for IsAnyCCNb, which accepts a number that fits any rule.
constexpr CardRule kRules[] = {
    {"VISA", {13, 16}, {"4", nullptr}},
    {"MASTERCARD", {16, 0}, {"51", "52", "53", "54", "55", nullptr}},
    {"AMERICANEXPRESS", {15, 0}, {"34", "37", nullptr}},
    {"AMEX", {15, 0}, {"34", "37", nullptr}},
    {"DISCOVER", {16, 0}, {"6011", nullptr}},
    {"JCB", {16, 0}, {"3088", "3096", "3112", "3158", "3337", "3528", nullptr}},
    {"DINERS", {14, 0}, {"30", "36", "38", nullptr}},
    {"CARTEBLANCHE", {14, 0}, {"30", "36", "38", nullptr}},
    {"ENROUTE", {15, 0}, {"2014", "2149", nullptr}},
};

constexpr size_t kMaxDigits = 19;

bool passesLuhn(const char* number)
{
    size_t length = std::strlen(number);
    if (length == 0 || length > kMaxDigits)
        return false;
    int sum = 0;
    bool doubled = false;
    for (size_t i = length; i-- > 0;) {
        if (number[i] < '0' || number[i] > '9')
            return false;
        int digit = number[i] - '0';
        if (doubled) {
            digit *= 2;
            if (digit > 9)
                digit -= 9;
        }
        sum += digit;
        doubled = !doubled;
    }
    return sum % 10 == 0;
}

bool fitsRule(const char* number, const CardRule& rule)
{
    auto length = static_cast<int>(std::strlen(number));
    if (length != rule.lengths[0] && length != rule.lengths[1])
        return false;
    for (const char* const* prefix = rule.prefixes; *prefix != nullptr; ++prefix) {
        if (std::strncmp(number, *prefix, std::strlen(*prefix)) == 0)
            return true;
    }
    return false;
}

} // namespace

extern "C" {

int IsAnyCCNb(const char* number)
{
    if (number == nullptr || !passesLuhn(number))
        return 0;
    for (const CardRule& rule : kRules) {
        if (fitsRule(number, rule))
            return 1;
    }
    return 0;
}

int IsValidCC(const char* number, const char* cardType)
{
    if (number == nullptr || cardType == nullptr)
        return 0;
    for (const CardRule& rule : kRules) {
        size_t n = std::strlen(rule.name);
        bool same = std::strlen(cardType) == n;
        for (size_t i = 0; same && i < n; ++i)
            same = std::toupper(static_cast<unsigned char>(cardType[i])) == rule.name[i];
        if (same)
            return passesLuhn(number) && fitsRule(number, rule) ? 1 : 0;
    }
    // A type the library does not know is not the library's to refuse.
    return 1;
}

} // extern "C"
