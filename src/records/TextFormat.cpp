#include "records/TextFormat.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace quillfen {
namespace {

struct SizeUnit {
    const char* name;
    int decimals;
};

// Decimal multiples; the precision grows with the unit as a file manager
// shows it.
constexpr std::array<SizeUnit, 7> kUnits = {{
    {"bytes", 0},
    {"KB", 0},
    {"MB", 1},
    {"GB", 2},
    {"TB", 2},
    {"PB", 2},
    {"EB", 2},
}};

unsigned __int128 power(unsigned base, int exponent) {
    unsigned __int128 value = 1;
    for (int i = 0; i < exponent; ++i)
        value *= base;
    return value;
}

// `bytes` in `unit`, rounded half up to the unit's decimals and scaled by
// 10^decimals.
unsigned __int128 scaledValue(std::uint64_t bytes, std::size_t unit) {
    const auto divisor = power(1000, int(unit));
    const auto numerator = static_cast<unsigned __int128>(bytes) * power(10, kUnits[unit].decimals);
    return (numerator + divisor / 2) / divisor;
}

std::string toDecimal(unsigned __int128 value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(value % 10)));
        value /= 10;
    } while (value != 0);
    return digits;
}

std::string withDecimals(unsigned __int128 scaled, int decimals) {
    const auto divisor = power(10, decimals);
    std::string text = toDecimal(scaled / divisor);
    std::string fraction = decimals > 0 ? toDecimal(scaled % divisor) : std::string();
    fraction.insert(0, std::size_t(decimals) - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    return fraction.empty() ? text : text + "." + fraction;
}

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence starting at `i`, or 0.
std::size_t validSequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    std::uint32_t code = 0;
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if (!isContinuation(c))
            return 0;
        code = (code << 6) | (c & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < minimum || surrogate || code > 0x10FFFF ? 0 : length;
}

} // namespace

std::string formatFileSize(std::int64_t bytes) {
    if (bytes == 1)
        return "1 byte";
    const bool negative = bytes < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - static_cast<std::uint64_t>(bytes) : std::uint64_t(bytes);
    std::size_t unit = 0;
    while (unit + 1 < kUnits.size() && magnitude >= power(1000, int(unit + 1)))
        ++unit;
    auto scaled = scaledValue(magnitude, unit);
    // Rounding can reach the next unit: 999,999 bytes read "1 MB", not "1000 KB".
    if (unit + 1 < kUnits.size() && scaled >= 1000 * power(10, kUnits[unit].decimals)) {
        ++unit;
        scaled = scaledValue(magnitude, unit);
    }
    return (negative ? "-" : "") + withDecimals(scaled, kUnits[unit].decimals) + " " +
           kUnits[unit].name;
}

std::string formatDuration(double seconds) {
    // A clock set back can make an end precede its start; show 0s then.
    if (!(seconds > 0))
        return "0s";
    const auto whole = seconds >= double(std::numeric_limits<std::int64_t>::max())
                           ? std::numeric_limits<std::int64_t>::max()
                           : static_cast<std::int64_t>(std::trunc(seconds));
    if (whole > 59)
        return std::to_string(whole / 60) + "m " + std::to_string(whole % 60) + "s";
    return std::to_string(whole) + "s";
}

std::string toValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = validSequenceLength(text, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

} // namespace quillfen
