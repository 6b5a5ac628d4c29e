#pragma once
// Decodes the bytes of an XML file into text before it is parsed, so that every position the
// parser reports can be mapped back to a line and column of the same text.
//
// The encoding is chosen as XML prescribes: a byte-order mark (UTF-8, UTF-16 or UTF-32, either
// byte order) or a first "<" stored in 16 or 32 bits wins; otherwise the encoding named in the
// XML declaration; otherwise UTF-8. Bytes that are not valid in the chosen encoding, an encoding
// the runtime does not know, and a declaration naming a 16- or 32-bit encoding for a file stored
// in 8 bits throw Error::AtScript.

#include <QString>
#include <string_view>

namespace xsc {

QString DecodeXmlBytes(std::string_view bytes);

}  // namespace xsc
