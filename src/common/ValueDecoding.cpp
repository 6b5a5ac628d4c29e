#include "common/ValueDecoding.h"

#include <bit>
#include <charconv>
#include <cmath>

#include "xml/ScriptIndex.h"
#include "xml/ScriptLanguage.h"
#include "common/ValueEncoding.h"

namespace xsc {
namespace {

// Added to a value type of 5 to 8 to choose the text encoding while storing the same low half.
constexpr std::int32_t kBeyond16Bits = 0x10000;
constexpr std::uint32_t kTrueField = 0xFFFFFF01;
constexpr std::uint32_t kFalseField = 0xFFFFFF00;
// A ScriptValue of type 5 that stores a text: 0, then 0xFFFF.
constexpr std::uint32_t kBooleanTextField = 0xFFFF0000;

bool IsNumericType(std::int32_t valueType) {
    return valueType >= language::kBooleanType && valueType <= language::kLongType;
}

// A value stores a text under types 5 to 8 and 10 only in one way of its own (a boolean word that
// is no boolean, a script's name with its index); a global under 5 to 8 never.
std::int32_t TextValueType(std::int16_t valueType) {
    return IsNumericType(valueType) || valueType == language::kScriptType ? valueType + kBeyond16Bits : valueType;
}
std::int32_t GlobalTextValueType(std::int16_t valueType) {
    return IsNumericType(valueType) ? valueType + kBeyond16Bits : valueType;
}

std::string Signed16(std::uint32_t field) { return std::to_string(static_cast<std::int16_t>(field & 0xFFFF)); }

// Every float from -2^31 to 2^31 without a fraction is the float of an int32: itself, except
// 2^31, which 2147483647 rounds up to. A float with a fraction is written as the shortest decimal
// that reads back as it.
std::optional<std::string> RealValue(std::uint32_t field) {
    const float value = std::bit_cast<float>(field);
    const double real = value;
    if (!std::isfinite(real)) return std::nullopt;
    if (std::trunc(real) != real) {
        char text[32];
        const auto [end, error] = std::to_chars(text, text + sizeof text, value);
        if (error != std::errc()) return std::nullopt;
        return std::string(text, end);
    }
    if (real < -2147483648.0 || real > 2147483648.0) return std::nullopt;
    return std::to_string(real == 2147483648.0 ? 2147483647 : static_cast<std::int64_t>(real));
}

// The Value of the encodings that store no text.
std::optional<std::string> ValueWithoutText(std::int16_t valueType, std::uint32_t field) {
    switch (valueType) {
        case language::kBooleanType:
            if (field == kTrueField) return std::string(language::kTrue);
            if (field == kFalseField) return std::string(language::kFalse);
            return std::nullopt;
        case language::kRealType: return RealValue(field);
        case language::kShortType: return Signed16(field);
        case language::kLongType: return std::to_string(static_cast<std::int32_t>(field));
        default: return std::nullopt;
    }
}

bool Gives(const EncodedValue& encoded, std::uint32_t field, const std::optional<std::string>& text) {
    return encoded.field == field && encoded.text == text;
}

}  // namespace

std::optional<std::string> RealValueText(std::uint32_t field) {
    std::optional<std::string> value = RealValue(field);
    if (value && RealField(*value) != field) return std::nullopt;  // -0 reads back as 0
    return value;
}

std::optional<ValueAttributes> DecodeScriptValue(std::int16_t valueType, std::uint32_t field,
                                                 const std::optional<std::string>& text, const ScriptIndex& scripts) {
    ValueAttributes attributes;
    if (text) {
        const bool booleanText = valueType == language::kBooleanType && field == kBooleanTextField;
        attributes.valueType = booleanText ? valueType : TextValueType(valueType);
        attributes.value = *text;
        // A script's name stores the index of its record; the same text under 65546 stores 0.
        const std::optional<std::int32_t> script = scripts.Find(*text);
        if (valueType == language::kScriptType && script && Gives(EncodeScriptValue(valueType, *text, script), field, text)) {
            attributes.valueType = valueType;
            return attributes;
        }
    } else {
        const std::optional<std::string> value = ValueWithoutText(valueType, field);
        if (!value) return std::nullopt;
        attributes.valueType = valueType;
        attributes.value = *value;
    }
    if (!Gives(EncodeScriptValue(attributes.valueType, attributes.value), field, text)) return std::nullopt;
    return attributes;
}

std::optional<ValueAttributes> DecodeGlobalValue(std::int16_t valueType, std::uint32_t field,
                                                 const std::optional<std::string>& text) {
    ValueAttributes attributes;
    if (text) {
        // A type 5 global with a text keeps its type: a number as Value is neither true nor false.
        attributes.valueType = valueType == language::kBooleanType ? valueType : GlobalTextValueType(valueType);
        attributes.value = Signed16(field);
        attributes.valueCommand = *text;
    } else {
        const std::optional<std::string> value = ValueWithoutText(valueType, field);
        if (!value) return std::nullopt;
        attributes.valueType = valueType;
        attributes.value = *value;
    }
    const EncodedValue encoded = EncodeGlobalValue(attributes.valueType, attributes.value, attributes.valueCommand);
    if (!Gives(encoded, field, text)) return std::nullopt;
    return attributes;
}

}  // namespace xsc
