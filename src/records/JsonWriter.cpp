#include "records/JsonForms.h"

#include <charconv>
#include <cmath>

namespace quillfen {
namespace {

using nlohmann::json;

void appendIndent(std::string& out, int depth) {
    out.append(std::size_t(depth) * 2, ' ');
}

void appendString(std::string& out, const std::string& text) {
    // nlohmann escapes only what JSON requires ("/" stays as it is) and, with
    // the replace handler, writes U+FFFD for bytes that are not UTF-8.
    out += json(text).dump(-1, ' ', false, json::error_handler_t::replace);
}

void appendDouble(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += '0';
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendValue(std::string& out, const json& value, int depth);

void appendObject(std::string& out, const json& object, int depth) {
    if (object.empty()) {
        out += "{}";
        return;
    }
    out += "{\n";
    bool first = true;
    // The object type is an ordered map: keys come out in byte order, which
    // is code-point order for UTF-8.
    for (const auto& [key, member] : object.items()) {
        if (!first)
            out += ",\n";
        first = false;
        appendIndent(out, depth + 1);
        appendString(out, key);
        out += " : ";
        appendValue(out, member, depth + 1);
    }
    out += '\n';
    appendIndent(out, depth);
    out += '}';
}

void appendArray(std::string& out, const json& array, int depth) {
    if (array.empty()) {
        out += "[]";
        return;
    }
    out += "[\n";
    bool first = true;
    for (const auto& element : array) {
        if (!first)
            out += ",\n";
        first = false;
        appendIndent(out, depth + 1);
        appendValue(out, element, depth + 1);
    }
    out += '\n';
    appendIndent(out, depth);
    out += ']';
}

void appendValue(std::string& out, const json& value, int depth) {
    switch (value.type()) {
    case json::value_t::object:
        appendObject(out, value, depth);
        break;
    case json::value_t::array:
        appendArray(out, value, depth);
        break;
    case json::value_t::string:
        appendString(out, value.get_ref<const std::string&>());
        break;
    case json::value_t::number_float:
        appendDouble(out, value.get<double>());
        break;
    case json::value_t::number_integer:
        out += std::to_string(value.get<std::int64_t>());
        break;
    case json::value_t::number_unsigned:
        out += std::to_string(value.get<std::uint64_t>());
        break;
    case json::value_t::boolean:
        out += value.get<bool>() ? "true" : "false";
        break;
    default:
        out += "null";
        break;
    }
}

} // namespace

std::string writeJson(const nlohmann::json& json) {
    std::string out;
    appendValue(out, json, 0);
    return out;
}

} // namespace quillfen
