#pragma once
// The Language Server Protocol's framing of JSON-RPC messages on a byte stream: each message is a
// header block, then the JSON body of exactly the length the header gives:
//
//   Content-Length: 52\r\n
//   Content-Type: application/vscode-jsonrpc; charset=utf-8\r\n     (optional, ignored)
//   \r\n
//   {"jsonrpc":"2.0","id":1,"method":"shutdown"}...
//
// Header names are matched without regard to letter case. The reader takes the bytes as they
// arrive, in pieces of any size, and gives whole bodies in order. A header block it cannot use
// (no Content-Length, a length that is no number or larger than kMaxMessageBytes, a block that
// never ends) is given as a fault, and reading goes on behind it: the body of an oversized
// message is skipped, a block without a length ends at its blank line.

#include <cstddef>
#include <optional>
#include <string>

#include <QByteArray>

namespace xsc::lsp {

inline constexpr std::size_t kMaxMessageBytes = 64 * 1024 * 1024;
// A header block longer than this without its blank line is no header.
inline constexpr std::size_t kMaxHeaderBytes = 8 * 1024;

struct Frame {
    QByteArray body;    // the message's JSON, when `fault` is empty
    std::string fault;  // what was wrong with the header block
};

class MessageReader {
public:
    void Feed(const QByteArray& bytes);
    // The next whole message or fault, in the order they arrived; nothing until more bytes come.
    std::optional<Frame> Next();

private:
    std::optional<Frame> ReadHeader();

    QByteArray buffer_;
    std::optional<std::size_t> bodyLength_;  // the header was read: its body is awaited
    std::size_t skipping_ = 0;               // bytes of a refused body still to drop
};

// A message with its header, ready to be written.
QByteArray FrameMessage(const QByteArray& json);

}  // namespace xsc::lsp
