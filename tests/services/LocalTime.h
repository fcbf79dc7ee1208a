#pragma once

#include "records/Date.h"

#include <cstdlib>
#include <ctime>

namespace quillfen::test {

// Puts the process in a zone with daylight saving (TZ and tzset()); no test
// in this binary depends on any other zone.
inline void useBerlinTime() {
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
}

// The instant the local (or UTC) clock shows this date and time; use local
// only for times that occur exactly once.
inline Date clockTime(bool utc, int year, int month, int day, int hour, int minute, double second) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_isdst = -1;
    const auto whole =
        std::chrono::system_clock::from_time_t(utc ? ::timegm(&fields) : std::mktime(&fields));
    return whole + std::chrono::duration_cast<std::chrono::system_clock::duration>(
                       std::chrono::duration<double>(second));
}
inline Date localTime(int year, int month, int day, int hour, int minute, double second = 0) {
    return clockTime(false, year, month, day, hour, minute, second);
}
inline Date utcTime(int year, int month, int day, int hour, int minute, double second = 0) {
    return clockTime(true, year, month, day, hour, minute, second);
}

} // namespace quillfen::test
