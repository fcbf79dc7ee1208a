#pragma once

#include "records/Uuid.h"

#include <string>
#include <vector>

namespace quillfen {

struct ExclusionPattern {
    Uuid id = Uuid::random();
    std::string pattern;
    std::string label;
    bool enabled = true;
    bool isBuiltIn = false;

    friend bool operator==(const ExclusionPattern&, const ExclusionPattern&) = default;
};

// The twelve built-in rules, in their fixed order. Built once per process, so
// every call in one process returns the same ids.
const std::vector<ExclusionPattern>& builtInPatterns();

// The texts of the enabled rules, in list order: what a run matches against.
std::vector<std::string> enabledPatternTexts(const std::vector<ExclusionPattern>& patterns);

} // namespace quillfen
