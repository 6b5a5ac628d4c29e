#include "compiler/ValueEncoding.h"

#include <bit>

#include "compiler/ScriptLanguage.h"
#include "runtime/Val.h"

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
std::optional<std::uint32_t> NumericField(std::int32_t valueType, std::int32_t v) {
    switch (valueType) {
        case language::kRealType: return std::bit_cast<std::uint32_t>(static_cast<float>(v));
        case language::kShortType: return ShortField(v);
        case language::kLongType: return static_cast<std::uint32_t>(v);
        default: return std::nullopt;
    }
}

}  // namespace

EncodedValue EncodeScriptValue(std::int32_t valueType, const std::string& value) {
    if (valueType == language::kBooleanType) {
        if (const auto field = BooleanField(value)) return {std::nullopt, *field};
        return {value, ShortField(0)};
    }
    if (const auto field = NumericField(valueType, NumberAttribute(value))) {
        return {std::nullopt, *field};
    }
    return {value, 0};
}

EncodedValue EncodeGlobalValue(std::int32_t valueType, const std::string& value,
                               const std::string& valueCommand) {
    if (valueType == language::kBooleanType) {
        if (const auto field = BooleanField(value)) return {std::nullopt, *field};
    }
    const std::int32_t v = NumberAttribute(value);
    if (const auto field = NumericField(valueType, v)) return {std::nullopt, *field};
    return {valueCommand, ShortField(v)};
}

}  // namespace xsc
