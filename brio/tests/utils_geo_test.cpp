#include "brio/utils.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

TEST(SphereDistance, KnownCities)
{
    struct Row
    {
        const char* name;
        double lon1, lat1, lon2, lat2;
        double metres;
    };
    const Row rows[] = {
        {"Paris to London", 2.3522, 48.8566, -0.1278, 51.5074, 343556.0},
        {"New York to Los Angeles", -74.0060, 40.7128, -118.2437, 34.0522, 3935746.3},
        {"half the equator", 0, 0, 180, 0, 20015086.8},
        {"pole to pole", 0, 90, 0, -90, 20015086.8},
        // East-west at a high latitude: the parallel is much shorter than the equator.
        {"along 60 north", 0, 60, 10, 60, 555445.1},
    };
    for (const Row& r : rows) {
        EXPECT_NEAR(CalcSphereDistance(r.lon1, r.lat1, r.lon2, r.lat2), r.metres, 50) << r.name;
        EXPECT_NEAR(CalcSphereDistance(r.lon2, r.lat2, r.lon1, r.lat1), r.metres, 50) << r.name;
    }
    EXPECT_EQ(CalcSphereDistance(7.5, 45.1, 7.5, 45.1), 0.0);
    EXPECT_EQ(CalcSphereDistance(7.5, 45.1, 7.5, 45.1 + 1e-8), 0.0) << "below the smallest angle";
}

TEST(ArcSeconds, RoundTripAndOrigin)
{
    double lon = 0, lat = 0;
    EXPECT_EQ(Deg2ArcSec(&lon, &lat), 1);
    EXPECT_DOUBLE_EQ(lon, 180 * 360000.0);
    EXPECT_DOUBLE_EQ(lat, 90 * 360000.0);

    for (double v : {-180.0, -73.985656, 0.000001, 45.5, 179.999999}) {
        double x = v, y = v / 2;
        Deg2ArcSec(&x, &y);
        EXPECT_GE(x, 0);
        EXPECT_EQ(ArcSec2Deg(&x, &y), 1);
        EXPECT_NEAR(x, v, 1e-9);
        EXPECT_NEAR(y, v / 2, 1e-9);
    }
    double only = -90;
    EXPECT_EQ(Deg2ArcSec(nullptr, &only), 1);
    EXPECT_DOUBLE_EQ(only, 0);
    EXPECT_EQ(ArcSec2Deg(nullptr, nullptr), 1);
}

TEST(RoundDouble, PrintsAndReadsBack)
{
    EXPECT_DOUBLE_EQ(RoundDouble(1.23456, 3), 1.235);
    EXPECT_DOUBLE_EQ(RoundDouble(-1.5, 0), -2.0);
    EXPECT_DOUBLE_EQ(RoundDouble(2.5, -4), 2.0) << "negative decimals count as none";
    EXPECT_DOUBLE_EQ(RoundDouble(1e300, 100), 1e300) << "widest text fits";
}

TEST(DegreeText, ParsesParts)
{
    struct Row
    {
        const char* name;
        const char* text;
        int degrees;
        int minutes;
        double seconds;
        double value;
    };
    const Row rows[] = {
        {"degree sign in UTF-8", "45\xc2\xb0 30' 15\"", 45, 30, 15, 45.504166666666667},
        {"colons", "12:30:36.5", 12, 30, 36.5, 12.510138888888889},
        {"blanks inside a number", "1 2:3 0:0 0", 12, 30, 0, 12.5},
        {"negative", " -0:30:00", 0, 30, 0, -0.5},
        {"negative degrees", "-12d30m36s", -12, 30, 36, -12.51},
        {"degrees only", "7", 7, 0, 0, 7},
        {"empty", "", 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(GetDegFromStr(r.text), r.degrees) << r.name;
        EXPECT_EQ(GetMinuteFromStr(r.text), r.minutes) << r.name;
        EXPECT_DOUBLE_EQ(GetSecondeFromStr(r.text), r.seconds) << r.name;
        EXPECT_NEAR(StrToLongLat(r.text), r.value, 1e-12) << r.name;
    }
    EXPECT_EQ(GetDegFromStr(nullptr), 0);
    EXPECT_EQ(StrToLongLat(nullptr), 0.0);
}

TEST(DegreeText, FormatsFollowingTemplate)
{
    struct Row
    {
        const char* name;
        const char* tmpl;
        double value;
        const char* text;
    };
    const Row rows[] = {
        {"decimal seconds",
         "000\xc2\xb0"
         "00'00.00\"",
         45.504201,
         "045\xc2\xb0"
         "30'15.12\""},
        {"negative", "00:00:00", -0.5, "-00:30:00"},
        {"rounding carries", "00:00:00", 10.9999999, "11:00:00"},
        {"wider than group", "0 0 0", 123.5, "123 30 0"},
        {"minutes last", "00d00.0m", 1.755, "01d45.3m"},
        {"widest output", "0:0:0.0", -359.99, "-359:59:24.0"},
    };
    for (const Row& r : rows) {
        // Exactly the documented size, so that the sanitizer build sees any overrun.
        std::vector<char> dest(std::strlen(r.tmpl) + 6);
        EXPECT_EQ(LongLatToStr(dest.data(), r.tmpl, r.value), 1) << r.name;
        EXPECT_STREQ(dest.data(), r.text) << r.name;
    }
    char dest[32] = "x";
    EXPECT_EQ(LongLatToStr(dest, "00:00:00", 361), 0);
    EXPECT_STREQ(dest, "");
    EXPECT_EQ(LongLatToStr(dest, nullptr, 1), 0);
}

TEST(DegreeText, WrittenTextReadsBack)
{
    for (double v : {-179.999, -73.985656, -0.0001, 0.0, 12.3456789, 89.99999}) {
        char dest[32];
        ASSERT_EQ(LongLatToStr(dest, "000:00:00.000", v), 1);
        EXPECT_NEAR(StrToLongLat(dest), v, 0.0005 / 3600) << dest;
    }
}

TEST(GpsTime, EpochAndWeekRollovers)
{
    EXPECT_EQ(GPSTime2Time(0), 315964800);
    EXPECT_EQ(Time2GPSTime(315964800), 0);

    struct Row
    {
        const char* name;
        int64_t time;
        int32_t week;
        int32_t seconds;
    };
    const Row rows[] = {
        {"epoch 1980-01-06", 315964800, 0, 0},
        {"first rollover 1999-08-22", 935280000, 1024, 0},
        {"second before first rollover", 935279999, 1023, 604799},
        {"second rollover 2019-04-07", 1554595200, 2048, 0},
        {"Wednesday noon after it", 1554595200 + 3 * 86400 + 43200, 2048, 302400},
        {"before the epoch", 315964799, -1, 604799},
    };
    for (const Row& r : rows) {
        int32_t week = 0, seconds = 0;
        EXPECT_EQ(Time2GPSWeekTime(r.time, &week, &seconds), 1) << r.name;
        EXPECT_EQ(week, r.week) << r.name;
        EXPECT_EQ(seconds, r.seconds) << r.name;
        EXPECT_EQ(GPSWeekTime2Time(r.week, r.seconds), r.time) << r.name;
    }
    int32_t seconds = 7;
    EXPECT_EQ(Time2GPSWeekTime(0, nullptr, &seconds), -1);
    int32_t week = 0;
    EXPECT_EQ(Time2GPSWeekTime(935280000, &week, nullptr), 1);
    EXPECT_EQ(week, 1024);
}
