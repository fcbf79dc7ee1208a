#include "records/Date.h"

#include <cstdint>
#include <cstdio>
#include <ctime>

namespace quillfen {
namespace {

using namespace std::chrono;

int digit(char c) {
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

// Reads `count` decimal digits at `pos`; -1 when any is not a digit.
int readNumber(std::string_view text, std::size_t pos, std::size_t count) {
    int value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int d = digit(text[pos + i]);
        if (d < 0)
            return -1;
        value = value * 10 + d;
    }
    return value;
}

// The offset from UTC in seconds for "Z", "+HH:MM" or "-HH:MM"; no value
// for anything else.
std::optional<int> readOffset(std::string_view zone) {
    if (zone == "Z" || zone == "z")
        return 0;
    if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':')
        return std::nullopt;
    const int hours = readNumber(zone, 1, 2);
    const int minutes = readNumber(zone, 4, 2);
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59)
        return std::nullopt;
    const int offset = hours * 3600 + minutes * 60;
    return zone[0] == '-' ? -offset : offset;
}

} // namespace

std::string formatIsoDate(Date date) {
    const auto seconds = floor<std::chrono::seconds>(date);
    const auto day = floor<days>(seconds);
    const year_month_day ymd{day};
    const hh_mm_ss time{seconds - day};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(ymd.year()),
                  unsigned(ymd.month()), unsigned(ymd.day()), int(time.hours().count()),
                  int(time.minutes().count()), int(time.seconds().count()));
    return buffer;
}

std::optional<Date> parseIsoDate(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SS followed by the zone; a fraction of a second
    // does not read.
    if (text.size() < 20 || text[4] != '-' || text[7] != '-' || text[13] != ':' ||
        text[16] != ':' || (text[10] != 'T' && text[10] != 't'))
        return std::nullopt;
    const int yearValue = readNumber(text, 0, 4);
    const int monthValue = readNumber(text, 5, 2);
    const int dayValue = readNumber(text, 8, 2);
    const int hour = readNumber(text, 11, 2);
    const int minute = readNumber(text, 14, 2);
    const int second = readNumber(text, 17, 2);
    const auto offset = readOffset(text.substr(19));
    if (yearValue < 0 || monthValue < 0 || dayValue < 0 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59 || !offset)
        return std::nullopt;
    const year_month_day ymd{year{yearValue}, month{unsigned(monthValue)}, day{unsigned(dayValue)}};
    if (!ymd.ok())
        return std::nullopt;
    const auto local = sys_days{ymd} + hours{hour} + minutes{minute} + seconds{second};
    return Date{local - seconds{*offset}};
}

std::string formatLocalDateTime(Date date) {
    const std::time_t time = system_clock::to_time_t(date);
    std::tm fields{};
    ::localtime_r(&time, &fields);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &fields);
    return std::string(text, length);
}

double secondsBetween(Date from, Date to) {
    return duration<double>(to - from).count();
}

} // namespace quillfen
