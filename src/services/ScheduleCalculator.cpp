#include "services/ScheduleCalculator.h"

#include <algorithm>
#include <ctime>
#include <initializer_list>

namespace quillfen {
namespace {

using namespace std::chrono;

std::tm localFields(std::time_t time) {
    std::tm fields{};
    ::localtime_r(&time, &fields);
    return fields;
}

bool isValidTime(int hour, int minute) {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59;
}

year_month_day dateOf(const std::tm& fields) {
    return year{fields.tm_year + 1900} / month(static_cast<unsigned>(fields.tm_mon + 1)) /
           day(static_cast<unsigned>(fields.tm_mday));
}

year_month_day localDate(Date date) {
    return dateOf(localFields(system_clock::to_time_t(date)));
}

bool showsTime(std::time_t time, const year_month_day& date, int hour, int minute) {
    const std::tm fields = localFields(time);
    return dateOf(fields) == date && fields.tm_hour == hour && fields.tm_min == minute &&
           fields.tm_sec == 0;
}

// The instant at which the local clock shows `date` at hour:minute:00. The
// three daylight-saving guesses are all tried, so the answer does not depend
// on what mktime() happened to see last.
std::optional<Date> formLocal(const year_month_day& date, int hour, int minute) {
    std::optional<std::time_t> earliestMatch;
    std::optional<std::time_t> latest;
    for (const int isDaylightSaving : {-1, 0, 1}) {
        std::tm fields{};
        fields.tm_year = static_cast<int>(date.year()) - 1900;
        fields.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
        fields.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
        fields.tm_hour = hour;
        fields.tm_min = minute;
        fields.tm_isdst = isDaylightSaving;
        const std::time_t time = std::mktime(&fields);
        if (time == -1)
            continue;
        latest = std::max(latest.value_or(time), time);
        if (showsTime(time, date, hour, minute))
            earliestMatch = std::min(earliestMatch.value_or(time), time);
    }
    // No match means the clocks skip this time; the latest guess is the one
    // read on the offset before the jump.
    const auto chosen = earliestMatch ? earliestMatch : latest;
    if (!chosen)
        return std::nullopt;
    return system_clock::from_time_t(*chosen);
}

Date nextHourly(int minute, Date now) {
    if (minute < 0 || minute > 59)
        return now + ScheduleCalculator::kFallbackInterval;
    const Date second = floor<seconds>(now);
    const std::tm fields = localFields(system_clock::to_time_t(second));
    const Date hourStart = second - minutes(fields.tm_min) - seconds(fields.tm_sec);
    const Date target = hourStart + hours(1) + minutes(minute);
    return std::max(target, now + ScheduleCalculator::kMinimumHourlyInterval);
}

bool isWeekday(sys_days date, int calendarWeekday) {
    return static_cast<int>(weekday(date).c_encoding()) + 1 == calendarWeekday;
}

// Today, or the first following day (of the right weekday when weekly), at
// the chosen time, strictly after now. Eight days cover a weekly run whose
// time today has just passed.
std::optional<Date> nextCalendar(const AppPreferences& preferences, Date now) {
    const bool weekly = preferences.scheduleFrequency == ScheduleFrequency::weekly;
    if (weekly && (preferences.scheduleWeekday < 1 || preferences.scheduleWeekday > 7))
        return std::nullopt;
    const int hour = preferences.scheduleHour;
    const int minute = preferences.scheduleMinute;
    if (!isValidTime(hour, minute))
        return now + ScheduleCalculator::kFallbackInterval;
    const sys_days today{localDate(now)};
    for (int offset = 0; offset <= 7; ++offset) {
        const sys_days date = today + days(offset);
        if (weekly && !isWeekday(date, preferences.scheduleWeekday))
            continue;
        const auto candidate = formLocal(year_month_day(date), hour, minute);
        if (!candidate)
            return now + ScheduleCalculator::kFallbackInterval;
        if (*candidate > now)
            return candidate;
    }
    return now + ScheduleCalculator::kFallbackInterval;
}

} // namespace

std::optional<Date> ScheduleCalculator::nextFireDate(const AppPreferences& preferences, Date now) {
    // A time-zone change while the application runs must be seen here.
    ::tzset();
    switch (preferences.scheduleFrequency) {
    case ScheduleFrequency::never:
        return std::nullopt;
    case ScheduleFrequency::hourly:
        return nextHourly(preferences.scheduleMinute, now);
    case ScheduleFrequency::daily:
    case ScheduleFrequency::weekly:
        break;
    }
    return nextCalendar(preferences, now);
}

std::optional<double> ScheduleCalculator::nextFireInterval(const AppPreferences& preferences,
                                                           Date now) {
    const auto date = nextFireDate(preferences, now);
    if (!date)
        return std::nullopt;
    return duration<double>(*date - now).count();
}

} // namespace quillfen
