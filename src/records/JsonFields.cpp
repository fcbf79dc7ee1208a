#include "records/JsonFields.h"

#include "records/JsonForms.h"

#include <cmath>
#include <limits>

namespace quillfen::json_fields {
namespace {

[[noreturn]] void fail(const std::string& message) {
    throw JsonFormError(message);
}

} // namespace

const nlohmann::json& requireObject(const nlohmann::json& json, const char* what) {
    if (!json.is_object())
        fail(std::string(what) + " is not an object");
    return json;
}

const nlohmann::json& requireArray(const nlohmann::json& json, const char* what) {
    if (!json.is_array())
        fail(std::string(what) + " is not an array");
    return json;
}

const nlohmann::json* optionalMember(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null())
        return nullptr;
    return &*found;
}

const nlohmann::json& requiredMember(const nlohmann::json& object, const char* key) {
    const auto* member = optionalMember(object, key);
    if (member == nullptr)
        fail(std::string("missing key ") + key);
    return *member;
}

std::string toStringValue(const nlohmann::json& value, const char* key) {
    if (!value.is_string())
        fail(std::string(key) + " is not a string");
    return value.get<std::string>();
}

bool toBool(const nlohmann::json& value, const char* key) {
    if (!value.is_boolean())
        fail(std::string(key) + " is not a boolean");
    return value.get<bool>();
}

std::int64_t toInt(const nlohmann::json& value, const char* key) {
    if (value.is_number_integer())
        return value.get<std::int64_t>();
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            fail(std::string(key) + " is out of range");
        return std::int64_t(number);
    }
    // 3.0 reads as 3; 3.5 is not an integer.
    if (value.is_number_float()) {
        const double number = value.get<double>();
        if (std::trunc(number) == number && std::fabs(number) < 9.2e18)
            return static_cast<std::int64_t>(number);
    }
    fail(std::string(key) + " is not an integer");
}

double toDouble(const nlohmann::json& value, const char* key) {
    if (!value.is_number())
        fail(std::string(key) + " is not a number");
    return value.get<double>();
}

Uuid toUuid(const nlohmann::json& value, const char* key) {
    const auto uuid = Uuid::parse(toStringValue(value, key));
    if (!uuid)
        fail(std::string(key) + " is not a UUID");
    return *uuid;
}

Date toDate(const nlohmann::json& value, const char* key) {
    const auto date = parseIsoDate(toStringValue(value, key));
    if (!date)
        fail(std::string(key) + " is not a date");
    return *date;
}

} // namespace quillfen::json_fields
