#pragma once

#include "records/Date.h"
#include "records/Uuid.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

// Field readers shared by the record decoders. Each throws JsonFormError
// when the document breaks a reading rule.
namespace quillfen::json_fields {

const nlohmann::json& requireObject(const nlohmann::json& json, const char* what);
const nlohmann::json& requireArray(const nlohmann::json& json, const char* what);

// The member, or nullptr when the key is missing or holds null.
const nlohmann::json* optionalMember(const nlohmann::json& object, const char* key);
const nlohmann::json& requiredMember(const nlohmann::json& object, const char* key);

std::string toStringValue(const nlohmann::json& value, const char* key);
bool toBool(const nlohmann::json& value, const char* key);
std::int64_t toInt(const nlohmann::json& value, const char* key);
double toDouble(const nlohmann::json& value, const char* key);
Uuid toUuid(const nlohmann::json& value, const char* key);
Date toDate(const nlohmann::json& value, const char* key);

inline std::string requiredString(const nlohmann::json& o, const char* key) {
    return toStringValue(requiredMember(o, key), key);
}
inline bool requiredBool(const nlohmann::json& o, const char* key) {
    return toBool(requiredMember(o, key), key);
}
inline std::int64_t requiredInt(const nlohmann::json& o, const char* key) {
    return toInt(requiredMember(o, key), key);
}
inline Uuid requiredUuid(const nlohmann::json& o, const char* key) {
    return toUuid(requiredMember(o, key), key);
}
inline Date requiredDate(const nlohmann::json& o, const char* key) {
    return toDate(requiredMember(o, key), key);
}

} // namespace quillfen::json_fields
