// The framing of messages on the byte stream: whole bodies in order however the bytes are cut,
// and every header fault reported with reading going on behind it.

#include <gtest/gtest.h>

#include "lsp/MessageFraming.h"

namespace xsc::lsp {
namespace {

std::vector<Frame> ReadAll(MessageReader& reader) {
    std::vector<Frame> frames;
    while (std::optional<Frame> frame = reader.Next()) frames.push_back(*frame);
    return frames;
}

TEST(MessageFraming, BodiesComeWholeAndInOrderHoweverTheBytesAreCut) {
    const QByteArray stream = FrameMessage(R"({"a":1})") + "content-length:  10\r\nContent-Type: x\r\n\r\n{\"b\":\"é\"}" +
                              FrameMessage("{}");
    for (qsizetype piece : {1, 2, 5, 1000}) {
        MessageReader reader;
        std::vector<Frame> frames;
        for (qsizetype at = 0; at < stream.size(); at += piece) {
            reader.Feed(stream.mid(at, piece));
            for (Frame& f : ReadAll(reader)) frames.push_back(std::move(f));
        }
        ASSERT_EQ(frames.size(), 3u) << "pieces of " << piece;
        EXPECT_EQ(frames[0].body, R"({"a":1})");
        EXPECT_EQ(frames[1].body, "{\"b\":\"é\"}");  // 10 bytes: the length counts bytes, not characters
        EXPECT_EQ(frames[2].body, "{}");
        for (const Frame& f : frames) EXPECT_TRUE(f.fault.empty());
    }
}

TEST(MessageFraming, HeaderFaultsAreReportedAndTheNextMessageIsReadWhole) {
    struct Case {
        QByteArray header;
        std::string fault;
    };
    const Case cases[] = {
        {"Content-Type: text\r\n\r\n", "a header without Content-Length"},
        {"Content-Length: twelve\r\n\r\n", "Content-Length is no number: \"twelve\""},
        {"Content-Length: -3\r\n\r\n", "Content-Length is no number: \"-3\""},
        {"garbage\r\n\r\n", "a header line without a colon: \"garbage\""},
    };
    for (const Case& c : cases) {
        MessageReader reader;
        reader.Feed(c.header + FrameMessage(R"({"next":true})"));
        const std::vector<Frame> frames = ReadAll(reader);
        ASSERT_EQ(frames.size(), 2u) << c.header.toStdString();
        EXPECT_EQ(frames[0].fault, c.fault);
        EXPECT_EQ(frames[1].body, R"({"next":true})");
    }
}

TEST(MessageFraming, AnOversizedBodyIsSkippedAsItArrives) {
    MessageReader reader;
    const std::size_t size = kMaxMessageBytes + 1;
    reader.Feed("Content-Length: " + QByteArray::number(static_cast<qulonglong>(size)) + "\r\n\r\n");
    const std::vector<Frame> first = ReadAll(reader);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_NE(first[0].fault.find("larger than the server reads"), std::string::npos);
    // The body arrives in pieces; nothing of it is taken for a message.
    const QByteArray piece(static_cast<qsizetype>(size / 4), 'x');
    for (int i = 0; i < 4; ++i) {
        reader.Feed(piece);
        EXPECT_TRUE(ReadAll(reader).empty());
    }
    reader.Feed(QByteArray(static_cast<qsizetype>(size - 4 * (size / 4)), 'x') + FrameMessage("{}"));
    const std::vector<Frame> after = ReadAll(reader);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].body, "{}");
}

TEST(MessageFraming, AHeaderThatNeverEndsIsDroppedWithoutHoldingTheStream) {
    MessageReader reader;
    reader.Feed(QByteArray(kMaxHeaderBytes + 100, 'h'));
    const std::vector<Frame> frames = ReadAll(reader);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_NE(frames[0].fault.find("header block longer than"), std::string::npos);
    // The garbage's last bytes and what follows them up to a blank line make one more bad block.
    reader.Feed("\r\n\r\n" + FrameMessage("{}"));
    const std::vector<Frame> next = ReadAll(reader);
    ASSERT_EQ(next.size(), 2u);
    EXPECT_EQ(next[0].fault, "a header line without a colon: \"hhh\"");
    EXPECT_EQ(next[1].body, "{}");
}

}  // namespace
}  // namespace xsc::lsp
