#include "runtime/Val.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>

namespace xsc {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
}

// Length of the unsigned decimal number at the start of `text` (mantissa, then an optional
// exponent that counts only when it has at least one digit); 0 when there is none.
std::size_t DecimalPrefixLength(std::string_view text) {
    const std::size_t integerEnd = SkipDigits(text, 0);
    std::size_t end = integerEnd;
    bool hasDigits = integerEnd > 0;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, end + 1);
        hasDigits = hasDigits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!hasDigits) return 0;

    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        const std::size_t exponentEnd = SkipDigits(text, exponent);
        if (exponentEnd > exponent) end = exponentEnd;
    }
    return end;
}

struct LeadingNumber {
    bool negative = false;
    std::string_view digits;  // the unsigned number; empty when the text has none
};

LeadingNumber FindLeadingNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsSpace(text[at])) ++at;
    LeadingNumber found;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        found.negative = text[at] == '-';
        ++at;
    }
    found.digits = text.substr(at, DecimalPrefixLength(text.substr(at)));
    return found;
}

// The number in `digits` as a T, or nothing when it is out of T's range (too large, or too small
// to be told from 0).
template <typename T>
std::optional<T> Parse(std::string_view digits) {
    T value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::general);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

}  // namespace

double Val(std::string_view text) {
    const LeadingNumber number = FindLeadingNumber(text);
    if (number.digits.empty()) return 0.0;
    const std::optional<double> value = Parse<double>(number.digits);
    if (!value) return 0.0;
    return number.negative ? -*value : *value;
}

float ValFloat(std::string_view text) {
    const LeadingNumber number = FindLeadingNumber(text);
    if (number.digits.empty()) return 0.0f;
    // Beyond a float's range the double's value, made a float, says what it is (0 or infinity).
    const std::optional<float> value = Parse<float>(number.digits);
    if (!value) return static_cast<float>(Val(text));
    return number.negative ? -*value : *value;
}

std::int32_t ToInt32(double value) {
    if (!std::isfinite(value)) return 0;
    constexpr double kTwoTo32 = 4294967296.0;
    // fmod is exact, so this is the true residue even for values far beyond 2^64.
    double residue = std::fmod(std::trunc(value), kTwoTo32);
    if (residue < 0) residue += kTwoTo32;  // exact: both are integers below 2^53 in magnitude
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(residue));
}

}  // namespace xsc
