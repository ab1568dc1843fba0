// Clocks: the wall clock in seconds since 1970, its conversion to and from calendar fields,
// a monotonic millisecond counter for durations, and sleeping. Safe from any thread: the
// conversions fill the caller's structure and share no static one.
#pragma once

#include <cstdint>
#include <ctime>

namespace os {

// Seconds since 1970-01-01 00:00 UTC.
std::int64_t WallClockSeconds();

// Calendar fields of a time in the local time zone or in UTC (tm_year counts from 1900,
// tm_mon from 0). false when the system cannot represent the time.
bool LocalTime(std::int64_t seconds, std::tm& out);
bool UniversalTime(std::int64_t seconds, std::tm& out);

// The time of local calendar fields (normalised as mktime does; tm_isdst -1 lets the system
// decide on daylight saving). false when it cannot be represented.
bool FromLocalTime(std::tm fields, std::int64_t& seconds);

// With TZ unset, the C library looks at the system's zone file again on every conversion from
// calendar fields; naming that file in TZ once makes it read the file once. Call at the start
// of a program, before any thread: it changes the environment. A TZ already set is kept.
void PinLocalTimeZone();

// Milliseconds of a clock that never goes back and does not follow changes of the wall clock
// (counted from an unspecified origin, typically the system's start).
std::int64_t MonotonicMilliseconds();

void SleepMilliseconds(std::uint32_t milliseconds);

} // namespace os
