#include "common/ValueEncoding.h"

#include <bit>
#include <cmath>

#include "xml/ScriptLanguage.h"
#include "runtime/Val.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

// 0xFFFF in the high half: the second 16-bit word of a 16-bit value or of a boolean.
constexpr std::uint32_t kHighHalfAllOnes = 0xFFFF0000;
constexpr std::uint32_t kTrueField = kHighHalfAllOnes | 0xFF01;
constexpr std::uint32_t kFalseField = kHighHalfAllOnes | 0xFF00;

std::optional<std::uint32_t> BooleanField(const std::string& value) {
    if (language::EqualsIgnoringCase(value, language::kTrue)) return kTrueField;
    if (language::EqualsIgnoringCase(value, language::kFalse)) return kFalseField;
    return std::nullopt;
}

std::uint32_t ShortField(std::int32_t v) {
    return kHighHalfAllOnes | (static_cast<std::uint32_t>(v) & 0xFFFF);
}

// The numeric encodings both value elements share; none for other types.
std::optional<std::uint32_t> NumericField(std::int32_t valueType, const std::string& value) {
    const std::int32_t v = NumberAttribute(value);
    switch (valueType) {
        case language::kRealType: return RealField(value);
        case language::kShortType: return ShortField(v);
        case language::kLongType: return static_cast<std::uint32_t>(v);
        default: return std::nullopt;
    }
}

}  // namespace

std::uint32_t RealField(std::string_view value) {
    const double number = Val(value);
    if (number == std::trunc(number)) return std::bit_cast<std::uint32_t>(static_cast<float>(ToInt32(number)));
    return std::bit_cast<std::uint32_t>(ValFloat(value));
}

EncodedValue EncodeScriptValue(std::int32_t valueType, const std::string& value, std::optional<std::int32_t> scriptIndex) {
    if (valueType == language::kBooleanType) {
        if (const auto field = BooleanField(value)) return {std::nullopt, *field};
        return {value, ShortField(0)};
    }
    if (valueType == language::kScriptType) {
        return {value, static_cast<std::uint32_t>(scriptIndex.value_or(0)) & 0xFFFF};
    }
    if (const auto field = NumericField(valueType, value)) return {std::nullopt, *field};
    return {value, 0};
}

EncodedValue EncodeGlobalValue(std::int32_t valueType, const std::string& value,
                               const std::string& valueCommand) {
    if (valueType == language::kBooleanType) {
        if (const auto field = BooleanField(value)) return {std::nullopt, *field};
    }
    if (const auto field = NumericField(valueType, value)) return {std::nullopt, *field};
    return {valueCommand, ShortField(NumberAttribute(value))};
}

EncodedValue EncodeGlobalReference(const std::string& valueCommand, std::optional<std::int32_t> scenarioGlobal) {
    if (scenarioGlobal) return {valueCommand, static_cast<std::uint32_t>(*scenarioGlobal)};
    return {valueCommand, scriptformat::kGlobalByNameValue};
}

}  // namespace xsc
