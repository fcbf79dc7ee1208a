#pragma once

#include <optional>
#include <string>

namespace quillfen {

// The user-defaults store as the storage layer sees it: byte values under
// text keys. The application's implementation sits on QSettings; tests bring
// one of their own.
class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;

    virtual std::optional<std::string> value(const std::string& key) const = 0;
    virtual void setValue(const std::string& key, const std::string& bytes) = 0;
    virtual void remove(const std::string& key) = 0;
};

} // namespace quillfen
