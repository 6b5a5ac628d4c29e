#pragma once
// Compiles the children of a document's root element, as the build does for one script body:
// the string data already holds "begin" (offsets 0 to 5) and the body starts at slot 4
// (identity 0xE373 + 4 = 0xE377), behind the script's four filler slots.

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "compiler/XmlBuild.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc::testing {

constexpr std::int32_t kBodyStart = -7309 + 4;  // identity number of slot 4
constexpr std::uint16_t kBodyStartId = 0xE377;  // its low 16 bits
constexpr std::uint16_t kBodyStartSlot = 4;

class BuildFixture : public ::testing::Test {
protected:
    void SetUp() override {
        state.ResetForBuild();
        state.LengthIntoStrings = 0;
        state.AppendString("begin");
    }

    std::int32_t Build(std::string_view xml, std::int32_t nextIdentity = kBodyStart) {
        document = XmlDocument::LoadXml(xml);
        return XmlBuild(state, *document.DocumentElement(), nextIdentity);
    }

    ScriptCompilier state;
    XmlDocument document;
};

}  // namespace xsc::testing
