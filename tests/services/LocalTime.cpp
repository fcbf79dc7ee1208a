#include "LocalTime.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace quillfen::test {
namespace {

std::tm fieldsOf(int year, int month, int day, int hour, int minute) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_isdst = -1;
    return fields;
}

Date withSeconds(std::time_t wholeMinute, double second) {
    const auto fraction = std::chrono::duration<double>(second);
    return std::chrono::system_clock::from_time_t(wholeMinute) +
           std::chrono::duration_cast<std::chrono::system_clock::duration>(fraction);
}

} // namespace

TimeZoneScope::TimeZoneScope(const char* zone) {
    if (const char* current = std::getenv("TZ"))
        previous_ = current;
    ::setenv("TZ", zone, 1);
    ::tzset();
}

TimeZoneScope::~TimeZoneScope() {
    if (previous_)
        ::setenv("TZ", previous_->c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

bool TimeZoneScope::isAvailable(const char* zone) {
    return std::filesystem::exists(std::filesystem::path("/usr/share/zoneinfo") / zone);
}

Date localTime(int year, int month, int day, int hour, int minute, double second) {
    std::tm fields = fieldsOf(year, month, day, hour, minute);
    return withSeconds(std::mktime(&fields), second);
}

Date utcTime(int year, int month, int day, int hour, int minute, double second) {
    std::tm fields = fieldsOf(year, month, day, hour, minute);
    return withSeconds(::timegm(&fields), second);
}

} // namespace quillfen::test
