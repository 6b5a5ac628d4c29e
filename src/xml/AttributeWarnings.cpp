#include "xml/AttributeWarnings.h"

#include <cmath>
#include <limits>

#include "common/Diagnostic.h"
#include "xml/ScriptLanguage.h"
#include "runtime/Val.h"
#include "runtime/XmlDocument.h"

namespace xsc {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether the whole text (spaces around it aside) is a number as Val reads one.
bool IsNumberText(std::string_view t) {
    std::size_t i = 0;
    const auto skip = [&](auto accept) {
        const std::size_t start = i;
        while (i < t.size() && accept(t[i])) ++i;
        return i - start;
    };
    skip(IsSpace);
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = skip(IsDigit);
    if (i < t.size() && t[i] == '.') {
        ++i;
        digits += skip(IsDigit);
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (skip(IsDigit) == 0) return false;
    }
    skip(IsSpace);
    return i == t.size();
}

std::optional<std::string> NotANumber(std::string_view what, const std::string& text) {
    if (IsNumberText(text)) return std::nullopt;
    return std::string(what) + " " + QuotedExcerpt(text) + " is not a number; it reads as " +
           std::to_string(NumberAttribute(text));
}

// A number with a fraction is cut toward zero. `loss` says what happens, "it reads as" or "it
// is stored as", for the whole number that remains.
std::optional<std::string> Fraction(std::string_view what, const std::string& text, std::string_view loss) {
    const double v = Val(text);
    if (v == std::trunc(v)) return std::nullopt;
    return std::string(what) + " " + QuotedExcerpt(text) + std::string(loss) + std::to_string(NumberAttribute(text));
}

constexpr std::string_view kNotWhole = " is not a whole number; it is stored as ";

// A whole number outside [low, high] keeps only the bits its field holds.
std::optional<std::string> OutOfRange(std::string_view what, const std::string& text, double low, double high,
                                      std::int64_t stored) {
    if (auto problem = NotANumber(what, text)) return problem;
    if (auto problem = Fraction(what, text, kNotWhole)) return problem;
    const double v = std::trunc(Val(text));
    if (v >= low && v <= high) return std::nullopt;
    return std::string(what) + " " + QuotedExcerpt(text) + " is outside " + std::to_string(static_cast<std::int64_t>(low)) +
           ".." + std::to_string(static_cast<std::int64_t>(high)) + "; it is stored as " + std::to_string(stored);
}

std::optional<std::string> ShortProblem(std::string_view what, const std::string& text) {
    return OutOfRange(what, text, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max(),
                      static_cast<std::int16_t>(NumberAttribute(text)));
}

std::optional<std::string> LongProblem(std::string_view what, const std::string& text) {
    return OutOfRange(what, text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
                      NumberAttribute(text));
}

// A real keeps its fraction; a whole number is cut to 32 bits before it becomes a float.
std::optional<std::string> RealProblem(std::string_view what, const std::string& text) {
    if (auto problem = NotANumber(what, text)) return problem;
    const double v = Val(text);
    if (v != std::trunc(v) || (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return std::string(what) + " " + QuotedExcerpt(text) + " is a whole number outside -2147483648..2147483647; it is stored as " +
           std::to_string(NumberAttribute(text));
}

bool IsBooleanWord(const std::string& text) {
    return language::EqualsIgnoringCase(text, language::kTrue) || language::EqualsIgnoringCase(text, language::kFalse);
}

}  // namespace

std::optional<std::string> NumberAttributeProblem(const XmlNode& element, std::string_view attribute) {
    if (!element.HasAttribute(attribute)) return "no " + std::string(attribute) + " attribute; it reads as 0";
    const std::string text = element.GetAttribute(attribute);
    if (auto problem = NotANumber(attribute, text)) return problem;
    return Fraction(attribute, text, " is not a whole number; it reads as ");
}

std::optional<std::string> ScriptValueProblem(const XmlNode& element, std::int32_t valueType) {
    const std::string value = element.GetAttribute(language::kValue);
    switch (valueType) {
        case language::kBooleanType:
            if (IsBooleanWord(value)) return std::nullopt;
            return "boolean Value " + QuotedExcerpt(value) + " is neither true nor false; it is stored as text";
        case language::kRealType: return RealProblem("real Value", value);
        case language::kShortType: return ShortProblem("short Value", value);
        case language::kLongType: return LongProblem("long Value", value);
        default: return std::nullopt;
    }
}

std::optional<std::string> GlobalValueProblem(const XmlNode& element, std::int32_t valueType) {
    if (!element.HasAttribute(language::kValue)) return std::nullopt;
    const std::string value = element.GetAttribute(language::kValue);
    switch (valueType) {
        case language::kBooleanType:
            if (IsBooleanWord(value)) return std::nullopt;
            return ShortProblem("Value", value);
        case language::kRealType: return RealProblem("Value", value);
        case language::kLongType: return LongProblem("Value", value);
        default: return ShortProblem("Value", value);
    }
}

}  // namespace xsc
