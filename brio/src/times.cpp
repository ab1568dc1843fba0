#include "brio/times.h"

#include "brio/scan.h"
#include "os/clock.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr KVTIME kSecondsPerDay = 86400;

bool IsLeap(long long year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Local calendar fields of t, refused outside the four-digit years so that every format keeps
// its width.
bool LocalFields(KVTIME t, std::tm& tm)
{
    if (!os::LocalTime(t, tm)) {
        return false;
    }
    const long long year = static_cast<long long>(tm.tm_year) + 1900;
    return year >= 0 && year <= 9999;
}

// Writes the date of t; false for a format not in the table or a time out of range.
bool FormatDate(char* dest, int format, KVTIME t)
{
    std::tm tm{};
    if (format < 1 || format > 15 || !LocalFields(t, tm)) {
        return false;
    }
    const int d = tm.tm_mday;
    const int m = tm.tm_mon + 1;
    const int yyyy = tm.tm_year + 1900;
    const int yy = yyyy % 100;
    // Every branch writes at most 10 characters for a four-digit year.
    switch (format) {
    case 1:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%04d%02d%02d", yyyy, m, d);
        break;
    case 2:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d/%02d/%02d", m, d, yy);
        break;
    case 3:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d/%02d/%04d", m, d, yyyy);
        break;
    case 4:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d.%02d.%02d", d, m, yy);
        break;
    case 5:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d.%02d.%04d", d, m, yyyy);
        break;
    case 6:
    case 8:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d/%02d/%02d", d, m, yy);
        break;
    case 7:
    case 9:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d/%02d/%04d", d, m, yyyy);
        break;
    case 10:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d-%02d-%02d", d, m, yy);
        break;
    case 11:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d-%02d-%04d", d, m, yyyy);
        break;
    case 12:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d.%02d.%02d", yy, m, d);
        break;
    case 13:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%04d.%02d.%02d", yyyy, m, d);
        break;
    case 14:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%04d/%03d", yyyy, tm.tm_yday + 1);
        break;
    default:
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d%02d%02d", d, m, yy);
        break;
    }
    return true;
}

bool FormatHour(char* dest, int format, KVTIME t)
{
    static const char* const kDays[7] = {"Sun", "Mon", "Tue", "Wen", "Thu", "Fri", "Sat"};
    if (format == 3) {
        // A duration from Sunday 00:00; it wraps each week, and a negative one counts back.
        KVTIME days = t / kSecondsPerDay;
        KVTIME rest = t % kSecondsPerDay;
        if (rest < 0) {
            rest += kSecondsPerDay;
            --days;
        }
        const auto day = static_cast<int>(((days % 7) + 7) % 7);
        const auto secs = static_cast<int>(rest);
        std::snprintf(dest, KV_TIME_STR_SIZE, "%s %02d:%02d:%02d", kDays[day], secs / 3600,
                      secs / 60 % 60, secs % 60);
        return true;
    }
    std::tm tm{};
    if ((format != 1 && format != 2) || !LocalFields(t, tm)) {
        return false;
    }
    if (format == 1) {
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    } else {
        std::snprintf(dest, KV_TIME_STR_SIZE, "%02d%02d", tm.tm_hour, tm.tm_min);
    }
    return true;
}

void Fill(KVTM* out, const std::tm& tm, int monthBase)
{
    out->tm_sec = tm.tm_sec;
    out->tm_min = tm.tm_min;
    out->tm_hour = tm.tm_hour;
    out->tm_mday = tm.tm_mday;
    out->tm_mon = tm.tm_mon + monthBase;
    out->tm_year = tm.tm_year + 1900;
    out->tm_wday = tm.tm_wday;
    out->tm_yday = tm.tm_yday;
    out->tm_isdst = tm.tm_isdst;
}

void ToFields(KVTIME t, KVTM* out, int monthBase)
{
    if (out == nullptr) {
        return;
    }
    std::tm tm{};
    if (!os::LocalTime(t, tm)) {
        *out = KVTM{};
        return;
    }
    Fill(out, tm, monthBase);
}

KVTIME SecondsOfDay(KVTIME hour, KVTIME minute, KVTIME second)
{
    return hour * 3600 + minute * 60 + second;
}

// Leap years from year 1 up to and including year y.
long long LeapsThrough(long long y)
{
    return y / 4 - y / 100 + y / 400;
}

} // namespace

extern "C" {

KVTIME TimeNow(void)
{
    return os::WallClockSeconds();
}

KVTIME TimeGMTNow(void)
{
    const KVTIME now = os::WallClockSeconds();
    std::tm tm{};
    if (!os::UniversalTime(now, tm)) {
        return now;
    }
    // Let the system choose the daylight-saving state of the UTC fields read as local time;
    // forcing "standard time" would put the result an hour off in summer.
    tm.tm_isdst = -1;
    std::int64_t back = now;
    return os::FromLocalTime(tm, back) ? back : now;
}

KVTIME HourNow(void)
{
    std::tm tm{};
    if (!os::LocalTime(os::WallClockSeconds(), tm)) {
        return 0;
    }
    return SecondsOfDay(tm.tm_hour, tm.tm_min, tm.tm_sec);
}

int DateToStr(char* dest, int16_t format, KVTIME t)
{
    if (dest == nullptr) {
        return BRIO_ERR_BAD_ARG;
    }
    if (t == 0 && format >= 1 && format <= 15) {
        std::memcpy(dest, "NULL", 5);
        return BRIO_NO_ERROR;
    }
    if (!FormatDate(dest, format, t)) {
        dest[0] = '\0';
        return BRIO_ERR_BAD_ARG;
    }
    return BRIO_NO_ERROR;
}

int HourToStr(char* dest, int16_t format, KVTIME t)
{
    if (dest == nullptr) {
        return BRIO_ERR_BAD_ARG;
    }
    if (!FormatHour(dest, format, t)) {
        dest[0] = '\0';
        return BRIO_ERR_BAD_ARG;
    }
    return BRIO_NO_ERROR;
}

int TimeToStr(char* dest, int16_t dateFormat, int16_t hourFormat, KVTIME t)
{
    if (dest == nullptr) {
        return BRIO_ERR_BAD_ARG;
    }
    if (t == 0) {
        std::memcpy(dest, "NULL", 5);
        return 1;
    }
    char date[KV_TIME_STR_SIZE];
    char hour[KV_TIME_STR_SIZE];
    if (!FormatDate(date, dateFormat, t) || !FormatHour(hour, hourFormat, t)) {
        dest[0] = '\0';
        return BRIO_ERR_BAD_ARG;
    }
    // At most 10 + 1 + 12 characters: well within KV_TIME_STR_SIZE.
    const std::size_t dateLen = std::strlen(date);
    std::memcpy(dest, date, dateLen);
    dest[dateLen] = ' ';
    std::memcpy(dest + dateLen + 1, hour, std::strlen(hour) + 1);
    return 1;
}

int ElapseToStr(char* dest, uint32_t seconds)
{
    if (dest == nullptr) {
        return 0;
    }
    std::snprintf(dest, KV_TIME_STR_SIZE, "%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return 1;
}

void LongToTime(KVTIME t, KVTM* out)
{
    ToFields(t, out, 1);
}

void LongToHour(KVTIME t, KVTM* out)
{
    ToFields(t, out, 0);
}

int16_t DayInMonth(int year, int16_t month)
{
    static const int16_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 0 || month > 11) {
        return -1;
    }
    return month == 1 && IsLeap(year) ? 29 : kDays[month];
}

KVTIME TimeToLong(const KVTM* tm)
{
    if (tm == nullptr || tm->tm_sec < 0 || tm->tm_sec >= 60 || tm->tm_min < 0 || tm->tm_min >= 60 ||
        tm->tm_hour < 0 || tm->tm_hour > 23 || tm->tm_mday < 1 || tm->tm_mday >= 32 ||
        tm->tm_mon < 0 || tm->tm_mon > 11 || tm->tm_year < 0) {
        return 0;
    }
    long long year = tm->tm_year;
    if (year < 1900) {
        year += 1900;
    }
    if (year < 1970 || year > 9999) {
        return 0;
    }
    long long days = (year - 1970) * 365 + LeapsThrough(year - 1) - LeapsThrough(1969);
    for (int16_t m = 0; m < tm->tm_mon; ++m) {
        days += DayInMonth(static_cast<int>(year), m);
    }
    days += tm->tm_mday - 1;
    return days * kSecondsPerDay + SecondsOfDay(tm->tm_hour, tm->tm_min, tm->tm_sec);
}

KVTIME HourToLong(const KVTM* tm)
{
    if (tm == nullptr || tm->tm_hour < 0 || tm->tm_hour > 23 || tm->tm_min < 0 ||
        tm->tm_min >= 60 || tm->tm_sec < 0 || tm->tm_sec >= 60) {
        return 0;
    }
    return SecondsOfDay(tm->tm_hour, tm->tm_min, tm->tm_sec);
}

int ISToday(KVTIME t)
{
    std::tm then{};
    std::tm now{};
    if (!os::LocalTime(t, then) || !os::LocalTime(os::WallClockSeconds(), now)) {
        return 0;
    }
    return then.tm_year == now.tm_year && then.tm_yday == now.tm_yday ? 1 : 0;
}

KVCLOCK DiffClock(KVCLOCK start)
{
    return os::MonotonicMilliseconds() - start;
}

double KVCalcDuration(KVCLOCK start)
{
    return static_cast<double>(DiffClock(start)) * 0.001;
}

} // extern "C"
