#pragma once

#include "records/AppPreferences.h"
#include "records/Date.h"

#include <chrono>
#include <optional>

namespace quillfen {

// The schedule's calendar arithmetic in the local time zone, kept apart from
// any timer so that it can be checked against any "now".
//
// Daylight saving: a wall-clock time that occurs twice (the clocks go back)
// means its earlier instant, so a daily run fires once; a time that the
// clocks skip means the instant it would have on the offset before the jump
// (02:30 in a 02:00→03:00 gap fires at 03:30). Hourly runs count real hours,
// so an hour that repeats gets its run too.
class ScheduleCalculator {
public:
    // Used when a time cannot be formed from the preferences.
    static constexpr std::chrono::seconds kFallbackInterval{3600};
    // An hourly run is never armed closer than this.
    static constexpr std::chrono::seconds kMinimumHourlyInterval{1};

    // The next occurrence after `now`; no value when the preferences name none
    // (frequency never, or a weekly weekday outside 1–7).
    static std::optional<Date> nextFireDate(const AppPreferences& preferences, Date now);

    // Seconds from `now` to nextFireDate().
    static std::optional<double> nextFireInterval(const AppPreferences& preferences, Date now);
};

} // namespace quillfen
