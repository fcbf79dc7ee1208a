#pragma once

#include "records/Uuid.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillfen {

enum class ScheduleFrequency { never, hourly, daily, weekly };

std::string toString(ScheduleFrequency frequency);
std::optional<ScheduleFrequency> scheduleFrequencyFromString(std::string_view text);
// "Never", "Hourly", "Daily", "Weekly"
std::string displayName(ScheduleFrequency frequency);

struct AppPreferences {
    std::optional<Uuid> scheduledProfileId;
    ScheduleFrequency scheduleFrequency = ScheduleFrequency::never;
    int scheduleHour = 9;
    int scheduleMinute = 0;
    int scheduleWeekday = 2; // 1 = Sunday … 7 = Saturday
    bool scheduleSilent = true;

    friend bool operator==(const AppPreferences&, const AppPreferences&) = default;
};

} // namespace quillfen
