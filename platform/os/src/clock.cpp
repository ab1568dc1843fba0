#include "os/clock.h"

#include <cerrno>
#include <cstdlib>
#include <time.h>

namespace os {

std::int64_t WallClockSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<std::int64_t>(ts.tv_sec);
}

bool LocalTime(std::int64_t seconds, std::tm& out)
{
    const time_t t = static_cast<time_t>(seconds);
    // localtime_r need not re-read TZ; tzset makes a changed zone take effect.
    tzset();
    return localtime_r(&t, &out) != nullptr;
}

bool UniversalTime(std::int64_t seconds, std::tm& out)
{
    const time_t t = static_cast<time_t>(seconds);
    return gmtime_r(&t, &out) != nullptr;
}

bool FromLocalTime(std::tm fields, std::int64_t& seconds)
{
    errno = 0;
    const time_t t = mktime(&fields);
    // -1 is also a valid time (one second before 1970); errno tells them apart.
    if (t == static_cast<time_t>(-1) && errno != 0) {
        return false;
    }
    seconds = static_cast<std::int64_t>(t);
    return true;
}

void PinLocalTimeZone()
{
    if (std::getenv("TZ") == nullptr) {
        ::setenv("TZ", ":/etc/localtime", 0);
        ::tzset();
    }
}

std::int64_t MonotonicMilliseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void SleepMilliseconds(std::uint32_t milliseconds)
{
    timespec want{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    timespec left{};
    while (nanosleep(&want, &left) != 0 && errno == EINTR) {
        want = left;
    }
}

} // namespace os
