/* Time values, their formatting for reports and lists, and durations.
 *
 * A time value is a count of seconds since 1970-01-01 00:00 UTC, 64 bits wide so that dates
 * past 2038 hold; 0 stands for "no time" and is formatted as "NULL". Stored files keep writing
 * it as decimal text. Dates and hours are formatted in local time.
 *
 * Every function may be called from any thread: conversions use the caller's structures and no
 * shared static one. */
#pragma once

#include "brio/brio_api.h"

BRIO_BEGIN_DECLS

typedef int64_t KVTIME;

/* A reading of the millisecond clock of DiffClock; see there. */
typedef int64_t KVCLOCK;

/* Broken-down time: nine 32-bit fields in the C run-time's order. Which month and year
 * convention a function uses is stated with it. */
typedef struct KVTM
{
    int32_t tm_sec;
    int32_t tm_min;
    int32_t tm_hour;
    int32_t tm_mday;
    int32_t tm_mon;
    int32_t tm_year;
    int32_t tm_wday; /* 0 = Sunday */
    int32_t tm_yday; /* 0 = 1 January */
    int32_t tm_isdst;
} KVTM;

/* Room for any text of TimeToStr, DateToStr, HourToStr and ElapseToStr with its NUL. */
#define KV_TIME_STR_SIZE 32

/* The date and hour formats of reports and progress lists: mm/dd/yyyy hh:mm:ss. */
#define KV_DATE_MMDDYYYY 3
#define KV_HOUR_HHMMSS 1

BRIO_API KVTIME TimeNow(void);
/* The current UTC calendar time read back as if it were local time, so that formatting it
 * shows the UTC date and hour. */
BRIO_API KVTIME TimeGMTNow(void);
/* Seconds since local midnight. */
BRIO_API KVTIME HourNow(void);

/* Date and hour joined by one blank; "NULL" for a time of 0. 1 when written; 3 for a NULL
 * dest, a format not in the tables or a time whose local year is not 0 to 9999 (dest "").
 *
 * Date formats: 1 yyyymmdd, 2 mm/dd/yy, 3 mm/dd/yyyy, 4 dd.mm.yy, 5 dd.mm.yyyy, 6 and 8
 * dd/mm/yy, 7 and 9 dd/mm/yyyy, 10 dd-mm-yy, 11 dd-mm-yyyy, 12 yy.mm.dd, 13 yyyy.mm.dd,
 * 14 yyyy/ddd (day of the year from 001), 15 ddmmyy.
 * Hour formats: 1 hh:mm:ss, 2 hhmm, 3 "Sun".."Sat" hh:mm:ss of a time counted in seconds from
 * a Sunday 00:00 (the fourth day is written "Wen"); format 3 takes the value as a duration, not
 * as local time, and wraps after a week. */
BRIO_API int TimeToStr(char* dest, int16_t dateFormat, int16_t hourFormat, KVTIME t);
/* 0 when written ("NULL" for a time of 0); 3 as TimeToStr. */
BRIO_API int DateToStr(char* dest, int16_t format, KVTIME t);
/* 0 when written; 3 as TimeToStr. */
BRIO_API int HourToStr(char* dest, int16_t format, KVTIME t);
/* hh:mm:ss of a duration; hours may exceed 99. 1; 0 for a NULL dest. */
BRIO_API int ElapseToStr(char* dest, uint32_t seconds);

/* Local calendar fields with the month 1 to 12 and the full year. All fields 0 when the time
 * cannot be converted; nothing happens for a NULL out. */
BRIO_API void LongToTime(KVTIME t, KVTM* out);
/* As LongToTime, with the month 0 to 11. */
BRIO_API void LongToHour(KVTIME t, KVTM* out);

/* The time value of calendar fields read as UTC: month 0 to 11, a full year from 1970 to 9999
 * or a year below 1900 counted from 1900, day 1 to 31, hour 0 to 23, minute and second 0 to
 * 59. 0 when a field is out of range (or for a NULL tm). Day of week, day of year and the
 * daylight-saving flag are not read. */
BRIO_API KVTIME TimeToLong(const KVTM* tm);
/* hour * 3600 + minute * 60 + second; 0 when out of range. */
BRIO_API KVTIME HourToLong(const KVTM* tm);

/* Days of month index 0 to 11 of the year (29 for February of leap years); -1 for another
 * index. */
BRIO_API int16_t DayInMonth(int year, int16_t month);

/* 1 when the time falls on today's local date. */
BRIO_API int ISToday(KVTIME t);

/* Milliseconds of a monotonic clock since the reading start. DiffClock(0) is itself a reading
 * to pass later: start = DiffClock(0); ...; spent = DiffClock(start). */
BRIO_API KVCLOCK DiffClock(KVCLOCK start);
/* Seconds since the reading start (DiffClock(start) * 0.001). */
BRIO_API double KVCalcDuration(KVCLOCK start);

BRIO_END_DECLS
