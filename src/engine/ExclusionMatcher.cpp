#include "engine/ExclusionMatcher.h"

#include <algorithm>
#include <fnmatch.h>
#include <locale.h>

namespace quillfen {
namespace {

bool isAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Built once per process; locale_t objects are safe to share between threads.
locale_t utf8Locale() {
    static const locale_t locale = [] {
        locale_t made = ::newlocale(LC_ALL_MASK, "C.UTF-8", nullptr);
        return made ? made : ::newlocale(LC_ALL_MASK, "C", nullptr);
    }();
    return locale;
}

// For text that is ASCII on both sides the byte-wise C locale gives the same
// answers as C.UTF-8, several times faster: the multibyte path converts both
// strings to wide characters on every call.
locale_t byteLocale() {
    static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

// Switches the calling thread's locale and restores the previous one on exit.
class ThreadLocaleScope {
public:
    ThreadLocaleScope() = default;
    ~ThreadLocaleScope() {
        if (previous_ != nullptr)
            ::uselocale(previous_);
    }
    ThreadLocaleScope(const ThreadLocaleScope&) = delete;
    ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;

    void use(locale_t locale) {
        if (locale == current_)
            return;
        locale_t old = ::uselocale(locale);
        if (previous_ == nullptr)
            previous_ = old;
        current_ = locale;
    }

private:
    locale_t previous_ = nullptr;
    locale_t current_ = nullptr;
};

} // namespace

ExclusionMatcher::ExclusionMatcher(const std::vector<std::string>& patterns) {
    patterns_.reserve(patterns.size());
    for (const auto& text : patterns) {
        Pattern pattern{text, false, isAscii(text)};
        if (!text.empty() && text.back() == '/') {
            pattern.text.pop_back();
            pattern.foldersOnly = true;
        }
        patterns_.push_back(std::move(pattern));
    }
}

bool ExclusionMatcher::matches(const std::string& relativePath, ItemKind kind) const {
    if (patterns_.empty())
        return false;
    const char* path = relativePath.c_str();
    const char* name = path + (relativePath.rfind('/') + 1); // npos + 1 == 0: no "/"
    const bool pathIsAscii = isAscii(relativePath);
    ThreadLocaleScope locale;
    for (const auto& pattern : patterns_) {
        if (pattern.foldersOnly && kind != ItemKind::folder)
            continue;
        locale.use(pathIsAscii && pattern.isAscii ? byteLocale() : utf8Locale());
        const char* text = pattern.text.c_str();
        if (::fnmatch(text, path, FNM_PATHNAME | FNM_PERIOD) == 0 ||
            ::fnmatch(text, name, FNM_PERIOD) == 0)
            return true;
    }
    return false;
}

bool SyncEngine::isExcluded(std::string_view relativePath, const std::vector<std::string>& patterns,
                            ItemKind kind) {
    return ExclusionMatcher(patterns).matches(std::string(relativePath), kind);
}

} // namespace quillfen
