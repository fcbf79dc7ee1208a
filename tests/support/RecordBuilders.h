#pragma once

#include "records/Date.h"
#include "records/ExclusionPattern.h"

#include <string>
#include <string_view>

// Records are aggregates built with designated initialisers
// (SyncOptions{.deleteExtras = true}); what is here saves the parts that repeat.
namespace quillfen::test {

// A rule as a person types it: the pattern is its own label.
inline ExclusionPattern rule(const std::string& pattern, bool enabled = true) {
    return {.pattern = pattern, .label = pattern, .enabled = enabled};
}

// An instant written as in the stored files ("2026-03-01T10:00:00Z").
inline Date at(std::string_view isoDate) {
    return parseIsoDate(isoDate).value();
}

} // namespace quillfen::test
