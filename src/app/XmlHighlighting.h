#pragma once
// Highlighting of the XML language one line at a time: element names, attribute names and values,
// comments, and the names a script calls or reads: the Command of a ScriptCommand as an engine
// function of the build, the ValueCommand of a GlobalValue or GlobalReference as an engine global
// (either marked unknown when the build has no such name, as the check warns). A comment, CDATA
// section, tag or attribute value may span lines: the state says which one a line starts in.

#include <QStringView>

#include "HighlightSpan.h"

namespace xsc {

class EngineNames;

enum class XmlLineState { Text, Comment, CData, Markup, Tag, DoubleQuoted, SingleQuoted };

struct XmlLine {
    HighlightSpans spans;  // in order; a name inside a value comes after the value's own span
    XmlLineState end = XmlLineState::Text;
};

XmlLine HighlightXmlLine(QStringView line, XmlLineState start, const EngineNames& names);

}  // namespace xsc
