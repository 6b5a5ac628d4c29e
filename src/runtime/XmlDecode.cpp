#include "runtime/XmlDecode.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <optional>
#include <string>

#include "runtime/Error.h"
#include "runtime/XmlTextCursor.h"

namespace xsc {
namespace {

struct DeclaredEncoding {
    std::string name;
    std::size_t offset = 0;  // byte offset of the name in the file
};

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool StartsWithIgnoringCase(std::string_view text, std::string_view upperCasePrefix) {
    if (text.size() < upperCasePrefix.size()) return false;
    for (std::size_t i = 0; i < upperCasePrefix.size(); ++i) {
        const char c = text[i];
        const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper != upperCasePrefix[i]) return false;
    }
    return true;
}

// The encoding pseudo-attribute of an XML declaration (<?xml version="1.0" encoding="X"?>), read
// from bytes that are known to be ASCII-compatible.
std::optional<DeclaredEncoding> ReadDeclaredEncoding(std::string_view bytes) {
    constexpr std::string_view kOpen = "<?xml";
    if (bytes.size() <= kOpen.size() || bytes.substr(0, kOpen.size()) != kOpen ||
        !IsXmlSpace(bytes[kOpen.size()])) {
        return std::nullopt;
    }
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    constexpr std::string_view kEncoding = "encoding";
    std::size_t at = declaration.find(kEncoding);
    if (at == std::string_view::npos) return std::nullopt;
    at += kEncoding.size();
    while (at < declaration.size() && IsXmlSpace(declaration[at])) ++at;
    if (at >= declaration.size() || declaration[at] != '=') return std::nullopt;
    ++at;
    while (at < declaration.size() && IsXmlSpace(declaration[at])) ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) {
        return std::nullopt;
    }
    const char quote = declaration[at++];
    const std::size_t end = declaration.find(quote, at);
    if (end == std::string_view::npos) return std::nullopt;
    return DeclaredEncoding{std::string(declaration.substr(at, end - at)), at};
}

XmlTextPosition PositionOfAsciiByte(std::string_view bytes, std::size_t offset) {
    const QString prefix = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(offset));
    XmlTextCursor cursor(prefix);
    return cursor.At(prefix.size());
}

// Where the first undecodable bytes are. Feeds the bytes one at a time to a stateful decoder
// until it reports the error; run only after decoding the whole text failed.
XmlTextPosition PositionOfDecodingError(std::string_view bytes, const char* encodingName) {
    QStringDecoder decoder(encodingName);
    QString decoded;
    for (const char& byte : bytes) {
        const qsizetype before = decoded.size();
        decoded += decoder.decode(QByteArrayView(&byte, 1));
        if (decoder.hasError()) {
            // The replacement character is the first one this byte produced.
            XmlTextCursor cursor(decoded);
            return cursor.At(before);
        }
    }
    XmlTextCursor cursor(decoded);  // an incomplete sequence at the very end
    return cursor.At(decoded.size());
}

bool IsWideEncoding(std::string_view name) {
    return StartsWithIgnoringCase(name, "UTF-16") || StartsWithIgnoringCase(name, "UTF-32") ||
           StartsWithIgnoringCase(name, "UCS-2") || StartsWithIgnoringCase(name, "UCS-4");
}

// The name of the encoding the bytes are stored in.
std::string ChooseEncoding(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (const auto detected = QStringConverter::encodingForData(view, u'<')) {
        return QStringConverter::nameForEncoding(*detected);
    }
    const std::optional<DeclaredEncoding> declared = ReadDeclaredEncoding(bytes);
    if (!declared) return "UTF-8";
    const XmlTextPosition at = PositionOfAsciiByte(bytes, declared->offset);
    if (IsWideEncoding(declared->name)) {
        throw Error::AtScript("the XML declaration names encoding \"" + declared->name +
                                  "\", but the file is stored in an 8-bit encoding "
                                  "(a file in that encoding starts with a byte-order mark)",
                              at.line, at.column);
    }
    if (!QStringDecoder(declared->name.c_str()).isValid()) {
        throw Error::AtScript("unsupported encoding \"" + declared->name + "\"", at.line, at.column);
    }
    return declared->name;
}

}  // namespace

QString DecodeXmlBytes(std::string_view bytes) {
    const std::string encoding = ChooseEncoding(bytes);
    // Stateless: an incomplete sequence at the end is an error too. A byte-order mark is
    // dropped.
    QStringDecoder decoder(encoding.c_str(), QStringConverter::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError()) {
        const XmlTextPosition at = PositionOfDecodingError(bytes, encoding.c_str());
        throw Error::AtScript("invalid " + std::string(decoder.name()) + " byte sequence", at.line,
                              at.column);
    }
    return text;
}

}  // namespace xsc
