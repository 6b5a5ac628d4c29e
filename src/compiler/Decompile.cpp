#include "compiler/Decompile.h"

#include <optional>
#include <vector>

#include "compiler/Diagnostic.h"
#include "compiler/ScriptIndex.h"
#include "compiler/ScriptLanguage.h"
#include "compiler/ScriptTreeWalk.h"
#include "compiler/TextRun.h"
#include "compiler/ValueDecoding.h"
#include "runtime/Error.h"
#include "runtime/XmlWriter.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

// The element names the language leaves free, as the decompile writes them.
constexpr std::string_view kDocumentElement = "scripts";
constexpr std::string_view kScriptElement = "script";

void CheckText(const ScriptPlace& place, std::int32_t slot, const std::string& what, const std::string& text) {
    if (const auto problem = XmlWriter::TextProblem(text)) throw place.At(slot, "its " + what + " " + *problem);
}

std::string FieldBytes(std::uint32_t field) {
    std::string bytes;
    for (int k = 0; k < 4; ++k) {
        const char digits[] = "0123456789ABCDEF";
        const unsigned byte = (field >> (8 * k)) & 0xFF;
        bytes += (k ? " " : "");
        bytes += digits[byte >> 4];
        bytes += digits[byte & 0xF];
    }
    return bytes;
}

Error NoValueGives(const ScriptPlace& place, const WalkedNode& w, const std::optional<std::string>& text) {
    return place.At(w.slot, "value type " + std::to_string(w.node.valueType) + " with the value bytes " +
                                FieldBytes(w.node.childOrValue) + (text ? " and a text" : " and no text") +
                                ": no Value the language reads gives these");
}

XmlWriter::Attributes CallAttributes(const ScriptPlace& place, const WalkedNode& w, const std::optional<std::string>& text) {
    if (!text) {
        throw place.At(w.slot, "the call's function name takes no room in the string data (the next node's text starts at " +
                                   std::to_string(w.node.stringOffset) + " too)");
    }
    CheckText(place, w.slot, "function name", *text);
    return {{language::kCommand, *text},
            {language::kEngineId, std::to_string(w.node.engine)},
            {language::kValueType, std::to_string(w.node.valueType)}};
}

XmlWriter::Attributes ScriptCallAttributes(const ScriptPlace& place, const WalkedNode& w, const std::optional<std::string>& text,
                                           const ScriptIndex& scripts) {
    if (!text) {
        throw place.At(w.slot, "the script call's script name takes no room in the string data (the next node's text starts at " +
                                   std::to_string(w.node.stringOffset) + " too)");
    }
    CheckText(place, w.slot, "script name", *text);
    const std::optional<std::int32_t> index = scripts.Find(*text);
    if (!index) throw place.At(w.slot, "a call of the script " + Quoted(*text) + ", which no script record is named");
    if (*index != w.node.engine) {
        throw place.At(w.slot, "a call of the script " + Quoted(*text) + " with index " + std::to_string(w.node.engine) +
                                   ", where a compile writes its record's index " + std::to_string(*index));
    }
    if (w.hasArguments) throw place.At(w.slot, "a call of the script " + Quoted(*text) + " with arguments; scripts take none");
    return {{language::kScript, *text}, {language::kValueType, std::to_string(w.node.valueType)}};
}

XmlWriter::Attributes ValueAttributesOf(const ScriptPlace& place, const WalkedNode& w, const std::optional<std::string>& text,
                                        const ScriptIndex& scripts) {
    if (w.node.engine != w.node.valueType) {
        throw place.At(w.slot, "a value node with function number " + std::to_string(w.node.engine) + " beside value type " +
                                   std::to_string(w.node.valueType) + "; a compile writes the value type in both");
    }
    if (text) CheckText(place, w.slot, "value text", *text);
    const auto decoded = DecodeScriptValue(w.node.valueType, w.node.childOrValue, text, scripts);
    if (!decoded) throw NoValueGives(place, w, text);
    return {{language::kValueType, std::to_string(decoded->valueType)},
            {language::kExpType, std::to_string(w.node.expType)},
            {language::kValue, decoded->value}};
}

XmlWriter::Attributes GlobalAttributesOf(const ScriptPlace& place, const WalkedNode& w, const std::optional<std::string>& text) {
    if (w.node.engine != static_cast<std::int16_t>(kGlobalEngineIdentity)) {
        throw place.At(w.slot, "a global node with function number " + std::to_string(w.node.engine) +
                                   "; a compile writes -1 there");
    }
    if (text) CheckText(place, w.slot, "global name", *text);
    if (text && w.node.childOrValue == kGlobalByNameValue) {
        return {{language::kValueType, std::to_string(w.node.valueType)}, {language::kValueCommand, *text}};
    }
    const auto decoded = DecodeGlobalValue(w.node.valueType, w.node.childOrValue, text);
    if (!decoded) throw NoValueGives(place, w, text);
    return {{language::kValueType, std::to_string(decoded->valueType)},
            {language::kExpType, std::to_string(w.node.expType)},
            {language::kValue, decoded->value},
            {language::kValueCommand, decoded->valueCommand}};
}

// A global that names its global by its text alone is a "GlobalReference", whatever its type.
bool IsGlobalReference(const WalkedNode& w, const std::optional<std::string>& text) {
    return text && w.node.childOrValue == kGlobalByNameValue;
}

void WriteExpression(XmlWriter& xml, const ScriptPlace& place, const WalkedNode& w, const std::optional<std::string>& text,
                     const ScriptIndex& scripts) {
    switch (w.node.expType) {
        case kExpTypeCall:
            if (w.hasArguments) {
                xml.StartElement(language::kScriptCommand, CallAttributes(place, w, text));
            } else {
                xml.EmptyElement(language::kScriptCommand, CallAttributes(place, w, text));
            }
            break;
        case kExpTypeScriptCall: xml.EmptyElement(language::kScriptCall, ScriptCallAttributes(place, w, text, scripts)); break;
        case kExpTypeNameOrValue: xml.EmptyElement(language::kScriptValue, ValueAttributesOf(place, w, text, scripts)); break;
        default:
            xml.EmptyElement(IsGlobalReference(w, text) ? language::kGlobalReference : language::kGlobalValue,
                             GlobalAttributesOf(place, w, text));
            break;
    }
}

// The name from the record's 32-byte field, which a compile fills with the name's bytes and zeros.
std::string RecordName(const WalkedScript& script) {
    const ScriptPlace& place = script.place;
    const std::string& field = script.record.nameField;
    const std::size_t zero = field.find('\0');
    if (zero == std::string::npos) {
        throw place.Here("its name fills all " + std::to_string(kRecordNameSize) +
                         " bytes of the name field; a compile leaves room for a zero byte behind it");
    }
    if (field.find_first_not_of('\0', zero) != std::string::npos) {
        throw place.Here("its name field holds bytes behind the name's zero byte, where a compile writes zeros");
    }
    if (!script.record.zeroTail) {
        throw place.Here("record bytes " + Hex(kRecordZeroTail) + " to " + Hex(kRecordSize - 1) +
                         " are not zero, as a compile writes them");
    }
    std::string name = field.substr(0, zero);
    if (const auto problem = XmlWriter::TextProblem(name)) throw place.Here("its name " + *problem);
    return name;
}

// `nodeBehind`: the first node behind the script, whose text offset says where the script's texts
// end; none behind the last nodes, whose texts end where the string data's texts do.
void WriteScript(XmlWriter& xml, TextRun& texts, const WalkedScript& script, const std::string& name,
                 const WalkedNode* nodeBehind, const ScriptIndex& scripts) {
    const XmlWriter::Attributes attributes{{language::kNameAttr, name},
                                           {language::kTypeAttr, std::to_string(script.record.type)},
                                           {language::kReTypeAttr, std::to_string(script.record.returnType)}};
    if (script.body.empty()) {
        xml.EmptyElement(kScriptElement, attributes);
        return;
    }
    xml.StartElement(kScriptElement, attributes);
    const std::size_t statementLevel = xml.OpenElements();
    for (std::size_t i = 0; i < script.body.size(); ++i) {
        const WalkedNode& w = script.body[i];
        // Close the calls whose arguments ended before this node.
        while (xml.OpenElements() > statementLevel + static_cast<std::size_t>(w.depth)) xml.EndElement();
        const bool last = i + 1 == script.body.size();
        const WalkedNode* next = last ? nodeBehind : &script.body[i + 1];
        const std::int64_t nextOffset = next ? next->node.stringOffset : texts.End();
        WriteExpression(xml, script.place, w,
                        texts.Take(script.place, w.slot, w.node.stringOffset, nextOffset, next ? next->slot : -1), scripts);
    }
    while (xml.OpenElements() >= statementLevel) xml.EndElement();
}

}  // namespace

std::string Decompile(const CompiledScriptData& data) {
    XmlWriter xml;
    if (data.fresh) {
        xml.Comment("The map holds no compiled scripts: its string data is the 1024 zero bytes of a map never compiled into.");
        xml.EmptyElement(kDocumentElement, {});
        return xml.Finish();
    }
    TextRun texts(data.strings);
    ScriptTreeWalk walk(data);
    std::vector<WalkedScript> scripts;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < data.ScriptCount(); ++i) {
        scripts.push_back(walk.Walk(i));
        names.push_back(RecordName(scripts.back()));
    }
    const ScriptIndex index(names);

    // Behind each script's last node, the texts continue with the next script that has nodes.
    std::vector<const WalkedNode*> nodeBehind(scripts.size(), nullptr);
    const WalkedNode* next = nullptr;
    for (std::size_t i = scripts.size(); i-- > 0;) {
        nodeBehind[i] = next;
        if (!scripts[i].body.empty()) next = &scripts[i].body.front();
    }

    if (scripts.empty()) {
        xml.EmptyElement(kDocumentElement, {});
    } else {
        xml.StartElement(kDocumentElement, {});
        for (std::size_t i = 0; i < scripts.size(); ++i) WriteScript(xml, texts, scripts[i], names[i], nodeBehind[i], index);
    }
    texts.CheckAllTaken();
    return xml.Finish();
}

}  // namespace xsc
