#pragma once
// What a check says about the values that name the map's things ("ScriptValue" elements of the XML
// language, and the literals of the source, lowered to them with their line and column):
//
//   with the map's names   an error for every name the map lacks (the compile refuses it), a
//                          warning where two elements share the name (the first is used) or where
//                          no object of a fitting type is placed under an object name, and a note
//                          at the first value of each type whose rule rests on a single source
//   without                one note, at the first such value, that names were not looked up
//   always                 a note at the first value of each type that no tool resolves: it keeps
//                          its text with 0, as before

#include <string>
#include <vector>

#include "common/Diagnostic.h"

namespace xsc {

class NameResolver;
class XmlDocument;

// `files`: for a tree made of a program's source files, their names in the order the tree counts
// them; each finding names the file its value was written in. `noNamesWhy`: why `names` is null,
// as the note on the names not looked up says it (empty: no map is given).
std::vector<Diagnostic> CheckNames(const XmlDocument& document, const NameResolver* names, const std::vector<std::string>& files = {},
                                   const std::string& noNamesWhy = {});

}  // namespace xsc
