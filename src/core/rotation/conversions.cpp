#include "rotation/conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace quillarbor {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Integers read through "&H" and "&O" stay exact up to 2^53; anything larger
// counts as out of range rather than silently losing its low digits. They are
// never negative: "&HFFFFFFFF" is 4294967295, not the -1 of 32-bit wrap-around.
constexpr std::uint64_t kLargestExactInteger = std::uint64_t{1} << 53;

// Beyond these decimal exponents a double holds only infinity or zero; the
// bounds keep the text handed to from_chars short whatever the input says.
constexpr std::int64_t kOverflowExponent = 400;
constexpr std::int64_t kUnderflowExponent = -400;
constexpr std::int64_t kExponentCap = 1'000'000'000;

struct Scan {
    std::size_t length = 0; // characters that form the number; 0 when there is none
    double value = 0.0;     // +-infinity when too large for a double
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char toUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char toLowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int digitValue(char c, int radix) {
    int value = -1;
    if (isDigit(c)) {
        value = c - '0';
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    }
    return value < radix ? value : -1;
}

// The digits after "&H" or "&O".
Scan scanRadixDigits(std::string_view text, std::size_t start, int radix) {
    std::uint64_t value = 0;
    bool tooLarge = false;
    std::size_t i = start;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i], radix);
        if (digit < 0) {
            break;
        }
        if (!tooLarge) {
            value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
            tooLarge = value > kLargestExactInteger;
        }
    }
    if (i == start) {
        return {};
    }
    return {i, tooLarge ? kInfinity : static_cast<double>(value)};
}

// Decimal digits as the value 0.D x 10^exponent, converted by from_chars so the
// result is correctly rounded and independent of the C locale.
double decimalValue(const std::string& significant, std::int64_t exponent) {
    if (significant.empty()) {
        return 0.0;
    }
    if (exponent > kOverflowExponent) {
        return kInfinity;
    }
    if (exponent < kUnderflowExponent) {
        return 0.0;
    }
    const std::string text = "0." + significant + "e" + std::to_string(exponent);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        return exponent > 0 ? kInfinity : 0.0;
    }
    return error == std::errc() ? value : 0.0;
}

// The longest prefix of `text` that is a number: an optional sign, digits with at
// most one point, an optional exponent (E or D) that is taken only with digits;
// or "&H" / "&O" followed by digits.
Scan scanNumber(std::string_view text) {
    if (text.size() >= 2 && text[0] == '&') {
        const char prefix = toUpperAscii(text[1]);
        if (prefix == 'H') {
            return scanRadixDigits(text, 2, 16);
        }
        if (prefix == 'O') {
            return scanRadixDigits(text, 2, 8);
        }
        return {};
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // Significant digits without leading zeros; the value is 0.significant x 10^exponent.
    std::string significant;
    std::int64_t exponent = 0;
    bool sawDigit = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        sawDigit = true;
        if (significant.empty() && text[i] == '0') {
            continue;
        }
        significant.push_back(text[i]);
        ++exponent;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            sawDigit = true;
            if (significant.empty() && text[i] == '0') {
                --exponent;
                continue;
            }
            significant.push_back(text[i]);
        }
    }
    if (!sawDigit) {
        return {};
    }

    if (i < text.size() && (toUpperAscii(text[i]) == 'E' || toUpperAscii(text[i]) == 'D')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        const std::size_t digitsStart = j;
        std::int64_t written = 0;
        for (; j < text.size() && isDigit(text[j]); ++j) {
            written = std::min(written * 10 + (text[j] - '0'), kExponentCap);
        }
        if (j > digitsStart) {
            exponent += negativeExponent ? -written : written;
            i = j;
        }
    }

    while (!significant.empty() && significant.back() == '0') {
        significant.pop_back();
    }
    const double magnitude = decimalValue(significant, exponent);
    return {i, negative ? -magnitude : magnitude};
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool equalsIgnoringCase(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (toLowerAscii(text[i]) != lowerWord[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

double roundHalfEven(double x) {
    if (!std::isfinite(x)) {
        return x;
    }
    // Work on the magnitude, where a - floor(a) is exact, so the halfway test is
    // too; unlike nearbyint this ignores whatever rounding mode is in force.
    const double magnitude = std::fabs(x);
    const double below = std::floor(magnitude);
    const double fraction = magnitude - below;
    double result = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        result = below + 1.0;
    }
    return std::copysign(result, x); // -0.5 gives -0
}

std::optional<std::int32_t> toInt32HalfEven(double x) {
    const double rounded = roundHalfEven(x);
    if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

double leadingNumber(std::string_view text) {
    std::string packed;
    packed.reserve(text.size());
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            packed.push_back(c);
        }
    }
    // Overflow stays infinite here: callers compare it with the minimum, and the
    // full conversion that follows rejects it.
    return scanNumber(packed).value;
}

std::optional<double> parseNumber(std::string_view text) {
    text = trimBlanks(text);
    const Scan scan = scanNumber(text);
    if (scan.length == 0 || scan.length != text.size() || !std::isfinite(scan.value)) {
        return std::nullopt;
    }
    return scan.value;
}

std::string numberToText(double value) {
    if (std::isnan(value)) {
        return "NaN"; // never a valid number text, so it cannot be read back by mistake
    }
    if (std::isinf(value)) {
        return value > 0 ? "Inf" : "-Inf";
    }
    if (value == 0.0) {
        return "0";
    }

    // 15 significant digits, correctly rounded: "d.dddddddddddddde+XX".
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string written(buffer, result.ptr);
    // Next to the largest double, rounding up gives a number too large for any
    // double, which would never read back: there the digits are cut instead.
    double readBack = 0.0;
    if (std::from_chars(written.data(), written.data() + written.size(), readBack).ec ==
        std::errc::result_out_of_range) {
        result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 16);
        written.assign(buffer, result.ptr);
        written.erase(written.find('e') - 2, 2);
    }
    const std::string_view scientific(written);
    const std::size_t e = scientific.find('e');

    const bool negative = scientific.front() == '-';
    std::string digits;
    for (const char c : scientific.substr(0, e)) {
        if (isDigit(c)) {
            digits.push_back(c);
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    int exponent = 0;
    const std::string_view exponentText = scientific.substr(e + 1);
    const bool negativeExponent = exponentText.front() == '-';
    for (const char c : exponentText) {
        if (isDigit(c)) {
            exponent = exponent * 10 + (c - '0');
        }
    }
    if (negativeExponent) {
        exponent = -exponent;
    }

    std::string text = negative ? "-" : "";
    if (exponent >= -5 && exponent < 15) {
        if (exponent >= 0) {
            const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= integerDigits) {
                text += digits + std::string(integerDigits - digits.size(), '0');
            } else {
                text += digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
            }
        } else {
            text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        }
        return text;
    }

    // Very large and very small magnitudes in the classic style: 1E+20, 1.5E-07.
    text += digits.substr(0, 1);
    if (digits.size() > 1) {
        text += "." + digits.substr(1);
    }
    const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
    text += exponent < 0 ? "E-" : "E+";
    text += magnitude.size() < 2 ? "0" + magnitude : magnitude;
    return text;
}

std::string boolToText(bool value) {
    return value ? "True" : "False";
}

std::optional<bool> textToBool(std::string_view text) {
    const std::string_view word = trimBlanks(text);
    if (equalsIgnoringCase(word, "true")) {
        return true;
    }
    if (equalsIgnoringCase(word, "false")) {
        return false;
    }
    if (const auto number = parseNumber(word)) {
        return *number != 0.0;
    }
    return std::nullopt;
}

} // namespace quillarbor
