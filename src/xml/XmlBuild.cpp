#include "xml/XmlBuild.h"

#include <optional>
#include <string>
#include <vector>

#include "common/Diagnostic.h"
#include "xml/ExpressionCheck.h"
#include "xml/ScriptIndex.h"
#include "xml/ScriptLanguage.h"
#include "common/ValueEncoding.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"
#include "runtime/Val.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"
#include "scriptdata/Syntax.h"

// Node order and links. Every expression takes the next identity numbers in document order,
// depth first: a call's two nodes (call node n, function name node n + 1), then its arguments
// with everything below them, then the next expression at the call's level. Links:
//   call node     -> child: its function name node
//   name node     -> sibling: the first argument (none for a call without arguments)
// A call of a static script ("ScriptCall") is laid out as a function call without arguments: a
// call node of kind 10 and a name node, both with the script's record index as their function
// number and the script's name as their text.
//   expression    -> sibling: the first node of the next expression at its level, written once
//                    the expression's whole subtree is appended and that number is known;
//                    the last expression at a level keeps "no node".

namespace xsc {
namespace {

using language::ExpressionKind;

class ExpressionTreeBuilder {
public:
    ExpressionTreeBuilder(ScriptCompilier& state, std::int32_t nextIdentity, const ScriptIndex& scripts,
                          const ScriptIndex& globals, const NameResolver* names)
        : state_(state), next_(nextIdentity), scripts_(scripts), globals_(globals), names_(names) {}

    std::int32_t Build(const XmlNode& parent) {
        levels_.push_back(Level{&parent, 0, 0});
        while (!levels_.empty()) {
            Level& level = levels_.back();
            if (level.index == level.element->ChildCount()) {
                levels_.pop_back();
                // The call whose arguments these were is complete.
                if (!levels_.empty()) FinishExpression(levels_.back());
                continue;
            }
            const XmlNode& expression = level.element->Child(level.index);
            level.firstSlot = state_.SyntaxBlock.Size();
            if (StartExpression(expression)) {
                levels_.push_back(Level{&expression, 0, 0});  // `level` is invalid from here
            } else {
                FinishExpression(level);
            }
        }
        return next_;
    }

private:
    // An element whose children are being compiled, and where it has got to.
    struct Level {
        const XmlNode* element;
        std::size_t index;      // the child being compiled
        std::size_t firstSlot;  // byte offset in SyntaxBlock of that child's first node
    };

    // Appends the nodes of one expression element. True when it is a call with arguments that
    // must be compiled before the expression is complete.
    bool StartExpression(const XmlNode& element) {
        switch (language::ClassifyExpression(element.Name)) {
            case ExpressionKind::Call: return AppendCall(element);
            case ExpressionKind::Value: AppendValue(element); return false;
            case ExpressionKind::Global: AppendGlobal(element); return false;
            case ExpressionKind::ScriptCall: AppendScriptCall(element); return false;
            case ExpressionKind::GlobalReference: AppendGlobalReference(element); return false;
            case ExpressionKind::Unknown: break;  // refused by CheckExpressions
        }
        return false;
    }

    // Links the expression just completed to the next one at its level, unless it was the last.
    void FinishExpression(Level& level) {
        if (level.index + 1 < level.element->ChildCount()) state_.LinkSibling(level.firstSlot, next_);
        ++level.index;
    }

    // Identity numbers wrap like the 16-bit fields they end up in, never overflow.
    std::int32_t TakeIdentity() {
        const std::int32_t identity = next_;
        next_ = Wrap32(std::int64_t{next_} + 1);
        return identity;
    }

    bool AppendCall(const XmlNode& element) {
        const std::int32_t engine = NumberAttribute(element.GetAttribute(language::kEngineId));
        return AppendCallNodes(element, scriptformat::kExpTypeCall, engine, element.GetAttribute(language::kCommand));
    }

    void AppendScriptCall(const XmlNode& element) {
        const std::string name = element.GetAttribute(language::kScript);
        AppendCallNodes(element, scriptformat::kExpTypeScriptCall, ResolveScript(element, name), name);
    }

    // The index of the script `name` names (CheckExpressions has refused a name no script has).
    std::int32_t ResolveScript(const XmlNode& element, const std::string& name) const {
        if (const auto index = scripts_.Find(name)) return *index;
        throw Error::AtScript("no script of this document is named " + Quoted(name), element.Line, element.Column, element.File);
    }

    // The call node and the name node of a call, and its text.
    bool AppendCallNodes(const XmlNode& element, std::int32_t expType, std::int32_t engine, const std::string& text) {
        state_.RealSyn += 2;
        Syntax call;
        call.ExpIdentity = TakeIdentity();
        call.EngineIdentity = engine;
        call.ValueType = NumberAttribute(element.GetAttribute(language::kValueType));
        call.ExpType = expType;
        call.ScriptTableOffset = state_.LengthIntoStrings;
        call.KidExpPointer = ScriptCompilier::NodePointer(next_);  // the function name node
        call.Command = text;
        state_.AppendNode(call);

        Syntax name = call;
        name.ExpIdentity = TakeIdentity();
        name.ValueType = scriptformat::kFunctionNameValueType;
        name.ExpType = scriptformat::kExpTypeNameOrValue;
        name.KidExpPointer = 0;
        name.ScriptValue = 0;
        const std::size_t nameSlot = state_.AppendNode(name);

        state_.AppendString(call.Command);
        if (element.ChildCount() == 0) return false;
        state_.LinkSibling(nameSlot, next_);  // the first argument comes next
        return true;
    }

    void AppendValue(const XmlNode& element) {
        state_.RealSyn += 1;
        Syntax node;
        node.ValueType = NumberAttribute(element.GetAttribute(language::kValueType));
        node.EngineIdentity = node.ValueType;
        node.ExpType = scriptformat::kExpTypeNameOrValue;
        const std::string value = element.GetAttribute(language::kValue);
        std::optional<std::int32_t> script;
        if (node.ValueType == language::kScriptType) script = ResolveScript(element, value);
        EncodedValue encoded = EncodeScriptValue(node.ValueType, value, script);
        if (names_ && NamesSomethingOfTheMap(node.ValueType, names_->Tables())) encoded.field = ResolveName(element, node.ValueType, value);
        AppendValueNode(node, encoded);
    }

    // What the game reads for a name of the map's things; the text is stored all the same.
    std::uint32_t ResolveName(const XmlNode& element, std::int32_t valueType, const std::string& value) const {
        const ResolvedName resolved = names_->Resolve(valueType, value);
        if (!resolved.value) throw Error::AtScript(resolved.error, element.Line, element.Column);
        return *resolved.value;
    }

    // The fields every global node has, whatever stores its value: a GlobalValue or a
    // GlobalReference.
    Syntax GlobalNode(const XmlNode& element) {
        state_.RealSyn += 1;
        Syntax node;
        node.ValueType = NumberAttribute(element.GetAttribute(language::kValueType));
        node.EngineIdentity = scriptformat::kGlobalEngineIdentity;
        node.ExpType = scriptformat::kExpTypeGlobal;
        return node;
    }

    void AppendGlobal(const XmlNode& element) {
        Syntax node = GlobalNode(element);
        AppendValueNode(node, EncodeGlobalValue(node.ValueType, element.GetAttribute(language::kValue),
                                                element.GetAttribute(language::kValueCommand)));
    }

    void AppendGlobalReference(const XmlNode& element) {
        Syntax node = GlobalNode(element);
        const std::string name = element.GetAttribute(language::kValueCommand);
        AppendValueNode(node, EncodeGlobalReference(name, globals_.Find(name)));
    }

    // A value or global node. Its string offset is taken before its text (if any) is appended,
    // so a node without a text names the offset at which the next text will start.
    void AppendValueNode(Syntax& node, const EncodedValue& value) {
        node.ExpIdentity = TakeIdentity();
        node.ScriptTableOffset = state_.LengthIntoStrings;
        node.ScriptValue = static_cast<std::int32_t>(value.field);
        if (value.text) state_.AppendString(*value.text);
        state_.AppendNode(node);
    }

    ScriptCompilier& state_;
    std::int32_t next_;
    const ScriptIndex& scripts_;
    const ScriptIndex& globals_;
    const NameResolver* names_;
    std::vector<Level> levels_;
};

}  // namespace

namespace {

void CheckRecordName(const XmlNode& element, std::string_view kind, const std::string& name) {
    if (name.size() >= static_cast<std::size_t>(scriptformat::kRecordNameSize)) {
        throw Error::AtScript(std::string(kind) + " name \"" + name + "\" is " + std::to_string(name.size()) +
                                  " bytes long; at most " + std::to_string(scriptformat::kRecordNameSize - 1) +
                                  " bytes fit in a " + std::string(kind) + " record",
                              element.Line, element.Column, element.File);
    }
}

}  // namespace

ScriptHeader ReadScriptHeader(const XmlNode& element) {
    ScriptHeader header;
    header.Type = NumberAttribute(element.GetAttribute(language::kTypeAttr));
    header.ReturnType = NumberAttribute(element.GetAttribute(language::kReTypeAttr));
    header.Name = element.GetAttribute(language::kNameAttr);
    CheckRecordName(element, "script", header.Name);
    return header;
}

GlobalHeader ReadGlobalHeader(const XmlNode& element) {
    GlobalHeader header;
    header.Type = NumberAttribute(element.GetAttribute(language::kValueType));
    header.Name = element.GetAttribute(language::kGlobalName);
    CheckRecordName(element, "global", header.Name);
    if (element.ChildCount() != 1) {
        throw Error::AtScript("the global " + Quoted(header.Name) + " holds " + std::to_string(element.ChildCount()) +
                                  " nodes; a global holds one expression, its initial value",
                              element.Line, element.Column, element.File);
    }
    return header;
}

std::int32_t XmlBuild(ScriptCompilier& state, const XmlNode& parent, std::int32_t nextIdentity, const ScriptIndex& scripts,
                      const ScriptIndex& globals, const NameResolver* names) {
    CheckExpressions(parent, scripts);
    return ExpressionTreeBuilder(state, nextIdentity, scripts, globals, names).Build(parent);
}

}  // namespace xsc
