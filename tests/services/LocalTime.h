#pragma once

#include "records/Date.h"

#include <optional>
#include <string>

namespace quillfen::test {

// Puts the process in a time zone for the life of the object (TZ and
// tzset()), restoring the previous setting afterwards.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char* zone);
    ~TimeZoneScope();
    TimeZoneScope(const TimeZoneScope&) = delete;
    TimeZoneScope& operator=(const TimeZoneScope&) = delete;

    // Whether the zone's rules are installed (tzdata).
    static bool isAvailable(const char* zone);

private:
    std::optional<std::string> previous_;
};

// The instant the local clock shows this date and time; use only for times
// that occur exactly once.
Date localTime(int year, int month, int day, int hour, int minute, double second = 0);
Date utcTime(int year, int month, int day, int hour, int minute, double second = 0);

} // namespace quillfen::test
