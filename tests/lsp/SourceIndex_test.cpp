// What stands around a cursor (| marks it) and what a text declares, as completion, signature
// help and navigation read them.

#include <gtest/gtest.h>

#include "lsp/SourceIndex.h"

namespace xsc::lsp {
namespace {

struct ContextCase {
    std::string text;  // with | at the cursor
    int depth;
    std::string head;
    bool inHead;
    std::size_t argument;
    std::string prefix;
};

TEST(SourceIndex, TheCursorsListHeadArgumentAndWordSoFar) {
    const ContextCase cases[] = {
        {"|", 0, "", false, 0, ""},
        {"(|", 1, "", true, 0, ""},
        {"(sle|ep 30)", 1, "", true, 0, "sle"},
        {"(sleep |30)", 1, "sleep", false, 0, ""},
        {"(sleep 3|0)", 1, "sleep", false, 0, "3"},
        {"(a (b c) |", 1, "a", false, 1, ""},
        {"(sleep_until (x) 30 |", 1, "sleep_until", false, 2, ""},
        {"(a (b c|) d)", 2, "b", false, 0, "c"},
        {"(a \"s t\" x|", 1, "a", false, 1, "x"},
        {"((x) |", 1, "", false, 0, ""},
        {"(a) (b) |", 0, "", false, 0, ""},
        {"(a ; (b\n |", 1, "a", false, 0, ""},
    };
    for (const ContextCase& c : cases) {
        const std::size_t cursor = c.text.find('|');
        std::string text = c.text;
        text.erase(cursor, 1);
        const TextDocument document("file:///t.hsc", text, 1);
        const CursorContext at = SourceIndex(document).ContextAt(cursor);
        EXPECT_EQ(at.depth, c.depth) << c.text;
        EXPECT_EQ(at.head, c.head) << c.text;
        EXPECT_EQ(at.inHead, c.inHead) << c.text;
        if (!c.inHead && c.depth > 0) {
            EXPECT_EQ(at.argument, c.argument) << c.text;
        }
        EXPECT_EQ(at.prefix, c.prefix) << c.text;
    }
}

TEST(SourceIndex, DeclarationsAreReadAsTheCheckReadsHeaders) {
    const std::string text =
        "; scripts\n(script static real \"two words\" 2.5)\n(script startup intro (sleep 1))\n"
        "(global short waves 0)\n(script static)\n(script dormant (x))\n(other thing)\n";
    const TextDocument document("file:///t.hsc", text, 1);
    const SourceIndex index(document);
    ASSERT_EQ(index.Declarations().size(), 3u);
    const Declaration& quoted = index.Declarations()[0];
    EXPECT_EQ(quoted.name, "two words");
    EXPECT_EQ(quoted.returnType, "real");
    EXPECT_EQ(text.substr(quoted.nameBegin, quoted.nameEnd - quoted.nameBegin), "\"two words\"");
    EXPECT_EQ(text.substr(quoted.begin, quoted.end - quoted.begin), "(script static real \"two words\" 2.5)");
    EXPECT_EQ(index.Declarations()[1].name, "intro");
    EXPECT_EQ(index.Declarations()[1].returnType, "");
    EXPECT_EQ(index.Declarations()[2].kind, Declaration::Kind::Global);
    EXPECT_EQ(index.Declarations()[2].type, "short");
    EXPECT_TRUE(index.HasComments());
    EXPECT_FALSE(index.HasSyntaxErrors());
    // ";" inside a string is no comment.
    EXPECT_FALSE(SourceIndex(TextDocument("file:///u.hsc", "(print \"a;b\")", 1)).HasComments());
}

}  // namespace
}  // namespace xsc::lsp
