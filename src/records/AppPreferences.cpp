#include "records/AppPreferences.h"

#include <array>

namespace quillfen {
namespace {

struct FrequencyNames {
    ScheduleFrequency frequency;
    const char* text;
    const char* displayName;
};

constexpr std::array<FrequencyNames, 4> kFrequencies = {{
    {ScheduleFrequency::never, "never", "Never"},
    {ScheduleFrequency::hourly, "hourly", "Hourly"},
    {ScheduleFrequency::daily, "daily", "Daily"},
    {ScheduleFrequency::weekly, "weekly", "Weekly"},
}};

const FrequencyNames& namesOf(ScheduleFrequency frequency) {
    for (const auto& names : kFrequencies) {
        if (names.frequency == frequency)
            return names;
    }
    return kFrequencies.front();
}

} // namespace

std::string toString(ScheduleFrequency frequency) {
    return namesOf(frequency).text;
}

std::string displayName(ScheduleFrequency frequency) {
    return namesOf(frequency).displayName;
}

std::optional<ScheduleFrequency> scheduleFrequencyFromString(std::string_view text) {
    for (const auto& names : kFrequencies) {
        if (text == names.text)
            return names.frequency;
    }
    return std::nullopt;
}

} // namespace quillfen
