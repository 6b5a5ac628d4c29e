#include "hsc/Literals.h"

#include <cmath>
#include <limits>

#include "common/Diagnostic.h"
#include "xml/ScriptLanguage.h"
#include "common/ValueDecoding.h"
#include "common/ValueEncoding.h"
#include "runtime/Text.h"
#include "runtime/Val.h"

namespace xsc::hsc {
namespace {

using language::kBooleanType;
using language::kLongType;
using language::kRealType;
using language::kShortType;

// The largest whole real that reads back as the float it was made from: 2147483647 becomes
// 2^31 as a float, and so does every whole number up to 2^31 itself.
constexpr double kLargestWholeReal = 2147483648.0;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t Digits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
}

bool IsWhole(double v) { return v == std::trunc(v); }

// A text for a message: a number as written, anything else in quotes.
std::string Shown(std::string_view text) { return IsNumber(text) ? std::string(text) : Quoted(text); }

// A whole number within [low, high], as its decimal digits.
LiteralReading ReadWhole(std::string_view text, double low, double high, std::string_view type) {
    const std::string wrong = "a " + std::string(type) + " must be a whole number, not " + Shown(text);
    if (!IsNumber(text) || !IsWhole(Val(text))) return {std::nullopt, wrong};
    const double v = Val(text);
    if (v < low || v > high) {
        return {std::nullopt, "the " + std::string(type) + " " + std::string(text) + " is outside " +
                                  std::to_string(static_cast<std::int64_t>(low)) + ".." +
                                  std::to_string(static_cast<std::int64_t>(high))};
    }
    return {std::to_string(static_cast<std::int64_t>(v)), {}};
}

}  // namespace

bool IsNumber(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    const std::size_t integerEnd = Digits(t, i);
    std::size_t digits = integerEnd - i;
    i = integerEnd;
    if (i < t.size() && t[i] == '.') {
        const std::size_t fractionEnd = Digits(t, i + 1);
        digits += fractionEnd - i - 1;
        i = fractionEnd;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        const std::size_t exponentEnd = Digits(t, i);
        if (exponentEnd == i) return false;
        i = exponentEnd;
    }
    return i == t.size();
}

LiteralReading ReadBoolean(std::string_view text) {
    if (EqualsIgnoringCase(text, "true") || EqualsIgnoringCase(text, "on")) return {std::string(language::kTrue), {}};
    if (EqualsIgnoringCase(text, "false") || EqualsIgnoringCase(text, "off")) return {std::string(language::kFalse), {}};
    return {std::nullopt, "a boolean is true, false, on or off, not " + Shown(text)};
}

LiteralReading ReadBooleanInPlace(std::string_view text) {
    if (text == "1") return {std::string(language::kTrue), {}};
    if (text == "0") return {std::string(language::kFalse), {}};
    LiteralReading reading = ReadBoolean(text);
    if (!reading.value) reading.problem = "a boolean is true, false, on, off, 1 or 0, not " + Shown(text);
    return reading;
}

LiteralReading ReadShort(std::string_view text) {
    return ReadWhole(text, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max(), "short");
}

LiteralReading ReadLong(std::string_view text) {
    return ReadWhole(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), "long");
}

// The XML language stores a whole real by way of a 32-bit integer, so whole reals beyond that
// range (but 2^31, which 2147483647 gives) cannot be stored as written. The Value is the
// shortest text that stores the same float, so that the XML written for a source converts back.
LiteralReading ReadReal(std::string_view text) {
    const std::string tooLarge = "the real " + std::string(text) + " is too large: whole reals from -2147483648 to 2147483648 can be stored";
    if (!IsNumber(text)) return {std::nullopt, "a real must be a number, not " + Shown(text)};
    const double v = Val(text);
    if (IsWhole(v) && (v < -kLargestWholeReal || v > kLargestWholeReal)) return {std::nullopt, tooLarge};
    const bool twoTo31 = IsWhole(v) && v > std::numeric_limits<std::int32_t>::max();
    std::optional<std::string> value = RealValueText(RealField(twoTo31 ? std::string_view("2147483647") : text));
    if (!value) return {std::nullopt, tooLarge};
    return {std::move(value), {}};
}

std::optional<std::int32_t> OwnLiteralType(std::string_view text) {
    if (ReadBoolean(text).value) return kBooleanType;
    if (!IsNumber(text)) return std::nullopt;
    if (ReadShort(text).value) return kShortType;
    if (ReadLong(text).value) return kLongType;
    return kRealType;
}

}  // namespace xsc::hsc
