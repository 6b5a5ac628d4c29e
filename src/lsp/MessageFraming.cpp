#include "lsp/MessageFraming.h"

#include <algorithm>

#include <QList>

namespace xsc::lsp {
namespace {

constexpr char kHeaderEnd[] = "\r\n\r\n";
constexpr qsizetype kHeaderEndBytes = 4;

// What a header block says: the length of its body, or what is wrong with it (and how many bytes
// of body to skip, for a message too large to read).
struct HeaderReading {
    std::optional<std::size_t> length;
    std::string fault;
    std::size_t skip = 0;
};

HeaderReading ReadHeaderBlock(const QByteArray& block) {
    HeaderReading reading;
    for (const QByteArray& line : block.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty()) continue;
        const qsizetype colon = trimmed.indexOf(':');
        if (colon <= 0) return {{}, "a header line without a colon: \"" + trimmed.left(40).toStdString() + "\"", 0};
        if (trimmed.left(colon).trimmed().toLower() != "content-length") continue;
        const QByteArray text = trimmed.mid(colon + 1).trimmed();
        bool ok = false;
        const qulonglong value = text.toULongLong(&ok);
        if (!ok) return {{}, "Content-Length is no number: \"" + text.left(40).toStdString() + "\"", 0};
        if (value > kMaxMessageBytes) {
            return {{}, "a message of " + std::to_string(value) + " bytes is larger than the server reads (" +
                          std::to_string(kMaxMessageBytes) + " bytes); it is skipped", static_cast<std::size_t>(value)};
        }
        reading.length = static_cast<std::size_t>(value);
    }
    if (!reading.length) reading.fault = "a header without Content-Length";
    return reading;
}

}  // namespace

void MessageReader::Feed(const QByteArray& bytes) { buffer_.append(bytes); }

std::optional<Frame> MessageReader::Next() {
    if (skipping_ > 0) {
        const std::size_t dropped = std::min<std::size_t>(skipping_, static_cast<std::size_t>(buffer_.size()));
        buffer_.remove(0, static_cast<qsizetype>(dropped));
        skipping_ -= dropped;
        if (skipping_ > 0) return std::nullopt;
    }
    if (!bodyLength_) {
        if (std::optional<Frame> fault = ReadHeader()) return fault;
        if (!bodyLength_) return std::nullopt;
    }
    const auto length = static_cast<qsizetype>(*bodyLength_);
    if (buffer_.size() < length) return std::nullopt;
    Frame frame{buffer_.left(length), {}};
    buffer_.remove(0, length);
    bodyLength_.reset();
    return frame;
}

// Reads a header block when it is whole: sets bodyLength_, or gives the fault.
std::optional<Frame> MessageReader::ReadHeader() {
    const qsizetype end = buffer_.indexOf(kHeaderEnd);
    if (end < 0) {
        if (static_cast<std::size_t>(buffer_.size()) <= kMaxHeaderBytes) return std::nullopt;
        // Keep the last bytes: they may begin the blank line that ends a block.
        buffer_.remove(0, buffer_.size() - (kHeaderEndBytes - 1));
        return Frame{{}, "a header block longer than " + std::to_string(kMaxHeaderBytes) + " bytes"};
    }
    const QByteArray block = buffer_.left(end);
    buffer_.remove(0, end + kHeaderEndBytes);
    HeaderReading reading = ReadHeaderBlock(block);
    if (!reading.length) {
        skipping_ = reading.skip;
        return Frame{{}, std::move(reading.fault)};
    }
    bodyLength_ = reading.length;
    return std::nullopt;
}

QByteArray FrameMessage(const QByteArray& json) {
    return "Content-Length: " + QByteArray::number(json.size()) + "\r\n\r\n" + json;
}

}  // namespace xsc::lsp
