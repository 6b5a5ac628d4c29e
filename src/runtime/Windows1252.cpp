#include "runtime/Windows1252.h"

#include <QStringDecoder>

#include "runtime/Error.h"
#include "runtime/XmlWriter.h"

namespace xsc {

bool IsUtf8(std::string_view bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

std::optional<std::string> Windows1252TextProblem(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const auto b = static_cast<unsigned char>(bytes[at]);
        const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        const bool control = (b < 0x20 && b != '\t' && b != '\n' && b != '\r');
        if (undefined || control) {
            return "holds the byte " + Hex(b) + " at byte " + std::to_string(at) +
                   (undefined ? ", which Windows-1252 leaves undefined" : ", a control character");
        }
    }
    return std::nullopt;
}

std::optional<std::string> ScriptTextProblem(std::string_view bytes) {
    return IsUtf8(bytes) ? XmlWriter::TextProblem(bytes) : Windows1252TextProblem(bytes);
}

}  // namespace xsc
