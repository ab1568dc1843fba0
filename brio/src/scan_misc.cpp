// Trimming, blank tests, the whole-number check and the error-code messages.

#include "brio/scan.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

inline unsigned char Byte(char c)
{
    return static_cast<unsigned char>(c);
}

// White space and control characters are what Trim removes.
bool IsTrimmed(char c)
{
    return std::isspace(Byte(c)) != 0 || std::iscntrl(Byte(c)) != 0;
}

bool IsBlankOrTab(char c)
{
    return c == ' ' || c == '\t';
}

const char* const kErrorMessages[] = {
    "Brio No ERROR.\n",
    "Brio ERROR: Alloc memory.\n",
    "Brio ERROR: Can't access file.\n",
    "Brio ERROR: Bad argument function.\n",
    "Brio ERROR: Not found.\n",
    "Brio ERROR: Buffer too small.\n",
    "Brio ERROR: Can't read.\n",
    "Brio ERROR: Can't write.\n",
    "Brio ERROR: System error.\n",
    "Brio ERROR: Timeout.\n",
    "Brio ERROR: Would wait.\n",
    "Brio ERROR: Mailer error.\n",
};
const char* const kUnknownError = "Brio ERROR: Unknowned.\n";

} // namespace

extern "C" {

const char* BrioErrorCode2String(int16_t code, char* dest)
{
    const int count = static_cast<int>(sizeof kErrorMessages / sizeof kErrorMessages[0]);
    const char* message = code >= 0 && code < count ? kErrorMessages[code] : kUnknownError;
    if (dest != nullptr) {
        std::strcpy(dest, message);
    }
    return message;
}

void TrimLeft(char* text)
{
    if (text == nullptr) {
        return;
    }
    size_t skip = 0;
    while (text[skip] != '\0' && IsTrimmed(text[skip])) {
        ++skip;
    }
    if (skip > 0) {
        std::memmove(text, text + skip, std::strlen(text + skip) + 1);
    }
}

void TrimRight(char* text)
{
    if (text == nullptr) {
        return;
    }
    size_t length = std::strlen(text);
    while (length > 0 && IsTrimmed(text[length - 1])) {
        --length;
    }
    text[length] = '\0';
}

void Trim(char* text)
{
    TrimLeft(text);
    TrimRight(text);
}

void StrUpr(char* text)
{
    if (text == nullptr) {
        return;
    }
    for (char* p = text; *p != '\0'; ++p) {
        *p = static_cast<char>(std::toupper(Byte(*p)));
    }
}

int ISBlankString(const char* text)
{
    if (text == nullptr) {
        return 1;
    }
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != ' ') {
            return 0;
        }
    }
    return 1;
}

void RMPendingCrLf(char* text)
{
    if (text == nullptr) {
        return;
    }
    size_t length = std::strlen(text);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) {
        --length;
    }
    text[length] = '\0';
}

// The number must start right after the blanks: the C library would also pass over line ends
// and other white space and, for an unsigned read, quietly negate a minus sign behind them.
// Values beyond 32 bits are refused rather than cut, since a long here is 64-bit.
int KVISStrFormat(const char* text, const char* format, void* value)
{
    if (text == nullptr || format == nullptr) {
        return 0;
    }
    bool shortValue = false;
    char kind = '\0';
    if (format[0] != '%') {
        return 0;
    }
    if ((format[1] == 'd' || format[1] == 'u') && format[2] == '\0') {
        kind = format[1];
    } else if ((format[1] == 'l' || format[1] == 's') && (format[2] == 'd' || format[2] == 'u') &&
               format[3] == '\0') {
        shortValue = format[1] == 's';
        kind = format[2];
    } else {
        return 0;
    }

    const char* p = text;
    while (IsBlankOrTab(*p)) {
        ++p;
    }
    if (*p != '+' && *p != '-' && std::isdigit(Byte(*p)) == 0) {
        return 0;
    }
    char* end = nullptr;
    long long number = 0;
    errno = 0;
    if (kind == 'd') {
        number = std::strtoll(p, &end, 10);
        if (errno == ERANGE || number < INT32_MIN || number > INT32_MAX) {
            return 0;
        }
    } else {
        if (*p == '-') {
            return 0;
        }
        const unsigned long long unsignedNumber = std::strtoull(p, &end, 10);
        if (errno == ERANGE || unsignedNumber > UINT32_MAX) {
            return 0;
        }
        number = static_cast<long long>(unsignedNumber);
    }
    if (number == 0 && *p != '0') {
        return 0;
    }
    while (IsBlankOrTab(*end)) {
        ++end;
    }
    if (*end != '\0') {
        return 0;
    }
    if (shortValue) {
        if (number < INT16_MIN || number > INT16_MAX) {
            return 0;
        }
        if (value != nullptr) {
            const auto stored = static_cast<int16_t>(number);
            std::memcpy(value, &stored, sizeof stored);
        }
    } else if (value != nullptr) {
        const auto stored = static_cast<uint32_t>(number);
        std::memcpy(value, &stored, sizeof stored);
    }
    return 1;
}

} // extern "C"
