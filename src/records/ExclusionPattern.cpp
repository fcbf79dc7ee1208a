#include "records/ExclusionPattern.h"

namespace quillfen {
namespace {

ExclusionPattern builtIn(const char* pattern, const char* label, bool enabled) {
    return ExclusionPattern{Uuid::random(), pattern, label, enabled, true};
}

} // namespace

const std::vector<ExclusionPattern>& builtInPatterns() {
    static const std::vector<ExclusionPattern> patterns = {
        builtIn(".DS_Store", ".DS_Store", true),
        builtIn("._*", "._* (resource forks)", true),
        builtIn(".Spotlight-V100", ".Spotlight-V100", true),
        builtIn(".Trashes", ".Trashes", true),
        builtIn(".fseventsd", ".fseventsd", true),
        builtIn(".git", ".git", false),
        builtIn("node_modules", "node_modules", false),
        builtIn("*.tmp", "*.tmp", false),
        builtIn("*.log", "*.log", false),
        builtIn("*.cache", "*.cache", false),
        builtIn("Thumbs.db", "Thumbs.db", false),
        builtIn("__pycache__", "__pycache__", false),
    };
    return patterns;
}

std::vector<std::string> enabledPatternTexts(const std::vector<ExclusionPattern>& patterns) {
    std::vector<std::string> texts;
    for (const auto& rule : patterns) {
        if (rule.enabled)
            texts.push_back(rule.pattern);
    }
    return texts;
}

} // namespace quillfen
