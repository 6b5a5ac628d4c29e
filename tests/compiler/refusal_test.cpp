// Nodes the language has no place for are refused at the line:column of the first one in
// document order, before anything is built.

#include <string>

#include "BuildFixture.h"
#include "runtime/Error.h"

namespace xsc::testing {
namespace {

const std::string kExpected = " (expected ScriptCommand, ScriptValue or GlobalValue)";

TEST_F(BuildFixture, RefusesNodesTheLanguageHasNoPlaceFor) {
    const struct {
        const char* xml;
        std::string message;
    } cases[] = {
        {"<S>\n  <ScriptComand Command=\"f\"/>\n</S>", "2:3: unknown element \"ScriptComand\"" + kExpected},
        {"<S><ScriptCommand Command=\"f\">\n\t<Value/></ScriptCommand></S>",
         "2:2: unknown element \"Value\"" + kExpected},
        {"<S>\n  <ScriptValue ValueType=\"8\" Value=\"1\"/>\n  stray words\n</S>",
         "3:3: text \"stray words\" is not allowed here" + kExpected},
        {"<S><ScriptCommand>   abcdefghijklmnopqrstuvwxyz0123456789</ScriptCommand></S>",
         "1:22: text \"abcdefghijklmnopqrstuvwx...\" is not allowed here" + kExpected},
        {"<S><ScriptCommand><![CDATA[x]]></ScriptCommand></S>", "1:19: text \"x\" is not allowed here" + kExpected},
        {"<S>\n<scriptvalue ValueType=\"8\">\n    <ScriptValue/>\n</scriptvalue></S>",
         "3:5: \"scriptvalue\" cannot contain elements or text"},
        {"<S><GlobalValue ValueType=\"8\">7</GlobalValue></S>", "1:31: \"GlobalValue\" cannot contain elements or text"},
        // A deep offence comes before a later sibling's.
        {"<S><ScriptCommand><ScriptCommand><Bad1/></ScriptCommand></ScriptCommand>\n<Bad2/></S>",
         "1:34: unknown element \"Bad1\"" + kExpected}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        try {
            Build(c.xml);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), c.message);
            EXPECT_EQ(e.subject(), Error::Subject::Script);
        }
        EXPECT_EQ(Slots(), 0u);
        EXPECT_EQ(state.LengthIntoStrings, 6);
        EXPECT_EQ(state.RealSyn, 0);
    }
}

}  // namespace
}  // namespace xsc::testing
