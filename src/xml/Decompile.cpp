#include "xml/Decompile.h"

#include <map>
#include <optional>
#include <vector>

#include "common/DecodedScripts.h"
#include "common/Diagnostic.h"
#include "xml/ScriptIndex.h"
#include "xml/ScriptLanguage.h"
#include "common/ValueDecoding.h"
#include "names/DesignatedNames.h"
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

// A global read by its name is a "GlobalReference", whatever its type: a scenario global's holds
// the global's index, an engine global's FF FF FF FF. Other values are a "GlobalValue"'s (also
// FF FF FF FF beside a scenario global's name, which "GlobalValue" gives without resolving it).
bool IsGlobalReference(const WalkedNode& w, const std::optional<std::string>& text, const ScriptIndex& globals) {
    const GlobalRead read = ReadOfGlobalNode(w.node, text, globals);
    return read == GlobalRead::Scenario || read == GlobalRead::Engine;
}

XmlWriter::Attributes GlobalAttributesOf(const ScriptPlace& place, const WalkedNode& w, const std::optional<std::string>& text,
                                         const ScriptIndex& globals) {
    if (w.node.engine != static_cast<std::int16_t>(kGlobalEngineIdentity)) {
        throw place.At(w.slot, "a global node with function number " + std::to_string(w.node.engine) +
                                   "; a compile writes -1 there");
    }
    if (text) CheckText(place, w.slot, "global name", *text);
    if (IsGlobalReference(w, text, globals)) {
        return {{language::kValueType, std::to_string(w.node.valueType)}, {language::kValueCommand, *text}};
    }
    const auto decoded = DecodeGlobalValue(w.node.valueType, w.node.childOrValue, text);
    if (!decoded) throw NoValueGives(place, w, text);
    return {{language::kValueType, std::to_string(decoded->valueType)},
            {language::kExpType, std::to_string(w.node.expType)},
            {language::kValue, decoded->value},
            {language::kValueCommand, decoded->valueCommand}};
}


// The record indexes the decompiled nodes name: the scripts' and the scenario globals'.
struct Indexes {
    ScriptIndex scripts;
    ScriptIndex globals;
};

void WriteExpression(XmlWriter& xml, const ScriptPlace& place, const WalkedNode& w, const std::optional<std::string>& text,
                     const Indexes& indexes) {
    const ScriptIndex& scripts = indexes.scripts;
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
            xml.EmptyElement(IsGlobalReference(w, text, indexes.globals) ? language::kGlobalReference : language::kGlobalValue,
                             GlobalAttributesOf(place, w, text, indexes.globals));
            break;
    }
}

// A text as an XML comment holds it: no "--", and bytes XML cannot carry are not shown.
std::string CommentText(std::string text) {
    if (XmlWriter::TextProblem(text)) return "a stored text that XML cannot carry differs from the name its value designates";
    for (std::size_t at; (at = text.find("--")) != std::string::npos;) text.replace(at, 2, "- -");
    if (!text.empty() && text.back() == '-') text += ' ';
    return text;
}

// The comment before a renamed value, by its index in the body.
using RenamedNodes = std::map<std::size_t, std::string>;

// An element holding expressions: a script, or a global and its initial value.
void WriteExpressions(XmlWriter& xml, std::string_view element, const XmlWriter::Attributes& attributes, const ScriptPlace& place,
                      const std::vector<WalkedNode>& body, const std::vector<std::optional<std::string>>& texts,
                      const Indexes& indexes, const RenamedNodes& renamed) {
    if (body.empty()) {
        xml.EmptyElement(element, attributes);
        return;
    }
    xml.StartElement(element, attributes);
    const std::size_t statementLevel = xml.OpenElements();
    for (std::size_t i = 0; i < body.size(); ++i) {
        const WalkedNode& w = body[i];
        // Close the calls whose arguments ended before this node.
        while (xml.OpenElements() > statementLevel + static_cast<std::size_t>(w.depth)) xml.EndElement();
        if (const auto note = renamed.find(i); note != renamed.end()) xml.Comment(note->second);
        WriteExpression(xml, place, w, texts[i], indexes);
    }
    while (xml.OpenElements() >= statementLevel) xml.EndElement();
}

// A name read in Windows-1252 (which a source in that code page compiles) is no text XML can carry.
void CheckName(const ScriptPlace& place, const std::string& name) {
    if (const auto problem = XmlWriter::TextProblem(name)) throw place.Here("its name " + *problem);
}

void WriteScript(XmlWriter& xml, const DecodedScript& script, const Indexes& indexes, const RenamedNodes& renamed) {
    const WalkedScript& walked = script.walked;
    CheckName(walked.place, script.name);
    WriteExpressions(xml, kScriptElement,
                     {{language::kNameAttr, script.name},
                      {language::kTypeAttr, std::to_string(walked.record.type)},
                      {language::kReTypeAttr, std::to_string(walked.record.returnType)}},
                     walked.place, walked.body, script.texts, indexes, renamed);
}

void WriteGlobal(XmlWriter& xml, const DecodedGlobal& global, const Indexes& indexes, const RenamedNodes& renamed) {
    CheckName(global.walked.place, global.name);
    WriteExpressions(xml, language::kScenarioGlobal,
                     {{language::kGlobalName, global.name}, {language::kValueType, std::to_string(global.walked.record.type)}},
                     global.walked.place, global.walked.body, global.texts, indexes, renamed);
}

}  // namespace

std::string Decompile(const CompiledScriptData& data, const NameResolver* names) {
    XmlWriter xml;
    if (data.fresh) {
        xml.Comment("The map holds no compiled scripts: its string data is the 1024 zero bytes of a map never compiled into.");
        xml.EmptyElement(kDocumentElement, {});
        return xml.Finish();
    }
    DecodedScriptData decoded = DecodeScriptData(data);
    std::vector<RenamedNodes> scriptNotes(decoded.scripts.size()), globalNotes(decoded.globals.size());
    if (names) {
        for (const RenamedValue& r : DesignateNames(decoded, *names)) {
            (r.global ? globalNotes : scriptNotes)[r.record][r.node] = CommentText(RenamedNote(r));
        }
    }
    const Indexes indexes{RecordIndex(decoded.scripts), RecordIndex(decoded.globals)};
    if (decoded.scripts.empty() && decoded.globals.empty()) {
        xml.EmptyElement(kDocumentElement, {});
    } else {
        // Globals first, as sources declare them.
        xml.StartElement(kDocumentElement, {});
        for (std::size_t i = 0; i < decoded.globals.size(); ++i) WriteGlobal(xml, decoded.globals[i], indexes, globalNotes[i]);
        for (std::size_t i = 0; i < decoded.scripts.size(); ++i) WriteScript(xml, decoded.scripts[i], indexes, scriptNotes[i]);
    }
    return xml.Finish();
}

}  // namespace xsc
