// Geographic conversions (distances, arc-seconds, degree-minute-second texts) and GPS time.

#include "brio/utils.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr double kEarthRadius = 6371000.0;
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kArcSecHundredths = 360000.0;

// 1980-01-06 00:00 UTC, the origin of GPS time, as a time value.
constexpr int64_t kGpsEpoch = 315964800;
constexpr int64_t kSecondsPerWeek = 604800;

// The three numbers of a degree-minute-second text, its sign kept apart so that -0 30 00
// keeps its sign.
struct Dms
{
    bool negative = false;
    double part[3] = {0, 0, 0};
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits and blanks belong to a number, anything else separates; only the seconds (third
// number) may hold a decimal point, so that what LongLatToStr writes reads back.
Dms parseDms(const char* text)
{
    Dms dms;
    if (text == nullptr)
        return dms;
    const char* p = text;
    while (*p == ' ')
        ++p;
    if (*p == '-') {
        dms.negative = true;
        ++p;
    }
    int index = 0;
    while (*p != '\0' && index < 3) {
        if (!isDigit(*p) && *p != ' ' && !(index == 2 && *p == '.' && isDigit(p[1]))) {
            ++p;
            continue;
        }
        std::string digits;
        bool seenPoint = false;
        for (; *p != '\0'; ++p) {
            if (isDigit(*p)) {
                digits += *p;
            } else if (*p == '.' && index == 2 && !seenPoint) {
                seenPoint = true;
                digits += '.';
            } else if (*p != ' ') {
                break;
            }
        }
        if (digits.find_first_of("0123456789") == std::string::npos)
            continue; // blanks only, or a lone point: not a number
        dms.part[index++] = std::strtod(digits.c_str(), nullptr);
    }
    return dms;
}

int clampToInt(double v)
{
    if (!(v < 2147483647.0))
        return v > 0 ? 2147483647 : 0;
    return static_cast<int>(v);
}

struct Group
{
    size_t begin = 0;
    size_t end = 0;   // one past the last digit or point
    int intWidth = 0; // digits before the point
    int decimals = 0; // digits after the point
    bool hasPoint = false;
};

} // namespace

extern "C" {

double CalcSphereDistance(double longitude1, double latitude1, double longitude2, double latitude2)
{
    // Haversine form of the great-circle angle: well conditioned for short distances too.
    double phi1 = latitude1 * kDegToRad;
    double phi2 = latitude2 * kDegToRad;
    double dPhi = phi2 - phi1;
    double dLambda = (longitude2 - longitude1) * kDegToRad;
    double h = std::sin(dPhi / 2) * std::sin(dPhi / 2) +
               std::cos(phi1) * std::cos(phi2) * std::sin(dLambda / 2) * std::sin(dLambda / 2);
    if (!(h >= 0))
        return 0;
    if (h > 1)
        h = 1;
    double angle = 2 * std::asin(std::sqrt(h));
    if (!(angle >= 0.000001))
        return 0;
    return kEarthRadius * angle;
}

int Deg2ArcSec(double* longitude, double* latitude)
{
    if (longitude != nullptr)
        *longitude = (*longitude + 180) * kArcSecHundredths;
    if (latitude != nullptr)
        *latitude = (*latitude + 90) * kArcSecHundredths;
    return 1;
}

int ArcSec2Deg(double* longitude, double* latitude)
{
    if (longitude != nullptr)
        *longitude = *longitude * (1 / kArcSecHundredths) - 180;
    if (latitude != nullptr)
        *latitude = *latitude * (1 / kArcSecHundredths) - 90;
    return 1;
}

double RoundDouble(double value, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    if (decimals > 100)
        decimals = 100;
    char text[512]; // 309 integer digits, a point and 100 decimals at most
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::strtod(text, nullptr);
}

int GetDegFromStr(const char* text)
{
    Dms dms = parseDms(text);
    int degrees = clampToInt(dms.part[0]);
    return dms.negative ? -degrees : degrees;
}

int GetMinuteFromStr(const char* text)
{
    return clampToInt(parseDms(text).part[1]);
}

double GetSecondeFromStr(const char* text)
{
    return parseDms(text).part[2];
}

double StrToLongLat(const char* text)
{
    Dms dms = parseDms(text);
    double value = dms.part[0] + dms.part[1] / 60 + dms.part[2] / 3600;
    return dms.negative ? -value : value;
}

int LongLatToStr(char* dest, const char* tmpl, double value)
{
    if (dest != nullptr)
        *dest = '\0';
    if (dest == nullptr || tmpl == nullptr || !std::isfinite(value) || std::fabs(value) > 360)
        return 0;

    Group groups[3];
    int count = 0;
    size_t length = std::strlen(tmpl);
    for (size_t i = 0; i < length && count < 3;) {
        if (!isDigit(tmpl[i])) {
            ++i;
            continue;
        }
        Group& g = groups[count++];
        g.begin = i;
        for (; i < length && isDigit(tmpl[i]); ++i)
            ++g.intWidth;
        if (i + 1 < length && tmpl[i] == '.' && isDigit(tmpl[i + 1])) {
            g.hasPoint = true;
            for (++i; i < length && isDigit(tmpl[i]); ++i)
                ++g.decimals;
        }
        g.end = i;
    }
    // Only the last group carries decimals; a point in an earlier one is copied as text.
    for (int k = 0; k + 1 < count; ++k) {
        if (groups[k].hasPoint) {
            groups[k].end = groups[k].begin + static_cast<size_t>(groups[k].intWidth);
            groups[k].hasPoint = false;
            groups[k].decimals = 0;
        }
    }
    int decimals = count > 0 ? groups[count - 1].decimals : 0;
    if (decimals > 9)
        decimals = 9;

    // Whole units of the last group's decimals, so that rounding carries into the minutes
    // and degrees instead of writing 60 seconds.
    long long scale = 1;
    for (int k = 0; k < decimals; ++k)
        scale *= 10;
    double units = std::fabs(value) * static_cast<double>(scale);
    for (int k = 1; k < count; ++k)
        units *= 60;
    auto total = static_cast<long long>(std::llround(units));
    long long numbers[3] = {0, 0, 0};
    long long fraction = 0;
    if (count > 0) {
        long long last = total;
        if (count > 1) {
            last = total % (60 * scale);
            total /= 60 * scale;
        }
        fraction = last % scale;
        numbers[count - 1] = last / scale;
        if (count == 3) {
            numbers[1] = total % 60;
            total /= 60;
        }
        if (count > 1)
            numbers[0] = total;
    }

    std::string out;
    if (value < 0)
        out += '-';
    size_t pos = 0;
    for (int k = 0; k < count; ++k) {
        out.append(tmpl + pos, groups[k].begin - pos);
        char number[48];
        if (k == count - 1 && decimals > 0) {
            std::snprintf(number, sizeof number, "%0*lld.%0*lld", groups[k].intWidth, numbers[k],
                          decimals, fraction);
        } else {
            std::snprintf(number, sizeof number, "%0*lld", groups[k].intWidth, numbers[k]);
        }
        out += number;
        pos = groups[k].end;
    }
    out.append(tmpl + pos);
    std::memcpy(dest, out.c_str(), out.size() + 1);
    return 1;
}

KVTIME GPSTime2Time(int64_t gpsSeconds)
{
    int64_t t = 0;
    if (__builtin_add_overflow(gpsSeconds, kGpsEpoch, &t))
        return INT64_MAX;
    return t;
}

int64_t Time2GPSTime(KVTIME timeValue)
{
    int64_t gps = 0;
    if (__builtin_sub_overflow(timeValue, kGpsEpoch, &gps))
        return INT64_MIN;
    return gps;
}

KVTIME GPSWeekTime2Time(int32_t week, int32_t secondsOfWeek)
{
    return GPSTime2Time(static_cast<int64_t>(week) * kSecondsPerWeek + secondsOfWeek);
}

int Time2GPSWeekTime(KVTIME timeValue, int32_t* week, int32_t* secondsOfWeek)
{
    if (week == nullptr)
        return -1;
    int64_t gps = Time2GPSTime(timeValue);
    int64_t w = gps / kSecondsPerWeek;
    int64_t s = gps % kSecondsPerWeek;
    if (s < 0) {
        s += kSecondsPerWeek;
        --w;
    }
    *week = static_cast<int32_t>(w);
    if (secondsOfWeek != nullptr)
        *secondsOfWeek = static_cast<int32_t>(s);
    return 1;
}

} // extern "C"
