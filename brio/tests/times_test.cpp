#include "brio/times.h"
#include "os/clock.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

constexpr KVTIME kFriday13 = 1234567890; // 2009-02-13 23:31:30 UTC, a Friday
constexpr KVTIME kYear2100 = 4102444800; // 2100-01-01 00:00:00 UTC

// Runs a test in a fixed time zone and puts the process's zone back afterwards.
class TimeZoneTest : public ::testing::Test
{
protected:
    void UseZone(const char* zone)
    {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    void SetUp() override
    {
        if (const char* tz = std::getenv("TZ")) {
            m_saved = tz;
        }
        UseZone("UTC0");
    }
    void TearDown() override
    {
        if (m_saved) {
            ::setenv("TZ", m_saved->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

private:
    std::optional<std::string> m_saved;
};

std::string Date(int format, KVTIME t, int expectResult = 0)
{
    char buf[KV_TIME_STR_SIZE] = "garbage";
    EXPECT_EQ(DateToStr(buf, static_cast<int16_t>(format), t), expectResult) << format;
    return buf;
}

std::string Hour(int format, KVTIME t, int expectResult = 0)
{
    char buf[KV_TIME_STR_SIZE] = "garbage";
    EXPECT_EQ(HourToStr(buf, static_cast<int16_t>(format), t), expectResult) << format;
    return buf;
}

using TimeFormat = TimeZoneTest;

TEST_F(TimeFormat, EveryDateFormatPutsFieldsInItsOrder)
{
    const char* expected[16] = {nullptr,    "20090213",   "02/13/09", "02/13/2009",
                                "13.02.09", "13.02.2009", "13/02/09", "13/02/2009",
                                "13/02/09", "13/02/2009", "13-02-09", "13-02-2009",
                                "09.02.13", "2009.02.13", "2009/044", "130209"};
    for (int format = 1; format <= 15; ++format) {
        EXPECT_EQ(Date(format, kFriday13), expected[format]) << "format " << format;
    }
}

TEST_F(TimeFormat, DayOfYearCountsLeapYears)
{
    EXPECT_EQ(Date(14, 1677628800), "2023/060"); // 2023-03-01
    EXPECT_EQ(Date(14, 1735603200), "2024/366"); // 2024-12-31
    EXPECT_EQ(Date(14, 951782400), "2000/060");  // 2000-02-29
}

TEST_F(TimeFormat, DatesAndHoursAreLocal)
{
    UseZone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(Date(3, kFriday13), "02/14/2009");
    EXPECT_EQ(Hour(1, kFriday13), "00:31:30");
    EXPECT_EQ(Hour(1, 1720000000), "11:46:40"); // summer: UTC+2
}

TEST_F(TimeFormat, HourFormats)
{
    EXPECT_EQ(Hour(1, kFriday13), "23:31:30");
    EXPECT_EQ(Hour(2, kFriday13), "2331");
    struct Row
    {
        const char* name;
        KVTIME t;
        const char* text;
    } weekRows[] = {
        {"start of the week", 0, "Sun 00:00:00"},
        {"fourth day is written Wen", 3 * 86400 + 5 * 3600 + 61, "Wen 05:01:01"},
        {"last second of the week", 7 * 86400 - 1, "Sat 23:59:59"},
        {"wraps after a week", 10 * 86400, "Wen 00:00:00"},
        {"negative counts back from Sunday", -1, "Sat 23:59:59"},
    };
    for (const Row& row : weekRows) {
        EXPECT_EQ(Hour(3, row.t), row.text) << row.name;
    }
}

TEST_F(TimeFormat, TimeToStrJoinsDateAndHourOrSaysNull)
{
    char buf[KV_TIME_STR_SIZE];
    EXPECT_EQ(TimeToStr(buf, KV_DATE_MMDDYYYY, KV_HOUR_HHMMSS, kFriday13), 1);
    EXPECT_STREQ(buf, "02/13/2009 23:31:30");
    EXPECT_EQ(TimeToStr(buf, 3, 1, 0), 1);
    EXPECT_STREQ(buf, "NULL");
    EXPECT_EQ(TimeToStr(buf, 3, 1, kYear2100), 1);
    EXPECT_STREQ(buf, "01/01/2100 00:00:00");
    EXPECT_EQ(TimeToStr(buf, 14, 3, 86400), 1);
    EXPECT_STREQ(buf, "1970/002 Mon 00:00:00");
    EXPECT_EQ(TimeToStr(nullptr, 3, 1, kFriday13), 3);
}

TEST_F(TimeFormat, BadArgumentsGiveThreeAndAnEmptyText)
{
    EXPECT_EQ(Date(0, kFriday13, 3), "");
    EXPECT_EQ(Date(16, kFriday13, 3), "");
    EXPECT_EQ(Date(3, 0), "NULL");
    EXPECT_EQ(Hour(0, kFriday13, 3), "");
    EXPECT_EQ(Hour(4, kFriday13, 3), "");
    EXPECT_EQ(DateToStr(nullptr, 3, kFriday13), 3);
    EXPECT_EQ(HourToStr(nullptr, 1, kFriday13), 3);
    char buf[KV_TIME_STR_SIZE] = "x";
    EXPECT_EQ(TimeToStr(buf, 3, 9, kFriday13), 3);
    EXPECT_STREQ(buf, "");
    // Beyond four-digit years no format keeps its width.
    EXPECT_EQ(Date(3, 253402300800LL, 3), "");
}

TEST(TimeElapse, HoursMayExceedTwoDigits)
{
    char buf[KV_TIME_STR_SIZE];
    EXPECT_EQ(ElapseToStr(buf, 0), 1);
    EXPECT_STREQ(buf, "00:00:00");
    EXPECT_EQ(ElapseToStr(buf, 100 * 3600 + 61), 1);
    EXPECT_STREQ(buf, "100:01:01");
    EXPECT_EQ(ElapseToStr(buf, UINT32_MAX), 1);
    EXPECT_STREQ(buf, "1193046:28:15");
    EXPECT_EQ(ElapseToStr(nullptr, 5), 0);
}

using TimeFields = TimeZoneTest;

TEST_F(TimeFields, RoundTripThroughFieldsBeyond2038)
{
    const KVTIME times[] = {1,         kFriday13,     951782400, 2147483647, 2147483648LL,
                            kYear2100, 253402300799LL};
    for (const KVTIME t : times) {
        KVTM tm{};
        LongToHour(t, &tm);
        EXPECT_EQ(TimeToLong(&tm), t) << t;
        KVTM one{};
        LongToTime(t, &one);
        EXPECT_EQ(one.tm_mon, tm.tm_mon + 1) << t;
        --one.tm_mon;
        EXPECT_EQ(TimeToLong(&one), t) << t;
    }
    KVTM tm{};
    LongToTime(kFriday13, &tm);
    EXPECT_EQ(tm.tm_year, 2009);
    EXPECT_EQ(tm.tm_mon, 2);
    EXPECT_EQ(tm.tm_mday, 13);
    EXPECT_EQ(tm.tm_wday, 5);
    EXPECT_EQ(tm.tm_yday, 43);
}

TEST_F(TimeFields, TimeToLongRejectsFieldsOutOfRange)
{
    const KVTM base{30, 31, 23, 13, 1, 2009, 0, 0, 0};
    ASSERT_EQ(TimeToLong(&base), kFriday13);
    KVTM shortYear = base;
    shortYear.tm_year = 109;
    EXPECT_EQ(TimeToLong(&shortYear), kFriday13);

    struct Row
    {
        const char* name;
        int32_t KVTM::*field;
        int32_t value;
    } rows[] = {
        {"hour 24", &KVTM::tm_hour, 24},       {"minute 60", &KVTM::tm_min, 60},
        {"second 60", &KVTM::tm_sec, 60},      {"negative second", &KVTM::tm_sec, -1},
        {"day 32", &KVTM::tm_mday, 32},        {"day 0", &KVTM::tm_mday, 0},
        {"month index 12", &KVTM::tm_mon, 12}, {"negative month", &KVTM::tm_mon, -1},
        {"year 10000", &KVTM::tm_year, 10000}, {"year 1969", &KVTM::tm_year, 1969},
        {"negative year", &KVTM::tm_year, -1},
    };
    for (const Row& row : rows) {
        KVTM tm = base;
        tm.*row.field = row.value;
        EXPECT_EQ(TimeToLong(&tm), 0) << row.name;
    }
    EXPECT_EQ(TimeToLong(nullptr), 0);
    KVTM latest = base;
    latest.tm_year = 9999;
    EXPECT_GT(TimeToLong(&latest), 0);
}

TEST_F(TimeFields, HourToLongAndUnconvertibleTimes)
{
    const KVTM tm{7, 5, 13, 1, 0, 2000, 0, 0, 0};
    EXPECT_EQ(HourToLong(&tm), 13 * 3600 + 5 * 60 + 7);
    KVTM bad = tm;
    bad.tm_hour = 24;
    EXPECT_EQ(HourToLong(&bad), 0);
    EXPECT_EQ(HourToLong(nullptr), 0);

    KVTM out{1, 1, 1, 1, 1, 1, 1, 1, 1};
    LongToTime(INT64_MAX, &out);
    EXPECT_EQ(out.tm_year, 0);
    EXPECT_EQ(out.tm_mday, 0);
    LongToTime(0, nullptr);
}

TEST(TimeCalendar, DaysInMonth)
{
    struct Row
    {
        int year;
        int16_t month;
        int16_t days;
    } rows[] = {
        {2000, 1, 29}, {1900, 1, 28}, {2024, 1, 29},  {2023, 1, 28},  {2100, 1, 28},
        {2001, 0, 31}, {2001, 3, 30}, {2001, 11, 31}, {2001, 12, -1}, {2001, -1, -1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DayInMonth(row.year, row.month), row.days) << row.year << "/" << row.month;
    }
}

TEST_F(TimeFields, CurrentTimes)
{
    const KVTIME now = TimeNow();
    EXPECT_GT(now, 1600000000);
    EXPECT_EQ(ISToday(now), 1);
    EXPECT_EQ(ISToday(now - 2 * 86400), 0);
    EXPECT_EQ(ISToday(0), 0);
    const KVTIME sinceMidnight = HourNow();
    EXPECT_GE(sinceMidnight, 0);
    EXPECT_LT(sinceMidnight, 86400);
    EXPECT_LE(std::llabs(TimeGMTNow() - now), 2);
    UseZone("CET-1CEST,M3.5.0,M10.5.0/3");
    const KVTIME offset = TimeNow() - TimeGMTNow();
    EXPECT_TRUE(offset >= 3598 && offset <= 7202) << offset;
}

TEST(TimeClock, DurationsCountMilliseconds)
{
    const KVCLOCK start = DiffClock(0);
    os::SleepMilliseconds(25);
    const KVCLOCK spent = DiffClock(start);
    EXPECT_GE(spent, 25);
    EXPECT_LT(spent, 5000);
    const double seconds = KVCalcDuration(start);
    EXPECT_GE(seconds, 0.025);
    EXPECT_LT(seconds, 5.0);
}

} // namespace
