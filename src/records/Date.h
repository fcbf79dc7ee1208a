#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace quillfen {

using Date = std::chrono::system_clock::time_point;

inline Date now() {
    return std::chrono::system_clock::now();
}

// "2026-03-01T14:05:09Z": UTC, whole seconds (the fraction is dropped).
std::string formatIsoDate(Date date);
// Reads the form above; also accepts a numeric offset ("+02:00") in place of
// "Z". A fractional second or any other deviation gives no value.
std::optional<Date> parseIsoDate(std::string_view text);

// "2026-03-01 15:05:09" in the local time zone, as logs and listings show it.
std::string formatLocalDateTime(Date date);

// Seconds between two dates as a floating-point number.
double secondsBetween(Date from, Date to);

} // namespace quillfen
